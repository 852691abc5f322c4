#include "core/line_bands.h"

#include <QFontMetrics>
#include <QPainter>

namespace Core {
namespace {

// Rows below its top that a line's ink may take: the font's height and a little more for glyphs
// that reach past its descent.
int inkHeight(const QFontMetrics& fm) { return fm.height() + 2; }

}  // namespace

int LineBands::reachOf(const QFont& font, int spacing) {
    if (spacing <= 0) return 0;
    return (inkHeight(QFontMetrics(font)) - 1) / spacing;
}

const QImage& LineBands::band(const QStringList& lines, const QFont& font, const QColor& ink, const QColor& paper,
                              int left, int maxWidth, int spacing) {
    const QString signature = font.key() + u'|' + ink.name(QColor::HexArgb) + paper.name(QColor::HexArgb) +
                              QString::number(left) + u'|' + QString::number(spacing);
    if (signature != signature_) {
        bands_.clear();
        signature_ = signature;
    }
    const QString key = lines.join(QChar(0x1f));
    auto it = bands_.find(key);
    if (it == bands_.end()) {
        const QFontMetrics fm(font);
        int textWidth = 0;
        for (const QString& t : lines) textWidth = qMax(textWidth, fm.horizontalAdvance(t));
        const int width = qBound(1, left + textWidth + fm.maxWidth() / 4 + 2, qMax(1, maxWidth));
        Entry e;
        e.image = QImage(width, qMax(1, spacing), QImage::Format_RGB32);
        e.image.fill(paper);
        QPainter p(&e.image);
        p.setFont(font);
        p.setPen(ink);
        const int last = int(lines.size()) - 1;
        for (int k = 0; k <= last; ++k) {
            if (lines[k].isEmpty()) continue;
            p.drawText(QPoint(left, (k - last) * spacing + fm.ascent()), lines[k]);
        }
        p.end();
        it = bands_.insert(key, std::move(e));
    }
    it->frame = frame_;
    return it->image;
}

void LineBands::endFrame() {
    for (auto it = bands_.begin(); it != bands_.end();) {
        if (it->frame + 1 < frame_) it = bands_.erase(it);
        else ++it;
    }
    ++frame_;
}

}  // namespace Core

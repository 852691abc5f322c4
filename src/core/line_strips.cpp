#include "core/line_strips.h"

#include <QFontMetrics>
#include <QPainter>

namespace Core {

const QImage& LineStrips::strip(const QString& text, const QFont& font, const QColor& ink, const QColor& paper,
                                int left, int maxWidth) {
    const QString signature =
        font.key() + u'|' + ink.name(QColor::HexArgb) + paper.name(QColor::HexArgb) + QString::number(left);
    if (signature != signature_) {
        strips_.clear();
        signature_ = signature;
    }
    auto it = strips_.find(text);
    if (it == strips_.end()) {
        const QFontMetrics fm(font);
        const int width = qBound(1, left + fm.horizontalAdvance(text) + fm.maxWidth() / 4 + 2, qMax(1, maxWidth));
        Entry e;
        e.image = QImage(width, fm.height() + 2, QImage::Format_RGB32);
        e.image.fill(paper);
        QPainter p(&e.image);
        p.setFont(font);
        p.setPen(ink);
        p.drawText(QPoint(left, fm.ascent()), text);
        p.end();
        it = strips_.insert(text, std::move(e));
    }
    it->frame = frame_;
    return it->image;
}

void LineStrips::endFrame() {
    for (auto it = strips_.begin(); it != strips_.end();) {
        if (it->frame + 1 < frame_) it = strips_.erase(it);
        else ++it;
    }
    ++frame_;
}

}  // namespace Core

#include "core/line_bands.h"

#include <QFontMetrics>
#include <QPainter>

namespace Core {
namespace {

// Rows below its top that a line's ink may take: the font's height and a little more for glyphs
// that reach past its descent.
int inkHeight(const QFontMetrics& fm) { return fm.height() + 2; }

QString lineAt(const QStringList& texts, int j) { return j >= 0 && j < texts.size() ? texts[j] : QString(); }

}  // namespace

int LineBands::reachOf(const QFont& font, int spacing) {
    if (spacing <= 0) return 0;
    return (inkHeight(QFontMetrics(font)) - 1) / spacing;
}

void LineBands::beginFrame(const QFont& font, const QColor& ink, const QColor& paper, int left, int maxWidth,
                           int spacing) {
    const QString signature = font.key() + u'|' + ink.name(QColor::HexArgb) + paper.name(QColor::HexArgb) +
                              QString::number(left) + u'|' + QString::number(spacing) + u'|' + QString::number(maxWidth);
    if (signature == signature_) return;
    bands_.clear();
    byText_.clear();
    signature_ = signature;
    font_ = font;
    ink_ = ink;
    paper_ = paper;
    left_ = left;
    maxWidth_ = qMax(1, maxWidth);
    spacing_ = qMax(1, spacing);
}

LineBands::Band LineBands::band(int key, const QStringList& texts, int i, int reach) {
    Entry& e = bands_[key];
    e.frame = frame_;
    bool same = e.lines.size() == reach + 1 && !e.image.isNull();
    for (int k = 0; same && k <= reach; ++k) same = e.lines[k] == lineAt(texts, i - reach + k);
    if (same) return {&e.image, e.overlapRows, e.ownWidth};

    e.lines.clear();
    for (int k = 0; k <= reach; ++k) e.lines << lineAt(texts, i - reach + k);
    Rendered& r = byText_[e.lines.join(QChar(0x1f))];
    r.frame = frame_;
    if (r.image.isNull()) {
        const QFontMetrics fm(font_);
        const int margin = fm.maxWidth() / 4 + 2;  // room for glyphs that reach past their advance
        auto widthOf = [&](const QString& t) {
            return t.isEmpty() ? 0 : qBound(1, left_ + fm.horizontalAdvance(t) + margin, maxWidth_);
        };
        int full = 1;
        for (const QString& t : e.lines) full = qMax(full, widthOf(t));
        r.image = QImage(full, spacing_, QImage::Format_RGB32);
        r.image.fill(paper_);
        QPainter p(&r.image);
        p.setFont(font_);
        p.setPen(ink_);
        for (int k = 0; k <= reach; ++k)
            if (!e.lines[k].isEmpty()) p.drawText(QPoint(left_, (k - reach) * spacing_ + fm.ascent()), e.lines[k]);
        p.end();
        r.overlapRows = reach > 0 ? qBound(0, inkHeight(fm) - spacing_, spacing_) : 0;
        r.ownWidth = widthOf(e.lines.last());
    }
    e.image = r.image;
    e.overlapRows = r.overlapRows;
    e.ownWidth = r.ownWidth;
    return {&e.image, e.overlapRows, e.ownWidth};
}

void LineBands::endFrame() {
    for (auto it = bands_.begin(); it != bands_.end();) {
        if (it->frame + 1 < frame_) it = bands_.erase(it);
        else ++it;
    }
    for (auto it = byText_.begin(); it != byText_.end();) {
        if (it->frame + 1 < frame_) it = byText_.erase(it);
        else ++it;
    }
    ++frame_;
}

}  // namespace Core

#include "core/notice_ticker.h"

#include <QPainter>
#include <QTextLine>
#include <algorithm>
#include <cmath>

namespace Core {

TickerPasses::Result TickerPasses::tick(const Options& o) {
    const int limit = o.stopAtLeft ? 0 : -o.textWidth - 20;
    if (limit < o.stripWidth + offset_) {
        const int x = o.stripWidth + offset_;
        offset_ -= o.step;
        return {Step::Draw, x};
    }
    offset_ = 0;
    if (!o.repeat) return {Step::Ended, 0};
    if (remaining_ == 0) return {Step::NextPass, 0};
    --remaining_;
    if (remaining_ > 0) return {Step::NextPass, 0};
    remaining_ = o.loops;
    return {Step::Ended, 0};
}

void TickerStrip::setText(const QString& text) {
    if (text == text_ && layout_) return;
    text_ = text;
    layout_.reset();
}

void TickerStrip::setFont(const QFont& font) {
    if (font == font_ && layout_) return;
    font_ = font;
    layout_.reset();
}

void TickerStrip::setColours(const QColor& text, const QColor& background) {
    textColour_ = text;
    background_ = background;
}

void TickerStrip::layout() {
    if (layout_) return;
    layout_ = std::make_unique<QTextLayout>(text_, font_);
    layout_->setCacheEnabled(true);
    layout_->beginLayout();
    QTextLine line = layout_->createLine();
    if (line.isValid()) line.setLineWidth(1e7);  // one line, never wrapped
    layout_->endLayout();
    width_ = line.isValid() ? int(std::ceil(line.naturalTextWidth())) : 0;
}

int TickerStrip::textWidth() {
    layout();
    return width_;
}

void TickerStrip::fill(QImage& picture) const { picture.fill(background_); }

void TickerStrip::draw(QImage& picture, int x) {
    layout();
    picture.fill(background_);
    if (x >= picture.width() || x + width_ <= 0) return;
    QPainter p(&picture);
    p.setPen(textColour_);
    // Only the part of the line inside the strip is drawn.
    layout_->draw(&p, QPointF(x, kTextTop), {}, QRectF(0, 0, picture.width(), picture.height()));
}

namespace NoticePlacement {

namespace {
int autoHeight(int points, bool withFrame) { return int(std::trunc(points * 1.29 + 8 + (withFrame ? kFrame : 0))); }

void placeOver(NoticeBox& b, const ShowOptions& o, const QRect& display, int topOffset) {
    if (o.overTop) {
        b.top = display.top() + topOffset;
        b.left = display.left();
        b.width = display.width();
    }
    if (o.underBottom) {
        b.top = display.top() + display.height() - b.height;
        b.left = display.left();
        b.width = display.width();
    }
}
}  // namespace

Shown Show(const NoticeBox& current, bool pagesVisible, const ShowOptions& o, const QRect& display) {
    Shown s;
    NoticeBox b = current;
    if (pagesVisible) {
        if (o.autoHeight) b.height = autoHeight(o.fontPoints, true);
        s.remembered = b;
        placeOver(b, o, display, -kFrame);
        b.height -= kFrame;
        b.top += kFrame;
    } else {
        if (o.autoHeight) b.height = autoHeight(o.fontPoints, false);
        s.remembered = {b.left, b.top - kFrame, b.width, b.height + kFrame};
        placeOver(b, o, display, 0);
    }
    s.box = b;
    return s;
}

Ended End(const NoticeBox& current, bool pagesVisible, const NoticeBox& remembered, const EndOptions& o) {
    Ended e;
    e.box = current;
    e.pages = pagesVisible;
    e.hidden = o.hide;
    // With the pages already shown there is no strip to bring back: a stop that arrives then
    // leaves the window where it is instead of moving it by the frame again.
    if (pagesVisible) return e;
    if (o.moveBack && o.pagesBack) {
        e.box = remembered;
        e.pages = true;
    } else if (o.moveBack) {
        e.box.left = remembered.left;
        e.box.width = remembered.width;
        e.box.top = remembered.top + kFrame;
    } else if (o.pagesBack) {
        e.pages = true;
        e.box.top -= kFrame;
        e.box.height = remembered.height;
    }
    if (o.resetHeight && o.pagesBack) e.box.height = kResetHeight;
    if (e.pages) e.box.height = std::max(e.box.height, o.pagesHeight);
    if (e.box.top < 0) e.box.top = 0;
    return e;
}

NoticeBox F1(const NoticeBox& current, bool pagesVisible, int pagesHeight) {
    NoticeBox b = current;
    if (pagesVisible) {
        b.height -= kFrame;
        b.top += kFrame;
    } else {
        b.height = std::max(b.height + kFrame, pagesHeight);
        b.top -= kFrame;
        if (b.top < 0) b.top = 0;
    }
    return b;
}

NoticeBox Remembered(const NoticeBox& current) {
    return {current.left, current.top - kFrame, current.width, current.height + kFrame};
}

}  // namespace NoticePlacement

}  // namespace Core

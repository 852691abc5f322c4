#include "ui/canvas.h"

#include <QMouseEvent>
#include <QPainter>

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::resetPicture(const QSize& size, const QColor& fill) {
    picture_ = QImage(size, QImage::Format_RGB32);
    picture_.fill(fill);
    update();
}

void Canvas::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect r = event->rect();
    p.drawImage(r.topLeft(), picture_, r);
    // The widget may be larger than the picture after a resize; the rest takes the picture's colour.
    if (!picture_.isNull() && (width() > picture_.width() || height() > picture_.height())) {
        const QColor bg = picture_.pixelColor(0, 0);
        p.fillRect(QRect(picture_.width(), 0, width() - picture_.width(), height()), bg);
        p.fillRect(QRect(0, picture_.height(), width(), height() - picture_.height()), bg);
    }
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked();
    QWidget::mousePressEvent(event);
}

#include "windows/main/strip_alarm.h"

#include <QEvent>
#include <QPainter>

StripAlarm::StripAlarm(QWidget* strip) : QWidget(strip) {
    setObjectName(QStringLiteral("StripAlarm"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    strip->installEventFilter(this);
    setGeometry(strip->rect());
    hide();
}

void StripAlarm::setColour(const QColor& colour) {
    colour_ = colour;
    setVisible(colour.isValid());
    if (colour.isValid()) {
        setGeometry(parentWidget()->rect());
        raise();
        update();
    }
}

bool StripAlarm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return false;
}

void StripAlarm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QColor wash = colour_;
    wash.setAlpha(kWash);
    p.fillRect(rect(), wash);
    p.fillRect(QRect(0, 0, width(), kEdge), colour_);
}

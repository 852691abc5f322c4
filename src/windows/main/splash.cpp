#include "windows/main/splash.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

// The picture: the program's name on a calm blue, as it would be projected.
QPixmap makePicture(const QSize& size) {
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(24, 60, 120));
    g.setColorAt(1, QColor(10, 28, 64));
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::white);
    QFont big(QStringLiteral("ＭＳ Ｐゴシック"));
    big.setPixelSize(44);
    big.setBold(true);
    p.setFont(big);
    p.drawText(QRect(0, 30, size.width(), 60), Qt::AlignCenter, QStringLiteral("Quelta"));
    QFont small(QStringLiteral("ＭＳ Ｐゴシック"));
    small.setPixelSize(16);
    p.setFont(small);
    p.drawText(QRect(0, 96, size.width(), 24), Qt::AlignCenter, QStringLiteral("要約筆記　入力・表示"));
    p.setPen(QColor(180, 200, 230));
    p.drawText(QRect(0, 140, size.width(), 24), Qt::AlignCenter, QStringLiteral("起動しています…"));
    return pm;
}

}  // namespace

TForm12::TForm12() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TForm12"));
    setWindowTitle(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);  // closing frees it
    setFixedSize(288, 180);
    picture_ = makePicture(size());
    CloseButton = new QPushButton(QStringLiteral("×"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(width() - 12, 0, 12, 12);
    CloseButton->setFlat(true);
    CloseButton->setStyleSheet(QStringLiteral("color: white; font-size: 10px; padding: 0; border: none;"));
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    if (const QScreen* s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());
}

void TForm12::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}

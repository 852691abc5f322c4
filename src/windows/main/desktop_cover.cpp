#include "windows/main/desktop_cover.h"

#include "ui/canvas.h"

#include <QGuiApplication>
#include <QScreen>

TForm9::TForm9(const App::WindowContext& context)
    : AuxWindow(context, "TForm9", QString(), QString()) {
    Image1 = new Canvas(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    connect(Image1, &Canvas::clicked, this, &TForm9::coverClicked);
}

void TForm9::cover(const QColor& colour) {
    colour_ = colour;
    setWindowFlag(Qt::FramelessWindowHint, true);
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect g = s ? s->geometry() : QRect(0, 0, 1024, 768);
    setGeometry(0, 0, g.width(), g.height());
    Image1->setGeometry(rect());
    Image1->resetPicture(size(), colour_);
    show();
}

void TForm9::resizeEvent(QResizeEvent*) {
    Image1->setGeometry(rect());
    if (Image1->picture().size() != size()) Image1->resetPicture(size(), colour_);
}

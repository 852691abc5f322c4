// The display of the main window: the record, the smooth screen and the input strip's geometry.
#include "app/main_window.h"

#include "app/canvas.h"
#include "app/dock_page.h"

#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QLineEdit>
#include <QTimer>

void Ttalk2e::InitialDisplayState() {
    typistMode = 2;
    wordProcessorMode = false;
    hasPartner = false;
}

void Ttalk2e::StartupDisplayOptions() {}
void Ttalk2e::ReadScrollInterval() {}
void Ttalk2e::Timer1Timer() {}
void Ttalk2e::RedrawDisplay() {}
void Ttalk2e::RedrawFrameless() {}
void Ttalk2e::AutoFitLines() {}

void Ttalk2e::WindowResized() { TabSheet1->relayout(); }

void Ttalk2e::LayoutInputStrip() {
    const int h = (-(-RichEdit1->font().pixelSize()) * 96) / 72 + 4;
    const int m = 1, n = 1, t = 3;
    const int W = Panel6->width();
    RichEdit1->resize(RichEdit1->width(), h * n);
    RichEdit27->resize(RichEdit27->width(), h * m);
    const int buttonHeight = typistMode == 2 ? h * m + t : h * n + t;
    Button13->setGeometry(0, 0, 25, buttonHeight);
    Button12->setGeometry(25, 0, 25, buttonHeight);
    Button14->setGeometry(50, 0, 25, buttonHeight);
    Panel1->resize(Panel1->width(), h * (m + n) + t);
    RichEdit1->setGeometry(0, h * m + t, W, h * n);
    RichEdit27->setGeometry(50, t, W - 50, h * m);
    RichEdit27->show();
    Panel1->show();
    Edit77->hide();
    const QScreen* s = screen();
    RichEdit2->setGeometry(0, (s ? s->size().height() : 768) + 20, Panel6->width(), Panel6->height());
    TabSheet1->relayout();
}

#include "windows/main/wastop_monitor.h"

#include "ui/settings_binders.h"
#include "ui/station.h"
#include "text/cp932.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

TForm8::TForm8(const App::WindowContext& context)
    : AuxWindow(context, "TForm8", QStringLiteral("ワ停止モニター"), QStringLiteral(" : ワ停止モニター")) {
    resize(300, 300);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    layout->addWidget(Splitter1);

    Panel1 = new QWidget(Splitter1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMinimumHeight(2);  // the top panel never becomes lower than 2 pixels
    auto* top = new QHBoxLayout(Panel1);
    top->setContentsMargins(2, 2, 2, 2);
    Button1 = new QPushButton(QStringLiteral("フォント"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("背景色"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    top->addWidget(Button1);
    top->addWidget(Button2);
    top->addStretch(1);

    Memo2 = new QPlainTextEdit(Splitter1);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Splitter1->setCollapsible(0, false);
    Splitter1->setStretchFactor(1, 1);

    connect(Button1, &QPushButton::clicked, this, &TForm8::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm8::Button2Click);
    move(0, 0);
}

void TForm8::addLine(const QString& line) {
    // No limit of its own: every held-back text must reach the display when correction mode ends.
    Memo2->appendPlainText(line);
}

void TForm8::hold(const QByteArray& item) {
    if (held_.size() >= kMostHeld) return;
    held_.append(item);
    QString shown = Cp932::decode(item);
    shown.replace(QLatin1String("\r\n"), QStringLiteral("■"));
    addLine(shown);
}

QList<QByteArray> TForm8::takeHeld() {
    Memo2->clear();
    return std::exchange(held_, {});
}

QStringList TForm8::lines() const {
    if (Memo2->document()->isEmpty()) return {};
    return Memo2->toPlainText().split(u'\n');
}

void TForm8::clearMemo() { Memo2->clear(); }

void TForm8::Button1Click() {
    if (auto f = station().dialogs.chooseFont(this, Memo2->font())) Memo2->setFont(*f);
}

void TForm8::Button2Click() {
    QPalette p = Memo2->palette();
    if (auto c = station().dialogs.chooseColor(this, p.color(QPalette::Base))) {
        p.setColor(QPalette::Base, *c);
        Memo2->setPalette(p);
    }
}

void TForm8::addSettings(Settings::KeyTable& t) {
    Bind::geometry(t, this, {263, 264, 265, 266}, u"ワ停止モニターのウィンドウの高さ", u"ワ停止モニターのウィンドの幅",
                   u"ワ停止モニターのウィンドの縦位置", u"ワ停止モニターのウィンドの横位置");
}

void TForm8::resetToDefaults() {
    move(0, 0);
    resize(300, 300);
}

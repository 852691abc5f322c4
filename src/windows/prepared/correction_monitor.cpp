#include "windows/prepared/correction_monitor.h"

#include "ui/form_builder.h"
#include "ui/station.h"
#include "ui/settings_binders.h"
#include "text/cp932.h"

#include <QApplication>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

TFshusei_moni::TFshusei_moni(const App::WindowContext& context)
    : AuxWindow(context, "TFshusei_moni", QStringLiteral("確認修正モニター"), QStringLiteral(" :確認修正モニター")) {
    PageControl1 = addPageControl();

    auto* monitor = new QWidget(PageControl1);
    auto* v = new QVBoxLayout(monitor);
    v->setContentsMargins(0, 0, 0, 0);
    RichEdit1 = new QTextEdit(monitor);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setAcceptRichText(false);
    v->addWidget(RichEdit1);
    PageControl1->addTab(monitor, QStringLiteral("モニター"));

    auto* settings = new QWidget(PageControl1);
    auto* s = new QVBoxLayout(settings);
    Button1 = Form::button(settings, "Button1", QStringLiteral("フォント"));
    Button2 = Form::button(settings, "Button2", QStringLiteral("背景色"));
    s->addStretch(1);
    PageControl1->addTab(settings, QStringLiteral("設定"));

    look.addPane(RichEdit1);
    connect(Button1, &QPushButton::clicked, this, &TFshusei_moni::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFshusei_moni::Button2Click);
    ShowTexts(initialTexts());
    move(10, 10);
    resize(410, 360);
}

TFshusei_moni::Texts TFshusei_moni::initialTexts() {
    return {Cp932::encode(u"1訂正係りが修正している様子がモニターできます。"), "2", "3", "4", "5", "6"};
}

void TFshusei_moni::ShowTexts(const Texts& texts) {
    QByteArray all;
    for (int i = 0; i < 6; ++i) {
        if (i) all += "\r\n";
        all += texts[i];
    }
    QString shown = Cp932::decode(Cp932::leftSafe(all, kLimit));
    shown.replace(QLatin1String("\r\n"), QStringLiteral("\n"));
    RichEdit1->setPlainText(shown);
}

QStringList TFshusei_moni::lines() const { return RichEdit1->toPlainText().split(u'\n'); }

void TFshusei_moni::Button1Click() {
    if (auto f = station().dialogs.chooseFont(this, look.font())) look.setFont(*f);
}

void TFshusei_moni::Button2Click() {
    const QColor now = Settings::toQColor(look.background(), QApplication::palette());
    if (auto c = station().dialogs.chooseColor(this, now)) look.setBackground(Settings::fromQColor(*c));
}

void TFshusei_moni::addSettings(Settings::KeyTable& t) {
    using Settings::Kind;
    Bind::visible(t, 772, this, Kind::TrueFalse, u"eシリーズ専用の確認修正ウィンドウモニタの表示", {});
    Bind::geometry(t, this, {776, 775, 773, 774}, u"「確認修正パレットモニター」の縦長さ",
                   u"「確認修正パレットモニター」の横幅", u"「確認修正パレットモニター」の縦位置",
                   u"「確認修正パレットモニター」の横位置");
    look.bind(t, 777, u"「確認修正パレットモニター」のフォントの種類", 778, u"「確認修正パレットモニター」のフォントの色",
              779, u"「確認修正パレットモニター」のフォントサイズ");
    look.bindBackground(t, 785, u"「確認修正パレットモニター」背景色");
}

void TFshusei_moni::resetToDefaults() {
    hide();
    move(10, 10);
    resize(410, 360);
    look.reset(9);
}

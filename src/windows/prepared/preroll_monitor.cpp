#include "windows/prepared/preroll_monitor.h"

#include "ui/form_builder.h"
#include "ui/station.h"
#include "ui/settings_binders.h"
#include "core/panel_height.h"
#include "net/caption_protocol.h"
#include "settings/values.h"
#include "text/cp932.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

namespace {
using App::MonitorPart;
}

TForm3::TForm3(const App::WindowContext& context)
    : AuxWindow(context, "TForm3", QStringLiteral("テンプレート前ロールモニター"),
                QStringLiteral(" : テンプレート前ロールモニタ")) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] {
        topHeight_ = Splitter1->sizes().value(0);
        upperHeight_ = Splitter1->sizes().value(1);
    });
    layout->addWidget(Splitter1);

    Panel1 = new QWidget(Splitter1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMinimumHeight(2);
    auto* top = new QVBoxLayout(Panel1);
    top->setContentsMargins(4, 2, 4, 2);
    top->setSpacing(1);
    Form::label(Panel1, QStringLiteral("●行数は、上部２行、下部５行の固定です。"));
    Form::label(Panel1, QStringLiteral("「補助Ｗ」の「行数を２倍」で上４、下１０行。今のカーソル位置は、下部の最上行です。"));
    Form::label(Panel1, QStringLiteral("フォント大きさを変えた時は、上部と下部の境界やウィンド大きさを変えてください。"));
    QWidget* buttons = Form::row(Panel1);
    Button1 = Form::button(buttons, "Button1", QStringLiteral("ﾌｫﾝﾄ"));
    Button2 = Form::button(buttons, "Button2", QStringLiteral("背景色"));
    CheckBox1 = Form::check(buttons, "CheckBox1", QStringLiteral("右端で折り返す"), false);
    static_cast<QHBoxLayout*>(buttons->layout())->addStretch(1);
    Panel1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);  // the splitter sets its height

    Panel2 = new QWidget(Splitter1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setMinimumHeight(2);
    auto* upper = new QVBoxLayout(Panel2);
    upper->setContentsMargins(0, 0, 0, 0);
    RichEdit2 = new QPlainTextEdit(Panel2);
    RichEdit2->setObjectName(QStringLiteral("RichEdit2"));
    RichEdit2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    upper->addWidget(RichEdit2);
    RichEdit1 = new QPlainTextEdit(Splitter1);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    for (QPlainTextEdit* p : {RichEdit1, RichEdit2}) {
        p->setReadOnly(true);
        p->setLineWrapMode(QPlainTextEdit::NoWrap);
        p->setMinimumHeight(2);
        look.addPane(p);
    }
    Splitter1->setStretchFactor(2, 1);

    connect(CheckBox1, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    placeAtDefaults();
}

void TForm3::placeAtDefaults() {
    move(0, 0);
    resize(kDefaultSize);
    setPanelHeights(defaultTopHeight(), kDefaultUpperHeight);
}

int TForm3::defaultTopHeight() const {
    return qMax(kDesignTopHeight, Panel1->layout()->totalHeightForWidth(kDefaultSize.width()));
}

void TForm3::setPanelHeights(int top, int upper) {
    topHeight_ = qMax(2, top);
    upperHeight_ = qMax(2, upper);
    QList<int> s = Splitter1->sizes();
    // The panels share the window less the two handles; a larger sum would be scaled down.
    const int total = qMax(s.value(0) + s.value(1) + s.value(2), height() - 2 * Splitter1->handleWidth());
    Splitter1->setSizes({topHeight_, upperHeight_, qMax(2, total - topHeight_ - upperHeight_)});
}

void TForm3::ClearPart(MonitorPart p) {
    part(p).clear();
    pane(p)->clear();
}

void TForm3::AppendLine(MonitorPart p, const QByteArray& line) {
    if (!part(p).append(line)) return;  // the part has reached its limit
    QPlainTextEdit* view = pane(p);
    view->appendPlainText(Cp932::decode(line));
    // The lower part starts at the caret line: however many lines follow it, its top stays in view.
    if (p == MonitorPart::Lower) view->verticalScrollBar()->setValue(0);
}

void TForm3::Feed(MonitorPart p, const QByteArray& text) {
    if (text == Net::Wire::MonitorClear()) ClearPart(p);
    else AppendLine(p, text == Net::Wire::BlankLine() ? QByteArray() : text);
}

QStringList TForm3::lines(MonitorPart p) const {
    QStringList out;
    for (const QByteArray& l : (p == MonitorPart::Upper ? upper_ : lower_).lines()) out << Cp932::decode(l);
    return out;
}

void TForm3::CheckBox1Click() {
    const auto mode = CheckBox1->isChecked() ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap;
    RichEdit1->setLineWrapMode(mode);
    RichEdit2->setLineWrapMode(mode);
}

void TForm3::Button1Click() {
    if (auto f = station().dialogs.chooseFont(this, look.font())) look.setFont(*f);
}

void TForm3::Button2Click() {
    const QColor now = Settings::toQColor(look.background(), QApplication::palette());
    if (auto c = station().dialogs.chooseColor(this, now)) look.setBackground(Settings::fromQColor(*c));
}

// clang-format off
Settings::Rows<TForm3> TForm3::settingRows() {
    static const Settings::Row<TForm3> rows[] = {
        {.step = &TForm3::resetFrame},
        {.key = 854, .control = "CheckBox1", .kind = Settings::Kind::TrueFalse, .comment = u"テンプモニターの右端で折り返しチェック",
         .design = u"false"},
    };
    return rows;
}
// clang-format on

void TForm3::addSettings(Settings::KeyTable& t) {
    using Settings::Kind;
    Bind::rows(t, this, settingRows());
    Bind::geometry(t, this, {790, 791, 792, 793}, u"テンプモニターのウィンドウの高さ", u"テンプモニターのウィンドの幅",
                   u"テンプモニターのウィンドの縦位置", u"テンプモニターのウィンドの横位置");
    // The heights as set or last shown: a hidden window's panels have no real height.
    Bind::number(t, 794, u"テンプモニターの上パネルの高さ", [this] { return topHeight_; }, [this](int v) {
        if (Core::UsablePanelHeight(v)) setPanelHeights(v, upperHeight_);
    });
    Bind::number(t, 795, u"テンプモニターの上パネルの高さ", [this] { return upperHeight_; }, [this](int v) {
        if (Core::UsablePanelHeight(v)) setPanelHeights(topHeight_, v);
    });
    look.bind(t, 796, u"テンプモニターの表示のフォントの種類", 797, u"テンプモニターの表示のフォントの色", 798,
              u"テンプモニターの表示のフォントサイズ");
    Bind::visible(t, 799, this, Kind::TrueFalse, u"テンプモニターの表示有無", {});
    look.bindBackground(t, 850, u"テンプモニターの背景色");
    look.bindStyles(t, 851, u"テンプモニターの表示部のフォントスタイル：ｂｏｌｄ", 852,
                    u"テンプモニターの表示部のフォントスタイル：Ｉｔａｌｉｃ", 853,
                    u"テンプモニターの表示部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ");
}

void TForm3::resetToDefaults() { Bind::reset(*this, settingRows()); }

void TForm3::resetFrame() {
    placeAtDefaults();
    look.reset(9);
    hide();
}

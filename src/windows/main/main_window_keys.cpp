// The main window's keys of the numbered settings file whose values no single control shows (held
// in members, or several controls to one key), and the steps of its reset beyond its rows.
#include "windows/main/main_window.h"

#include "ui/aux_window.h"
#include "ui/canvas.h"
#include "ui/fonts.h"
#include "ui/settings_binders.h"
#include "ui/text_pane.h"
#include "ui/updown.h"
#include "windows/main/wastop_monitor.h"
#include "audience/audience_panel.h"
#include "audience/online_panel.h"
#include "windows/messaging/fkey_memo.h"
#include "windows/prepared/subinput_window.h"
#include "text/cp932.h"
#include "windows/main/partner_page.h"
#include "windows/main/saving.h"
#include "windows/main/auxiliary_page.h"
#include "windows/main/display_view.h"
#include "windows/main/input_strip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextEdit>

void Ttalk2e::addSettings(Settings::KeyTable& t) {
    using namespace Bind;
    using Settings::FontStyle;
    // The controls found in one walk of the window, for its rows and for the keys below, whose
    // readers then run at every save and every transfer without looking anything up.
    const Controls controls(this);
    rows(t, controls, settingRows());
    auto* const input = controls.named<TextPane>("RichEdit1");
    auto* const monitor = controls.named<TextPane>("RichEdit27");
    auto* const speed = controls.named<QLineEdit>("Edit9");
    auto* const panel = controls.named<QFrame>("Panel1");
    auto* const button12 = controls.named<QPushButton>("Button12");
    auto* const button13 = controls.named<QPushButton>("Button13");
    auto* const button14 = controls.named<QPushButton>("Button14");
    auto* const box52 = controls.named<QCheckBox>("CheckBox52");
    auto* const ruby3 = controls.named<QRadioButton>("RadioButton3");
    auto* const ruby2 = controls.named<QRadioButton>("RadioButton2");
    auto* const ruby1 = controls.named<QRadioButton>("RadioButton1");
    auto colourKey = [&t](int key, QStringView text, qint32* value, std::function<void()> paint) {
        colour(t, key, text, [value] { return *value; }, [value, paint](qint32 v) {
            *value = v;
            paint();
        });
    };
    // Fonts of the display, the input pane and the monitor pane: name, size, colour, styles.
    auto displayFont = [this] { return display_->displayFont(); };
    auto setDisplayFont = [this](const QFont& f) { SetDisplayFont(f); };
    auto inputFont = [input] { return input->font(); };
    auto setInputFont = [this](const QFont& f) { SetInputFont(f); };
    auto monitorFont = [monitor] { return monitor->font(); };
    auto setMonitorFont = [this](const QFont& f) { SetMonitorFont(f); };
    auto styles = [&t](int first, QStringView bold, QStringView italic, QStringView underline, auto get, auto set) {
        fontStyle(t, first, FontStyle::Bold, bold, {}, get, set);
        fontStyle(t, first + 1, FontStyle::Italic, italic, {}, get, set);
        fontStyle(t, first + 2, FontStyle::Underline, underline, {}, get, set);
    };
    // Keys the full-screen display mode leaves alone.
    auto framed = [this](std::function<void(int)> set) {
        return [this, set](int v) {
            if (!isFrameless()) set(v);
        };
    };

    Bind::geometry(t, this, {0, 1, 2, 3}, u"ウィンドウの高さ", u"メインウィンドの幅", u"メインウィンドの縦位置", u"メインウィンドの横位置",
                   Settings::kSmallestMainWindow);
    number(t, 6, u"マニュアル設定のスクロール速度 ＜注意＞００５の前に００６を書く事！", [this] { return scroll_.baseStep; },
           [speed](int v) { speed->setText(QString::number(v)); });
    fontName(t, 7, u"表示部のフォントの種類", displayFont, setDisplayFont);
    colourKey(8, u"表示部のフォントの色", &colours_.displayInk, [this] { display_->PaintDisplay(); });
    fontSize(t, 9, u"表示部のフォントサイズ", displayFont, setDisplayFont);
    colourKey(10, u"表示部の背景色", &colours_.displayPaper, [this] { display_->PaintDisplay(); });
    number(t, 11, u"入力・モニター部のせっと・何人入力？", [this] { return typistMode(); },
           framed([this](int v) { SetTypistRows(v); }));
    number(t, 12, u"パネルの大きさ＜注意＞０１１の前に０１２を書く事！", [panel] { return panel->height(); },
           framed([panel](int v) { panel->resize(panel->width(), v); }));
    fontSize(t, 13, u"モニター部のフォントサイズ", monitorFont, setMonitorFont);
    Bind::height(t, 14, monitor, u"モニター部の高さ");
    number(t, 15, u"モニター部の左位置", [monitor] { return monitor->x(); }, [monitor](int v) { monitor->move(v, monitor->y()); });
    fontSize(t, 16, u"入力部のフォントサイズ", inputFont, setInputFont);
    Bind::height(t, 17, input, u"入力部の高さ");
    number(t, 18, u"入力部の上下位置", [input] { return input->y(); }, [input](int v) { input->move(input->x(), v); });
    number(t, 19, u"入力部の左右位置", [input] { return input->x(); }, [input](int v) { input->move(v, input->y()); });
    Bind::height(t, 20, button12, u"「ワ」ボタンの高さ");
    Bind::height(t, 21, button13, u"「再」ボタンの高さ");
    Bind::height(t, 22, button14, u"「送」ボタンの高さ");
    colourKey(23, u"入力部の背景色", &colours_.inputPaper, [this] { PaintPanes(); });
    colourKey(24, u"モニター部の背景色", &colours_.monitorPaper, [this] { PaintPanes(); });
    number(t, 25, u"ワープロ画面かスムーズ画面かのフラッグ", [this] { return wordProcessorMode() ? 1 : 0; },
           framed([this](int v) { display_->SetScreenKind(v == 1); }));
    fontName(t, 26, u"入力部のフォント", inputFont, setInputFont);
    colourKey(27, u"入力部のフォント色", &colours_.inputInk, [this] { PaintPanes(); });
    fontName(t, 28, u"モニター部のフォント", monitorFont, setMonitorFont);
    colourKey(29, u"モニター部のフォント色", &colours_.monitorInk, [this] { PaintPanes(); });
    {
        Settings::Entry unused;
        unused.key = 30;
        unused.kind = Kind::Unused;
        unused.comment = comment(u"未使用");
        t.add(std::move(unused));
    }
    colourKey(36, u"変換中文字色", &colours_.compositionInk, [this] { PaintComposition(); });
    colourKey(37, u"変換中文字色（背景色）", &colours_.compositionPaper, [this] { PaintComposition(); });
    number(t, 67, u"スライドマーカーの高さ", [this] { return slideMarkerHeight_; }, [this](int v) { slideMarkerHeight_ = v; });
    number(t, 68, u"ボタンの元の高さ（スライドマーカーの高さを変える時に使用）", [this] { return buttonBaseHeight_; },
           [this](int v) { buttonBaseHeight_ = v; });
    readOnly(t, 71, Kind::Colour, [this](QByteArrayView v) { colours_.splitter1 = Settings::intValue(v); });
    readOnly(t, 72, Kind::Colour, [this](QByteArrayView v) { colours_.splitter2 = Settings::intValue(v); });
    number(t, 78, u"スライドマーカー1位置", [this] { return slideMarker1_; }, [this](int v) { slideMarker1_ = v; });
    number(t, 79, u"スライドマーカー2位置", [this] { return slideMarker2_; }, [this](int v) { slideMarker2_ = v; });
    styles(108, u"表示部のフォントスタイル：ｂｏｌｄ", u"表示部のフォントスタイル：Ｉｔａｌｉｃ", u"表示部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ",
           displayFont, setDisplayFont);
    styles(129, u"入力部のフォントスタイル：ｂｏｌｄ", u"入力部のフォントスタイル：Ｉｔａｌｉｃ", u"入力部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ",
           inputFont, setInputFont);
    styles(132, u"モニター部のフォントスタイル：ｂｏｌｄ", u"モニター部のフォントスタイル：Ｉｔａｌｉｃ",
           u"モニター部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ", monitorFont, setMonitorFont);
    colourKey(135, u"ページの背景色", &colours_.page, [this] { PaintPages(); });
    colourKey(136, u"項目文字色", &colours_.items, [this] { PaintPages(); });
    readOnly(t, 139, Kind::OnOff, [box52](QByteArrayView v) { box52->setChecked(Settings::isOn(v)); });
    colourKey(144, u"説明文字色", &colours_.explanation, [this] { PaintExplanations(); });
    colourKey(269, u"デスクトップを単一色でカバーする色", &colours_.cover, [] {});
    // The own name, the channel and the group: written by the save operations after every other key.
    readOnly(t, 166, Kind::Text, [this](QByteArrayView v) { SetOwnNameFromFile(Cp932::decode(v)); });
    readOnly(t, 801, Kind::Int, [this](QByteArrayView v) { SetChannelFromFile(Settings::intValue(v)); });
    readOnly(t, 802, Kind::Int, [this](QByteArrayView v) { SetGroup(Settings::intValue(v, 1)); });
    {
        Settings::Entry ruby;
        ruby.key = 868;
        ruby.kind = Kind::Digit;
        ruby.comment = comment(u"ひらがなルビにする。");
        ruby.commentOff = comment(u"カタカナルビにする。");
        ruby.commentThird = comment(u"ﾊﾝｶｸﾙﾋﾞにする。");
        ruby.read = [ruby3, ruby2] { return QByteArray(ruby3->isChecked() ? "3" : ruby2->isChecked() ? "2" : "1"); };
        ruby.apply = [ruby3, ruby2, ruby1](QByteArrayView v) {
            const int d = Settings::rubyDigit(v);
            (d == 3 ? ruby3 : d == 2 ? ruby2 : ruby1)->setChecked(true);
        };
        t.add(std::move(ruby));
    }
    // The audience page's kind of online captions (its other keys are rows).
    choice(t, 952, u"オンライン字幕の送信先の種類", [this] { return auxiliary_->onlinePanel().kindWord(); },
           [this](const QString& word) { auxiliary_->onlinePanel().setKindWord(word); });
}

// Keys 166, 801 and 802 belong to the partner page.
void Ttalk2e::SetOwnNameFromFile(const QString& name) { partner_->SetOwnNameFromFile(name); }
void Ttalk2e::SetChannelFromFile(int value) { partner_->SetChannelFromFile(value); }
void Ttalk2e::SetGroup(int group) { partner_->SetGroup(group); }

void Ttalk2e::ResetToDefaults() { Bind::reset(*this, settingRows()); }

// Steps of the reset between its rows' values (main_window_rows.cpp), in the order they run.
void Ttalk2e::resetFrame() {
    Form8->hide();
    named<QCheckBox>("CheckBox85")->setChecked(false);
    const QSignalBlocker block(this);
    move(0, 0);
    resize(640, 480);
}

void Ttalk2e::resetLooks() {
    using namespace Settings::Colour;
    QFont display = Fonts::gothicPixels(48);
    colours_.displayInk = kWindowText;
    colours_.displayPaper = kWhite;
    SetDisplayFont(display);
    display_->PaintDisplay();
    named<QFrame>("Panel1")->resize(named<QFrame>("Panel1")->width(), 47);
    if (wordProcessorMode()) display_->SetScreenKind(false);
    SetTypistRows(2);
    named<QPushButton>("Button14")->hide();
    QFont pane = Fonts::gothicPixels(15);  // 11 points
    colours_.monitorInk = colours_.inputInk = kWindowText;
    colours_.monitorPaper = colours_.inputPaper = kWindow;
    SetMonitorFont(pane);
    SetInputFont(pane);
    PaintPanes();
    for (const char* name : {"Button12", "Button13", "Button14"}) {
        QPushButton* b = named<QPushButton>(name);
        b->resize(b->width(), 26);
    }
}

void Ttalk2e::resetComposition() {
    colours_.compositionInk = Settings::Colour::kBlue;
    colours_.compositionPaper = Settings::Colour::kWhite;
    PaintComposition();
}

void Ttalk2e::resetMarkers() {
    slideMarkerHeight_ = 3;
    buttonBaseHeight_ = 26;
    slideMarker1_ = slideMarker2_ = 200;
    colours_.splitter1 = Settings::Colour::kGreen;
    colours_.splitter2 = Settings::Colour::kOlive;
}

void Ttalk2e::resetPageColours() {
    colours_.page = Settings::Colour::kButtonFace;
    colours_.items = Settings::Colour::kWindowText;
    colours_.explanation = Settings::Colour::kGreen;
    PaintPages();
    hide();
    show();
}

void Ttalk2e::resetCover() { colours_.cover = Settings::Colour::kBlack; }

void Ttalk2e::showPaletteCheck() { auxiliary_->showInputToPalette(); }

void Ttalk2e::resetChannelAndGroup() {
    SetChannelFromFile(0);
    SetGroup(1);
    auto* group = findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    const QSignalBlocker block(group);
    group->setCurrentIndex(0);
}

void Ttalk2e::resetOnlineKind() { auxiliary_->onlinePanel().setKindWord(QStringLiteral("off")); }

void Ttalk2e::resetOtherWindows() {
    for (QWidget* w : windows_.all())
        if (auto* aux = qobject_cast<AuxWindow*>(w)) aux->resetToDefaults();
    Form5->move(x() + 25, y() + 80);
}

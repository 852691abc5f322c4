// The main window's keys of the numbered settings file and its rows of the table of defaults.
#include "app/main_window.h"

#include "app/aux_window.h"
#include "app/canvas.h"
#include "app/fonts.h"
#include "app/settings_binders.h"
#include "app/text_pane.h"
#include "app/updown.h"
#include "app/wastop_monitor.h"
#include "audience/audience_panel.h"
#include "audience/online_panel.h"
#include "messaging/fkey_memo.h"
#include "prepared/subinput_window.h"
#include "text/cp932.h"
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

namespace {

using Settings::Kind;
using Settings::FontStyle;
constexpr Kind OnOff = Kind::OnOff;
constexpr Kind TrueFalse = Kind::TrueFalse;
constexpr Kind Int = Kind::Int;
constexpr Kind Text = Kind::Text;

}  // namespace

void Ttalk2e::addSettings(Settings::KeyTable& t) {
    using namespace Bind;
    auto colourKey = [&t](int key, QStringView text, qint32* value, std::function<void()> paint) {
        colour(t, key, text, [value] { return *value; }, [value, paint](qint32 v) {
            *value = v;
            paint();
        });
    };
    // Fonts of the display, the input pane and the monitor pane: name, size, colour, styles.
    auto displayFont = [this] { return display_->displayFont(); };
    auto setDisplayFont = [this](const QFont& f) { SetDisplayFont(f); };
    auto inputFont = [this] { return named<TextPane>("RichEdit1")->font(); };
    auto setInputFont = [this](const QFont& f) { SetInputFont(f); };
    auto monitorFont = [this] { return named<TextPane>("RichEdit27")->font(); };
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

    // The page "補助Ｗ" keeps its controls; its rows reach them by name.
    auto* CheckBox10 = named<QCheckBox>("CheckBox10");
    auto* CheckBox12 = named<QCheckBox>("CheckBox12");
    auto* CheckBox14 = named<QCheckBox>("CheckBox14");
    auto* CheckBox21 = named<QCheckBox>("CheckBox21");
    auto* CheckBox30 = named<QCheckBox>("CheckBox30");
    auto* CheckBox46 = named<QCheckBox>("CheckBox46");
    auto* CheckBox48 = named<QCheckBox>("CheckBox48");
    auto* CheckBox49 = named<QCheckBox>("CheckBox49");
    auto* Edit20 = named<QLineEdit>("Edit20");
    Audience::AudiencePanel* AudiencePanel = &auxiliary_->audiencePanel();
    Audience::OnlinePanel* OnlinePanel = &auxiliary_->onlinePanel();

    Bind::geometry(t, this, {0, 1, 2, 3}, u"ウィンドウの高さ", u"メインウィンドの幅", u"メインウィンドの縦位置", u"メインウィンドの横位置",
                   Settings::kSmallestMainWindow);
    edit(t, 4, named<QLineEdit>("Edit8"), Int, u"マニュアル調整の表示行数");
    edit(t, 5, named<QLineEdit>("Edit12"), Int, u"マニュアル調整の行間");
    number(t, 6, u"マニュアル設定のスクロール速度 ＜注意＞００５の前に００６を書く事！", [this] { return scroll_.baseStep; },
           [this](int v) { named<QLineEdit>("Edit9")->setText(QString::number(v)); });
    fontName(t, 7, u"表示部のフォントの種類", displayFont, setDisplayFont);
    colourKey(8, u"表示部のフォントの色", &colours_.displayInk, [this] { display_->PaintDisplay(); });
    fontSize(t, 9, u"表示部のフォントサイズ", displayFont, setDisplayFont);
    colourKey(10, u"表示部の背景色", &colours_.displayPaper, [this] { display_->PaintDisplay(); });
    number(t, 11, u"入力・モニター部のせっと・何人入力？", [this] { return typistMode(); },
           framed([this](int v) { SetTypistRows(v); }));
    number(t, 12, u"パネルの大きさ＜注意＞０１１の前に０１２を書く事！", [this] { return named<QFrame>("Panel1")->height(); },
           framed([this](int v) { named<QFrame>("Panel1")->resize(named<QFrame>("Panel1")->width(), v); }));
    fontSize(t, 13, u"モニター部のフォントサイズ", monitorFont, setMonitorFont);
    Bind::height(t, 14, named<TextPane>("RichEdit27"), u"モニター部の高さ");
    number(t, 15, u"モニター部の左位置", [this] { return named<TextPane>("RichEdit27")->x(); }, [this](int v) { named<TextPane>("RichEdit27")->move(v, named<TextPane>("RichEdit27")->y()); });
    fontSize(t, 16, u"入力部のフォントサイズ", inputFont, setInputFont);
    Bind::height(t, 17, named<TextPane>("RichEdit1"), u"入力部の高さ");
    number(t, 18, u"入力部の上下位置", [this] { return named<TextPane>("RichEdit1")->y(); }, [this](int v) { named<TextPane>("RichEdit1")->move(named<TextPane>("RichEdit1")->x(), v); });
    number(t, 19, u"入力部の左右位置", [this] { return named<TextPane>("RichEdit1")->x(); }, [this](int v) { named<TextPane>("RichEdit1")->move(v, named<TextPane>("RichEdit1")->y()); });
    Bind::height(t, 20, named<QPushButton>("Button12"), u"「ワ」ボタンの高さ");
    Bind::height(t, 21, named<QPushButton>("Button13"), u"「再」ボタンの高さ");
    Bind::height(t, 22, named<QPushButton>("Button14"), u"「送」ボタンの高さ");
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
    edit(t, 31, named<QLineEdit>("Edit10"), Int, u"スクロール：loop停止までの回数");
    edit(t, 32, named<QLineEdit>("Edit11"), Int, u"スクロール：スクロールインターバル");
    edit(t, 33, named<QLineEdit>("Edit43"), Int, u"スクロール：加速する未表示行数");
    edit(t, 34, named<QLineEdit>("Edit44"), Int, u"スクロール：加速の倍率");
    check(t, 35, named<QCheckBox>("CheckBox5"), OnOff, u"スクロール：加速の有無");
    colourKey(36, u"変換中文字色", &colours_.compositionInk, [this] { PaintComposition(); });
    colourKey(37, u"変換中文字色（背景色）", &colours_.compositionPaper, [this] { PaintComposition(); });
    check(t, 38, named<QCheckBox>("CheckBox8"), OnOff, u"改行の連結の有無");
    edit(t, 39, named<QLineEdit>("Edit31"), Text, u"発言者名");
    check(t, 58, named<QCheckBox>("CheckBox13"), OnOff, u"Ｆ１２後ろにも空行を入れるチェックボックス");
    edit(t, 59, named<QLineEdit>("Edit66"), Text, u"入力途中クリアメッセージ");
    edit(t, 60, named<QLineEdit>("Edit68"), Int, u"入力途中クリアメッセージ表示時間");
    check(t, 61, CheckBox12, OnOff, u"8人モニター通信ｏｎ／ｏｆｆ");
    check(t, 64, CheckBox22, OnOff, u"入力をＬＡＮに流すか？のチェック");
    number(t, 67, u"スライドマーカーの高さ", [this] { return slideMarkerHeight_; }, [this](int v) { slideMarkerHeight_ = v; });
    number(t, 68, u"ボタンの元の高さ（スライドマーカーの高さを変える時に使用）", [this] { return buttonBaseHeight_; },
           [this](int v) { buttonBaseHeight_ = v; });
    readOnly(t, 71, Kind::Colour, [this](QByteArrayView v) { colours_.splitter1 = Settings::intValue(v); });
    readOnly(t, 72, Kind::Colour, [this](QByteArrayView v) { colours_.splitter2 = Settings::intValue(v); });
    edit(t, 73, Edit91, Int, u"表示文の自動保存の行数");
    edit(t, 74, Edit92, Int, u"表示文の自動保存の時間間隔");
    check(t, 75, CheckBox39, OnOff, u"表示文の自動保存をするか？");
    number(t, 78, u"スライドマーカー1位置", [this] { return slideMarker1_; }, [this](int v) { slideMarker1_ = v; });
    number(t, 79, u"スライドマーカー2位置", [this] { return slideMarker2_; }, [this](int v) { slideMarker2_ = v; });
    check(t, 101, named<QCheckBox>("CheckBox43"), OnOff, u"Ｆ８キーで、入力文をくくる");
    edit(t, 102, named<QLineEdit>("Edit78"), Text, u"Ｆ８キーで、入力文をくくる時の文字列１");
    edit(t, 103, named<QLineEdit>("Edit79"), Text, u"Ｆ８キーで、入力文をくくる時の文字列2");
    styles(108, u"表示部のフォントスタイル：ｂｏｌｄ", u"表示部のフォントスタイル：Ｉｔａｌｉｃ", u"表示部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ",
           displayFont, setDisplayFont);
    check(t, 126, named<QCheckBox>("CheckBox11"), OnOff, u"他の人の入力もＵｎｄｏの対象にする", u"他の人の入力もＵｎｄｏの対象にしない");
    check(t, 128, named<QCheckBox>("CheckBox50"), OnOff, u"入力文の表示位置の表示する", u"入力文の表示位置の表示しない");
    styles(129, u"入力部のフォントスタイル：ｂｏｌｄ", u"入力部のフォントスタイル：Ｉｔａｌｉｃ", u"入力部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ",
           inputFont, setInputFont);
    styles(132, u"モニター部のフォントスタイル：ｂｏｌｄ", u"モニター部のフォントスタイル：Ｉｔａｌｉｃ",
           u"モニター部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ", monitorFont, setMonitorFont);
    colourKey(135, u"ページの背景色", &colours_.page, [this] { PaintPages(); });
    colourKey(136, u"項目文字色", &colours_.items, [this] { PaintPages(); });
    readOnly(t, 139, OnOff, [this](QByteArrayView v) { named<QCheckBox>("CheckBox52")->setChecked(Settings::isOn(v)); });
    check(t, 140, named<QCheckBox>("CheckBox52"), OnOff, u"Ｆ７キーを訂正キーにする。", u"Ｆ７キーを訂正キーにしない。");
    edit(t, 141, named<QLineEdit>("Edit94"), Text, u"Ｆ７訂正キーの囲う文字列（前半）。");
    edit(t, 142, named<QLineEdit>("Edit95"), Text, u"Ｆ７訂正キーの囲う文字列（後半）。");
    check(t, 143, named<QCheckBox>("CheckBox53"), OnOff, u"カーソルより前を送る。", u"入力部の全部を送る");
    colourKey(144, u"説明文字色", &colours_.explanation, [this] { PaintExplanations(); });
    check(t, 168, named<QCheckBox>("CheckBox55"), OnOff, u"行末表示モニター部", u"行頭表示モニター部");
    check(t, 169, named<QCheckBox>("CheckBox56"), OnOff, u"行末表示８人モニター", u"行頭表示８人モニター");
    // The step again, after the spacing: a step equal to the spacing moves a line per tick.
    edit(t, 171, named<QLineEdit>("Edit9"), Int, u"スクロール移動量（２度目、パグ対策）");
    edit(t, 172, named<QLineEdit>("Edit6"), Int, u"モニター部の行数");
    edit(t, 173, named<QLineEdit>("Edit96"), Int, u"入力部の行数");
    check(t, 192, named<QCheckBox>("CheckBox68"), OnOff, u"マウスカーソル非表示", u"マウスカーソル非表示なし");
    check(t, 193, CheckBox71, OnOff, u"VPNルーター・インターネットで使う（アドレスの後に書く事）", u"VPNルーター・インターネットで使わない");
    check(t, 194, CheckBox72, OnOff, u"VPNルーター・ブロードキャストする", u"VPNルーター・そのままのＩＰを流す");
    edit(t, 195, Edit98, Text, u"VPNルーター・インターネットアドレス１");
    edit(t, 196, Edit99, Text, u"VPNルーター・インターネットアドレス２");
    edit(t, 197, Edit100, Text, u"VPNルーター・インターネットアドレス３");
    edit(t, 216, named<QLineEdit>("Edit5"), Text, u"SHIFT+Ｆ８キーで、入力文をくくる時の文字列１");
    edit(t, 217, named<QLineEdit>("Edit7"), Text, u"SHIFT+Ｆ８キーで、入力文をくくる時の文字列2");
    check(t, 220, CheckBox10, OnOff, u"テンプレート前ロールウィンド前面", u"テンプレート前ロールウィンド前面ではない");
    check(t, 238, CheckBox14, OnOff, u"８人モニターを常に前面にする", u"８人モニターを常に前面にしない");
    colourKey(269, u"デスクトップを単一色でカバーする色", &colours_.cover, [] {});
    check(t, 270, named<QCheckBox>("CheckBox9"), TrueFalse, u"デスクトップを単一色でカバーする", u"デスクトップを単一色でカバーしない");
    check(t, 277, named<QCheckBox>("CheckBox67"), TrueFalse, u"「表示１」ページの行間を調整するのチェック");
    edit(t, 278, Edit20, Int, u"8人モニターの行数指定");
    check(t, 700, named<QCheckBox>("CheckBox15"), TrueFalse, u"入力の時間指定のチェック", u"入力の時間指定のチェックなし");
    edit(t, 701, named<QLineEdit>("Edit16"), Int, u"入力の時間指定の時間");
    check(t, 744, CheckBox21, TrueFalse, u"eシリーズ専用の確認修正ウィンドウのﾊﾟﾚｯﾄ送信チェック");
    check(t, 780, CheckBox30, TrueFalse, u"「パレット連動」のチェック");
    // The own name, the channel and the group: written by the save operations after every other key.
    readOnly(t, 166, Text, [this](QByteArrayView v) { SetOwnNameFromFile(Cp932::decode(v)); });
    readOnly(t, 801, Int, [this](QByteArrayView v) { SetChannelFromFile(Settings::intValue(v)); });
    readOnly(t, 802, Int, [this](QByteArrayView v) { SetGroup(Settings::intValue(v, 1)); });
    check(t, 803, named<QCheckBox>("CheckBox19"), TrueFalse, u"メッセージ表示", u"メッセージ抑制");
    check(t, 804, named<QCheckBox>("CheckBox35"), TrueFalse, u"入力部内で改行する");
    check(t, 805, named<QCheckBox>("CheckBox36"), TrueFalse, u"「空行のみ改行」を指定");
    check(t, 806, CheckBox42, TrueFalse, u"「暗号化通信」の指定");
    edit(t, 807, Edit1, Text, u"「暗号化通信」のパスワード");
    check(t, 808, named<QCheckBox>("CheckBox47"), TrueFalse, u"Ｆ１１をＤｅｌ／Ｃｌｓにする");
    check(t, 809, CheckBox46, TrueFalse, u"ルビ送信。");
    check(t, 855, named<QCheckBox>("CheckBox24"), TrueFalse, u"受信文をクリップボードへコピーのチェック");
    check(t, 856, named<QCheckBox>("CheckBox37"), TrueFalse, u"「ｔａｂに記録量を表示」のチェック");
    check(t, 858, named<QCheckBox>("CheckBox41"), TrueFalse, u"入力文をクリップボードへコピーのチェック");
    check(t, 861, CheckBox48, TrueFalse, u"前ロールモニターの行数を２倍にする。");
    check(t, 862, CheckBox49, TrueFalse, u"８人モニターでＣＲ／ＬＦを■に表示。");
    check(t, 863, named<QCheckBox>("CheckBox57"), TrueFalse, u"モニター部でＣＲ／ＬＦを■に表示。");
    check(t, 864, named<QCheckBox>("CheckBox58"), TrueFalse, u"文字で入力読みを囲う。");
    edit(t, 865, named<QLineEdit>("Edit22"), Text, u"文字で入力読みを囲う。");
    edit(t, 866, named<QLineEdit>("Edit23"), Text, u"文字で入力読みを囲う。");
    check(t, 867, named<QCheckBox>("CheckBox59"), TrueFalse, u"ルビにする。");
    {
        Settings::Entry ruby;
        ruby.key = 868;
        ruby.kind = Kind::Digit;
        ruby.comment = comment(u"ひらがなルビにする。");
        ruby.commentOff = comment(u"カタカナルビにする。");
        ruby.commentThird = comment(u"ﾊﾝｶｸﾙﾋﾞにする。");
        ruby.read = [this] { return QByteArray(named<QRadioButton>("RadioButton3")->isChecked() ? "3" : named<QRadioButton>("RadioButton2")->isChecked() ? "2" : "1"); };
        ruby.apply = [this](QByteArrayView v) {
            const int d = Settings::rubyDigit(v);
            named<QRadioButton>(d == 3 ? "RadioButton3" : d == 2 ? "RadioButton2" : "RadioButton1")->setChecked(true);
        };
        t.add(std::move(ruby));
    }
    check(t, 869, CheckBox60, TrueFalse, u"7wを表示に。");
    check(t, 870, named<QCheckBox>("CheckBox61"), TrueFalse, u"句読点などで自動的に表示に流す");
    check(t, 871, named<QCheckBox>("CheckBox62"), TrueFalse, u"入力文字数が指定を超えると黄色で警告する");
    edit(t, 872, named<QLineEdit>("Edit24"), Int, u"黄色で警告する入力文字数");
    // The audience page: keys of our own, which a station that does not know them skips.
    check(t, 950, AudiencePanel->enabledBox, TrueFalse, u"観客用ページを公開する", u"観客用ページを公開しない");
    edit(t, 951, AudiencePanel->portEdit, Int, u"観客用ページのポート番号");
    choice(t, 952, u"オンライン字幕の送信先の種類", [OnlinePanel] { return OnlinePanel->kindWord(); },
           [OnlinePanel](const QString& word) { OnlinePanel->setKindWord(word); });
    address(t, 953, OnlinePanel->urlEdit, u"オンライン字幕の送信先URL");
    edit(t, 954, OnlinePanel->languageEdit, Text, u"オンライン字幕の言語");
}

// Key 166: a name other than the one in force is announced to the user, with the partner page.
void Ttalk2e::SetOwnNameFromFile(const QString& name) {
    if (name != Edit30->text() && showMessages()) {
        station_.messages.information(QStringLiteral(
            "このパソコンの「名前」が変わりました。\n新しい名前を他のパソコンに表示するために\n"
            "「パートナー」ページで次の操作をしてください。\n\n１）「お休み」ボタンを押す\n２）「メンバーを捜す」ボタンを押す。"));
        PageControl1->setCurrentIndex(2);
    }
    Edit30->setText(name);
}

// Key 801: "12", an index this combo does not offer, and anything out of range select "1ch"; the
// channel change runs once, whether the index changed or not.
void Ttalk2e::SetChannelFromFile(int value) {
    const int index = value >= 0 && value < Net::kChannelCount ? value : 0;
    {
        const QSignalBlocker block(ComboBox2);
        ComboBox2->setCurrentIndex(index);
    }
    ComboBox2Change();
}

// Key 802: the radio button of the group (and the combo beyond "Ｆ班"); a group the selectors do not
// offer selects "Ａ班". The button's own handler changes the group when it was not selected yet.
void Ttalk2e::SetGroup(int group) {
    if (group < 1 || group > 26) group = 1;
    QRadioButton* fixed[] = {RadioButton6, RadioButton7, RadioButton8, RadioButton9, RadioButton10, RadioButton11};
    if (group <= 6) {
        fixed[group - 1]->setChecked(true);
        return;
    }
    if (RadioButton12->isChecked()) {
        ComboBox1->setCurrentIndex(group - 7);  // its handler changes the group
        return;
    }
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->setCurrentIndex(group - 7);
    }
    RadioButton12->setChecked(true);
}

void Ttalk2e::ResetToDefaults() {
    using namespace Settings::Colour;
    Form8->hide();
    named<QCheckBox>("CheckBox85")->setChecked(false);
    {
        const QSignalBlocker block(this);
        move(0, 0);
        resize(640, 480);
    }
    named<QLineEdit>("Edit12")->setText(QStringLiteral("60"));
    named<QLineEdit>("Edit8")->setText(QStringLiteral("6"));
    named<QLineEdit>("Edit9")->setText(QStringLiteral("2"));
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
    named<QLineEdit>("Edit10")->setText(QStringLiteral("15"));
    named<QLineEdit>("Edit11")->setText(QStringLiteral("30"));
    named<QLineEdit>("Edit43")->setText(QStringLiteral("5"));
    named<QLineEdit>("Edit44")->setText(QStringLiteral("2"));
    named<QCheckBox>("CheckBox5")->setChecked(true);
    colours_.compositionInk = kBlue;
    colours_.compositionPaper = kWhite;
    PaintComposition();
    named<QCheckBox>("CheckBox8")->setChecked(false);
    named<QCheckBox>("CheckBox13")->setChecked(false);
    named<QLineEdit>("Edit31")->clear();
    named<QLineEdit>("Edit66")->setText(QStringLiteral("・"));
    named<QLineEdit>("Edit68")->setText(QStringLiteral("500"));
    named<QCheckBox>("CheckBox12")->setChecked(true);
    CheckBox22->setChecked(true);
    slideMarkerHeight_ = 3;
    buttonBaseHeight_ = 26;
    slideMarker1_ = slideMarker2_ = 200;
    colours_.splitter1 = kGreen;
    colours_.splitter2 = kOlive;
    Edit92->setText(QStringLiteral("10"));
    Edit91->setText(QStringLiteral("1000"));
    CheckBox39->setChecked(false);
    named<QCheckBox>("CheckBox43")->setChecked(false);
    named<QLineEdit>("Edit78")->setText(QStringLiteral("「"));
    named<QLineEdit>("Edit79")->setText(QStringLiteral("」"));
    named<QLineEdit>("Edit5")->setText(QStringLiteral("♪"));
    named<QLineEdit>("Edit7")->setText(QStringLiteral("♪"));
    named<QLineEdit>("Edit20")->setText(QStringLiteral("1"));
    named<QCheckBox>("CheckBox14")->setChecked(true);
    named<QCheckBox>("CheckBox11")->setChecked(true);
    named<QCheckBox>("CheckBox50")->setChecked(false);
    colours_.page = kButtonFace;
    colours_.items = kWindowText;
    colours_.explanation = kGreen;
    PaintPages();
    hide();
    show();
    named<QCheckBox>("CheckBox52")->setChecked(false);
    named<QLineEdit>("Edit94")->setText(QStringLiteral("訂正：↑の「"));
    named<QLineEdit>("Edit95")->setText(QStringLiteral("」は「」です。"));
    named<QCheckBox>("CheckBox53")->setChecked(false);
    named<QCheckBox>("CheckBox55")->setChecked(false);
    named<QCheckBox>("CheckBox56")->setChecked(false);
    named<QLineEdit>("Edit6")->setText(QStringLiteral("1"));
    named<QLineEdit>("Edit96")->setText(QStringLiteral("1"));
    named<QCheckBox>("CheckBox68")->setChecked(false);
    CheckBox71->setChecked(false);
    CheckBox72->setChecked(false);
    for (QLineEdit* e : {Edit98, Edit99, Edit100}) e->clear();
    auxiliary_->setTemplateOnTop(true);
    colours_.cover = kBlack;
    named<QCheckBox>("CheckBox9")->setChecked(false);
    named<QCheckBox>("CheckBox67")->setChecked(true);
    named<QCheckBox>("CheckBox15")->setChecked(false);
    named<QLineEdit>("Edit16")->setText(QStringLiteral("15"));
    auxiliary_->setInputToPalette(false);
    auxiliary_->showInputToPalette();
    auxiliary_->setPaletteLinked(false);
    SetChannelFromFile(0);
    SetGroup(1);
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->setCurrentIndex(0);
    }
    named<QCheckBox>("CheckBox19")->setChecked(true);
    named<QCheckBox>("CheckBox35")->setChecked(false);
    named<QCheckBox>("CheckBox36")->setChecked(false);
    CheckBox42->setChecked(false);
    Edit1->setText(QStringLiteral("既定の共有合言葉その一番"));
    named<QCheckBox>("CheckBox47")->setChecked(false);
    auxiliary_->setRubyExchange(false);
    named<QCheckBox>("CheckBox24")->setChecked(false);
    named<QCheckBox>("CheckBox37")->setChecked(false);
    named<QCheckBox>("CheckBox41")->setChecked(false);
    named<QCheckBox>("CheckBox48")->setChecked(false);
    named<QCheckBox>("CheckBox49")->setChecked(true);
    named<QCheckBox>("CheckBox57")->setChecked(false);
    named<QCheckBox>("CheckBox58")->setChecked(false);
    named<QLineEdit>("Edit22")->setText(QStringLiteral("（"));
    named<QLineEdit>("Edit23")->setText(QStringLiteral("）"));
    named<QCheckBox>("CheckBox59")->setChecked(false);
    named<QRadioButton>("RadioButton3")->setChecked(true);
    CheckBox60->setChecked(false);
    named<QCheckBox>("CheckBox61")->setChecked(false);
    named<QCheckBox>("CheckBox62")->setChecked(false);
    named<QLineEdit>("Edit24")->setText(QStringLiteral("100"));
    auxiliary_->audiencePanel().enabledBox->setChecked(false);
    auxiliary_->audiencePanel().portEdit->setText(QStringLiteral("8711"));
    auxiliary_->onlinePanel().setKindWord(QStringLiteral("off"));
    auxiliary_->onlinePanel().urlEdit->clear();
    auxiliary_->onlinePanel().languageEdit->setText(QStringLiteral("jp-JP"));
    for (QWidget* w : allWindows())
        if (auto* aux = qobject_cast<AuxWindow*>(w)) aux->resetToDefaults();
    Form5->move(x() + 25, y() + 80);
}

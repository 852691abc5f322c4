// The main window's rows of the numbered settings file, in the order "初期値に戻す" resets them.
// A control moved to another page keeps its row: rows find controls by their designer names.
#include "app/main_window.h"

namespace {

using Settings::Kind;
constexpr Kind OnOff = Kind::OnOff;
constexpr Kind TrueFalse = Kind::TrueFalse;
constexpr Kind Int = Kind::Int;
constexpr Kind Text = Kind::Text;

}  // namespace

// clang-format off
Settings::Rows<Ttalk2e> Ttalk2e::settingRows() {
    using T = Ttalk2e;
    static const Settings::Row<Ttalk2e> rows[] = {
        {.step = &T::resetFrame},
        {.key = 5, .control = "Edit12", .kind = Int, .comment = u"マニュアル調整の行間", .design = u"60"},
        {.key = 4, .control = "Edit8", .kind = Int, .comment = u"マニュアル調整の表示行数", .design = u"6"},
        // The step again, after the spacing: a step equal to the spacing moves a line per tick.
        {.key = 171, .control = "Edit9", .kind = Int, .comment = u"スクロール移動量（２度目、パグ対策）", .design = u"2",
         .step = &T::resetLooks},
        {.key = 31, .control = "Edit10", .kind = Int, .comment = u"スクロール：loop停止までの回数", .design = u"30", .reset = u"15"},
        {.key = 32, .control = "Edit11", .kind = Int, .comment = u"スクロール：スクロールインターバル", .design = u"30"},
        {.key = 33, .control = "Edit43", .kind = Int, .comment = u"スクロール：加速する未表示行数", .design = u"5"},
        {.key = 34, .control = "Edit44", .kind = Int, .comment = u"スクロール：加速の倍率", .design = u"2"},
        {.key = 35, .control = "CheckBox5", .kind = OnOff, .comment = u"スクロール：加速の有無", .design = u"off", .reset = u"on",
         .step = &T::resetComposition},
        {.key = 38, .control = "CheckBox8", .kind = OnOff, .comment = u"改行の連結の有無", .design = u"off"},
        {.key = 58, .control = "CheckBox13", .kind = OnOff, .comment = u"Ｆ１２後ろにも空行を入れるチェックボックス", .design = u"off"},
        {.key = 39, .control = "Edit31", .kind = Text, .comment = u"発言者名", .design = u""},
        {.key = 59, .control = "Edit66", .kind = Text, .comment = u"入力途中クリアメッセージ", .design = u"・"},
        {.key = 60, .control = "Edit68", .kind = Int, .comment = u"入力途中クリアメッセージ表示時間", .design = u"500"},
        {.key = 61, .control = "CheckBox12", .kind = OnOff, .comment = u"8人モニター通信ｏｎ／ｏｆｆ", .design = u"on"},
        {.key = 64, .control = "CheckBox22", .kind = OnOff, .comment = u"入力をＬＡＮに流すか？のチェック", .design = u"on",
         .step = &T::resetMarkers},
        {.key = 74, .control = "Edit92", .kind = Int, .comment = u"表示文の自動保存の時間間隔", .design = u"10"},
        {.key = 73, .control = "Edit91", .kind = Int, .comment = u"表示文の自動保存の行数", .design = u"1000"},
        {.key = 75, .control = "CheckBox39", .kind = OnOff, .comment = u"表示文の自動保存をするか？", .design = u"off"},
        {.key = 101, .control = "CheckBox43", .kind = OnOff, .comment = u"Ｆ８キーで、入力文をくくる", .design = u"off"},
        {.key = 102, .control = "Edit78", .kind = Text, .comment = u"Ｆ８キーで、入力文をくくる時の文字列１", .design = u"「"},
        {.key = 103, .control = "Edit79", .kind = Text, .comment = u"Ｆ８キーで、入力文をくくる時の文字列2", .design = u"」"},
        {.key = 216, .control = "Edit5", .kind = Text, .comment = u"SHIFT+Ｆ８キーで、入力文をくくる時の文字列１", .design = u"♪"},
        {.key = 217, .control = "Edit7", .kind = Text, .comment = u"SHIFT+Ｆ８キーで、入力文をくくる時の文字列2", .design = u"♪"},
        {.key = 278, .control = "Edit20", .kind = Int, .comment = u"8人モニターの行数指定", .design = u"1"},
        {.key = 238, .control = "CheckBox14", .kind = OnOff, .comment = u"８人モニターを常に前面にする", .commentOff = u"８人モニターを常に前面にしない",
         .design = u"on"},
        {.key = 126, .control = "CheckBox11", .kind = OnOff, .comment = u"他の人の入力もＵｎｄｏの対象にする",
         .commentOff = u"他の人の入力もＵｎｄｏの対象にしない", .design = u"on"},
        {.key = 128, .control = "CheckBox50", .kind = OnOff, .comment = u"入力文の表示位置の表示する", .commentOff = u"入力文の表示位置の表示しない",
         .design = u"off", .step = &T::resetPageColours},
        {.key = 140, .control = "CheckBox52", .kind = OnOff, .comment = u"Ｆ７キーを訂正キーにする。", .commentOff = u"Ｆ７キーを訂正キーにしない。",
         .design = u"off"},
        {.key = 141, .control = "Edit94", .kind = Text, .comment = u"Ｆ７訂正キーの囲う文字列（前半）。", .design = u"訂正：↑の「"},
        {.key = 142, .control = "Edit95", .kind = Text, .comment = u"Ｆ７訂正キーの囲う文字列（後半）。", .design = u"」は「」です。"},
        {.key = 143, .control = "CheckBox53", .kind = OnOff, .comment = u"カーソルより前を送る。", .commentOff = u"入力部の全部を送る",
         .design = u"off"},
        {.key = 168, .control = "CheckBox55", .kind = OnOff, .comment = u"行末表示モニター部", .commentOff = u"行頭表示モニター部",
         .design = u"off"},
        {.key = 169, .control = "CheckBox56", .kind = OnOff, .comment = u"行末表示８人モニター", .commentOff = u"行頭表示８人モニター",
         .design = u"off"},
        {.key = 172, .control = "Edit6", .kind = Int, .comment = u"モニター部の行数", .design = u"1"},
        {.key = 173, .control = "Edit96", .kind = Int, .comment = u"入力部の行数", .design = u"1"},
        {.key = 192, .control = "CheckBox68", .kind = OnOff, .comment = u"マウスカーソル非表示", .commentOff = u"マウスカーソル非表示なし",
         .design = u"off"},
        {.key = 193, .control = "CheckBox71", .kind = OnOff, .comment = u"VPNルーター・インターネットで使う（アドレスの後に書く事）",
         .commentOff = u"VPNルーター・インターネットで使わない", .design = u"off"},
        {.key = 194, .control = "CheckBox72", .kind = OnOff, .comment = u"VPNルーター・ブロードキャストする",
         .commentOff = u"VPNルーター・そのままのＩＰを流す", .design = u"off"},
        {.key = 195, .control = "Edit98", .kind = Text, .comment = u"VPNルーター・インターネットアドレス１", .design = u""},
        {.key = 196, .control = "Edit99", .kind = Text, .comment = u"VPNルーター・インターネットアドレス２", .design = u""},
        {.key = 197, .control = "Edit100", .kind = Text, .comment = u"VPNルーター・インターネットアドレス３", .design = u""},
        {.key = 220, .control = "CheckBox10", .kind = OnOff, .comment = u"テンプレート前ロールウィンド前面",
         .commentOff = u"テンプレート前ロールウィンド前面ではない", .design = u"on", .step = &T::resetCover},
        {.key = 270, .control = "CheckBox9", .kind = TrueFalse, .comment = u"デスクトップを単一色でカバーする",
         .commentOff = u"デスクトップを単一色でカバーしない", .design = u"false"},
        {.key = 277, .control = "CheckBox67", .kind = TrueFalse, .comment = u"「表示１」ページの行間を調整するのチェック", .design = u"true"},
        {.key = 700, .control = "CheckBox15", .kind = TrueFalse, .comment = u"入力の時間指定のチェック", .commentOff = u"入力の時間指定のチェックなし",
         .design = u"false"},
        {.key = 701, .control = "Edit16", .kind = Int, .comment = u"入力の時間指定の時間", .design = u"15"},
        {.key = 744, .control = "CheckBox21", .kind = TrueFalse, .comment = u"eシリーズ専用の確認修正ウィンドウのﾊﾟﾚｯﾄ送信チェック", .design = u"false", .step = &T::showPaletteCheck},
        {.key = 780, .control = "CheckBox30", .kind = TrueFalse, .comment = u"「パレット連動」のチェック", .design = u"false",
         .step = &T::resetChannelAndGroup},
        {.key = 803, .control = "CheckBox19", .kind = TrueFalse, .comment = u"メッセージ表示", .commentOff = u"メッセージ抑制", .design = u"true"},
        {.key = 804, .control = "CheckBox35", .kind = TrueFalse, .comment = u"入力部内で改行する", .design = u"false"},
        {.key = 805, .control = "CheckBox36", .kind = TrueFalse, .comment = u"「空行のみ改行」を指定", .design = u"false"},
        {.key = 806, .control = "CheckBox42", .kind = TrueFalse, .comment = u"「暗号化通信」の指定", .design = u"false"},
        {.key = 807, .control = "Edit1", .kind = Text, .comment = u"「暗号化通信」のパスワード", .design = u"既定の共有合言葉その一番"},
        {.key = 808, .control = "CheckBox47", .kind = TrueFalse, .comment = u"Ｆ１１をＤｅｌ／Ｃｌｓにする", .design = u"false"},
        {.key = 809, .control = "CheckBox46", .kind = TrueFalse, .comment = u"ルビ送信。", .design = u"false"},
        {.key = 855, .control = "CheckBox24", .kind = TrueFalse, .comment = u"受信文をクリップボードへコピーのチェック", .design = u"false"},
        {.key = 856, .control = "CheckBox37", .kind = TrueFalse, .comment = u"「ｔａｂに記録量を表示」のチェック", .design = u"false"},
        {.key = 858, .control = "CheckBox41", .kind = TrueFalse, .comment = u"入力文をクリップボードへコピーのチェック", .design = u"false"},
        {.key = 861, .control = "CheckBox48", .kind = TrueFalse, .comment = u"前ロールモニターの行数を２倍にする。", .design = u"false"},
        {.key = 862, .control = "CheckBox49", .kind = TrueFalse, .comment = u"８人モニターでＣＲ／ＬＦを■に表示。", .design = u"true"},
        {.key = 863, .control = "CheckBox57", .kind = TrueFalse, .comment = u"モニター部でＣＲ／ＬＦを■に表示。", .design = u"false"},
        {.key = 864, .control = "CheckBox58", .kind = TrueFalse, .comment = u"文字で入力読みを囲う。", .design = u"false"},
        {.key = 865, .control = "Edit22", .kind = Text, .comment = u"文字で入力読みを囲う。", .design = u"（"},
        {.key = 866, .control = "Edit23", .kind = Text, .comment = u"文字で入力読みを囲う。", .design = u"）"},
        {.key = 867, .control = "CheckBox59", .kind = TrueFalse, .comment = u"ルビにする。", .design = u"false",
         .step = &T::resetRubyScript},
        {.key = 869, .control = "CheckBox60", .kind = TrueFalse, .comment = u"7wを表示に。", .design = u"false"},
        {.key = 870, .control = "CheckBox61", .kind = TrueFalse, .comment = u"句読点などで自動的に表示に流す", .design = u"false"},
        {.key = 871, .control = "CheckBox62", .kind = TrueFalse, .comment = u"入力文字数が指定を超えると黄色で警告する", .design = u"false"},
        {.key = 872, .control = "Edit24", .kind = Int, .comment = u"黄色で警告する入力文字数", .design = u"100"},
        // The audience page: keys of our own, which a station that does not know them skips.
        {.key = 950, .control = "CheckAudience", .kind = TrueFalse, .comment = u"観客用ページを公開する", .commentOff = u"観客用ページを公開しない",
         .design = u"false"},
        {.key = 951, .control = "EditAudiencePort", .kind = Int, .comment = u"観客用ページのポート番号", .design = u"8711",
         .step = &T::resetOnlineKind},
        {.key = 953, .control = "EditOnlineUrl", .kind = Text, .comment = u"オンライン字幕の送信先URL", .design = u"",
         .valueToLastColon = true},
        {.key = 954, .control = "EditOnlineLanguage", .kind = Text, .comment = u"オンライン字幕の言語", .design = u"jp-JP",
         .step = &T::resetOtherWindows},
    };
    return rows;
}
// clang-format on

QString Ttalk2e::builtValue(const char* control) {
    const Settings::Row<Ttalk2e>* row = Settings::rowOf(settingRows(), control);
    return row && row->design ? QString::fromUtf16(row->design) : QString();
}

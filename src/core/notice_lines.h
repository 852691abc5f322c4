#pragma once
// The notice window's lines: a notice and its look travel as numbered settings lines, one per
// datagram on the notice port, closed by "$end$"; the pre-roll keeps the same settings as one
// comma-separated line. Building them, collecting them on arrival and deciding what a batch
// applies live here; the window only sets its controls from the plan.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <optional>

namespace Core::Notice {

// The settings file's header line (Settings::headerLine): a batch without it as its first line
// applies nothing. Lines and their words are the settings file's (settings/values.h).
const QByteArray& Header();
const QByteArray& ShowLine();  // "900:true:表示"
const QByteArray& StopLine();  // "901:true:停止"
// A batch ends with "$end$" (the token of the settings transfer, Net::Wire::SettingsEnd).
const QByteArray& End();

enum Key : int {
    Height = 500,
    Width = 501,
    Top = 502,
    Left = 503,
    Text = 504,
    HideAtEnd = 505,
    Loop = 506,
    OnTop = 507,
    Loops = 508,
    Interval = 509,
    Step = 510,
    FontName = 511,
    FontColour = 512,
    FontSize = 513,
    Background = 514,
    Bold = 515,
    Italic = 516,
    Underline = 517,
    OverTop = 518,
    MoveBack = 519,
    PagesBack = 520,
    StopAtLeft = 521,
    AutoHeight = 522,
    ResetHeight = 523,
    UnderBottom = 524,
    Show = 900,
    Stop = 901,
};

// The look of the ticker (506 to 517): sent with a notice while "この枠内の基本設定も送信する" is on.
struct Look {
    bool loop = false;                // "繰り返す"
    bool onTop = true;                // "前面に表示"
    QByteArray loops = "0";           // the repetition field, as typed
    QByteArray interval = "50";       // milliseconds per tick, as typed
    QByteArray step = "3";            // pixels per tick, as typed
    QByteArray fontName;              // code page 932
    qint32 fontColour = 0;            // Windows colour value
    int fontSize = 36;                // points
    qint32 background = 16777215;     // Windows colour value
    bool bold = false, italic = false, underline = false;
};

// Everything the lines of a notice carry, as the window's controls hold it.
struct Options {
    // The given geometry fields (height, width, top, left), as typed.
    QByteArray height = "100", width = "640", top = "0", left = "0";
    QByteArray text;                  // code page 932
    bool hideAtEnd = true;            // 505 "テロップウィンドを消す(*2)"
    bool overTop = true;              // 518 "表示上部に同じ幅で重ねて表示する"
    bool moveBack = true;             // 519 "上(*1)で指定した位置に移動する"
    bool pagesBack = true;            // 520 "設定画面を表示する(*2)"
    bool stopAtLeft = false;          // 521 "スクロールを左端で止める"
    bool autoHeight = true;           // 522 "高さを文字大きさで自動調整する。"
    bool resetHeight = true;          // 523 "その時、高さを初期値に戻す"
    bool underBottom = false;         // 524 "表示下部に同じ幅で重ねて表示する"
    bool sendLook = true;             // "この枠内の基本設定も送信する"
    Look look;
};

// The header, 500 to 504, 505 and 518 to 524, then 506 to 517 when the look is sent: with their
// comments, without the closing show or stop line.
QList<QByteArray> Lines(const Options& o);
// What "ﾊﾟｰﾄﾅに連続送信" sends on every change of the given geometry: the header, the three
// placement switches off, 500 to 503 and the show line.
QList<QByteArray> FollowLines(const Options& o);

// The pre-roll's form: the text, then ",key:value" for 500 to 503, 505, 518 to 524 and, when the
// look is sent, 506 to 517; no comments.
QByteArray CommaLine(const Options& o);
// The lines a comma-separated notice line stands for: "504:" and the first piece, then every
// other piece as it is.
QList<QByteArray> CommaLineItems(QByteArrayView line);

int ColonCount(QByteArrayView line);
// A received line with more colons than this ends the applying.
inline constexpr int kMaxAppliedColons = 9;
// Lines with more colons than this are not sent unless the pre-roll sends settings in commas. It
// is the receivers' bound: a line with ten colons would be sent only to stop their applying, and
// the notice would never show.
inline constexpr int kMaxSentColons = kMaxAppliedColons;
// The first line with more colons than that, or -1: a notice holding one is not sent at all.
qsizetype FirstLineOverColons(const QList<QByteArray>& lines);
// A datagram must stay under the receive limit of the notice port.
inline constexpr qsizetype kMaxDatagram = 1023;

// Keys whose value must be a decimal integer when applied.
bool IsNumeric(int key, bool fromCommaLine);

// What a batch of lines does to the window, in order.
struct Item {
    int key = 0;
    QByteArray value;
};
struct Plan {
    bool headerOk = false;
    QList<Item> items;
    enum class End { Complete, TooManyColons, NotANumber };
    End end = End::Complete;
    QByteArray stoppedAt;  // the line that ended the applying early
};
// Received lines. With `settingsOff` ("設定を受信しない") only the text, show and stop act.
// Keys the notice does not know are left out; 900 and 901 only with the value "true".
Plan PlanReceived(const QList<QByteArray>& lines, bool settingsOff);
// A comma-separated line from the pre-roll: its items, applied to the controls only.
Plan PlanCommaLine(QByteArrayView line);

// The receiver's line buffer: lines collected until "$end$".
class Collector {
public:
    static constexpr qsizetype kCapacity = 65536;  // bytes; lines past it are not kept
    // Keeps the line, or on "$end$" hands over everything collected and starts afresh.
    std::optional<QList<QByteArray>> add(const QByteArray& text);
    const QList<QByteArray>& lines() const { return lines_; }
    void clear();

private:
    QList<QByteArray> lines_;
    qsizetype bytes_ = 0;
};

}  // namespace Core::Notice

#pragma once
// What the main window lends the windows of prepared text and correction (the pre-roll window,
// the sub-input window, the correction palette, the karaoke remote and the two monitors): the
// send path and the undo, the options of its pages that these windows read at the moment of use,
// and the other windows they feed. Ttalk2e fills these in main_window_prepared.cpp; a window keeps
// its links as a public member, so a test can listen to one of them.
#include "net/caption_protocol.h"

#include <QByteArray>
#include <QColor>
#include <QPoint>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class QTextEdit;

namespace Net {
class DatagramEndpoint;
class Outbox;
}

namespace App {

// The keys the main input pane gives every pane that types caption lines (F1 … F12 of the
// sub-input panes and the palette panes).
struct PaneKeyLinks {
    std::function<int(const QByteArray&)> sendLine;  // SendLine
    // F9: UndoToInput, with the text taken back put into `pane` and `tag` as the log entry.
    std::function<void(QTextEdit* pane, bool after, const QString& tag)> undoToPane;
    std::function<bool()> delClsKeys;          // "Ｄｅｌキー/Clsキーにする。"
    std::function<void(bool clear)> deleteKey; // F11: DeleteLastChar and "del", with Shift ClearScreen and "cls"
    std::function<QString(int fkey)> memoPhrase;  // the F-key memo
    std::function<bool(int fkey)> memoClears;     // its "clear the pane first" box
    // F7 with "Ｆ７キーを訂正キーにする。": the template of the text selected in the record.
    std::function<std::optional<QString>()> correctionTemplate;
    // F8 with "くくる。": speaker name, opening and closing bracket (Shift: the second pair).
    struct Brackets {
        QString speaker, open, close;
    };
    std::function<std::optional<Brackets>(bool shift)> brackets;
    std::function<void(const QString& text)> message;  // shown while "メッセージを表示する" is on
    std::function<void(const QString& line)> log;      // a line of the explanation page
    std::function<bool()> logLines;                    // "記録を説明ページに保存"
};

// The telop route of the pre-roll window: what F1 in telop mode hands to the notice window.
struct Telop {
    QString text;
    bool noticeLine = false;      // "カンマで区切った設定も送信する。": a comma-separated notice line
    bool stopAtLeftEdge = false;  // "表示を左端で止める。"
    bool toLan = true;            // "LAN流す"
    bool toSelf = true;           // "自分に表示"
};

// The pre-roll monitor's two parts.
enum class MonitorPart { Lower, Upper };

struct TemplateLinks {
    Net::Outbox* outbox = nullptr;
    std::function<int(const QByteArray&)> sendLine;
    std::function<void()> stampInputStart;  // when start times are recorded
    // F9: UndoToInput(false), the text taken back returned (its lines joined without separators)
    // instead of being left in the main input pane, which keeps what the typist is writing there.
    std::function<QString()> undoForPreroll;
    std::function<bool()> delClsKeys;
    std::function<void(bool clear)> deleteKey;
    // False when the notice could not be sent to the LAN (the notice window said why).
    std::function<bool(const Telop&)> showTelop;
    std::function<void(bool toLan, bool toSelf)> clearTelop;  // "表示消去"
    std::function<bool()> doubledMonitor;  // "モニターの行数を２倍"
    std::function<bool()> hasPartner;
    std::function<bool()> started;         // start-up has loaded its settings
    std::function<void(const QString&)> message;
    std::function<void(const QByteArray&)> sendSettingsLine;  // SendSettingsLine
    // The own pre-roll monitor.
    std::function<void(MonitorPart)> monitorClear;
    std::function<void(MonitorPart, const QByteArray&)> monitorAppend;
    // A datagram of the partners' feed, as received.
    std::function<void(MonitorPart, const QByteArray&)> monitorReceived;
    std::function<void(bool)> setOnTop;  // the main window's "常に前面にする。"
};

struct SubInputLinks {
    PaneKeyLinks keys;
    Net::Outbox* outbox = nullptr;
    std::function<void()> keyPressed;   // time limit and input start, as for the main pane
    std::function<void()> erased;       // ESC: time limit stopped, strip colour normal
    std::function<bool()> caretSend;    // "カーソルより前の文を送る。"
    std::function<bool()> blankAfter;   // "F12で後ろにも空行を入れる"
    std::function<QString()> speakerName;
    // The reading options of the input pages.
    struct Reading {
        bool brackets = false;  // "下の文字で入力読みを囲う"
        bool ruby = false;      // "ルビにする（`r`sで囲う）"
        QString open, close;
        int script = 3;         // 1 half-width katakana, 2 katakana, 3 hiragana
    };
    std::function<Reading()> reading;
    // Live typing.
    std::function<bool()> hasPartner;
    std::function<bool()> monitorFeed;  // "通信ｏｎ（送信する）"
    std::function<QString()> ownAddress;
    // Character count.
    std::function<bool()> countColour;  // "赤表示する。"
    std::function<bool()> countSend;    // "自動的にEnterし、表示"
    std::function<int()> countLimit;
    std::function<bool()> refilledByUndo;
    std::function<void(bool red)> stripRed;
    // Ruby.
    std::function<bool()> rubyExchange;              // "表示・送受信する。"
    std::function<void(bool)> setRubyExchange;
    std::function<void(const QString& base, const QString& reading)> annotateDisplay;
    // The display options the sub-input window's page sets.
    std::function<void(bool wrap)> setDisplayWrap;
    std::function<bool()> clearPositionMarker;  // "表示する。" off; true when it was on
    std::function<void()> resetCursors;         // key 255 "on": the normal mouse cursor
};

struct PaletteLinks {
    PaneKeyLinks keys;
    Net::Outbox* outbox = nullptr;
    std::function<bool()> toPalette;        // "入力をパレットに送信する"
    std::function<bool()> linked;           // "ﾊﾟﾚｯﾄ連動"
    std::function<bool()> mainCorrector;    // "連動時の主修正者"
    std::function<bool()> linkUncommitted;  // "未確定も連動"
    std::function<bool()> monitorShown;     // the correction monitor is on screen
    // `text` sent through the main input pane as Enter sends it; the pane keeps what it held.
    std::function<void(const QString& text)> sendThroughInputPane;
    std::function<void(const std::array<QByteArray, 6>&)> showMonitor;  // the correction monitor
    std::function<void()> closed;  // "ﾊﾟﾚｯﾄ連動" off, "入力をパレットに送信する" shown again
    std::function<void()> resetMainOptions;  // the main window's rows of the palette's defaults
};

struct RemoteLinks {
    std::function<bool()> hasPartner;
    std::function<bool()> started;
    std::function<void(const QString&)> message;
    std::function<void(const QByteArray&)> sendSettingsLine;
    std::function<int()> channelIndex;
    // The endpoint now carries the traffic of its (new) port entry.
    std::function<void(Net::DatagramEndpoint*)> registerEndpoint;
    Net::Outbox* outbox = nullptr;
    std::function<QPoint()> home;  // top left: below the display panel, a fifth of its width in
};

}  // namespace App

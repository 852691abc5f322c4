#pragma once
// The road of a caption line: the one send path of finished lines, the receivers of lines, commands
// and corrections, undo, delete and clear screen, the correction batch and correction mode. It reads
// its options from the host window at every event and touches no widget itself.
#include "core/display_log.h"
#include "net/caption_protocol.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace Net { class Outbox; }

namespace Core {

class Clock;
struct SmoothScroller;

// The options of the caption path, as the controls hold them at the moment of use.
struct CaptionOptions {
    bool toLan = true;               // "入力をＬＡＮに流す。"
    bool toPalette = false;          // "入力をパレットに送信する"
    bool sibling = false;            // "７ｗに表示"
    bool logLines = false;           // "記録を説明ページに保存"
    bool startTime = false;          // "入力開始時刻を説明ページに記録"
    bool copySent = false;           // "入力文をコピー"
    bool copyReceived = false;       // "受信文をコピー"
    std::optional<int> fixedWidth;   // "桁数（半角での文字数）" and its width
    DisplayMode display;             // marker, blank-line-only
    bool endCheckReceived = false;   // "←ある時から改行に空行が入ってしまう不具合の時"
    bool undoPartnerLines = true;    // "Ｕｎｄｏの対象にする"
    bool redrawAfterUndo = true;     // "再描画する（従来と同じ）"
    bool correctionMode = false;     // "修正モードの入り切り"
    bool rollSlideLabel = false;     // the pre-roll window's "「`@」行まで表示"
    bool wordProcessor = false;      // the word-processor screen is shown
    bool hasPartner = false;
};

// Where a line handed to the send path was typed. The main input pane is reset after its own lines
// only: a line from another pane (the sub-input window, a pre-roll) must never take what the
// typist is writing there.
enum class LineFrom { InputPane, OtherPane };

class CaptionHost {
public:
    virtual ~CaptionHost() = default;
    virtual CaptionOptions captionOptions() const = 0;
    // A message box under "メッセージを表示する".
    virtual void message(const QString& text) = 0;
    // A new line at the end of the explanation page.
    virtual void log(const QString& line) = 0;
    virtual void copyToClipboard(const QByteArray& text) = 0;
    // When typing of the current line began (invalid: not recorded), and its end.
    virtual QDateTime inputStartTime() const = 0;
    virtual void endInput() = 0;
    // After a line of the input pane is handled: the pane is emptied (or loses the part sent).
    virtual void resetInputPane() = 0;
    // After every line handled, wherever it was typed: the time limit stopped, the input strip's
    // colour normal, the line's input start forgotten.
    virtual void lineEnded() = 0;
    // The text F9 takes back goes into the input pane ("$改行$" included, as taken back).
    virtual void refillInputPane(const QByteArray& text, bool after) = 0;
    // The wa-stop buffer of correction mode.
    virtual void hold(const QByteArray& item) = 0;
    virtual QList<QByteArray> takeHeld() = 0;
    // The correction buffer as received so far (shown in a hidden memo).
    virtual void showCorrectionBuffer(const QList<QByteArray>& items) = 0;
    // Redraw of the screen: both canvases in frameless mode, else the framed one; and both always.
    virtual void redraw() = 0;
    virtual void redrawBoth() = 0;
    // The screen was emptied without a change of the record.
    virtual void screenCleared() = 0;
    // A correction batch appended `lines` corrected lines for the `superseded` lines before them.
    virtual void correctionApplied(int superseded, int lines) = 0;
};

class CaptionPath {
public:
    CaptionPath(DisplayLog& log, SmoothScroller& scroll, Net::Outbox& outbox, CaptionHost& host, const Clock& clock);

    static const QString kTooLong;
    // The correction buffer holds at most a screenful of items and the batch's end.
    static constexpr qsizetype kMaxCorrectionItems = 1001;

    // The one send path: 0 handled, 1 refused for length.
    int sendLine(const QByteArray& text, LineFrom from);
    // The datagram part of a send alone (also used by the sub-input window).
    void transmitLine(const QByteArray& text);
    void lineReceived(const QByteArray& payload, const QString& from);       // 6711
    void showReceivedLine(const QByteArray& text);
    void commandReceived(const QByteArray& text, const QString& from);       // 6723
    void correctionReceived(const QByteArray& payload, const QString& from); // 6713

    void undoLastDisplay();
    void undoToInput(bool after);   // F9 (Shift: after the current input)
    void deleteLastChar();
    void clearScreen();
    // "del"/"cls" (and "undo") to the members and the sibling display.
    void sendCommand(Net::Wire::Command c);
    // The corrected last screenful as a correction batch ("送").
    void sendCorrection();
    // Correction mode ended: the held texts and commands reach the display in their order.
    void flushHeld();

    bool lastFromSelf() const { return lastFromSelf_; }
    // Set by F9 and cleared by the next send; the automatic sends wait while it is set.
    bool refilledByUndo() const { return refilledByUndo_; }
    const QList<QByteArray>& correctionBuffer() const { return corrections_; }

private:
    QString clock() const;
    void logLine(const CaptionOptions& o, const QString& from, const QString& text);
    void applyCorrectionBatch(const CaptionOptions& o);
    void jumpToEndAndRedraw();
    void runCommand(Net::Wire::Command c);

    DisplayLog& log_;
    SmoothScroller& scroll_;
    Net::Outbox& outbox_;
    CaptionHost& host_;
    const Clock& clock_;
    bool lastFromSelf_ = false;
    bool refilledByUndo_ = false;
    QList<QByteArray> corrections_;
};

}  // namespace Core

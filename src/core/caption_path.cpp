#include "core/caption_path.h"

#include "core/clock.h"
#include "core/scroller.h"
#include "net/outbox.h"
#include "text/cp932.h"
#include "text/text_filter.h"

namespace Core {
namespace {

constexpr qsizetype kLineLimit = 513;
namespace Wire = Net::Wire;
namespace Ports = Net::Ports;
namespace Sibling = Net::SiblingPorts;

QString dec(const QByteArray& b) { return Cp932::decode(b); }

QByteArray startField(const QDateTime& start) {
    return Text::FormatClock(start.isValid() ? Text::ClockText(start.time()).toLatin1() : QByteArray());
}

}  // namespace

static_assert(CaptionPath::kMaxCorrectionItems == SmoothScroller::kMostVisibleLines + 1);

const QString CaptionPath::kTooLong = QStringLiteral("全角256字以上の文字を送ろうとした。");

CaptionPath::CaptionPath(DisplayLog& log, SmoothScroller& scroll, Net::Outbox& outbox, CaptionHost& host,
                         const Clock& clock)
    : log_(log), scroll_(scroll), outbox_(outbox), host_(host), clock_(clock) {}

QString CaptionPath::clock() const { return Text::ClockText(clock_.now().time()); }

// H:M:S:MS, the sender ("自分" for this station) in brackets, and the text or tag.
void CaptionPath::logLine(const CaptionOptions& o, const QString& from, const QString& text) {
    if (o.logLines) host_.log(clock() + QStringLiteral(",[") + from + QStringLiteral("],") + text);
}

// ---------------------------------------------------------------------------------------------
// Sending

int CaptionPath::sendLine(const QByteArray& original, LineFrom from) {
    if (original.size() >= kLineLimit) {
        host_.message(kTooLong);
        return 1;
    }
    const CaptionOptions o = host_.captionOptions();
    refilledByUndo_ = false;
    QByteArray text = Text::FilterText(original);
    log_.setUndoInProgress(false);
    lastFromSelf_ = true;

    if (o.fixedWidth) {
        if (o.toPalette) log_.pushHistory(text);
        else log_.showSplit(text, *o.fixedWidth, o.display);
    } else {
        log_.pushHistory(text);
        if (!o.toPalette) log_.appendLine(text, true, o.display);
    }
    if (o.hasPartner) outbox_.toPartner(Ports::MainPartner, Wire::PaneSent());  // empties its monitor pane
    if (text.isEmpty()) text = Wire::BlankLine();
    if (o.copySent && text != Wire::BlankLine()) host_.copyToClipboard(text);

    if (o.toLan) {
        if (o.toPalette) {
            outbox_.toMembers(Ports::PaletteLines, text);
            logLine(o, QStringLiteral("自分"), QStringLiteral("（修正パレットに送信）") + dec(text));
        } else {
            transmitLine(text);
            logLine(o, QStringLiteral("自分"), dec(text));
            if (o.startTime)
                host_.log(QString::fromLatin1(Text::FormatClock(clock().toLatin1()) + ',' +
                                              startField(host_.inputStartTime()) + ',') +
                          dec(text));
        }
    }
    if (from == LineFrom::InputPane) host_.resetInputPane();
    host_.lineEnded();
    return 0;
}

void CaptionPath::transmitLine(const QByteArray& text) {
    const CaptionOptions o = host_.captionOptions();
    std::optional<QByteArray> start;
    if (o.startTime) {
        start = startField(host_.inputStartTime());
        host_.endInput();
    }
    outbox_.toMembersAndSibling(Ports::MainLines, Sibling::Lines, Wire::LinePayload(text, start));
}

// ---------------------------------------------------------------------------------------------
// Receiving lines

void CaptionPath::lineReceived(const QByteArray& payload, const QString& from) {
    const CaptionOptions o = host_.captionOptions();
    QByteArray text = Text::FilterText(payload);
    logLine(o, from, dec(text));
    if (o.startTime) {
        host_.log(clock() + u',' + dec(text));
        text = Wire::WithoutStartField(text);
    }
    if (o.correctionMode) host_.hold(text);
    else showReceivedLine(text);
    outbox_.toSibling(Ports::MainLines, Sibling::Lines, text);
}

void CaptionPath::showReceivedLine(const QByteArray& text) {
    const CaptionOptions o = host_.captionOptions();
    log_.setUndoInProgress(false);
    lastFromSelf_ = false;
    const bool blank = text == Wire::BlankLine();
    if (o.fixedWidth) {
        log_.showSplit(blank ? QByteArray() : text, *o.fixedWidth, o.display);
    } else {
        log_.pushHistory(text);
        log_.appendLine(blank ? QByteArray() : text, o.endCheckReceived, o.display);
    }
    if (o.copyReceived && !blank) host_.copyToClipboard(text);
}

// ---------------------------------------------------------------------------------------------
// Commands: undo, delete, clear screen

void CaptionPath::commandReceived(const QByteArray& text, const QString& from) {
    const CaptionOptions o = host_.captionOptions();
    outbox_.toSibling(Ports::MainCommands, Sibling::Commands, text);
    const auto c = Wire::ParseCommand(text);
    if (!c) return;
    static const QString kTags[] = {QStringLiteral("（Ｕｎｄｏ）"), QStringLiteral("（ＤＥＬ）"), QStringLiteral("（ｃｌｓ）")};
    logLine(o, from, kTags[int(*c)]);
    if (o.correctionMode) host_.hold(Wire::HeldCommand(*c));
    else runCommand(*c);
}

void CaptionPath::runCommand(Wire::Command c) {
    switch (c) {
    case Wire::Command::Undo: undoLastDisplay(); break;
    case Wire::Command::Delete: deleteLastChar(); break;
    case Wire::Command::Clear: clearScreen(); break;
    }
}

void CaptionPath::jumpToEndAndRedraw() {
    scroll_.jumpToEnd(log_.record().lineCount());
    host_.redraw();
}

void CaptionPath::undoLastDisplay() {
    const CaptionOptions o = host_.captionOptions();
    lastFromSelf_ = true;
    if (!log_.removeNewestEntry(o.display)) return;
    log_.popHistory();
    if (!o.wordProcessor && o.redrawAfterUndo) jumpToEndAndRedraw();
}

void CaptionPath::undoToInput(bool after) {
    const CaptionOptions o = host_.captionOptions();
    logLine(o, QStringLiteral("自分"), QStringLiteral("（Ｕｎｄｏ）"));
    refilledByUndo_ = true;
    if (!lastFromSelf_ && !o.undoPartnerLines) return;
    if (log_.changeLengths()[0] <= 0) return;  // nothing to take back

    const QByteArray newest = log_.history()[0];
    lastFromSelf_ = true;
    log_.removeNewestEntry(o.display);
    host_.refillInputPane(newest, after);
    log_.popHistory();
    if (o.toLan) {
        const QByteArray undo = Wire::CommandWord(Wire::Command::Undo);
        outbox_.toMembersAndSibling(Ports::MainCommands, Sibling::Commands, undo);
    }
    if (!o.wordProcessor && o.redrawAfterUndo) jumpToEndAndRedraw();
}

void CaptionPath::deleteLastChar() { log_.deleteLastChar(host_.captionOptions().display); }

void CaptionPath::clearScreen() {
    const CaptionOptions o = host_.captionOptions();
    log_.resetUndoState();
    if (o.display.blankLineOnly) {
        log_.record().addLine(QString());
        scroll_.shownLine = log_.record().lineCount() + scroll_.visibleLines - 1;
    } else {
        scroll_.shownLine = log_.record().lineCount() + scroll_.visibleLines;
    }
    log_.resetUndoState();
    host_.redrawBoth();
    host_.screenCleared();
}

void CaptionPath::sendCommand(Wire::Command c) {
    if (!host_.captionOptions().toLan) return;
    outbox_.toMembersAndSibling(Ports::MainCommands, Sibling::Commands, Wire::CommandWord(c));
}

// ---------------------------------------------------------------------------------------------
// Corrections

void CaptionPath::sendCorrection() {
    const CaptionOptions o = host_.captionOptions();
    if (o.display.marker) log_.removeMarker(o.display);
    const Record& record = log_.record();
    const int N = scroll_.correctionLines;
    const int C = record.lineCount();
    for (int i = 0; i < N; ++i) {
        const QString line = record.displayLine(C - N + i);
        const QByteArray item = line.isEmpty() ? Wire::NullLine() : Cp932::encode(line);
        outbox_.toMembersAndSibling(Ports::MainCorrections, Sibling::Corrections, item);
        logLine(o, QStringLiteral("自分"), QStringLiteral("（送修正）") + dec(item));
    }
    outbox_.toMembersAndSibling(Ports::MainCorrections, Sibling::Corrections, Wire::BatchEnd());
    if (o.display.marker) log_.putMarkerBack(o.display);
    log_.resetUndoState();
    scroll_.shownLine = C + N;
}

void CaptionPath::correctionReceived(const QByteArray& payload, const QString& from) {
    const CaptionOptions o = host_.captionOptions();
    const QByteArray item = Text::FilterText(payload);
    outbox_.toSibling(Ports::MainCorrections, Sibling::Corrections, item);
    // No batch is longer than a screen: items that never see their batch's end go oldest first.
    if (corrections_.size() >= kMaxCorrectionItems) corrections_.removeFirst();
    corrections_.append(item);
    if (item != Wire::BatchEnd()) {
        const QString label = o.rollSlideLabel ? QStringLiteral("（ﾛｰﾙ1ｽﾗｲﾄﾞ風）") : QStringLiteral("（送修正）");
        logLine(o, from, label + dec(item));
    }
    if (item == Wire::BatchStart()) corrections_.clear();
    if (Wire::IsBatchEnd(item)) applyCorrectionBatch(o);
    host_.showCorrectionBuffer(corrections_);
    log_.resetUndoState();
}

void CaptionPath::applyCorrectionBatch(const CaptionOptions& o) {
    lastFromSelf_ = false;
    // Only the marker's two bytes: without blank-line-only mode its line stays as an empty line.
    if (o.display.marker) log_.removeMarkerChars();
    const int lines = int(corrections_.size()) - 1;
    // One change of the record for the whole batch: the display is laid out once, not per line.
    QStringList batch;
    for (int i = 0; i < lines; ++i) {
        const QByteArray& item = corrections_[i];
        batch << (item == Wire::NullLine() ? QString() : dec(item));
    }
    log_.record().insertLines(log_.record().recordLineCount(), batch);
    if (o.display.marker) log_.putMarkerBack(o.display);
    // Without blank-line-only mode the marker's own line stays behind, empty, above the batch.
    const bool markerLineLeft = o.display.marker && !o.display.blankLineOnly;
    if (lines > 0) host_.correctionApplied(lines + (markerLineLeft ? 1 : 0), lines);
    corrections_.clear();
    jumpToEndAndRedraw();
}

// ---------------------------------------------------------------------------------------------
// Correction mode: what arrives while the record is edited waits in the wa-stop buffer.

void CaptionPath::flushHeld() {
    for (const QByteArray& item : host_.takeHeld()) {
        if (const auto c = Wire::ParseHeldCommand(item)) runCommand(*c);
        else showReceivedLine(item);
    }
    jumpToEndAndRedraw();
}

}  // namespace Core

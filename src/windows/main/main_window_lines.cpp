// The caption path as the main window sees it: the options it hands to Core::CaptionPath, the
// widgets that path changes through the window, and the operations under their own names.
#include "windows/main/main_window.h"
#include "ui/text_pane.h"

#include "windows/main/strip_alarm.h"
#include "windows/main/wastop_monitor.h"
#include "audience/record_mirror.h"
#include "audience/service.h"
#include "windows/prepared/correction_palette.h"
#include "windows/prepared/subinput_window.h"
#include "windows/prepared/template_window.h"
#include "text/cp932.h"
#include "windows/main/partner_page.h"
#include "windows/main/auxiliary_page.h"
#include "windows/main/display_view.h"
#include "windows/main/input_strip.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

void Ttalk2e::wireLines() {
}

Core::CaptionOptions Ttalk2e::captionOptions() const {
    Core::CaptionOptions o;
    o.toLan = partner_->lanOn();
    o.toPalette = auxiliary_->inputToPalette();
    o.sibling = partner_->siblingOn();
    o.logLines = logsLines();
    o.startTime = logsInputStart();
    o.copySent = strip_->copiesSent();
    if (Form14) o.fixedWidth = Form14->fixedWidth();
    display_->addCaptionOptions(o);
    o.rollSlideLabel = Form11 && Form11->rollsToSlideEnd();
    o.wordProcessor = display_->wordProcessorMode();
    o.hasPartner = hasPartner();
    return o;
}

// ---------------------------------------------------------------------------------------------
// The operations of the caption path

int Ttalk2e::SendLine(const QByteArray& text) { return caption_.sendLine(text, Core::LineFrom::OtherPane); }
int Ttalk2e::SendInputPaneLine(const QByteArray& text) { return caption_.sendLine(text, Core::LineFrom::InputPane); }
void Ttalk2e::UndoLastDisplay() { caption_.undoLastDisplay(); }
void Ttalk2e::UndoToInput(bool after) { caption_.undoToInput(after); }
void Ttalk2e::DeleteLastChar() { caption_.deleteLastChar(); }
void Ttalk2e::DeleteOrClearKey(bool clear) {
    if (clear) {
        ClearScreen();
        SendCommand(Net::Wire::Command::Clear);
    } else {
        DeleteLastChar();
        SendCommand(Net::Wire::Command::Delete);
    }
}

void Ttalk2e::ClearScreen() { caption_.clearScreen(); }
void Ttalk2e::SendCommand(Net::Wire::Command command) { caption_.sendCommand(command); }
void Ttalk2e::FlushCorrectionBuffer() { caption_.flushHeld(); }
void Ttalk2e::ResetUndoState() { log_.resetUndoState(); }
void Ttalk2e::AppendLocalLine(const QByteArray& text) { log_.appendLine(text, true, captionOptions().display); }
void Ttalk2e::AppendReceivedLine(const QByteArray& text) {
    log_.appendLine(text, display_->endCheckReceived(), captionOptions().display);
}
void Ttalk2e::ShowSplitLine(const QByteArray& text) {
    log_.showSplit(text, Form14->fixedWidth().value_or(20), captionOptions().display);
}

void Ttalk2e::NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16) {
    caption_.lineReceived(text, from);
}
void Ttalk2e::NMUDP3DataReceived(const QByteArray& text, const QString& from, quint16) {
    caption_.correctionReceived(text, from);
}
void Ttalk2e::NMUDP9DataReceived(const QByteArray& text, const QString& from, quint16) {
    caption_.commandReceived(text, from);
}

// ---------------------------------------------------------------------------------------------
// What the caption path changes through the window

void Ttalk2e::copyToClipboard(const QByteArray& text) {
    RichEdit5->setPlainText(Cp932::decode(text));
    RichEdit5->selectAll();
    station_.clipboard.setText(RichEdit5->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'));
}

void Ttalk2e::hold(const QByteArray& item) { Form8->hold(item); }
QList<QByteArray> Ttalk2e::takeHeld() { return Form8->takeHeld(); }

void Ttalk2e::showCorrectionBuffer(const QList<QByteArray>& items) {
    // The memo is hidden: laid out item by item for nobody, a batch cost milliseconds a datagram.
    // It is emptied with the buffer, and filled only while it is shown.
    if (items.isEmpty()) {
        display_->clearCorrectionBuffer();
        return;
    }
    if (!display_->correctionBufferShown()) return;
    QStringList lines;
    for (const QByteArray& item : items) lines << Cp932::decode(item);
    display_->setCorrectionBuffer(lines.join(u'\n'));
}

void Ttalk2e::redrawBoth() {
    RedrawDisplay();
    RedrawFrameless();
}

void Ttalk2e::screenCleared() { audience_->mirror().screenCleared(); }
void Ttalk2e::correctionApplied(int superseded, int lines) { audience_->mirror().corrected(superseded, lines); }

// ---------------------------------------------------------------------------------------------
// The input strip's warning colours and the options of the send path

// ---------------------------------------------------------------------------------------------
// The input strip's side of the caption path

void Ttalk2e::markInputStart(const QDateTime& time) { strip_->markInputStart(time); }
bool Ttalk2e::inputStarted() const { return strip_->inputStarted(); }
QDateTime Ttalk2e::inputStartTime() const { return strip_->inputStartTime(); }
void Ttalk2e::endInput() { strip_->endInput(); }
void Ttalk2e::resetInputPane() { strip_->resetInputPane(); }
void Ttalk2e::lineEnded() { strip_->lineEnded(); }
void Ttalk2e::refillInputPane(const QByteArray& text, bool after) { strip_->refillInputPane(text, after); }
void Ttalk2e::SetStripColour(StripColour colour) { strip_->SetStripColour(colour); }
Ttalk2e::StripColour Ttalk2e::stripColour() const { return strip_->stripColour(); }

// The caption path as the main window sees it: the operations under their own names. What the path
// reads and changes through the window is MainCaptionHost (windows/main/caption_host.h).
#include "windows/main/main_window.h"
#include "windows/main/caption_host.h"
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
void Ttalk2e::AppendLocalLine(const QByteArray& text) { log_.appendLine(text, true, host_->captionOptions().display); }
void Ttalk2e::AppendReceivedLine(const QByteArray& text) {
    log_.appendLine(text, display_->endCheckReceived(), host_->captionOptions().display);
}
void Ttalk2e::ShowSplitLine(const QByteArray& text) {
    log_.showSplit(text, Form14->fixedWidth().value_or(20), host_->captionOptions().display);
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

void Ttalk2e::markInputStart(const QDateTime& time) { strip_->markInputStart(time); }
bool Ttalk2e::inputStarted() const { return strip_->inputStarted(); }
void Ttalk2e::SetStripColour(StripColour colour) { strip_->SetStripColour(colour); }
Ttalk2e::StripColour Ttalk2e::stripColour() const { return strip_->stripColour(); }

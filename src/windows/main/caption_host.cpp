// The main window's side of the caption path: the options handed to Core::CaptionPath and the
// widgets that path changes.
#include "windows/main/caption_host.h"

#include "audience/record_mirror.h"
#include "audience/service.h"
#include "text/cp932.h"
#include "windows/main/auxiliary_page.h"
#include "windows/main/display_view.h"
#include "windows/main/input_strip.h"
#include "windows/main/main_window.h"
#include "windows/main/partner_page.h"
#include "windows/main/wastop_monitor.h"
#include "windows/prepared/subinput_window.h"
#include "windows/prepared/template_window.h"

#include <QTextCursor>
#include <QTextEdit>

void MainCaptionHost::buildClipboardPane(QWidget* parent) {
    RichEdit5 = new QTextEdit(parent);
    RichEdit5->setObjectName(QStringLiteral("RichEdit5"));
    RichEdit5->hide();
}

Core::CaptionOptions MainCaptionHost::captionOptions() const {
    Core::CaptionOptions o;
    o.toLan = main_.partner().lanOn();
    o.toPalette = main_.auxiliaryPage().inputToPalette();
    o.sibling = main_.partner().siblingOn();
    o.logLines = main_.logsLines();
    o.startTime = main_.logsInputStart();
    o.copySent = main_.strip().copiesSent();
    if (main_.subInputWindow()) o.fixedWidth = main_.subInputWindow()->fixedWidth();
    main_.display().addCaptionOptions(o);
    o.rollSlideLabel = main_.templateWindow() && main_.templateWindow()->rollsToSlideEnd();
    o.wordProcessor = main_.display().wordProcessorMode();
    o.hasPartner = main_.hasPartner();
    return o;
}

void MainCaptionHost::message(const QString& text) { main_.Message(text); }
void MainCaptionHost::log(const QString& line) { main_.Log(line); }

void MainCaptionHost::copyToClipboard(const QByteArray& text) {
    RichEdit5->setPlainText(Cp932::decode(text));
    RichEdit5->selectAll();
    main_.station().clipboard.setText(RichEdit5->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'));
}

QDateTime MainCaptionHost::inputStartTime() const { return main_.strip().inputStartTime(); }
void MainCaptionHost::endInput() { main_.strip().endInput(); }
void MainCaptionHost::resetInputPane() { main_.strip().resetInputPane(); }
void MainCaptionHost::lineEnded() { main_.strip().lineEnded(); }
void MainCaptionHost::refillInputPane(const QByteArray& text, bool after) { main_.strip().refillInputPane(text, after); }
void MainCaptionHost::hold(const QByteArray& item) { main_.wastopMonitor()->hold(item); }
QList<QByteArray> MainCaptionHost::takeHeld() { return main_.wastopMonitor()->takeHeld(); }

void MainCaptionHost::showCorrectionBuffer(const QList<QByteArray>& items) {
    // The memo is hidden: laid out item by item for nobody, a batch cost milliseconds a datagram.
    // It is emptied with the buffer, and filled only while it is shown.
    DisplayView& display = main_.display();
    if (items.isEmpty()) {
        display.clearCorrectionBuffer();
        return;
    }
    if (!display.correctionBufferShown()) return;
    QStringList lines;
    for (const QByteArray& item : items) lines << Cp932::decode(item);
    display.setCorrectionBuffer(lines.join(u'\n'));
}

void MainCaptionHost::redraw() { main_.RedrawCanvases(); }

void MainCaptionHost::redrawBoth() {
    main_.RedrawDisplay();
    main_.RedrawFrameless();
}

void MainCaptionHost::screenCleared() { main_.audience().mirror().screenCleared(); }
void MainCaptionHost::correctionApplied(int superseded, int lines) { main_.audience().mirror().corrected(superseded, lines); }

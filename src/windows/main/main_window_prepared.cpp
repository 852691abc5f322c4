// Prepared text and correction as the main window sees it: the links of the pre-roll window, the
// sub-input window, the correction palette and the karaoke remote to this window's send path and
// options, the undo into a pane other than the input pane, ruby in the display, and the option
// "未確定も連動" beside the palette's options.
#include "windows/main/main_window.h"

#include "ui/form_builder.h"
#include "ui/prepared_links.h"
#include "ui/text_pane.h"
#include "core/ruby_insertion.h"
#include "windows/messaging/fkey_memo.h"
#include "windows/messaging/notice_window.h"
#include "net/datagram_endpoint.h"
#include "windows/prepared/correction_monitor.h"
#include "windows/prepared/correction_palette.h"
#include "windows/prepared/karaoke_remote.h"
#include "windows/prepared/preroll_monitor.h"
#include "windows/prepared/subinput_window.h"
#include "windows/prepared/template_window.h"
#include "windows/main/auxiliary_page.h"
#include "windows/main/display_view.h"
#include "windows/main/input_strip.h"
#include "text/cp932.h"
#include "text/text_filter.h"

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using Form::intOf;

// The keys the input pane lends the other typing panes.
App::PaneKeyLinks paneKeys(Ttalk2e& w) {
    App::PaneKeyLinks k;
    k.sendLine = [&w](const QByteArray& text) { return w.SendLine(text); };
    k.undoToPane = [&w](QTextEdit* pane, bool after, const QString& tag) { w.UndoToPane(pane, after, tag); };
    k.delClsKeys = [&w] { return w.strip().delClsKeys(); };
    k.deleteKey = [&w](bool clear) { w.DeleteOrClearKey(clear); };
    k.memoPhrase = [&w](int fkey) { return w.Form5 ? w.Form5->phrase(fkey) : QString(); };
    k.memoClears = [&w](int fkey) { return w.Form5 && w.Form5->clearsPane(fkey); };
    k.correctionTemplate = [&w] { return w.strip().correctionTemplate(); };
    k.brackets = [&w](bool shift) { return w.strip().brackets(shift); };
    k.message = [&w](const QString& text) { w.Message(text); };
    k.log = [&w](const QString& line) { w.Log(line); };
    k.logLines = [&w] { return w.CheckBox32->isChecked(); };
    return k;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The windows and their links

void Ttalk2e::CreateTemplateWindow(const App::WindowContext& context) {
    App::TemplateLinks l;
    l.outbox = &outbox();
    l.sendLine = [this](const QByteArray& text) { return SendLine(text); };
    l.stampInputStart = [this] {
        if (CheckBox20->isChecked()) markInputStart(station().clock.now());
    };
    l.undoForPreroll = [this] { return UndoForPreroll(); };
    const App::PaneKeyLinks keys = paneKeys(*this);
    l.delClsKeys = keys.delClsKeys;
    l.deleteKey = keys.deleteKey;
    l.showTelop = [this](const App::Telop& t) {
        return ShowTelop(t.text, t.noticeLine, t.stopAtLeftEdge, t.toLan, t.toSelf);
    };
    l.clearTelop = [this](bool toLan, bool toSelf) { ClearTelop(toLan, toSelf); };
    l.doubledMonitor = [this] { return auxiliary_->prerollMonitorDoubled(); };
    l.hasPartner = [this] { return hasPartner(); };
    l.started = [this] { return isStarted(); };
    l.message = [this](const QString& text) { Message(text); };
    l.sendSettingsLine = [this](const QByteArray& line) { SendSettingsLine(line); };
    l.monitorClear = [this](App::MonitorPart part) {
        if (Form3) Form3->ClearPart(part);
    };
    l.monitorAppend = [this](App::MonitorPart part, const QByteArray& line) {
        if (Form3) Form3->AppendLine(part, line);
    };
    l.monitorReceived = [this](App::MonitorPart part, const QByteArray& text) {
        if (Form3) Form3->Feed(part, text);
    };
    l.setOnTop = [this](bool on) { auxiliary_->setTemplateOnTop(on); };
    Form11 = std::make_unique<TForm11>(context, std::move(l));
}

void Ttalk2e::CreatePrerollMonitor(const App::WindowContext& context) { Form3 = std::make_unique<TForm3>(context); }

void Ttalk2e::CreateCorrectionWindows(const App::WindowContext& context) {
    App::SubInputLinks s;
    s.keys = paneKeys(*this);
    s.outbox = &outbox();
    s.keyPressed = [this] {
        strip_->armTimeLimit();
        if (CheckBox20->isChecked() && !inputStarted()) markInputStart(station().clock.now());
    };
    s.erased = [this] { strip_->cancelTimeLimit(); };
    s.caretSend = [this] { return strip_->sendsBeforeCaret(); };
    s.blankAfter = [this] { return strip_->blankAfterF12(); };
    s.speakerName = [this] { return strip_->speakerName(); };
    s.reading = [this] { return strip_->readingOptions(); };
    s.hasPartner = [this] { return hasPartner(); };
    s.monitorFeed = [this] { return auxiliary_->liveTypingToMonitors(); };
    s.ownAddress = [this] { return ownAddress(); };
    s.countColour = [this] { return strip_->countColours(); };
    s.countSend = [this] { return strip_->countSends(); };
    s.countLimit = [this] { return strip_->countLimit(); };
    s.refilledByUndo = [this] { return refilledByUndo(); };
    s.stripRed = [this](bool red) { SetStripColour(red ? StripColour::Red : StripColour::Normal); };
    s.rubyExchange = [this] { return auxiliary_->rubyExchange(); };
    s.setRubyExchange = [this](bool on) { auxiliary_->setRubyExchange(on); };
    s.annotateDisplay = [this](const QString& base, const QString& reading) { AnnotateDisplay(base, reading); };
    s.setDisplayWrap = [this](bool wrap) { SetDisplayWrap(wrap); };
    s.clearPositionMarker = [this] { return display_->clearPositionMarker(); };
    s.resetCursors = [this] { display_->resetCursors(); };
    Form14 = std::make_unique<TForm14>(context, std::move(s));
    connect(auxiliary_, &AuxiliaryPage::rubyExchangeChanged, Form14.get(), &TForm14::RubyExchangeChanged);

    App::PaletteLinks p;
    p.keys = paneKeys(*this);
    p.outbox = &outbox();
    p.toPalette = [this] { return auxiliary_->inputToPalette(); };
    p.linked = [this] { return auxiliary_->paletteLinked(); };
    p.mainCorrector = [this] { return auxiliary_->mainCorrector(); };
    p.linkUncommitted = [this] { return auxiliary_->linkUncommitted(); };
    p.monitorShown = [this] { return Fshusei_moni && Fshusei_moni->isVisible(); };
    p.sendThroughInputPane = [this](const QString& text) { SendThroughInputPane(text); };
    p.showMonitor = [this](const std::array<QByteArray, 6>& texts) {
        if (Fshusei_moni) Fshusei_moni->ShowTexts(texts);
    };
    p.closed = [this] {
        auxiliary_->setPaletteLinked(false);  // closing the palette ends its linkage
        auxiliary_->showInputToPalette();
    };
    p.resetMainOptions = [this] {
        auxiliary_->setInputToPalette(false);
        auxiliary_->showInputToPalette();
        auxiliary_->setPaletteLinked(false);
    };
    Fkakunin = std::make_unique<TFkakunin>(context, std::move(p));

    App::RemoteLinks r;
    r.hasPartner = [this] { return hasPartner(); };
    r.started = [this] { return isStarted(); };
    r.message = [this](const QString& text) { Message(text); };
    r.sendSettingsLine = [this](const QByteArray& line) { SendSettingsLine(line); };
    r.channelIndex = [this] { return channelIndex(); };
    r.registerEndpoint = [this](Net::DatagramEndpoint* e) { outbox_.add(e); };
    r.outbox = &outbox();
    r.home = [this] { return QPoint(x() + display_->displayWidth() / 5, y() + display_->displayHeight()); };
    Fmojikara = std::make_unique<TFmojikara>(context, std::move(r));

    Fshusei_moni = std::make_unique<TFshusei_moni>(context);
}

// ---------------------------------------------------------------------------------------------
// Operations for the other typing panes

void Ttalk2e::UndoToPane(QTextEdit* pane, bool after, const QString& tag) { strip_->UndoToPane(pane, after, tag); }
QString Ttalk2e::UndoForPreroll() { return strip_->UndoForPreroll(); }
void Ttalk2e::SendThroughInputPane(const QString& text) { strip_->SendThroughInputPane(text); }

int Ttalk2e::AnnotateDisplay(const QString& base, const QString& reading) {
    const int count = Core::Ruby::AnnotateRecord(*record().document(), std::clamp(display_->linesField(6), 0, Core::SmoothScroller::kMostVisibleLines) + 1, base, reading);
    if (count == 0) return 0;
    if (wordProcessorMode()) display_->followRecordEnd();  // the paused display keeps its place
    display_->RedrawCanvases();
    return count;
}

// The wrap follows the sub-input window's switch in every layout of the display.
void Ttalk2e::SetDisplayWrap(bool) {
    display_->DisplayAreaResized();
    display_->RedrawCanvases();
}

// ---------------------------------------------------------------------------------------------
// The telop route: F1 of a pre-roll in telop mode, and "表示消去"

bool Ttalk2e::ShowTelop(const QString& text, bool noticeLine, bool stopAtLeftEdge, bool toLan, bool toSelf) {
    if (!Form15) return false;
    TForm15& n = *Form15;
    n.setStopsAtLeftEdge(stopAtLeftEdge);
    n.setShowsPagesAtEnd(false);
    if (stopAtLeftEdge) {
        n.setMovesAtEnd(false);
        n.setHidesAtEnd(false);
    } else {
        n.setHidesAtEnd(true);
    }
    auto put = [&] {
        if (noticeLine) n.ApplyNoticeLine(text);
        else n.setNoticeText(text);
    };
    bool sent = true;
    if (toLan) {
        n.SendNoticeStop();
        put();
        sent = n.SendNotice();
    }
    if (toSelf) {
        n.StopNotice();
        n.show();
        put();
        n.ShowNotice();
    }
    return sent;
}

void Ttalk2e::ClearTelop(bool toLan, bool toSelf) {
    if (!Form15) return;
    Form15->setShowsPagesAtEnd(false);
    Form15->setHidesAtEnd(true);
    if (toLan) Form15->SendNoticeStop();
    if (toSelf) Form15->StopNotice();
}

// The links of the prepared-text and messaging windows to the main window: the send path, the
// options of the pages, the other windows and the notice window's telop route.
#include "windows/main/window_links.h"

#include "windows/main/main_window.h"
#include "ui/messaging_links.h"
#include "core/ruby_insertion.h"
#include "windows/messaging/fkey_memo.h"
#include "windows/messaging/notice_window.h"
#include "net/datagram_endpoint.h"
#include "windows/prepared/correction_monitor.h"
#include "windows/prepared/preroll_monitor.h"
#include "windows/prepared/template_window.h"
#include "windows/main/auxiliary_page.h"
#include "windows/main/display_view.h"
#include "windows/main/input_strip.h"
#include "windows/main/member_monitor.h"
#include "windows/main/desktop_cover.h"
#include "settings/values.h"
#include "windows/main/wastop_monitor.h"
#include "windows/messaging/contact_window.h"
#include "windows/prepared/correction_palette.h"
#include "windows/prepared/karaoke_remote.h"
#include "windows/prepared/subinput_window.h"
#include "audience/audience_panel.h"
#include <QTabWidget>

#include <QTextEdit>

#include <algorithm>

namespace App {

ContactLinks contactLinks(Ttalk2e& main) {
    ContactLinks l{main.outbox()};
    l.ownAddress = [&main] { return main.ownAddress(); };
    l.logOn = [&main] { return main.logsLines(); };
    l.log = [&main](const QString& line) { main.Log(line); };
    l.message = [&main](const QString& text) { main.Message(text); };
    return l;
}

NoticeLinks noticeLinks(Ttalk2e& main) {
    NoticeLinks l{main.outbox()};
    l.logOn = [&main] { return main.logsLines(); };
    l.log = [&main](const QString& line) { main.Log(line); };
    l.message = [&main](const QString& text) { main.Message(text); };
    l.hasPartner = [&main] { return main.hasPartner(); };
    l.displayArea = [&main] { return main.captionDisplayArea(); };
    l.receiveOffChanged = [&main](bool on) { main.auxiliaryPage().setNoticesOff(on); };
    l.sendCommaSettings = [&main] { return main.templateWindow() && main.templateWindow()->sendsCommaSettings(); };
    l.rollStopsAtLeft = [&main] { return main.templateWindow() && main.templateWindow()->stopsTelopAtLeftEdge(); };
    l.appendToPreroll = [&main](const QString& line) {
        if (main.templateWindow()) main.templateWindow()->AppendToFirstRoll(line);
    };
    return l;
}

}  // namespace App

namespace {

// The keys the input pane lends the other typing panes.
App::PaneKeyLinks paneKeys(Ttalk2e& w) {
    App::PaneKeyLinks k;
    k.sendLine = [&w](const QByteArray& text) { return w.SendLine(text); };
    k.undoToPane = [&w](QTextEdit* pane, bool after, const QString& tag) { w.strip().UndoToPane(pane, after, tag); };
    k.delClsKeys = [&w] { return w.strip().delClsKeys(); };
    k.deleteKey = [&w](bool clear) { w.DeleteOrClearKey(clear); };
    k.memoPhrase = [&w](int fkey) { return w.fkeyMemo() ? w.fkeyMemo()->phrase(fkey) : QString(); };
    k.memoClears = [&w](int fkey) { return w.fkeyMemo() && w.fkeyMemo()->clearsPane(fkey); };
    k.correctionTemplate = [&w] { return w.strip().correctionTemplate(); };
    k.brackets = [&w](bool shift) { return w.strip().brackets(shift); };
    k.message = [&w](const QString& text) { w.Message(text); };
    k.log = [&w](const QString& line) { w.Log(line); };
    k.logLines = [&w] { return w.logsLines(); };
    return k;
}

// A reading put before each occurrence of `base` in the last lines of the display; how many.
int annotateDisplay(Ttalk2e& m, const QString& base, const QString& reading) {
    const int count = Core::Ruby::AnnotateRecord(*m.record().document(), std::clamp(m.display().linesField(6), 0, Core::SmoothScroller::kMostVisibleLines) + 1, base, reading);
    if (count == 0) return 0;
    if (m.wordProcessorMode()) m.display().followRecordEnd();  // the paused display keeps its place
    m.display().RedrawCanvases();
    return count;
}

// The wrap follows the sub-input window's switch in every layout of the display.
void setDisplayWrap(Ttalk2e& m) {
    m.display().DisplayAreaResized();
    m.display().RedrawCanvases();
}

// The pre-roll window's telop route through the notice window: F1 in telop mode. False when the
// notice could not go to the LAN.
bool showTelop(Ttalk2e& m, const QString& text, bool noticeLine, bool stopAtLeftEdge, bool toLan, bool toSelf) {
    if (!m.noticeWindow()) return false;
    TForm15& n = *m.noticeWindow();
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

// "表示消去" of the pre-roll window in telop mode.
void clearTelop(Ttalk2e& m, bool toLan, bool toSelf) {
    TForm15* n = m.noticeWindow();
    if (!n) return;
    n->setShowsPagesAtEnd(false);
    n->setHidesAtEnd(true);
    if (toLan) n->SendNoticeStop();
    if (toSelf) n->StopNotice();
}

}  // namespace

namespace WindowLinks {

// The partner page's ways to the rest of the station.
PartnerPage::Links partnerLinks(Ttalk2e& main) {
    return {
        .station = main.station(),
        .outbox = main.outbox(),
        .message = [&main](const QString& text) { main.Message(text); },
        .log = [&main](const QString& line) { main.Log(line); },
        .logRepeated = [&main](const QString& kind, const std::function<QString()>& line) { main.LogRepeated(kind, line); },
        .showMessages = [&main] { return main.showMessages(); },
        .started = [&main] { return main.isStarted(); },
        .ownAddressChanged = [&main](const QString& address) { main.auxiliaryPage().audiencePanel().setOwnAddress(address); },
        .slotNameChanged = [&main](int k, const QString& name) {
            if (main.memberMonitor()) main.memberMonitor()->SlotNameChanged(k, name);
        },
        .pairingButtonsShown = [&main](int k, bool partner) {
            if (main.memberMonitor()) main.memberMonitor()->SyncButtons(k, partner);
        },
        .setCaptions = [&main](const QString& caption, const QString& subInput) {
            main.setWindowTitle(caption);
            if (main.subInputWindow()) main.subInputWindow()->setWindowTitle(subInput);
        },
        .showPage = [&main] { main.pages()->setCurrentIndex(2); },
        .changeChannel = [&main] { main.ChangeChannel(); },
        .readOwnName = [&main] { main.ReadOwnNameFromStartupFile(); },
    };
}

// The page's buttons open the windows, which exist once the creation table has run.
void wireAuxiliaryPage(Ttalk2e& m) {
    AuxiliaryPage* page = &m.auxiliaryPage();
    QObject::connect(page, &AuxiliaryPage::templateClicked, &m, [&m] {
        m.templateWindow()->show();
        m.pages()->setCurrentIndex(0);
    });
    QObject::connect(page, &AuxiliaryPage::noticesOffChanged, &m, [&m](bool on) {
        if (m.noticeWindow()) m.noticeWindow()->setRefusesNotices(on);
    });
    QObject::connect(page, &AuxiliaryPage::templateOnTopChanged, &m, [&m](bool on) { m.setStaysOnTop(m.templateWindow(), on); });
    QObject::connect(page, &AuxiliaryPage::templateMonitorClicked, &m, [&m] { m.prerollMonitor()->show(); });
    QObject::connect(page, &AuxiliaryPage::monitorClicked, &m, [&m] { m.memberMonitor()->show(); });
    QObject::connect(page, &AuxiliaryPage::monitorOnTopChanged, &m, [&m](bool on) { m.setStaysOnTop(m.memberMonitor(), on); });
    QObject::connect(page, &AuxiliaryPage::contactClicked, &m, [&m] {
        m.contactWindow()->show();
        m.contactWindow()->focusInputPane();
    });
    QObject::connect(page, &AuxiliaryPage::noticeClicked, &m, [&m] { m.noticeWindow()->show(); });
    QObject::connect(page, &AuxiliaryPage::subInputClicked, &m, [&m] {
        m.display().resetCursors();
        m.subInputWindow()->setGeometry(0, 0, m.width() * 4 / 5, m.subInputWindow()->firstPaneHeight() * 2 + 60);
        m.subInputWindow()->openFirstPage();
        m.subInputWindow()->show();
    });
    QObject::connect(page, &AuxiliaryPage::paletteClicked, &m, [&m] { m.correctionPalette()->show(); });
    QObject::connect(page, &AuxiliaryPage::inputToPaletteChanged, &m, [&m](bool on) {
        if (!on) return;
        m.correctionPalette()->hide();
        m.display().setUndoPartnerLines(true);
    });
    QObject::connect(page, &AuxiliaryPage::correctionMonitorClicked, &m, [&m] { m.correctionMonitor()->show(); });
    QObject::connect(page, &AuxiliaryPage::remoteClicked, &m, [&m] { m.karaokeRemote()->show(); });
    QObject::connect(page, &AuxiliaryPage::waStopMonitorClicked, &m, [&m] {
        m.wastopMonitor()->clearMemo();
        m.wastopMonitor()->show();
    });
    QObject::connect(page, &AuxiliaryPage::fkeyMemoClicked, &m, [&m] {
        m.fkeyMemo()->move(m.x() + 25, m.y() + 80);
        m.fkeyMemo()->show();
    });
}

// The cover and colour buttons of the display view's option pages, and the cover window's click.
void wireCoverAndColours(Ttalk2e& m) {
    DisplayView* view = &m.display();
    QObject::connect(view, &DisplayView::coverToggled, &m, [&m] {  // CheckBox9
        if (m.display().coverOn()) {
            m.desktopCover()->cover(Ttalk2e::qcolour(m.colours().cover));
            m.bringToFront(&m);
        } else {
            m.desktopCover()->hide();
        }
    });
    QObject::connect(view, &DisplayView::coverColourClicked, &m, [&m] {  // Button8
        m.display().setCover(false);
        if (auto c = m.station().dialogs.chooseColor(&m, Ttalk2e::qcolour(m.colours().cover))) m.colours().cover = Settings::fromQColor(*c);
    });
    QObject::connect(view, &DisplayView::pageColourClicked, &m, [&m] {  // Button69
        const auto c = m.station().dialogs.chooseColor(&m, Ttalk2e::qcolour(m.colours().page));
        if (!c) return;
        m.colours().page = Settings::fromQColor(*c);
        m.PaintPages();
        m.hide();
        m.show();
    });
    QObject::connect(view, &DisplayView::explanationColourClicked, &m, [&m] {  // Button70
        const auto c = m.station().dialogs.chooseColor(&m, Ttalk2e::qcolour(m.colours().explanation));
        if (!c) return;
        m.colours().items = m.colours().explanation = Settings::fromQColor(*c);
        m.PaintPages();
        m.PaintExplanations();
    });
}

void wireCoverWindow(Ttalk2e& m) {
    QObject::connect(m.desktopCover(), &TForm9::coverClicked, &m, [&m] {  // Form9Click
        m.bringToFront(&m);
        for (QWidget* w : std::initializer_list<QWidget*>{m.memberMonitor(), m.prerollMonitor(), m.fkeyMemo(), m.contactWindow(), m.wastopMonitor()})
            if (w && w->isVisible()) w->raise();
    });
}

App::TemplateLinks templateLinks(Ttalk2e& m) {
    App::TemplateLinks l;
    l.outbox = &m.outbox();
    l.sendLine = [&m](const QByteArray& text) { return m.SendLine(text); };
    l.stampInputStart = [&m] {
        if (m.logsInputStart()) m.markInputStart(m.station().clock.now());
    };
    l.undoForPreroll = [&m] { return m.strip().UndoForPreroll(); };
    const App::PaneKeyLinks keys = paneKeys(m);
    l.delClsKeys = keys.delClsKeys;
    l.deleteKey = keys.deleteKey;
    l.showTelop = [&m](const App::Telop& t) {
        return showTelop(m, t.text, t.noticeLine, t.stopAtLeftEdge, t.toLan, t.toSelf);
    };
    l.clearTelop = [&m](bool toLan, bool toSelf) { clearTelop(m, toLan, toSelf); };
    l.doubledMonitor = [&m] { return m.auxiliaryPage().prerollMonitorDoubled(); };
    l.hasPartner = [&m] { return m.hasPartner(); };
    l.started = [&m] { return m.isStarted(); };
    l.message = [&m](const QString& text) { m.Message(text); };
    l.sendSettingsLine = [&m](const QByteArray& line) { m.SendSettingsLine(line); };
    l.monitorClear = [&m](App::MonitorPart part) {
        if (TForm3* monitor = m.prerollMonitor()) monitor->ClearPart(part);
    };
    l.monitorAppend = [&m](App::MonitorPart part, const QByteArray& line) {
        if (TForm3* monitor = m.prerollMonitor()) monitor->AppendLine(part, line);
    };
    l.monitorReceived = [&m](App::MonitorPart part, const QByteArray& text) {
        if (TForm3* monitor = m.prerollMonitor()) monitor->Feed(part, text);
    };
    l.setOnTop = [&m](bool on) { m.auxiliaryPage().setTemplateOnTop(on); };
    return l;
}

App::SubInputLinks subInputLinks(Ttalk2e& m) {
    App::SubInputLinks s;
    s.keys = paneKeys(m);
    s.outbox = &m.outbox();
    s.keyPressed = [&m] {
        m.strip().armTimeLimit();
        if (m.logsInputStart() && !m.inputStarted()) m.markInputStart(m.station().clock.now());
    };
    s.erased = [&m] { m.strip().cancelTimeLimit(); };
    s.caretSend = [&m] { return m.strip().sendsBeforeCaret(); };
    s.blankAfter = [&m] { return m.strip().blankAfterF12(); };
    s.speakerName = [&m] { return m.strip().speakerName(); };
    s.reading = [&m] { return m.strip().readingOptions(); };
    s.hasPartner = [&m] { return m.hasPartner(); };
    s.monitorFeed = [&m] { return m.auxiliaryPage().liveTypingToMonitors(); };
    s.ownAddress = [&m] { return m.ownAddress(); };
    s.countColour = [&m] { return m.strip().countColours(); };
    s.countSend = [&m] { return m.strip().countSends(); };
    s.countLimit = [&m] { return m.strip().countLimit(); };
    s.refilledByUndo = [&m] { return m.refilledByUndo(); };
    s.stripRed = [&m](bool red) { m.SetStripColour(red ? StripColour::Red : StripColour::Normal); };
    s.rubyExchange = [&m] { return m.auxiliaryPage().rubyExchange(); };
    s.setRubyExchange = [&m](bool on) { m.auxiliaryPage().setRubyExchange(on); };
    s.annotateDisplay = [&m](const QString& base, const QString& reading) { annotateDisplay(m, base, reading); };
    s.setDisplayWrap = [&m](bool) { setDisplayWrap(m); };
    s.clearPositionMarker = [&m] { return m.display().clearPositionMarker(); };
    s.resetCursors = [&m] { m.display().resetCursors(); };
    return s;
}

App::PaletteLinks paletteLinks(Ttalk2e& m) {
    App::PaletteLinks p;
    p.keys = paneKeys(m);
    p.outbox = &m.outbox();
    p.toPalette = [&m] { return m.auxiliaryPage().inputToPalette(); };
    p.linked = [&m] { return m.auxiliaryPage().paletteLinked(); };
    p.mainCorrector = [&m] { return m.auxiliaryPage().mainCorrector(); };
    p.linkUncommitted = [&m] { return m.auxiliaryPage().linkUncommitted(); };
    p.monitorShown = [&m] { return m.correctionMonitor() && m.correctionMonitor()->isVisible(); };
    p.sendThroughInputPane = [&m](const QString& text) { m.strip().SendThroughInputPane(text); };
    p.showMonitor = [&m](const std::array<QByteArray, 6>& texts) {
        if (TFshusei_moni* monitor = m.correctionMonitor()) monitor->ShowTexts(texts);
    };
    p.closed = [&m] {
        m.auxiliaryPage().setPaletteLinked(false);  // closing the palette ends its linkage
        m.auxiliaryPage().showInputToPalette();
    };
    p.resetMainOptions = [&m] {
        m.auxiliaryPage().setInputToPalette(false);
        m.auxiliaryPage().showInputToPalette();
        m.auxiliaryPage().setPaletteLinked(false);
    };
    return p;
}

App::RemoteLinks remoteLinks(Ttalk2e& m) {
    App::RemoteLinks r;
    r.hasPartner = [&m] { return m.hasPartner(); };
    r.started = [&m] { return m.isStarted(); };
    r.message = [&m](const QString& text) { m.Message(text); };
    r.sendSettingsLine = [&m](const QByteArray& line) { m.SendSettingsLine(line); };
    r.channelIndex = [&m] { return m.channelIndex(); };
    r.registerEndpoint = [&m](Net::DatagramEndpoint* e) { m.registerEndpoint(e); };
    r.outbox = &m.outbox();
    r.home = [&m] { return QPoint(m.x() + m.display().displayWidth() / 5, m.y() + m.display().displayHeight()); };
    return r;
}

}  // namespace WindowLinks

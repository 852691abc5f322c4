#include "windows/main/main_window.h"

#include "ui/canvas.h"
#include "windows/main/desktop_cover.h"
#include "windows/main/dock_page.h"
#include "ui/fonts.h"
#include "ui/form_builder.h"
#include "ui/hot_keys.h"
#include "windows/main/member_monitor.h"
#include "ui/text_pane.h"
#include "windows/main/splash.h"
#include "ui/updown.h"
#include "windows/main/strip_alarm.h"
#include "windows/main/wastop_monitor.h"
#include "audience/audience_panel.h"
#include "audience/online_captions.h"
#include "audience/online_panel.h"
#include "audience/service.h"
#include "windows/messaging/contact_window.h"
#include "windows/messaging/fkey_memo.h"
#include "windows/messaging/notice_window.h"
#include "net/addressing.h"
#include "net/datagram_endpoint.h"
#include "net/network.h"
#include "windows/prepared/correction_monitor.h"
#include "windows/prepared/correction_palette.h"
#include "windows/prepared/karaoke_remote.h"
#include "windows/prepared/preroll_monitor.h"
#include "windows/prepared/subinput_window.h"
#include "windows/prepared/template_window.h"
#include "windows/main/partner_page.h"
#include "windows/main/saving.h"
#include "windows/main/settings_transfer.h"
#include "windows/main/auxiliary_page.h"
#include "windows/main/display_view.h"
#include "windows/main/input_strip.h"
#include "windows/main/explanation_page.h"
#include "windows/main/window_links.h"
#include "windows/main/caption_host.h"
#include "windows/main/drop_report.h"
#include "windows/main/settings_file_page.h"
#include "ui/messaging_links.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>

namespace {

QTimer* namedTimer(QObject* parent, const char* name, int interval, bool singleShot) {
    auto* t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(interval);
    t->setSingleShot(singleShot);
    return t;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction: the form itself, then its creation step.

Ttalk2e::Ttalk2e(App::Station& station, TForm12* splash)
    : QWidget(nullptr), station_(station), host_(std::make_unique<MainCaptionHost>(*this)), splash_(splash),
      programFolder_(station.programFolder) {
    setObjectName(QStringLiteral("talk2e"));
    setWindowTitle(PartnerPage::kMainCaption);
    windows_.add(this, "hkey_main");

    drops_ = std::make_unique<DropReport>(station_, *this, [this](const QString& line) { Log(line); });
    transfer_ = std::make_unique<SettingsTransfer>(*this);
    saving_ = std::make_unique<Saving>(*this);
    settingsFile_ = std::make_unique<SettingsFilePage>(*this);
    partner_ = std::make_unique<PartnerPage>(WindowLinks::partnerLinks(*this), this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    display_ = std::make_unique<DisplayView>(*this, scroll_);
    strip_ = std::make_unique<InputStrip>(*this);
    buildDisplayPage();
    buildAuxiliaryPage();
    partner_->build(PageControl1, explanatoryLabels_);
    display_->buildOptionPages(PageControl1);
    strip_->buildPages(PageControl1);
    buildSavePage();
    explanation_ = new ExplanationPage(PageControl1);
    PageControl1->addTab(explanation_, QStringLiteral("説明"));

    display_->buildFramelessCanvas();

    Timer2 = namedTimer(this, "Timer2", 5000, true);
    strip_->buildTimers();
    connect(Timer2, &QTimer::timeout, this, &Ttalk2e::Timer2Timer);

    outbox_.members = [this] { return partner_->team().memberAddresses(); };
    outbox_.partner = [this] { return partner_->team().partnerAddress(); };
    outbox_.siblingOn = [this] { return partner_->siblingOn(); };
    createEndpoints();
    hotKeys_ = new HotKeyMenu(*this, *this);
    display_->wire();
    WindowLinks::wireCoverAndColours(*this);
    partner_->wire();
    strip_->wire();
    partner_->wireOptions();
    saving_->wire();

    FormCreate();
}

Ttalk2e::~Ttalk2e() {
    auxiliary_->dropAudiencePanels();  // they hold the service and the poster, which go with the members
}

void Ttalk2e::buildDisplayPage() {
    TabSheet1 = new DockPage(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, QStringLiteral("表示・入力"));

    display_->buildArea(TabSheet1);
    QWidget* Panel6 = display_->area();

    Memo1 = new QPlainTextEdit(Panel6);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->hide();
    Memo5 = new QPlainTextEdit(Panel6);
    Memo5->setObjectName(QStringLiteral("Memo5"));
    Memo5->hide();
    host_->buildClipboardPane(Panel6);
    Panel7 = new QFrame(Panel6);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    Panel7->hide();
    RichEdit6 = new QTextEdit(Panel7);
    RichEdit6->setObjectName(QStringLiteral("RichEdit6"));

    strip_->buildStrip(TabSheet1, Panel6);
}

void Ttalk2e::buildAuxiliaryPage() {
    audience_ = std::make_unique<Audience::Service>(record(), station_.clock);
    online_ = std::make_unique<Audience::OnlineCaptions>(audience_->mirror(), station_.clock);
    online_->setNetwork(station_.web);
    online_->setHandEditing([this] { return display_->correctionMode(); });  // correction mode: the record is edited by hand
    connect(online_.get(), &Audience::OnlineCaptions::explain, this, &Ttalk2e::Log);
    auxiliary_ = new AuxiliaryPage(PageControl1, *audience_, *online_);
    PageControl1->addTab(auxiliary_, QStringLiteral("補助Ｗ"));
}

void Ttalk2e::buildSavePage() {
    auto* save = new Form::Page(PageControl1, 2);
    save->setObjectName(QStringLiteral("TabSheet8"));
    PageControl1->addTab(save, QStringLiteral("保存"));
    saving_->buildSaveGroups(save);
    settingsFile_->build(*save);
    QGroupBox* match = save->group(1, QStringLiteral("表示機と合わせる"), "GroupMatch");
    explanatoryLabels_ << Form::label(match, QStringLiteral("●「ワ」ボタン修正する時に表示機と行数と桁数を合わせます。"));
    transfer_->addMatchButton(match);
    explanatoryLabels_ << Form::label(match, QStringLiteral("フォント大きさ、ウィンド幅、表示行数を受信します。"));
    explanatoryLabels_ << Form::label(match, QStringLiteral("合わせた後、ウィンド高さ変更はｏｋ。幅はダメです。"));
}

void Ttalk2e::createEndpoints() {
    auto make = [this](const Net::PortEntry& entry) { return makeEndpoint(entry, this, {}); };
    NMUDP1 = make(Net::Ports::MainLines);
    NMUDP2 = make(Net::Ports::MainPartner);
    NMUDP3 = make(Net::Ports::MainCorrections);
    NMUDP6 = make(Net::Ports::MainSearchAnswers);
    NMUDP4 = make(Net::Ports::MainPairing);
    NMUDP7 = make(Net::Ports::MainMonitorFeed);
    NMUDP8 = make(Net::Ports::MainSearchRequests);
    NMUDP9 = make(Net::Ports::MainCommands);
    NMUDP10 = make(Net::Ports::MainLeave);

    NMUDP1->gate = [this] { return partner_->lanOn(); };
    NMUDP9->gate = [this] { return partner_->lanOn(); };
    NMUDP7->gate = [this] { return auxiliary_->liveTypingToMonitors(); };

    using E = Net::DatagramEndpoint;
    connect(NMUDP1, &E::received, this, &Ttalk2e::NMUDP1DataReceived);
    connect(NMUDP2, &E::received, this, &Ttalk2e::NMUDP2DataReceived);
    connect(NMUDP3, &E::received, this, &Ttalk2e::NMUDP3DataReceived);
    connect(NMUDP4, &E::received, this, &Ttalk2e::NMUDP4DataReceived);
    connect(NMUDP6, &E::received, this, &Ttalk2e::NMUDP6DataReceived);
    connect(NMUDP7, &E::received, this, &Ttalk2e::NMUDP7DataReceived);
    connect(NMUDP8, &E::received, this, &Ttalk2e::NMUDP8DataReceived);
    connect(NMUDP9, &E::received, this, &Ttalk2e::NMUDP9DataReceived);
    connect(NMUDP10, &E::received, this, &Ttalk2e::NMUDP10DataReceived);
}

Net::DatagramEndpoint* Ttalk2e::makeEndpoint(const Net::PortEntry& entry, QObject* owner,
                                             std::function<bool()> followsChannel) {
    auto* e = new Net::DatagramEndpoint(station_.network, entry, owner);
    e->siblingCopyOn = [this] { return partner_->siblingOn(); };
    e->unscramble = [this](const QByteArray& text) { return partner_->trafficScramblingOn() ? partner_->UnscrambleTraffic(text) : text; };
    e->bindChannel(channelIndex());
    outbox_.add(e);
    endpoints_.add(e, std::move(followsChannel));
    return e;
}

App::WindowContext Ttalk2e::windowContext() { return {station_, *this, *this, windows_}; }

void Ttalk2e::createAuxiliaryWindows() {
    const App::WindowContext context = windowContext();
    Form6 = std::make_unique<TForm6>(context, App::contactLinks(*this));
    Form11 = std::make_unique<TForm11>(context, WindowLinks::templateLinks(*this));
    Form15 = std::make_unique<TForm15>(context, App::noticeLinks(*this));
    auxiliary_->setNoticesOff(Form15->refusesNotices());
    Form2 = std::make_unique<TForm2>(context, partner_->team(), [this] {
        return TForm2::Options{auxiliary_->monitorRows(), strip_->monitorShowsEnd(), auxiliary_->monitorMarksBreaks()};
    });
    Form5 = std::make_unique<TForm5>(context);
    Form8 = std::make_unique<TForm8>(context);
    Form3 = std::make_unique<TForm3>(context);
    Form9 = std::make_unique<TForm9>(context);
    Form14 = std::make_unique<TForm14>(context, WindowLinks::subInputLinks(*this));
    connect(auxiliary_, &AuxiliaryPage::rubyExchangeChanged, Form14.get(), &TForm14::RubyExchangeChanged);
    Fkakunin = std::make_unique<TFkakunin>(context, WindowLinks::paletteLinks(*this));
    Fmojikara = std::make_unique<TFmojikara>(context, WindowLinks::remoteLinks(*this));
    Fshusei_moni = std::make_unique<TFshusei_moni>(context);
    Form14->setWindowTitle(subInputCaptionBase());
    setStaysOnTop(Form11.get(), auxiliary_->templateOnTop());
    setStaysOnTop(Form2.get(), auxiliary_->monitorOnTop());
    WindowLinks::wireCoverWindow(*this);
    connect(auxiliary_, &AuxiliaryPage::monitorRowsChanged, Form2.get(), &TForm2::Restack);
    WindowLinks::wireAuxiliaryPage(*this);
    UpdateMemoRows();
    buildSettingsTable();
}

void Ttalk2e::setStaysOnTop(QWidget* window, bool on) {
    if (!window) return;
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (wasVisible) window->show();  // changing the flags hides a window
}

bool Ttalk2e::showMessages() const { return display_->showsMessages(); }

void Ttalk2e::Message(const QString& text) {
    if (showMessages()) station_.messages.information(text);
}

// ---------------------------------------------------------------------------------------------
// Start-up

void Ttalk2e::FormCreate() {
    team().resetGroupFull();
    InitialLayout();
    DetectOwnAddress();
    if (!partner_->CheckOwnAddress()) {
        Message(QStringLiteral("ＩＰアドレスの読込に失敗しました。\n他のパソコンと通信できません。"));
        return;  // no second phase: no start-up settings, never `started`
    }
    ReadOwnNameFromStartupFile();
    CheckMemberAndRemoteAddresses();
    SearchMembers();
    Timer2->start(5000);
}

void Ttalk2e::InitialLayout() {
    move(0, 0);
    resize(640, 480);
    PageControl1->setGeometry(rect());
    TabSheet1->resize(PageControl1->size());

    display_->InitialLayout();

    strip_->InitialLayout();

    Memo1->clear();
    RichEdit6->setGeometry(Panel7->rect());
}

void Ttalk2e::Timer2Timer() {
    Timer2->stop();
    programFolder_ = station_.programFolder;
    display_->StartupDisplayOptions();
    display_->fitRecordPane();
    LoadStartupSettings();
    display_->RedrawDisplay();
    display_->RedrawFrameless();
    StartupPartnerRequest();
    display_->ReadScrollInterval();

    if (!groupFull()) show();
    started_ = true;
    layoutOn_ = true;
    PrepareTrafficKey();
    if (splash_) splash_->close();
    show();
    raise();
    activateWindow();
    display_->DisplayAreaResized();  // fit lines and spacing now that start-up is over; focus for typing
    StartupFinished();
    saving_->ReportRescuedSaves();

    saving_->WarnIfPeriodicClearOff();
    if (addressListIsRed()) {
        PageControl1->setCurrentIndex(2);
        station_.messages.information(QStringLiteral(
            "複数のＩＰアドレスが見つかりました。\n「自分のパソコン」の「赤いＩＰアドレスの一覧」から\n"
            "Ｑｕｅｌｔａで使うＩＰアドレスをクリックしてください。"));
    }
}



// ---------------------------------------------------------------------------------------------
// Channel and port plan

void Ttalk2e::ChangeChannel() {
    if (Net::CheckAddress(ownAddress()) != 0) return;  // every port stays where it was
    team().endPartnership();  // the cancel still goes out on the old channel
    team().leaveForChannelChange();

    const int n = channelIndex() + 1;
    partner_->setChannelPrefix(n);
    setWindowTitle(mainCaptionBase());
    for (QWidget* w : windows_.all())
        if (auto* aux = qobject_cast<AuxWindow*>(w)) aux->applyChannelCaption(n);
    if (Form14) Form14->setWindowTitle(subInputCaptionBase());

    const int c = channelIndex();
    endpoints_.bindChannel(c);
    SearchMembers();
}

// ---------------------------------------------------------------------------------------------
// The page "ﾊﾟｰﾄﾅｰ": its team and the steps of start-up, closing and receiving it takes

Net::Team& Ttalk2e::team() { return partner_->team(); }
bool Ttalk2e::hasPartner() const { return partner_->team().hasPartner(); }
int Ttalk2e::partnerSlot() const { return partner_->team().partnerSlot(); }
bool Ttalk2e::groupFull() const { return partner_->team().groupFull(); }
int Ttalk2e::channelIndex() const { return partner_->channelIndex(); }
int Ttalk2e::groupNumber() const { return partner_->groupNumber(); }
QString Ttalk2e::ownAddress() const { return partner_->ownAddress(); }
int Ttalk2e::trafficKey() const { return partner_->trafficKey(); }
QString Ttalk2e::mainCaptionBase() const { return partner_->mainCaptionBase(); }
QString Ttalk2e::subInputCaptionBase() const { return partner_->subInputCaptionBase(); }
bool Ttalk2e::addressListIsRed() const { return partner_->addressListIsRed(); }
void Ttalk2e::DetectOwnAddress() { partner_->DetectOwnAddress(); }
void Ttalk2e::CheckMemberAndRemoteAddresses() { partner_->CheckMemberAndRemoteAddresses(); }
void Ttalk2e::SearchMembers() { team().searchMembers(); }
void Ttalk2e::StartupPartnerRequest() { team().startupPartnerRequest(); }
void Ttalk2e::PrepareTrafficKey() { partner_->Edit1Change(); }
void Ttalk2e::StartupFinished() { partner_->StartupFinished(); }
void Ttalk2e::LeaveOnExit() { team().leaveOnExit(); }

void Ttalk2e::NMUDP8DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team().searchRequestReceived(payload, from);
}
void Ttalk2e::NMUDP6DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team().searchAnswerReceived(payload, from);
}
void Ttalk2e::NMUDP4DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team().pairingReceived(payload, from);
}
void Ttalk2e::NMUDP10DataReceived(const QByteArray& payload, const QString& from, quint16) {
    team().leaveReceived(payload, from);
}

void Ttalk2e::SendToMembers(const Net::PortEntry& port, const QByteArray& payload) { outbox_.toMembers(port, payload); }


// ---------------------------------------------------------------------------------------------
// Hot keys and the windows they bring forward

void Ttalk2e::bringToFront(QWidget* window) {
    if (!window) return;
    window->show();
    window->raise();
    window->activateWindow();
}

void Ttalk2e::HotKey(const QString& item) {
    // The window of the item, only while it is shown (the main window always); hkeyslide1 (Ctrl+L)
    // has none and does nothing.
    QWidget* w = windows_.withHotKey(item);
    if (w && (w == this || w->isVisible())) bringToFront(w);
    else if (item == QLatin1String("hkeyinput1")) bringToFront(this);  // no sub-input window: the main one
}

QColor Ttalk2e::qcolour(qint32 value) { return Settings::toQColor(value, QApplication::palette()); }

void Ttalk2e::PaintPages() {
    for (QWidget* w : windows_.all()) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, qcolour(colours_.page));
        p.setColor(QPalette::WindowText, qcolour(colours_.items));
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
    PaintExplanations();
}

void Ttalk2e::PaintExplanations() {
    for (QLabel* l : explanatoryLabels_) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, qcolour(colours_.explanation));
        l->setPalette(p);
    }
}

bool Ttalk2e::SendSettingsLine(const QByteArray& text) { return transfer_->SendSettingsLine(text); }

void Ttalk2e::SettingsTransferReceived(const QByteArray& text, const QString& from) {
    transfer_->SettingsTransferReceived(text, from);
}

void Ttalk2e::PeriodicClear() { saving_->PeriodicClear(); }
const Core::TypingRate& Ttalk2e::typingRate() const { return saving_->typingRate(); }
bool Ttalk2e::rateWarning() const { return saving_->rateWarning(); }

void Ttalk2e::RecordHeadChanged() {
    scroll_.jumpToEnd(record().lineCount());
    display_->DisplayAreaResized();
}

// ---------------------------------------------------------------------------------------------
// Log

void Ttalk2e::Log(const QString& line) { explanation_->append(line); }

// ---------------------------------------------------------------------------------------------
// Window events

void Ttalk2e::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PageControl1->setGeometry(rect());
    display_->WindowResized();
}

bool Ttalk2e::SaveOnExit() { return saving_->SaveOnExit(); }

bool Ttalk2e::FormClose() {
    if (!SaveOnExit()) return false;
    LeaveOnExit();
    return true;
}

void Ttalk2e::closeEvent(QCloseEvent* event) {
    if (closeState_ == CloseState::Closing) {  // the close handler is still asking the user
        event->ignore();
        return;
    }
    if (closeState_ == CloseState::Open) {
        closeState_ = CloseState::Closing;
        if (!FormClose()) {
            closeState_ = CloseState::Open;  // the user stays, with everything as it was
            event->ignore();
            return;
        }
        closeState_ = CloseState::Closed;
    }
    event->accept();
    for (QWidget* w : windows_.all())
        if (w != this) w->hide();
    emit closed();
}

void Ttalk2e::CloseUnattended() {
    saving_->setUnattended();
    // A box of the close handler waits for an answer that will not come: closed, the handler goes
    // on without asking and saves where it can.
    if (closeState_ == CloseState::Closing) {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
        return;
    }
    close();
}

void Ttalk2e::SessionEnding() {
    saving_->setUnattended();
    if (closeState_ == CloseState::Open) SaveOnExit();
}

// ---------------------------------------------------------------------------------------------
// The display's operations under their own names

void Ttalk2e::Timer1Timer() { display_->Timer1Timer(); }
void Ttalk2e::RedrawDisplay() { display_->RedrawDisplay(); }
void Ttalk2e::RedrawFrameless() { display_->RedrawFrameless(); }
void Ttalk2e::RedrawCanvases() { display_->RedrawCanvases(); }
void Ttalk2e::FitToWindow() { display_->FitToWindow(); }
void Ttalk2e::CanvasClick() { display_->CanvasClick(); }
void Ttalk2e::ToggleFrameless() { display_->ToggleFrameless(); }
void Ttalk2e::SetDisplayFont(const QFont& font) { display_->SetDisplayFont(font); }
void Ttalk2e::SetTypistRows(int rows) { display_->SetTypistRows(rows); }
int Ttalk2e::typistMode() const { return display_->typistMode(); }
bool Ttalk2e::wordProcessorMode() const { return display_->wordProcessorMode(); }
bool Ttalk2e::isFrameless() const { return display_->isFrameless(); }

// ---------------------------------------------------------------------------------------------
// The 8-person monitor takes the members' feed.

void Ttalk2e::NMUDP7DataReceived(const QByteArray& payload, const QString&, quint16) {
    if (Form2) Form2->Feed(payload);
}

// ---------------------------------------------------------------------------------------------
// The input strip's operations under their own names

bool Ttalk2e::RichEdit1KeyDown(QKeyEvent* event) { return strip_->RichEdit1KeyDown(event); }
void Ttalk2e::NMUDP2DataReceived(const QByteArray& text, const QString& from, quint16 port) {
    strip_->NMUDP2DataReceived(text, from, port);
}
void Ttalk2e::Timer3Timer() { strip_->Timer3Timer(); }
void Ttalk2e::Timer4Timer() { strip_->Timer4Timer(); }
void Ttalk2e::PaintPanes() { strip_->PaintPanes(); }
void Ttalk2e::SetInputFont(const QFont& font) { strip_->SetInputFont(font); }
void Ttalk2e::SetMonitorFont(const QFont& font) { strip_->SetMonitorFont(font); }
void Ttalk2e::PaintComposition() { strip_->PaintComposition(); }
void Ttalk2e::UpdateMemoRows() { strip_->UpdateMemoRows(); }

void Ttalk2e::StartDropReport() { drops_->start(); }
void Ttalk2e::TimerDropReportTimer() { drops_->TimerDropReportTimer(); }
void Ttalk2e::LogRepeated(const QString& kind, const std::function<QString()>& line) { drops_->LogRepeated(kind, line); }
QRect Ttalk2e::captionDisplayArea() const { return display_->captionArea(); }
bool Ttalk2e::SaveContactHistoryAtExit() { return saving_->SaveContactHistoryAtExit(); }

bool Ttalk2e::logsLines() const { return settingsFile_->logsLines(); }
bool Ttalk2e::logsInputStart() const { return settingsFile_->logsInputStart(); }
void Ttalk2e::setLogsLines(bool on) { settingsFile_->setLogsLines(on); }
void Ttalk2e::setLogsInputStart(bool on) { settingsFile_->setLogsInputStart(on); }

#pragma once
// Ttalk2e: the main window. It owns the captioning run: it creates every other window, holds the
// endpoints of the core ports and the frame of page classes (the display view, the input strip, the
// pages "補助Ｗ", "ﾊﾟｰﾄﾅｰ" with the team, "保存" and "説明", the settings transfer), and closing it
// ends the program. The rules of the caption path live in Core::CaptionPath. The window keeps the
// names of the operations that start-up, closing and other windows call as one-line forwards.
#include "ui/fkeys.h"
#include "ui/qt_fwd.h"
#include "ui/station.h"
#include "ui/window_context.h"
#include "ui/window_registry.h"
#include "core/caption_path.h"
#include "core/scroller.h"
#include "net/endpoint_registry.h"
#include "net/outbox.h"
#include "net/team.h"
#include "settings/key_table.h"
#include "settings/rows.h"
#include "settings/values.h"
#include "windows/main/caption_host.h"
#include "windows/main/colour_values.h"
#include "windows/main/strip_colour.h"

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextDocument>
#include <QWidget>
#include <memory>

class AuxWindow;
class AuxiliaryPage;
class DisplayView;
class ExplanationPage;
class InputStrip;
namespace Audience {
class OnlineCaptions;
class Service;
}
class DockPage;
class DropReport;
class HotKeyMenu;
class TForm2;
class TForm3;
class TForm5;
class TForm6;
class TForm8;
class TForm9;
class TForm11;
class TForm12;
class TForm14;
class TForm15;
class TFkakunin;
class TFmojikara;
class TFshusei_moni;
class PartnerPage;
class SettingsFilePage;
class SettingsTransfer;
class Saving;
struct ExitText;

namespace Core { class TypingRate; }
namespace Net { class DatagramEndpoint; }

class Ttalk2e : public QWidget,
                public App::HotKeyTarget,
                private App::EndpointFactory {
    Q_OBJECT
public:
    // Builds the window and runs its creation step. `splash` is closed by the second phase.
    explicit Ttalk2e(App::Station& station, TForm12* splash = nullptr);
    ~Ttalk2e() override;

    // Creates the windows 2 … 13 of the creation table, in that order.
    void createAuxiliaryWindows();

    App::Station& station() const { return station_; }
    Core::CaptionPath& caption() { return caption_; }
    Core::DisplayLog& displayLog() { return log_; }
    Core::Record& record() { return log_.record(); }
    const Core::Record& record() const { return log_.record(); }
    const Core::SmoothScroller& scroller() const { return scroll_; }
    Net::Team& team();
    // The page "ﾊﾟｰﾄﾅｰ" and the team it hosts (windows/main/partner_page.h).
    PartnerPage& partner() { return *partner_; }
    Net::Outbox& outbox() { return outbox_; }
    // An endpoint another window made itself, sent through from now on (the karaoke remote's).
    void registerEndpoint(Net::DatagramEndpoint* e) { outbox_.add(e); }

    // ---- run flags ----
    bool isStarted() const { return started_; }  // end of start-up (phase 2)
    bool hasPartner() const;
    int partnerSlot() const;
    bool groupFull() const;
    bool lastFromSelf() const { return caption_.lastFromSelf(); }
    bool refilledByUndo() const { return caption_.refilledByUndo(); }
    bool showMessages() const;
    // A message box shown only while "メッセージを表示する" is checked.
    void Message(const QString& text);

    // ---- windows, in creation order (owned here; null before their creation step) ----
    TForm6* contactWindow() const { return Form6.get(); }
    TForm11* templateWindow() const { return Form11.get(); }
    TForm15* noticeWindow() const { return Form15.get(); }
    TForm2* memberMonitor() const { return Form2.get(); }
    TForm5* fkeyMemo() const { return Form5.get(); }
    TForm8* wastopMonitor() const { return Form8.get(); }
    TForm3* prerollMonitor() const { return Form3.get(); }
    TForm9* desktopCover() const { return Form9.get(); }
    TForm14* subInputWindow() const { return Form14.get(); }
    TFkakunin* correctionPalette() const { return Fkakunin.get(); }
    TFmojikara* karaokeRemote() const { return Fmojikara.get(); }
    TFshusei_moni* correctionMonitor() const { return Fshusei_moni.get(); }
    // The main window and the twelve others, in creation order (the splash is not among them).
    const App::WindowRegistry& windows() const { return windows_; }

    // ---- pages and controls ----
    QTabWidget* pages() const { return PageControl1; }
    DockPage* displayInputPage() const { return TabSheet1; }  // "表示・入力"
    InputStrip& strip() { return *strip_; }

    QTextEdit* encryptionBuffer() const { return RichEdit6; }  // hidden

    AuxiliaryPage& auxiliaryPage() { return *auxiliary_; }      // page "補助Ｗ"
    ExplanationPage& explanationPage() { return *explanation_; }  // page "説明"

    // Labels of the pages that take the explanation colour.
    const QList<QLabel*>& explanatoryLabels() const { return explanatoryLabels_; }
    void addExplanatoryLabel(QLabel* label) { explanatoryLabels_ << label; }

    // ---- saving (windows/main/saving.h) ----
    Saving& saving() { return *saving_; }
    void PeriodicClear();
    // The record's head changed: the screen back at the end of the record.
    void RecordHeadChanged();

    // ---- typing rate ----
    const Core::TypingRate& typingRate() const;
    bool rateWarning() const;

    // ---- the numbered settings file ----
    const Settings::KeyTable& settingsTable() const { return settings_; }
    // The header and one line per written key (not 801, 802, 166).
    QList<QByteArray> WriteSettings() const;
    // Applies a file's lines; false when the header was wrong or a line stopped it.
    bool ApplySettings(const QList<QByteArray>& lines);
    // Everything a save writes: with the channel and group (the start-up file leaves them out on
    // channel 1 in group "Ａ班") and the own name last.
    QList<QByteArray> settingsFileLines(bool forStartup) const;
    QString startupFilePath() const;
    // The date and time of now, "/" and ":" made "_": the names of saved texts.
    QString TimeStampedName() const;
    void Button66Click();  // "起動時設定にする"
    // The settings-file part of the page "保存" (windows/main/settings_file_page.h).
    SettingsFilePage& settingsFile() { return *settingsFile_; }
    // A load or reset of the settings: the layout guard off while `change` runs, the display fitted after.
    void withLayoutOff(const std::function<void()>& change);
    // The defaults of every window, in the order of the table of defaults.
    void ResetToDefaults();
    // The main window's rows: key, control, comments, built and reset values (main_window_rows.cpp).
    static Settings::Rows<Ttalk2e> settingRows();
    // The value a row's control is built with (its design value), as text.
    static QString builtValue(const char* control);

    // Endpoints of the core ports the tests and benchmarks drive.
    Net::DatagramEndpoint* linesEndpoint() const { return NMUDP1; }        // 6711
    Net::DatagramEndpoint* correctionsEndpoint() const { return NMUDP3; }  // 6713
    Net::DatagramEndpoint* monitorEndpoint() const { return NMUDP7; }      // 6721

    // ---- start-up ----
    void FormCreate();
    void Timer2Timer();
    void DetectOwnAddress();
    // Steps that later subsystems fill; each is named where start-up calls it.
    void ReadOwnNameFromStartupFile();
    void CheckMemberAndRemoteAddresses();
    void SearchMembers();
    void LoadStartupSettings();
    void StartupPartnerRequest();
    void PrepareTrafficKey();
    void StartupFinished();
    QString programFolder() const { return programFolder_; }
    bool addressListIsRed() const;

    // ---- channel and port plan ----
    int channelIndex() const;
    void ChangeChannel();
    // Every endpoint of every window, registered as the factory made it; the channel change walks it.
    const Net::EndpointRegistry& endpoints() const { return endpoints_; }
    // One datagram to each checked member slot, in slot order.
    void SendToMembers(const Net::PortEntry& port, const QByteArray& payload);
    // The captions the partner name is added to: the base with the channel prefix, once a
    // channel has been chosen.
    QString mainCaptionBase() const;
    QString subInputCaptionBase() const;
    // The partner page's own address, input group and key of traffic scrambling.
    QString ownAddress() const;
    int groupNumber() const;
    int trafficKey() const;

    // ---- the caption path ----
    // The send path for the lines of other windows (sub-input panes, pre-rolls, palette keys): the
    // input pane is left as the typist has it.
    int SendLine(const QByteArray& text);
    // The send path for the input pane's own lines, which resets it afterwards.
    int SendInputPaneLine(const QByteArray& text);
    void UndoLastDisplay();
    void UndoToInput(bool after);
    void DeleteLastChar();
    void ClearScreen();
    void SendCommand(Net::Wire::Command command);
    using StripColour = ::StripColour;
    void SetStripColour(StripColour colour);
    StripColour stripColour() const;
    // The first line of typing was begun at `time` (invalid: no start recorded).
    void markInputStart(const QDateTime& time);
    bool inputStarted() const;

    // The switches "記録を説明ページに保存" and "入力開始時刻を説明ページに記録" of the page "保存".
    bool logsLines() const;
    bool logsInputStart() const;
    // Set without running the switch's handlers.
    void setLogsLines(bool on);
    void setLogsInputStart(bool on);

    // ---- receive handlers of the core ports ----
    void NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP2DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP3DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP4DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP6DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP7DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP8DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP9DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP10DataReceived(const QByteArray& text, const QString& from, quint16 port);

    // ---- hot keys and windows ----
    void HotKey(const QString& item) override;
    void bringToFront(QWidget* window);
    void setStaysOnTop(QWidget* window, bool on);

    // ---- log ----
    // A new line at the end of the explanation page.
    void Log(const QString& line);

    // ---- display (the record and the smooth screen) ----
    static constexpr qsizetype kRecordLimit = 655360;  // what a person may type into the record
    static constexpr int kRecordMargin = 2;            // document margin of the record pane
    static constexpr int kTextLeft = 10;               // x of the captions on the canvas
    DisplayView& display() { return *display_; }
    void ResetUndoState();
    void AppendLocalLine(const QByteArray& text);
    void AppendReceivedLine(const QByteArray& text);
    void ShowSplitLine(const QByteArray& text);
    void FlushCorrectionBuffer();
    void Timer1Timer();
    void RedrawDisplay();
    void RedrawFrameless();
    void RedrawCanvases();   // both in frameless mode, else Image1
    void FitToWindow();
    void CanvasClick();
    void ToggleFrameless();
    int typistMode() const;  // 2 two typists, 1 one typist, 0 display only
    bool wordProcessorMode() const;
    bool isFrameless() const;
    // Key 011: 0 the display alone, 1 the input pane, 2 or more the monitor pane too.
    void SetTypistRows(int rows);
    // Keys 801 and 802 as a settings file gives them.
    void SetChannelFromFile(int value);
    void SetOwnNameFromFile(const QString& name);
    void SetGroup(int group);
    // The layout guard: off until start-up ends, and during a load or reset.
    bool layoutOn() const { return layoutOn_; }

    // Captions on the audience's own screens and posted to meetings (beyond the team's protocol).
    Audience::Service& audience() { return *audience_; }
    Audience::OnlineCaptions& online() { return *online_; }

    // ---- the input pane ----
    bool RichEdit1KeyDown(QKeyEvent* event);  // true: the key was handled here
    // F11 of a typing pane with "Ｄｅｌキー/Clsキーにする。": the last character deleted here and at
    // the members; with Shift, the screen cleared.
    void DeleteOrClearKey(bool clear);
    // The settings transfer on the partner channel (windows/main/settings_transfer.h).
    SettingsTransfer& transfer() { return *transfer_; }
    bool SendSettingsLine(const QByteArray& text);
    void SettingsTransferReceived(const QByteArray& text, const QString& from);
    // Colours as the settings file keeps them (windows/main/colour_values.h).
    using ColourValues = ::ColourValues;
    ColourValues& colours() { return colours_; }
    static QColor qcolour(qint32 value);
    QColor inputPaneColour() const { return qcolour(colours_.inputPaper); }
    // The display's ink and paper as the settings file keeps them (Windows colour values).
    qint32 displayInk() const { return colours_.displayInk; }
    qint32 displayPaper() const { return colours_.displayPaper; }
    // A Windows colour value (negative for system colours) as shown on this desktop.

    // The panes of the strip and of the sub-input window in their colours and fonts.
    void PaintPanes();
    void SetInputFont(const QFont& font);    // the input pane and both sub-input panes
    void SetMonitorFont(const QFont& font);  // the monitor pane
    void SetDisplayFont(const QFont& font);  // the record pane, both canvases and the correction buffer
    void PaintPages();                       // page background and item text of every window
    void PaintExplanations();                // the explanatory labels of the settings pages
    void PaintComposition();                 // the input method's colours in the panes
    int clearNoticeMillis() const;
    // The F-key memo shows which keys options of this window have taken.
    void UpdateMemoRows();

    // ---- periodic clear, input time limit, partner's clear message, typing rate ----
    void Timer3Timer();
    void Timer4Timer();

    // ---- closing ----
    // Saves and leave notices of the close handler, before the windows go; false when the user
    // chose to keep the window open (an exit save that could not be written anywhere).
    bool FormClose();
    bool SaveOnExit();
    void LeaveOnExit();
    // Closing where no one can answer (a termination signal, the end of the desktop session): an
    // exit save that the program folder refuses goes to the station's rescue folder, no box asks.
    void CloseUnattended();
    // The desktop session is ending: from now on no one answers; the exit save is made at once.
    void SessionEnding();
    bool isClosed() const { return closeState_ == CloseState::Closed; }

    // ---- messaging ----
    // The caption display on the screen: notices run over it.
    QRect captionDisplayArea() const;
    // The contact history saved at exit when its window asks for it, as SaveExitText saves it.
    bool SaveContactHistoryAtExit();

    // ---- under a flood (windows/main/drop_report.h) ----
    void StartDropReport();
    void TimerDropReportTimer();
    void LogRepeated(const QString& kind, const std::function<QString()>& line);

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // App::EndpointFactory
    Net::DatagramEndpoint* makeEndpoint(const Net::PortEntry& entry, QObject* owner,
                                        std::function<bool()> followsChannel) override;

    void buildDisplayPage();
    // A control of a page class by its designer name, for the settings rows that bind controls.
    template <typename T>
    T* named(const char* name) const {
        return findChild<T*>(QLatin1String(name));
    }
    void buildAuxiliaryPage();
    void buildSavePage();
    void buildSettingsTable();
    // The main window's rows and the keys held in members (main_window_keys.cpp).
    void addSettings(Settings::KeyTable& table);
    // Steps of the reset between the rows' values.
    void resetFrame();
    void resetLooks();
    void resetComposition();
    void resetMarkers();
    void resetPageColours();
    void resetCover();
    void showPaletteCheck();
    void resetChannelAndGroup();
    void resetOnlineKind();
    void resetOtherWindows();
    void createEndpoints();
    void InitialLayout();
    App::WindowContext windowContext();

    App::Station& station_;
    Core::SmoothScroller scroll_;
    QTextDocument* recordDocument_ = new QTextDocument(this);  // the record; shown by the pane in the word-processor screen
    Core::DisplayLog log_{recordDocument_};
    Net::EndpointOutbox outbox_;
    Net::EndpointRegistry endpoints_;
    App::WindowRegistry windows_;
    std::unique_ptr<PartnerPage> partner_;
    std::unique_ptr<MainCaptionHost> host_;  // what the caption path changes through this window
    Core::CaptionPath caption_{log_, scroll_, outbox_, *host_, station_.clock};
    std::unique_ptr<Audience::Service> audience_;  // the audience page, off until switched on
    std::unique_ptr<Audience::OnlineCaptions> online_;  // follows the audience page's mirror; off until switched on
    QPointer<TForm12> splash_;
    HotKeyMenu* hotKeys_ = nullptr;
    AuxiliaryPage* auxiliary_ = nullptr;
    ExplanationPage* explanation_ = nullptr;
    std::unique_ptr<DisplayView> display_;
    std::unique_ptr<InputStrip> strip_;
    bool started_ = false;
    bool layoutOn_ = false;  // the layout guard: off until start-up ends, and during a load or reset
    Settings::KeyTable settings_;
    std::unique_ptr<SettingsTransfer> transfer_;
    std::unique_ptr<Saving> saving_;
    std::unique_ptr<SettingsFilePage> settingsFile_;
    ColourValues colours_;
    // Values the file keeps that no control shows.
    int slideMarkerHeight_ = 3, buttonBaseHeight_ = 26, slideMarker1_ = 200, slideMarker2_ = 200;
    QString programFolder_;
    enum class CloseState { Open, Closing, Closed };
    CloseState closeState_ = CloseState::Open;
    std::unique_ptr<DropReport> drops_;  // refused datagrams and repeated warnings on the explanation page

    // ---- owned windows and controls ----
    std::unique_ptr<TForm6> Form6;
    std::unique_ptr<TForm11> Form11;
    std::unique_ptr<TForm15> Form15;
    std::unique_ptr<TForm2> Form2;
    std::unique_ptr<TForm5> Form5;
    std::unique_ptr<TForm8> Form8;
    std::unique_ptr<TForm3> Form3;
    std::unique_ptr<TForm9> Form9;
    std::unique_ptr<TForm14> Form14;
    std::unique_ptr<TFkakunin> Fkakunin;
    std::unique_ptr<TFmojikara> Fmojikara;
    std::unique_ptr<TFshusei_moni> Fshusei_moni;
    QTabWidget* PageControl1 = nullptr;
    DockPage* TabSheet1 = nullptr;  // "表示・入力"
    QPlainTextEdit* Memo1 = nullptr;   // hidden settings-transfer memo
    QPlainTextEdit* Memo5 = nullptr;   // hidden settings line buffer
    QFrame* Panel7 = nullptr;          // hidden panel of the encryption buffer
    QTextEdit* RichEdit6 = nullptr;    // hidden encryption buffer
    QList<QLabel*> explanatoryLabels_;
    QTimer* Timer2 = nullptr;  // second phase of start-up, once
    // ---- endpoints of the core ports ----
    Net::DatagramEndpoint* NMUDP1 = nullptr;   // 6711 lines
    Net::DatagramEndpoint* NMUDP2 = nullptr;   // 6712 partner channel
    Net::DatagramEndpoint* NMUDP3 = nullptr;   // 6713 corrections
    Net::DatagramEndpoint* NMUDP6 = nullptr;   // 6718 search answers
    Net::DatagramEndpoint* NMUDP4 = nullptr;   // 6719 pairing
    Net::DatagramEndpoint* NMUDP7 = nullptr;   // 6721 monitor feed
    Net::DatagramEndpoint* NMUDP8 = nullptr;   // 6722 search requests
    Net::DatagramEndpoint* NMUDP9 = nullptr;   // 6723 commands
    Net::DatagramEndpoint* NMUDP10 = nullptr;  // 6724 leave notices
};

#pragma once
// TForm6: the contact window, a short-message chat between the typists of a team, with scheduled
// notices ("交代です！") and a history that can be saved by hand and at exit.
#include "ui/aux_window.h"
#include "ui/messaging_links.h"
#include "ui/qt_fwd.h"
#include "core/contact_schedule.h"

#include <QFont>
#include <QTime>
#include <optional>

class TextPane;
class UpDown;

class TForm6 : public AuxWindow {
    Q_OBJECT
public:
    TForm6(const App::WindowContext& context, App::ContactLinks links);
    ~TForm6() override;
    void addSettings(Settings::KeyTable& table) override;
    void resetToDefaults() override;
    // The rows of this window's keys, in the order of its reset.
    static Settings::Rows<TForm6> settingRows();

    // ---- operations ----
    void focusInputPane();
    // Composes the input pane with the sender name, shows and logs it, sends it when `send`.
    // False when a line to send does not fit one datagram: refused with a message, nothing shown,
    // logged or sent, the pane as it was.
    bool SendContactLine(bool send);
    void NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void Timer1Timer();
    void Timer2Timer();
    void CheckBox2Click();
    void Edit2Change();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    // The history as the save at exit writes it, when "Quelta終了時に自動保存する。" is on and it
    // holds a line; nullopt when there is nothing to save.
    std::optional<QList<QByteArray>> HistoryAtExit() const;
    // The history written to the program folder when HistoryAtExit() gives one; not cleared.
    // False only when the file could not be written (`error` says why).
    bool SaveHistoryAtExit(QString* error = nullptr);

    // ---- state for the settings and tests ----
    int historyLineCount() const;
    const Core::ContactSchedule& schedule() const { return schedule_; }
    bool signalling() const;
    QColor normalColour() const;
    QColor signalColour() const;
    QFont paneFont() const { return font_; }
    void setPaneFont(const QFont& font);
    int panel1Height() const { return panel1Height_; }
    int panel3Height() const { return panel3Height_; }
    void setPanel1Height(int h);
    void setPanel3Height(int h);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Steps of the reset between the rows' values.
    void resetLook();
    // ---- controls ----
    QSplitter* Splitter = nullptr;    // settings panel | history | input
    QFrame* Panel3 = nullptr;         // settings panel
    QFrame* Panel1 = nullptr;         // input part
    TextPane* RichEdit1 = nullptr;    // the line being written; Enter sends
    QTextEdit* RichEdit2 = nullptr;   // history
    QLineEdit* Edit1 = nullptr;       // "発信者名"
    QCheckBox* CheckBox1 = nullptr;   // "全員送信"
    QCheckBox* CheckBox6 = nullptr;   // "連絡文に時刻表示"
    QCheckBox* CheckBox2 = nullptr;   // "定時連絡"
    QLineEdit* Edit2 = nullptr;       // minutes between notices
    UpDown* UpDown1 = nullptr;
    QLineEdit* Edit3 = nullptr;       // notice text
    QCheckBox* CheckBox3 = nullptr;   // "30秒前に予告する。"
    QLineEdit* Edit4 = nullptr;       // advance notice text
    QCheckBox* CheckBox4 = nullptr;   // "ＬＡＮに流す"
    QCheckBox* CheckBox5 = nullptr;   // "定時連絡に時刻表示"
    QLabel* Label3 = nullptr;         // state of the schedule
    QCheckBox* CheckBox7 = nullptr;   // "Quelta終了時に自動保存する。"
    QPushButton* Button1 = nullptr;   // "保存"
    QPushButton* Button2 = nullptr;   // "ﾌｫﾝﾄ"
    QPushButton* Button3 = nullptr;   // "背景色"
    QPushButton* Button4 = nullptr;   // "受信時背景色"
    QLineEdit* Edit71 = nullptr;      // hidden: the broadcast address last used
    QTimer* Timer1 = nullptr;         // ends the signal colour
    QTimer* Timer2 = nullptr;         // one-second tick of the schedule
    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6727 chat

    void buildSettingsPanel();
    void appendHistory(const QString& text, const QTime& time);
    void insertNotice(const QString& text, const QTime& time);
    void broadcast(const QByteArray& wire);
    void signal();
    void paintPanes(const QColor& background);
    void layoutPanels();
    void placeAtDefaults();
    int defaultPanel3Height() const;
    QColor colourOf(qint32 value) const;

    App::ContactLinks links_;
    Core::ContactSchedule schedule_;
    QWidget* settingsContent_ = nullptr;
    QFont font_;
    qint32 normalValue_ = 16777215;  // Windows colour values, kept so system colours write back
    qint32 signalValue_ = 255;
    qint32 fontColourValue_ = 0;
    int panel1Height_ = 38;
    int panel3Height_ = 33;
    bool historyHasLines_ = false;
    bool inEdit2_ = false;
};

#pragma once
// The input strip of the main window: the input pane and the partner's monitor pane with the
// buttons beside them, the key catcher of display-only mode, the time limit and the live typing,
// and the option pages "入力１" and "入力２".
#include "ui/fkeys.h"
#include "ui/prepared_links.h"
#include "ui/qt_fwd.h"
#include "windows/main/strip_colour.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <optional>

class DockPage;
class StripAlarm;
class TextPane;
class Ttalk2e;
class UpDown;

class InputStrip : public QObject {
    Q_OBJECT
public:
    explicit InputStrip(Ttalk2e& main);

    // The strip at the foot of the first page (its key catcher in the display area), the option
    // pages, the timers.
    void buildStrip(DockPage* page, QWidget* area);
    void buildPages(QTabWidget* pages);
    void buildTimers();
    void wire();
    void InitialLayout();

    // ---- the input pane's keys and automatic sends ----
    bool RichEdit1KeyDown(QKeyEvent* event);  // true: the key was handled here
    void RichEdit1KeyUp(QKeyEvent* event);
    void RichEdit1Composition(const QInputMethodEvent* event);
    void RichEdit1Change();
    void SendInputPane();
    void SendLiveTyping(int key);
    void EnterKey();
    void EscapeKey();
    void F12Key();
    void BracketInput(bool shift);
    void InsertMemoText(int fkey);
    void InsertReading();
    void ClearRubyCapture();
    bool rubyOn() const;
    // F7's correction template from the text selected in the record; false when it is off.
    bool CorrectionTemplateFromRecord();
    void SendCorrection();  // "送"
    void Timer3Timer();
    void Timer4Timer();
    void NMUDP2DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void focusInputPane();
    void focusKeyCatcher();
    QString screenButtonText() const;  // "ワ", "止" or "動"

    // ---- what the caption path changes through the strip ----
    void markInputStart(const QDateTime& time);
    bool inputStarted() const { return inputStarted_; }
    QDateTime inputStartTime() const { return inputStartTime_; }
    void endInput() { inputStarted_ = false; }
    void resetInputPane();
    void lineEnded();
    void refillInputPane(const QByteArray& text, bool after);
    void UndoToPane(QTextEdit* pane, bool after, const QString& tag);
    QString UndoForPreroll();
    void SendThroughInputPane(const QString& text);
    // The reading of the last conversion and the converted word, as caret positions of the pane.
    QString reading() const { return readingText_; }
    int wordStart() const { return wordStart_; }
    int wordEnd() const { return wordEnd_; }

    // ---- the time limit, the length limit and the other typing panes ----
    void armTimeLimit();     // a key in a typing pane starts the time limit when it is on
    void cancelTimeLimit();  // the pane was erased: the limit and its red go
    bool sendsBeforeCaret() const;
    bool blankAfterF12() const;
    QString speakerName() const;
    App::SubInputLinks::Reading readingOptions() const;
    bool countColours() const;
    bool countSends() const;
    int countLimit() const;
    bool delClsKeys() const;
    std::optional<QString> correctionTemplate() const;
    std::optional<App::PaneKeyLinks::Brackets> brackets(bool shift) const;
    bool copiesSent() const;
    bool monitorShowsEnd() const;  // "８人モニター" of "モニターの表示方法"
    // "１分間の表示文字数の表示と警告"
    bool rateShown() const;
    void setRateShown(bool on);
    bool rateLogged() const;
    void setRateLogged(bool on);
    bool rateWarns() const;
    void setRateWarns(bool on);
    int rateLimit() const;

    // ---- colours, fonts and options ----
    void SetStripColour(StripColour colour);
    StripColour stripColour() const { return stripColour_; }
    QList<QWidget*> stripPanels() const;
    void PaintPanes();
    void SetInputFont(const QFont& font);
    void SetMonitorFont(const QFont& font);
    void PaintComposition();
    static QColor MonitorShade(const QColor& colour);
    void UpdateMemoRows();
    void Button3Click();
    void Button4Click();
    void Button27Click();
    void Button34Click();
    void CheckBox35Click();
    void CheckBox36Click();
    void CheckBox47Click();
    void CheckBox58Click();
    void CheckBox59Click();
    void Edit68Change();
    int clearNoticeMillis() const;

private:
    App::FKeyActions fkeys_;  // F1 … F12 of the input pane
    friend class DisplayView;  // the display lays out the strip with the screen it shows
    // The pane the time limit takes its text from: the one of the listed panes that has the focus.
    QTextEdit* focusedTypingPane() const;

    Ttalk2e& main_;
    QFrame* Panel1 = nullptr;          // the strip
    QFrame *Panel22 = nullptr, *Panel23 = nullptr;  // the strip's splitter panels
    TextPane* RichEdit27 = nullptr;    // monitor pane (the partner's live typing)
    TextPane* RichEdit1 = nullptr;     // input pane
    QPushButton* Button13 = nullptr;   // "再"
    QPushButton* Button12 = nullptr;   // "ワ"
    QPushButton* Button14 = nullptr;   // "送"
    QLineEdit* Edit77 = nullptr;       // hidden key catcher of display-only mode
    StripAlarm* stripAlarm_ = nullptr;
    QTimer* Timer3 = nullptr;  // input time limit, once
    QTimer* Timer4 = nullptr;  // partner's clear message, once

    // page "入力１"
    QCheckBox* CheckBox53 = nullptr;
    QLineEdit* Edit31 = nullptr;
    QCheckBox *CheckBox13 = nullptr, *CheckBox15 = nullptr, *CheckBox23 = nullptr;
    QLineEdit* Edit16 = nullptr;
    UpDown* UpDown3 = nullptr;
    QCheckBox *CheckBox51 = nullptr, *CheckBox54 = nullptr;
    QLineEdit* Edit21 = nullptr;
    UpDown* UpDown5 = nullptr;
    QCheckBox* CheckBox61 = nullptr;
    QCheckBox *CheckBox44 = nullptr, *CheckBox45 = nullptr, *CheckBox62 = nullptr;
    QLineEdit* Edit24 = nullptr;
    UpDown* UpDown6 = nullptr;
    QCheckBox* CheckBox43 = nullptr;
    QLineEdit *Edit78 = nullptr, *Edit79 = nullptr, *Edit5 = nullptr, *Edit7 = nullptr;
    QCheckBox* CheckBox52 = nullptr;
    QLineEdit *Edit94 = nullptr, *Edit95 = nullptr;
    QCheckBox* CheckBox47 = nullptr;
    // page "入力２"
    QCheckBox* CheckBox58 = nullptr;
    QLineEdit *Edit22 = nullptr, *Edit23 = nullptr;
    QCheckBox* CheckBox59 = nullptr;
    QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr, *RadioButton3 = nullptr;
    QCheckBox *CheckBox35 = nullptr, *CheckBox36 = nullptr, *CheckBox41 = nullptr;
    QPushButton *Button3 = nullptr, *Button4 = nullptr, *Button27 = nullptr, *Button34 = nullptr;
    QCheckBox* CheckBox57 = nullptr;
    QLineEdit *Edit66 = nullptr, *Edit68 = nullptr;
    QCheckBox *CheckBox55 = nullptr, *CheckBox56 = nullptr;

    bool inputStarted_ = false;
    QDateTime inputStartTime_;
    QString readingText_;      // reading of the last conversion
    QString previousReading_;
    int wordStart_ = 0, wordEnd_ = 0;
    bool composing_ = false;
    QString lastKanaPreedit_;    // the reading of the conversion now in progress
    bool inPaneChange_ = false;  // the pane's change rules send lines, which change the pane
    StripColour stripColour_ = StripColour::Normal;
};

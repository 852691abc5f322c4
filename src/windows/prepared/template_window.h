#pragma once
// TForm11: the template and pre-roll window. Three pre-rolls of prepared text, sent line by line
// with F1 through the main window's send path (or, per pre-roll, to the notice window as a telop),
// the lines around the caret fed to the partners' pre-roll monitors (6734, 6735), and the caret
// line of one pre-roll followed across PCs (6720).
#include "ui/aux_window.h"
#include "ui/prepared_links.h"
#include "ui/qt_fwd.h"
#include "windows/prepared/pane_look.h"

#include <memory>

class PrerollPane;
class UpDown;

namespace Core::Preroll { class Appender; }

class TForm11 : public AuxWindow {
    Q_OBJECT
public:
    TForm11(const App::WindowContext& context, App::TemplateLinks links);
    ~TForm11() override;

    // What the window asks of the station; a test may replace one link to watch it.
    App::TemplateLinks& stationLinks() { return links; }
    // The look of the three pre-rolls, as the settings and the font and colour buttons set it.
    PaneLook& paneLook() { return look; }

    // Pre-roll n = 1, 2, 3.
    PrerollPane* pane(int n) const;
    // The pre-roll sends to the telop instead of the display.
    bool telopMode(int n) const;
    // Which pre-rolls the view shows.
    bool shows(int n) const;
    // The logs of received corrections name them as roll slides while this is on.
    bool rollsToSlideEnd() const;
    // A telop from the notice window also sends its comma-separated settings
    // ("カンマで区切った設定も送信する。"), and stops at the left edge ("表示を左端で止める。").
    bool sendsCommaSettings() const;
    bool stopsTelopAtLeftEdge() const;
    // A comma-separated notice line from the notice window ("前ロールにする") as a new last line of
    // pre-roll 1.
    void AppendToFirstRoll(const QString& line);
    // An appending load is still running.
    bool loading() const { return appender_ != nullptr; }

    bool PaneKeyDown(int n, QKeyEvent* event);
    void PaneKeyUp(int n, QKeyEvent* event);
    void F1Key(int n);
    void F9Key(int n);
    void F12Key(int n);
    void FeedMonitors(int n);
    void SendLinkage(int n);
    // False when the notice window refused to send the telop to the LAN (it said why).
    bool SendTelop(const QString& text);
    void LoadRoll(int n);
    void SaveRoll(int n);
    void Timer1Timer();
    void SetView();
    void FocusShownRoll();
    void Button2Click();
    void Button3Click();
    void Button9Click();
    void Edit1Change();
    void Edit3Change();
    void NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP2DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP5DataReceived(const QByteArray& text, const QString& from, quint16 port);

    static const QString kFirstRollText;
    static const QString kSizeMessage;  // with "%1" for the kilobytes

    void addSettings(Settings::KeyTable& table) override;
    void resetToDefaults() override;
    // The rows of this window's keys, in the order of its reset.
    static Settings::Rows<TForm11> settingRows();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The pre-roll last typed in while it is shown, else the one the view shows first.
    QWidget* mainPane() const override;

private:
    // Steps of the reset between the rows' values.
    void resetFrame();
    App::TemplateLinks links;

    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6734 monitor feed, lower part
    Net::DatagramEndpoint* NMUDP2 = nullptr;  // 6735 monitor feed, upper part
    Net::DatagramEndpoint* NMUDP5 = nullptr;  // 6720 linkage, in every channel, read only while shown

    QSplitter* Splitter1 = nullptr;  // top area over the pre-rolls
    QWidget* Panel3 = nullptr;       // the top area
    QSplitter* Splitter3 = nullptr;  // its left part beside the option pages
    QWidget* Panel1 = nullptr;       // the left part: keys, files, view, sending
    QTabWidget* PageControl1 = nullptr;
    QSplitter* Splitter2 = nullptr;  // the pre-rolls side by side
    PrerollPane *RichEdit1 = nullptr, *RichEdit2 = nullptr, *RichEdit3 = nullptr;

    QPushButton *Button36 = nullptr, *Button48 = nullptr, *Button49 = nullptr;  // load 1, 2, 3
    QCheckBox* CheckBox1 = nullptr;                                             // "追加"
    QPushButton *Button1 = nullptr, *Button4 = nullptr, *Button5 = nullptr;     // save 1, 2, 3
    QPushButton *Button6 = nullptr, *Button7 = nullptr, *Button8 = nullptr;     // clear 1, 2, 3
    // "表示する前ロールは？": "１" "２" "３" "１２" "１２３"
    QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr, *RadioButton3 = nullptr;
    QRadioButton *RadioButton4 = nullptr, *RadioButton5 = nullptr;
    QCheckBox* CheckBox3 = nullptr;   // "ｶｰｿﾙより前を送る。"
    QCheckBox* CheckBox2 = nullptr;   // "送った部分は消す。"
    QCheckBox* CheckBox22 = nullptr;  // "消文を前行に追加"
    QLineEdit* Edit1 = nullptr;       // "進める桁数"
    QPushButton* Button2 = nullptr;   // "フォント"
    QPushButton* Button3 = nullptr;   // "背景色"
    // page "テロップ"
    QCheckBox *CheckBox6 = nullptr, *CheckBox7 = nullptr, *CheckBox8 = nullptr;  // "送信する前ロール" 1, 2, 3
    QCheckBox* CheckBox4 = nullptr;   // "LAN流す"
    QCheckBox* CheckBox5 = nullptr;   // "自分に表示"
    QCheckBox* CheckBox13 = nullptr;  // "表示を左端で止める。"
    QCheckBox* CheckBox23 = nullptr;  // "カンマで区切った設定も送信する。"
    QPushButton* Button9 = nullptr;   // "表示消去"
    // page "モニター・連動"
    QCheckBox* CheckBox9 = nullptr;   // "班全員に送信"
    QCheckBox* CheckBox11 = nullptr;  // "ﾊﾟｰﾄﾅｰのみ"
    QCheckBox* CheckBox10 = nullptr;  // "自分に表示" (monitor)
    QCheckBox* CheckBox19 = nullptr;  // "送"
    QRadioButton *RadioButton9 = nullptr, *RadioButton10 = nullptr, *RadioButton11 = nullptr;
    QCheckBox* CheckBox20 = nullptr;  // "受"
    QRadioButton *RadioButton12 = nullptr, *RadioButton13 = nullptr, *RadioButton14 = nullptr;
    // page "設定送2"
    QLineEdit* Edit3 = nullptr;       // "ｽｸﾛｰﾙ速度"
    UpDown* UpDown2 = nullptr;
    QCheckBox* CheckBox17 = nullptr;  // "「`@」行まで表示"
    QTimer* Timer1 = nullptr;         // slices of an appending load
    PaneLook look;

    static constexpr QSize kDefaultSize{720, 380};
    static constexpr int kDesignTopHeight = 121;  // the least default heights; the content may ask more
    static constexpr int kDesignLeftWidth = 335;
    int advance() const;
    void loaded(int n);
    void setTopHeight(int height);
    void setLeftWidth(int width);
    void placeAtDefaults();
    int defaultTopHeight() const;
    int defaultLeftWidth() const;
    // The left part's width as set or dragged: the splitter rescales its parts on resizes, and a
    // hidden one has no width yet, so the width is kept here, not read back. The top area's height
    // likewise.
    int leftWidth_ = 335;
    int topHeight_ = 121;

    std::unique_ptr<Core::Preroll::Appender> appender_;
    int appendingRoll_ = 0;
};

#pragma once
// TForm15: the notice window. It composes a one-line notice ("テロップ") with its look and
// placement, sends it to the partner PCs as numbered settings lines, and shows received notices
// as a ticker that scrolls from right to left over the caption display.
#include "ui/aux_window.h"
#include "ui/messaging_links.h"
#include "ui/qt_fwd.h"
#include "core/notice_lines.h"
#include "core/notice_ticker.h"

#include <QFont>
#include <optional>

class Canvas;
class UpDown;

class TForm15 : public AuxWindow {
    Q_OBJECT
public:
    TForm15(const App::WindowContext& context, App::NoticeLinks links);
    ~TForm15() override;
    void addSettings(Settings::KeyTable& table) override;
    void resetToDefaults() override;
    // The rows of this window's keys, in the order of its reset.
    static Settings::Rows<TForm15> settingRows();

    // ---- operations (the template and pre-roll window calls the first five) ----
    // False when the notice was refused (too long, or too many colons) and nothing was sent.
    bool SendNotice();
    void SendNoticeStop();
    void ShowNotice();
    void StopNotice();
    // Takes a comma-separated notice line into the controls; shows and sends nothing.
    void ApplyNoticeLine(const QString& line);
    void NoticeToPreroll();
    QString NoticeLine() const;
    void NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void Timer1Timer();
    void Edit77KeyDown(int key);
    void Button3Click();
    void Button4Click();

    // ---- state for the settings and tests ----
    bool pagesVisible() const { return pagesVisible_; }
    // Left, top, width and height of the window with its border while the pages are shown.
    Core::NoticeBox box() const;
    void setBox(const Core::NoticeBox& box, bool pages);
    Core::NoticeBox remembered() const { return remembered_; }
    const Core::TickerPasses& passes() const { return passes_; }
    QFont tickerFont() const { return tickerFont_; }
    void setTickerFont(const QFont& font);
    qint32 fontColourValue() const { return fontColourValue_; }
    qint32 backgroundValue() const { return backgroundValue_; }
    QColor backgroundColour() const;
    QColor textColour() const;
    // Where the text was last drawn (nullopt: the strip holds the background only).
    std::optional<int> shownAt() const { return shownAt_; }
    Core::Notice::Options options() const;
    const Core::Notice::Collector& collector() const { return collector_; }

    // ---- options the main window's telop route sets ----
    // "テロップを受信しない"
    bool refusesNotices() const;
    void setRefusesNotices(bool on);
    void setNoticeText(const QString& text);
    void setStopsAtLeftEdge(bool on);   // "スクロールを左端で止める"
    // What the end of a notice does (*2): hide the window, show the pages, move it to its place.
    void setHidesAtEnd(bool on);
    void setShowsPagesAtEnd(bool on);
    void setMovesAtEnd(bool on);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Steps of the reset between the rows' values.
    void stopTicker();
    void resetPlace();
    void resetLook();
    // ---- controls ----
    QTabWidget* PageControl1 = nullptr;  // pages "送信" and "設定"
    QGroupBox* GroupSend = nullptr;      // the text and the send buttons
    QLineEdit* Edit1 = nullptr;          // the notice text, at most 1000 bytes typed
    QPushButton* Button5 = nullptr;      // "送信"
    QPushButton* Button6 = nullptr;      // "停止送信"
    QPushButton* Button1 = nullptr;      // "表示"
    QPushButton* Button2 = nullptr;      // "表示停止"
    QPushButton* Button7 = nullptr;      // "前ロールにする"
    QCheckBox* CheckBox12 = nullptr;     // "テロップを受信しない"
    QCheckBox* CheckBox13 = nullptr;     // "設定を受信しない"
    // placement (*1)
    QCheckBox* CheckBox4 = nullptr;      // "表示上部に同じ幅で重ねて表示する"
    QCheckBox* CheckBox14 = nullptr;     // "表示下部に同じ幅で重ねて表示する"
    QCheckBox* CheckBox3 = nullptr;      // "高さを文字大きさで自動調整する。"
    QLineEdit *Edit5 = nullptr, *Edit6 = nullptr, *Edit7 = nullptr, *Edit8 = nullptr;  // given height, width, top, left
    QLineEdit* Edit9 = nullptr;          // step of the four up-downs above
    UpDown *UpDown4 = nullptr, *UpDown5 = nullptr, *UpDown6 = nullptr, *UpDown7 = nullptr, *UpDown8 = nullptr;
    QCheckBox* CheckBox6 = nullptr;      // "ﾊﾟｰﾄﾅに連続送信"
    // the look ("この枠内の基本設定")
    QCheckBox* CheckBox7 = nullptr;      // "この枠内の基本設定も送信する"
    QLineEdit* Edit2 = nullptr;          // milliseconds per tick
    UpDown* UpDown1 = nullptr;
    QLineEdit* Edit3 = nullptr;          // pixels per tick
    UpDown* UpDown2 = nullptr;
    QCheckBox* CheckBox11 = nullptr;     // "スクロールを左端で止める"
    QCheckBox* CheckBox1 = nullptr;      // "繰り返す"
    QLineEdit* Edit4 = nullptr;          // repetitions, 0 without end
    UpDown* UpDown3 = nullptr;
    QCheckBox* CheckBox2 = nullptr;      // "前面に表示"
    QPushButton* Button3 = nullptr;      // "フォント"
    QPushButton* Button4 = nullptr;      // "背景色"
    // end of a notice (*2)
    QCheckBox* CheckBox5 = nullptr;      // "テロップウィンドを消す(*2)"
    QCheckBox* CheckBox8 = nullptr;      // "設定画面を表示する(*2)"
    QCheckBox* CheckBox9 = nullptr;      // "上(*1)で指定した位置に移動する"
    QCheckBox* CheckBox10 = nullptr;     // "その時、高さを初期値に戻す"
    Canvas* Image2 = nullptr;            // the ticker strip
    QLineEdit* Edit77 = nullptr;         // takes F1 while the ticker runs
    QTimer* Timer1 = nullptr;            // ticker clock
    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6731 notices

    void buildSendPage(QWidget* page);
    void buildSettingsPage(QWidget* page);
    void wireHandlers();
    void setPages(bool pages);
    int pagesHeight() const;
    void setStaysOnTop(bool on);
    void endActions();
    void refill();
    void drawAt(int x);
    void prepareStrip();
    bool sendable(const QList<QByteArray>& lines);
    void sendOne(const QByteArray& line);
    void sendFollow();
    void applyItems(const Core::Notice::Plan& plan, bool fromCommaLine);
    void applyItem(const Core::Notice::Item& item, bool fromCommaLine);
    void logLine(const QString& who, const QString& tag);
    void moveStrip(const QPoint& pointer);

    App::NoticeLinks links_;
    Core::Notice::Collector collector_;
    Core::TickerPasses passes_;
    Core::TickerStrip strip_;
    Core::NoticeBox remembered_;
    QFont tickerFont_;
    qint32 fontColourValue_;
    qint32 backgroundValue_ = 16777215;
    bool pagesVisible_ = true;
    std::optional<int> shownAt_;
};

#pragma once
// TForm14: the sub-input window, two more input panes that feed the main window's send path (so a
// typist can prepare the next sentence), a memo page, the ruby annotations received on 6736 and
// sent from its page "ルビ送信", and the fixed-width options the send path reads.
#include "ui/aux_window.h"
#include "ui/fkeys.h"
#include "ui/prepared_links.h"
#include "ui/qt_fwd.h"
#include "windows/prepared/pane_look.h"

#include <array>
#include <optional>

class TextPane;
class UpDown;

class TForm14 : public AuxWindow {
    Q_OBJECT
public:
    TForm14(const App::WindowContext& context, App::SubInputLinks links);

    static constexpr qsizetype kPaneLimit = 254;
    static constexpr qsizetype kMemoLimit = 65536;

    // The width of the fixed-width split while "桁数" is on; the width field as a number ("20" when
    // it holds none).
    std::optional<int> fixedWidth() const;
    // The display wraps at its right edge unless "表示の右端で折り返さない。" is on.
    bool displayWraps() const;
    int firstPaneHeight() const;
    void openFirstPage();
    // Pane p = 1, 2.
    TextPane* pane(int p) const { return p == 1 ? RichEdit1 : RichEdit2; }
    // The panels that take the input strip's colour.
    QList<QWidget*> stripPanels() const { return {Panel1}; }
    void SetStripColour(const QColor& colour);

    // The reading capture of pane p (the positions in the pane the reading goes before).
    struct Capture {
        int wordStart = 0;
        int wordEnd = 0;
    };
    const Capture& capture(int p) const { return captures_[p - 1]; }
    QString reading() const { return reading_; }

    bool PaneKeyDown(int p, QKeyEvent* event);
    void PaneKeyUp(int p, QKeyEvent* event);
    void PaneChange(int p);
    void PaneComposition(int p, const QInputMethodEvent* event);
    void EnterKey(int p);
    void EscapeKey(int p);
    void F12Key(int p);
    void InsertReading(int p);
    void CheckBox37Click();
    void CheckBox45Click();
    // The main window's "表示・送受信する。" changed.
    void RubyExchangeChanged(bool on);
    // Ruby given by the typist: into the own display, then to the members and the sibling display.
    void SendRuby(const QString& base, const QString& reading);
    void NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16 port);

    void addSettings(Settings::KeyTable& table) override;
    void resetToDefaults() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    App::SubInputLinks links;

    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6736 ruby annotations
    QTabWidget* PageControl1 = nullptr;
    QWidget* Panel1 = nullptr;        // page "入力", coloured like the input strip
    QSplitter* Splitter3 = nullptr;   // pane 1 over pane 2
    QSplitter* Splitter1 = nullptr;   // the marker above pane 1
    QSplitter* Splitter2 = nullptr;   // the marker above pane 2
    QFrame* Panel2 = nullptr;         // marker panels: their width marks a column
    QFrame* Panel3 = nullptr;
    TextPane* RichEdit1 = nullptr;    // first pane
    TextPane* RichEdit2 = nullptr;    // second pane
    TextPane* RichEdit3 = nullptr;    // page "メモ"
    // page "ルビ送信"
    QCheckBox* CheckBox45 = nullptr;  // "桁数（半角での文字数）"
    QLineEdit* Edit20 = nullptr;      // width in half-width columns
    UpDown* UpDown14 = nullptr;
    QCheckBox* CheckBox37 = nullptr;  // "表示の右端で折り返さない。"
    // Ruby sent by the typist: base text, reading and the button that sends them.
    struct RubyRow {
        QLineEdit* base = nullptr;     // "本文"
        QLineEdit* reading = nullptr;  // "ルビ"
        QPushButton* send = nullptr;   // "送信1" … "送信3"
    };
    std::array<RubyRow, 3> rubyRows;
    PaneLook look;

    void clearCapture(int p);
    void speakerIntoEmptyPane(TextPane* p);
    void setPaneHeights(int first, int second);
    void setMarkerWidth(QSplitter* splitter, int width);
    int& markerWidth(const QSplitter* splitter) { return splitter == Splitter1 ? markerWidths_[0] : markerWidths_[1]; }

    std::array<Capture, 2> captures_{};
    std::array<App::FKeyActions, 2> fkeys_;
    // The markers' places as set or dragged: a splitter rescales its parts on every resize (and a
    // hidden one has no width yet), so the places are kept here, not read back from the widgets.
    std::array<int, 2> markerWidths_{200, 200};
    QString reading_;
    QString previousReading_;
    QString lastKanaPreedit_;
    bool composing_ = false;
    bool inChange_ = false;
    // The panes' heights as set by the settings, the defaults or a drag of the splitter between
    // them; the live heights follow the window.
    int paneHeight1_ = 63;
    int paneHeight2_ = 63;
};

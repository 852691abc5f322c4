#pragma once
// TFkakunin: the confirmation and correction palette, lines held for checking before display.
// Typists' finished lines arrive on 6730 and queue in six panes; the corrector edits a line and
// sends it with Enter through the main window's input pane. Every change of a pane feeds the
// correction monitors (6732), and linked palettes follow each other's panes (6717).
#include "ui/aux_window.h"
#include "ui/fkeys.h"
#include "ui/prepared_links.h"
#include "ui/qt_fwd.h"
#include "core/palette_queue.h"
#include "windows/prepared/pane_look.h"

#include <array>

class TextPane;

class TFkakunin : public AuxWindow {
    Q_OBJECT
public:
    TFkakunin(const App::WindowContext& context, App::PaletteLinks links);

    static constexpr qsizetype kPaneLimit = 254;
    // Pane k = 1 … 6.
    TextPane* pane(int k) const { return panes_[k - 1]; }
    // The panes' texts in code page 932 with CR LF breaks.
    Core::Palette::Panes queue() const;
    bool applying() const { return applying_; }

    void NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP2DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP3DataReceived(const QByteArray& text, const QString& from, quint16 port);

    // Keys of pane k; true when the key was handled here.
    bool PaneKeyDown(int k, QKeyEvent* event);
    void PaneKeyUp(int k, QKeyEvent* event);
    void PaneChange(int k);
    void EnterKey(int k);
    void EscapeKey(int k);
    void CloseUpQueue();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    // The panes stacked over the page: the window's width, a sixth of the page's height each.
    void LayoutPanes();

    void addSettings(Settings::KeyTable& table) override;
    void resetToDefaults() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    App::PaletteLinks links;

    Net::DatagramEndpoint* NMUDP3 = nullptr;  // 6717 palette linkage
    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6730 lines sent to the palette
    Net::DatagramEndpoint* NMUDP2 = nullptr;  // 6732 correction-monitor feed
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;  // "確認・修正"
    TextPane *RichEdit1 = nullptr, *RichEdit2 = nullptr, *RichEdit3 = nullptr;
    TextPane *RichEdit4 = nullptr, *RichEdit5 = nullptr, *RichEdit6 = nullptr;
    QPushButton* Button1 = nullptr;  // "フォント"
    QPushButton* Button2 = nullptr;  // "背景色"
    QPushButton* Button3 = nullptr;  // "保存" of the usage text
    QTextEdit* Memo1 = nullptr;      // the usage text
    PaneLook look;

    void setPane(int k, const QByteArray& text);
    void feedMonitor(int k, bool backspace);
    void feedLinkedPalettes(int k);

    std::array<TextPane*, 6> panes_{};
    std::array<App::FKeyActions, 6> fkeys_;
    std::array<QByteArray, 6> monitorTexts_;
    bool applying_ = false;
};

#pragma once
// TForm14: the sub-input window, two more input panes that feed the main window's send path.
#include "app/aux_window.h"

#include <optional>

class QCheckBox;
class QLineEdit;
class QTabWidget;
class QTextEdit;

class TForm14 : public AuxWindow {
    Q_OBJECT
public:
    explicit TForm14(const App::WindowContext& context);
    QList<Net::DatagramEndpoint*> channelEndpoints() override { return {NMUDP1}; }

    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6736 ruby annotations
    QTabWidget* PageControl1 = nullptr;
    QTextEdit* RichEdit1 = nullptr;  // first pane
    QTextEdit* RichEdit2 = nullptr;  // second pane
    // page "ルビ送信": the fixed-width split of the main send path
    QCheckBox* CheckBox45 = nullptr;  // "桁数（半角での文字数）"
    QLineEdit* Edit20 = nullptr;      // width in half-width columns
    // The width of the fixed-width split while "桁数" is on; the width field as a number ("20" when
    // it holds none).
    std::optional<int> fixedWidth() const;
    int firstPaneHeight() const;
    void openFirstPage();
    // The ruby annotations come with the sub-input window's own subsystem.
    void NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16 port);
};

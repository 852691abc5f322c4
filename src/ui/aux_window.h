#pragma once
// Common ground of the windows the main window creates: the station context, the shared hot-key
// menu, the base caption and the channel caption rule, the endpoints the window owns, and its
// place among the station's windows.
#include "ui/window_context.h"
#include "settings/rows.h"

#include <QList>
#include <QString>
#include <QWidget>

class HotKeyMenu;
class QTabWidget;
namespace Net { class DatagramEndpoint; struct PortEntry; }

class AuxWindow : public QWidget {
    Q_OBJECT
public:
    // `channelSuffix` is what follows the channel number in the caption (" : 連絡(ctrl+r)"); empty
    // for a window whose caption does not carry the channel. The window registers itself with the
    // station's windows, with `hotKey`, the item of the hot-key menu that brings it forward, if any.
    AuxWindow(const App::WindowContext& context, const char* className, const QString& baseCaption,
              const QString& channelSuffix, const char* hotKey = nullptr);
    ~AuxWindow() override;

    App::Station& station() const { return context_.station; }
    const QString& baseCaption() const { return baseCaption_; }
    // Caption for channel number n (1 … 12).
    virtual void applyChannelCaption(int n);
    // The keys of the numbered settings file that belong to this window.
    virtual void addSettings(Settings::KeyTable&) {}
    // "初期値に戻す": this window's rows of the table of defaults.
    virtual void resetToDefaults() {}

protected:
    // An endpoint of this window, bound at once to its port of the current channel and moved by
    // the channel change (while `followsChannel` holds, if given).
    Net::DatagramEndpoint* makeEndpoint(const Net::PortEntry& entry, std::function<bool()> followsChannel = {});
    // The panes a typist writes in, the first the main one. When the window comes forward (hot
    // key, button, window manager) the keyboard goes to the one last typed in, unless it already
    // is in a text field of this window.
    void setTypingPanes(const QList<QWidget*>& panes);
    // The window's pages: a tab widget named "PageControl1" filling the window.
    QTabWidget* addPageControl();
    // "保存" of a window's usage text: as a code page 932 file where the user chooses
    // ("説明ページ保存.txt" proposed); a failed save says why.
    void SaveUsageText(const QString& text);
    // The pane the keyboard goes to when the window comes forward; by default the typing pane last
    // focused (the first at first). Null: the window leaves the keyboard where it is.
    virtual QWidget* mainPane() const;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusMainPane();

    App::WindowContext context_;
    QString baseCaption_;
    QString channelSuffix_;
    HotKeyMenu* hotKeys_ = nullptr;
    QList<QWidget*> typingPanes_;
    QWidget* lastPane_ = nullptr;
};

#pragma once
// Common ground of the windows the main window creates: the station context, the shared hot-key
// menu, the base caption and the channel caption rule, and the endpoints the window owns.
#include "app/window_context.h"
#include "settings/rows.h"

#include <QList>
#include <QString>
#include <QWidget>

class HotKeyMenu;
namespace Net { class DatagramEndpoint; struct PortEntry; }

class AuxWindow : public QWidget {
    Q_OBJECT
public:
    // `channelSuffix` is what follows the channel number in the caption (" : 連絡(ctrl+r)"); empty
    // for a window whose caption does not carry the channel.
    AuxWindow(const App::WindowContext& context, const char* className, const QString& baseCaption,
              const QString& channelSuffix);
    ~AuxWindow() override;

    App::Station& station() const { return context_.station; }
    const QString& baseCaption() const { return baseCaption_; }
    // Caption for channel number n (1 … 12).
    virtual void applyChannelCaption(int n);
    // Endpoints the channel change rebinds, in no particular order (the caller sorts by port).
    virtual QList<Net::DatagramEndpoint*> channelEndpoints() { return {}; }
    // The keys of the numbered settings file that belong to this window.
    virtual void addSettings(Settings::KeyTable&) {}
    // "初期値に戻す": this window's rows of the table of defaults.
    virtual void resetToDefaults() {}

protected:
    // An endpoint of this window, bound at once to its port of the current channel.
    Net::DatagramEndpoint* makeEndpoint(const Net::PortEntry& entry);

private:
    App::WindowContext context_;
    QString baseCaption_;
    QString channelSuffix_;
    HotKeyMenu* hotKeys_ = nullptr;
};

#pragma once
// Common ground of the windows the main window creates: a top-level window holding a reference to
// the main window, the shared hot-key menu, its base caption and the channel caption rule, and the
// datagram endpoints it owns.
#include <QList>
#include <QString>
#include <QWidget>

class Ttalk2e;
class HotKeyMenu;
namespace Net { class DatagramEndpoint; struct PortEntry; }

class AuxWindow : public QWidget {
    Q_OBJECT
public:
    // `channelSuffix` is what follows the channel number in the caption (" : 連絡(ctrl+r)"); empty
    // for a window whose caption does not carry the channel.
    AuxWindow(Ttalk2e& main, const char* className, const QString& baseCaption, const QString& channelSuffix);
    ~AuxWindow() override;

    Ttalk2e& main() const { return main_; }
    const QString& baseCaption() const { return baseCaption_; }
    // Caption for channel number n (1 … 12).
    virtual void applyChannelCaption(int n);
    // Endpoints the channel change rebinds, in no particular order (the caller sorts by port).
    virtual QList<Net::DatagramEndpoint*> channelEndpoints() { return {}; }

protected:
    // An endpoint of this window, bound at once to its port of the current channel.
    Net::DatagramEndpoint* makeEndpoint(const Net::PortEntry& entry);

private:
    Ttalk2e& main_;
    QString baseCaption_;
    QString channelSuffix_;
    HotKeyMenu* hotKeys_ = nullptr;
};

#pragma once
// The desktop implementations of the station context: message boxes, dialogs, the system clock
// and clipboard, and the real UDP network.
#include "ui/receipt_boxes.h"
#include "ui/station.h"
#include "net/udp_network.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QWidget>

namespace App {

// Keeps a dialog (a file, font or colour dialog) above the program's stay-on-top windows.
void keepAboveStayOnTopWindows(QWidget& dialog);

class DesktopMessages final : public MessageSink {
public:
    explicit DesktopMessages(const Net::Network* network = nullptr) : receipts_(network) {}
    ~DesktopMessages() override;
    void information(const QString& text) override;
    bool askYesNo(const QString& text) override;
    // Receipt boxes on the screen now.
    qsizetype openReceiptBoxes() const { return receipts_.openCount(); }

private:
    ReceiptBoxes receipts_;
    QList<QPointer<QWidget>> boxes_;  // open receipt boxes, closed with the station
};

class DesktopDialogs final : public Dialogs {
public:
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    QString openFileName(QWidget* parent, const QString& folder, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& folder, const QString& filter) override;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class SystemClipboard final : public Clipboard {
public:
    void setText(const QString& text) override;
    QString text() const override;
};

class SystemHostTools final : public HostTools {
public:
    QString addressReport() override;
};

// The folder of the executable when the program may keep its files there (a writable folder of the
// user's own: not a build tree that `make clean` removes, nor a folder programs are installed in),
// else the user's data folder; with "/".
QString defaultProgramFolder();
// The user's data folder ($XDG_DATA_HOME/Quelta, ~/.local/share/Quelta by default), with "/".
QString userDataFolder();

// All the desktop parts in one place, for main().
struct DesktopStation {
    Net::UdpNetwork network;
    SystemClock clock;
    DesktopMessages messages{&network};
    DesktopDialogs dialogs;
    SystemClipboard clipboard;
    SystemHostTools hostTools;
    QNetworkAccessManager web;
    Station station{network, clock, messages, dialogs, clipboard, hostTools, defaultProgramFolder(), userDataFolder(), &web};
};

}  // namespace App

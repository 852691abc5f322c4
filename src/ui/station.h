#pragma once
// Everything a station needs from outside its windows, handed to the main window at creation.
// main() builds the desktop one; tests build their own, so several stations share one process.
#include "core/clock.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QString>
#include <optional>

class QNetworkAccessManager;
class QWidget;

namespace Net { class Network; }

namespace App {

// Every message box goes through here. A box shown while a datagram's handler runs (a group-full
// answer, a greeting in a settings transfer, whatever a received transfer sets off) is a receipt box:
// it never blocks the handler, and while one from a port is open, that port shows no other (see
// ReceiptBoxes), so a peer cannot stack boxes on the screen.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void information(const QString& text) = 0;
    // true for "はい" (Yes), false for "いいえ" (No).
    virtual bool askYesNo(const QString& text) = 0;
};

// The common dialogs; nullopt / an empty name when the user cancels.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    virtual QString openFileName(QWidget* parent, const QString& folder, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& folder, const QString& filter) = 0;
};

// Time of day with milliseconds, and the date.
using Clock = Core::Clock;

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;
};

// The operating system's address display (the address-tool buttons of the partner page).
class HostTools {
public:
    virtual ~HostTools() = default;
    virtual QString addressReport() = 0;
};

struct Station {
    Net::Network& network;
    Clock& clock;
    MessageSink& messages;
    Dialogs& dialogs;
    Clipboard& clipboard;
    HostTools& hostTools;
    // Folder of every file the program writes by itself, with a trailing "/".
    QString programFolder;
    // Where the save at exit goes when the program folder refuses it and no one can answer (a
    // termination signal, the end of the desktop session): the user's data folder, with "/".
    // Empty: nowhere else.
    QString rescueFolder = {};
    // HTTP out, for online captions. None (tests): nothing is ever posted.
    QNetworkAccessManager* web = nullptr;
};

}  // namespace App

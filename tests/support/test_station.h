#pragma once
// A station for tests: the real windows on a MemoryNetwork host, with recorded message boxes,
// scripted dialogs, a settable clock and an in-memory clipboard. Several can live in one process.
#include "support/controls.h"
#include "ui/canvas.h"
#include "windows/main/desktop_cover.h"
#include "windows/main/main_window.h"
#include "windows/main/saving.h"
#include "windows/main/settings_transfer.h"
#include "ui/text_pane.h"
#include "windows/main/member_monitor.h"
#include "windows/main/wastop_monitor.h"
#include "windows/messaging/contact_window.h"
#include "windows/messaging/fkey_memo.h"
#include "windows/messaging/notice_window.h"
#include "windows/prepared/correction_monitor.h"
#include "windows/prepared/correction_palette.h"
#include "windows/prepared/karaoke_remote.h"
#include "windows/prepared/preroll_monitor.h"
#include "windows/prepared/subinput_window.h"
#include "windows/prepared/template_window.h"
#include "ui/receipt_boxes.h"
#include "ui/station.h"
#include "app/startup.h"
#include "net/memory_network.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QTextEdit>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>

namespace Testing {

// Records the boxes. Receipt boxes (shown by a datagram's handler) stay open until the test closes
// them, as the desktop ones stay until the user clicks OK: one shown while another of its kind is
// open is not shown but kept in `notStacked`.
class RecordingMessages final : public App::MessageSink {
public:
    explicit RecordingMessages(const Net::Network* network = nullptr) : receipts(network) {}
    void information(const QString& text) override {
        if (const quint16 kind = receipts.kindNow()) {
            if (!receipts.admit(kind)) {
                notStacked << text;
                return;
            }
            shownOnReceipt << text;
        }
        shown << text;
    }
    // The user clicks OK on every open receipt box.
    void closeReceiptBoxes() { receipts.closeAll(); }
    bool askYesNo(const QString& text) override {
        asked << text;
        return answerYes;
    }
    QStringList shown;
    QStringList shownOnReceipt;  // the receipt boxes among `shown`
    QStringList notStacked;
    App::ReceiptBoxes receipts;
    QStringList asked;
    bool answerYes = false;
};

class ScriptedDialogs final : public App::Dialogs {
public:
    std::optional<QFont> chooseFont(QWidget*, const QFont&) override { return take(fonts); }
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return take(colours); }
    QString openFileName(QWidget*, const QString&, const QString&) override { return take(openNames).value_or(QString()); }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return take(saveNames).value_or(QString()); }
    // Answers in order; an empty queue answers "cancel".
    std::deque<QFont> fonts;
    std::deque<QColor> colours;
    std::deque<QString> openNames;
    std::deque<QString> saveNames;

private:
    template <typename T>
    static std::optional<T> take(std::deque<T>& q) {
        if (q.empty()) return std::nullopt;
        T v = q.front();
        q.pop_front();
        return v;
    }
};

class ManualClock final : public App::Clock {
public:
    QDateTime now() const override { return time; }
    QDateTime time{QDate(2026, 12, 8), QTime(10, 15, 30, 7)};
};

class MemoryClipboard final : public App::Clipboard {
public:
    void setText(const QString& t) override { value = t; }
    QString text() const override { return value; }
    QString value;
};

class FakeHostTools final : public App::HostTools {
public:
    QString addressReport() override { return report; }
    QString report = QStringLiteral("eth0             UP             192.168.1.10/24 \n");
};

// One station: its host on the LAN, its context, its windows.
class TestStation {
public:
    // `prepare` runs before the windows are created, with the program folder (files a station
    // finds at start-up).
    TestStation(Net::MemoryNetwork& lan, QStringList addresses, const QString& hostName = QStringLiteral("pc"),
                const std::function<void(const QString&)>& prepare = {})
        : host(lan.addHost(std::move(addresses), hostName)),
          station{host, clock, messages, dialogs, clipboard, hostTools, folder.path() + QLatin1Char('/')} {
        if (prepare) prepare(station.programFolder);
        main = App::createStationWindows(station, nullptr);
    }
    TestStation(Net::MemoryNetwork& lan, const QString& address, const QString& hostName = QStringLiteral("pc"))
        : TestStation(lan, QStringList{address}, hostName) {}

    // Phase 2 of start-up, as its timer would run it.
    void finishStartup() { main->Timer2Timer(); }
    QString address() const { return host.primaryAddress(); }

    Net::MemoryHost& host;
    RecordingMessages messages{&host};
    ScriptedDialogs dialogs;
    ManualClock clock;
    MemoryClipboard clipboard;
    FakeHostTools hostTools;
    QTemporaryDir folder;
    App::Station station;
    std::unique_ptr<Ttalk2e> main;
};

// The controls of member slot k = 1 … 8 on the page "ﾊﾟｰﾄﾅｰ", found by their designer names.
inline QCheckBox* slotMate(const QObject& main, int k) {
    static const char* const kMates[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4",
                                         "CheckBox25", "CheckBox26", "CheckBox27", "CheckBox28"};
    return control<QCheckBox>(main, kMates[k - 1]);
}
inline QLineEdit* slotName(const QObject& main, int k) {
    static const char* const kNames[] = {"Edit36", "Edit37", "Edit38", "Edit39", "Edit81", "Edit82", "Edit83", "Edit84"};
    return control<QLineEdit>(main, kNames[k - 1]);
}
inline QLineEdit* slotAddress(const QObject& main, int k) {
    static const char* const kAddresses[] = {"Edit3", "Edit13", "Edit14", "Edit15", "Edit85", "Edit86", "Edit87", "Edit88"};
    return control<QLineEdit>(main, kAddresses[k - 1]);
}

}  // namespace Testing

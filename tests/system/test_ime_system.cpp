// Real Japanese input: the real program under an X server in a private namespace, with fcitx5 and
// Mozc on a session bus of its own. xdotool types romaji as a typist would; a scripted peer, paired
// over real UDP, sees the composition live on the partner and monitor ports; Enter commits without
// sending, the next Enter sends the converted text in code page 932, and with the ruby option on F1
// puts the captured reading in front of the converted word.
#include "netns.h"
#include "peer.h"
#include "text/cp932.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibraryInfo>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QTest>
#include <csignal>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace SystemTest;

namespace {

// Datagrams until none has come for `quietMs`, and for `maxMs` at most.
// Waits for `done` to hold, for `ms` at most.
template <typename F>
bool waitFor(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QThread::msleep(100);
    }
    return true;
}

const QString kMozcServer = QStringLiteral("/usr/lib/mozc/mozc_server");
const QString kMozcAddon = QStringLiteral("/usr/share/fcitx5/addon/mozc.conf");

QString qtModuleOfFcitx() {
    return QLibraryInfo::path(QLibraryInfo::PluginsPath) +
           QStringLiteral("/platforminputcontexts/libfcitx5platforminputcontextplugin.so");
}

// Why the input method cannot be tried here, or empty when it can.
QString inputMethodUnavailable() {
    QString why = programUnavailable({"Xvfb", "xdotool", "fcitx5", "dbus-daemon", "dbus-send", "setpriv"});
    if (!why.isEmpty()) return why;
    if (!QFile::exists(kMozcServer) || !QFile::exists(kMozcAddon)) return QStringLiteral("Mozc for fcitx5 is not installed");
    if (!QFile::exists(qtModuleOfFcitx())) return QStringLiteral("the Qt 6 module of fcitx5 is not installed");
    if (!getpwnam("nobody")) return QStringLiteral("there is no unprivileged user nobody to run the input method");
    return {};
}

// A folder that `uid` owns, inside one that everybody may enter.
bool makeOwnedFolder(const QString& path, uid_t uid, gid_t gid) {
    return QDir().mkpath(path) && ::chown(path.toLocal8Bit().constData(), uid, gid) == 0;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

QString tail(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(f.readAll().right(3000));
}

// A session bus of its own on a socket in `folder`, which admits root (the program) and the
// input method's unprivileged user alike.
class SessionBus {
public:
    SessionBus(const Namespace& ns, const QString& folder) : socket_(folder + QStringLiteral("/bus")) {
        const QString config = folder + QStringLiteral("/bus.conf");
        writeFile(config, QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                                         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                         "<busconfig>\n"
                                         "  <type>session</type>\n"
                                         "  <listen>unix:path=%1</listen>\n"
                                         "  <auth>EXTERNAL</auth>\n"
                                         "  <allow_anonymous/>\n"
                                         "  <policy context=\"default\">\n"
                                         "    <allow user=\"*\"/>\n"
                                         "    <allow own=\"*\"/>\n"
                                         "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                         "    <allow eavesdrop=\"true\"/>\n"
                                         "  </policy>\n"
                                         "</busconfig>\n")
                              .arg(socket_)
                              .toUtf8());
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(folder + QStringLiteral("/bus.log"));
        process_.start("ip", {"netns", "exec", ns.name(), "dbus-daemon", "--nofork", "--config-file=" + config});
        process_.waitForStarted(5000);
        waitFor([this] { return QFile::exists(socket_); }, 5000);
    }
    ~SessionBus() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(2000);
    }
    bool ok() const { return QFile::exists(socket_); }
    QString address() const { return QStringLiteral("unix:path=") + socket_; }
    // True once `name` has an owner on the bus, within `ms`.
    bool waitForName(const QString& name, int ms) const {
        return waitFor(
            [&] {
                QString out;
                run({"dbus-send", "--bus=" + address(), "--print-reply", "--dest=org.freedesktop.DBus",
                     "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:" + name},
                    &out);
                return out.contains(QStringLiteral("boolean true"));
            },
            ms);
    }

private:
    QString socket_;
    QProcess process_;
};

// fcitx5 with Mozc as an unprivileged user (Mozc refuses to run as root): a home of its own whose
// profile offers the US keyboard and Mozc, switched on with Ctrl+Space as on a typist's desktop.
class InputMethod {
public:
    InputMethod(const Namespace& ns, const QString& folder, const QString& display, const SessionBus& bus)
        : log_(folder + QStringLiteral("/fcitx5.log")) {
        const passwd* user = getpwnam("nobody");
        const QString home = folder + QStringLiteral("/home");
        const QString runtime = folder + QStringLiteral("/run");
        const QString config = home + QStringLiteral("/.config/fcitx5");
        QDir().mkpath(config);
        writeFile(config + QStringLiteral("/profile"), "[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=mozc\n\n"
                                                       "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                                                       "[Groups/0/Items/1]\nName=mozc\nLayout=\n\n"
                                                       "[GroupOrder]\n0=Default\n");
        ok_ = user && makeOwnedFolder(runtime, user->pw_uid, user->pw_gid) &&
              run({"chown", "-R", QStringLiteral("%1:%2").arg(user->pw_uid).arg(user->pw_gid), home});
        if (!ok_) return;
        ::chmod(runtime.toLocal8Bit().constData(), 0700);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(log_);
        process_.start("ip", {"netns", "exec", ns.name(), "setpriv", "--reuid=" + QString::number(user->pw_uid),
                              "--regid=" + QString::number(user->pw_gid), "--clear-groups", "env", "-i",
                              "HOME=" + home, "XDG_RUNTIME_DIR=" + runtime, "DISPLAY=" + display,
                              "DBUS_SESSION_BUS_ADDRESS=" + bus.address(), "PATH=/usr/bin:/bin", "LANG=C.UTF-8",
                              "fcitx5", "--disable=wayland,waylandim,ibusfrontend,fcitx4frontend,xim"});
        ok_ = process_.waitForStarted(5000) && bus.waitForName(QStringLiteral("org.fcitx.Fcitx5"), 20000);
    }
    ~InputMethod() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(2000);
    }
    bool ok() const { return ok_; }
    QString log() const { return tail(log_); }

private:
    QString log_;
    QProcess process_;
    bool ok_ = false;
};

}  // namespace

class ImeSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = inputMethodUnavailable();
        if (!why.isEmpty()) QSKIP(qPrintable(why));
    }

    void romajiConvertedCommittedAndSent() {
        const qint64 pid = QCoreApplication::applicationPid();
        Namespace a(QStringLiteral("qsys%1i").arg(pid), "10.79.0.1");
        Namespace b(QStringLiteral("qsys%1j").arg(pid), "10.79.0.2");
        QVERIFY(a.joinTo(b));
        QVERIFY(b.enter());
        QUdpSocket search, answers, pairing, lines, partner, monitor;
        for (auto [sock, port] : {std::pair{&search, 6722}, {&answers, 6718}, {&pairing, 6719}, {&lines, 6711},
                                  {&partner, 6712}, {&monitor, 6721}})
            QVERIFY(sock->bind(QHostAddress::AnyIPv4, quint16(port)));

        // One folder that the input method's user may enter: the bus socket, its home, the program.
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                         QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                                         QFileDevice::ExeGroup));
        // The program with a start-up file that turns the ruby option on.
        const QString programFolder = folder.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(programFolder));
        const QString program = programFolder + QStringLiteral("/quelta");
        QVERIFY(QFile::copy(QStringLiteral(QUELTA_BINARY), program));
        writeFile(programFolder + QStringLiteral("/自動読込表示設定.dp9"),
                  Cp932::encode(QStringLiteral("999:＜番号付き表示設定ファイル２＞\r\n867:true:ルビにする。\r\n")));

        XServer x(a);
        QVERIFY(x.ok());
        SessionBus bus(a, folder.path());
        QVERIFY2(bus.ok(), qPrintable(tail(folder.filePath(QStringLiteral("bus.log")))));
        InputMethod im(a, folder.path(), x.display(), bus);
        QVERIFY2(im.ok(), qPrintable(im.log()));

        QTemporaryDir runDir;
        QProcess* quelta = a.start(program,
                                   {"DISPLAY=" + x.display(), "XDG_RUNTIME_DIR=" + runDir.path(), "QT_QPA_PLATFORM=xcb",
                                    "QT_IM_MODULE=fcitx", "XMODIFIERS=@im=fcitx",
                                    "DBUS_SESSION_BUS_ADDRESS=" + bus.address()},
                                   this);

        // Join: the peer answers the search, then accepts the start-up pairing request.
        QVERIFY(!nextDatagram(search).isEmpty());
        QUdpSocket tx;
        tx.writeDatagram("10.79.0.2,peer,Req,1", QHostAddress("10.79.0.1"), 6722);
        QVERIFY(!nextDatagram(answers).isEmpty());
        QVERIFY(QString::fromUtf8(nextDatagram(pairing, 15000)).endsWith(",Req-Partner,Req"));
        tx.writeDatagram("10.79.0.2,10.79.0.1,peer,Req-Partner,Ans", QHostAddress("10.79.0.1"), 6719);
        QTest::qWait(1000);

        auto xdo = [&](const QStringList& args) {
            return run(QStringList{"ip", "netns", "exec", a.name(), "env", "DISPLAY=" + x.display(), "xdotool"} + args);
        };
        QString id;
        QVERIFY(run({"ip", "netns", "exec", a.name(), "env", "DISPLAY=" + x.display(), "xdotool", "search", "--name",
                     "Quelta7r1"},
                    &id));
        const QString window = id.split(u'\n', Qt::SkipEmptyParts).value(0);
        QVERIFY(xdo({"windowfocus", "--sync", window}));
        QVERIFY(xdo({"key", "Escape"}));      // erase the instruction line
        QVERIFY(xdo({"key", "ctrl+space"}));  // the input method on
        QTest::qWait(500);
        drain(partner, 300);
        drain(monitor, 300);
        drain(lines, 300);

        // Romaji become kana in the pane's composition; the partner and the monitors see it live.
        QVERIFY(xdo({"type", "--delay", "120", "kyouhaharedesu"}));
        const QStringList typed = drain(partner, 800);
        const QStringList fed = drain(monitor, 800);
        QVERIFY2(typed.contains(QStringLiteral("きょうははれです")), qPrintable(typed.join(u'|') + u'\n' + im.log()));
        QVERIFY2(!typed.contains(QStringLiteral("$null$")), qPrintable(typed.join(u'|')));
        QVERIFY(fed.contains(QStringLiteral("10.79.0.1,きょうははれです")));
        QVERIFY2(!fed.contains(QStringLiteral("10.79.0.1,$改行$")), qPrintable(fed.join(u'|')));

        // Space converts in place: the monitors follow the conversion.
        QVERIFY(xdo({"key", "space"}));
        const QStringList converted = drain(partner, 800);
        QVERIFY2(converted.value(converted.size() - 1) == QStringLiteral("今日は晴れです"), qPrintable(converted.join(u'|')));
        const QStringList convertedFed = drain(monitor, 800);
        QVERIFY2(convertedFed.value(convertedFed.size() - 1) == QStringLiteral("10.79.0.1,今日は晴れです"),
                 qPrintable(convertedFed.join(u'|')));

        // Enter commits: nothing goes to the display yet. The next Enter sends the line.
        QVERIFY(xdo({"key", "Return"}));
        QCOMPARE(drain(lines, 1500), QStringList());
        QCOMPARE(drain(partner, 500).value(0), QStringLiteral("今日は晴れです"));
        QVERIFY(xdo({"key", "Return"}));
        QCOMPARE(nextDatagram(lines), Cp932::encode(QStringLiteral("今日は晴れです")));

        // With the ruby option on, the reading of the conversion goes in front of the word with F1.
        drain(partner, 300);
        QVERIFY(xdo({"type", "--delay", "120", "nihongo"}));
        QVERIFY(xdo({"key", "space"}));
        QTest::qWait(300);
        QVERIFY(xdo({"key", "Return"}));
        QCOMPARE(drain(lines, 1000), QStringList());
        QVERIFY(xdo({"key", "F1"}));
        QTest::qWait(300);
        QVERIFY(xdo({"key", "Return"}));
        QCOMPARE(Cp932::decode(nextDatagram(lines)), QStringLiteral("`rにほんご`s日本語"));

        ::kill(pid_t(quelta->processId()), SIGTERM);
        QVERIFY(quelta->waitForFinished(10000));
        QCOMPARE(quelta->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(ImeSystemTest)
#include "test_ime_system.moc"

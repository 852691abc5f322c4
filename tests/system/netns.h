#pragma once
// Private network namespaces for the system tests: nothing here touches this machine's own
// network. Each namespace gets loopback and a veth pair; two namespaces can be joined by one.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QThread>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace SystemTest {

inline bool run(const QStringList& args, QString* out = nullptr) {
    QProcess p;
    p.start(args.first(), args.mid(1));
    if (!p.waitForFinished(10000)) return false;
    if (out) *out = QString::fromLocal8Bit(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Why the system tests cannot run here, or empty when they can.
inline QString unavailableReason() {
    if (geteuid() != 0) return QStringLiteral("system tests need root for network namespaces");
    if (!run({"ip", "netns", "list"})) return QStringLiteral("iproute2 (ip netns) is not usable here");
    return {};
}

// Why a system test of the real program cannot run here (root, iproute2, the program, the tools
// it drives), or empty when it can.
inline QString programUnavailable(std::initializer_list<const char*> tools = {}) {
    QString why = unavailableReason();
    if (!why.isEmpty()) return why;
    if (!QFile::exists(QStringLiteral(QUELTA_BINARY))) return QStringLiteral("no program at " QUELTA_BINARY);
    for (const char* tool : tools)
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QString::fromLatin1(tool));
    return {};
}

class Namespace {
public:
    // A namespace with an interface eth0 at `address`/8 (its classful broadcast is the LAN's).
    Namespace(const QString& name, const QString& address) : name_(name), address_(address) {
        run({"ip", "netns", "del", name_});
        ok_ = run({"ip", "netns", "add", name_}) && run({"ip", "-n", name_, "link", "set", "lo", "up"});
    }
    ~Namespace() {
        QString pids;
        run({"ip", "netns", "pids", name_}, &pids);
        const QString self = QString::number(QCoreApplication::applicationPid());
        for (const QString& pid : pids.split(u'\n', Qt::SkipEmptyParts))
            if (pid.trimmed() != self) run({"kill", "-9", pid.trimmed()});
        run({"ip", "netns", "del", name_});
    }
    Namespace(const Namespace&) = delete;
    Namespace& operator=(const Namespace&) = delete;

    // eth0 with its own peer end inside the namespace: a LAN of one.
    bool addLonelyInterface() {
        return ok_ && run({"ip", "-n", name_, "link", "add", "eth0", "type", "veth", "peer", "name", "eth1"}) &&
               configure("eth0") && run({"ip", "-n", name_, "link", "set", "eth1", "up"});
    }
    // eth0 here joined to eth0 of `other`: a LAN of two.
    bool joinTo(Namespace& other) {
        return ok_ && other.ok_ &&
               run({"ip", "-n", name_, "link", "add", "eth0", "type", "veth", "peer", "name", "eth0", "netns",
                    other.name_}) &&
               configure("eth0") && other.configure("eth0");
    }

    const QString& name() const { return name_; }
    const QString& address() const { return address_; }
    bool ok() const { return ok_; }

    // A process inside the namespace; `ip netns exec` replaces itself, so the pid is the program's.
    QProcess* start(const QString& program, const QStringList& env, QObject* parent) {
        auto* p = new QProcess(parent);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start("ip", QStringList{"netns", "exec", name_, "env"} + env + QStringList{program});
        p->waitForStarted(5000);
        return p;
    }

    // Local UDP ports bound by the process with this pid.
    QSet<int> udpPortsOf(qint64 pid) const {
        QString out;
        run({"ip", "netns", "exec", name_, "ss", "-uanpH"}, &out);
        QSet<int> ports;
        static const QRegularExpression line(QStringLiteral(R"(\S+\s+\d+\s+\d+\s+\S*:(\d+)\s+.*pid=(\d+),)"));
        for (const QString& l : out.split(u'\n', Qt::SkipEmptyParts)) {
            const auto m = line.match(l);
            if (m.hasMatch() && m.captured(2).toLongLong() == pid) ports << m.captured(1).toInt();
        }
        return ports;
    }

    // Moves the calling thread into the namespace (sockets it opens afterwards live there); a
    // test does this once, for the rest of its process.
    bool enter() const {
        const int fd = ::open(QStringLiteral("/var/run/netns/%1").arg(name_).toLocal8Bit().constData(), O_RDONLY);
        if (fd < 0) return false;
        const bool ok = ::setns(fd, CLONE_NEWNET) == 0;
        ::close(fd);
        return ok;
    }

private:
    bool configure(const QString& dev) {
        return run({"ip", "-n", name_, "addr", "add", address_ + "/8", "brd", "10.255.255.255", "dev", dev}) &&
               run({"ip", "-n", name_, "link", "set", dev, "up"});
    }
    QString name_;
    QString address_;
    bool ok_ = false;
};

// An X server for the real program, inside a namespace (it needs no network of its own).
class XServer {
public:
    explicit XServer(const Namespace& ns) {
        int n = 90 + int(QCoreApplication::applicationPid() % 100);
        while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) ++n;
        display_ = QStringLiteral(":%1").arg(n);
        socket_ = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
        process_.start("ip", {"netns", "exec", ns.name(), "Xvfb", display_, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        process_.waitForStarted(5000);
        for (int i = 0; i < 100 && !QFile::exists(socket_); ++i) QThread::msleep(100);
    }
    ~XServer() {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    bool ok() const { return QFile::exists(socket_); }
    const QString& display() const { return display_; }

private:
    QProcess process_;
    QString display_;
    QString socket_;
};

}  // namespace SystemTest

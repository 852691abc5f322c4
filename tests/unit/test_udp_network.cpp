// The real UDP network, in a private network namespace of the test's own (root only; skipped
// otherwise): sockets are read on a thread of the network's own, so a busy event loop loses
// nothing the receive queue can hold, and endpoints rebind and go while datagrams pour in.
#include "unit/private_network.h"

#include "net/datagram_endpoint.h"
#include "net/port_plan.h"
#include "net/udp_network.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <pthread.h>
#include <sched.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Net;

namespace {

void sendLoopback(int fd, quint16 port, const QByteArray& payload) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::sendto(fd, payload.constData(), size_t(payload.size()), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

void processFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Floods the ports from a thread of its own until it goes (also when a check fails midway).
class Flood {
public:
    explicit Flood(std::initializer_list<quint16> ports) : ports_(ports), thread_([this] { run(); }) {}
    ~Flood() {
        stop_ = true;
        thread_.join();
    }

private:
    void run() {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        while (!stop_)
            for (quint16 port : ports_) sendLoopback(fd, port, "127.0.0.1,x");
        ::close(fd);
    }
    std::vector<quint16> ports_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Keeps this thread and the threads it starts on the processor it is on. Threads started meanwhile
// keep that processor too; they are not the test's to move back.
class OneProcessor {
public:
    OneProcessor() {
        ok_ = ::pthread_getaffinity_np(::pthread_self(), sizeof saved_, &saved_) == 0;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(::sched_getcpu(), &one);
        ok_ = ok_ && ::pthread_setaffinity_np(::pthread_self(), sizeof one, &one) == 0;
    }
    ~OneProcessor() {
        if (ok_) ::pthread_setaffinity_np(::pthread_self(), sizeof saved_, &saved_);
    }
    explicit operator bool() const { return ok_; }

private:
    cpu_set_t saved_{};
    bool ok_ = false;
};

// Runs this thread first-in-first-out: on one processor, no ordinary thread runs until it waits.
class FirstInFirstOut {
public:
    FirstInFirstOut() {
        ok_ = ::pthread_getschedparam(::pthread_self(), &policy_, &saved_) == 0;
        sched_param fifo{};
        fifo.sched_priority = 1;
        ok_ = ok_ && ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &fifo) == 0;
    }
    ~FirstInFirstOut() {
        if (ok_) ::pthread_setschedparam(::pthread_self(), policy_, &saved_);
    }
    explicit operator bool() const { return ok_; }

private:
    int policy_ = SCHED_OTHER;
    sched_param saved_{};
    bool ok_ = false;
};

}  // namespace

class UdpNetworkTest : public QObject {
    Q_OBJECT
public:
    explicit UdpNetworkTest(bool isolated) : isolated_(isolated) {}
private slots:
    void init() {
        if (!isolated_) QSKIP("needs root for a private network namespace (the test opens real ports)");
    }
    void aBusyEventLoopLosesNothingTheQueueHolds();
    void endpointsRebindAndGoWhileDatagramsPourIn();
    void aPortTheStationReleasedBindsAgainAtOnce();
    void aPortIsBoundOnceAndOversizedDatagramsAreIgnored();

private:
    bool isolated_;
};

void UdpNetworkTest::aBusyEventLoopLosesNothingTheQueueHolds() {
    UdpNetwork net;
    DatagramEndpoint lines(net, Ports::MainLines);
    QVERIFY(lines.bindChannel(0));
    QStringList got;
    connect(&lines, &DatagramEndpoint::received, [&](const QByteArray& t) { got << QString::fromLatin1(t); });
    // The event loop is busy for half a second (a long layout, a save) while 4000 lines arrive: far
    // more than a kernel buffer holds, fewer than the queue does (loopback is the sibling display,
    // a sender of the team).
    const int count = 4000;
    std::thread sender([count] {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        for (int i = 0; i < count; ++i) sendLoopback(fd, 6711, "line " + QByteArray::number(i).rightJustified(4, '0'));
        ::close(fd);
    });
    ::usleep(500000);
    sender.join();
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), count, 10000);
    QCOMPARE(got.first(), QStringLiteral("line 0000"));
    QCOMPARE(got.last(), QStringLiteral("line 3999"));
    QVERIFY(std::is_sorted(got.begin(), got.end()));
    QCOMPARE(net.receiveQueue().droppedTotal(), 0);
}

void UdpNetworkTest::endpointsRebindAndGoWhileDatagramsPourIn() {
    UdpNetwork net;
    auto feed = std::make_unique<DatagramEndpoint>(net, Ports::MainMonitorFeed);
    QVERIFY(feed->bindChannel(0));
    int handled = 0;
    {
        const Flood flood{6721, 6921, 7021};
        connect(feed.get(), &DatagramEndpoint::received, [&] { ++handled; });
        for (int i = 0; i < 50; ++i) {
            processFor(2);
            QVERIFY(feed->bindChannel(i % 3 == 0 ? 2 : i % 3 == 1 ? 3 : 0));
        }
        QVERIFY(handled > 0);
        QCOMPARE(feed->channelPort(), quint16(7021));  // the last rebind: channel 4
        feed.reset();  // the socket goes while the reader may be in the middle of it
        processFor(20);
    }
    QCOMPARE(net.receiveQueue().queued(), 0);
}

// A typist switching the channel back and forth, or a settings load setting it twice: the port the
// station let go of a moment ago is free for it again, however late the reader thread gets its turn.
// Here the reader only runs while this thread waits (both on one processor, this one first-in-first-
// out), the latest turn it can get: it sits in poll() on the old socket when that is closed.
void UdpNetworkTest::aPortTheStationReleasedBindsAgainAtOnce() {
    const OneProcessor pinned;
    QVERIFY(pinned);
    UdpNetwork net;  // its reader shares this processor
    DatagramEndpoint feed(net, Ports::MainMonitorFeed), other(net, Ports::MainMonitorFeed);
    const FirstInFirstOut first;
    if (!first) qWarning("cannot run first-in-first-out here: the reader's turn is left to chance");
    const auto settle = [] { ::usleep(20000); };  // the reader polls the new socket meanwhile
    QVERIFY(feed.bindChannel(0));
    settle();
    QVERIFY(feed.bindChannel(0));  // the same channel set twice
    QCOMPARE(feed.channelPort(), quint16(6721));
    for (int i = 0; i < 5; ++i) {
        settle();
        QVERIFY(feed.bindChannel(2));
        settle();
        QVERIFY(feed.bindChannel(0));
    }
    settle();
    QVERIFY(feed.bindChannel(2));  // another endpoint of the station takes the port at once
    QVERIFY(other.bindChannel(0));
    // Still not shared: a second copy of the program is refused while the station holds the port.
    QVERIFY(!feed.bindChannel(0));
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(6721);
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a), -1);
    ::close(fd);
    // And it still hears what arrives.
    QSignalSpy spy(&other, &DatagramEndpoint::received);
    const int sender = ::socket(AF_INET, SOCK_DGRAM, 0);
    sendLoopback(sender, 6721, "127.0.0.1,x");
    ::close(sender);
    QTRY_COMPARE(spy.size(), 1);
}

void UdpNetworkTest::aPortIsBoundOnceAndOversizedDatagramsAreIgnored() {
    UdpNetwork net;
    DatagramEndpoint first(net, Ports::MainSearchAnswers), second(net, Ports::MainSearchAnswers);
    QVERIFY(first.bindChannel(0));
    QVERIFY(!second.bindChannel(0));  // no address reuse: a second copy fails to bind
    QVERIFY(!second.isBound());
    QSignalSpy spy(&first, &DatagramEndpoint::received);
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sendLoopback(fd, 6718, QByteArray(256, 'x'));  // at the limit: ignored
    sendLoopback(fd, 6718, QByteArray(9000, 'y'));  // longer than anything read
    sendLoopback(fd, 6718, QByteArray(255, 'z'));
    ::close(fd);
    QTRY_COMPARE(spy.size(), 1);
    processFor(50);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toByteArray(), QByteArray(255, 'z'));
    QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("127.0.0.1"));
    // Sending from an endpoint that never bound goes out from a port the system picks.
    DatagramEndpoint sender(net, Ports::MainSearchAnswers);
    sender.sendTo(QStringLiteral("127.0.0.1"), 6718, "hello");
    QTRY_COMPARE(spy.size(), 2);
    QVERIFY(spy.at(1).at(2).toUInt() != 6718);
}

int main(int argc, char** argv) {
    const bool isolated = Testing::enterPrivateNetwork();  // before anything opens a socket
    QCoreApplication app(argc, argv);
    UdpNetworkTest test(isolated);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_udp_network.moc"

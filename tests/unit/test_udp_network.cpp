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
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

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
    std::atomic<bool> stop{false};
    std::thread flood([&stop] {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        while (!stop)
            for (quint16 port : {quint16(6721), quint16(6921), quint16(7021)}) sendLoopback(fd, port, "127.0.0.1,x");
        ::close(fd);
    });
    int handled = 0;
    connect(feed.get(), &DatagramEndpoint::received, [&] { ++handled; });
    for (int i = 0; i < 50; ++i) {
        processFor(2);
        QVERIFY(feed->bindChannel(i % 3 == 0 ? 2 : i % 3 == 1 ? 3 : 0));
    }
    QVERIFY(handled > 0);
    QCOMPARE(feed->channelPort(), quint16(7021));  // the last rebind: channel 4
    feed.reset();  // the socket goes while the reader may be in the middle of it
    processFor(20);
    stop = true;
    flood.join();
    QCOMPARE(net.receiveQueue().queued(), 0);
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

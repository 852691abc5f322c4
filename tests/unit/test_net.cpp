// Address rules, control-message splitting, the receive discipline of an endpoint and the
// in-memory LAN the station tests run on.
#include "net/addressing.h"
#include "net/datagram_endpoint.h"
#include "net/memory_network.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Net;

class NetTest : public QObject {
    Q_OBJECT
private slots:
    void checkAddress_data();
    void checkAddress();
    void classfulBroadcast();
    void controlMessages();
    void receiveLimitIsMaxMinusOne();
    void nulEndsTheText();
    void gateAndLoopbackGuard();
    void unscrambleOnlyOnScrambledPorts();
    void siblingCopyRestoresRemotePort();
    void channelShift();
    void memoryLanRoutesUnicastBroadcastAndLoopback();
    void secondBindOfAPortFails();
};

void NetTest::checkAddress_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");
    QTest::newRow("private") << "192.168.1.10" << 0;
    QTest::newRow("loopback") << "127.0.0.1" << 1;
    QTest::newRow("zero first") << "0.1.2.3" << 1;
    QTest::newRow("three fields") << "10.0.0" << 1;
    QTest::newRow("empty field") << "1..2.3" << 1;
    QTest::newRow("256") << "256.1.1.1" << 1;
    QTest::newRow("letter") << "192.168.1.1x" << 1;
    QTest::newRow("empty") << "" << 2;
    QTest::newRow("leading zeros") << "010.001.002.003" << 0;
    QTest::newRow("trailing dot") << "192.168.0." << 1;
    QTest::newRow("five fields") << "1.2.3.4.5" << 1;
    QTest::newRow("space") << "1.2.3.4 " << 1;
    QTest::newRow("sign") << "-1.2.3.4" << 1;
    QTest::newRow("class E") << "255.255.255.255" << 0;
    QTest::newRow("last field 256") << "10.0.0.256" << 1;
    QTest::newRow("full width digits") << QStringLiteral("１０.0.0.1") << 1;
    QTest::newRow("huge field") << "10.99999999999.0.1" << 1;
}

void NetTest::checkAddress() {
    QFETCH(QString, text);
    QFETCH(int, result);
    QCOMPARE(CheckAddress(text), result);
    QCOMPARE(CheckAddress(QByteArrayView(text.toUtf8())), result);
}

void NetTest::classfulBroadcast() {
    QCOMPARE(ClassfulBroadcast(u"10.1.2.3"), QStringLiteral("10.255.255.255"));
    QCOMPARE(ClassfulBroadcast(u"172.16.5.9"), QStringLiteral("172.16.255.255"));
    QCOMPARE(ClassfulBroadcast(u"192.168.1.7"), QStringLiteral("192.168.1.255"));
    QCOMPARE(ClassfulBroadcast(u"230.1.2.3"), QStringLiteral("230.1.2.255"));
    QCOMPARE(ClassfulBroadcast(u"010.1.2.3"), QStringLiteral("010.255.255.255"));  // fields as typed
}

void NetTest::controlMessages() {
    auto f = SplitControlMessage("192.168.1.5,Ruzo,Req,1");
    QVERIFY(f);
    QCOMPARE(f->size(), 4);
    QCOMPARE(f->at(2), QByteArray("Req"));
    QVERIFY(!f->has(4));
    auto noGroup = SplitControlMessage("192.168.1.9,Zeva,Req");
    QVERIFY(noGroup && !noGroup->has(3));
    auto empty = SplitControlMessage("");
    QVERIFY(empty && empty->size() == 1);
    QVERIFY(SplitControlMessage("a,b,c,d,e,f,g,h,i,j"));           // ten fields
    QVERIFY(!SplitControlMessage("a,b,c,d,e,f,g,h,i,j,k"));         // eleven
    QVERIFY(SplitControlMessage(QByteArray(99, 'x') + ",y"));      // 99 bytes
    QVERIFY(!SplitControlMessage(QByteArray(100, 'x') + ",y"));    // 100 bytes

    const PrefixedText p = SplitAtFirstComma("10.0.0.2,a,b,c");
    QCOMPARE(p.prefix, QByteArray("10.0.0.2"));
    QCOMPARE(p.text, QByteArray("a,b,c"));
    QVERIFY(!SplitAtFirstComma("nocomma").hadComma);
}

namespace {
struct Pair {
    MemoryNetwork lan;
    MemoryHost& a = lan.addHost("192.168.1.1", "a");
    MemoryHost& b = lan.addHost("192.168.1.2", "b");
};
}  // namespace

void NetTest::receiveLimitIsMaxMinusOne() {
    for (const PortEntry* entry : {&Ports::MainLines, &Ports::MainSearchAnswers}) {
        Pair n;
        DatagramEndpoint rx(n.b, *entry);
        QVERIFY(rx.bindChannel(0));
        QSignalSpy spy(&rx, &DatagramEndpoint::received);
        n.lan.inject("192.168.1.1", 5000, "192.168.1.2", entry->basePort, QByteArray(entry->maxBytes - 1, 'x'));
        n.lan.inject("192.168.1.1", 5000, "192.168.1.2", entry->basePort, QByteArray(entry->maxBytes, 'y'));
        n.lan.deliverAll();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].toByteArray().size(), entry->maxBytes - 1);
        QCOMPARE(spy[0][1].toString(), QStringLiteral("192.168.1.1"));
        QCOMPARE(spy[0][2].toUInt(), 5000u);
    }
}

void NetTest::nulEndsTheText() {
    Pair n;
    DatagramEndpoint rx(n.b, Ports::MainLines);
    rx.bindChannel(0);
    QSignalSpy spy(&rx, &DatagramEndpoint::received);
    n.lan.inject("192.168.1.1", 1, "192.168.1.2", 6711, QByteArray("abc\0def", 7));
    n.lan.deliverAll();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy[0][0].toByteArray(), QByteArray("abc"));
}

void NetTest::gateAndLoopbackGuard() {
    Pair n;
    DatagramEndpoint rx(n.b, Ports::MainLines);
    rx.bindChannel(0);
    bool gateOpen = false, sibling = true;
    rx.gate = [&] { return gateOpen; };
    rx.siblingCopyOn = [&] { return sibling; };
    QSignalSpy spy(&rx, &DatagramEndpoint::received);
    DatagramEndpoint tx(n.b, Ports::MainCorrections);  // same host, another port
    tx.bindChannel(0);

    n.lan.inject("192.168.1.1", 1, "192.168.1.2", 6711, "gated");
    n.lan.deliverAll();
    QCOMPARE(spy.size(), 0);

    gateOpen = true;
    SendToSibling(tx, 6711, "from loopback");  // arrives from 127.0.0.1
    n.lan.deliverAll();
    QCOMPARE(spy.size(), 0);

    sibling = false;
    SendToSibling(tx, 6711, "from loopback");
    n.lan.deliverAll();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy[0][1].toString(), QStringLiteral("127.0.0.1"));

    // Ports without the guard take loopback datagrams whatever the option says.
    sibling = true;
    DatagramEndpoint feed(n.b, Ports::MainMonitorFeed);
    feed.bindChannel(0);
    QSignalSpy feedSpy(&feed, &DatagramEndpoint::received);
    SendToSibling(tx, 6721, "x");
    n.lan.deliverAll();
    QCOMPARE(feedSpy.size(), 1);
}

void NetTest::unscrambleOnlyOnScrambledPorts() {
    Pair n;
    DatagramEndpoint lines(n.b, Ports::MainLines);
    DatagramEndpoint cmds(n.b, Ports::MainCommands);
    lines.bindChannel(0);
    cmds.bindChannel(0);
    auto rev = [](const QByteArray& t) {
        QByteArray r = t;
        std::reverse(r.begin(), r.end());
        return r;
    };
    lines.unscramble = rev;
    cmds.unscramble = rev;
    QSignalSpy a(&lines, &DatagramEndpoint::received), b(&cmds, &DatagramEndpoint::received);
    n.lan.inject("192.168.1.1", 1, "192.168.1.2", 6711, "abc");
    n.lan.inject("192.168.1.1", 1, "192.168.1.2", 6723, "undo");
    n.lan.deliverAll();
    QCOMPARE(a[0][0].toByteArray(), QByteArray("cba"));
    QCOMPARE(b[0][0].toByteArray(), QByteArray("undo"));  // commands are never scrambled
}

void NetTest::siblingCopyRestoresRemotePort() {
    Pair n;
    DatagramEndpoint tx(n.a, Ports::MainLines);
    tx.bindChannel(2);
    QCOMPARE(tx.remotePort, 6911);
    SendToSibling(tx, SiblingPorts::Lines, "line");
    QCOMPARE(tx.remotePort, 6911);
    QCOMPARE(tx.remoteHost, QStringLiteral("127.0.0.1"));
    tx.remoteHost = "192.168.1.2";
    tx.send("next");
    const auto sent = n.lan.sent();
    QCOMPARE(sent.size(), 2);
    QCOMPARE(sent[0].to, QStringLiteral("127.0.0.1"));
    QCOMPARE(sent[0].toPort, 7911);
    QCOMPARE(sent[1].toPort, 6911);
    QCOMPARE(sent[1].fromPort, 6911);
}

void NetTest::channelShift() {
    QCOMPARE(portFor(Ports::MainLines, 6711, 2), 6911);
    QCOMPARE(portFor(Ports::MainLeave, 6724, 11), 7824);
    QCOMPARE(portFor(Ports::TemplateLink, 6720, 2), 6720);  // never shifted
    QCOMPARE(portFor(Ports::MainLines, 6711, -1), 6711);      // negative index counts as 0
    QCOMPARE(int(SiblingPorts::Lines), 6711 + 1200);
    QCOMPARE(int(SiblingPorts::Commands), 6723 + 1200);
}

void NetTest::memoryLanRoutesUnicastBroadcastAndLoopback() {
    MemoryNetwork lan;
    MemoryHost& a = lan.addHost("10.0.0.1", "a");
    MemoryHost& b = lan.addHost("10.0.0.2", "b");
    MemoryHost& other = lan.addHost("192.168.5.5", "other");
    DatagramEndpoint ea(a, Ports::MainSearchRequests), eb(b, Ports::MainSearchRequests),
        eo(other, Ports::MainSearchRequests);
    for (auto* e : {&ea, &eb, &eo}) e->bindChannel(0);
    QSignalSpy sa(&ea, &DatagramEndpoint::received), sb(&eb, &DatagramEndpoint::received),
        so(&eo, &DatagramEndpoint::received);
    ea.remoteHost = ClassfulBroadcast(u"10.0.0.1");
    ea.send("hello");
    lan.deliverAll();
    QCOMPARE(sa.size(), 1);  // a broadcast comes back to its sender too
    QCOMPARE(sb.size(), 1);
    QCOMPARE(so.size(), 0);  // another network
    ea.remoteHost = "10.0.0.2";
    ea.send("one");
    lan.deliverAll();
    QCOMPARE(sb.size(), 2);
    QCOMPARE(sa.size(), 1);
    QCOMPARE(sb[1][1].toString(), QStringLiteral("10.0.0.1"));
    // An unknown host name is reported by the endpoint.
    QSignalSpy err(&ea, &DatagramEndpoint::sendError);
    ea.remoteHost = "no-such-host";
    ea.send("x");
    QCOMPARE(err.size(), 1);
}

void NetTest::secondBindOfAPortFails() {
    MemoryNetwork lan;
    MemoryHost& a = lan.addHost("10.0.0.1", "a");
    DatagramEndpoint first(a, Ports::MainLines), second(a, Ports::MainLines);
    QVERIFY(first.bindChannel(0));
    QVERIFY(!second.bindChannel(0));
    QVERIFY(!second.isBound());
    QVERIFY(second.bindChannel(1));  // another channel is free
    first.bindChannel(3);             // a rebind frees the old port
    DatagramEndpoint third(a, Ports::MainLines);
    QVERIFY(third.bindChannel(0));
}

QTEST_GUILESS_MAIN(NetTest)
#include "test_net.moc"

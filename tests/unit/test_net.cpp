// Address rules, the wire format, the receive discipline of an endpoint, the outbox and the
// in-memory LAN the station tests run on.
#include "net/addressing.h"
#include "net/caption_protocol.h"
#include "net/datagram_endpoint.h"
#include "net/endpoint_registry.h"
#include "net/memory_network.h"
#include "net/outbox.h"
#include "net/receive_queue.h"
#include "net/receive_report.h"
#include "support/port_table.h"
#include "text/cp932.h"

#include <QSignalSpy>
#include <QTest>

using namespace Net;

class NetTest : public QObject {
    Q_OBJECT
private slots:
    void checkAddress_data();
    void checkAddress();
    void classfulBroadcast();
    void plainAddresses();
    void controlMessages();
    void tokensAndPayloads();
    void receiveLimitIsMaxMinusOne();
    void nulEndsTheText();
    void gateAndLoopbackGuard();
    void unscrambleOnlyOnScrambledPorts();
    void outboxRoutes();
    void outboxScramblesOnlyScrambledPorts();
    void aSocketOutlivesItsOwnHandler();
    void receiveQueueBoundsEachLaneAndCountsDrops();
    void receiveQueueServesLanesFairly();
    void receiveQueueSurvivesHandlersThatNestOrClose();
    void aFloodOnOnePortLeavesTheOthersAlone();
    void receiveQueueServesTheSendersOfAPortInTurns();
    void receiveQueueServesTheTeamFirstAndDropsStrangersFirst();
    void receiveQueueBoundsEachStrangerAndNamesTheDropped();
    void receiveQueueHandsOnStrangersAtABoundedRate();
    void portPlanIsTheTable();
    void channelShift();
    void memoryLanRoutesUnicastBroadcastAndLoopback();
    void secondBindOfAPortFails();
    void channelChangeWalksTheRegisteredEndpointsInPortOrder();
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

void NetTest::plainAddresses() {
    QCOMPARE(PlainAddress(QStringLiteral("192.168.001.010")), QStringLiteral("192.168.1.10"));
    QCOMPARE(PlainAddress(QStringLiteral("010.000.000.009")), QStringLiteral("10.0.0.9"));
    QCOMPARE(PlainAddress(QStringLiteral("192.168.1.10")), QStringLiteral("192.168.1.10"));
    QCOMPARE(PlainAddress(QStringLiteral("no-such-host")), QStringLiteral("no-such-host"));  // not an address: as is
    QCOMPARE(PlainAddress(QStringLiteral("127.0.0.1")), QStringLiteral("127.0.0.1"));
    // An address typed with leading zeros reaches the host it names, not an octal reading of it.
    MemoryNetwork lan;
    MemoryHost& a = lan.addHost("192.168.1.1", "a");
    MemoryHost& b = lan.addHost("192.168.1.10", "b");
    DatagramEndpoint tx(a, Ports::MainLines), rx(b, Ports::MainLines);
    tx.bindChannel(0);
    rx.bindChannel(0);
    QSignalSpy spy(&rx, &DatagramEndpoint::received);
    tx.sendTo(QStringLiteral("192.168.001.010"), 6711, "zeros");
    lan.deliverAll();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(lan.sent().last().to, QStringLiteral("192.168.1.10"));
    // And in the fields of control messages.
    QCOMPARE(Wire::SearchRequest(QStringLiteral("192.168.001.010"), QStringLiteral("n"), 1),
             QByteArray("192.168.1.10,n,Req,1"));
    QCOMPARE(Wire::MonitorFeed(QStringLiteral("010.0.0.1"), "t"), QByteArray("10.0.0.1,t"));
}

void NetTest::controlMessages() {
    const Wire::ControlFields f = Wire::SplitControlMessage("192.168.1.5,Ruzo,Req,1");
    QCOMPARE(f.size(), 4);
    QCOMPARE(f.at(2), QByteArray("Req"));
    QVERIFY(!f.has(4));
    QVERIFY(!Wire::SplitControlMessage("192.168.1.9,Zeva,Req").has(3));
    QCOMPARE(Wire::SplitControlMessage("").size(), 1);
    QCOMPARE(Wire::SplitControlMessage("a,b,c,d,e,f,g,h,i,j").size(), 10);
    // Receivers with ten slots of 99 bytes read the first ten fields, each cut to 99 bytes.
    const Wire::ControlFields eleven = Wire::SplitControlMessage("a,b,c,d,e,f,g,h,i,j,k");
    QCOMPARE(eleven.size(), 10);
    QCOMPARE(eleven.at(9), QByteArray("j"));
    QCOMPARE(Wire::SplitControlMessage(QByteArray(99, 'x') + ",y").at(0).size(), 99);
    const Wire::ControlFields longField = Wire::SplitControlMessage(QByteArray(100, 'x') + ",y");
    QCOMPARE(longField.at(0), QByteArray(99, 'x'));
    QCOMPARE(longField.at(1), QByteArray("y"));
    // A name of 50 full-width characters: cut to 49 of them, never through one.
    const QByteArray name = Cp932::encode(QString(50, QChar(0x3042)));
    const Wire::SearchRequestMsg m = Wire::ParseSearchRequest("192.168.1.9," + name + ",Req,1");
    QCOMPARE(m.name, QString(49, QChar(0x3042)));
    QCOMPARE(m.verb, QByteArray("Req"));
    QCOMPARE(m.group.value_or(""), QByteArray("1"));

    const Wire::PrefixedText p = Wire::SplitAtFirstComma("10.0.0.2,a,b,c");
    QCOMPARE(p.prefix, QByteArray("10.0.0.2"));
    QCOMPARE(p.text, QByteArray("a,b,c"));
    QVERIFY(!Wire::SplitAtFirstComma("nocomma").hadComma);
}

void NetTest::tokensAndPayloads() {
    QCOMPARE(Wire::BlankLine(), Cp932::encode(u"$改行$"));
    QCOMPARE(Wire::BatchEnd(), Cp932::encode(u"＜エラー＞行数違い！"));
    QVERIFY(Wire::IsBatchEnd("`@") && Wire::IsBatchEnd(Wire::BatchEnd()) && !Wire::IsBatchEnd("`*"));
    QCOMPARE(Wire::ParseCommand("del"), std::optional(Wire::Command::Delete));
    QVERIFY(!Wire::ParseCommand("undone"));
    QCOMPARE(Wire::ParseHeldCommand(Wire::HeldCommand(Wire::Command::Clear)), std::optional(Wire::Command::Clear));
    QVERIFY(!Wire::ParseHeldCommand("cls"));
    QCOMPARE(Wire::LinePayload("x", QByteArray("09:05:03:007")), QByteArray("09:05:03:007,x"));
    QCOMPARE(Wire::WithoutStartField("09:05:03:007,x"), QByteArray("x"));
    QCOMPARE(Wire::PartnerLiveText("abc", false, true), QByteArray("abc"));
    QCOMPARE(Wire::PartnerLiveText("", true, true), QByteArray("$clear$"));
    QCOMPARE(Wire::PartnerLiveText("\r\nx", true, false), QByteArray("$null$"));  // first line empty
    QCOMPARE(Wire::MonitorLiveText("", true, true), Cp932::encode(u"●消去●"));
    QCOMPARE(Wire::MonitorLiveText("", true, false), Wire::BlankLine());
    QCOMPARE(Wire::ClassifyPartnerText("$set$004:8"), Wire::PartnerText::Settings);
    QCOMPARE(Wire::ClassifyPartnerText("$end$"), Wire::PartnerText::Settings);
    QCOMPARE(Wire::ClassifyPartnerText("$end$x"), Wire::PartnerText::Text);
    QCOMPARE(Wire::ClassifyPartnerText("$null$"), Wire::PartnerText::Empty);
    // A name's comma would shift every later field: it travels full width.
    QCOMPARE(Wire::LeaveNotice(QStringLiteral("10.0.0.1"), QStringLiteral("a,b")),
             QByteArray("10.0.0.1,a") + Cp932::encode(u"，") + "b," + Cp932::encode(u"離脱"));
    const Wire::PairingMsg pm = Wire::ParsePairing("10.0.0.1,10.0.0.2,n,Req-Partner,Ans");
    QCOMPARE(pm.sender, QStringLiteral("10.0.0.1"));
    QCOMPARE(pm.verb, Wire::ReqPartner());
    QCOMPARE(pm.subVerb, Wire::Ans());
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
    tx.sendTo(QStringLiteral("127.0.0.1"), 6711, "from loopback");  // arrives from 127.0.0.1
    n.lan.deliverAll();
    QCOMPARE(spy.size(), 0);

    sibling = false;
    tx.sendTo(QStringLiteral("127.0.0.1"), 6711, "from loopback");
    n.lan.deliverAll();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy[0][1].toString(), QStringLiteral("127.0.0.1"));

    // Ports without the guard take loopback datagrams whatever the option says.
    sibling = true;
    DatagramEndpoint feed(n.b, Ports::MainMonitorFeed);
    feed.bindChannel(0);
    QSignalSpy feedSpy(&feed, &DatagramEndpoint::received);
    tx.sendTo(QStringLiteral("127.0.0.1"), 6721, "x");
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

namespace {
// Five stations on one LAN, the first sending through its outbox.
struct OutboxLan {
    MemoryNetwork lan;
    MemoryHost& own = lan.addHost("192.168.1.1", "own");
    EndpointOutbox out;
    std::vector<std::unique_ptr<DatagramEndpoint>> endpoints;
    QStringList members;
    QString partner;
    bool sibling = false;
    OutboxLan() {
        for (const PortEntry* e : {&Ports::MainLines, &Ports::MainPartner, &Ports::MainCommands, &Ports::MainSearchRequests}) {
            endpoints.push_back(std::make_unique<DatagramEndpoint>(own, *e));
            endpoints.back()->bindChannel(2);
            out.add(endpoints.back().get());
        }
        out.members = [this] { return members; };
        out.partner = [this] { return partner; };
        out.siblingOn = [this] { return sibling; };
    }
};
}  // namespace

void NetTest::outboxRoutes() {
    OutboxLan n;
    n.out.toMembers(Ports::MainLines, "nobody");
    QVERIFY(n.lan.sent().isEmpty());  // no member, nothing sent, nothing raised

    n.members = {"192.168.1.5", "192.168.1.2", "192.168.1.8"};
    n.out.toMembersAndSibling(Ports::MainLines, SiblingPorts::Lines, "line");
    QList<QString> to;
    for (const auto& d : n.lan.sent()) to << d.to + u':' + QString::number(d.toPort);
    QCOMPARE(to, (QList<QString>{"192.168.1.5:6911", "192.168.1.2:6911", "192.168.1.8:6911"}));  // slot order
    n.sibling = true;
    n.lan.clearSent();
    n.out.toMembersAndSibling(Ports::MainLines, SiblingPorts::Lines, "line");
    QCOMPARE(n.lan.sent().size(), 4);
    QCOMPARE(n.lan.sent().last().to, QStringLiteral("127.0.0.1"));
    QCOMPARE(n.lan.sent().last().toPort, 7911);  // the sibling's channel, whatever ours is
    n.lan.clearSent();
    n.out.toMembers(Ports::MainLines, "next");  // the channel port again
    QCOMPARE(n.lan.sent().first().toPort, 6911);
    QCOMPARE(n.lan.sent().first().fromPort, 6911);

    n.lan.clearSent();
    n.partner = "192.168.1.2";
    n.out.toPartner(Ports::MainPartner, "typing");
    QCOMPARE(n.lan.sent().size(), 1);
    QCOMPARE(n.lan.sent()[0].to, QStringLiteral("192.168.1.2"));
    QCOMPARE(n.lan.sent()[0].toPort, 6912);
    n.out.toBroadcastOf(Ports::MainSearchRequests, "010.1.2.3", "search");
    QCOMPARE(n.lan.sent().last().to, QStringLiteral("10.255.255.255"));
    QCOMPARE(n.lan.sent().last().toPort, 6922);
}

void NetTest::outboxScramblesOnlyScrambledPorts() {
    OutboxLan n;
    n.members = {"192.168.1.2"};
    n.sibling = true;
    n.out.scramble = [](const QByteArray& plain) -> std::optional<QByteArray> {
        if (plain.size() > 4) return std::nullopt;  // too long to scramble: refused
        return "S(" + plain + ")";
    };
    n.out.toMembersAndSibling(Ports::MainLines, SiblingPorts::Lines, "abc");
    n.out.toMembers(Ports::MainCommands, "undo");
    const auto sent = n.lan.sent();
    QCOMPARE(sent.size(), 3);
    QCOMPARE(sent[0].payload, QByteArray("S(abc)"));
    QCOMPARE(sent[1].payload, QByteArray("S(abc)"));  // the sibling gets it as sent
    QCOMPARE(sent[2].payload, QByteArray("undo"));    // commands are never scrambled
    n.lan.clearSent();
    QVERIFY(!n.out.toMembers(Ports::MainLines, "too long"));
    n.out.toSibling(Ports::MainLines, SiblingPorts::Lines, "received");  // forwarded as given
    QCOMPARE(n.lan.sent().size(), 1);
    QCOMPARE(n.lan.sent()[0].payload, QByteArray("received"));
}

namespace {
// A network whose sockets keep reading their own state after each handler returns, as a real
// socket's delivery loop does, and report whether they were still alive then.
class ProbeSocket;
struct ProbeNetwork final : Network {
    std::unique_ptr<DatagramSocket> openSocket() override;
    HostIdentity hostIdentity() const override { return {}; }
    QList<ProbeSocket*> live;
    int deliveredAfterDeath = 0;
};
class ProbeSocket final : public DatagramSocket {
public:
    explicit ProbeSocket(ProbeNetwork& n) : net_(n) { n.live << this; }
    ~ProbeSocket() override { net_.live.removeOne(this); }
    bool bind(quint16) override { return true; }
    void close() override {}
    bool isBound() const override { return true; }
    bool sendTo(const QByteArray&, const QString&, quint16, QString*) override { return true; }
    void deliver(const QByteArray& payload) {
        ProbeNetwork& n = net_;
        emit received(payload, QStringLiteral("10.0.0.9"), 1);
        if (!n.live.contains(this)) ++n.deliveredAfterDeath;  // its loop would now read freed memory
    }

private:
    ProbeNetwork& net_;
};
std::unique_ptr<DatagramSocket> ProbeNetwork::openSocket() { return std::make_unique<ProbeSocket>(*this); }
}  // namespace

void NetTest::aSocketOutlivesItsOwnHandler() {
    ProbeNetwork net;
    DatagramEndpoint e(net, Ports::MainSearchAnswers);
    e.bindChannel(0);
    int handled = 0;
    // The handler shows a message box, and inside it the user changes the channel.
    QObject::connect(&e, &DatagramEndpoint::received, [&] {
        ++handled;
        e.bindChannel(2);
    });
    ProbeSocket* first = net.live.value(0);
    first->deliver("Ful");
    QCOMPARE(handled, 0);  // the socket only queues: no handler runs on its stack
    QCOMPARE(net.receiveQueue().queued(), 1);
    QCOMPARE(net.receiveQueue().runTurn(), 1);
    QCOMPARE(handled, 1);
    QCOMPARE(net.deliveredAfterDeath, 0);
    QCOMPARE(e.channelPort(), 6918);
    QCOMPARE(net.live.size(), 1);  // the old socket went at once
    // What the old socket had queued is not handed on to the new one.
    net.live.value(0)->deliver("a");
    e.bindChannel(3);
    QCOMPARE(net.receiveQueue().queued(), 0);
    QCOMPARE(net.receiveQueue().runTurn(), 0);
    QCOMPARE(handled, 1);
}

namespace {
struct Delivery {
    int lane;
    QByteArray payload;
};
// A queue with lanes that record into one log, in the order the handlers ran.
struct Lanes {
    explicit Lanes(ReceiveQueue::Limits limits) : queue(limits) {}
    int open(quint16 port) {
        const int id = queue.openLane([this, idx = int(ids.size())](const QByteArray& p, const QString&, quint16) {
            log.push_back({idx, p});
            if (onDeliver) onDeliver(idx, p);
        });
        queue.setLanePort(id, port);
        ids.push_back(id);
        return int(ids.size()) - 1;
    }
    bool push(int lane, const QByteArray& p) { return queue.push(ids[lane], p, QStringLiteral("10.0.0.9"), 1); }
    bool pushFrom(int lane, const char* from, const QByteArray& p) { return queue.push(ids[lane], p, QString::fromLatin1(from), 1); }
    QStringList payloads() const {
        QStringList got;
        for (const Delivery& d : log) got << QString::fromLatin1(d.payload);
        return got;
    }
    ReceiveQueue queue;
    std::vector<int> ids;
    std::vector<Delivery> log;
    std::function<void(int, const QByteArray&)> onDeliver;
};
}  // namespace

void NetTest::receiveQueueBoundsEachLaneAndCountsDrops() {
    Lanes l({4, 32, 8});
    const int flood = l.open(6721), lines = l.open(6711);
    for (int i = 0; i < 10; ++i) QCOMPARE(l.push(flood, QByteArray::number(i)), i < 4);
    QVERIFY(l.push(lines, "line"));  // a full lane does not take room from another
    QCOMPARE(l.queue.queued(), 5);
    QCOMPARE(l.queue.droppedTotal(), 6);
    const auto dropped = l.queue.takeDropped();
    QCOMPARE(dropped.size(), 1);
    QCOMPARE(dropped.value(6721).total, 6);
    QVERIFY(l.queue.takeDropped().isEmpty());  // counted once
    // A lane is bounded in bytes too; what its handler has taken makes room again.
    Lanes big({100, 32, 8, 1000});
    const int notices = big.open(6731);
    QVERIFY(big.push(notices, QByteArray(600, 'a')));
    QVERIFY(!big.push(notices, QByteArray(401, 'b')));
    QVERIFY(big.push(notices, QByteArray(400, 'c')));
    QVERIFY(!big.push(notices, "d"));
    big.queue.runTurn();
    QVERIFY(big.push(notices, QByteArray(1000, 'e')));
    QCOMPARE(big.queue.takeDropped().value(6731).total, 2);
    QCOMPARE(l.queue.runTurn(), 5);
    // The first four of the flood were kept, in order; the rest was refused, not reordered.
    QStringList got;
    for (const Delivery& d : l.log) got << QString::fromLatin1(d.payload);
    QCOMPARE(got, (QStringList{"0", "1", "2", "3", "line"}));
    // A closed lane refuses everything and counts nothing.
    l.queue.closeLane(l.ids[flood]);
    QVERIFY(!l.push(flood, "x"));
    QVERIFY(l.queue.takeDropped().isEmpty());
}

void NetTest::receiveQueueServesLanesFairly() {
    Lanes l({512, 32, 8});
    const int flood = l.open(6721), lines = l.open(6711), commands = l.open(6723);
    for (int i = 0; i < 300; ++i) l.push(flood, "f");
    l.push(lines, "line");
    l.push(commands, "undo");
    // One turn: the flood has its share, then the others in arrival order, then the flood again.
    QCOMPARE(l.queue.runTurn(), 32);
    QCOMPARE(l.log.size(), size_t(32));
    QCOMPARE(l.log[8].payload, QByteArray("line"));
    QCOMPARE(l.log[9].payload, QByteArray("undo"));
    for (int i = 10; i < 32; ++i) QCOMPARE(l.log[i].lane, flood);
    // Without a flood the lanes are served in arrival order across ports.
    l.log.clear();
    while (l.queue.runTurn() > 0) {}
    QCOMPARE(l.log.size(), size_t(300 - 30));
    l.log.clear();
    l.push(commands, "1");
    l.push(lines, "2");
    l.push(commands, "3");
    l.push(lines, "4");
    l.queue.runTurn();
    QStringList got;
    for (const Delivery& d : l.log) got << QString::fromLatin1(d.payload);
    QCOMPARE(got, (QStringList{"1", "2", "3", "4"}));
}

void NetTest::receiveQueueSurvivesHandlersThatNestOrClose() {
    Lanes l({16, 8, 2});
    const int a = l.open(6712), b = l.open(6718), c = l.open(6727);
    quint16 portSeen = 0;
    int nestedHandled = -1;
    l.onDeliver = [&](int lane, const QByteArray& p) {
        if (p == "nest") {
            portSeen = l.queue.deliveringPort();
            // A nested event loop (a box the handler shows): other lanes go on, this one waits.
            nestedHandled = l.queue.runTurn();
        }
        if (p == "close") l.queue.closeLane(l.ids[c]);
        Q_UNUSED(lane);
    };
    l.push(a, "nest");
    l.push(a, "a2");
    l.push(b, "b1");
    l.push(c, "close");
    l.push(c, "c2");
    QCOMPARE(l.queue.deliveringPort(), quint16(0));
    l.queue.runTurn();
    QCOMPARE(portSeen, quint16(6712));
    QCOMPARE(nestedHandled, 2);  // b1 and close; c2 went with its lane, a2 waited for "nest"
    QStringList got;
    for (const Delivery& d : l.log) got << QString::fromLatin1(d.payload);
    QCOMPARE(got, (QStringList{"nest", "b1", "close", "a2"}));
    QCOMPARE(l.queue.queued(), 0);
    QCOMPARE(l.queue.deliveringPort(), quint16(0));
}

void NetTest::aFloodOnOnePortLeavesTheOthersAlone() {
    Pair n;
    DatagramEndpoint feed(n.b, Ports::MainMonitorFeed), lines(n.b, Ports::MainLines);
    feed.bindChannel(0);
    lines.bindChannel(0);
    QSignalSpy feedSpy(&feed, &DatagramEndpoint::received), lineSpy(&lines, &DatagramEndpoint::received);
    // One stranger holds at most its own share of a lane.
    const int share = n.b.receiveQueue().limits().senderCapacity;
    for (int i = 0; i < share + 1000; ++i) n.lan.inject("192.168.1.9", 1, "192.168.1.2", 6721, "192.168.1.9,spam");
    n.lan.inject("192.168.1.1", 1, "192.168.1.2", 6711, "a line");
    n.lan.deliverAll();
    QCOMPARE(lineSpy.size(), 1);
    QCOMPARE(feedSpy.size(), share);
    QCOMPARE(n.b.receiveQueue().takeDropped().value(6721).total, 1000);
    // Oversized datagrams are ignored before they take room, and are no drop of ours.
    n.lan.inject("192.168.1.1", 1, "192.168.1.2", 6711, QByteArray(1024, 'x'));
    n.lan.deliverAll();
    QCOMPARE(lineSpy.size(), 1);
    QVERIFY(n.b.receiveQueue().takeDropped().isEmpty());
    // A member's burst of lines, all at once, is held whole and handled in order.
    n.b.receiveQueue().setPreferredSenders({QStringLiteral("192.168.1.1")});
    for (int i = 0; i < 3000; ++i) n.lan.inject("192.168.1.1", 1, "192.168.1.2", 6711, QByteArray::number(i));
    n.lan.deliverAll();
    QCOMPARE(lineSpy.size(), 3001);
    QCOMPARE(lineSpy.at(1).at(0).toByteArray(), QByteArray("0"));
    QCOMPARE(lineSpy.last().at(0).toByteArray(), QByteArray("2999"));
    QVERIFY(n.b.receiveQueue().takeDropped().isEmpty());
}

void NetTest::receiveQueueServesTheSendersOfAPortInTurns() {
    Lanes l({4096, 10, 10});
    const int lines = l.open(6711);
    for (int i = 1; i <= 100; ++i) l.pushFrom(lines, "10.0.0.3", "a" + QByteArray::number(i));
    l.pushFrom(lines, "10.0.0.4", "b1");
    l.pushFrom(lines, "10.0.0.4", "b2");
    l.pushFrom(lines, "10.0.0.5", "c1");
    // A flood of one address takes one sender's turn: the others come between its datagrams, and
    // each sender's own datagrams keep their order.
    QCOMPARE(l.queue.runTurn(), 10);
    QCOMPARE(l.payloads(), (QStringList{"a1", "b1", "c1", "a2", "b2", "a3", "a4", "a5", "a6", "a7"}));
    // A sender that comes back later waits for its turn behind the ones already there.
    l.log.clear();
    l.pushFrom(lines, "10.0.0.4", "b3");
    l.queue.runTurn();
    QCOMPARE(l.payloads().mid(0, 3), (QStringList{"a8", "b3", "a9"}));
}

void NetTest::receiveQueueServesTheTeamFirstAndDropsStrangersFirst() {
    Lanes l({8, 32, 32, 1 << 20, 8});
    const int lines = l.open(6711), search = l.open(6722);
    l.queue.setPreferredSenders({QStringLiteral("10.0.0.2")});
    QVERIFY(l.queue.isPreferred(QStringLiteral("10.0.0.2")));
    QVERIFY(l.queue.isPreferred(QStringLiteral("127.0.0.1")));  // the sibling display, always
    QVERIFY(!l.queue.isPreferred(QStringLiteral("10.0.0.3")));
    // A stranger fills both lanes; the member's datagrams still get in, the stranger's newest
    // making room, and they are served first, whatever port they came on.
    for (int i = 1; i <= 8; ++i) {
        QVERIFY(l.pushFrom(search, "10.0.0.3", "s" + QByteArray::number(i)));
        QVERIFY(l.pushFrom(lines, "10.0.0.3", "x" + QByteArray::number(i)));
    }
    QVERIFY(!l.pushFrom(lines, "10.0.0.3", "x9"));
    QVERIFY(l.pushFrom(search, "10.0.0.2", "search"));
    QVERIFY(l.pushFrom(lines, "10.0.0.2", "line 1"));
    QVERIFY(l.pushFrom(lines, "127.0.0.1", "sibling"));
    QVERIFY(l.pushFrom(lines, "10.0.0.2", "line 2"));
    QCOMPARE(l.queue.queued(), 16);
    const auto dropped = l.queue.takeDropped();
    QCOMPARE(dropped.value(6711).total, 4);  // x9 refused, x8, x7 and x6 made room
    QCOMPARE(dropped.value(6722).total, 1);
    QCOMPARE(dropped.value(6711).senders, (QList<std::pair<QString, qint64>>{{QStringLiteral("10.0.0.3"), 4}}));
    l.queue.runTurn();
    QCOMPARE(l.payloads().mid(0, 4), (QStringList{"search", "line 1", "sibling", "line 2"}));
    QCOMPARE(l.payloads().size(), 16);
    QVERIFY(!l.payloads().contains(QStringLiteral("x6")));
    QVERIFY(l.payloads().contains(QStringLiteral("x5")));
    // A lane full of the team's datagrams: the sender holding the most makes room for another
    // member, and a member is refused only when it is itself the one holding the most.
    l.log.clear();
    l.queue.setPreferredSenders({QStringLiteral("10.0.0.2"), QStringLiteral("10.0.0.6")});
    for (int i = 1; i <= 8; ++i) QVERIFY(l.pushFrom(lines, "10.0.0.2", "m" + QByteArray::number(i)));
    QVERIFY(!l.pushFrom(lines, "10.0.0.2", "m9"));
    QVERIFY(l.pushFrom(lines, "10.0.0.6", "n1"));
    QVERIFY(l.pushFrom(lines, "10.0.0.6", "n2"));
    l.queue.runTurn();
    QCOMPARE(l.payloads(), (QStringList{"m1", "n1", "m2", "n2", "m3", "m4", "m5", "m6"}));
    // The rank is taken when a sender's queue starts: a stranger listed meanwhile is one once its
    // datagrams are through.
    l.log.clear();
    l.pushFrom(lines, "10.0.0.7", "before");
    l.queue.setPreferredSenders({QStringLiteral("10.0.0.7")});
    l.pushFrom(lines, "10.0.0.3", "stranger");
    l.pushFrom(lines, "10.0.0.7", "still a stranger");
    l.queue.runTurn();
    QCOMPARE(l.payloads(), (QStringList{"before", "stranger", "still a stranger"}));
    l.log.clear();
    l.pushFrom(lines, "10.0.0.3", "stranger");
    l.pushFrom(lines, "10.0.0.7", "member now");
    l.queue.runTurn();
    QCOMPARE(l.payloads(), (QStringList{"member now", "stranger"}));
}

void NetTest::receiveQueueBoundsEachStrangerAndNamesTheDropped() {
    ReceiveQueue::Limits limits;
    limits.capacity = 100;
    limits.senderCapacity = 30;
    limits.senderBytes = 1000;
    limits.senders = 4;
    Lanes l(limits);
    const int feed = l.open(6721), notices = l.open(6731);
    // One stranger holds at most its own share, in datagrams and in bytes.
    for (int i = 0; i < 40; ++i) l.pushFrom(feed, "10.0.0.3", "f");
    QCOMPARE(l.queue.queued(), 30);
    for (int i = 0; i < 3; ++i) QCOMPARE(l.pushFrom(feed, "10.0.0.4", QByteArray(400, 'b')), i < 2);
    QCOMPARE(l.queue.queued(), 32);
    // Made-up addresses beyond the count of own queues share one queue: one sender's share.
    for (int i = 0; i < 200; ++i) l.pushFrom(feed, QByteArray("10.1.0." + QByteArray::number(i)).constData(), "m");
    QCOMPARE(l.queue.queued(), 32 + 2 + 30);  // two more own queues, then the shared one
    // Once a lane is full, a newcomer takes its room from the stranger holding the most.
    for (const char* from : {"10.0.0.3", "10.0.0.4", "10.0.0.5"})
        for (int i = 0; i < 30; ++i) QVERIFY(l.pushFrom(notices, from, QByteArray(from) + ' ' + QByteArray::number(i)));
    for (int i = 0; i < 10; ++i) QVERIFY(l.pushFrom(notices, "10.0.0.6", "d"));
    QCOMPARE(l.queue.queued(), 64 + 100);
    QVERIFY(l.pushFrom(notices, "10.0.0.7", "newcomer"));
    QVERIFY(l.pushFrom(notices, "10.0.0.6", "d"));
    QCOMPARE(l.queue.queued(), 64 + 100);
    const auto dropped = l.queue.takeDropped();
    QCOMPARE(dropped.value(6731).senders,
             (QList<std::pair<QString, qint64>>{{QStringLiteral("10.0.0.3"), 1}, {QStringLiteral("10.0.0.4"), 1}}));
    const ReceiveQueue::Dropped feedDrops = dropped.value(6721);
    QCOMPARE(feedDrops.total, 10 + 1 + 168);
    QCOMPARE(feedDrops.senders.size(), ReceiveQueue::kNamedSenders);
    QCOMPARE(feedDrops.senders.first(), (std::pair<QString, qint64>{QStringLiteral("10.0.0.3"), 10}));
    const QString report = DropReport(6721, feedDrops);
    QVERIFY(report.startsWith(QStringLiteral("受信過多：ポート6721で179件を破棄しました（送信元 10.0.0.3：10件、10.0.0.4：1件、10.1.0.32：1件、")));
    QVERIFY(report.endsWith(QStringLiteral("、ほか：162件）")));
    QCOMPARE(DropReport(6711, {5, {{QStringLiteral("10.0.0.3"), 5}}}),
             QStringLiteral("受信過多：ポート6711で5件を破棄しました（送信元 10.0.0.3：5件）"));
    // The newest of a stranger went: its others are served in order.
    l.log.clear();
    while (l.queue.runTurn() > 0) {}
    QStringList fromThree = l.payloads().filter(QStringLiteral("10.0.0.3 "));
    QCOMPARE(fromThree.size(), 29);
    QCOMPARE(fromThree.last(), QStringLiteral("10.0.0.3 28"));
}

void NetTest::receiveQueueHandsOnStrangersAtABoundedRate() {
    ReceiveQueue::Limits limits;
    limits.strangersPerSecond = 10;
    Lanes l(limits);
    const int lines = l.open(6711), notices = l.open(6731);
    l.queue.setPreferredSenders({QStringLiteral("10.0.0.2")});
    for (int i = 0; i < 30; ++i) l.pushFrom(lines, "10.0.0.3", "x" + QByteArray::number(i));
    l.pushFrom(notices, "10.0.0.3", "n");
    // Ten of a lane's strangers a second; each lane counts its own.
    QCOMPARE(l.queue.runTurn(), 11);
    QCOMPARE(l.queue.runTurn(), 0);
    QCOMPARE(l.queue.queued(), 20);
    // The team is not held back meanwhile.
    l.pushFrom(lines, "10.0.0.2", "member");
    QCOMPARE(l.queue.runTurn(), 1);
    QCOMPARE(l.log.back().payload, QByteArray("member"));
    // When the second is over, the queue wakes by itself and hands on the next ten, in order.
    l.log.clear();
    QTRY_COMPARE_WITH_TIMEOUT(int(l.log.size()), 10, 3000);
    QCOMPARE(l.log.front().payload, QByteArray("x10"));
    QCOMPARE(l.queue.queued(), 10);
    QTest::qWait(200);
    QCOMPARE(int(l.log.size()), 10);  // not before the next second
    QTRY_COMPARE_WITH_TIMEOUT(l.queue.queued(), 0, 3000);
    QCOMPARE(l.log.back().payload, QByteArray("x29"));
}

void NetTest::portPlanIsTheTable() {
    QCOMPARE(Ports::kPlan.size(), std::size(PortTable::kRows));
    for (size_t i = 0; i < Ports::kPlan.size(); ++i) {
        const PortEntry& e = *Ports::kPlan[i];
        const PortTable::Row& r = PortTable::kRows[i];
        const QByteArray at = QByteArray::number(r.port);
        QCOMPARE(QByteArray(e.window), QByteArray(r.window));
        QCOMPARE(QByteArray(e.endpoint), QByteArray(r.endpoint));
        QVERIFY2(e.basePort == r.port, at.constData());
        QVERIFY2(e.shifted == r.shifted, at.constData());
        QVERIFY2(e.maxBytes == r.maxBytes, at.constData());
        QVERIFY2(e.scrambled == r.scrambled, at.constData());
        QVERIFY2(e.loopbackGuard == r.loopbackGuard, at.constData());
    }
    const QList<quint16> bound(Ports::kChannelOnePorts.begin(), Ports::kChannelOnePorts.end());
    QCOMPARE(bound, PortTable::boundPorts(0));
    // The sibling display's ports: the plan of a thirteenth channel, never shifted.
    QCOMPARE((QList<int>{SiblingPorts::Lines, SiblingPorts::Corrections, SiblingPorts::CharKaraoke,
                         SiblingPorts::Commands, SiblingPorts::Karaoke, SiblingPorts::Notice, SiblingPorts::SubInput}),
             (QList<int>{7911, 7913, 7916, 7923, 7928, 7931, 7936}));
}

void NetTest::channelShift() {
    QCOMPARE(portFor(Ports::MainLines, 6711, 2), 6911);
    QCOMPARE(portFor(Ports::MainLeave, 6724, 11), 7824);
    QCOMPARE(portFor(Ports::TemplateLink, 6720, 2), 6720);  // never shifted
    QCOMPARE(portFor(Ports::MainLines, 6711, -1), 6711);      // negative index counts as 0
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
    ea.sendTo(ClassfulBroadcast(u"10.0.0.1"), 6722, "hello");
    lan.deliverAll();
    QCOMPARE(sa.size(), 1);  // a broadcast comes back to its sender too
    QCOMPARE(sb.size(), 1);
    QCOMPARE(so.size(), 0);  // another network
    ea.sendTo(QStringLiteral("10.0.0.2"), 6722, "one");
    lan.deliverAll();
    QCOMPARE(sb.size(), 2);
    QCOMPARE(sa.size(), 1);
    QCOMPARE(sb[1][1].toString(), QStringLiteral("10.0.0.1"));
    // An unknown host name is reported by the endpoint.
    QSignalSpy err(&ea, &DatagramEndpoint::sendError);
    ea.sendTo(QStringLiteral("no-such-host"), 6722, "x");
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

void NetTest::channelChangeWalksTheRegisteredEndpointsInPortOrder() {
    MemoryNetwork lan;
    MemoryHost& a = lan.addHost("10.0.0.1", "a");
    EndpointRegistry registry;
    bool remoteOn = false;
    auto sub = std::make_unique<DatagramEndpoint>(a, Ports::SubInput);
    DatagramEndpoint contact(a, Ports::Contact), link(a, Ports::TemplateLink), remote(a, Ports::RemoteCharKaraoke),
        lines(a, Ports::MainLines);
    registry.add(sub.get());
    registry.add(&contact);
    registry.add(&link);  // never moved by the channel
    registry.add(&remote, [&remoteOn] { return remoteOn; });
    registry.add(&lines);
    for (DatagramEndpoint* e : {sub.get(), &contact, &link, &remote, &lines}) e->bindChannel(0);

    auto ports = [&registry] {
        QList<quint16> out;
        for (const DatagramEndpoint* e : registry.channelEndpoints()) out << e->basePort();
        return out;
    };
    QCOMPARE(ports(), (QList<quint16>{6711, 6727, 6736}));
    remoteOn = true;
    QCOMPARE(ports(), (QList<quint16>{6711, 6716, 6727, 6736}));
    sub.reset();  // gone with its window
    QCOMPARE(ports(), (QList<quint16>{6711, 6716, 6727}));

    registry.bindChannel(2);
    QList<quint16> bound = a.boundPorts();
    std::sort(bound.begin(), bound.end());
    QCOMPARE(bound, (QList<quint16>{6720, 6911, 6916, 6927}));
}

QTEST_GUILESS_MAIN(NetTest)
#include "test_net.moc"

// The team's rules without a window: member search and its answers, the group-full answer,
// pairing and re-pairing, leaving, on stations joined by a routing fake of the LAN.
#include "support/fakes.h"

#include "net/addressing.h"
#include "net/caption_protocol.h"
#include "text/cp932.h"

#include <QTest>
#include <memory>
#include <vector>

using namespace Testing;
using Net::Ports::MainLeave;
using Net::Ports::MainPairing;
using Net::Ports::MainSearchAnswers;
using Net::Ports::MainSearchRequests;

namespace {

struct Node {
    FakeTeamHost host;
    RecordingOutbox out;
    Net::Team team{out, host};
    QString address() const { return host.options.ownAddress; }
    int slotOf(const QString& address) const { return Net::FindMember(host.members, address); }
};

// Stations on 192.168.1.x; each datagram goes to the stations its address reaches.
struct Lan {
    std::vector<std::unique_ptr<Node>> nodes;
    QStringList traffic;  // "port payload" of everything delivered, in order

    Node& add(int host, const QString& name, int group = 1) {
        auto n = std::make_unique<Node>();
        n->host.options = {QStringLiteral("192.168.1.%1").arg(host), name, group, false, false};
        n->host.interfaces = {n->host.options.ownAddress};
        Node* p = n.get();
        n->out.members = [p] { return p->team.memberAddresses(); };
        n->out.partner = [p] { return p->team.partnerAddress(); };
        nodes.push_back(std::move(n));
        return *p;
    }
    // A member search at start, delivered with every answer.
    Node& join(int host, const QString& name, int group = 1) {
        Node& n = add(host, name, group);
        n.team.searchMembers();
        deliver();
        return n;
    }
    // From the address the payload names first, unless another is given.
    void inject(Node& to, const Net::PortEntry& port, const QByteArray& payload, const QString& from = {}) {
        dispatch(to, port, payload, from.isNull() ? QString::fromLatin1(payload.split(',').value(0)) : from);
        deliver();
    }
    void deliver() {
        for (int guard = 0; guard < 1000; ++guard) {
            bool any = false;
            for (auto& from : nodes) {
                const auto sent = std::exchange(from->out.sent, {});
                for (const auto& d : sent) {
                    any = true;
                    traffic << QString::number(d.port->basePort) + u' ' + Cp932::decode(d.payload);
                    for (auto& to : nodes)
                        if (d.host == to->address() || d.host == Net::ClassfulBroadcast(to->address()))
                            dispatch(*to, *d.port, d.payload, from->address());
                }
            }
            if (!any) return;
        }
    }
    QStringList on(quint16 port) const {
        QStringList out;
        for (const QString& t : traffic)
            if (t.startsWith(QString::number(port) + u' ')) out << t.mid(5);
        return out;
    }

private:
    static void dispatch(Node& n, const Net::PortEntry& port, const QByteArray& payload, const QString& from) {
        if (&port == &MainSearchRequests) n.team.searchRequestReceived(payload, from);
        else if (&port == &MainSearchAnswers) n.team.searchAnswerReceived(payload, from);
        else if (&port == &MainPairing) n.team.pairingReceived(payload, from);
        else if (&port == &MainLeave) n.team.leaveReceived(payload, from);
    }
};

}  // namespace

class TeamRulesTest : public QObject {
    Q_OBJECT
private slots:
    void searchExchange();
    void groupsAndMalformedMessages();
    void fullGroupAnswersFul();
    void answerTellsTheAddressWeAreSeenBy();
    void pairingAndRepairing();
    void partnerFixedAndUncheckedSlots();
    void restAndLeaveNotices();
    void startupRequestAndExit();
    void requestsThatCrossStillPair();
    void crossingRuleOnlyForAFreshUnansweredRequest();
    void lowerAddressKeepsItsRequest();
    void forgedSendersAreRefused();
};

void TeamRulesTest::searchExchange() {
    Lan lan;
    Node& b = lan.join(20, "nameB");
    lan.traffic.clear();
    Node& a = lan.join(10, "nameA");
    QCOMPARE(lan.on(6722), QStringList{"192.168.1.10,nameA,Req,1"});
    // B adds A and answers; A adds B and answers; B knows A and, the verb being "Ans", is silent.
    QCOMPARE(lan.on(6718), (QStringList{"192.168.1.20,192.168.1.10,nameB,Ans", "192.168.1.10,192.168.1.20,nameA,Ans"}));
    QCOMPARE(a.slotOf("192.168.1.20"), 1);
    QCOMPARE(a.host.members[0].name, QStringLiteral("nameB"));
    QCOMPARE(b.slotOf("192.168.1.10"), 1);
    // A repeated search finds the member listed: answered from the list, nothing added.
    lan.traffic.clear();
    a.team.searchMembers();
    lan.deliver();
    QCOMPARE(lan.on(6718), QStringList{"192.168.1.20,192.168.1.10,nameB,Ans"});
    QCOMPARE(a.team.firstFreeSlot(), 2);
    // A name's comma travels full width and keeps the fields in place.
    Node& c = lan.join(30, QStringLiteral("Sato, K."));
    QCOMPARE(a.host.members[1].name, QStringLiteral("Sato， K."));
    QCOMPARE(c.slotOf("192.168.1.10"), 2);  // after B, which answered first
}

void TeamRulesTest::groupsAndMalformedMessages() {
    Lan lan;
    Node& a = lan.add(10, "A");
    lan.inject(a, MainSearchRequests, "192.168.1.9,Other,Req,2");
    QVERIFY(lan.on(6718).isEmpty());  // another group: no answer, no change
    QCOMPARE(a.team.firstFreeSlot(), 1);
    lan.inject(a, MainSearchRequests, "192.168.1.9,Zeva,Req");
    QCOMPARE(lan.on(6718), QStringList{"192.168.1.10,192.168.1.9,A,Ans"});  // no group: any group
    QCOMPARE(a.slotOf("192.168.1.9"), 1);
    lan.inject(a, MainSearchRequests, "192.168.1.10,Echo,Req,1");  // our own broadcast
    QCOMPARE(a.team.firstFreeSlot(), 2);
    // Invalid addresses are logged with the date stamp and ignored.
    lan.inject(a, MainSearchRequests, "abc,Bad,Req,1");
    lan.inject(a, MainSearchAnswers, "192.168.1.9,999.1.1.1,X,Ans");
    QVERIFY(a.host.logLines.contains(QStringLiteral("2026/12/08-10:15:30:不正ＩＰ受信：abc")));
    QVERIFY(a.host.logLines.contains(QStringLiteral("2026/12/08-10:15:30:不正ＩＰ受信：999.1.1.1")));
    // Eleven fields, or a field over 99 bytes: the first ten fields, cut to 99 bytes, are read.
    lan.traffic.clear();
    lan.inject(a, MainSearchRequests, "192.168.1.8,N,Req,1,5,6,7,8,9,10,11");
    lan.inject(a, MainSearchRequests, "192.168.1.7," + QByteArray(120, 'n') + ",Req,1");
    QCOMPARE(lan.on(6718).size(), 2);
    QCOMPARE(a.host.members[2].name, QString(99, u'n'));
    // Without a valid own address, requests and leave notices are ignored.
    a.host.options.ownAddress = QStringLiteral("読込み失敗");
    lan.traffic.clear();
    lan.inject(a, MainSearchRequests, "192.168.1.6,M,Req,1");
    lan.inject(a, MainLeave, "192.168.1.9,Zeva,x");
    QVERIFY(lan.on(6718).isEmpty());
    QCOMPARE(Net::FindMember(a.host.members, "192.168.1.9"), 1);
}

void TeamRulesTest::fullGroupAnswersFul() {
    Lan lan;
    std::vector<Node*> team;
    for (int i = 0; i < 9; ++i) team.push_back(&lan.join(10 + i, QStringLiteral("s%1").arg(i)));
    for (Node* n : team) QCOMPARE(n->team.firstFreeSlot(), 0);  // eight others each
    lan.traffic.clear();
    Node& late = lan.join(30, "late");
    QCOMPARE(lan.on(6718).size(), 9);
    for (const QString& p : lan.on(6718)) QVERIFY2(p.endsWith(",Ful"), qPrintable(p));
    QVERIFY(late.team.groupFull());
    QCOMPARE(late.host.messages.size(), 9);  // once per "Ful"
    QCOMPARE(late.host.messages[0], QStringLiteral("s0(192.168.1.10)です。\n今この入力班は満員です。\nどうしてもこの班に入りたい時は、連絡してください。"));
    QVERIFY(late.host.logLines.contains(QStringLiteral("2026/12/08-10:15:30:満員通知受信：192.168.1.10,192.168.1.30,s0,Ful")));
    QCOMPARE(late.team.firstFreeSlot(), 1);  // nobody was added
    // A station with a free slot adds the latecomer and answers.
    team[0]->host.members[7].mate = false;
    late.team.searchMembers();
    lan.deliver();
    QCOMPARE(team[0]->slotOf("192.168.1.30"), 8);
    QCOMPARE(late.slotOf("192.168.1.10"), 1);
}

void TeamRulesTest::answerTellsTheAddressWeAreSeenBy() {
    Lan lan;
    Node& a = lan.add(10, "A");
    a.host.interfaces << QStringLiteral("10.0.0.10");  // a second network card
    lan.inject(a, MainSearchAnswers, "192.168.1.20,10.0.0.10,B,Ans");
    QCOMPARE(a.host.options.ownAddress, QStringLiteral("10.0.0.10"));  // adopted
    QCOMPARE(a.slotOf("192.168.1.20"), 1);
    // An address that is none of this computer's is not taken: the team's lines would go there.
    lan.inject(a, MainSearchAnswers, "192.168.1.21,192.168.1.66,C,Ans");
    QCOMPARE(a.host.options.ownAddress, QStringLiteral("10.0.0.10"));
    QVERIFY(a.host.logLines.contains(
        QStringLiteral("2026/12/08-10:15:30:不正ＩＰ受信：192.168.1.66（このパソコンのアドレスではありません）")));
    QCOMPARE(a.slotOf("192.168.1.21"), 2);  // the answer itself still lists its sender
    // The interfaces are read again after a while, not for every answer of a flood.
    const int reads = a.host.interfaceReads;
    for (int i = 0; i < 100; ++i) lan.inject(a, MainSearchAnswers, "192.168.1.21,192.168.1.66,C,Ans");
    QCOMPARE(a.host.interfaceReads, reads);
    a.host.interfaces << QStringLiteral("192.168.1.66");  // a cable plugged in
    a.host.clock.time = a.host.clock.time.addMSecs(Net::Team::kInterfacesFreshMs);
    lan.inject(a, MainSearchAnswers, "192.168.1.21,192.168.1.66,C,Ans");
    QCOMPARE(a.host.options.ownAddress, QStringLiteral("192.168.1.66"));
    QCOMPARE(a.host.interfaceReads, reads + 1);
    // The member-list switch closes both receivers.
    a.host.options.membersFixed = true;
    lan.inject(a, MainSearchAnswers, "192.168.1.21,10.0.0.10,C,Ans");
    lan.inject(a, MainSearchRequests, "192.168.1.22,D,Req,1");
    QCOMPARE(a.team.firstFreeSlot(), 3);
}

void TeamRulesTest::pairingAndRepairing() {
    Lan lan;
    Node& a = lan.join(10, "A");
    Node& b = lan.join(11, "B");
    lan.join(12, "C");
    Node& d = lan.join(13, "D");
    QCOMPARE(a.slotOf("192.168.1.13"), 3);
    lan.traffic.clear();
    a.team.requestPartner(1);
    lan.deliver();
    QCOMPARE(lan.on(6719), (QStringList{"192.168.1.10,192.168.1.11,A,Req-Partner,Req",
                                        "192.168.1.11,192.168.1.10,B,Req-Partner,Ans"}));
    QVERIFY(a.team.hasPartner() && b.team.hasPartner());
    QCOMPARE(a.team.partnerSlot(), 1);
    QCOMPARE(a.team.partnerAddress(), QStringLiteral("192.168.1.11"));
    QCOMPARE(a.host.caption, QStringLiteral("base  <B>"));
    QCOMPARE(b.host.caption, QStringLiteral("base  <A>"));
    QVERIFY(a.host.partnerButton[0]);
    // Slot #3 becomes partner: slot #1 hears "Can-Partner" first.
    lan.traffic.clear();
    a.team.requestPartner(3);
    lan.deliver();
    QCOMPARE(lan.on(6719).value(0), QStringLiteral("192.168.1.10,192.168.1.11,A,Can-Partner,Ans"));
    QCOMPARE(lan.on(6719).value(1), QStringLiteral("192.168.1.10,192.168.1.13,A,Req-Partner,Req"));
    QVERIFY(!b.team.hasPartner());
    QCOMPARE(b.host.caption, QStringLiteral("base"));
    QVERIFY(a.team.hasPartner() && d.team.hasPartner());
    QCOMPARE(a.team.partnerSlot(), 3);
    QVERIFY(!a.host.partnerButton[0] && a.host.partnerButton[2]);
    // Cancelling the slot ends it on both sides.
    lan.traffic.clear();
    a.team.cancelPartner(3);
    lan.deliver();
    QCOMPARE(lan.on(6719).value(0), QStringLiteral("192.168.1.10,192.168.1.13,A,Can-Partner,Ans"));
    QVERIFY(!a.team.hasPartner() && !d.team.hasPartner());
    // A pairing datagram from a stranger ends the partnership and makes none.
    a.team.requestPartner(1);
    lan.deliver();
    QVERIFY(a.team.hasPartner());
    lan.inject(a, MainPairing, "192.168.1.99,192.168.1.10,X,Req-Partner,Req");
    QVERIFY(!a.team.hasPartner());
    QCOMPARE(a.team.partnerSlot(), 0);
    QCOMPARE(a.team.partnerAddress(), QStringLiteral("192.168.1.11"));  // kept after the end
}

void TeamRulesTest::partnerFixedAndUncheckedSlots() {
    Lan lan;
    Node& a = lan.join(10, "A");
    Node& b = lan.join(11, "B");
    Node& c = lan.join(12, "C");
    a.team.requestPartner(1);
    lan.deliver();
    a.host.options.partnerFixed = true;
    lan.traffic.clear();
    a.team.requestPartner(2);                       // does nothing
    c.team.requestPartner(c.slotOf("192.168.1.10"));  // C asks A: ignored
    a.team.cancelPartner(1);                        // does nothing
    lan.deliver();
    QCOMPARE(lan.on(6719).size(), 1);  // only C's request went out
    QCOMPARE(a.team.partnerSlot(), 1);
    QVERIFY(b.team.hasPartner());
    // Cancelling a partner whose mate box was unchecked is local only.
    a.host.options.partnerFixed = false;
    a.team.requestPartner(2);
    lan.deliver();
    QCOMPARE(a.team.partnerSlot(), 2);
    a.host.members[1].mate = false;
    lan.traffic.clear();
    a.team.cancelPartner(2);
    lan.deliver();
    QVERIFY(lan.on(6719).isEmpty());
    QVERIFY(!a.team.hasPartner());
    QVERIFY(!a.host.partnerButton[1]);
    // A request to an unchecked slot is not sent either.
    a.team.requestPartner(2);
    lan.deliver();
    QVERIFY(lan.on(6719).isEmpty());
}

void TeamRulesTest::restAndLeaveNotices() {
    Lan lan;
    Node& a = lan.join(10, "A");
    Node& b = lan.join(11, "B");
    lan.traffic.clear();
    a.team.rest();
    lan.deliver();
    QCOMPARE(lan.on(6724), QStringList{QStringLiteral("192.168.1.10,A,離脱")});
    QVERIFY(a.host.options.membersFixed);
    QCOMPARE(a.team.firstFreeSlot(), 1);
    QCOMPARE(b.slotOf("192.168.1.10"), 0);
    lan.traffic.clear();
    b.team.restartSearch();
    lan.deliver();
    QVERIFY(lan.on(6718).isEmpty());  // no answer from the resting station
    a.team.restartSearch();  // rejoins
    lan.deliver();
    QVERIFY(!a.host.options.membersFixed);
    QCOMPARE(a.slotOf("192.168.1.11"), 1);
    // A leave notice empties only the first slot with that address; field 2 is not read.
    a.host.members[4] = {true, "X", "192.168.1.50"};
    a.host.members[6] = {true, "X", "192.168.1.50"};
    lan.inject(a, MainLeave, "192.168.1.50,X,x");
    QVERIFY(!a.host.members[4].mate && a.host.members[4].address.isEmpty() && a.host.members[4].name.isEmpty());
    QVERIFY(a.host.members[6].mate);
    // Changing the group tells the old members before the list is cleared.
    lan.traffic.clear();
    a.host.options.group = 3;
    a.team.changeGroup();
    lan.deliver();
    QCOMPARE(lan.on(6724).size(), 2);  // B and the remaining slot
    QCOMPARE(lan.on(6722), QStringList{"192.168.1.10,A,Req,3"});
    QCOMPARE(a.team.firstFreeSlot(), 1);
}

void TeamRulesTest::startupRequestAndExit() {
    Lan lan;
    Node& a = lan.join(10, "A");
    Node& b = lan.join(11, "B");
    lan.traffic.clear();
    b.team.startupPartnerRequest();
    lan.deliver();
    QCOMPARE(lan.on(6719).value(0), QStringLiteral("192.168.1.11,192.168.1.10,B,Req-Partner,Req"));
    QVERIFY(a.team.hasPartner() && b.team.hasPartner());
    Node& c = lan.join(12, "C");
    lan.traffic.clear();
    c.team.startupPartnerRequest();  // two members: no automatic request
    lan.deliver();
    QVERIFY(lan.on(6719).isEmpty());
    // At exit the partner hears the cancel and every member the leave notice.
    a.team.leaveOnExit();
    lan.deliver();
    QCOMPARE(lan.on(6719).value(0), QStringLiteral("192.168.1.10,192.168.1.11,A,Can-Partner,Ans"));
    QCOMPARE(lan.on(6724).size(), 2);
    QVERIFY(!b.team.hasPartner());
    QCOMPARE(c.slotOf("192.168.1.10"), 0);
}

// Two stations that ask each other before either has heard the other's request (both started
// within a second, or both typists pressing "なってよ！" at once) end up paired, in whichever order
// the requests arrive. The higher address yields: it accepts the request that crossed its own.
void TeamRulesTest::requestsThatCrossStillPair() {
    for (const bool lowerFirst : {true, false}) {
        Lan lan;
        // The station added first has its datagrams delivered first.
        Node& first = lan.join(lowerFirst ? 10 : 11, lowerFirst ? "A" : "B");
        Node& second = lan.join(lowerFirst ? 11 : 10, lowerFirst ? "B" : "A");
        Node& a = lowerFirst ? first : second;
        Node& b = lowerFirst ? second : first;
        lan.traffic.clear();
        a.team.startupPartnerRequest();
        b.team.startupPartnerRequest();
        lan.deliver();
        QVERIFY2(a.team.hasPartner() && b.team.hasPartner(), lowerFirst ? "lower first" : "higher first");
        QCOMPARE(a.team.partnerAddress(), QStringLiteral("192.168.1.11"));
        QCOMPARE(b.team.partnerAddress(), QStringLiteral("192.168.1.10"));
        QCOMPARE(a.host.caption, QStringLiteral("base  <B>"));
        QCOMPARE(b.host.caption, QStringLiteral("base  <A>"));
        QVERIFY(a.host.partnerButton[0] && b.host.partnerButton[0]);
        // The wire carries the two requests and the one accept; nobody cancels.
        QStringList pairing = lan.on(6719);
        pairing.sort();
        QCOMPARE(pairing, (QStringList{"192.168.1.10,192.168.1.11,A,Req-Partner,Req",
                                       "192.168.1.11,192.168.1.10,B,Req-Partner,Ans",
                                       "192.168.1.11,192.168.1.10,B,Req-Partner,Req"}));
    }
    // The same when both typists press "なってよ！" at once.
    Lan lan;
    Node& a = lan.join(10, "A");
    Node& b = lan.join(11, "B");
    lan.traffic.clear();
    b.team.requestPartner(1);
    a.team.requestPartner(1);
    lan.deliver();
    QVERIFY(a.team.hasPartner() && b.team.hasPartner());
    QVERIFY(lan.on(6719).filter(QStringLiteral("Can-Partner")).isEmpty());
}

// The rule is only for requests that cross: a request that was answered, or one left unanswered
// for longer than a crossing can take, does not make this station ignore the other's request.
void TeamRulesTest::crossingRuleOnlyForAFreshUnansweredRequest() {
    Lan lan;
    Node& a = lan.join(10, "A");
    Node& b = lan.join(11, "B");
    // B has its partner fixed: A's request goes unanswered.
    b.host.options.partnerFixed = true;
    a.team.requestPartner(1);
    lan.deliver();
    QVERIFY(!a.team.hasPartner());
    // Six seconds later B's typist frees the pairing and asks A: A accepts.
    for (Node* n : {&a, &b}) n->host.clock.time = n->host.clock.time.addSecs(6);
    b.host.options.partnerFixed = false;
    b.team.requestPartner(1);
    lan.deliver();
    QVERIFY(a.team.hasPartner() && b.team.hasPartner());
    // A asks B again, B accepts; a moment later B asks A: the answered request is no crossing,
    // so A takes B's request as any other and both stay paired.
    a.team.requestPartner(1);
    lan.deliver();
    QVERIFY(a.team.hasPartner() && b.team.hasPartner());
    b.team.requestPartner(1);
    lan.deliver();
    QVERIFY(a.team.hasPartner() && b.team.hasPartner());
    QCOMPARE(a.team.partnerSlot(), 1);
    // A cancel from the asked member ends the wait as well.
    lan.traffic.clear();
    a.team.cancelPartner(1);
    lan.deliver();
    QVERIFY(!a.team.hasPartner() && !b.team.hasPartner());
    b.host.options.partnerFixed = true;
    a.team.requestPartner(1);
    lan.deliver();
    lan.inject(a, MainPairing, "192.168.1.11,192.168.1.10,B,Can-Partner,Ans");
    b.host.options.partnerFixed = false;
    b.team.requestPartner(1);
    lan.deliver();
    QVERIFY(a.team.hasPartner() && b.team.hasPartner());
}

void TeamRulesTest::lowerAddressKeepsItsRequest() {
    using Net::KeepsOwnRequest;
    QVERIFY(KeepsOwnRequest(QStringLiteral("192.168.1.10"), QStringLiteral("192.168.1.11")));
    QVERIFY(!KeepsOwnRequest(QStringLiteral("192.168.1.11"), QStringLiteral("192.168.1.10")));
    // Compared as numbers, not as text: .9 is below .10.
    QVERIFY(KeepsOwnRequest(QStringLiteral("192.168.1.9"), QStringLiteral("192.168.1.10")));
    QVERIFY(!KeepsOwnRequest(QStringLiteral("10.0.0.200"), QStringLiteral("9.255.255.255")));
    // Leading zeros are the same address as without them.
    QVERIFY(KeepsOwnRequest(QStringLiteral("192.168.001.009"), QStringLiteral("192.168.1.10")));
    // Exactly one of two different stations keeps its request.
    for (const auto& [x, y] : {std::pair{"10.1.2.3", "10.1.2.4"}, {"172.16.0.1", "192.168.0.1"}})
        QVERIFY(KeepsOwnRequest(QString::fromLatin1(x), QString::fromLatin1(y)) !=
                KeepsOwnRequest(QString::fromLatin1(y), QString::fromLatin1(x)));
}

// A control message speaks for the address that sent it: one naming another station would list,
// answer, pair or drop that station in its name.
void TeamRulesTest::forgedSendersAreRefused() {
    Lan lan;
    Node& a = lan.join(10, "A");
    Node& b = lan.join(11, "B");
    a.team.requestPartner(1);
    lan.deliver();
    QVERIFY(a.team.hasPartner());
    const QString stranger = QStringLiteral("192.168.1.99");
    lan.traffic.clear();
    // A request or answer for a made-up station: nobody listed, nothing sent there.
    lan.inject(a, MainSearchRequests, "192.168.1.77,Ghost,Req,1", stranger);
    lan.inject(a, MainSearchAnswers, "192.168.1.78,192.168.1.10,Ghost,Ans", stranger);
    QCOMPARE(a.slotOf("192.168.1.77"), 0);
    QCOMPARE(a.slotOf("192.168.1.78"), 0);
    QVERIFY(lan.on(6718).isEmpty());
    // B's leave notice or pairing cancel, forged: B stays listed and paired.
    lan.inject(a, MainLeave, "192.168.1.11,B,離脱", stranger);
    lan.inject(a, MainPairing, "192.168.1.11,192.168.1.10,B,Can-Partner,Ans", stranger);
    QCOMPARE(a.slotOf("192.168.1.11"), 1);
    QVERIFY(a.team.hasPartner());
    QVERIFY(b.team.hasPartner());
    QVERIFY(a.host.logLines.contains(QStringLiteral("2026/12/08-10:15:30:不正ＩＰ受信：192.168.1.77（送信元 192.168.1.99）")));
    // The same from B itself is taken.
    lan.inject(a, MainLeave, "192.168.1.11,B,離脱", QStringLiteral("192.168.1.11"));
    QCOMPARE(a.slotOf("192.168.1.11"), 0);
}

QTEST_GUILESS_MAIN(TeamRulesTest)
#include "test_team_rules.moc"

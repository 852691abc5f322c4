#include "net/team.h"

#include "net/addressing.h"
#include "net/caption_protocol.h"
#include "net/outbox.h"
#include "text/cp932.h"

namespace Net {

int FindMember(const SlotViews& list, const QString& address) {
    for (int k = 0; k < kMemberSlots; ++k)
        if (list[k].mate && list[k].address == address) return k + 1;
    return 0;
}

int FirstFreeSlot(const SlotViews& list) {
    for (int k = 0; k < kMemberSlots; ++k)
        if (!list[k].mate) return k + 1;
    return 0;
}

QString DateTimeStamp(const QDateTime& now) {
    return now.date().toString(QStringLiteral("yyyy/MM/dd")) + u'-' + now.time().toString(QStringLiteral("H:mm:ss")) +
           u':';
}

namespace {

// The address as a number; 0 for anything that is not a dotted address.
quint32 addressValue(const QString& address) {
    if (CheckAddress(address) != 0) return 0;
    quint32 v = 0;
    for (const QString& field : address.split(u'.')) v = v << 8 | field.toUInt();
    return v;
}

}  // namespace

bool KeepsOwnRequest(const QString& ownAddress, const QString& requester) {
    return addressValue(ownAddress) < addressValue(requester);
}

Team::Team(Outbox& outbox, TeamHost& host) : outbox_(outbox), host_(host) {}

bool Team::ownAddressValid(const TeamOptions& o) const { return CheckAddress(o.ownAddress) == 0; }

QStringList Team::memberAddresses() const { return host_.mateAddresses(); }

SlotViews Team::slotViews() const { return host_.memberSlots(); }

int Team::findMember(const QString& address) const { return FindMember(host_.memberSlots(), address); }
int Team::firstFreeSlot() const { return FirstFreeSlot(host_.memberSlots()); }

void Team::clearSlot(int k) { host_.setSlot(k, SlotView{}); }

void Team::clearMembers() {
    for (int k = 1; k <= kMemberSlots; ++k) clearSlot(k);
}

void Team::logStamped(const QString& tag, const QString& text) {
    host_.logRepeated(tag, [&] { return DateTimeStamp(host_.now()) + tag + text; });
}

bool Team::fromItself(const QString& claimed, const QString& from) {
    if (claimed == from) return true;
    static const QString kTag = QStringLiteral("不正ＩＰ受信：");
    host_.logRepeated(kTag, [&] { return DateTimeStamp(host_.now()) + kTag + claimed + QStringLiteral("（送信元 ") + from + u'）'; });
    return false;
}

bool Team::isInterfaceAddress(const QString& address) {
    const QDateTime now = host_.now();
    if (!interfacesRead_.isValid() || now < interfacesRead_ || interfacesRead_.msecsTo(now) >= kInterfacesFreshMs) {
        interfaces_ = host_.interfaceAddresses();
        interfacesRead_ = now;
    }
    return interfaces_.contains(address);
}

// ---------------------------------------------------------------------------------------------
// Member search

void Team::searchMembers() {
    sendSearchRequest(host_.teamOptions().ownAddress, true);
    remoteSearch();
}

void Team::remoteSearch() {
    const TeamOptions o = host_.teamOptions();
    if (!o.remoteSearch) return;
    static const QString kOrdinals[] = {QStringLiteral("１番目"), QStringLiteral("２番目"), QStringLiteral("３番目")};
    if (o.showMessages)
        for (qsizetype i = 0; i < o.remoteAddresses.size() && i < 3; ++i) {
            const QString& a = o.remoteAddresses[i];
            if (a.isEmpty() || CheckAddress(a) == 0) continue;
            host_.message(QStringLiteral("「パートナー」ページの「遠隔地で使う」の\n") + kOrdinals[i] +
                          QStringLiteral("のＩＰアドレスが間違っています。"));
            return;  // nothing is sent, not even to the addresses before it
        }
    for (const QString& a : o.remoteAddresses)
        if (!a.isEmpty()) sendSearchRequest(a, !o.addressesOnly);
}

void Team::sendSearchRequest(const QString& address, bool broadcast) {
    const TeamOptions o = host_.teamOptions();
    const QByteArray request = Wire::SearchRequest(o.ownAddress, o.ownName, o.group);
    if (!broadcast) {
        outbox_.toHost(Ports::MainSearchRequests, address, request);
        return;
    }
    if (CheckAddress(address) != 0) {
        host_.message(QStringLiteral("相手のＩＰアドレスが間違っています。"));
        return;
    }
    outbox_.toBroadcastOf(Ports::MainSearchRequests, address, request);
}

void Team::endPartnership() {
    host_.setPartnerFixed(false);
    dropPartner();
    host_.captionsToBase();
}

void Team::restartSearch() {
    if (!ownAddressValid(host_.teamOptions())) return;
    endPartnership();
    host_.setMembersFixed(false);
    clearMembers();
    searchMembers();
}

void Team::changeGroup() {
    if (!ownAddressValid(host_.teamOptions())) return;
    endPartnership();
    leaveGroup();  // the old members are told before the list is cleared
    host_.setMembersFixed(false);
    clearMembers();
    searchMembers();
}

void Team::rest() {
    endPartnership();
    host_.setMembersFixed(true);  // no more answers to searches, no leave notices taken
    leaveGroup();
    clearMembers();
}

void Team::searchRequestReceived(const QByteArray& payload, const QString& from) {
    const TeamOptions o = host_.teamOptions();
    if (!ownAddressValid(o) || o.membersFixed) return;
    const Wire::SearchRequestMsg m = Wire::ParseSearchRequest(payload);
    if (CheckAddress(m.sender) != 0) {
        logStamped(QStringLiteral("不正ＩＰ受信："), m.sender);
        return;
    }
    if (m.sender == o.ownAddress) return;  // our own broadcast
    if (!fromItself(m.sender, from)) return;
    if (m.group && *m.group != QByteArray::number(o.group)) return;
    if (findMember(m.sender) || firstFreeSlot()) {
        answerOrAdd(o, m.sender, m.name, m.verb == Wire::Req());
        return;
    }
    outbox_.toHost(Ports::MainSearchAnswers, m.sender, Wire::SearchAnswer(o.ownAddress, m.sender, o.ownName, Wire::Ful()));
}

// The common end of both search receivers: answer a listed member, or list a new one.
void Team::answerOrAdd(const TeamOptions& o, const QString& sender, const QString& senderName, bool answerListed) {
    const SlotViews list = host_.memberSlots();
    if (const int k = FindMember(list, sender)) {
        const QString address = list[k - 1].address;
        if (answerListed)
            outbox_.toHost(Ports::MainSearchAnswers, address, Wire::SearchAnswer(o.ownAddress, address, o.ownName, Wire::Ans()));
        return;
    }
    if (const int k = FirstFreeSlot(list)) {
        host_.setSlot(k, SlotView{true, senderName, sender});
        outbox_.toHost(Ports::MainSearchAnswers, sender, Wire::SearchAnswer(o.ownAddress, sender, o.ownName, Wire::Ans()));
    }
}

void Team::searchAnswerReceived(const QByteArray& payload, const QString& from) {
    if (host_.teamOptions().membersFixed) return;
    const Wire::SearchAnswerMsg m = Wire::ParseSearchAnswer(payload);
    if (CheckAddress(m.sender) == 0 && !fromItself(m.sender, from)) return;
    if (m.verb == Wire::Ful()) {
        groupFull_ = true;
        host_.message(m.name + u'(' + m.sender +
                      QStringLiteral(")です。\n今この入力班は満員です。\nどうしてもこの班に入りたい時は、連絡してください。"));
        logStamped(QStringLiteral("満員通知受信："), Cp932::decode(payload));
        return;
    }
    if (CheckAddress(m.sender) != 0) {
        logStamped(QStringLiteral("不正ＩＰ受信："), m.sender);
        return;
    }
    if (CheckAddress(m.seenAs) != 0) {
        logStamped(QStringLiteral("不正ＩＰ受信："), m.seenAs);
        return;
    }
    // The address by which the other side reached this station, if it is one of this computer's:
    // no answer may move the station to an address where the team's lines never arrive.
    if (m.seenAs != host_.teamOptions().ownAddress) {
        if (isInterfaceAddress(m.seenAs)) host_.setOwnAddress(m.seenAs);
        else logStamped(QStringLiteral("不正ＩＰ受信："), m.seenAs + QStringLiteral("（このパソコンのアドレスではありません）"));
    }
    const TeamOptions o = host_.teamOptions();
    if (m.sender == o.ownAddress) return;
    if (m.group && *m.group != QByteArray::number(o.group)) return;
    answerOrAdd(o, m.sender, m.name, m.verb == Wire::Req());  // no free slot: nothing
}

// ---------------------------------------------------------------------------------------------
// Pairing

void Team::requestPartner(int k) {
    const TeamOptions o = host_.teamOptions();
    const SlotView s = host_.memberSlots()[k - 1];
    if (o.partnerFixed || !s.mate) return;
    dropPartner();
    sendPartnerRequest(o, s.address);
}

void Team::sendPartnerRequest(const TeamOptions& o, const QString& address) {
    outbox_.toHost(Ports::MainPairing, address,
                   Wire::PairingMessage(o.ownAddress, address, o.ownName, Wire::ReqPartner(), Wire::Req()));
    askedAddress_ = address;
    askedAt_ = host_.now();
}

bool Team::crossesOwnRequest(const TeamOptions& o, const QString& sender) const {
    if (askedAddress_.isEmpty() || sender != askedAddress_) return false;
    const qint64 since = askedAt_.msecsTo(host_.now());
    return since >= 0 && since < kCrossingMs && KeepsOwnRequest(o.ownAddress, sender);
}

void Team::cancelPartner(int k) {
    const TeamOptions o = host_.teamOptions();
    if (o.partnerFixed) return;
    host_.showPairingButtons(k, false);
    partnerSlot_ = 0;
    hasPartner_ = false;
    const SlotView s = host_.memberSlots()[k - 1];
    if (s.address == askedAddress_) askedAddress_.clear();
    if (s.mate)
        outbox_.toHost(Ports::MainPairing, s.address,
                       Wire::PairingMessage(o.ownAddress, s.address, o.ownName, Wire::CanPartner(), Wire::Ans()));
}

void Team::dropPartner() {
    if (partnerSlot_ >= 1 && partnerSlot_ <= kMemberSlots) {
        const TeamOptions o = host_.teamOptions();
        const QString address = host_.memberSlots()[partnerSlot_ - 1].address;
        if (CheckAddress(address) == 0)
            outbox_.toHost(Ports::MainPairing, address,
                           Wire::PairingMessage(o.ownAddress, address, o.ownName, Wire::CanPartner(), Wire::Ans()));
        host_.showPairingButtons(partnerSlot_, false);
    }
    partnerSlot_ = 0;
    hasPartner_ = false;
}

void Team::pairingReceived(const QByteArray& payload, const QString& from) {
    const TeamOptions options = host_.teamOptions();
    if (options.partnerFixed) return;
    const Wire::PairingMsg m = Wire::ParsePairing(payload);
    if (!fromItself(m.sender, from)) return;
    if (m.verb == Wire::ReqPartner() && m.subVerb == Wire::Req() && crossesOwnRequest(options, m.sender))
        return;  // the other station accepts this one's request instead
    if (m.sender == askedAddress_) askedAddress_.clear();  // the request was accepted, crossed or refused
    hasPartner_ = false;
    dropPartner();  // any pairing datagram first ends the current partnership
    for (int k = 1; k <= kMemberSlots; ++k) {
        const SlotView s = host_.memberSlots()[k - 1];
        if (!s.mate || s.address != m.sender) continue;
        if (m.verb == Wire::ReqPartner()) {
            host_.showPairingButtons(k, true);
            partnerAddress_ = s.address;
            hasPartner_ = true;
            partnerSlot_ = k;
            host_.captionsWithPartner(s.name);
            if (m.subVerb == Wire::Req()) {
                const TeamOptions o = host_.teamOptions();
                outbox_.toHost(Ports::MainPairing, s.address,
                               Wire::PairingMessage(o.ownAddress, s.address, o.ownName, Wire::ReqPartner(), Wire::Ans()));
            }
        } else if (m.verb == Wire::CanPartner()) {
            hasPartner_ = false;
            partnerSlot_ = 0;
            host_.captionsToBase();
        }
    }
}

void Team::startupPartnerRequest() {
    const SlotViews list = host_.memberSlots();
    if (!list[0].mate || list[1].mate) return;
    partnerSlot_ = 0;
    sendPartnerRequest(host_.teamOptions(), list[0].address);
}

// ---------------------------------------------------------------------------------------------
// Leaving

void Team::leaveGroup() {
    const TeamOptions o = host_.teamOptions();
    outbox_.toMembers(Ports::MainLeave, Wire::LeaveNotice(o.ownAddress, o.ownName));
}

void Team::leaveReceived(const QByteArray& payload, const QString& from) {
    const TeamOptions o = host_.teamOptions();
    if (!ownAddressValid(o) || o.membersFixed) return;
    const QString sender = Wire::ParseLeaveSender(payload);
    if (!fromItself(sender, from)) return;
    if (const int k = findMember(sender)) clearSlot(k);
}

void Team::leaveForChannelChange() {
    leaveGroup();
    host_.setMembersFixed(false);
    clearMembers();
}

void Team::leaveOnExit() {
    dropPartner();
    leaveGroup();
}

}  // namespace Net

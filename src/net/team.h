#pragma once
// The team on the LAN: the eight member slots, member search and its answers, the group-full
// answer, pairing with a partner, and leaving. The slots and switches live in the partner page's
// controls; the team asks its host for them on every event and tells it what to change, so the
// rules run without a window.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace Net {

class Outbox;

inline constexpr int kMemberSlots = 8;

// A member slot as the partner page shows it.
struct SlotView {
    bool mate = false;
    QString name;
    QString address;
};
using SlotViews = std::array<SlotView, kMemberSlots>;

// The first slot (1 … 8) whose mate flag is set and whose address is `address`; 0 for none.
int FindMember(const SlotViews& list, const QString& address);
// The first slot (1 … 8) whose mate flag is off; 0 when all eight are taken.
int FirstFreeSlot(const SlotViews& list);

// "2006/06/03-10:15:30:" — the stamp of the partner page's log lines.
QString DateTimeStamp(const QDateTime& now);

// Two stations that asked each other to be partners before either heard the other's request
// (started together, or two typists pressing "なってよ！" at once) would each accept, then cancel
// on the other's accept, and end up alone. Of two such crossing requests the one from the lower
// address stands: the lower station ignores the other's request and waits for its accept, the
// higher one accepts as usual. Addresses compare as numbers.
bool KeepsOwnRequest(const QString& ownAddress, const QString& requester);
// How long an unanswered request of this station can still cross the other's; on a LAN the
// answer takes milliseconds, a busy station's start-up a second or two.
inline constexpr qint64 kCrossingMs = 5000;

// What the team reads from the partner page at each event.
struct TeamOptions {
    QString ownAddress;          // Edit35
    QString ownName;             // Edit30
    int group = 1;               // 1 … 26
    bool membersFixed = false;   // "ﾒﾝﾊﾞｰ固定  "
    bool partnerFixed = false;   // "ﾊﾟｰﾄﾅｰ固定"
    // The search of routed networks that ends every member search.
    bool remoteSearch = false;   // "下のﾈｯﾄﾜｰｸｱﾄﾞﾚｽを探す"
    bool addressesOnly = false;  // "指定IPのみ探す"
    QStringList remoteAddresses; // the three address fields, empty ones included
    bool showMessages = true;    // "メッセージを表示する": the routed addresses are checked first
};

class TeamHost {
public:
    virtual ~TeamHost() = default;
    virtual TeamOptions teamOptions() const = 0;
    virtual SlotViews memberSlots() const = 0;
    // The addresses of the checked slots in slot order: asked at every group datagram, so it is
    // its own question rather than a walk over the whole slots.
    virtual QStringList mateAddresses() const = 0;
    // Slot k = 1 … 8.
    virtual void setSlot(int k, const SlotView& slot) = 0;
    virtual void setOwnAddress(const QString& address) = 0;
    // The IPv4 addresses of this computer's interfaces (the only ones a search answer may make the
    // own address).
    virtual QStringList interfaceAddresses() const = 0;
    virtual void setMembersFixed(bool on) = 0;
    virtual void setPartnerFixed(bool on) = 0;
    // "パートナー" shown (partner) or "なってよ！" shown, in both windows.
    virtual void showPairingButtons(int k, bool partner) = 0;
    virtual void captionsToBase() = 0;
    virtual void captionsWithPartner(const QString& name) = 0;
    // A message box under "メッセージを表示する".
    virtual void message(const QString& text) = 0;
    // A line at the end of the explanation page.
    virtual void log(const QString& line) = 0;
    // A warning that a stranger can repeat at will (an invalid address, a group-full answer): the
    // host may write only the first of a minute and count the others. The line is made only when
    // it is written: a flood of them costs no formatting.
    virtual void logRepeated(const QString& kind, const std::function<QString()>& line) {
        Q_UNUSED(kind);
        log(line());
    }
    virtual QDateTime now() const = 0;
};

class Team {
public:
    Team(Outbox& outbox, TeamHost& host);

    bool hasPartner() const { return hasPartner_; }
    int partnerSlot() const { return partnerSlot_; }
    // Where live typing goes while paired; kept after the pairing ends.
    QString partnerAddress() const { return partnerAddress_; }
    bool groupFull() const { return groupFull_; }
    void resetGroupFull() { groupFull_ = false; }

    // Addresses of the checked slots, in slot order: the members every group datagram goes to.
    QStringList memberAddresses() const;
    SlotViews slotViews() const;
    int findMember(const QString& address) const;
    int firstFreeSlot() const;
    void clearMembers();

    void searchMembers();
    // The requests to the routed networks (or hosts) of the remote addresses.
    void remoteSearch();
    void sendSearchRequest(const QString& address, bool broadcast);
    void restartSearch();   // "メンバーを捜す"
    void changeGroup();
    void rest();            // "お休み"
    void requestPartner(int k);
    void cancelPartner(int k);
    void dropPartner();
    // "ﾊﾟｰﾄﾅｰ固定" off, the partner told, the captions without a partner's name.
    void endPartnership();
    void leaveGroup();
    // The member list is given up before the ports move to another channel.
    void leaveForChannelChange();
    // The request to the only member that answered the start-up search.
    void startupPartnerRequest();
    // At exit: the partner and the members are told.
    void leaveOnExit();

    // The receivers, each with the address the datagram came from. A message is its sender's own
    // word: one whose first field names another address than the one it came from is a forgery
    // (it would list, answer, pair or drop a station in that one's name) and is only logged.
    void searchRequestReceived(const QByteArray& payload, const QString& from);   // 6722
    void searchAnswerReceived(const QByteArray& payload, const QString& from);    // 6718
    void pairingReceived(const QByteArray& payload, const QString& from);         // 6719
    void leaveReceived(const QByteArray& payload, const QString& from);           // 6724

    // How long the interface addresses, once read, are taken as they were.
    static constexpr qint64 kInterfacesFreshMs = 10000;

private:
    bool ownAddressValid(const TeamOptions& o) const;
    void answerOrAdd(const TeamOptions& o, const QString& sender, const QString& senderName, bool answerListed);
    void logStamped(const QString& tag, const QString& text);
    // False, after logging it, when `claimed` is not the address the datagram came from.
    bool fromItself(const QString& claimed, const QString& from);
    bool isInterfaceAddress(const QString& address);
    void clearSlot(int k);
    void sendPartnerRequest(const TeamOptions& o, const QString& address);
    // A request from `sender` that crossed this station's own, which stands.
    bool crossesOwnRequest(const TeamOptions& o, const QString& sender) const;

    Outbox& outbox_;
    TeamHost& host_;
    bool hasPartner_ = false;
    int partnerSlot_ = 0;
    QString partnerAddress_;
    bool groupFull_ = false;
    // The partner request this station sent and has had no accept or cancel for yet.
    QString askedAddress_;
    QDateTime askedAt_;
    QStringList interfaces_;  // read at most every kInterfacesFreshMs: a flood of answers stays cheap
    QDateTime interfacesRead_;
};

}  // namespace Net

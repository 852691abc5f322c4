#pragma once
// The member-search, pairing and leave messages: their byte formats, and the slot rules that the
// receivers apply. Fields are joined by "," with no spaces, no escaping and no terminator.
#include <QByteArray>
#include <QString>
#include <QDateTime>
#include <array>

namespace Net {

inline constexpr int kMemberSlots = 8;

// What a receiver needs to know of a member slot.
struct SlotView {
    bool mate = false;
    QString address;
};
using SlotViews = std::array<SlotView, kMemberSlots>;

// The first slot (1 … 8) whose mate flag is set and whose address is `address`; 0 for none.
int FindMember(const SlotViews& list, const QString& address);
// The first slot (1 … 8) whose mate flag is off; 0 when all eight are taken.
int FirstFreeSlot(const SlotViews& list);

// A name as it travels: a "," would shift every following field at the receiver, so it goes as
// the full-width "，" instead.
QByteArray NameField(const QString& name);

QByteArray SearchRequest(const QString& own, const QString& name, int group);
QByteArray SearchAnswer(const QString& own, const QString& addressee, const QString& name, const char* verb);
QByteArray PairingMessage(const QString& own, const QString& addressee, const QString& name, const char* verb,
                          const char* subVerb);
QByteArray LeaveNotice(const QString& own, const QString& name);

// "2006/06/03-10:15:30:" — the stamp of the partner page's log lines.
QString DateTimeStamp(const QDateTime& now);

}  // namespace Net

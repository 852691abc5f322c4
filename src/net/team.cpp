#include "net/team.h"

#include "text/cp932.h"

#include <QDateTime>

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

QByteArray NameField(const QString& name) {
    QString n = name;
    n.replace(u',', u'，');
    return Cp932::encode(n);
}

namespace {
QByteArray join(std::initializer_list<QByteArray> fields) {
    QByteArray out;
    bool first = true;
    for (const QByteArray& f : fields) {
        if (!first) out += ',';
        first = false;
        out += f;
    }
    return out;
}
QByteArray a(const QString& s) { return Cp932::encode(s); }
}  // namespace

QByteArray SearchRequest(const QString& own, const QString& name, int group) {
    return join({a(own), NameField(name), "Req", QByteArray::number(group)});
}

QByteArray SearchAnswer(const QString& own, const QString& addressee, const QString& name, const char* verb) {
    return join({a(own), a(addressee), NameField(name), verb});
}

QByteArray PairingMessage(const QString& own, const QString& addressee, const QString& name, const char* verb,
                          const char* subVerb) {
    return join({a(own), a(addressee), NameField(name), verb, subVerb});
}

QByteArray LeaveNotice(const QString& own, const QString& name) {
    return join({a(own), NameField(name), Cp932::encode(QStringLiteral("離脱"))});
}

QString DateTimeStamp(const QDateTime& now) {
    return now.date().toString(QStringLiteral("yyyy/MM/dd")) + u'-' + now.time().toString(QStringLiteral("H:mm:ss")) +
           u':';
}

}  // namespace Net

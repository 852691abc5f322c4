#pragma once
// Address rules shared by every sender and receiver: the dotted-address check, the classful
// broadcast of member search, and the splitting of comma-separated control messages.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace Net {

// 0 = a valid dotted IPv4 address, 1 = invalid, 2 = empty. First field 1…126 or 128…255,
// the others 0…255, leading zeros allowed.
int CheckAddress(QStringView text);
int CheckAddress(QByteArrayView text);

// Directed broadcast of the address's classful network; the fields are kept as typed.
// Callers pass only addresses that passed CheckAddress.
QString ClassfulBroadcast(QStringView address);

// A control message split at every ",". Receivers keep at most ten fields of at most 99 bytes.
struct ControlFields {
    QList<QByteArray> fields;
    qsizetype size() const { return fields.size(); }
    bool has(qsizetype i) const { return i < fields.size(); }
    QByteArray at(qsizetype i) const { return i < fields.size() ? fields[i] : QByteArray(); }
};
inline constexpr int kMaxControlFields = 10;
inline constexpr int kMaxControlFieldBytes = 99;

// nullopt when the message has more than ten fields or a field longer than 99 bytes: such a
// message cannot come from a station of ours and is dropped whole rather than half-read.
std::optional<ControlFields> SplitControlMessage(QByteArrayView payload);

// The monitor-feed shape: text before the first "," and everything after it, commas included.
struct PrefixedText {
    QByteArray prefix;
    QByteArray text;
    bool hadComma = false;
};
PrefixedText SplitAtFirstComma(QByteArrayView payload);

}  // namespace Net

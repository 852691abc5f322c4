#pragma once
// The texts of the contact window: what a sent line carries, the stamps of the history and of the
// explanation page, where "全員送信" broadcasts, and the names of saved histories.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace Core::Contact {

// The datagram's text: the sender name followed by the lines of the input pane joined without
// separator (code page 932). An empty result is still empty here; `OnTheWire` makes it travel.
QByteArray Compose(const QString& sender, const QString& pane);
// What goes on the wire for a composed text: the empty text travels as "$改行$".
QByteArray OnTheWire(const QByteArray& text);
// A received text as the history shows it: "$改行$" is the empty line.
QByteArray Received(const QByteArray& text);

// "[" hour ":" minute ":" second "] " before a history line.
QString HistoryStamp(const QTime& time);
// The explanation page's line: H:M:S:MS ",[" who "],（連絡）" text.
QString LogLine(const QTime& time, const QString& who, const QString& text);

// Where "全員送信" sends.
struct Broadcast {
    enum class Kind {
        BadOwnAddress,  // not a valid address (a loopback address is not one): say so, send nothing
        Address,        // send one datagram to `address`
    };
    Kind kind = Kind::BadOwnAddress;
    QString address;
};
Broadcast BroadcastFor(const QString& ownAddress);

// The date "-" the time, with "/" and ":" made "_" (2026_12_08-10_15_30): the stamp that names
// saved files.
QString TimeStampedName(const QDateTime& now);
// A saved contact history: the stamp followed by "連絡文.txt".
QString HistoryFileName(const QDateTime& now);

// The lines a history pane's text is written as (an empty pane holds none).
QList<QByteArray> HistoryLines(const QString& plainText, bool hasLines);

}  // namespace Core::Contact

#include "core/contact_text.h"

#include "net/addressing.h"
#include "net/caption_protocol.h"
#include "text/cp932.h"
#include "text/text_filter.h"

namespace Core::Contact {

QByteArray Compose(const QString& sender, const QString& pane) {
    QString text = pane;
    text.remove(u'\r');
    text.remove(u'\n');
    text.remove(QChar::ParagraphSeparator);
    return Cp932::encode(sender + text);
}

QByteArray OnTheWire(const QByteArray& text) { return text.isEmpty() ? Net::Wire::BlankLine() : text; }

QByteArray Received(const QByteArray& text) { return text == Net::Wire::BlankLine() ? QByteArray() : text; }

QString HistoryStamp(const QTime& time) {
    return QStringLiteral("[%1:%2:%3] ").arg(time.hour()).arg(time.minute()).arg(time.second());
}

QString LogLine(const QTime& time, const QString& who, const QString& text) {
    return Text::ClockText(time) + QStringLiteral(",[") + who + QStringLiteral("],（連絡）") + text;
}

Broadcast BroadcastFor(const QString& ownAddress) {
    Broadcast b;
    if (Net::CheckAddress(ownAddress) != 0) return b;
    b.kind = Broadcast::Kind::Address;
    b.address = Net::ClassfulBroadcast(ownAddress);
    return b;
}

QString TimeStampedName(const QDateTime& now) {
    QString name = now.date().toString(QStringLiteral("yyyy/MM/dd")) + u'-' + now.time().toString(QStringLiteral("H:mm:ss"));
    name.replace(u'/', u'_');
    name.replace(u':', u'_');
    return name;
}

QString HistoryFileName(const QDateTime& now) { return TimeStampedName(now) + QStringLiteral("連絡文.txt"); }

QList<QByteArray> HistoryLines(const QString& plainText, bool hasLines) {
    QList<QByteArray> out;
    if (!hasLines) return out;
    QString t = plainText;
    t.replace(QChar::ParagraphSeparator, u'\n');
    for (const QString& line : t.split(u'\n')) out << Cp932::encode(line);
    return out;
}

}  // namespace Core::Contact

#include "net/receive_report.h"

#include <QStringList>

namespace Net {

QString DropReport(quint16 port, const ReceiveQueue::Dropped& dropped) {
    QString line = QStringLiteral("受信過多：ポート%1で%2件を破棄しました").arg(port).arg(dropped.total);
    QStringList senders;
    qint64 named = 0;
    for (const auto& [address, count] : dropped.senders) {
        senders << QStringLiteral("%1：%2件").arg(address).arg(count);
        named += count;
    }
    if (dropped.total > named) senders << QStringLiteral("ほか：%1件").arg(dropped.total - named);
    if (!senders.isEmpty()) line += QStringLiteral("（送信元 ") + senders.join(QStringLiteral("、")) + u'）';
    return line;
}

}  // namespace Net

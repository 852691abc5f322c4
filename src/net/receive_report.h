#pragma once
// The line the explanation page gets for the datagrams a port had to refuse in the last minute.
#include "net/receive_queue.h"

#include <QString>

namespace Net {

// "受信過多：ポート6711で1200件を破棄しました（送信元 10.0.0.3：1100件、10.0.0.4：100件）", the
// senders most first; those beyond the named ones as "ほか".
QString DropReport(quint16 port, const ReceiveQueue::Dropped& dropped);

}  // namespace Net

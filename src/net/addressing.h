#pragma once
// Address rules shared by every sender and receiver: the dotted-address check, the plain decimal
// form an address leaves the station in, and the classful broadcast of member search.
#include <QString>
#include <QStringView>
#include <QByteArrayView>
#include <QList>

namespace Net {

// 0 = a valid dotted IPv4 address, 1 = invalid, 2 = empty. First field 1…126 or 128…255,
// the others 0…255, leading zeros allowed.
int CheckAddress(QStringView text);
int CheckAddress(QByteArrayView text);

// A valid address with its leading zeros dropped ("192.168.001.010" → "192.168.1.10"). The
// address check reads fields as decimals, while the socket layer would read "010" as octal, so an
// address is made plain before it leaves the station. Any other text comes back unchanged.
QString PlainAddress(const QString& text);

// Directed broadcast of the address's classful network; the fields are kept as typed (the sending
// layer makes them plain). Callers pass only addresses that passed CheckAddress.
QString ClassfulBroadcast(QStringView address);

}  // namespace Net

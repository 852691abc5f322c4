#pragma once
// What a scripted peer reads off its sockets in the system tests; every wait is bounded.
#include "text/cp932.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QStringList>
#include <QTest>
#include <QUdpSocket>

namespace SystemTest {

// The next datagram on the socket, or an empty one after `ms`.
inline QByteArray nextDatagram(QUdpSocket& s, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!s.hasPendingDatagrams() && t.elapsed() < ms) QTest::qWait(20);
    return s.hasPendingDatagrams() ? s.receiveDatagram().data() : QByteArray();
}

// Every datagram until the socket has been quiet for `quietMs` (at most `maxMs` in all), decoded.
inline QStringList drain(QUdpSocket& s, int quietMs, int maxMs = 10000) {
    QStringList out;
    QElapsedTimer all, quiet;
    all.start();
    quiet.start();
    while (quiet.elapsed() < quietMs && all.elapsed() < maxMs) {
        QTest::qWait(20);
        while (s.hasPendingDatagrams()) {
            out << Cp932::decode(s.receiveDatagram().data());
            quiet.restart();
        }
    }
    return out;
}

}  // namespace SystemTest

#pragma once
// Several stations on one in-memory LAN (192.168.1.x), each started as the program starts.
#include "support/test_station.h"

#include "core/record.h"
#include "text/cp932.h"

#include <memory>
#include <vector>

namespace Testing {

struct Lan {
    Net::MemoryNetwork net;
    std::vector<std::unique_ptr<TestStation>> stations;

    // A station at 192.168.1.<host>; its start-up search is delivered before this returns.
    TestStation& add(int host, const QString& name) {
        stations.push_back(std::make_unique<TestStation>(net, QStringLiteral("192.168.1.%1").arg(host), name));
        net.deliverAll();
        return *stations.back();
    }
    TestStation& operator[](size_t i) { return *stations.at(i); }

    // Datagrams to a port, as text.
    QStringList payloadsTo(quint16 port) const {
        QStringList out;
        for (const auto& d : net.sentTo(port)) out << Cp932::decode(d.payload);
        return out;
    }
};

// Two stations that found each other and paired: A at .10 and B at .11, each the other's slot #1.
struct PairedLan {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    TestStation& b = lan.add(11, "B");
    PairedLan() {
        a.finishStartup();  // A asks B, its only member
        lan.net.deliverAll();
        b.finishStartup();  // and B asks A: they pair again
        lan.net.deliverAll();
        lan.net.clearSent();
    }
};

inline QByteArray sj(QStringView s) { return Cp932::encode(s); }
inline QString recordOf(const TestStation& s) { return s.main->record().document()->toPlainText(); }
inline QString lastRecordLine(const TestStation& s) { return s.main->record().lastLine(); }

}  // namespace Testing

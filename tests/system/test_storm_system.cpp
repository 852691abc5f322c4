// The real program in one namespace of a private LAN, a member and a stranger in another, over
// real UDP: while the stranger sprays 40 000 random and made-up datagrams for two seconds, a third
// of them at the lines' port, a third at the corrections' port and the rest over every port of the
// plan, the member sends 50 lines; every one of them is in the display, in the order sent, when the
// program saves the display at its end.
#include "netns.h"
#include "peer.h"
#include "text/cp932.h"

#include <QDir>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QTest>
#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace SystemTest;

namespace {

const quint16 kPorts[] = {6711, 6712, 6713, 6717, 6718, 6719, 6720, 6721, 6722,
                          6723, 6724, 6727, 6730, 6731, 6732, 6734, 6735, 6736};

// What the stranger sends: random bytes, and messages of the protocol with made-up contents.
QByteArray junk(std::mt19937& r, quint16 port) {
    const int kind = int(r() % 4);
    if (kind < 2) {
        QByteArray b(1 + int(r() % 200), Qt::Uninitialized);
        for (char& c : b) c = char(r());
        return b;
    }
    const QByteArray fake = "10.79." + QByteArray::number(1 + r() % 250) + '.' + QByteArray::number(10 + r() % 240);
    switch (port) {
    case 6711: return Cp932::encode(QStringLiteral("よそ者の行%1").arg(r() % 1000));
    case 6712: return kind == 2 ? Cp932::encode(QStringLiteral("$set$801:5:チャンネル")) : QByteArray("$end$");
    case 6713:  // mostly items of a batch that never ends
        return r() % 50 ? Cp932::encode(QStringLiteral("よそ者の修正%1").arg(r() % 1000))
                        : Cp932::encode(QStringLiteral("＜エラー＞行数違い！"));
    case 6718: return fake + ',' + fake + ",stranger,Ans";
    case 6722: return fake + ",stranger,Req,1";
    case 6723: return kind == 2 ? "cls" : "und";  // (an "undo" or "del" takes back what is shown, by design)
    case 6724: return "10.79.0.2,member," + Cp932::encode(QStringLiteral("離脱"));
    default: return Cp932::encode(QStringLiteral("よそ者の文字列%1").arg(r() % 1000));
    }
}

}  // namespace

class StormSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = programUnavailable();
        if (!why.isEmpty()) QSKIP(qPrintable(why));
    }

    void everyMemberLineThroughAStorm() {
        const qint64 pid = QCoreApplication::applicationPid();
        Namespace a(QStringLiteral("qsys%1m").arg(pid), "10.79.0.1");
        Namespace b(QStringLiteral("qsys%1n").arg(pid), "10.79.0.2");
        QVERIFY(a.joinTo(b));
        QVERIFY(run({"ip", "-n", b.name(), "addr", "add", "10.79.0.3/8", "dev", "eth0"}));  // the stranger
        QVERIFY(b.enter());
        QUdpSocket search, answers, pairing;
        for (auto [sock, port] : {std::pair{&search, 6722}, {&answers, 6718}, {&pairing, 6719}})
            QVERIFY(sock->bind(QHostAddress::AnyIPv4, quint16(port)));

        // The program from a folder of its own, which saves the display when it ends.
        QTemporaryDir folder, runDir;
        const QString program = folder.filePath(QStringLiteral("quelta"));
        QVERIFY(QFile::copy(QStringLiteral(QUELTA_BINARY), program));
        QVERIFY(QFile::setPermissions(program, QFile::permissions(QStringLiteral(QUELTA_BINARY))));
        {
            QFile f(folder.filePath(QStringLiteral("自動読込表示設定.dp9")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (const QString& l : {QStringLiteral("999:＜番号付き表示設定ファイル２＞"),
                                     QStringLiteral("075:on:表示文の自動保存をするか？")})
                f.write(Cp932::encode(l) + "\r\n");
        }
        QProcess* quelta = a.start(program, {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runDir.path()}, this);

        // The member joins: its search is answered, and the start-up asks it to be the partner.
        QVERIFY(!nextDatagram(search).isEmpty());
        QUdpSocket tx;
        QVERIFY(tx.bind(QHostAddress("10.79.0.2"), 0));
        tx.writeDatagram("10.79.0.2,member,Req,1", QHostAddress("10.79.0.1"), 6722);
        QVERIFY(nextDatagram(answers).endsWith(",Ans"));
        QVERIFY(nextDatagram(pairing, 15000).contains("Req-Partner"));

        // The storm: 20 000 datagrams a second for two seconds, from 10.79.0.3.
        std::atomic<int> sent{0};
        std::thread stranger([&sent] {
            const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in from{};
            from.sin_family = AF_INET;
            inet_pton(AF_INET, "10.79.0.3", &from.sin_addr);
            ::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from);
            std::mt19937 r(2026);
            const auto start = std::chrono::steady_clock::now();
            for (int ms = 0; ms < 2000; ++ms) {
                for (int i = 0; i < 20; ++i) {
                    const quint16 port = i % 3 == 0 ? 6711 : i % 3 == 1 ? 6713 : kPorts[r() % std::size(kPorts)];
                    const QByteArray payload = junk(r, port);
                    sockaddr_in to{};
                    to.sin_family = AF_INET;
                    to.sin_port = htons(port);
                    inet_pton(AF_INET, "10.79.0.1", &to.sin_addr);
                    ::sendto(fd, payload.constData(), size_t(payload.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
                    ++sent;
                }
                std::this_thread::sleep_until(start + std::chrono::milliseconds(ms + 1));
            }
            ::close(fd);
        });
        QStringList expected;
        for (int i = 0; i < 50; ++i) {
            QTest::qWait(i == 0 ? 100 : 36);
            expected << QStringLiteral("member line %1").arg(i, 2, 10, QLatin1Char('0'));
            tx.writeDatagram(expected.last().toLatin1(), QHostAddress("10.79.0.1"), 6711);
        }
        stranger.join();
        QCOMPARE(sent.load(), 40000);
        QTest::qWait(2000);  // what the storm left in the queues is handled

        ::kill(pid_t(quelta->processId()), SIGTERM);
        QVERIFY(quelta->waitForFinished(15000));
        QCOMPARE(quelta->exitCode(), 0);
        // The display as saved at the end: the member's lines, all of them, in order.
        QStringList saved;
        for (const QString& name : QDir(folder.path()).entryList({QStringLiteral("*.txt")}, QDir::Files)) {
            QFile f(folder.filePath(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = Cp932::decode(f.readAll());
            if (text.contains(QStringLiteral("Ｑｕｅｌｔａ終了時自動保存"))) saved = text.split(QStringLiteral("\r\n"));
        }
        QVERIFY2(!saved.isEmpty(), "no display saved at the end");
        QCOMPARE(saved.filter(QRegularExpression(QStringLiteral("^member line \\d\\d$"))), expected);
    }
};

QTEST_GUILESS_MAIN(StormSystemTest)
#include "test_storm_system.moc"

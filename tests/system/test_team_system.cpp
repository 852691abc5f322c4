// The real program in one namespace of a private LAN and a scripted peer in another, over real
// UDP: the start-up search, the answer to the peer's search, the start-up pairing request, a line
// from the peer on the caption display, and the cancel and leave notice at SIGTERM.
#include "netns.h"
#include "peer.h"
#include "text/cp932.h"

#include <QElapsedTimer>
#include <QImage>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QTest>
#include <csignal>
#include <memory>

using namespace SystemTest;

namespace {

QString hostName() {
    char name[257] = {};
    gethostname(name, sizeof name - 1);
    return QString::fromLocal8Bit(name);
}

int darkPixels(const QImage& img, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < 100) ++n;
    return n;
}

}  // namespace

class TeamSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = programUnavailable({"Xvfb", "import", "xdotool"});
        if (!why.isEmpty()) QSKIP(qPrintable(why));
    }

    void captionTogetherWithAScriptedPeer() {
        const qint64 pid = QCoreApplication::applicationPid();
        Namespace a(QStringLiteral("qsys%1a").arg(pid), "10.78.0.1");
        Namespace b(QStringLiteral("qsys%1b").arg(pid), "10.78.0.2");
        QVERIFY(a.joinTo(b));
        QVERIFY(b.enter());  // the peer's sockets live in b from here on

        QUdpSocket search, answers, pairing, leave, lines;
        for (auto [sock, port] : {std::pair{&search, 6722}, {&answers, 6718}, {&pairing, 6719}, {&leave, 6724},
                                  {&lines, 6711}})
            QVERIFY(sock->bind(QHostAddress::AnyIPv4, quint16(port)));

        XServer x(a);
        QVERIFY(x.ok());
        const QString dpy = x.display();

        QTemporaryDir runDir;
        QProcess* quelta =
            a.start(QUELTA_BINARY, {"DISPLAY=" + dpy, "XDG_RUNTIME_DIR=" + runDir.path(), "QT_QPA_PLATFORM=xcb"}, this);
        const QString name = hostName();

        // The start-up search, broadcast on the LAN.
        QCOMPARE(QString::fromUtf8(nextDatagram(search)), QStringLiteral("10.78.0.1,%1,Req,1").arg(name));
        // The peer's own search is answered, and the peer becomes slot #1.
        QUdpSocket tx;
        tx.writeDatagram("10.78.0.2,peer,Req,1", QHostAddress("10.78.0.1"), 6722);
        QCOMPARE(QString::fromUtf8(nextDatagram(answers)), QStringLiteral("10.78.0.1,10.78.0.2,%1,Ans").arg(name));
        // Five seconds after start, its only member is asked to be the partner.
        QCOMPARE(QString::fromUtf8(nextDatagram(pairing, 15000)),
                 QStringLiteral("10.78.0.1,10.78.0.2,%1,Req-Partner,Req").arg(name));
        tx.writeDatagram("10.78.0.2,10.78.0.1,peer,Req-Partner,Ans", QHostAddress("10.78.0.1"), 6719);
        auto inA = [&](const QStringList& cmd, QString* out = nullptr) {
            return SystemTest::run(QStringList{"ip", "netns", "exec", a.name(), "env", "DISPLAY=" + dpy} + cmd, out);
        };
        QString windows;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000 && !inA({"xdotool", "search", "--name", "<peer>"}, &windows)) QTest::qWait(200);
        QVERIFY2(!windows.trimmed().isEmpty(), "the caption never named the partner");

        // A line from the peer appears on the caption display.
        const QString shot = runDir.filePath("shot.png");
        QTest::qWait(500);
        QVERIFY(inA({"import", "-window", "root", shot}));
        const QRect displayArea(10, 40, 600, 360);
        const int before = darkPixels(QImage(shot), displayArea);
        tx.writeDatagram(Cp932::encode(QStringLiteral("字幕のテストです")), QHostAddress("10.78.0.1"), 6711);
        int after = before;
        for (t.restart(); t.elapsed() < 10000 && after <= before + 200;) {  // the line scrolls in
            QTest::qWait(500);
            QVERIFY(inA({"import", "-window", "root", shot}));
            after = darkPixels(QImage(shot), displayArea);
        }
        QVERIFY2(after > before + 200, qPrintable(QStringLiteral("ink before %1, after %2").arg(before).arg(after)));

        // SIGTERM: the partner is cancelled and the members are told.
        ::kill(pid_t(quelta->processId()), SIGTERM);
        QCOMPARE(QString::fromUtf8(nextDatagram(pairing)), QStringLiteral("10.78.0.1,10.78.0.2,%1,Can-Partner,Ans").arg(name));
        QCOMPARE(Cp932::decode(nextDatagram(leave)), QStringLiteral("10.78.0.1,%1,離脱").arg(name));
        QVERIFY(quelta->waitForFinished(10000));
        QCOMPARE(quelta->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TeamSystemTest)
#include "test_team_system.moc"

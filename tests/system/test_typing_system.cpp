// Typing into the real program under an X server in a private namespace, with xdotool: a scripted
// peer, paired with it over real UDP, sees the live typing on the partner and monitor ports and
// the line sent with Enter.
#include "netns.h"
#include "peer.h"
#include "text/cp932.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QTest>
#include <csignal>

using namespace SystemTest;

class TypingSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = programUnavailable({"Xvfb", "xdotool"});
        if (!why.isEmpty()) QSKIP(qPrintable(why));
    }

    void typedTextTravelsLive() {
        const qint64 pid = QCoreApplication::applicationPid();
        Namespace a(QStringLiteral("qsys%1c").arg(pid), "10.79.0.1");
        Namespace b(QStringLiteral("qsys%1d").arg(pid), "10.79.0.2");
        QVERIFY(a.joinTo(b));
        QVERIFY(b.enter());
        QUdpSocket search, answers, pairing, lines, partner, monitor;
        for (auto [sock, port] : {std::pair{&search, 6722}, {&answers, 6718}, {&pairing, 6719}, {&lines, 6711},
                                  {&partner, 6712}, {&monitor, 6721}})
            QVERIFY(sock->bind(QHostAddress::AnyIPv4, quint16(port)));
        XServer x(a);
        QVERIFY(x.ok());
        QTemporaryDir runDir;
        QProcess* quelta = a.start(
            QUELTA_BINARY,
            {"DISPLAY=" + x.display(), "XDG_RUNTIME_DIR=" + runDir.path(), "XDG_DATA_HOME=" + runDir.path(), "QT_QPA_PLATFORM=xcb"},
            this);

        // Join: the peer answers the search, then accepts the start-up pairing request.
        QVERIFY(!nextDatagram(search).isEmpty());
        QUdpSocket tx;
        tx.writeDatagram("10.79.0.2,peer,Req,1", QHostAddress("10.79.0.1"), 6722);
        QVERIFY(!nextDatagram(answers).isEmpty());
        QVERIFY(QString::fromUtf8(nextDatagram(pairing, 15000)).endsWith(",Req-Partner,Req"));
        tx.writeDatagram("10.79.0.2,10.79.0.1,peer,Req-Partner,Ans", QHostAddress("10.79.0.1"), 6719);
        QTest::qWait(1000);
        drain(partner, 200);
        drain(monitor, 200);

        auto xdo = [&](const QStringList& args) {
            return run(QStringList{"ip", "netns", "exec", a.name(), "env", "DISPLAY=" + x.display(), "xdotool"} + args);
        };
        QString id;
        QVERIFY(run({"ip", "netns", "exec", a.name(), "env", "DISPLAY=" + x.display(), "xdotool", "search", "--name",
                     "Quelta7r1"},
                    &id));
        const QString window = id.split(u'\n', Qt::SkipEmptyParts).value(0);
        QVERIFY(xdo({"windowfocus", "--sync", window}));
        QVERIFY(xdo({"key", "--window", window, "Escape"}));  // erase the instruction line
        QVERIFY(xdo({"type", "--delay", "120", "--window", window, "abc"}));
        QVERIFY(xdo({"key", "--window", window, "Return"}));

        QCOMPARE(QString::fromUtf8(nextDatagram(lines)), QStringLiteral("abc"));
        const QStringList toPartner = drain(partner, 800);
        const QStringList toMonitor = drain(monitor, 800);
        QCOMPARE(toPartner, (QStringList{"$clear$", "a", "ab", "abc", " ", "$null$"}));
        QCOMPARE(toMonitor, (QStringList{QStringLiteral("10.79.0.1,●消去●"), "10.79.0.1,a", "10.79.0.1,ab",
                                        "10.79.0.1,abc", QStringLiteral("10.79.0.1,$改行$")}));

        ::kill(pid_t(quelta->processId()), SIGTERM);
        QVERIFY(quelta->waitForFinished(10000));
        QCOMPARE(quelta->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TypingSystemTest)
#include "test_typing_system.moc"

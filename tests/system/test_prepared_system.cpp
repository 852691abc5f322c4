// The pre-roll window of the real program under an X server in a private namespace: F1 sends the
// caret line and passes over comment lines, and the partners' pre-roll monitors get the lines
// around the caret, all checked at a scripted peer over real UDP.
#include "netns.h"
#include "peer.h"
#include "text/cp932.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QTest>
#include <csignal>

using namespace SystemTest;

namespace {

// The script typed into pre-roll 1 (which starts empty, its usage note a hint).
const QStringList kScript{"the first line", "<- a comment", "<- another comment", "the fourth line", "the fifth line",
                          "six", "seven", "eight", "nine"};

}  // namespace

class PreparedSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = programUnavailable({"Xvfb", "xdotool"});
        if (!why.isEmpty()) QSKIP(qPrintable(why));
    }

    void preRollLinesTravelWithF1() {
        const qint64 pid = QCoreApplication::applicationPid();
        Namespace a(QStringLiteral("qsys%1e").arg(pid), "10.79.0.1");
        Namespace b(QStringLiteral("qsys%1f").arg(pid), "10.79.0.2");
        QVERIFY(a.joinTo(b));
        QVERIFY(b.enter());
        QUdpSocket search, answers, pairing, lines, lower, upper;
        for (auto [sock, port] : {std::pair{&search, 6722}, {&answers, 6718}, {&pairing, 6719}, {&lines, 6711},
                                  {&lower, 6734}, {&upper, 6735}})
            QVERIFY(sock->bind(QHostAddress::AnyIPv4, quint16(port)));

        // The program runs from a folder of its own, whose start-up file shows the pre-roll window
        // beside the main window and feeds the monitors of the whole group.
        QTemporaryDir folder;
        const QString program = folder.filePath(QStringLiteral("quelta"));
        QVERIFY(QFile::copy(QStringLiteral(QUELTA_BINARY), program));
        QFile startup(folder.filePath(QStringLiteral("自動読込表示設定.dp9")));
        QVERIFY(startup.open(QIODevice::WriteOnly));
        for (const char* line : {"999:＜番号付き表示設定ファイル２＞", "221:0:", "222:650:", "223:370:", "224:400:",
                                 "226:on:", "787:true:"})
            startup.write(Cp932::encode(QString::fromUtf8(line)) + "\r\n");
        startup.close();

        XServer x(a);
        QVERIFY(x.ok());
        QTemporaryDir runDir;
        QProcess* quelta =
            a.start(program, {"DISPLAY=" + x.display(), "XDG_RUNTIME_DIR=" + runDir.path(), "QT_QPA_PLATFORM=xcb"}, this);

        // Join: the peer answers the search, then accepts the start-up pairing request.
        QVERIFY(!nextDatagram(search).isEmpty());
        QUdpSocket tx;
        tx.writeDatagram("10.79.0.2,peer,Req,1", QHostAddress("10.79.0.1"), 6722);
        QVERIFY(!nextDatagram(answers).isEmpty());
        QVERIFY(QString::fromUtf8(nextDatagram(pairing, 15000)).endsWith(",Req-Partner,Req"));
        tx.writeDatagram("10.79.0.2,10.79.0.1,peer,Req-Partner,Ans", QHostAddress("10.79.0.1"), 6719);
        QTest::qWait(1000);

        auto xdo = [&](const QStringList& args) {
            return run(QStringList{"ip", "netns", "exec", a.name(), "env", "DISPLAY=" + x.display(), "xdotool"} + args);
        };
        QString id;
        QVERIFY(run({"ip", "netns", "exec", a.name(), "env", "DISPLAY=" + x.display(), "xdotool", "search", "--name",
                     QStringLiteral("テンプレート・前ロール")},
                    &id));
        const QString window = id.split(u'\n', Qt::SkipEmptyParts).value(0);
        QVERIFY(!window.isEmpty());
        QVERIFY(xdo({"windowraise", window}));
        QVERIFY(xdo({"mousemove", "--window", window, "120", "300", "click", "1"}));  // into pre-roll 1
        for (const QString& line : kScript) {
            QVERIFY(xdo({"type", "--delay", "5", line}));
            QVERIFY(xdo({"key", "Return"}));
        }
        QVERIFY(xdo({"key", "--window", window, "ctrl+Home"}));
        QTest::qWait(300);
        drain(lower, 300);
        drain(upper, 300);

        // F1 sends line 0; the next two F1 pass over the comment lines; the fourth sends line 3.
        for (int i = 0; i < 4; ++i) {
            QVERIFY(xdo({"key", "--window", window, "F1"}));
            QTest::qWait(150);
        }
        QCOMPARE(Cp932::decode(nextDatagram(lines)), kScript[0]);
        QCOMPARE(Cp932::decode(nextDatagram(lines)), kScript[3]);
        QCOMPARE(drain(lines, 500), QStringList());

        // Each key release fed the peer's monitor: the last one is the caret on line 4.
        const QStringList below = drain(lower, 800);
        const QStringList above = drain(upper, 800);
        const int lastClear = below.lastIndexOf(QStringLiteral("$消去$"));
        QVERIFY(lastClear >= 0);
        QCOMPARE(below.mid(lastClear + 1), kScript.mid(4, 5));
        const int upperClear = above.lastIndexOf(QStringLiteral("$消去$"));
        QCOMPARE(above.mid(upperClear + 1), kScript.mid(2, 2));

        ::kill(pid_t(quelta->processId()), SIGTERM);
        QVERIFY(quelta->waitForFinished(10000));
        QCOMPARE(quelta->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(PreparedSystemTest)
#include "test_prepared_system.moc"

// The real program started from a folder that holds its start-up file: a scripted peer in a second
// private namespace sees, over real UDP, the channel (every port 200 higher on "3ch"), the group and
// the own name of the file in the member search, and the line typed with xdotool arriving scrambled
// with the file's password, byte for byte.
#include "netns.h"
#include "peer.h"
#include "net/scramble.h"
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

// The next datagram that satisfies `wanted`, skipping others.
QByteArray nextWhere(QUdpSocket& s, const std::function<bool(const QByteArray&)>& wanted, int ms = 15000) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        const QByteArray d = nextDatagram(s, int(ms - t.elapsed()));
        if (d.isNull()) break;
        if (wanted(d)) return d;
    }
    return {};
}

}  // namespace

class SettingsSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = programUnavailable({"Xvfb", "xdotool"});
        if (!why.isEmpty()) QSKIP(qPrintable(why));
    }

    void startsTheWayTheFileSays() {
        const qint64 pid = QCoreApplication::applicationPid();
        Namespace a(QStringLiteral("qsys%1s").arg(pid), "10.75.0.1");
        Namespace b(QStringLiteral("qsys%1t").arg(pid), "10.75.0.2");
        QVERIFY(a.joinTo(b));
        QVERIFY(b.enter());
        QUdpSocket search, answers, lines;
        for (auto [sock, port] : {std::pair{&search, 6922}, {&answers, 6918}, {&lines, 6911}})
            QVERIFY(sock->bind(QHostAddress::AnyIPv4, quint16(port)));

        QTemporaryDir folder, runDir;
        const QString program = folder.filePath(QStringLiteral("quelta"));
        QVERIFY(QFile::copy(QStringLiteral(QUELTA_BINARY), program));
        QVERIFY(QFile::setPermissions(program, QFile::permissions(QStringLiteral(QUELTA_BINARY))));
        const QString password = QStringLiteral("合言葉２０２６");
        {
            QFile f(folder.filePath(QStringLiteral("自動読込表示設定.dp9")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (const QString& l : {QStringLiteral("999:＜番号付き表示設定ファイル２＞"),
                                     QStringLiteral("806:true:「暗号化通信」の指定"),
                                     QStringLiteral("807:") + password + QStringLiteral(":「暗号化通信」のパスワード"),
                                     QStringLiteral("801:2:チャンネル"), QStringLiteral("802:3:班"),
                                     QStringLiteral("166:放送局:自分のパソコンのホスト名（最後に書く）")})
                f.write(Cp932::encode(l) + "\r\n");
        }
        XServer x(a);
        QVERIFY(x.ok());
        QProcess* quelta =
            a.start(program, {"DISPLAY=" + x.display(), "XDG_RUNTIME_DIR=" + runDir.path(), "QT_QPA_PLATFORM=xcb"}, this);

        // On "3ch" in "Ｃ班", named from the file.
        const QByteArray request = nextWhere(search, [](const QByteArray& d) { return d.endsWith(",Req,3"); });
        QCOMPARE(Cp932::decode(request), QStringLiteral("10.75.0.1,放送局,Req,3"));
        QUdpSocket tx;
        tx.writeDatagram("10.75.0.2,peer,Req,3", QHostAddress("10.75.0.1"), 6922);
        QCOMPARE(Cp932::decode(nextDatagram(answers)), QStringLiteral("10.75.0.1,10.75.0.2,放送局,Ans"));

        // A typed line reaches the member scrambled with the file's password.
        QString id;
        QVERIFY(run({"ip", "netns", "exec", a.name(), "env", "DISPLAY=" + x.display(), "xdotool", "search", "--name",
                     "Quelta7r1"},
                    &id));
        const QString window = id.split(u'\n', Qt::SkipEmptyParts).value(0);
        auto xdo = [&](const QStringList& args) {
            return run(QStringList{"ip", "netns", "exec", a.name(), "env", "DISPLAY=" + x.display(), "xdotool"} + args);
        };
        QTest::qWait(1500);  // past the start-up's second phase
        QVERIFY(xdo({"windowfocus", "--sync", window}));
        QVERIFY(xdo({"key", "--window", window, "Escape"}));
        QVERIFY(xdo({"type", "--delay", "100", "--window", window, "abc 123"}));
        QVERIFY(xdo({"key", "--window", window, "Return"}));
        const QByteArray wire = nextDatagram(lines);
        const QByteArray pw = Cp932::encode(password);
        QCOMPARE(wire, *Net::Scramble("abc 123", pw, Net::DeriveKey(pw)));
        QCOMPARE(Net::Unscramble(wire, pw, Net::DeriveKey(pw)), QByteArray("abc 123"));

        ::kill(pid_t(quelta->processId()), SIGTERM);
        QVERIFY(quelta->waitForFinished(10000));
        QCOMPARE(quelta->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(SettingsSystemTest)
#include "test_settings_system.moc"

// The real program sends scheduled contact notices over real UDP: its start-up file (in its own
// program folder) turns on "定時連絡" every minute with the advance notice, and a scripted peer in a
// second private namespace, found by the member search, receives the advance notice and, thirty
// seconds later, the notice itself on the contact port. Ended by SIGTERM, as a desktop logout ends
// it, the program saves the display (with the peer's lines) and the contact history in its folder.
#include "netns.h"
#include "text/cp932.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QTest>
#include <csignal>

using namespace SystemTest;

namespace {

QNetworkDatagram next(QUdpSocket& s, int ms) {
    QElapsedTimer t;
    t.start();
    while (!s.hasPendingDatagrams() && t.elapsed() < ms) QTest::qWait(20);
    return s.hasPendingDatagrams() ? s.receiveDatagram() : QNetworkDatagram();
}

bool writeStartupFile(const QString& path, const QStringList& lines) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    for (const QString& l : lines) f.write(Cp932::encode(l) + "\r\n");
    return true;
}

}  // namespace

class MessagingSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = programUnavailable();
        if (!why.isEmpty()) QSKIP(qPrintable(why));
    }

    void scheduledNoticeReachesThePeer() {
        const qint64 pid = QCoreApplication::applicationPid();
        Namespace a(QStringLiteral("qsys%1m").arg(pid), "10.74.0.1");
        Namespace b(QStringLiteral("qsys%1n").arg(pid), "10.74.0.2");
        QVERIFY(a.joinTo(b));
        QVERIFY(b.enter());
        QUdpSocket search, answers, contact;
        for (auto [sock, port] : {std::pair{&search, 6722}, {&answers, 6718}, {&contact, 6727}})
            QVERIFY(sock->bind(QHostAddress::AnyIPv4, quint16(port)));

        // The program runs from a folder of its own, which holds its start-up file.
        QTemporaryDir folder, runDir;
        const QString program = folder.filePath(QStringLiteral("quelta"));
        QVERIFY(QFile::copy(QStringLiteral(QUELTA_BINARY), program));
        QVERIFY(QFile::setPermissions(program, QFile::permissions(QStringLiteral(QUELTA_BINARY))));
        QVERIFY(writeStartupFile(folder.filePath(QStringLiteral("自動読込表示設定.dp9")),
                                 {"999:＜番号付き表示設定ファイル２＞", "152:on:連絡窓表示",
                                  "191:試験局:連絡窓の送信者名", "703:true:連絡窓の定時連絡に時刻表示のチェック",
                                  "704:true:連絡窓の定時連絡の30秒前に流すチェック",
                                  "705:true:連絡窓の定時連絡のＬＡＮに流すチェック", "706:1:連絡窓の定時連絡の時間指定",
                                  "707:交代です！:連絡窓の定時連絡文", "708:３０秒前です。:連絡窓の定時連絡予告文",
                                  "709:true:連絡窓の定時連絡（流す）のチェック",
                                  "075:on:表示文の自動保存をするか？",
                                  "857:true:連絡窓の「Quelta終了時に自動保存する」のチェック"}));
        QProcess* quelta =
            a.start(program, {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runDir.path()}, this);

        // The peer answers the member search, so the program counts it among its members.
        QVERIFY(next(search, 10000).isValid());
        QUdpSocket tx;
        tx.writeDatagram("10.74.0.2,peer,Req,1", QHostAddress("10.74.0.1"), 6722);
        QVERIFY(next(answers, 5000).isValid());
        // Caption lines from the peer fill the display past the exit save's 21 lines.
        const QStringList captions{QStringLiteral("一行目の字幕"), QStringLiteral("二行目の字幕"), QStringLiteral("三行目の字幕")};
        for (const QString& c : captions) {
            tx.writeDatagram(Cp932::encode(c), QHostAddress("10.74.0.1"), 6711);
            QTest::qWait(50);
        }

        // The schedule starts with the start-up file, five seconds after the start.
        const QRegularExpression timeLine(QStringLiteral("（\\d{1,2}時\\d{1,2}分\\d{1,2}秒）$"));
        const QNetworkDatagram advance = next(contact, 50000);
        QVERIFY2(advance.isValid(), "no advance notice");
        QElapsedTimer sinceAdvance;
        sinceAdvance.start();
        const QString advanceText = Cp932::decode(advance.data());
        QVERIFY2(advanceText.startsWith(QStringLiteral("試験局３０秒前です。（")), qPrintable(advanceText));
        QVERIFY2(timeLine.match(advanceText).hasMatch(), qPrintable(advanceText));
        QCOMPARE(advance.senderAddress(), QHostAddress("10.74.0.1"));
        QCOMPARE(advance.senderPort(), 6727);

        const QNetworkDatagram notice = next(contact, 40000);
        QVERIFY2(notice.isValid(), "no notice");
        const qint64 gap = sinceAdvance.elapsed();
        const QString noticeText = Cp932::decode(notice.data());
        QVERIFY2(noticeText.startsWith(QStringLiteral("試験局交代です！（")), qPrintable(noticeText));
        QVERIFY2(timeLine.match(noticeText).hasMatch(), qPrintable(noticeText));
        QVERIFY2(gap > 27000 && gap < 33000, qPrintable(QString::number(gap)));
        QVERIFY(!contact.hasPendingDatagrams());

        ::kill(pid_t(quelta->processId()), SIGTERM);
        QVERIFY(quelta->waitForFinished(10000));
        QCOMPARE(quelta->exitCode(), 0);

        // The exit save: the display with the closing line, and the contact history.
        const QDir dir(folder.path());
        const QStringList contactFiles = dir.entryList({QStringLiteral("*連絡文.txt")});
        QCOMPARE(contactFiles.size(), 1);
        QStringList displayFiles = dir.entryList({QStringLiteral("*.txt")});
        displayFiles.removeAll(contactFiles[0]);
        QCOMPARE(displayFiles.size(), 1);
        QFile display(dir.filePath(displayFiles[0]));
        QVERIFY(display.open(QIODevice::ReadOnly));
        QStringList expected = captions;
        expected << QStringLiteral("---Ｑｕｅｌｔａ終了時自動保存---");
        const QStringList saved = Cp932::decode(display.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(saved.mid(saved.size() - 4), expected);
        QFile history(dir.filePath(contactFiles[0]));
        QVERIFY(history.open(QIODevice::ReadOnly));
        QVERIFY(Cp932::decode(history.readAll()).contains(QStringLiteral("交代です！")));
    }
};

QTEST_GUILESS_MAIN(MessagingSystemTest)
#include "test_messaging_system.moc"

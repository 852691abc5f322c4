// Online captions from the real program: it starts in a private namespace from a folder whose
// start-up file points it at a caption endpoint in a second private namespace, and posts what its
// display shows (lines from a peer over real UDP, and one typed with xdotool) as a meeting or a
// stream expects: the last seq asked first, seq one higher for each caption and the same on a
// retry, lang, the content type, the body of each kind; a failed post retried after a second and a
// post without an answer given up after ten seconds and retried after two more.
#include "netns.h"
#include "peer.h"
#include "../unit/caption_endpoint.h"
#include "text/cp932.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QTest>
#include <QTimeZone>
#include <csignal>

using namespace SystemTest;
using Testing::CaptionEndpoint;
using Testing::EndpointAnswer;
using Testing::EndpointRequest;

namespace {

const QString kStation = QStringLiteral("10.81.0.1");
const QString kPeer = QStringLiteral("10.81.0.2");
constexpr quint16 kEndpointPort = 8080;
// The meeting's caption address: its own query must reach the endpoint byte for byte.
const QByteArray kMeetingQuery = "id=8812&ns=Zm9vYmFy%2B%3D&expire=86400&signature=a%2Cb%2Fc";

// The real program from a folder of its own whose start-up file holds `settings`.
class Program {
public:
    Program(Namespace& ns, const XServer& x, const QStringList& settings, QObject* parent) {
        const QString program = folder_.filePath(QStringLiteral("quelta"));
        ok_ = QFile::copy(QStringLiteral(QUELTA_BINARY), program) &&
              QFile::setPermissions(program, QFile::permissions(QStringLiteral(QUELTA_BINARY)));
        QFile f(folder_.filePath(QStringLiteral("自動読込表示設定.dp9")));
        ok_ = ok_ && f.open(QIODevice::WriteOnly);
        for (const QString& l : QStringList{QStringLiteral("999:＜番号付き表示設定ファイル２＞")} + settings)
            f.write(Cp932::encode(l) + "\r\n");
        f.close();
        if (ok_)
            process_ = ns.start(program, {"DISPLAY=" + x.display(), "XDG_RUNTIME_DIR=" + runDir_.path(), "QT_QPA_PLATFORM=xcb"},
                                parent);
    }
    bool ok() const { return ok_ && process_; }
    // Ends it as the desktop would; true when it ended cleanly.
    bool stop() {
        ::kill(pid_t(process_->processId()), SIGTERM);
        return process_->waitForFinished(10000) && process_->exitCode() == 0;
    }

private:
    QTemporaryDir folder_, runDir_;
    QProcess* process_ = nullptr;
    bool ok_ = false;
};

void sendLine(QUdpSocket& tx, const QString& text) {
    tx.writeDatagram(Cp932::encode(text), QHostAddress(kStation), 6711);
}

}  // namespace

class OnlineSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = programUnavailable({"Xvfb", "xdotool"});
        if (!why.isEmpty()) QSKIP(qPrintable(why));
    }
    void meetingGetsTheDisplayWithRetries();
    void streamGetsTimedCaptions();
};

void OnlineSystemTest::meetingGetsTheDisplayWithRetries() {
    const qint64 pid = QCoreApplication::applicationPid();
    Namespace a(QStringLiteral("qsys%1o").arg(pid), kStation);
    Namespace b(QStringLiteral("qsys%1p").arg(pid), kPeer);
    QVERIFY(a.joinTo(b));
    QVERIFY(b.enter());
    CaptionEndpoint endpoint;
    int posts = 0;
    endpoint.answer = [&](const EndpointRequest& r) {
        if (r.method == "GET") return EndpointAnswer{200, "41"};
        ++posts;
        if (posts == 1) return EndpointAnswer{503, "busy"};       // a failure
        if (posts == 2) return EndpointAnswer{200, {}, 0, true};  // no answer at all
        return EndpointAnswer{};
    };
    QVERIFY(endpoint.listen(QHostAddress(kPeer), kEndpointPort));
    XServer x(a);
    QVERIFY(x.ok());
    Program quelta(a, x,
                   {QStringLiteral("952:zoom:オンライン字幕の送信先の種類"),
                    QStringLiteral("953:http://%1:%2/closedcaption?%3:オンライン字幕の送信先URL")
                        .arg(kPeer)
                        .arg(kEndpointPort)
                        .arg(QString::fromLatin1(kMeetingQuery)),
                    QStringLiteral("954:jp-JP:オンライン字幕の言語")},
                   this);
    QVERIFY(quelta.ok());

    // Once the start-up file is read, the meeting is asked for the last seq it took.
    QVERIFY(endpoint.waitForRequests(1, 20000));
    const EndpointRequest ask = endpoint.requests.first();
    QCOMPARE(ask.method, QByteArray("GET"));
    QCOMPARE(ask.target, "/closedcaption/seq?" + kMeetingQuery);

    QUdpSocket tx;
    sendLine(tx, QStringLiteral("会議の字幕です。"));
    QVERIFY(endpoint.waitForPosts(1));
    sendLine(tx, QStringLiteral("二つ目の字幕"));  // waits: one request at a time
    sendLine(tx, QStringLiteral("上の行\r\n下の行"));
    // 503, a second later the same seq (after asking again): no answer; ten seconds later given
    // up, and two seconds after that the same seq once more, answered.
    QVERIFY(endpoint.waitForPosts(3, 30000));
    QVERIFY(endpoint.waitForPosts(5, 10000));

    // Typed on the station itself: its own line goes out as well.
    QString id;
    QVERIFY(run({"ip", "netns", "exec", a.name(), "env", "DISPLAY=" + x.display(), "xdotool", "search", "--name",
                 "Quelta7r1"},
                &id));
    const QString window = id.split(u'\n', Qt::SkipEmptyParts).value(0);
    auto xdo = [&](const QStringList& args) {
        return run(QStringList{"ip", "netns", "exec", a.name(), "env", "DISPLAY=" + x.display(), "xdotool"} + args);
    };
    QVERIFY(xdo({"windowfocus", "--sync", window}));
    QVERIFY(xdo({"key", "--window", window, "Escape"}));  // erase the instruction line
    QVERIFY(xdo({"type", "--delay", "100", "--window", window, "Thank you"}));
    QVERIFY(xdo({"key", "--window", window, "Return"}));
    QVERIFY(endpoint.waitForPosts(6));

    QStringList order;
    for (const EndpointRequest& r : endpoint.requests)
        order << (r.method == "GET" ? QStringLiteral("GET") : QStringLiteral("POST %1").arg(r.seq()));
    QCOMPARE(order, (QStringList{"GET", "POST 42", "GET", "POST 42", "GET", "POST 42", "POST 43", "POST 44", "POST 45"}));
    const QList<EndpointRequest> all = endpoint.requests;
    const qint64 afterFailure = all[2].atMs - all[1].atMs;
    const qint64 afterTimeout = all[4].atMs - all[3].atMs;
    QVERIFY2(afterFailure >= 900 && afterFailure < 5000, qPrintable(QString::number(afterFailure)));
    QVERIFY2(afterTimeout >= 11000 && afterTimeout < 16000, qPrintable(QString::number(afterTimeout)));
    for (int i : {2, 4}) QCOMPARE(all[i].target, ask.target);

    QStringList texts;
    for (const EndpointRequest& p : endpoint.posts()) {
        QCOMPARE(p.path(), QByteArray("/closedcaption"));
        QCOMPARE(p.query(), kMeetingQuery + "&seq=" + QByteArray::number(p.seq()) + "&lang=jp-JP");
        QCOMPARE(p.header("Content-Type"), QByteArray("text/plain; charset=utf-8"));
        texts << QString::fromUtf8(p.body);
    }
    QCOMPARE(texts, (QStringList{"会議の字幕です。", "会議の字幕です。", "会議の字幕です。", "二つ目の字幕",
                                 "上の行\n下の行", "Thank you"}));
    QCOMPARE(endpoint.mostInFlight, 1);
    QVERIFY(quelta.stop());
}

void OnlineSystemTest::streamGetsTimedCaptions() {
    const qint64 pid = QCoreApplication::applicationPid();
    Namespace a(QStringLiteral("qsys%1q").arg(pid), kStation);
    Namespace b(QStringLiteral("qsys%1r").arg(pid), kPeer);
    QVERIFY(a.joinTo(b));
    QVERIFY(b.enter());
    CaptionEndpoint endpoint;
    QVERIFY(endpoint.listen(QHostAddress(kPeer), kEndpointPort));
    XServer x(a);
    QVERIFY(x.ok());
    Program quelta(a, x,
                   {QStringLiteral("952:youtube:オンライン字幕の送信先の種類"),
                    QStringLiteral("953:http://%1:%2/closedcaption?cid=abcd-efgh-ijkl-mnop:オンライン字幕の送信先URL")
                        .arg(kPeer)
                        .arg(kEndpointPort)},
                   this);
    QVERIFY(quelta.ok());
    QTest::qWait(7000);  // past the start-up's second phase, which reads the file
    QUdpSocket tx;
    const QDateTime before = QDateTime::currentDateTimeUtc();
    sendLine(tx, QStringLiteral("配信の字幕です。"));
    sendLine(tx, QStringLiteral("上の行\r\n下の行"));
    QVERIFY(endpoint.waitForPosts(2));
    const QDateTime after = QDateTime::currentDateTimeUtc();

    QCOMPARE(endpoint.requests.size(), 2);  // a stream is never asked for its numbers
    const QStringList expected{QStringLiteral("配信の字幕です。"), QStringLiteral("上の行<br>下の行")};
    for (int i = 0; i < 2; ++i) {
        const EndpointRequest& p = endpoint.requests[i];
        QCOMPARE(p.method, QByteArray("POST"));
        QCOMPARE(p.target, "/closedcaption?cid=abcd-efgh-ijkl-mnop&seq=" + QByteArray::number(i + 1));
        QCOMPARE(p.header("Content-Type"), QByteArray("text/plain; charset=utf-8"));
        const QStringList body = QString::fromUtf8(p.body).split(u'\n');
        QCOMPARE(body.size(), 3);  // time, text, and the final line break
        QCOMPARE(body[1], expected[i]);
        QCOMPARE(body[2], QString());
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}$")).match(body[0]).hasMatch(),
                 qPrintable(body[0]));
        QDateTime shown = QDateTime::fromString(body[0], QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
        shown.setTimeZone(QTimeZone::utc());
        QVERIFY2(shown.msecsTo(before) <= 1000 && shown.msecsTo(after) >= -1000, qPrintable(body[0]));
    }
    QVERIFY(quelta.stop());
}

QTEST_GUILESS_MAIN(OnlineSystemTest)
#include "test_online_system.moc"

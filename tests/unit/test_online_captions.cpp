// Online captions against a caption endpoint of the test's own, over real sockets in a network
// namespace of the test's own (root only; skipped otherwise): the requests as a meeting and a
// stream expect them, retries with the same seq after a failure and after a timeout, the last seq
// asked at the start, after an address change and before a resend, the bounded queue, which
// display changes are captions, and the group that shows it all. Times are shortened by the
// poster's timing (the real ones are in the system test).
#include "caption_endpoint.h"
#include "private_network.h"

#include "audience/clock.h"
#include "audience/online_captions.h"
#include "audience/online_panel.h"
#include "audience/record_mirror.h"
#include "core/record.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QTextDocument>
#include <QTimeZone>
#include <QTest>

using namespace Audience;
using namespace Testing;

namespace {

const QString kStart = QStringLiteral("文先頭　\n") + QString(19, u'\n');
// A meeting's caption address: its own query carries a signature that must reach it byte for byte.
const QString kMeeting = QStringLiteral("/closedcaption?id=8812&ns=Zm9vYmFy%2B%3D&expire=86400&signature=a%2Cb%2Fc");

class FakeClock final : public Clock {
public:
    QDateTime now() const override { return t; }
    QDateTime t = QDateTime(QDate(2024, 5, 1), QTime(13, 0, 0, 250), QTimeZone::utc());
};

// A display record with its mirror and the poster following it, as a station has them: the
// record is filled with its start-up filler after the poster is made.
struct Rig {
    QTextDocument doc;
    Core::Record record{&doc};
    FakeClock clock;
    RecordMirror mirror{record};
    QNetworkAccessManager web;
    OnlineCaptions online{mirror, clock};
    CaptionEndpoint endpoint;
    QStringList explained;
    Rig() {
        record.setText(kStart);
        online.setNetwork(&web);
        online.setTiming({300, 50, 200});
        QObject::connect(&online, &OnlineCaptions::explain, [this](const QString& l) { explained << l; });
    }
    bool start(OnlineCaptions::Kind kind, const QString& path = kMeeting, quint16 port = 0) {
        if (!endpoint.listen(QHostAddress::LocalHost, port)) return false;
        online.setKind(kind);
        online.setUrl(address(path));
        return true;
    }
    QString address(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1").arg(endpoint.port()) + path;
    }
    bool settled(int ms = 5000) {
        QTest::qWait(20);  // the captions of this turn are posted once it is over
        return QTest::qWaitFor([&] { return !online.isBusy() && online.status().waiting == 0; }, ms);
    }
    QStringList postedTexts() const {
        QStringList out;
        for (const EndpointRequest& r : endpoint.posts()) out << QString::fromUtf8(r.body);
        return out;
    }
    QList<qint64> postedSeqs() const {
        QList<qint64> out;
        for (const EndpointRequest& r : endpoint.posts()) out << r.seq();
        return out;
    }
    QStringList sequence() const {  // "GET /seq", "POST 42", … in order
        QStringList out;
        for (const EndpointRequest& r : endpoint.requests)
            out << (r.method == "GET" ? QStringLiteral("GET ") + QString::fromLatin1(r.path())
                                      : QStringLiteral("POST %1").arg(r.seq()));
        return out;
    }
};

// The last seq a meeting took: the highest posted, answered or not.
EndpointAnswer meeting(const EndpointRequest& r, qint64 before, const QList<EndpointRequest>& all) {
    if (r.method != "GET") return {};
    qint64 last = before;
    for (const EndpointRequest& p : all)
        if (p.method == "POST") last = qMax(last, p.seq());
    return {200, QByteArray::number(last)};
}

}  // namespace

class OnlineCaptionsTest : public QObject {
    Q_OBJECT
public:
    explicit OnlineCaptionsTest(bool isolated) : isolated_(isolated) {}

private slots:
    void requestsAreBuiltFromTheAddress();
    void meetingGetsEachCaptionOnceInOrder();
    void failureAndTimeoutAreRetriedWithTheSameSeq();
    void captionWhoseAnswerWasLostIsNotSentTwice();
    void lastSeqFailingStartsFromOneAndAddressChangeAsksAgain();
    void streamGetsTimedBodies();
    void queueIsBoundedAndItsOverflowCounted();  // the rest of the queue drains at some 30 posts a second
    void correctionPostsOnlyWhatChanged();
    void handEditsAndSwitchingOffSendNothing();
    void groupShowsWhatHappened();

private:
    void needNetwork() {
        if (!isolated_) QSKIP("needs root for a private network namespace (the endpoint opens a real port)");
    }
    bool isolated_;
};

void OnlineCaptionsTest::requestsAreBuiltFromTheAddress() {
    const QUrl meetingUrl(QStringLiteral("https://wmcc.zoom.us") + kMeeting);
    using K = OnlineCaptions::Kind;
    QCOMPARE(OnlineCaptions::postUrl(meetingUrl, K::Zoom, 42, QStringLiteral("jp-JP")).toString(QUrl::FullyEncoded),
             QStringLiteral("https://wmcc.zoom.us") + kMeeting + QStringLiteral("&seq=42&lang=jp-JP"));
    QCOMPARE(OnlineCaptions::seqUrl(meetingUrl).toString(QUrl::FullyEncoded),
             QStringLiteral("https://wmcc.zoom.us/closedcaption/seq") + kMeeting.mid(kMeeting.indexOf(u'?')));
    // A seq or lang of the address's own is replaced, not doubled; a stream gets no lang.
    const QUrl stream(QStringLiteral("http://upload.youtube.com/closedcaption/?cid=ab-cd&seq=7&lang=en"));
    QCOMPARE(OnlineCaptions::postUrl(stream, K::YouTube, 3, QStringLiteral("jp-JP")).toString(QUrl::FullyEncoded),
             QStringLiteral("http://upload.youtube.com/closedcaption/?cid=ab-cd&seq=3"));
    QCOMPARE(OnlineCaptions::seqUrl(stream).toString(QUrl::FullyEncoded),
             QStringLiteral("http://upload.youtube.com/closedcaption/seq?cid=ab-cd"));
    QCOMPARE(OnlineCaptions::postUrl(QUrl(QStringLiteral("http://h/p")), K::Zoom, 1, QStringLiteral("en US")).query(QUrl::FullyEncoded),
             QStringLiteral("seq=1&lang=en%20US"));

    // Bodies: the meeting takes the text; the stream its UTC time with milliseconds first, and
    // "<br>" for a line break inside the caption.
    const QDateTime tokyo(QDate(2024, 5, 1), QTime(13, 0, 0, 5), QTimeZone(9 * 3600));
    QCOMPARE(OnlineCaptions::body(K::Zoom, QStringLiteral("上の行\n下の行"), tokyo), QStringLiteral("上の行\n下の行").toUtf8());
    QCOMPARE(OnlineCaptions::body(K::YouTube, QStringLiteral("上の行\n下の行"), tokyo),
             QStringLiteral("2024-05-01T04:00:00.005\n上の行<br>下の行\n").toUtf8());

    QCOMPARE(OnlineCaptions::kindOf(u"zoom"), K::Zoom);
    QCOMPARE(OnlineCaptions::kindOf(u"youtube"), K::YouTube);
    QCOMPARE(OnlineCaptions::kindOf(u"Zoom"), K::Off);
    QCOMPARE(OnlineCaptions::wordOf(K::YouTube), QStringLiteral("youtube"));
    QCOMPARE(OnlineCaptions::wordOf(K::Off), QStringLiteral("off"));
}

void OnlineCaptionsTest::meetingGetsEachCaptionOnceInOrder() {
    needNetwork();
    Rig rig;
    rig.endpoint.answer = [&](const EndpointRequest& r) {
        EndpointAnswer a = meeting(r, 41, rig.endpoint.requests);
        a.delayMs = 40;  // slow enough for a second request to overlap, were one sent
        return a;
    };
    QVERIFY(rig.start(OnlineCaptions::Kind::Zoom));
    QVERIFY(rig.endpoint.waitForRequests(1));
    // Each change comes in a turn of the event loop of its own, as lines arrive.
    auto then = [](auto change) {
        change();
        QTest::qWait(5);
    };
    Core::Record& r = rig.record;
    then([&] { r.addLine(QStringLiteral("一行目です。")); });
    then([&] { r.addLine(QStringLiteral("`rきょう`s今日は")); });
    then([&] { r.addLine(QStringLiteral("上の行\n下の行")); });  // typed with a line break: one caption
    then([&] { r.addLine(QString()); });                        // an empty line is no caption
    then([&] { r.appendToLastLine(QStringLiteral("続き")); });   // blank-line-only mode: the joined part
    then([&] { r.appendToLastLine(QStringLiteral("です")); });
    then([&] { r.removeLastLine(); });                          // an undo cannot be taken back: nothing
    // Lines of one turn that are gone by its end were never shown long enough to be posted.
    r.addLine(QStringLiteral("すぐ消えた行"));
    r.removeLastLine();
    QVERIFY(rig.settled());
    QTest::qWait(100);

    QCOMPARE(rig.sequence(), (QStringList{"GET /closedcaption/seq", "POST 42", "POST 43", "POST 44", "POST 45", "POST 46"}));
    QCOMPARE(rig.postedTexts(), (QStringList{"一行目です。", "今日（きょう）は", "上の行\n下の行", "続き", "です"}));
    QCOMPARE(rig.endpoint.mostInFlight, 1);
    const EndpointRequest ask = rig.endpoint.requests.first();
    QCOMPARE(ask.query(), kMeeting.mid(kMeeting.indexOf(u'?') + 1).toLatin1());
    for (const EndpointRequest& p : rig.endpoint.posts()) {
        QCOMPARE(p.path(), QByteArray("/closedcaption"));
        QCOMPARE(p.query(), kMeeting.mid(kMeeting.indexOf(u'?') + 1).toLatin1() + "&seq=" +
                                QByteArray::number(p.seq()) + "&lang=jp-JP");
        QCOMPARE(p.header("Content-Type"), QByteArray("text/plain; charset=utf-8"));
    }
    const OnlineCaptions::Status& s = rig.online.status();
    QCOMPARE(s.sent, 5);
    QCOMPARE(s.lastSent, QStringLiteral("です"));
    QCOMPARE(s.nextSeq, 47);
    QVERIFY(s.lastError.isEmpty());
    QVERIFY(rig.explained.isEmpty());
    // The language is the one set at the moment of the post.
    rig.online.setLanguage(QStringLiteral("en-US"));
    rig.record.addLine(QStringLiteral("Thank you."));
    QVERIFY(rig.endpoint.waitForPosts(6));
    QCOMPARE(rig.endpoint.posts().last().item(QStringLiteral("lang")), QStringLiteral("en-US"));
}

void OnlineCaptionsTest::failureAndTimeoutAreRetriedWithTheSameSeq() {
    needNetwork();
    Rig rig;
    int posts = 0;
    rig.endpoint.answer = [&](const EndpointRequest& r) {
        if (r.method == "GET") return EndpointAnswer{200, "0"};  // this meeting took nothing yet
        ++posts;
        if (posts == 1) return EndpointAnswer{500, "busy"};
        if (posts == 2) return EndpointAnswer{200, {}, 0, true};  // no answer: the poster's timeout
        return EndpointAnswer{};
    };
    QVERIFY(rig.start(OnlineCaptions::Kind::Zoom));
    rig.record.addLine(QStringLiteral("最初の字幕"));
    QVERIFY(QTest::qWaitFor([&] { return !rig.online.status().lastError.isEmpty(); }, 5000));
    QVERIFY(rig.online.status().lastError.contains(QStringLiteral("HTTP 500")));
    rig.record.addLine(QStringLiteral("次の字幕"));  // waits behind the one being retried
    QTest::qWait(20);
    QCOMPARE(rig.online.status().waiting, 2);
    QVERIFY(rig.settled());

    QCOMPARE(rig.sequence(), (QStringList{"GET /closedcaption/seq", "POST 1", "GET /closedcaption/seq", "POST 1",
                                          "GET /closedcaption/seq", "POST 1", "POST 2"}));
    QCOMPARE(rig.postedTexts(), (QStringList{"最初の字幕", "最初の字幕", "最初の字幕", "次の字幕"}));
    const QList<EndpointRequest> r = rig.endpoint.requests;
    // The wait before a retry grows: 50 ms after the failure, 100 ms after the timeout (300 ms);
    // the timers may fire a few per cent early.
    QVERIFY2(r[2].atMs - r[1].atMs >= 50, qPrintable(QString::number(r[2].atMs - r[1].atMs)));
    QVERIFY2(r[4].atMs - r[3].atMs >= 360, qPrintable(QString::number(r[4].atMs - r[3].atMs)));
    QVERIFY(rig.online.status().lastError.contains(QStringLiteral("応答がありません")));
    QCOMPARE(rig.online.status().sent, 2);
    // One line when the trouble began and one when it was over, for the explanation page.
    QCOMPARE(rig.explained.size(), 2);
    QVERIFY(rig.explained[0].contains(QStringLiteral(",[自分],（オンライン字幕）送信できません：")));
    QVERIFY(rig.explained[1].contains(QStringLiteral("送信できるようになりました")));
}

void OnlineCaptionsTest::captionWhoseAnswerWasLostIsNotSentTwice() {
    needNetwork();
    Rig rig;
    rig.endpoint.answer = [&](const EndpointRequest& r) {
        if (r.method == "POST" && r.seq() == 5) return EndpointAnswer{200, {}, 0, true};  // taken, answer lost
        return meeting(r, 4, rig.endpoint.requests);
    };
    QVERIFY(rig.start(OnlineCaptions::Kind::Zoom));
    rig.record.addLine(QStringLiteral("届いた字幕"));
    rig.record.addLine(QStringLiteral("その次"));
    QVERIFY(rig.settled());
    QCOMPARE(rig.sequence(), (QStringList{"GET /closedcaption/seq", "POST 5", "GET /closedcaption/seq", "POST 6"}));
    QCOMPARE(rig.postedTexts(), (QStringList{"届いた字幕", "その次"}));
    QCOMPARE(rig.online.status().sent, 2);
}

void OnlineCaptionsTest::lastSeqFailingStartsFromOneAndAddressChangeAsksAgain() {
    needNetwork();
    Rig rig;
    rig.endpoint.answer = [&](const EndpointRequest& r) {
        if (r.method == "GET" && r.path() == "/closedcaption/seq") return EndpointAnswer{404, "no"};
        return meeting(r, 9, rig.endpoint.requests);
    };
    QVERIFY(rig.start(OnlineCaptions::Kind::Zoom));
    rig.record.addLine(QStringLiteral("一"));
    QVERIFY(rig.settled());
    QCOMPARE(rig.sequence(), (QStringList{"GET /closedcaption/seq", "POST 1"}));
    QVERIFY(rig.online.status().lastError.contains(QStringLiteral("1番から")));
    // Another meeting: its numbers are asked, and posting goes on after them there.
    rig.online.setUrl(rig.address(QStringLiteral("/other?id=2")));
    rig.record.addLine(QStringLiteral("二"));
    QVERIFY(rig.settled());
    QCOMPARE(rig.sequence().mid(2), (QStringList{"GET /other/seq", "POST 10"}));
    QCOMPARE(rig.endpoint.requests.last().target, QByteArray("/other?id=2&seq=10&lang=jp-JP"));
}

void OnlineCaptionsTest::streamGetsTimedBodies() {
    needNetwork();
    Rig rig;
    QVERIFY(rig.start(OnlineCaptions::Kind::YouTube, QStringLiteral("/closedcaption?cid=abcd-efgh-ijkl")));
    rig.record.addLine(QStringLiteral("配信の字幕"));
    rig.clock.t = rig.clock.t.addMSecs(1500);
    rig.record.addLine(QStringLiteral("二行に\nわたる字幕"));
    QVERIFY(rig.settled());
    QCOMPARE(rig.sequence(), (QStringList{"POST 1", "POST 2"}));  // a stream is not asked for its numbers
    QCOMPARE(rig.postedTexts(), (QStringList{"2024-05-01T13:00:00.250\n配信の字幕\n",
                                             "2024-05-01T13:00:01.750\n二行に<br>わたる字幕\n"}));
    QCOMPARE(rig.endpoint.posts().first().target, QByteArray("/closedcaption?cid=abcd-efgh-ijkl&seq=1"));
    QCOMPARE(rig.endpoint.posts().first().header("Content-Type"), QByteArray("text/plain; charset=utf-8"));
}

void OnlineCaptionsTest::queueIsBoundedAndItsOverflowCounted() {
    needNetwork();
    Rig rig;
    constexpr quint16 kPort = 18731;  // the namespace is ours
    rig.online.setKind(OnlineCaptions::Kind::YouTube);
    rig.online.setUrl(QStringLiteral("http://127.0.0.1:%1/cc?cid=x").arg(kPort));  // nobody listens yet
    const QDateTime at = rig.clock.now();
    for (int i = 0; i < OnlineCaptions::kQueueLimit + 5; ++i) rig.online.post(QStringLiteral("行%1").arg(i), at);
    QCOMPARE(rig.online.status().waiting, OnlineCaptions::kQueueLimit);
    QCOMPARE(rig.online.status().dropped, 5);
    QVERIFY(QTest::qWaitFor([&] { return rig.online.status().lastError.contains(QStringLiteral("接続を断られ")); }, 5000));
    QCOMPARE(rig.explained.filter(QStringLiteral("古いものから捨てています")).size(), 1);

    QVERIFY(rig.endpoint.listen(QHostAddress::LocalHost, kPort));
    QVERIFY(rig.endpoint.waitForPosts(2));
    // The caption being retried stays at the head; the oldest ones behind it went.
    QVERIFY(rig.postedTexts()[0].endsWith(QStringLiteral("\n行0\n")));
    QVERIFY(rig.postedTexts()[1].endsWith(QStringLiteral("\n行6\n")));
    QCOMPARE(rig.postedSeqs().mid(0, 2), (QList<qint64>{1, 2}));
    QCOMPARE(rig.explained.filter(QStringLiteral("あふれて捨てた字幕：5件（これまでに5件）")).size(), 1);
    QVERIFY(rig.online.status().waiting < OnlineCaptions::kQueueLimit);
}

void OnlineCaptionsTest::correctionPostsOnlyWhatChanged() {
    needNetwork();
    Rig rig;
    QVERIFY(rig.start(OnlineCaptions::Kind::YouTube, QStringLiteral("/cc?cid=x")));
    rig.record.addLine(QStringLiteral("前の行"));
    rig.record.addLine(QStringLiteral("誤りのある行"));
    rig.record.addLine(QStringLiteral("長い行はよそでは折り返される"));
    QVERIFY(rig.settled());
    // A correction batch of the last three lines, wrapped at the sender's width: the first two
    // lines and the wrapped repetition are on the platform already.
    for (const char* l : {"前の行", "誤りを直した行", "長い行はよそでは", "折り返される"}) rig.record.addLine(QString::fromUtf8(l));
    rig.mirror.corrected(3, 4);
    QVERIFY(rig.settled());
    QStringList texts = rig.postedTexts();
    QCOMPARE(texts.size(), 4);
    QVERIFY(texts.last().endsWith(QStringLiteral("\n誤りを直した行\n")));
    // Only the wrapped tail changed: only its changed line goes.
    for (const char* l : {"長い行はよそでは", "折り返されます"}) rig.record.addLine(QString::fromUtf8(l));
    rig.mirror.corrected(2, 2);
    QVERIFY(rig.settled());
    texts = rig.postedTexts();
    QCOMPARE(texts.size(), 5);
    QVERIFY(texts.last().endsWith(QStringLiteral("\n折り返されます\n")));
}

void OnlineCaptionsTest::handEditsAndSwitchingOffSendNothing() {
    needNetwork();
    Rig rig;
    bool byHand = false;
    rig.online.setHandEditing([&] { return byHand; });
    QVERIFY(rig.start(OnlineCaptions::Kind::YouTube, QStringLiteral("/cc?cid=x")));
    rig.record.addLine(QStringLiteral("表示された行"));
    QVERIFY(rig.settled());
    byHand = true;  // the word-processor screen, correction mode: the typist edits the record
    rig.record.appendToLastLine(QStringLiteral("に手で足した"));
    rig.record.addLine(QStringLiteral("手で打った行"));
    byHand = false;
    rig.record.addLine(QStringLiteral("次に表示された行"));
    QVERIFY(rig.settled());
    QCOMPARE(rig.endpoint.posts().size(), 2);
    QVERIFY(rig.postedTexts().last().endsWith(QStringLiteral("\n次に表示された行\n")));

    // Switched off: what waits is dropped and nothing more is sent.
    rig.endpoint.close();
    rig.online.setUrl(QStringLiteral("http://127.0.0.1:1/cc?cid=x"));
    for (const char* l : {"一", "二", "三"}) rig.record.addLine(QString::fromUtf8(l));
    QVERIFY(QTest::qWaitFor([&] { return rig.online.status().waiting == 3; }, 2000));
    rig.online.setKind(OnlineCaptions::Kind::Off);
    QCOMPARE(rig.online.status().waiting, 0);
    QVERIFY(!rig.online.isBusy());
    rig.record.addLine(QStringLiteral("四"));
    QTest::qWait(100);
    QCOMPARE(rig.online.status().waiting, 0);
    QCOMPARE(rig.online.status().sent, 2);
}

void OnlineCaptionsTest::groupShowsWhatHappened() {
    needNetwork();
    Rig rig;
    bool fail = false;
    rig.endpoint.answer = [&](const EndpointRequest& r) {
        if (r.method == "GET") return EndpointAnswer{200, "0"};
        return fail ? EndpointAnswer{403, "denied"} : EndpointAnswer{};
    };
    QVERIFY(rig.endpoint.listen(QHostAddress::LocalHost, 0));
    OnlinePanel panel(rig.online);
    auto label = [&](const char* name) { return panel.findChild<QLabel*>(QString::fromLatin1(name))->text(); };
    QVERIFY(label("LabelOnlineWarning").contains(QStringLiteral("取り消せません")));
    QCOMPARE(label("LabelOnlineError"), QStringLiteral("オンライン字幕は送っていません。"));
    // Set as the settings file sets them: the kind by its word, the address as text.
    panel.setKindWord(QStringLiteral("zoom"));
    QCOMPARE(rig.online.kind(), OnlineCaptions::Kind::Zoom);
    QVERIFY(label("LabelOnlineError").contains(QStringLiteral("送信先URL")));
    panel.urlEdit->setText(rig.address(kMeeting));
    QCOMPARE(rig.online.url(), rig.address(kMeeting));
    panel.languageEdit->setText(QStringLiteral("en-US"));
    QCOMPARE(rig.online.language(), QStringLiteral("en-US"));
    rig.record.addLine(QStringLiteral("会議に出る字幕"));
    QVERIFY(rig.settled());
    QVERIFY(label("LabelOnlineSent").startsWith(QStringLiteral("送信済み：1件")));
    QVERIFY(label("LabelOnlineSent").contains(QStringLiteral("「会議に出る字幕」")));
    QCOMPARE(label("LabelOnlineError"), QStringLiteral("エラー：なし"));
    fail = true;
    rig.record.addLine(QStringLiteral("断られる字幕"));
    QVERIFY(QTest::qWaitFor([&] { return label("LabelOnlineError").contains(QStringLiteral("HTTP 403")); }, 5000));
    QVERIFY(label("LabelOnlineError").startsWith(QStringLiteral("最後のエラー（13:00:00）：送信先が受け付けませんでした")));
    QVERIFY(label("LabelOnlineWaiting").startsWith(QStringLiteral("送信待ち：1件")));
    panel.setKindWord(QStringLiteral("unknown"));
    QCOMPARE(panel.kindWord(), QStringLiteral("off"));
    QCOMPARE(rig.online.kind(), OnlineCaptions::Kind::Off);
    QVERIFY(label("LabelOnlineWaiting").startsWith(QStringLiteral("送信待ち：0件")));
}

int main(int argc, char** argv) {
    const bool isolated = Testing::enterPrivateNetwork();  // before anything opens a socket
    QApplication app(argc, argv);
    OnlineCaptionsTest test(isolated);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_online_captions.moc"

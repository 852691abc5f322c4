// The audience page over real sockets, in a network namespace of the test's own (root only;
// skipped otherwise): the page, the transcripts, 404 and 405, the event stream with catch-up after
// a reconnect, the reader cap, readers that stop reading, and switching on and off; requests that
// never end, heads that never end, and one address opening connection after connection.
#include "http_client.h"
#include "private_network.h"

#include "audience/audience_panel.h"
#include "audience/clock.h"
#include "audience/event_log.h"
#include "audience/guarded_listener.h"
#include "audience/reader_pool.h"
#include "audience/service.h"
#include "audience/transcript.h"
#include "core/record.h"

#include <QApplication>
#include <QCheckBox>
#include <QHttpServer>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTextDocument>
#include <QTest>
#include <atomic>
#include <thread>

using namespace Audience;
using namespace Testing;

namespace {
constexpr quint16 kPort = Service::kDefaultPort;  // the namespace is ours: no other program holds it
}

class AudienceHttpTest : public QObject {
    Q_OBJECT
public:
    explicit AudienceHttpTest(bool isolated) : isolated_(isolated) {}

private slots:
    void initTestCase() {
        if (!isolated_) QSKIP("needs root for a private network namespace (the server opens a real port)");
    }
    void init() {
        doc_ = std::make_unique<QTextDocument>();
        record_ = std::make_unique<Core::Record>(doc_.get());
        record_->setText(QStringLiteral("文先頭　\n") + QString(19, u'\n'));
        service_ = std::make_unique<Service>(*record_, clock_);
        QVERIFY(service_->setPort(kPort));
        QVERIFY2(service_->setEnabled(true), qPrintable(service_->errorString()));
    }
    void cleanup() {
        service_.reset();
        record_.reset();
        doc_.reset();
    }

    void pageIsSelfContained();
    void transcriptsAreServed();
    void otherPathsAndMethodsAreRefused();
    void streamDeliversLinesAndCatchesUp();
    void atTheCapTheReaderSilentLongestMakesRoom();
    void readerThatStopsReadingIsDropped();
    void readerSilentTooLongIsDropped();
    void oneAddressHoldsAFewStreams();
    void requestsThatNeverEndAreClosed();
    void overlongHeadsAreAnswered431();
    void connectionsAreBoundedPerAddressAndInAll();
    void switchingOffClosesEverything();
    void panelSwitchesAndShowsTheAddress();

private:
    bool isolated_;
    SystemClock clock_;
    std::unique_ptr<QTextDocument> doc_;
    std::unique_ptr<Core::Record> record_;
    std::unique_ptr<Service> service_;
};

void AudienceHttpTest::pageIsSelfContained() {
    const HttpReply page = fetch(kPort, get("/"));
    QCOMPARE(page.status, 200);
    QCOMPARE(page.header("Content-Type"), QByteArray("text/html; charset=utf-8"));
    QVERIFY(page.header("Content-Security-Policy").contains("default-src 'none'"));
    QVERIFY(page.body.contains("<html lang=\"ja\">"));
    QVERIFY(page.body.contains("new EventSource(\"events\""));
    // Nothing from outside: no absolute address, protocol-relative reference, import or url().
    static const QRegularExpression outside(QStringLiteral("(https?:|\\bsrc\\s*=|@import|url\\(|[\"'(]//)"));
    QVERIFY2(!outside.match(QString::fromUtf8(page.body)).hasMatch(),
             qPrintable(outside.match(QString::fromUtf8(page.body)).captured(0)));

    // HEAD: the same head, no body; the next response on the connection starts where it should.
    QTcpSocket s;
    const HttpReply head = fetch(kPort, get("/", "HEAD"), &s);
    QCOMPARE(head.status, 200);
    QCOMPARE(head.header("Content-Length"), QByteArray::number(page.body.size()));
    QVERIFY(head.body.isEmpty());
    const HttpReply again = fetch(kPort, get("/transcript.txt"), &s);
    QCOMPARE(again.status, 200);
    QCOMPARE(again.header("Content-Type"), QByteArray("text/plain; charset=utf-8"));
}

void AudienceHttpTest::transcriptsAreServed() {
    record_->addLine(QStringLiteral("`rこうえん`s講演を始めます"));
    const HttpReply vtt = fetch(kPort, get("/transcript.vtt"));
    QCOMPARE(vtt.status, 200);
    QCOMPARE(vtt.header("Content-Type"), QByteArray("text/vtt; charset=utf-8"));
    QCOMPARE(QString::fromUtf8(vtt.body), service_->transcript().toWebVtt());
    QVERIFY(vtt.body.startsWith("WEBVTT\n"));
    QVERIFY(QString::fromUtf8(vtt.body).contains(QStringLiteral("<ruby>講演<rt>こうえん</rt></ruby>を始めます")));
    const HttpReply txt = fetch(kPort, get("/transcript.txt"));
    QCOMPARE(QString::fromUtf8(txt.body), QStringLiteral("[0:00:00] 講演（こうえん）を始めます\n"));
}

void AudienceHttpTest::otherPathsAndMethodsAreRefused() {
    record_->addLine(QStringLiteral("そのままの行"));
    const QString before = doc_->toPlainText();
    for (const char* path : {"/nope", "/index.html", "/events/1", "/transcript.srt", "/../etc/passwd"}) {
        const HttpReply r = fetch(kPort, get(path));
        QCOMPARE(r.status, 404);
    }
    for (const auto& [method, path] : {std::pair{"POST", "/"}, {"PUT", "/events"}, {"DELETE", "/transcript.vtt"},
                                       {"OPTIONS", "/"}, {"PATCH", "/transcript.txt"}, {"POST", "/nope"},
                                       {"BREW", "/"}}) {
        const HttpReply r = fetch(kPort, get(path, method, "Content-Length: 3\r\n") + "abc");
        QCOMPARE(r.status, 405);
        QCOMPARE(r.header("Allow"), QByteArray("GET, HEAD"));
    }
    QCOMPARE(doc_->toPlainText(), before);
    QCOMPARE(service_->readers().count(), 0);
}

void AudienceHttpTest::streamDeliversLinesAndCatchesUp() {
    record_->addLine(QStringLiteral("始まる前の行"));
    StreamClient a;
    a.open(kPort);
    QVERIFY(a.waitForEvents(1));
    QCOMPARE(a.reply.status, 200);
    QCOMPARE(a.reply.header("Content-Type"), QByteArray("text/event-stream; charset=utf-8"));
    QCOMPARE(a.kinds(), QStringList{"snap"});
    QCOMPARE(a.events[0]["lines"].toArray().size(), 1);
    QTRY_COMPARE(service_->readers().count(), 1);

    record_->addLine(QStringLiteral("新しい行"));
    QVERIFY(a.waitForEvents(2));
    QCOMPARE(a.events[1]["t"].toString(), QStringLiteral("add"));
    QCOMPARE(a.events[1]["r"].toArray()[0].toString(), QStringLiteral("新しい行"));
    const QByteArray seen = a.lastId;
    QCOMPARE(seen, service_->events().lastEventId());

    // The reader's Wi-Fi drops; meanwhile a line arrives and one is taken back.
    a.socket.abort();
    QTRY_COMPARE(service_->readers().count(), 0);
    record_->addLine(QStringLiteral("いない間の行"));
    record_->addLine(QStringLiteral("取り消される行"));
    record_->removeLastLine();

    StreamClient b;  // the browser reconnects by itself, naming the last event it had
    b.open(kPort, "/events", "Last-Event-ID: " + seen + "\r\n");
    QVERIFY(b.waitForEvents(3));
    QCOMPARE(b.kinds(), (QStringList{"add", "add", "del"}));
    StreamClient c;  // the page opens a new stream and says the same in the query
    c.open(kPort, "/events?last=" + seen);
    QVERIFY(c.waitForEvents(3));
    QCOMPARE(c.kinds(), b.kinds());
    StreamClient d;  // a name from long ago gets a snapshot
    d.open(kPort, "/events", "Last-Event-ID: gone-3\r\n");
    QVERIFY(d.waitForEvents(1));
    QCOMPARE(d.kinds(), QStringList{"snap"});
    QCOMPARE(d.events[0]["lines"].toArray().size(), 3);
}

void AudienceHttpTest::atTheCapTheReaderSilentLongestMakesRoom() {
    service_->readers().setMaxReaders(3);
    SilentReader stalled;
    QVERIFY(stalled.open(kPort));
    QTRY_COMPARE(service_->readers().count(), 1);
    std::vector<std::unique_ptr<StreamClient>> readers;
    for (int i = 0; i < 2; ++i) {
        readers.push_back(std::make_unique<StreamClient>());
        readers.back()->open(kPort);
        QVERIFY(readers.back()->waitForEvents(1));
    }
    // Enough to fill the silent reader's buffers: its data waits, the others take theirs.
    for (int i = 0; i < 200; ++i) record_->addLine(QString(400, u'字'));
    for (auto& r : readers) QVERIFY(r->waitForEvents(201, 10000));
    QTest::qWait(1200);  // a look or two of the writer at who took what
    // A new phone gets in; the silent reader made room, not the live ones.
    StreamClient phone;
    phone.open(kPort);
    QVERIFY(phone.waitForEvents(1));
    QCOMPARE(phone.kinds(), QStringList{"snap"});
    QTRY_COMPARE(service_->readers().madeRoom(), 1);
    QCOMPARE(service_->readers().count(), 3);
    for (auto& r : readers) QVERIFY(r->socket.state() == QAbstractSocket::ConnectedState);
    // Among readers all caught up, the one admitted first makes room.
    StreamClient late;
    late.open(kPort);
    QVERIFY(late.waitForEvents(1));
    QTRY_VERIFY(readers.front()->socket.state() == QAbstractSocket::UnconnectedState);
    QVERIFY(readers.back()->socket.state() == QAbstractSocket::ConnectedState);
    QVERIFY(phone.socket.state() == QAbstractSocket::ConnectedState);
    // The page and the transcript are served to everyone meanwhile.
    QCOMPARE(fetch(kPort, get("/")).status, 200);
}

void AudienceHttpTest::readerThatStopsReadingIsDropped() {
    service_->readers().setMaxQueuedBytes(64 * 1024);
    StreamClient healthy;
    healthy.open(kPort);
    SilentReader stalled;
    QVERIFY(stalled.open(kPort));
    QVERIFY(healthy.waitForEvents(1));
    QTRY_COMPARE(service_->readers().count(), 2);

    const QString line = QString(400, u'字');  // 1200 bytes of UTF-8 per event
    const int lines = 1500;                     // far more than any socket buffers
    for (int i = 0; i < lines; ++i) {
        record_->addLine(line + QString::number(i));
        // The healthy reader (on this thread) keeps up: never more than 32 events (38 KB) behind.
        if (i % 16 == 15) (void)QTest::qWaitFor([&] { return healthy.events.size() >= i - 30; }, 5000);
    }
    QTRY_COMPARE(service_->readers().count(), 1);
    QCOMPARE(service_->readers().dropped(), 1);
    QVERIFY(healthy.waitForEvents(1 + lines, 20000));
    QCOMPARE(healthy.events.last()["r"].toArray()[0].toString(), line + QString::number(lines - 1));
    QVERIFY(healthy.socket.state() == QAbstractSocket::ConnectedState);
}

void AudienceHttpTest::readerSilentTooLongIsDropped() {
    service_->readers().setSilentMs(500);
    SilentReader gone;
    QVERIFY(gone.open(kPort));
    StreamClient idle;  // takes everything; nothing new comes
    idle.open(kPort);
    QVERIFY(idle.waitForEvents(1));
    QTRY_COMPARE(service_->readers().count(), 2);
    // Enough to fill the kernel's buffers on both ends, well under the queue limit.
    for (int i = 0; i < 200; ++i) record_->addLine(QString(400, u'字'));
    QVERIFY(idle.waitForEvents(201, 10000));
    QTRY_COMPARE(service_->readers().count(), 1);
    QCOMPARE(service_->readers().dropped(), 1);
    // A reader with nothing to take is never silent, however long nothing happens.
    QTest::qWait(1500);
    QCOMPARE(service_->readers().count(), 1);
    QVERIFY(idle.socket.state() == QAbstractSocket::ConnectedState);
}

void AudienceHttpTest::oneAddressHoldsAFewStreams() {
    service_->readers().setMaxPerAddress(2);
    StreamClient first, second, third;
    first.open(kPort);
    QVERIFY(first.waitForEvents(1));
    second.open(kPort);
    QVERIFY(second.waitForEvents(1));
    third.open(kPort);  // the same address: its oldest stream makes room
    QVERIFY(third.waitForEvents(1));
    QTRY_VERIFY(first.socket.state() == QAbstractSocket::UnconnectedState);
    QVERIFY(second.socket.state() == QAbstractSocket::ConnectedState);
    QCOMPARE(service_->readers().count(), 2);
    QCOMPARE(service_->readers().madeRoom(), 1);
}

namespace {
// A client socket from a loopback address of its own (all of 127/8 is this host).
int connectFrom(const char* address, quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    inet_pton(AF_INET, address, &from.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
// Whether the server has closed the connection (it reads the end, or a reset).
bool closedByServer(int fd) {
    char c;
    const ssize_t n = ::recv(fd, &c, 1, MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}
}  // namespace

void AudienceHttpTest::requestsThatNeverEndAreClosed() {
    GuardedListener::Limits limits;
    limits.requestMs = 600;
    QHttpServer server;
    auto* guard = new GuardedListener(limits);  // the server takes it over
    QVERIFY(guard->listen(QHostAddress::LocalHost, kPort + 10));
    GuardedListener& listener = *guard;
    server.route("/", [] { return QStringLiteral("ok"); });
    server.bind(guard);
    // Silent from the start, or a head that trickles in and never ends: closed at the deadline.
    const int silent = connectFrom("127.0.0.2", kPort + 10);
    const int trickle = connectFrom("127.0.0.3", kPort + 10);
    QVERIFY(silent >= 0 && trickle >= 0);
    QTRY_COMPARE(listener.openConnections(), 2);
    for (int i = 0; i < 4; ++i) {
        ::send(trickle, "G", 1, 0);
        QTest::qWait(100);
        QVERIFY(!closedByServer(trickle));
    }
    QTRY_VERIFY_WITH_TIMEOUT(closedByServer(silent) && closedByServer(trickle), 3000);
    QCOMPARE(listener.openConnections(), 0);
    QCOMPARE(listener.closedOverdue(), 2);
    // A kept-alive connection answered in time gets the next deadline from its answer.
    QTcpSocket keep;
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(fetch(kPort + 10, get("/"), &keep).status, 200);
        QTest::qWait(400);
    }
    QVERIFY(keep.state() == QAbstractSocket::ConnectedState);
    QTRY_VERIFY_WITH_TIMEOUT(keep.state() == QAbstractSocket::UnconnectedState, 3000);  // then idle: closed
    ::close(silent);
    ::close(trickle);
}

void AudienceHttpTest::overlongHeadsAreAnswered431() {
    // Through the station's own server: a head of 16 KB is served, one past it answered 431.
    const QByteArray filler = "X-Filler: " + QByteArray(16 * 1024 - 200, 'a') + "\r\n";
    QCOMPARE(fetch(kPort, get("/", "GET", filler)).status, 200);
    const QByteArray tooLong = "X-Filler: " + QByteArray(16 * 1024 + 10, 'a') + "\r\n";
    const HttpReply refused = fetch(kPort, get("/", "GET", tooLong));
    QCOMPARE(refused.status, 431);
    QCOMPARE(refused.header("Connection"), QByteArray("close"));
    // Sixteen megabytes of head, sent as fast as the socket takes them: answered 431 once the limit
    // is passed, the rest never read into memory, the connection closed.
    const int fd = connectFrom("127.0.0.5", kPort);
    QVERIFY(fd >= 0);
    std::atomic<bool> sending{true};
    std::thread pour([fd, &sending] {
        const QByteArray start = "GET / HTTP/1.1\r\nHost: x\r\nX-Long: ";
        ::send(fd, start.constData(), size_t(start.size()), MSG_NOSIGNAL);
        const QByteArray chunk(64 * 1024, 'b');
        for (int i = 0; i < 256 && sending; ++i)
            if (::send(fd, chunk.constData(), size_t(chunk.size()), MSG_NOSIGNAL) < 0) break;
    });
    QByteArray answer;
    QVERIFY(QTest::qWaitFor([&] {
        char buf[4096];
        const ssize_t n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n > 0) answer.append(buf, int(n));
        return answer.contains("\r\n\r\n");
    }, 5000));
    QVERIFY2(answer.startsWith("HTTP/1.1 431 "), answer.constData());
    sending = false;
    ::shutdown(fd, SHUT_RDWR);
    pour.join();
    ::close(fd);
}

void AudienceHttpTest::connectionsAreBoundedPerAddressAndInAll() {
    GuardedListener::Limits limits;
    limits.perAddress = 3;
    limits.connections = 5;
    QHttpServer server;
    auto* guard = new GuardedListener(limits);  // the server takes it over
    QVERIFY(guard->listen(QHostAddress::LocalHost, kPort + 11));
    GuardedListener& listener = *guard;
    server.route("/", [] { return QStringLiteral("ok"); });
    server.bind(guard);
    // One address: its fourth connection closes its first.
    std::vector<int> one;
    for (int i = 0; i < 4; ++i) {
        one.push_back(connectFrom("127.0.0.2", kPort + 11));
        QTRY_COMPARE(listener.openConnections(), qMin(i + 1, 3));
    }
    QTRY_VERIFY(closedByServer(one[0]));
    for (int i = 1; i < 4; ++i) QVERIFY(!closedByServer(one[i]));
    // All addresses: past the bound the oldest unfinished request goes, whoever holds it.
    const int other1 = connectFrom("127.0.0.3", kPort + 11), other2 = connectFrom("127.0.0.4", kPort + 11);
    QTRY_COMPARE(listener.openConnections(), 5);
    const int phone = connectFrom("127.0.0.9", kPort + 11);
    QTRY_VERIFY(closedByServer(one[1]));
    QCOMPARE(listener.openConnections(), 5);
    const QByteArray request = get("/");
    ::send(phone, request.constData(), size_t(request.size()), 0);
    QByteArray answer;
    QVERIFY(QTest::qWaitFor([&] {
        char buf[4096];
        const ssize_t n = ::recv(phone, buf, sizeof buf, MSG_DONTWAIT);
        if (n > 0) answer.append(buf, int(n));
        return answer.endsWith("ok");
    }, 5000));
    QVERIFY(answer.startsWith("HTTP/1.1 200 "));
    QCOMPARE(listener.closedForRoom(), 2);
    for (int fd : one) ::close(fd);
    for (int fd : {other1, other2, phone}) ::close(fd);
}

void AudienceHttpTest::switchingOffClosesEverything() {
    StreamClient reader;
    reader.open(kPort);
    QVERIFY(reader.waitForEvents(1));
    QCOMPARE(service_->pageAddress(QStringLiteral("192.168.1.10")), QStringLiteral("http://192.168.1.10:8711/"));

    // A new port: the old one closes at once, the stream with it.
    QVERIFY(service_->setPort(kPort + 1));
    QTRY_VERIFY(reader.socket.state() == QAbstractSocket::UnconnectedState);
    QCOMPARE(fetch(kPort, get("/")).status, 0);
    QCOMPARE(fetch(kPort + 1, get("/")).status, 200);

    QSignalSpy off(service_.get(), &Service::enabledChanged);
    QVERIFY(service_->setEnabled(false));
    QCOMPARE(off.size(), 1);
    QCOMPARE(fetch(kPort + 1, get("/")).status, 0);

    // A port that another program holds: refused with a reason, and off.
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress::Any, kPort + 2));
    QVERIFY(service_->setPort(kPort + 2));  // off: only remembered
    QVERIFY(!service_->setEnabled(true));
    QVERIFY(!service_->isEnabled());
    QVERIFY(service_->errorString().contains(QString::number(kPort + 2)));
    other.close();
    QVERIFY(service_->setEnabled(true));
    QCOMPARE(fetch(kPort + 2, get("/")).status, 200);
}

void AudienceHttpTest::panelSwitchesAndShowsTheAddress() {
    QVERIFY(service_->setEnabled(false));
    AudiencePanel panel(*service_);
    panel.setOwnAddress(QStringLiteral("192.168.1.10"));
    QVERIFY(!panel.enabledBox->isChecked());
    QCOMPARE(panel.addressLabel->text(), QStringLiteral("公開していません"));
    QVERIFY(panel.qrLabel->pixmap().isNull());

    panel.enabledBox->setChecked(true);  // as a click or the settings file would
    QVERIFY(service_->isEnabled());
    QCOMPARE(panel.addressLabel->text(), QStringLiteral("http://192.168.1.10:8711/"));
    QVERIFY(!panel.qrLabel->pixmap().isNull());
    StreamClient reader;
    reader.open(kPort);
    QVERIFY(reader.waitForEvents(1));
    QTRY_COMPARE(panel.statusLabel->text(), QStringLiteral("接続中の観客：1人"));
    const QString shots = qEnvironmentVariable("QUELTA_SCREENSHOTS");
    if (!shots.isEmpty()) QVERIFY(panel.grab().save(QDir(shots).filePath(QStringLiteral("audience-panel.png"))));

    panel.portEdit->setText(QString::number(kPort + 5));  // from the settings file: applies at once
    QCOMPARE(service_->port(), quint16(kPort + 5));
    QCOMPARE(panel.addressLabel->text(), QStringLiteral("http://192.168.1.10:8716/"));
    QCOMPARE(fetch(kPort + 5, get("/")).status, 200);
    panel.portEdit->setText(QStringLiteral("0"));  // refused: the field shows the port in use
    QCOMPARE(panel.portEdit->text(), QString::number(kPort + 5));

    // Switched on while another program holds the port: the box stays off and says why.
    panel.enabledBox->setChecked(false);
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress::Any, kPort + 6));
    panel.portEdit->setText(QString::number(kPort + 6));
    panel.enabledBox->setChecked(true);
    QVERIFY(!panel.enabledBox->isChecked());
    QVERIFY(!service_->isEnabled());
    QVERIFY(panel.statusLabel->text().contains(QString::number(kPort + 6)));
}

int main(int argc, char** argv) {
    const bool isolated = Testing::enterPrivateNetwork();  // before anything opens a socket
    QApplication app(argc, argv);
    AudienceHttpTest test(isolated);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_audience_http.moc"

// The audience page over real sockets, in a network namespace of the test's own (root only;
// skipped otherwise): the page, the transcripts, 404 and 405, the event stream with catch-up after
// a reconnect, the reader cap, readers that stop reading, and switching on and off.
#include "http_client.h"
#include "private_network.h"

#include "audience/audience_panel.h"
#include "audience/clock.h"
#include "audience/event_log.h"
#include "audience/reader_pool.h"
#include "audience/service.h"
#include "audience/transcript.h"
#include "core/record.h"

#include <QApplication>
#include <QCheckBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTextDocument>
#include <QTest>

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
    void readersPastTheCapAreRefused();
    void readerThatStopsReadingIsDropped();
    void silentReaderIsDroppedByTheHeartbeat();
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

void AudienceHttpTest::readersPastTheCapAreRefused() {
    service_->readers().setMaxReaders(3);
    std::vector<std::unique_ptr<StreamClient>> readers;
    for (int i = 0; i < 3; ++i) {
        readers.push_back(std::make_unique<StreamClient>());
        readers.back()->open(kPort);
        QVERIFY(readers.back()->waitForEvents(1));
    }
    QCOMPARE(service_->readers().count(), 3);
    const HttpReply refused = fetch(kPort, get("/events"));
    QCOMPARE(refused.status, 503);
    QCOMPARE(refused.header("Retry-After"), QByteArray("30"));
    QVERIFY(QString::fromUtf8(refused.body).contains(QStringLiteral("上限")));
    // The page and the transcript are still served to everyone.
    QCOMPARE(fetch(kPort, get("/")).status, 200);

    readers.front()->socket.disconnectFromHost();
    QTRY_COMPARE(service_->readers().count(), 2);
    StreamClient late;
    late.open(kPort);
    QVERIFY(late.waitForEvents(1));
    QCOMPARE(late.kinds(), QStringList{"snap"});
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
        if (i % 4 == 0) QCoreApplication::processEvents();  // the healthy reader (on this thread) reads meanwhile
    }
    QTRY_COMPARE(service_->readers().count(), 1);
    QCOMPARE(service_->readers().dropped(), 1);
    QVERIFY(healthy.waitForEvents(1 + lines, 20000));
    QCOMPARE(healthy.events.last()["r"].toArray()[0].toString(), line + QString::number(lines - 1));
    QVERIFY(healthy.socket.state() == QAbstractSocket::ConnectedState);
}

void AudienceHttpTest::silentReaderIsDroppedByTheHeartbeat() {
    SilentReader gone;
    QVERIFY(gone.open(kPort));
    QTRY_COMPARE(service_->readers().count(), 1);
    // Enough to fill the kernel's buffers on both ends, well under the queue limit.
    for (int i = 0; i < 200; ++i) record_->addLine(QString(400, u'字'));
    QCoreApplication::processEvents();
    for (int beat = 1; beat < ReaderPool::kStalledBeats; ++beat) {
        service_->readers().heartbeat();
        QCOMPARE(service_->readers().count(), 1);
    }
    service_->readers().heartbeat();
    QCOMPARE(service_->readers().count(), 0);
    QCOMPARE(service_->readers().dropped(), 1);
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

// The audience page in a real browser: a station's display record and its audience service in a
// network namespace of the test's own (root only; skipped otherwise), and headless Chromium in the
// same namespace, driven over its DevTools protocol. A line that arrives shows on the page, with
// its ruby; an undo takes it away; after the station was away the page reconnects by itself and
// catches up. With QUELTA_SCREENSHOTS=<folder> it also takes the phone-sized screenshots.
#include "../unit/http_client.h"
#include "../unit/private_network.h"

#include "audience/clock.h"
#include "audience/reader_pool.h"
#include "audience/record_mirror.h"
#include "audience/service.h"
#include "core/record.h"

#include <QDir>
#include <QGuiApplication>
#include <QJsonArray>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QWebSocket>
#include <QTest>

using namespace Audience;

namespace {

constexpr quint16 kPagePort = 8711;
constexpr quint16 kDevToolsPort = 9222;

// The browser's DevTools protocol over its WebSocket: one call at a time.
class DevTools {
public:
    bool connect(const QString& url) {
        QObject::connect(&socket_, &QWebSocket::textMessageReceived, [this](const QString& m) {
            const QJsonObject o = QJsonDocument::fromJson(m.toUtf8()).object();
            if (o.contains("id")) replies_.insert(o["id"].toInt(), o);
        });
        socket_.open(QUrl(url));
        const bool ok = QTest::qWaitFor([&] { return socket_.state() == QAbstractSocket::ConnectedState; }, 10000);
        if (!ok) qWarning() << url << socket_.errorString();
        return ok;
    }
    QJsonObject call(const QString& method, const QJsonObject& params = {}) {
        const int id = ++next_;
        socket_.sendTextMessage(QString::fromUtf8(
            QJsonDocument(QJsonObject{{"id", id}, {"method", method}, {"params", params}}).toJson(QJsonDocument::Compact)));
        if (!QTest::qWaitFor([&] { return replies_.contains(id); }, 10000)) return {};
        return replies_.take(id)["result"].toObject();
    }
    QString evaluate(const QString& expression) {
        return call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}})["result"]
            .toObject()["value"]
            .toVariant()
            .toString();
    }
    bool waitUntil(const QString& expression, int ms = 15000) {
        return QTest::qWaitFor([&] { return evaluate(expression) == QStringLiteral("true"); }, ms);
    }
    bool screenshot(const QString& path) {
        const QByteArray png =
            QByteArray::fromBase64(call("Page.captureScreenshot", {{"format", "png"}})["data"].toString().toLatin1());
        QFile f(path);
        return !png.isEmpty() && f.open(QIODevice::WriteOnly) && f.write(png) == png.size();
    }

private:
    QWebSocket socket_;
    QHash<int, QJsonObject> replies_;
    int next_ = 0;
};

}  // namespace

class AudienceSystemTest : public QObject {
    Q_OBJECT
public:
    explicit AudienceSystemTest(bool isolated) : isolated_(isolated) {}

private slots:
    void initTestCase() {
        if (!isolated_) QSKIP("needs root for a private network namespace");
        browser_ = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (browser_.isEmpty()) QSKIP("chromium is not installed");
    }
    void cleanupTestCase() {
        if (chromium_.state() != QProcess::NotRunning) {
            chromium_.terminate();
            if (!chromium_.waitForFinished(5000)) chromium_.kill();
        }
    }
    void pageShowsTheDisplayLive();

private:
    bool isolated_;
    QString browser_;
    QProcess chromium_;
};

void AudienceSystemTest::pageShowsTheDisplayLive() {
    QTextDocument doc;
    Core::Record record(&doc);
    record.setText(QStringLiteral("文先頭　\n") + QString(19, u'\n'));
    SystemClock clock;
    Service service(record, clock);
    QVERIFY2(service.setEnabled(true), qPrintable(service.errorString()));
    for (const char* l : {"本日は要約筆記の研修会にお越しいただきありがとうございます。",
                          "講師は山田先生です。", "まず、聞こえの仕組みからお話しします。"})
        record.addLine(QString::fromUtf8(l));

    QTemporaryDir profile;
    chromium_.setStandardOutputFile(QProcess::nullDevice());
    chromium_.setStandardErrorFile(QProcess::nullDevice());  // it complains of the missing D-Bus
    chromium_.start(browser_, {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                               "--disable-background-networking", "--disable-component-update", "--disable-sync",
                               "--hide-scrollbars", "--user-data-dir=" + profile.path(),
                               QStringLiteral("--remote-debugging-port=%1").arg(kDevToolsPort), "--window-size=412,915",
                               service.pageAddress(QStringLiteral("127.0.0.1"))});
    QVERIFY(chromium_.waitForStarted(10000));

    // The page's DevTools address.
    QString target;
    QVERIFY(QTest::qWaitFor(
        [&] {
            const Testing::HttpReply list = Testing::fetch(kDevToolsPort, Testing::get("/json/list"));
            for (const QJsonValue& t : QJsonDocument::fromJson(list.body).array())
                if (t["type"] == QStringLiteral("page") && t["url"].toString().contains(QString::number(kPagePort)))
                    target = t["webSocketDebuggerUrl"].toString();
            return !target.isEmpty();
        },
        30000));
    QUrl socketUrl(target);  // made from our Host header, which names no port
    socketUrl.setPort(kDevToolsPort);
    DevTools tools;
    QVERIFY(tools.connect(socketUrl.toString()));
    tools.call("Emulation.setDeviceMetricsOverride",
               {{"width", 412}, {"height", 915}, {"deviceScaleFactor", 1}, {"mobile", true}});

    // The lines shown before the page was opened are caught up with.
    QVERIFY(tools.waitUntil("document.querySelectorAll('main p[data-id]').length === 3"));
    QVERIFY(tools.waitUntil("document.getElementById('state').textContent === '受信中'"));
    QCOMPARE(service.readers().count(), 1);

    // A line arrives, with a reading: it shows at once, as ruby, and the page follows it.
    record.addLine(QStringLiteral("`rちょうかく`s聴覚には、伝音系と感音系があります。"));
    QVERIFY(tools.waitUntil("document.querySelector('main p.newest').textContent.startsWith('聴覚')"));
    QCOMPARE(tools.evaluate("document.querySelector('main p.newest ruby').firstChild.textContent"), QStringLiteral("聴覚"));
    QCOMPARE(tools.evaluate("document.querySelector('main p.newest rt').textContent"), QStringLiteral("ちょうかく"));

    // An undo takes it away again; a line that follows takes its place.
    record.removeLastLine();
    QVERIFY(tools.waitUntil("document.querySelectorAll('main p[data-id]').length === 3"));
    record.addLine(QStringLiteral("`rちょうかく`s聴覚には、`rでんおんけい`s伝音系と`rかんおんけい`s感音系があります。"));
    record.addLine(QStringLiteral("伝音系は、音を伝える部分です。"));
    QVERIFY(tools.waitUntil("document.querySelectorAll('main p[data-id]').length === 5"));

    // The station goes away for a moment (as a phone's Wi-Fi would); the page comes back by itself
    // and catches up with what it missed.
    QVERIFY(service.setEnabled(false));
    QVERIFY(tools.waitUntil("document.getElementById('state').textContent === '再接続中…'"));
    record.addLine(QStringLiteral("感音系は、音を感じ取る部分です。"));
    QVERIFY(service.setEnabled(true));
    QVERIFY(tools.waitUntil("document.querySelector('main p.newest').textContent.startsWith('感音系は')", 30000));
    QCOMPARE(tools.evaluate("String(document.querySelectorAll('main p[data-id]').length)"), QStringLiteral("6"));

    // Light and dark, as a phone shows them.
    const QString shots = qEnvironmentVariable("QUELTA_SCREENSHOTS");
    if (!shots.isEmpty()) {
        tools.evaluate("document.documentElement.classList.contains('dark') && document.getElementById('theme').click()");
        QVERIFY(tools.waitUntil("!document.documentElement.classList.contains('dark')"));
        QTest::qWait(300);
        QVERIFY(tools.screenshot(QDir(shots).filePath(QStringLiteral("audience-light.png"))));
        tools.evaluate("document.getElementById('theme').click()");
        QVERIFY(tools.waitUntil("document.documentElement.classList.contains('dark')"));
        QTest::qWait(300);
        QVERIFY(tools.screenshot(QDir(shots).filePath(QStringLiteral("audience-dark.png"))));
    }

    // A screen clear empties the screen and keeps the lines (above it); the next line comes in
    // below the empty screen.
    const QString visible = QStringLiteral(
        "[...document.querySelectorAll('main p[data-id]')].filter(p => { const r = p.getBoundingClientRect();"
        " return r.bottom > document.querySelector('header').offsetHeight && r.top < innerHeight; })");
    service.mirror().screenCleared();
    QVERIFY(tools.waitUntil(visible + ".length === 0"));
    QCOMPARE(tools.evaluate("String(document.querySelectorAll('main p[data-id]').length)"), QStringLiteral("6"));
    record.addLine(QStringLiteral("画面を消した後の行。"));
    QVERIFY(tools.waitUntil(visible + ".map(p => p.textContent).join('|') === '画面を消した後の行。'"));

    // A reader who scrolls back stays there while lines arrive, and is offered the way back.
    for (int i = 1; i <= 12; ++i) record.addLine(QStringLiteral("説明が続きます（%1）。").arg(i));
    QVERIFY(tools.waitUntil("document.querySelectorAll('main p[data-id]').length === 19"));
    QVERIFY(tools.waitUntil("window.scrollY > 0 && window.innerHeight + window.scrollY >= "
                            "document.documentElement.scrollHeight - 2"));
    tools.evaluate("window.scrollTo(0, 0)");
    QVERIFY(tools.waitUntil("document.getElementById('live').classList.contains('shown')"));
    record.addLine(QStringLiteral("読み返している間に来た行。"));
    QVERIFY(tools.waitUntil("document.getElementById('live').classList.contains('more')"));
    QCOMPARE(tools.evaluate("String(window.scrollY)"), QStringLiteral("0"));
    if (!shots.isEmpty()) QVERIFY(tools.screenshot(QDir(shots).filePath(QStringLiteral("audience-scrolled.png"))));
    tools.evaluate("document.getElementById('live').click()");
    QVERIFY(tools.waitUntil("!document.getElementById('live').classList.contains('shown') && "
                            "document.querySelector('main p.newest').getBoundingClientRect().bottom <= window.innerHeight"));
    record.addLine(QStringLiteral("また後を追います。"));
    QVERIFY(tools.waitUntil("document.querySelector('main p.newest').textContent === 'また後を追います。' && "
                            "document.querySelector('main p.newest').getBoundingClientRect().bottom <= window.innerHeight"));
}

int main(int argc, char** argv) {
    const bool isolated = Testing::enterPrivateNetwork();  // before anything opens a socket
    QGuiApplication app(argc, argv);
    AudienceSystemTest test(isolated);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_audience_system.moc"

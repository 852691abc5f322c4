// The audience page in a real browser: a station's display record and its audience service in a
// network namespace of the test's own (root only; skipped otherwise), and headless Chromium in the
// same namespace, driven over its DevTools protocol. Before the first caption the page shows its
// hint and nothing of the record's filler; a line that arrives shows on the page, with its ruby;
// an undo takes it away; after the station was away the page reconnects by itself and catches up;
// what a snapshot brings is not live for a screen reader; the header wraps on a narrow screen. The
// overlay page shows the newest lines on a transparent background. With
// QUELTA_SCREENSHOTS=<folder> it also takes the screenshots.
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
    void overlayShowsTheNewestLines();

private:
    // Starts the browser on `url` (once per test) and connects to its page.
    bool open(DevTools& tools, const QString& url, int width, int height);
    bool isolated_;
    QString browser_;
    QProcess chromium_;
    QTemporaryDir profile_;
};

bool AudienceSystemTest::open(DevTools& tools, const QString& url, int width, int height) {
    if (chromium_.state() != QProcess::NotRunning) {
        chromium_.kill();
        chromium_.waitForFinished(5000);
    }
    chromium_.setStandardOutputFile(QProcess::nullDevice());
    chromium_.setStandardErrorFile(QProcess::nullDevice());  // it complains of the missing D-Bus
    chromium_.start(browser_, {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                               "--disable-background-networking", "--disable-component-update", "--disable-sync",
                               "--hide-scrollbars", "--user-data-dir=" + profile_.path(),
                               QStringLiteral("--remote-debugging-port=%1").arg(kDevToolsPort),
                               QStringLiteral("--window-size=%1,%2").arg(width).arg(height), url});
    if (!chromium_.waitForStarted(10000)) return false;
    // The page's DevTools address.
    QString target;
    const bool found = QTest::qWaitFor(
        [&] {
            const Testing::HttpReply list = Testing::fetch(kDevToolsPort, Testing::get("/json/list"));
            for (const QJsonValue& t : QJsonDocument::fromJson(list.body).array())
                if (t["type"] == QStringLiteral("page") && t["url"].toString().contains(QString::number(kPagePort)))
                    target = t["webSocketDebuggerUrl"].toString();
            return !target.isEmpty();
        },
        30000);
    if (!found) return false;
    QUrl socketUrl(target);  // made from our Host header, which names no port
    socketUrl.setPort(kDevToolsPort);
    if (!tools.connect(socketUrl.toString())) return false;
    tools.call("Emulation.setDeviceMetricsOverride",
               {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", width < 600}});
    return true;
}

void AudienceSystemTest::pageShowsTheDisplayLive() {
    QTextDocument doc;
    Core::Record record(&doc);
    SystemClock clock;
    Service service(record, clock);
    record.setText(QStringLiteral("文先頭　\n") + QString(19, u'\n'));  // as a station fills it, after
    QVERIFY2(service.setEnabled(true), qPrintable(service.errorString()));
    DevTools tools;
    QVERIFY(open(tools, service.pageAddress(QStringLiteral("127.0.0.1")), 412, 915));

    // No caption yet: the hint, and nothing of the record's filler.
    QVERIFY(tools.waitUntil("document.getElementById('state').textContent === '受信中'"));
    QCOMPARE(tools.evaluate("String(document.querySelectorAll('main p[data-id]').length)"), QStringLiteral("0"));
    QCOMPARE(tools.evaluate("String(!document.getElementById('hint').hidden && "
                            "document.getElementById('hint').getBoundingClientRect().height > 0)"),
             QStringLiteral("true"));
    QCOMPARE(tools.evaluate("document.getElementById('hint').textContent"), QStringLiteral("字幕が始まるとここに表示されます。"));
    QVERIFY(!tools.evaluate("document.body.textContent").contains(QStringLiteral("文先頭")));
    for (const char* l : {"本日は要約筆記の研修会にお越しいただきありがとうございます。",
                          "講師は山田先生です。", "まず、聞こえの仕組みからお話しします。"})
        record.addLine(QString::fromUtf8(l));
    QVERIFY(tools.waitUntil("document.querySelectorAll('main p[data-id]').length === 3"));
    QVERIFY(tools.waitUntil("document.getElementById('hint').hidden"));
    // Lines that arrive are live for a screen reader; what a snapshot brings (a reload here, a
    // restarted station, a reader who was away too long) is not read out again.
    QCOMPARE(tools.evaluate("String(document.querySelectorAll('#news p[data-id]').length)"), QStringLiteral("3"));
    QCOMPARE(tools.evaluate("document.getElementById('news').getAttribute('aria-live')"), QStringLiteral("polite"));
    tools.call("Page.reload");
    QVERIFY(tools.waitUntil("document.querySelectorAll('#history p[data-id]').length === 3"));
    QCOMPARE(tools.evaluate("String(document.querySelectorAll('#news p[data-id]').length)"), QStringLiteral("0"));
    QCOMPARE(tools.evaluate("String(document.querySelector('[aria-live] #history, #history[aria-live], "
                            "#captions[aria-live]') === null)"),
             QStringLiteral("true"));
    QVERIFY(tools.waitUntil("document.getElementById('state').textContent === '受信中'"));
    QCOMPARE(service.readers().count(), 1);

    // A line arrives, with a reading: it shows at once, as ruby, and the page follows it.
    record.addLine(QStringLiteral("`rちょうかく`s聴覚には、伝音系と感音系があります。"));
    QVERIFY(tools.waitUntil("document.querySelector('main p.newest').textContent.startsWith('聴覚')"));
    QCOMPARE(tools.evaluate("document.querySelector('main p.newest ruby').firstChild.textContent"), QStringLiteral("聴覚"));
    QCOMPARE(tools.evaluate("document.querySelector('main p.newest rt').textContent"), QStringLiteral("ちょうかく"));
    QCOMPARE(tools.evaluate("document.querySelector('main p.newest').parentElement.id"), QStringLiteral("news"));

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

    // A narrow phone zoomed in (240 CSS pixels): the header's buttons wrap to a second row instead
    // of running off the screen, and nothing scrolls sideways.
    tools.call("Emulation.setDeviceMetricsOverride",
               {{"width", 240}, {"height", 640}, {"deviceScaleFactor", 1}, {"mobile", true}});
    QVERIFY(tools.waitUntil("window.innerWidth === 240"));
    QTest::qWait(200);
    QCOMPARE(tools.evaluate("String([...document.querySelectorAll('header > *')]"
                            ".every(e => e.getBoundingClientRect().right <= innerWidth + 0.5))"),
             QStringLiteral("true"));
    QCOMPARE(tools.evaluate("String(document.documentElement.scrollWidth <= innerWidth)"), QStringLiteral("true"));
    QCOMPARE(tools.evaluate("String(document.querySelector('header').offsetHeight > "
                            "1.6 * document.getElementById('larger').offsetHeight)"),
             QStringLiteral("true"));
    if (!shots.isEmpty()) QVERIFY(tools.screenshot(QDir(shots).filePath(QStringLiteral("audience-narrow.png"))));
}

// The overlay for a streaming program's browser source: the newest lines alone, white with a dark
// outline on a transparent page, following the same stream as the page.
void AudienceSystemTest::overlayShowsTheNewestLines() {
    QTextDocument doc;
    Core::Record record(&doc);
    SystemClock clock;
    Service service(record, clock);
    record.setText(QStringLiteral("文先頭　\n") + QString(19, u'\n'));
    for (const char* l : {"一行目の字幕です。", "二行目の字幕です。", "三行目の字幕です。"}) record.addLine(QString::fromUtf8(l));
    QVERIFY2(service.setEnabled(true), qPrintable(service.errorString()));
    DevTools tools;
    const QString overlay = service.pageAddress(QStringLiteral("127.0.0.1")) + QStringLiteral("overlay");
    QVERIFY(open(tools, overlay + QStringLiteral("?lines=2&size=40"), 1280, 720));
    const QString shown = QStringLiteral("[...document.querySelectorAll('#captions p')].map(p => p.textContent).join('|')");
    QVERIFY(tools.waitUntil(shown + " === '二行目の字幕です。|三行目の字幕です。'"));
    QCOMPARE(service.readers().count(), 1);
    // Transparent, white letters with a dark outline, in the size asked for.
    QCOMPARE(tools.evaluate("getComputedStyle(document.documentElement).backgroundColor + ' ' + "
                            "getComputedStyle(document.body).backgroundColor"),
             QStringLiteral("rgba(0, 0, 0, 0) rgba(0, 0, 0, 0)"));
    const QString style = QStringLiteral("getComputedStyle(document.querySelector('#captions p'))");
    QCOMPARE(tools.evaluate(style + ".color"), QStringLiteral("rgb(255, 255, 255)"));
    QCOMPARE(tools.evaluate(style + ".fontSize"), QStringLiteral("40px"));
    QCOMPARE(tools.evaluate(style + ".webkitTextStrokeColor"), QStringLiteral("rgba(0, 0, 0, 0.9)"));
    QCOMPARE(tools.evaluate("String(parseFloat(" + style + ".webkitTextStrokeWidth) >= 4)"), QStringLiteral("true"));
    QCOMPARE(tools.evaluate("String(document.querySelector('#captions').getBoundingClientRect().bottom > innerHeight * 0.9)"),
             QStringLiteral("true"));

    // New lines push the oldest out; an empty line is no line here; an undo brings the one before back.
    record.addLine(QStringLiteral("`rちょうかく`s聴覚の話です。"));
    QVERIFY(tools.waitUntil(shown + " === '三行目の字幕です。|聴覚ちょうかくの話です。'"));
    QCOMPARE(tools.evaluate("document.querySelector('#captions rt').textContent"), QStringLiteral("ちょうかく"));
    record.addLine(QString());
    QTest::qWait(300);
    QCOMPARE(tools.evaluate(shown), QStringLiteral("三行目の字幕です。|聴覚ちょうかくの話です。"));
    record.removeLastLine();
    record.removeLastLine();
    QVERIFY(tools.waitUntil(shown + " === '二行目の字幕です。|三行目の字幕です。'"));
    // A screen clear empties it until the next line.
    service.mirror().screenCleared();
    QVERIFY(tools.waitUntil(shown + " === ''"));
    record.addLine(QStringLiteral("消した後の字幕です。"));
    QVERIFY(tools.waitUntil(shown + " === '消した後の字幕です。'"));
    record.addLine(QStringLiteral("本日はご清聴ありがとうございました。"));

    // Three lines at another size: the page catches up on its own when it opens.
    tools.call("Page.navigate", {{"url", overlay + QStringLiteral("?lines=3&size=60")}});
    QVERIFY(tools.waitUntil(shown + " === '消した後の字幕です。|本日はご清聴ありがとうございました。'"));
    QCOMPARE(tools.evaluate(style + ".fontSize"), QStringLiteral("60px"));
    record.addLine(QStringLiteral("次回は来月です。"));
    QVERIFY(tools.waitUntil("document.querySelectorAll('#captions p').length === 3"));

    const QString shots = qEnvironmentVariable("QUELTA_SCREENSHOTS");
    if (!shots.isEmpty()) {
        // As a streaming program lays it over a picture: a stand-in sky and field behind it.
        tools.call("Page.navigate", {{"url", overlay + QStringLiteral("?lines=2&size=48")}});
        QVERIFY(tools.waitUntil("document.querySelectorAll('#captions p').length === 2"));
        tools.evaluate("document.documentElement.style.background = "
                       "'linear-gradient(#86a9c9 0%, #dfe9f1 55%, #8fae6a 56%, #4f6f35 100%)'");
        QTest::qWait(300);
        QVERIFY(tools.screenshot(QDir(shots).filePath(QStringLiteral("overlay.png"))));
    }
}

int main(int argc, char** argv) {
    const bool isolated = Testing::enterPrivateNetwork();  // before anything opens a socket
    QGuiApplication app(argc, argv);
    AudienceSystemTest test(isolated);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_audience_system.moc"

#include "audience/service.h"

#include "audience/event_log.h"
#include "audience/guarded_listener.h"
#include "audience/reader_pool.h"
#include "audience/record_mirror.h"
#include "audience/transcript.h"
#include "settings/line_file.h"

#include <QDir>
#include <QFile>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>

namespace Audience {
namespace {

using Status = QHttpServerResponder::StatusCode;
using Method = QHttpServerRequest::Method;

// The page may load nothing from anywhere else, and talk only to this station.
const QByteArray kPolicy = "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                           "connect-src 'self'; img-src 'self' data:; base-uri 'none'; form-action 'none'";

bool readable(const QHttpServerRequest& request) {
    return request.method() == Method::Get || request.method() == Method::Head;
}

QByteArray header(const QHttpServerRequest& request, QByteArrayView name) {
    for (const auto& [key, value] : request.headers())
        if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
    return {};
}

void reply(QHttpServerResponder& r, const QHttpServerRequest& request, Status status, const QByteArray& type,
           const QByteArray& body, std::initializer_list<std::pair<QByteArray, QByteArray>> extra = {}) {
    r.writeStatusLine(status);
    r.writeHeader("Content-Type", type);
    r.writeHeader("Content-Length", QByteArray::number(body.size()));
    r.writeHeader("Cache-Control", "no-cache");
    r.writeHeader("X-Content-Type-Options", "nosniff");
    for (const auto& [key, value] : extra) r.writeHeader(key, value);
    r.writeBody(request.method() == Method::Head ? QByteArray() : body);
}

void refuse(QHttpServerResponder& r, const QHttpServerRequest& request) {
    if (readable(request))
        reply(r, request, Status::NotFound, "text/plain; charset=utf-8", "404 Not Found\n");
    else
        reply(r, request, Status::MethodNotAllowed, "text/plain; charset=utf-8", "405 Method Not Allowed\n",
              {{"Allow", "GET, HEAD"}});
}

QByteArray pageBytes(const QString& name = QStringLiteral("page.html")) {
    QFile f(QStringLiteral(":/audience/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

Service::Service(Core::Record& record, const Clock& clock, QObject* parent)
    : QObject(parent),
      mirror_(std::make_unique<RecordMirror>(record)),
      transcript_(std::make_unique<Transcript>(*mirror_, clock)),
      events_(std::make_unique<EventLog>(*mirror_)),
      readers_(std::make_unique<ReaderPool>()) {
    connect(events_.get(), &EventLog::event, readers_.get(), &ReaderPool::broadcast);
    connect(readers_.get(), &ReaderPool::countChanged, this, &Service::readerCountChanged);
}

Service::~Service() { stop(); }

bool Service::setEnabled(bool on) {
    if (on == isEnabled()) return true;
    if (!on) {
        stop();
        emit enabledChanged(false);
        return true;
    }
    if (!start()) return false;
    emit enabledChanged(true);
    return true;
}

bool Service::setPort(quint16 port) {
    if (port == port_) return true;
    port_ = port;
    if (!isEnabled()) return true;
    stop();
    const bool ok = start();
    if (!ok) emit enabledChanged(false);
    return ok;
}

bool Service::start() {
    auto listener = std::make_unique<GuardedListener>();
    if (port_ == 0 || !listener->listen(QHostAddress::Any, port_)) {
        error_ = QStringLiteral("観客用ページのポート %1 を開けません。%2")
                     .arg(port_)
                     .arg(port_ == 0 ? QString() : listener->errorString());
        return false;
    }
    error_.clear();
    server_ = new QHttpServer(this);
    route();
    server_->bind(listener.release());
    return true;
}

void Service::stop() {
    if (!server_) return;
    readers_->closeAll();
    // Never called from inside one of the server's own handlers, so it can go at once (and free
    // the port for a restart on the spot).
    delete server_;
    server_ = nullptr;
}

void Service::route() {
    server_->route("/", [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        servePage(request, responder);
    });
    // The newest lines alone on a transparent page, for a streaming program's browser source.
    server_->route("/overlay", [](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        if (!readable(request)) return refuse(responder, request);
        reply(responder, request, Status::Ok, "text/html; charset=utf-8", pageBytes(QStringLiteral("overlay.html")),
              {{"Content-Security-Policy", kPolicy}, {"Referrer-Policy", "no-referrer"}});
    });
    server_->route("/events", [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        serveEvents(request, responder);
    });
    server_->route("/transcript.vtt", [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        if (!readable(request)) return refuse(responder, request);
        reply(responder, request, Status::Ok, "text/vtt; charset=utf-8", transcript_->toWebVtt().toUtf8());
    });
    server_->route("/transcript.txt", [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        if (!readable(request)) return refuse(responder, request);
        reply(responder, request, Status::Ok, "text/plain; charset=utf-8", transcript_->toText().toUtf8());
    });
    server_->setMissingHandler(
        [](const QHttpServerRequest& request, QHttpServerResponder&& responder) { refuse(responder, request); });
}

void Service::servePage(const QHttpServerRequest& request, QHttpServerResponder& responder) {
    if (!readable(request)) return refuse(responder, request);
    reply(responder, request, Status::Ok, "text/html; charset=utf-8", pageBytes(),
          {{"Content-Security-Policy", kPolicy}, {"Referrer-Policy", "no-referrer"}});
}

void Service::serveEvents(const QHttpServerRequest& request, QHttpServerResponder& responder) {
    if (!readable(request)) return refuse(responder, request);
    // Past the cap the reader silent longest makes room (ReaderPool): a phone always gets in.
    responder.writeStatusLine(Status::Ok);
    responder.writeHeader("Content-Type", "text/event-stream; charset=utf-8");
    responder.writeHeader("Cache-Control", "no-cache");
    responder.writeHeader("X-Accel-Buffering", "no");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeBody(QByteArray());  // ends the head; the body goes on for as long as the reader stays
    if (request.method() == Method::Head) return;
    // A browser that reconnects by itself sends Last-Event-ID; the page, when it has to open a new
    // stream, says the same in the query.
    QByteArray last = header(request, "Last-Event-ID");
    if (last.isEmpty()) last = request.query().queryItemValue(QStringLiteral("last")).toLatin1();
    readers_->admit(responder.socket(), events_->catchUp(last));
}

QString Service::pageAddress(const QString& ownAddress) const {
    return QStringLiteral("http://%1:%2/").arg(ownAddress).arg(port_);
}

QString Service::saveTranscript(const QString& folder, const QString& baseName) const {
    const QDir dir(folder);
    const QList<std::pair<QString, QByteArray>> files{
        {dir.filePath(baseName + QStringLiteral(".vtt")), transcript_->toWebVtt().toUtf8()},
        {dir.filePath(baseName + QStringLiteral(".srt")), transcript_->toSubRip().toUtf8()},
    };
    // Both are written in full before either replaces its old file.
    std::vector<std::unique_ptr<Settings::FileReplacement>> out;
    for (const auto& [path, bytes] : files) {
        auto f = std::make_unique<Settings::FileReplacement>(path);
        if (!f->write(bytes))
            return QStringLiteral("字幕記録を保存できません（%1）：%2").arg(QDir::toNativeSeparators(path), f->error());
        out.push_back(std::move(f));
    }
    for (qsizetype i = 0; i < qsizetype(out.size()); ++i)
        if (!out[i]->commit())
            return QStringLiteral("字幕記録を保存できません（%1）：%2")
                .arg(QDir::toNativeSeparators(files[i].first), out[i]->error());
    return {};
}

}  // namespace Audience

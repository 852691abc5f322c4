#pragma once
// The audience page of a station: a small web server (QHttpServer) that serves, to phones and
// tablets on the same LAN, one self-contained page with the captions as the display shows them,
// the event stream behind it and the timed transcript. Off until switched on. It only reads the
// display: nothing a browser sends changes the station. Nothing here touches the team's protocol.
//
//   GET /                 the page (no outside scripts, fonts or styles)
//   GET /overlay          the newest lines on a transparent page, for a streaming program's
//                         browser source (?lines= how many, default 2; ?size= pixels, default 48)
//   GET /events           text/event-stream (see EventLog)
//   GET /transcript.vtt   the transcript as WebVTT
//   GET /transcript.txt   the transcript as plain text
//   anything else 404; any method but GET and HEAD 405; a request head over 16 KB 431.
// Connections are bounded by the GuardedListener in front of the server (a deadline and a size for
// each request, a few per client address), the streams by the ReaderPool.
//
// One server serves everything. QHttpServer 6.4 has no streaming response, but it leaves a
// responder's socket open: the stream's head is written through the responder, and the connection
// is then handed to the ReaderPool, whose own thread writes the events.
#include <QObject>
#include <QString>
#include <memory>

class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponder;
class QTcpServer;

namespace Core { class Record; }

namespace Core { class Clock; }

namespace Audience {

using Clock = Core::Clock;
class EventLog;
class ReaderPool;
class RecordMirror;
class Transcript;

class Service : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 8711;

    Service(Core::Record& record, const Clock& clock, QObject* parent = nullptr);
    ~Service() override;

    // Starts or stops serving. False when the port cannot be opened (see errorString()).
    bool setEnabled(bool on);
    bool isEnabled() const { return server_ != nullptr; }
    // Serving moves to the new port at once when on.
    bool setPort(quint16 port);
    quint16 port() const { return port_; }
    QString errorString() const { return error_; }

    // "http://<own address>:<port>/"
    QString pageAddress(const QString& ownAddress) const;

    // Writes <folder>/<baseName>.vtt and .srt (UTF-8, crash-safe). Empty on success, else the
    // reason; a failed save leaves the old files as they were.
    QString saveTranscript(const QString& folder, const QString& baseName) const;

    RecordMirror& mirror() { return *mirror_; }
    Transcript& transcript() { return *transcript_; }
    EventLog& events() { return *events_; }
    ReaderPool& readers() { return *readers_; }

signals:
    void enabledChanged(bool on);
    void readerCountChanged(int readers);

private:
    bool start();
    void stop();
    void route();
    void servePage(const QHttpServerRequest& request, QHttpServerResponder& responder);
    void serveEvents(const QHttpServerRequest& request, QHttpServerResponder& responder);

    std::unique_ptr<RecordMirror> mirror_;
    std::unique_ptr<Transcript> transcript_;
    std::unique_ptr<EventLog> events_;
    std::unique_ptr<ReaderPool> readers_;
    QHttpServer* server_ = nullptr;
    quint16 port_ = kDefaultPort;
    QString error_;
};

}  // namespace Audience

#pragma once
// Just enough of an HTTP/1.1 client for the audience page's tests and benchmark: raw requests
// over QTcpSocket on the event loop the server runs on, and an event-stream reader.
#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QTcpSocket>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Testing {

struct HttpReply {
    int status = 0;
    QByteArray head;
    QByteArray body;
    QByteArray header(const QByteArray& name) const {
        for (const QByteArray& line : head.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }
};

// Parses a response head from the front of `buffer`; false until the head is complete.
inline bool takeHead(QByteArray& buffer, HttpReply& reply) {
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) return false;
    reply.head = buffer.left(end);
    reply.status = reply.head.mid(9, 3).toInt();
    buffer.remove(0, end + 4);
    return true;
}

// Sends `request` and reads one response (its body by Content-Length; none for HEAD).
inline HttpReply fetch(quint16 port, const QByteArray& request, QTcpSocket* keep = nullptr) {
    QTcpSocket own;
    QTcpSocket& s = keep ? *keep : own;
    if (s.state() != QAbstractSocket::ConnectedState) {
        s.connectToHost(QHostAddress::LocalHost, port);
        (void)QTest::qWaitFor(
            [&] { return s.state() == QAbstractSocket::ConnectedState || s.state() == QAbstractSocket::UnconnectedState; },
            5000);
        if (s.state() != QAbstractSocket::ConnectedState) return {};  // refused
    }
    s.write(request);
    HttpReply reply;
    QByteArray buffer;
    bool headDone = false;
    const bool head = request.startsWith("HEAD ");
    (void)QTest::qWaitFor(  // an incomplete reply is returned as it stands
        [&] {
            buffer += s.readAll();
            if (!headDone) headDone = takeHead(buffer, reply);
            if (!headDone) return false;
            const qsizetype length = head ? 0 : reply.header("Content-Length").toLongLong();
            if (buffer.size() < length) return false;
            reply.body = buffer.left(length);
            return true;
        },
        5000);
    return reply;
}

inline QByteArray get(const QByteArray& path, const QByteArray& method = "GET", const QByteArray& extra = {}) {
    return method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra + "\r\n";
}

// One reader of /events: the response head, then every data record as JSON with its id.
class StreamClient {
public:
    QTcpSocket socket;
    HttpReply reply;
    QList<QJsonObject> events;
    QList<QByteArray> ids;
    QByteArray lastId;

    StreamClient() { QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { take(); }); }
    void open(quint16 port, const QByteArray& path = "/events", const QByteArray& extra = {}) {
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.write(get(path, "GET", extra));  // queued until connected: nothing here blocks
    }
    bool headSeen() const { return headDone_; }
    void take() {
        buffer_ += socket.readAll();
        if (!headDone_ && !(headDone_ = takeHead(buffer_, reply))) return;
        for (qsizetype end; (end = buffer_.indexOf("\n\n")) >= 0; buffer_.remove(0, end + 2)) {
            QByteArray id, data;
            for (const QByteArray& line : buffer_.left(end).split('\n')) {
                if (line.startsWith("id: ")) id = line.mid(4);
                if (line.startsWith("data: ")) data = line.mid(6);
            }
            if (data.isEmpty()) continue;
            const QJsonObject o = QJsonDocument::fromJson(data).object();
            if (o["t"] == QStringLiteral("ping")) continue;
            events.append(o);
            ids.append(id);
            if (!id.isEmpty()) lastId = id;
        }
    }
    bool waitForEvents(qsizetype n, int ms = 5000) {
        return QTest::qWaitFor([&] { return events.size() >= n; }, ms);
    }
    QStringList kinds() const {
        QStringList k;
        for (const QJsonObject& e : events) k << e["t"].toString();
        return k;
    }

private:
    QByteArray buffer_;
    bool headDone_ = false;
};

// A reader that asks for the stream and then never reads, with a small receive buffer fixed before
// it connects (a phone that left the hall without closing, or one far too slow).
class SilentReader {
public:
    bool open(quint16 port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int size = 4096;
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return false;
        const QByteArray request = get("/events");
        return ::send(fd_, request.constData(), size_t(request.size()), 0) == request.size();
    }
    ~SilentReader() {
        if (fd_ >= 0) ::close(fd_);
    }

private:
    int fd_ = -1;
};

}  // namespace Testing

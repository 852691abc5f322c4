#pragma once
// A meeting's or a stream's caption endpoint for the online-caption tests: an HTTP/1.1 server on
// the event loop (keep-alive, bodies by Content-Length) that records every request and answers as
// the test says, late or not at all. Only ever opened inside a network namespace of the test's own.
#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <functional>

namespace Testing {

struct EndpointRequest {
    QByteArray method;
    QByteArray target;  // path and query, as sent
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    qint64 atMs = 0;    // since the endpoint started
    QByteArray path() const { return target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?')); }
    QByteArray query() const { return target.indexOf('?') < 0 ? QByteArray() : target.mid(target.indexOf('?') + 1); }
    QString item(const QString& key) const {
        return QUrlQuery(QString::fromLatin1(query())).queryItemValue(key, QUrl::FullyDecoded);
    }
    qint64 seq() const { return item(QStringLiteral("seq")).toLongLong(); }
    QByteArray header(QByteArrayView name) const {
        for (const auto& [k, v] : headers)
            if (k.compare(name, Qt::CaseInsensitive) == 0) return v;
        return {};
    }
};

struct EndpointAnswer {
    int status = 200;
    QByteArray body;
    int delayMs = 0;
    bool never = false;  // no answer at all (the client's timeout is tested)
};

class CaptionEndpoint : public QObject {
public:
    std::function<EndpointAnswer(const EndpointRequest&)> answer = [](const EndpointRequest&) { return EndpointAnswer{}; };
    QList<EndpointRequest> requests;
    int inFlight = 0;
    int mostInFlight = 0;

    bool listen(const QHostAddress& address, quint16 port) {
        clock_.start();
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { take(s); });
                connect(s, &QTcpSocket::disconnected, this, [this, s] {
                    inFlight -= hung_.take(s);
                    buffers_.remove(s);
                    s->deleteLater();
                });
            }
        });
        return server_.listen(address, port);
    }
    void close() { server_.close(); }
    quint16 port() const { return server_.serverPort(); }

    QList<EndpointRequest> posts() const {
        QList<EndpointRequest> out;
        for (const EndpointRequest& r : requests)
            if (r.method == "POST") out << r;
        return out;
    }
    bool waitForRequests(qsizetype n, int ms = 10000) {
        return QTest::qWaitFor([&] { return requests.size() >= n; }, ms);
    }
    bool waitForPosts(qsizetype n, int ms = 10000) {
        return QTest::qWaitFor([&] { return posts().size() >= n; }, ms);
    }

private:
    void take(QTcpSocket* s) {
        QByteArray& buffer = buffers_[s];
        buffer += s->readAll();
        for (;;) {
            const qsizetype end = buffer.indexOf("\r\n\r\n");
            if (end < 0) return;
            EndpointRequest r;
            const QList<QByteArray> head = buffer.left(end).split('\n');
            const QList<QByteArray> first = head.value(0).trimmed().split(' ');
            r.method = first.value(0);
            r.target = first.value(1);
            for (qsizetype i = 1; i < head.size(); ++i) {
                const qsizetype colon = head[i].indexOf(':');
                if (colon > 0) r.headers.append({head[i].left(colon).trimmed(), head[i].mid(colon + 1).trimmed()});
            }
            const qsizetype length = r.header("Content-Length").toLongLong();
            if (buffer.size() < end + 4 + length) return;
            r.body = buffer.mid(end + 4, length);
            buffer.remove(0, end + 4 + length);
            r.atMs = clock_.elapsed();
            requests.append(r);
            const EndpointAnswer a = answer(r);
            ++inFlight;
            mostInFlight = qMax(mostInFlight, inFlight);
            if (a.never) {  // the client gives up and closes the connection
                ++hung_[s];
                continue;
            }
            QPointer<QTcpSocket> socket(s);
            QTimer::singleShot(a.delayMs, this, [this, socket, a] {
                --inFlight;
                if (!socket) return;
                socket->write("HTTP/1.1 " + QByteArray::number(a.status) + (a.status < 300 ? " OK" : " Error") +
                              "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(a.body.size()) +
                              "\r\n\r\n" + a.body);
            });
        }
    }

    QElapsedTimer clock_;
    QHash<QTcpSocket*, QByteArray> buffers_;
    QHash<QTcpSocket*, int> hung_;  // requests on the connection that are never answered
    QTcpServer server_;             // last: its connections go first, while the tables above still stand
};

}  // namespace Testing

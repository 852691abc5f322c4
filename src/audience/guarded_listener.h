#pragma once
// The audience page's listening socket, in front of QHttpServer, which itself bounds nothing: it
// waits for a request as long as the client likes, reads a request head of any length, and takes
// any number of connections. Here every connection gets a deadline and a size limit for its
// request, one client address a few connections, and all clients together a bounded number, the
// oldest unfinished ones making room for a newcomer:
//   - a request not complete (answered) within 10 s of the connection or of the last answer on it
//     is closed: a phone's browser sends its request at once; a connection that never does holds a
//     descriptor for nothing;
//   - a request head longer than 16 KB is answered 431 and closed; a body past 64 KB (the page
//     takes none) is closed;
//   - one address holds at most 8 connections at a time (a phone needs a few), and all addresses
//     together at most 256; a connection past either bound closes the oldest unfinished one.
// The event streams, once their head is out, leave the server for the ReaderPool, which bounds them
// in its own way.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>
#include <map>
#include <vector>

class QTcpSocket;

namespace Audience {

class GuardedListener : public QTcpServer {
    Q_OBJECT
public:
    struct Limits {
        int requestMs = 10000;
        qint64 headBytes = 16 * 1024;
        qint64 bodyBytes = 64 * 1024;
        int perAddress = 8;
        int connections = 256;
    };

    explicit GuardedListener(QObject* parent = nullptr) : GuardedListener(Limits{}, parent) {}
    GuardedListener(Limits limits, QObject* parent = nullptr);
    ~GuardedListener() override;

    const Limits& limits() const { return limits_; }
    // Connections open now (requests being read, answered, or waiting on a kept-alive connection).
    int openConnections() const { return int(connections_.size()); }
    // Closed for taking too long, for a head or body too long, or to make room, since the start.
    qint64 closedOverdue() const { return overdue_; }
    qint64 closedTooLong() const { return tooLong_; }
    qint64 closedForRoom() const { return forRoom_; }

    // Closes the connections whose request is overdue now (also done twice a second by itself).
    void sweep();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Connection {
        QHostAddress peer;
        quint64 order = 0;          // when the current request began, in order of all requests
        qint64 startedMs = 0;       // and on the clock
        qint64 bytes = 0;           // of the current request, head and body
        qint64 headLength = 0;      // once its end was seen
        bool headDone = false;
        QByteArray tail;            // the last bytes of the head so far, to find its end across reads
        bool closing = false;
    };

    void bytesArrived(QTcpSocket* socket);
    void answered(QTcpSocket* socket);
    void refuse(QTcpSocket* socket, const QByteArray& status);
    void close(QTcpSocket* socket);
    // The connection whose request began first (of one address, or of all); nullptr for none.
    QTcpSocket* oldest(const QHostAddress* of) const;
    int countOf(const QHostAddress& peer) const;
    void forget(QTcpSocket* socket);

    Limits limits_;
    std::map<QTcpSocket*, Connection> connections_;
    QTimer sweeper_;
    QElapsedTimer clock_;
    quint64 nextOrder_ = 0;
    qint64 overdue_ = 0, tooLong_ = 0, forRoom_ = 0;
};

}  // namespace Audience

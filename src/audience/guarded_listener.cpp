#include "audience/guarded_listener.h"

#include <QTcpSocket>
#include <unistd.h>

namespace Audience {
namespace {

QByteArray plainReply(const QByteArray& status) {
    const QByteArray body = status + '\n';
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

}  // namespace

GuardedListener::GuardedListener(Limits limits, QObject* parent) : QTcpServer(parent), limits_(limits) {
    clock_.start();
    sweeper_.setInterval(500);
    connect(&sweeper_, &QTimer::timeout, this, &GuardedListener::sweep);
    sweeper_.start();
}

GuardedListener::~GuardedListener() {
    for (const auto& [socket, c] : connections_) QObject::disconnect(socket, nullptr, this, nullptr);
}

void GuardedListener::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(int(descriptor));
        return;
    }
    const QHostAddress peer = socket->peerAddress();
    // Room first: the oldest unfinished request of this address, then of anyone, goes.
    while (countOf(peer) >= limits_.perAddress) {
        close(oldest(&peer));
        ++forRoom_;
    }
    while (int(connections_.size()) >= limits_.connections) {
        close(oldest(nullptr));
        ++forRoom_;
    }
    Connection c;
    c.peer = peer;
    c.order = nextOrder_++;
    c.startedMs = clock_.elapsed();
    connections_[socket] = c;
    // Before the server's own: a head past its limit is answered here and never reaches it.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { bytesArrived(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { answered(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { forget(socket); });
    connect(socket, &QObject::destroyed, this, [this, socket] { forget(socket); });
    addPendingConnection(socket);
}

int GuardedListener::countOf(const QHostAddress& peer) const {
    int n = 0;
    for (const auto& [socket, c] : connections_) n += c.peer == peer;
    return n;
}

QTcpSocket* GuardedListener::oldest(const QHostAddress* of) const {
    QTcpSocket* found = nullptr;
    quint64 order = 0;
    for (const auto& [socket, c] : connections_) {
        if (of && c.peer != *of) continue;
        if (!found || c.order < order) {
            found = socket;
            order = c.order;
        }
    }
    return found;
}

void GuardedListener::close(QTcpSocket* socket) {
    if (!socket) return;
    forget(socket);
    socket->abort();  // the server deletes it on its disconnection
}

void GuardedListener::forget(QTcpSocket* socket) { connections_.erase(socket); }

void GuardedListener::bytesArrived(QTcpSocket* socket) {
    const auto it = connections_.find(socket);
    if (it == connections_.end() || it->second.closing) return;
    Connection& c = it->second;
    const qint64 fresh = socket->bytesAvailable();  // what the server has not read yet
    if (fresh <= 0) return;
    if (!c.headDone) {
        // Only as much as the limit matters: past it the head is too long anyway.
        const QByteArray seen = c.tail + socket->peek(qMin(fresh, limits_.headBytes + 4));
        const qsizetype end = seen.indexOf("\r\n\r\n");
        const qint64 headSoFar = c.bytes - c.tail.size() + (end >= 0 ? end + 4 : seen.size());
        if (headSoFar > limits_.headBytes) {
            ++tooLong_;
            refuse(socket, "431 Request Header Fields Too Large");
            return;
        }
        if (end >= 0) {
            c.headDone = true;
            c.headLength = headSoFar;  // what follows is body (or the next request)
            c.tail.clear();
        } else {
            c.tail = seen.right(3);
        }
    }
    c.bytes += fresh;
    if (c.headDone && c.bytes - c.headLength > limits_.bodyBytes) {
        ++tooLong_;
        refuse(socket, "413 Content Too Large");
    }
}

void GuardedListener::answered(QTcpSocket* socket) {
    const auto it = connections_.find(socket);
    if (it == connections_.end() || it->second.closing) return;
    // An answer went out: the next request on this connection starts now.
    Connection& c = it->second;
    c.order = nextOrder_++;
    c.startedMs = clock_.elapsed();
    c.bytes = 0;
    c.headLength = 0;
    c.headDone = false;
    c.tail.clear();
}

void GuardedListener::refuse(QTcpSocket* socket, const QByteArray& status) {
    Connection& c = connections_.at(socket);
    c.closing = true;
    c.startedMs = clock_.elapsed();  // a client that does not take the answer is closed in time
    // The server never sees this request, nor anything after it.
    QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
    if (socket->isTransactionStarted()) socket->commitTransaction();
    socket->readAll();
    socket->setReadBufferSize(4096);  // the rest of a huge head stays in the kernel, then goes with the socket
    socket->write(plainReply(status));
    socket->disconnectFromHost();
}

void GuardedListener::sweep() {
    const qint64 now = clock_.elapsed();
    std::vector<QTcpSocket*> overdue;
    for (const auto& [socket, c] : connections_)
        if (now - c.startedMs >= limits_.requestMs) overdue.push_back(socket);
    for (QTcpSocket* s : overdue) {
        ++overdue_;
        close(s);
    }
}

}  // namespace Audience

#include "audience/reader_pool.h"

#include <QTcpSocket>

namespace Audience {
namespace {
// Without an id, so a reconnecting reader still names the last real event. The page also takes
// its silence for a dead connection.
const QByteArray kPing = "data: {\"t\":\"ping\"}\n\n";
}  // namespace

ReaderPool::ReaderPool(QObject* parent) : QObject(parent) {
    heartbeat_.setInterval(kHeartbeatMs);
    connect(&heartbeat_, &QTimer::timeout, this, &ReaderPool::heartbeat);
}

ReaderPool::~ReaderPool() = default;

void ReaderPool::admit(QTcpSocket* socket, const QByteArray& first) {
    // A small kernel buffer: a reader that stops reading shows in our own queue soon, and a crowd
    // of them holds little memory.
    socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 64 * 1024);
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QAbstractSocket::disconnected, this, [this, socket] { forget(socket); });
    connect(socket, &QObject::destroyed, this, [this, socket] { forget(socket); });
    readers_.append({socket});
    socket->write(first);
    socket->flush();
    if (!heartbeat_.isActive()) heartbeat_.start();
    emit countChanged(count());
}

void ReaderPool::broadcast(const QByteArray& bytes) {
    QList<QTcpSocket*> late;
    // A copy: a failing write may report the disconnection (and so change the list) at once.
    const QList<Reader> readers = readers_;
    for (const Reader& r : readers) {
        QTcpSocket* s = r.socket;
        if (!s || s->state() != QAbstractSocket::ConnectedState) continue;
        if (s->bytesToWrite() + bytes.size() > maxQueued_) {
            late.append(s);
            continue;
        }
        s->write(bytes);
        s->flush();  // out now, without blocking: what the kernel does not take stays queued
    }
    drop(late);
}

void ReaderPool::heartbeat() {
    QList<QTcpSocket*> gone;
    for (Reader& r : readers_) {
        if (!r.socket) continue;
        const qint64 queued = r.socket->bytesToWrite();
        r.stalledBeats = (queued > 0 && queued >= r.queuedAtLastBeat) ? r.stalledBeats + 1 : 0;
        r.queuedAtLastBeat = queued;
        if (r.stalledBeats >= kStalledBeats) gone.append(r.socket);
    }
    drop(gone);
    broadcast(kPing);
    if (readers_.isEmpty()) heartbeat_.stop();
}

void ReaderPool::drop(const QList<QTcpSocket*>& sockets) {
    for (QTcpSocket* s : sockets) {
        forget(s);
        ++dropped_;
        s->abort();
    }
}

void ReaderPool::forget(QTcpSocket* socket) {
    const qsizetype before = readers_.size();
    readers_.removeIf([socket](const Reader& r) { return r.socket.isNull() || r.socket == socket; });
    if (readers_.size() != before) {
        disconnect(socket, nullptr, this, nullptr);
        emit countChanged(count());
    }
}

void ReaderPool::closeAll() {
    QList<QTcpSocket*> all;
    for (const Reader& r : readers_)
        if (r.socket) all.append(r.socket);
    readers_.clear();
    for (QTcpSocket* s : all) {
        disconnect(s, nullptr, this, nullptr);
        s->abort();
    }
    heartbeat_.stop();
    emit countChanged(0);
}

}  // namespace Audience

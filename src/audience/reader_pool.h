#pragma once
// The open event streams of the audience page. A crowd must never hold up the display: the
// streams are written by a thread of their own, so the station's thread only hands each event
// over (a few microseconds, whatever the crowd). Each stream may queue only a bounded amount; a
// reader that falls further behind is dropped (its browser reconnects and catches up), and so is a
// reader that has not taken its data for 30 s (what it was sent still waits, in our queue or in the
// kernel's). A ping every 15 s keeps idle streams (and phones' Wi-Fi) awake and shows the dead ones.
// A new reader always gets in: past the cap, the reader silent longest makes room (the one admitted
// first among equals), and one address holds at most a few streams, its oldest making room.
//
// A stream is taken over from QHttpServer once its response head is out: the writer thread gets
// its own duplicate of the socket's descriptor and the server's socket object is closed, so no
// socket object is ever used from two threads.
#include <QByteArray>
#include <QObject>
#include <atomic>
#include <memory>

class QTcpSocket;

namespace Audience {

class ReaderPool : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxReaders = 300;
    static constexpr int kMaxPerAddress = 8;
    static constexpr qint64 kMaxQueuedBytes = 256 * 1024;
    static constexpr int kHeartbeatMs = 15000;
    static constexpr int kSilentMs = 30000;  // without taking its data: gone

    explicit ReaderPool(QObject* parent = nullptr);
    ~ReaderPool() override;

    int count() const { return count_.load(); }
    bool full() const { return count() >= maxReaders_.load(); }
    // Dropped for falling behind or going silent, and closed to make room for a newcomer.
    qint64 dropped() const { return dropped_.load(); }
    qint64 madeRoom() const { return madeRoom_.load(); }
    void setMaxReaders(int n) { maxReaders_.store(n); }
    void setMaxPerAddress(int n) { maxPerAddress_.store(n); }
    void setMaxQueuedBytes(qint64 n) { maxQueued_.store(n); }
    void setSilentMs(int ms) { silentMs_.store(ms); }

    // Takes over a stream whose response head has been written; `first` goes out before any
    // event. False (and the connection closed) when the head is still queued or the socket gone.
    bool admit(QTcpSocket* socket, const QByteArray& first);
    // Hands `bytes` to every reader; readers too far behind are dropped.
    void broadcast(const QByteArray& bytes);
    // Closes every stream; returns when they are closed.
    void closeAll();
    // One heartbeat now, returning when it is done (the writer beats by itself every 15 s).
    void heartbeat();

signals:
    void countChanged(int readers);

private:
    class Writer;
    void reportCount();

    std::atomic<int> count_ = 0;       // admitted and not yet closed
    std::atomic<qint64> dropped_ = 0;  // dropped for falling behind or going silent
    std::atomic<qint64> madeRoom_ = 0;
    std::atomic<qint64> maxQueued_ = kMaxQueuedBytes;
    std::atomic<int> maxReaders_ = kMaxReaders;
    std::atomic<int> maxPerAddress_ = kMaxPerAddress;
    std::atomic<int> silentMs_ = kSilentMs;
    std::unique_ptr<Writer> writer_;
};

}  // namespace Audience

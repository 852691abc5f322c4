#pragma once
// The open event streams of the audience page. A crowd must never hold up the display: writes
// never block (they queue in the socket), each stream may queue only a bounded amount, a reader
// that falls further behind is dropped (its browser reconnects and catches up), a reader whose
// queue has not moved for a minute is taken for gone, and past the cap new readers are refused.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QTcpSocket;

namespace Audience {

class ReaderPool : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxReaders = 300;
    static constexpr qint64 kMaxQueuedBytes = 256 * 1024;
    static constexpr int kHeartbeatMs = 15000;   // a ping keeps idle streams (and Wi-Fi) awake
    static constexpr int kStalledBeats = 4;      // beats without progress before a reader is gone

    explicit ReaderPool(QObject* parent = nullptr);
    ~ReaderPool() override;

    int count() const { return int(readers_.size()); }
    bool full() const { return count() >= maxReaders_; }
    void setMaxReaders(int n) { maxReaders_ = n; }
    void setMaxQueuedBytes(qint64 n) { maxQueued_ = n; }

    // Takes an open stream whose response head has been written; `first` goes out at once.
    void admit(QTcpSocket* socket, const QByteArray& first);
    // Writes `bytes` to every reader, dropping those that are too far behind.
    void broadcast(const QByteArray& bytes);
    // Closes every stream.
    void closeAll();

    // One heartbeat now (the timer's work; tests call it directly).
    void heartbeat();

    qint64 dropped() const { return dropped_; }

signals:
    void countChanged(int readers);

private:
    struct Reader {
        QPointer<QTcpSocket> socket;
        qint64 queuedAtLastBeat = 0;
        int stalledBeats = 0;
    };
    void drop(const QList<QTcpSocket*>& sockets);
    void forget(QTcpSocket* socket);

    QList<Reader> readers_;
    QTimer heartbeat_;
    int maxReaders_ = kMaxReaders;
    qint64 maxQueued_ = kMaxQueuedBytes;
    qint64 dropped_ = 0;
};

}  // namespace Audience

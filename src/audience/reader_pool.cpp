#include "audience/reader_pool.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <chrono>
#include <deque>
#include <future>
#include <fcntl.h>
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace Audience {
namespace {

// Without an id, so a reconnecting reader still names the last real event. The page also takes
// a long silence for a dead connection.
const QByteArray kPing = "data: {\"t\":\"ping\"}\n\n";
// How often the writer looks for readers that went silent.
constexpr int kLookMs = 1000;

}  // namespace

// The thread that writes the streams. It owns the descriptors; the station's thread talks to it
// only through its inbox.
class ReaderPool::Writer {
public:
    explicit Writer(ReaderPool& pool) : pool_(pool), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        thread_ = std::thread([this] { run(); });
        ::pthread_setname_np(thread_.native_handle(), "audience-writer");
    }
    ~Writer() {
        post({Command::Stop, -1, {}, {}});
        thread_.join();
        ::close(wake_);
    }

    struct Command {
        enum Kind { Add, Send, Beat, CloseAll, Stop } kind;
        int fd = -1;
        QByteArray bytes;
        std::shared_ptr<std::promise<void>> done;
        quint32 peer = 0;  // Add: the reader's address
    };

    void post(Command c) {
        {
            const std::lock_guard lock(mutex_);
            inbox_.push_back(std::move(c));
        }
        const quint64 one = 1;
        (void)!::write(wake_, &one, sizeof one);
    }
    // Posts and waits until the writer has carried it out.
    void call(Command::Kind kind) {
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> f = done->get_future();
        post({kind, -1, {}, done});
        f.wait();
    }

private:
    using Time = std::chrono::steady_clock::time_point;
    struct Reader {
        int fd;
        quint32 peer = 0;
        quint64 order = 0;  // of admission
        std::deque<QByteArray> queue;
        qsizetype offset = 0;  // bytes of queue.front() already sent
        qint64 queued = 0;
        Time caughtUp;  // when it last had taken everything it was sent
        bool closing = false;
    };

    void run() {
        using namespace std::chrono;
        auto nextBeat = steady_clock::now() + milliseconds(kHeartbeatMs);
        auto nextLook = steady_clock::now() + milliseconds(kLookMs);
        std::vector<pollfd> fds;
        for (;;) {
            fds.clear();
            fds.push_back({wake_, POLLIN, 0});
            for (const Reader& r : readers_)
                fds.push_back({r.fd, short(POLLIN | POLLRDHUP | (r.queued > 0 ? POLLOUT : 0)), 0});
            const auto wait = duration_cast<milliseconds>(std::min(nextBeat, nextLook) - steady_clock::now()).count();
            ::poll(fds.data(), fds.size(), int(qMax<qint64>(0, wait)));

            for (size_t i = 1; i < fds.size(); ++i) {
                Reader& r = readers_[i - 1];
                const short ev = fds[i].revents;
                if (ev & (POLLERR | POLLHUP | POLLRDHUP)) r.closing = true;
                else if (ev & POLLIN) discardInput(r);
                if ((ev & POLLOUT) && !r.closing) flush(r);
            }
            if (fds[0].revents & POLLIN) {
                quint64 n;
                (void)!::read(wake_, &n, sizeof n);
                std::vector<Command> commands;
                {
                    const std::lock_guard lock(mutex_);
                    commands.swap(inbox_);
                }
                for (Command& c : commands) {
                    if (c.kind == Command::Stop) {
                        closeAll();
                        return;
                    }
                    carryOut(c);
                    if (c.done) c.done->set_value();
                }
            }
            if (steady_clock::now() >= nextBeat) {
                beat();
                nextBeat = steady_clock::now() + milliseconds(kHeartbeatMs);
            }
            if (steady_clock::now() >= nextLook) {
                dropSilent();
                nextLook = steady_clock::now() + milliseconds(kLookMs);
            }
            reap();
        }
    }

    // What the reader was sent and has not taken: in our queue, and in the kernel's (not yet
    // acknowledged by the reader's end).
    static qint64 outstanding(const Reader& r) {
        int unsent = 0;
        if (::ioctl(r.fd, SIOCOUTQ, &unsent) != 0) unsent = 0;
        return r.queued + unsent;
    }
    // How long the reader has not taken what it was sent (zero while it has everything).
    static std::chrono::milliseconds silence(Reader& r, Time now) {
        if (outstanding(r) == 0) r.caughtUp = now;
        return std::chrono::duration_cast<std::chrono::milliseconds>(now - r.caughtUp);
    }

    void dropSilent() {
        const Time now = std::chrono::steady_clock::now();
        for (Reader& r : readers_)
            if (!r.closing && silence(r, now).count() >= pool_.silentMs_.load()) {
                r.closing = true;
                ++pool_.dropped_;
            }
    }

    // Room for a reader from `peer`: the oldest of that address past its share, then the reader
    // silent longest (the one admitted first among equals) past the cap.
    void makeRoom(quint32 peer) {
        const Time now = std::chrono::steady_clock::now();
        auto live = [](const Reader& r) { return !r.closing; };
        for (;;) {
            Reader* oldest = nullptr;
            int same = 0;
            for (Reader& r : readers_) {
                if (!live(r) || r.peer != peer) continue;
                ++same;
                if (!oldest || r.order < oldest->order) oldest = &r;
            }
            if (same < pool_.maxPerAddress_.load()) break;
            oldest->closing = true;
            ++pool_.madeRoom_;
        }
        for (;;) {
            Reader* quietest = nullptr;
            std::chrono::milliseconds longest{-1};
            int alive = 0;
            for (Reader& r : readers_) {
                if (!live(r)) continue;
                ++alive;
                const auto s = silence(r, now);
                if (s > longest || (s == longest && r.order < quietest->order)) {
                    quietest = &r;
                    longest = s;
                }
            }
            if (alive < pool_.maxReaders_.load()) break;
            quietest->closing = true;
            ++pool_.madeRoom_;
        }
    }

    void carryOut(Command& c) {
        switch (c.kind) {
        case Command::Add: {
            makeRoom(c.peer);
            Reader r{c.fd};
            r.peer = c.peer;
            r.order = nextOrder_++;
            r.caughtUp = std::chrono::steady_clock::now();
            readers_.push_back(std::move(r));
            send(readers_.back(), c.bytes);
            break;
        }
        case Command::Send:
            for (Reader& r : readers_) send(r, c.bytes);
            break;
        case Command::Beat:
            beat();
            break;
        case Command::CloseAll:
            closeAll();
            break;
        case Command::Stop:
            break;
        }
        reap();
    }

    void send(Reader& r, const QByteArray& bytes) {
        if (r.closing) return;
        if (r.queued + bytes.size() > pool_.maxQueued_.load()) {  // too far behind
            r.closing = true;
            ++pool_.dropped_;
            return;
        }
        r.queue.push_back(bytes);  // shared, not copied
        r.queued += bytes.size();
        flush(r);
    }

    // Writes what the kernel takes now, never waiting for more room.
    void flush(Reader& r) {
        while (!r.queue.empty()) {
            const QByteArray& front = r.queue.front();
            const ssize_t n = ::send(r.fd, front.constData() + r.offset, size_t(front.size() - r.offset),
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0) {
                if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) r.closing = true;
                return;
            }
            r.offset += n;
            r.queued -= n;
            if (r.offset == front.size()) {
                r.queue.pop_front();
                r.offset = 0;
            }
        }
    }

    // A reader sends nothing after its request; whatever comes is read and thrown away.
    void discardInput(Reader& r) {
        char scratch[4096];
        const ssize_t n = ::recv(r.fd, scratch, sizeof scratch, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) r.closing = true;
    }

    void beat() {
        dropSilent();
        for (Reader& r : readers_) send(r, kPing);
    }

    void closeAll() {
        for (Reader& r : readers_) r.closing = true;
        reap();
    }

    void reap() {
        int closed = 0;
        for (auto it = readers_.begin(); it != readers_.end();) {
            if (!it->closing) {
                ++it;
                continue;
            }
            ::close(it->fd);
            it = readers_.erase(it);
            ++closed;
        }
        if (closed > 0) {
            pool_.count_ -= closed;
            pool_.reportCount();
        }
    }

    ReaderPool& pool_;
    const int wake_;
    std::mutex mutex_;
    std::vector<Command> inbox_;
    std::vector<Reader> readers_;  // the writer thread's alone
    quint64 nextOrder_ = 0;
    std::thread thread_;
};

ReaderPool::ReaderPool(QObject* parent) : QObject(parent), writer_(std::make_unique<Writer>(*this)) {}

ReaderPool::~ReaderPool() { writer_.reset(); }

void ReaderPool::reportCount() {
    // From the writer thread: the signal goes out on the station's thread.
    QMetaObject::invokeMethod(this, [this] { emit countChanged(count()); }, Qt::QueuedConnection);
}

bool ReaderPool::admit(QTcpSocket* socket, const QByteArray& first) {
    socket->flush();
    const qintptr fd = socket->socketDescriptor();
    const int own = (fd >= 0 && socket->bytesToWrite() == 0) ? ::fcntl(int(fd), F_DUPFD_CLOEXEC, 0) : -1;
    // The server's socket object lets go of the connection (closing one descriptor of two ends
    // nothing), after the server's request handler has returned.
    QTimer::singleShot(0, socket, [s = QPointer<QTcpSocket>(socket)] {
        if (s) s->abort();
    });
    if (own < 0) return false;
    // A small kernel buffer: a reader that stops reading shows in our own queue soon, and a crowd
    // of them holds little memory.
    const int sendBuffer = 64 * 1024, on = 1;
    ::setsockopt(own, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
    ::setsockopt(own, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(own, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ++count_;
    Writer::Command add{Writer::Command::Add, own, first, {}};
    bool v4 = false;
    const QHostAddress peer = socket->peerAddress();
    add.peer = peer.toIPv4Address(&v4);
    if (!v4) add.peer = quint32(qHash(peer));
    writer_->post(std::move(add));
    emit countChanged(count());
    return true;
}

void ReaderPool::broadcast(const QByteArray& bytes) {
    if (count() > 0) writer_->post({Writer::Command::Send, -1, bytes, {}});
}

void ReaderPool::closeAll() { writer_->call(Writer::Command::CloseAll); }

void ReaderPool::heartbeat() { writer_->call(Writer::Command::Beat); }

}  // namespace Audience

#include "net/udp_network.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>
#include <arpa/inet.h>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace Net {
namespace {

class UdpSocket;

// Datagrams read from one socket before the others get their round: a flood on one port cannot keep
// the reader from the others.
constexpr int kRound = 256;
constexpr int kBatch = 32;
// Anything longer is over every receive limit anyway.
constexpr int kLongest = 4096;

}  // namespace

class UdpNetwork::Reader {
public:
    Reader() : wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        thread_ = std::thread([this] { run(); });
        ::pthread_setname_np(thread_.native_handle(), "udp-reader");
    }
    ~Reader() {
        stop_ = true;
        wake();
        thread_.join();
        ::close(wake_);
    }

    void add(int fd, UdpSocket* socket) {
        const std::lock_guard lock(mutex_);
        sockets_.push_back({fd, socket});
        wake();
    }
    // Returns once the reader will not read `fd` again (it may be in the middle of a round) and no
    // longer polls it. A file a thread polls stays open in the kernel until that poll returns, so a
    // socket closed under the reader's poll would hold its port a while after close(): the station
    // could not bind again at once the port it just let go of.
    void remove(int fd) {
        std::unique_lock lock(mutex_);
        std::erase_if(sockets_, [fd](const auto& s) { return s.first == fd; });
        wake();
        if (std::this_thread::get_id() == thread_.get_id()) return;  // not inside poll, then
        // `fd` stays open until this returns, so its number cannot come back meanwhile.
        pollEnded_.wait(lock, [&] { return std::find(polled_.begin(), polled_.end(), fd) == polled_.end(); });
    }

private:
    void wake() {
        const eventfd_t one = 1;
        (void)!::write(wake_, &one, sizeof one);
    }
    void run();
    // Reads up to a round from `fd` and hands each datagram to its socket; false when it emptied.
    bool readRound(int fd, UdpSocket* socket);
    QString senderText(const sockaddr_in& from);

    const int wake_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;  // held while the set changes and while a round is read
    std::vector<std::pair<int, UdpSocket*>> sockets_;
    // The sockets' descriptors of the poll under way (empty between polls).
    std::vector<int> polled_;
    std::condition_variable pollEnded_;
    std::thread thread_;
    // The reader thread's own.
    std::array<std::array<char, kLongest>, kBatch> buffers_{};
    quint32 lastV4_ = 0;
    QString lastSender_;
};

namespace {

class UdpSocket final : public DatagramSocket {
public:
    explicit UdpSocket(std::shared_ptr<UdpNetwork::Reader> reader) : reader_(std::move(reader)) {}
    ~UdpSocket() override {
        close();
        if (sendFd_ >= 0) ::close(sendFd_);
    }

    bool bind(quint16 port) override {
        close();
        const int fd = openFd();
        if (fd < 0) return false;
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_ANY);
        // No address reuse: a second copy of the program in the same channel must fail to bind.
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
            ::close(fd);
            return false;
        }
        // Room for a burst of lines while the reader is away (the kernel may grant less).
        const int size = 1 << 20;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        fd_ = fd;
        reader_->add(fd_, this);
        return true;
    }

    void close() override {
        if (fd_ < 0) return;
        reader_->remove(fd_);
        ::close(fd_);  // the last hold on the socket: its port is free again on return
        fd_ = -1;
    }

    bool isBound() const override { return fd_ >= 0; }

    bool sendTo(const QByteArray& payload, const QString& host, quint16 port, QString* error) override {
        QHostAddress address(host);
        if (address.isNull() || address.protocol() != QAbstractSocket::IPv4Protocol) {
            address = QHostAddress();
            const QHostInfo info = QHostInfo::fromName(host);
            for (const QHostAddress& a : info.addresses())
                if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                    address = a;
                    break;
                }
            if (address.isNull()) {
                if (error) *error = info.errorString();
                return false;
            }
        }
        // An endpoint that never bound sends from a port the system picks, as an unbound socket does.
        if (fd_ < 0 && sendFd_ < 0) sendFd_ = openFd();
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(address.toIPv4Address());
        ::sendto(fd_ >= 0 ? fd_ : sendFd_, payload.constData(), size_t(payload.size()), MSG_DONTWAIT,
                 reinterpret_cast<const sockaddr*>(&to), sizeof to);  // a failed send is silent
        return true;
    }

    // From the reader thread.
    void arrived(const QByteArray& payload, const QString& from, quint16 fromPort) { emit received(payload, from, fromPort); }

private:
    static int openFd() {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) return -1;
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);  // member search is a directed broadcast
        return fd;
    }

    std::shared_ptr<UdpNetwork::Reader> reader_;
    int fd_ = -1;
    int sendFd_ = -1;
};

}  // namespace

void UdpNetwork::Reader::run() {
    std::vector<std::pair<int, UdpSocket*>> watched;
    std::vector<pollfd> fds;
    while (!stop_) {
        fds.assign(1, {wake_, POLLIN, 0});
        {
            const std::lock_guard lock(mutex_);
            watched = sockets_;
            polled_.clear();
            for (const auto& [fd, socket] : watched) {
                fds.push_back({fd, POLLIN, 0});
                polled_.push_back(fd);
            }
        }
        const int ready = ::poll(fds.data(), fds.size(), -1);
        // The poll is over: a socket removed meanwhile may be closed now (its remover waits for this).
        const std::lock_guard lock(mutex_);
        polled_.clear();
        pollEnded_.notify_all();
        if (ready < 0) continue;  // EINTR
        if (fds[0].revents & POLLIN) {
            eventfd_t n = 0;
            eventfd_read(wake_, &n);
        }
        // One round for each ready socket, then the set may change (a rebind waits at most a round)
        // and poll tells again which still hold datagrams. A socket closed or replaced meanwhile is no
        // longer in the set and is not read.
        for (size_t i = 1; i < fds.size(); ++i) {
            if (!(fds[i].revents & POLLIN)) continue;
            const auto& s = watched[i - 1];
            if (std::find(sockets_.begin(), sockets_.end(), s) != sockets_.end()) readRound(s.first, s.second);
        }
    }
}

bool UdpNetwork::Reader::readRound(int fd, UdpSocket* socket) {
    std::array<mmsghdr, kBatch> messages{};
    std::array<iovec, kBatch> iov{};
    std::array<sockaddr_in, kBatch> from{};
    for (int taken = 0; taken < kRound;) {
        for (int i = 0; i < kBatch; ++i) {
            iov[i] = {buffers_[i].data(), buffers_[i].size()};
            messages[i].msg_hdr = {};
            messages[i].msg_hdr.msg_name = &from[i];
            messages[i].msg_hdr.msg_namelen = sizeof from[i];
            messages[i].msg_hdr.msg_iov = &iov[i];
            messages[i].msg_hdr.msg_iovlen = 1;
        }
        const int n = ::recvmmsg(fd, messages.data(), kBatch, MSG_DONTWAIT, nullptr);
        if (n <= 0) return false;  // empty (or gone)
        for (int i = 0; i < n; ++i) {
            if (messages[i].msg_hdr.msg_flags & MSG_TRUNC) continue;  // longer than any receive limit
            socket->arrived(QByteArray(buffers_[i].data(), int(messages[i].msg_len)), senderText(from[i]),
                            ntohs(from[i].sin_port));
        }
        taken += n;
        if (n < kBatch) return false;
    }
    return true;  // more may wait: the other sockets first
}

// The dotted text of a sender, made once per run of datagrams from one address (a flood comes from
// one address, and the text is shared, not copied).
QString UdpNetwork::Reader::senderText(const sockaddr_in& from) {
    const quint32 v4 = ntohl(from.sin_addr.s_addr);
    if (v4 != lastV4_ || lastSender_.isEmpty()) {
        lastV4_ = v4;
        lastSender_ = QHostAddress(v4).toString();
    }
    return lastSender_;
}

UdpNetwork::UdpNetwork() : reader_(std::make_shared<Reader>()) {}

UdpNetwork::~UdpNetwork() = default;

std::unique_ptr<DatagramSocket> UdpNetwork::openSocket() { return std::make_unique<UdpSocket>(reader_); }

HostIdentity UdpNetwork::hostIdentity() const {
    HostIdentity id;
    char name[257] = {};
    if (gethostname(name, sizeof name - 1) == 0) id.hostName = QString::fromLocal8Bit(name);
    // The host-name lookup on Linux usually answers a loopback address; the interfaces do not.
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        if (!(flags & QNetworkInterface::IsUp) || (flags & QNetworkInterface::IsLoopBack)) continue;
        for (const QNetworkAddressEntry& e : iface.addressEntries()) {
            const QHostAddress a = e.ip();
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) id.ipv4Addresses << a.toString();
        }
    }
    return id;
}

}  // namespace Net

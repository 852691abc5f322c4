#pragma once
// Readers of the audience page's event stream for the benchmarks: plain sockets on a thread of
// their own, so their reading does not weigh on the station's thread that is measured.
#include <QtGlobal>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace Bench {

using Clock = std::chrono::steady_clock;
constexpr int kLines = 4096;  // line numbers the readers can report

// Readers on their own thread. Each line's text carries "#<n>#"; when the event with line n has
// reached every reader, its time is stored.
class Crowd {
public:
    // `pump` runs the station's event loop between connections, so that the server takes them in
    // as they come rather than letting the listen queue overflow.
    Crowd(int readers, quint16 port, const std::function<void()>& pump) : done_(kLines) {
        for (auto& d : done_) d.store(0);
        const std::string request = "GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        for (int i = 0; i < readers; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            // Each reader from a loopback address of its own, as each phone has its own address (the
            // server holds only a few streams per address).
            sockaddr_in from{};
            from.sin_family = AF_INET;
            from.sin_addr.s_addr = htonl((127u << 24) | (1u << 16) | quint32(1 + i));
            ::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_port = htons(port);
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
                ::send(fd, request.data(), request.size(), 0) != ssize_t(request.size())) {
                ::close(fd);
                continue;
            }
            readers_.push_back({fd, {}, 0});
            if (i % 16 == 15) pump();
        }
        thread_ = std::thread([this] { run(); });
    }
    ~Crowd() {
        stop_ = true;
        thread_.join();
        for (const Reader& r : readers_) ::close(r.fd);
    }
    int size() const { return int(readers_.size()); }
    // Steady-clock nanoseconds at which line n had reached everyone, 0 while not yet.
    qint64 doneAt(int n) const { return done_[size_t(n % kLines)].load(); }

private:
    struct Reader {
        int fd;
        std::string pending;
        int seen = 0;
    };
    void run() {
        std::vector<pollfd> fds;
        for (const Reader& r : readers_) fds.push_back({r.fd, POLLIN, 0});
        std::vector<std::atomic<int>> reached(kLines);
        char buf[65536];
        while (!stop_) {
            if (::poll(fds.data(), fds.size(), 20) <= 0) continue;
            for (size_t i = 0; i < fds.size(); ++i) {
                if (!(fds[i].revents & POLLIN)) continue;
                const ssize_t got = ::recv(fds[i].fd, buf, sizeof buf, 0);
                if (got <= 0) continue;
                Reader& r = readers_[i];
                r.pending.append(buf, size_t(got));
                // Every complete "#n#" is a line that reached this reader.
                size_t from = 0;
                for (size_t open; (open = r.pending.find('#', from)) != std::string::npos;) {
                    const size_t close = r.pending.find('#', open + 1);
                    if (close == std::string::npos) break;
                    const int n = std::atoi(r.pending.c_str() + open + 1);
                    if (n > r.seen) {
                        r.seen = n;
                        if (++reached[size_t(n % kLines)] == int(readers_.size()))
                            done_[size_t(n % kLines)].store(Clock::now().time_since_epoch().count());
                    }
                    from = close + 1;
                }
                r.pending.erase(0, from);
            }
        }
    }
    std::vector<Reader> readers_;
    std::vector<std::atomic<qint64>> done_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

}  // namespace Bench

#pragma once
// A network of its own for a test or benchmark that opens real sockets: called first thing in
// main(), before any thread or socket exists, it moves the process into a new network namespace
// with only loopback, up. Nothing it opens afterwards can reach this machine's own network.
// Needs root; false otherwise (the caller then skips with a message).
#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Testing {

inline bool enterPrivateNetwork() {
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNET) != 0) return false;
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return false;
    ifreq ifr{};
    std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ::ioctl(fd, SIOCGIFFLAGS, &ifr) == 0;
    ifr.ifr_flags |= IFF_UP;
    ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &ifr) == 0;
    ::close(fd);
    return ok;
}

}  // namespace Testing

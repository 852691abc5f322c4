#pragma once
// A full disk for tests that cannot mount one: while a FileSizeLimit lives, this process cannot
// grow any file past `bytes` (RLIMIT_FSIZE holds for root too); a write past it fails with EFBIG,
// as one past the free space of a disk fails with ENOSPC. SIGXFSZ is ignored meanwhile.
#include <csignal>
#include <sys/resource.h>

namespace Testing {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

}  // namespace Testing

#pragma once
// Shared pieces of the fuzz targets. Each target defines LLVMFuzzerTestOneInput; built with clang
// and -fsanitize=fuzzer it is a libFuzzer binary, built with the normal tests it is linked to
// replay_main.cpp and replays its saved corpus, so both builds run the same entry.
#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken property is a finding like a crash: abort so that libFuzzer keeps the input and the
// replay test fails.
#define FUZZ_CHECK(cond)                                                                   \
    do {                                                                                   \
        if (!(cond)) {                                                                     \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

namespace Fuzz {

// Takes the input apart front to back; past the end every read gives zero or empty.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(reinterpret_cast<const char*>(data)), size_(qsizetype(size)) {}

    bool empty() const { return pos_ >= size_; }
    qsizetype left() const { return size_ - pos_; }
    uint8_t byte() { return pos_ < size_ ? uint8_t(data_[pos_++]) : 0; }
    quint16 word() {
        const quint16 lo = byte();
        return quint16(lo | (quint16(byte()) << 8));
    }
    // The next n bytes, or fewer at the end.
    QByteArray bytes(qsizetype n) {
        n = qBound<qsizetype>(0, n, left());
        QByteArray out(data_ + pos_, n);
        pos_ += n;
        return out;
    }
    // The bytes up to the next `separator` (which is skipped), or the rest.
    QByteArray until(char separator) {
        const QByteArrayView rest(data_ + pos_, left());
        const qsizetype at = rest.indexOf(separator);
        if (at < 0) return rest_();
        QByteArray out = rest.first(at).toByteArray();
        pos_ += at + 1;
        return out;
    }
    QByteArray rest() { return rest_(); }

private:
    QByteArray rest_() {
        QByteArray out(data_ + pos_, left());
        pos_ = size_;
        return out;
    }
    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
};

}  // namespace Fuzz

#include "net/scramble.h"

#include "text/cp932.h"

#include <array>

namespace Net {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Base64 value of each byte; -1 outside the alphabet. "=" counts as 0 wherever it stands.
constexpr std::array<signed char, 256> makeDecodeTable() {
    std::array<signed char, 256> t{};
    for (auto& v : t) v = -1;
    for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    t[static_cast<unsigned char>('=')] = 0;
    return t;
}
constexpr std::array<signed char, 256> kDecode = makeDecodeTable();

// The password bytes and the start position (key mod L) the mix uses.
struct Mixer {
    QByteArray fallback;  // holds the fallback password's bytes when the given one is empty
    const uchar* bytes = nullptr;
    qsizetype length = 0;
    qsizetype start = 0;

    Mixer(QByteArrayView password, int key) {
        if (password.isEmpty()) {
            fallback = Cp932::encode(fallbackPassword());
            password = fallback;
            key = DeriveKey(password);
        }
        bytes = reinterpret_cast<const uchar*>(password.data());
        length = password.size();
        start = qsizetype(key % length);
        if (start < 0) start += length;
    }

    // t XOR k unless t equals k: no result byte is ever zero, and the rule is its own inverse.
    void apply(uchar* data, qsizetype n) const {
        qsizetype p = start;
        for (qsizetype i = 0; i < n; ++i) {
            const uchar k = bytes[p];
            if (data[i] != k) data[i] ^= k;
            if (++p == length) p = 0;
        }
    }
};

// Rotates the bit string right by one, from the first byte's top bit to the last byte's low bit.
void rotateRight(uchar* data, qsizetype n) {
    uchar carry = data[n - 1] & 1;
    for (qsizetype i = 0; i < n; ++i) {
        const uchar b = data[i];
        data[i] = uchar((b >> 1) | (carry << 7));
        carry = b & 1;
    }
}

void rotateLeft(uchar* data, qsizetype n) {
    const uchar first = data[0] >> 7;
    for (qsizetype i = 0; i + 1 < n; ++i) data[i] = uchar((data[i] << 1) | (data[i + 1] >> 7));
    data[n - 1] = uchar((data[n - 1] << 1) | first);
}

}  // namespace

int DeriveKey(QByteArrayView password) {
    int sum = 0;
    for (char c : password) sum += static_cast<signed char>(c);
    return sum < 0 ? -sum : sum;
}

std::optional<QByteArray> Scramble(QByteArrayView plain, QByteArrayView password, int key) {
    const qsizetype n = plain.size();
    if (n > kMaxScramblePlain) return std::nullopt;
    if (n == 0) return QByteArray();

    std::array<uchar, kMaxScramblePlain> work;
    const auto* in = reinterpret_cast<const uchar*>(plain.data());
    const qsizetype h = n / 2;
    for (qsizetype i = 0; i < h; ++i) {
        work[size_t(2 * i)] = in[i];
        work[size_t(2 * i + 1)] = in[h + i];
    }
    if (n % 2) work[size_t(n - 1)] = in[n - 1];
    rotateRight(work.data(), n);
    Mixer(password, key).apply(work.data(), n);

    QByteArray out(4 * ((n + 2) / 3), Qt::Uninitialized);
    char* o = out.data();
    qsizetype i = 0;
    for (; i + 3 <= n; i += 3) {
        const quint32 v = (quint32(work[size_t(i)]) << 16) | (quint32(work[size_t(i + 1)]) << 8) | work[size_t(i + 2)];
        *o++ = kAlphabet[(v >> 18) & 63];
        *o++ = kAlphabet[(v >> 12) & 63];
        *o++ = kAlphabet[(v >> 6) & 63];
        *o++ = kAlphabet[v & 63];
    }
    if (i < n) {
        const bool two = i + 1 < n;
        const quint32 v = (quint32(work[size_t(i)]) << 16) | (two ? quint32(work[size_t(i + 1)]) << 8 : 0);
        *o++ = kAlphabet[(v >> 18) & 63];
        *o++ = kAlphabet[(v >> 12) & 63];
        *o++ = two ? kAlphabet[(v >> 6) & 63] : '=';
        *o++ = '=';
    }
    return out;
}

QByteArray Unscramble(QByteArrayView text, QByteArrayView password, int key) {
    const qsizetype m = text.size();
    if (m == 0 || m % 4 != 0) return QByteArray();

    QByteArray decoded(m / 4 * 3, Qt::Uninitialized);
    auto* d = reinterpret_cast<uchar*>(decoded.data());
    const auto* t = reinterpret_cast<const uchar*>(text.data());
    qsizetype n = 0;
    for (qsizetype g = 0; g < m; g += 4) {
        quint32 v = 0;
        for (int j = 0; j < 4; ++j) {
            const int c = kDecode[t[g + j]];
            if (c < 0) return QByteArray();
            v = (v << 6) | quint32(c);
        }
        // A zero byte ends the group's contribution, which drops the padding.
        const uchar bytes[3] = {uchar(v >> 16), uchar(v >> 8), uchar(v)};
        for (uchar b : bytes) {
            if (b == 0) break;
            d[n++] = b;
        }
    }
    if (n == 0) return QByteArray();

    Mixer(password, key).apply(d, n);
    rotateLeft(d, n);

    QByteArray out(n, Qt::Uninitialized);
    auto* o = reinterpret_cast<uchar*>(out.data());
    const qsizetype h = n / 2;
    for (qsizetype i = 0; i < h; ++i) {
        o[i] = d[2 * i];
        o[h + i] = d[2 * i + 1];
    }
    if (n % 2) o[n - 1] = d[n - 1];
    return out;
}

}  // namespace Net

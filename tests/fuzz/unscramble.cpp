// Traffic unscrambling of arbitrary payloads with arbitrary passwords and keys, and the round trip
// through the scrambler, which must give back every plain text it accepts.
#include "fuzz_support.h"
#include "net/scramble.h"

namespace {

// Whether the scrambler's interleave and one-bit rotation leave a zero byte: the mix cannot tell
// such a byte from the password byte at its place, so only texts without one come back whole.
// Text never has one (it takes a byte 0x00 or 0x01 after a byte with a cleared low bit).
bool rotatesToZero(const QByteArray& plain) {
    const qsizetype n = plain.size(), h = n / 2;
    if (n == 0) return false;
    QByteArray work(n, '\0');
    for (qsizetype i = 0; i < h; ++i) {
        work[2 * i] = plain[i];
        work[2 * i + 1] = plain[h + i];
    }
    if (n % 2) work[n - 1] = plain[n - 1];
    uchar carry = uchar(work[n - 1]) & 1;
    for (qsizetype i = 0; i < n; ++i) {
        const uchar b = uchar(work[i]);
        if (((b >> 1) | (carry << 7)) == 0) return true;
        carry = b & 1;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::Input in(data, size);
    const int passwordLength = in.byte() % 40;
    const int key = int(in.word()) * (in.byte() & 1 ? -1 : 1);
    const QByteArray password = in.bytes(passwordLength);
    const QByteArray text = in.rest();

    const QByteArray plain = Net::Unscramble(text, password, key);
    FUZZ_CHECK(plain.size() <= text.size() / 4 * 3);
    if (text.size() % 4 != 0) FUZZ_CHECK(plain.isEmpty());

    // A password as a field holds it: no NUL byte. The key is the one the field gives.
    QByteArray word = password;
    word.replace('\0', "");
    const int wordKey = Net::DeriveKey(word);
    FUZZ_CHECK(wordKey >= 0);
    const QByteArray source = text.left(Net::kMaxScramblePlain);
    const auto scrambled = Net::Scramble(source, word, wordKey);
    FUZZ_CHECK(scrambled.has_value());
    FUZZ_CHECK(scrambled->size() == 4 * ((source.size() + 2) / 3));
    const bool whole = !rotatesToZero(source);
    if (whole) FUZZ_CHECK(Net::Unscramble(*scrambled, word, wordKey) == source);
    // Any key at all, as a settings file may leave one that does not match the password.
    const auto other = Net::Scramble(source, word, key);
    FUZZ_CHECK(other.has_value());
    if (whole) FUZZ_CHECK(Net::Unscramble(*other, word, key) == source);
    if (text.size() > Net::kMaxScramblePlain) FUZZ_CHECK(!Net::Scramble(text, word, wordKey).has_value());
    return 0;
}

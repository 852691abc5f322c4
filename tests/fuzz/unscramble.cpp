// Traffic unscrambling of arbitrary payloads with arbitrary passwords and keys, and the round trip
// through the scrambler, which must give back every plain text it accepts.
#include "fuzz_support.h"
#include "net/scramble.h"

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
    FUZZ_CHECK(Net::Unscramble(*scrambled, word, wordKey) == source);
    // Any key at all, as a settings file may leave one that does not match the password.
    const auto other = Net::Scramble(source, word, key);
    FUZZ_CHECK(other.has_value() && Net::Unscramble(*other, word, key) == source);
    if (text.size() > Net::kMaxScramblePlain) FUZZ_CHECK(!Net::Scramble(text, word, wordKey).has_value());
    return 0;
}

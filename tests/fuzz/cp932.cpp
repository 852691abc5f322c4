// The code page 932 layer on arbitrary bytes and arbitrary UTF-16: conversions both ways, byte
// lengths and the cuts that must never split a double-byte character.
#include "fuzz_support.h"
#include "text/cp932.h"
#include "text/text_filter.h"

#include <QString>

namespace {

// The cut rules at one place n of `bytes`.
void checkCut(const QByteArray& bytes, qsizetype n) {
    const qsizetype cut = Cp932::safeCut(bytes, n);
    if (n <= 0) {
        FUZZ_CHECK(cut == 0);
        return;
    }
    if (n >= bytes.size()) {
        FUZZ_CHECK(cut == bytes.size());
        return;
    }
    FUZZ_CHECK(cut == n || cut == n - 1);
    FUZZ_CHECK((cut == n - 1) == Cp932::isLeadAt(bytes, n - 1));
    FUZZ_CHECK(Cp932::leftSafe(bytes, n) == bytes.left(cut));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz::Input in(data, size);
    const qsizetype place = in.word();
    const QByteArray bytes = in.rest();

    // Bytes from the wire: each byte gives at most one character, and the text found encodes to
    // as many bytes as byteLength says.
    const QString text = Cp932::decode(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    const QByteArray again = Cp932::encode(text);
    FUZZ_CHECK(Cp932::byteLength(text) == again.size());
    FUZZ_CHECK(Cp932::decode(again) == text);  // what was read once reads the same again

    // Cuts at the place the input asks for, at both ends and at every place of a short text.
    checkCut(bytes, place % (bytes.size() + 2));
    checkCut(bytes, 0);
    checkCut(bytes, bytes.size());
    if (bytes.size() <= 64)
        for (qsizetype n = 1; n < bytes.size(); ++n) checkCut(bytes, n);

    // Lead bytes found by scanning from the start never sit on a trail byte.
    for (qsizetype i = 0; i + 1 < bytes.size() && i < 256; ++i)
        if (Cp932::isLeadAt(bytes, i)) FUZZ_CHECK(!Cp932::isLeadAt(bytes, i + 1));

    // The filter keeps the length up to the first NUL and leaves only allowed bytes.
    const QByteArray filtered = Text::FilterText(bytes);
    const qsizetype nul = bytes.indexOf('\0');
    FUZZ_CHECK(filtered.size() == (nul < 0 ? bytes.size() : nul));
    FUZZ_CHECK(!filtered.contains('\t'));

    // The same bytes taken as UTF-16 from a pane: any character, surrogates alone included.
    const QString units(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
    const QByteArray encoded = Cp932::encode(units);
    FUZZ_CHECK(Cp932::byteLength(units) == encoded.size());
    FUZZ_CHECK(encoded.size() <= 2 * units.size());
    const QByteArray crlf = Cp932::encodeCrLf(units);
    for (qsizetype i = 0; i < crlf.size(); ++i)
        if (crlf[i] == '\n') FUZZ_CHECK(i > 0 && crlf[i - 1] == '\r');
    return 0;
}

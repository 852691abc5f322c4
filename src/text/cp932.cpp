#include "text/cp932.h"

#include <cerrno>
#include <iconv.h>

namespace Cp932 {
namespace {

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kUtf16 = "UTF-16LE";
#else
constexpr const char* kUtf16 = "UTF-16BE";
#endif

// One pair of iconv descriptors per thread; iconv_open is far too slow to run per line.
// The descriptors carry no state between calls (code page 932 is stateless), so this is a cache,
// not program state.
struct Converters {
    iconv_t toCp932 = iconv_open("CP932", kUtf16);
    iconv_t fromCp932 = iconv_open(kUtf16, "CP932");
    ~Converters() {
        if (toCp932 != reinterpret_cast<iconv_t>(-1)) iconv_close(toCp932);
        if (fromCp932 != reinterpret_cast<iconv_t>(-1)) iconv_close(fromCp932);
    }
};

Converters& converters() {
    thread_local Converters c;
    Q_ASSERT(c.toCp932 != reinterpret_cast<iconv_t>(-1) && c.fromCp932 != reinterpret_cast<iconv_t>(-1));
    return c;
}

bool isAscii(QStringView text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

}  // namespace

QByteArray encode(QStringView text) {
    const qsizetype n = text.size();
    if (isAscii(text)) {
        QByteArray out(n, Qt::Uninitialized);
        for (qsizetype i = 0; i < n; ++i) out[i] = char(text[i].unicode());
        return out;
    }
    iconv_t cd = converters().toCp932;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QByteArray out(n * 2, Qt::Uninitialized);  // one UTF-16 unit never takes more than two bytes
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.utf16()));
    size_t inLeft = size_t(n) * 2;
    char* o = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &o, &outLeft) != size_t(-1)) break;
        if (errno != EILSEQ && errno != EINVAL) break;
        // Not in the code page: one "@" for the character (a surrogate pair is one character).
        const char16_t u = *reinterpret_cast<const char16_t*>(in);
        size_t skip = 2;
        if (QChar::isHighSurrogate(u) && inLeft >= 4 &&
            QChar::isLowSurrogate(*reinterpret_cast<const char16_t*>(in + 2)))
            skip = 4;
        *o++ = '@';
        --outLeft;
        in += skip;
        inLeft -= skip;
    }
    out.truncate(o - out.data());
    return out;
}

QString decode(QByteArrayView bytes) {
    const qsizetype n = bytes.size();
    bool ascii = true;
    for (char b : bytes)
        if ((unsigned char)b >= 0x80) { ascii = false; break; }
    if (ascii) return QString::fromLatin1(bytes.data(), n);

    iconv_t cd = converters().fromCp932;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QString out(n, Qt::Uninitialized);  // one byte never yields more than one UTF-16 unit
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(n);
    char* o = reinterpret_cast<char*>(out.data());
    char* const start = o;
    size_t outLeft = size_t(n) * 2;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &o, &outLeft) != size_t(-1)) break;
        if (errno != EILSEQ && errno != EINVAL) break;
        *reinterpret_cast<char16_t*>(o) = u'@';
        o += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    out.truncate((o - start) / 2);
    return out;
}

qsizetype byteLength(QStringView text) {
    qsizetype n = 0;
    bool simple = true;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F)) {
            ++n;
        } else {
            simple = false;
            break;
        }
    }
    return simple ? n : encode(text).size();
}

bool isLeadAt(QByteArrayView bytes, qsizetype i) {
    if (i < 0 || i >= bytes.size()) return false;
    qsizetype k = 0;
    while (k < i) k += isLeadByte((unsigned char)bytes[k]) ? 2 : 1;
    return k == i && isLeadByte((unsigned char)bytes[i]);
}

qsizetype safeCut(QByteArrayView bytes, qsizetype n) {
    if (n <= 0) return 0;
    if (n >= bytes.size()) return bytes.size();
    return isLeadAt(bytes, n - 1) ? n - 1 : n;
}

QByteArray leftSafe(QByteArrayView bytes, qsizetype n) {
    return bytes.first(safeCut(bytes, n)).toByteArray();
}

QByteArray encodeCrLf(QStringView text) {
    QString t = text.toString();
    t.replace(QChar::ParagraphSeparator, u'\n');
    t.replace(u'\n', QLatin1String("\r\n"));
    return encode(t);
}

}  // namespace Cp932

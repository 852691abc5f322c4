#include "settings/text_scramble.h"

#include "text/cp932.h"

#include <QString>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace Settings {
namespace {

// A character: one byte, or a double-byte code as lead << 8 | trail.
struct Char {
    quint16 code = 0;
    bool wide = false;
};

enum Alphabet : quint8 { None, Narrow, Kana, Wide };

struct Alphabets {
    std::vector<quint16> narrow, kana, wide;
    std::vector<quint8> narrowClass = std::vector<quint8>(256, None);
    std::vector<quint16> narrowIndex = std::vector<quint16>(256, 0);
    std::vector<quint8> wideClass = std::vector<quint8>(65536, None);
    std::vector<quint16> wideIndex = std::vector<quint16>(65536, 0);

    const std::vector<quint16>& table(Alphabet a) const { return a == Narrow ? narrow : a == Kana ? kana : wide; }
    Alphabet classOf(Char c) const { return Alphabet(c.wide ? wideClass[c.code] : narrowClass[c.code]); }
    int indexOf(Char c) const { return c.wide ? wideIndex[c.code] : narrowIndex[c.code]; }
};

// Built once from the code page itself: a code joins an alphabet only when it reads back as itself.
Alphabets build() {
    Alphabets a;
    auto selfReading = [](const QByteArray& bytes, QString* text) {
        *text = Cp932::decode(bytes);
        return text->size() == 1 && Cp932::encode(*text) == bytes;
    };
    QString t;
    for (int b = 0x20; b <= 0xDF; ++b) {
        if (b > 0x7E && b < 0xA1) continue;
        if (!selfReading(QByteArray(1, char(b)), &t)) continue;
        a.narrowClass[b] = Narrow;
        a.narrowIndex[b] = quint16(a.narrow.size());
        a.narrow.push_back(quint16(b));
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!Cp932::isLeadByte(uchar(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            QByteArray bytes;
            bytes.append(char(lead)).append(char(trail));
            if (!selfReading(bytes, &t)) continue;
            const char16_t u = t[0].unicode();
            if (u >= 0xE000 && u <= 0xF8FF) continue;  // user-defined characters show as nothing
            const quint16 code = quint16(lead << 8 | trail);
            const bool kana = (u >= 0x3041 && u <= 0x3093) || (u >= 0x30A1 && u <= 0x30F6);
            auto& list = kana ? a.kana : a.wide;
            a.wideClass[code] = kana ? Kana : Wide;
            a.wideIndex[code] = quint16(list.size());
            list.push_back(code);
        }
    }
    return a;
}

const Alphabets& alphabets() {
    static const Alphabets a = build();
    return a;
}

std::vector<Char> charsOf(QByteArrayView line) {
    std::vector<Char> out;
    out.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const uchar b = uchar(line[i]);
        if (Cp932::isLeadByte(b) && i + 1 < line.size()) {
            out.push_back({quint16(b << 8 | uchar(line[i + 1])), true});
            ++i;
        } else {
            out.push_back({b, false});
        }
    }
    return out;
}

QByteArray bytesOf(const std::vector<Char>& chars) {
    QByteArray out;
    out.reserve(qsizetype(chars.size()) * 2);
    for (const Char& c : chars) {
        if (c.wide) out.append(char(c.code >> 8));
        out.append(char(c.code & 0xFF));
    }
    return out;
}

// A value reduced to 1 … count − 1 (0 for no count; 1 for a count of one).
int reduce(qint64 value, int count) {
    if (count <= 0) return 0;
    qint64 v = std::llabs(value);
    if (v >= count) v %= count;
    return v == 0 ? 1 : int(v);
}

int signedByte(QByteArrayView p, qsizetype i) { return int(static_cast<signed char>(p[i % p.size()])); }

struct Key {
    QByteArray password;
    int passes = 1;  // reorderings, plus one
    int start = 0;   // the line the output begins with
};

Key keyFor(QByteArrayView password, int lineCount) {
    Key k;
    k.password = password.isEmpty() ? QByteArray(kDefaultSaveWord) : password.toByteArray();
    k.passes = std::clamp(int((k.password.size() - 2) / 2), 1, 5);
    qint64 sum = 0;
    for (qsizetype i = 0; i < k.password.size(); ++i) sum += signedByte(k.password, i);
    k.start = reduce(sum, lineCount);
    return k;
}

int checkValue(const QList<QByteArray>& lines, const ScrambleProgress& progress) {
    quint64 sum = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (progress) progress(i + 1, int(lines.size()), true);
        for (char b : lines[i]) sum += uchar(b);
    }
    const int v = int(sum % alphabets().wide.size());
    return v == 0 ? 1 : v;
}

// The counter of line `li`: the output pass counts from the start line, then again from line 0.
qint64 counterOf(const Key& k, int check, int li) {
    const qint64 base = qint64(k.start) + check + 3;
    return li >= k.start ? base + (li - k.start + 1) : base + li + 1;
}

// The position of line `li` in the output, and back.
int outputPosition(const Key& k, int lineCount, int li) { return li >= k.start ? li - k.start : lineCount - k.start + li; }
int lineAt(const Key& k, int lineCount, int position) {
    const int first = lineCount - k.start;  // lines start … N − 1 come first
    return position < first ? position + k.start : position - first;
}

// The last k characters to the front; its inverse takes the first k to the back.
void rotate(std::vector<Char>& c, int k, bool back) {
    if (c.empty()) return;
    k %= int(c.size());
    if (back) std::rotate(c.begin(), c.begin() + k, c.end());
    else std::rotate(c.begin(), c.end() - k, c.end());
}

// First half and second half alternate; with an odd count the last character stays last.
void interleave(std::vector<Char>& c, bool back) {
    const size_t h = c.size() / 2;
    std::vector<Char> out(c);
    for (size_t j = 0; j < h; ++j) {
        if (!back) {
            out[2 * j] = c[j];
            out[2 * j + 1] = c[h + j];
        } else {
            out[j] = c[2 * j];
            out[h + j] = c[2 * j + 1];
        }
    }
    c.swap(out);
}

void substitute(std::vector<Char>& c, const Key& k, int li, qint64 counter, bool back) {
    const Alphabets& a = alphabets();
    const int lineByte = std::abs(signedByte(k.password, li));
    for (size_t i = 0; i < c.size(); ++i) {
        const Alphabet cls = a.classOf(c[i]);
        if (cls == None) continue;
        const auto& table = a.table(cls);
        const qint64 size = qint64(table.size());
        const qint64 d = counter + lineByte + std::abs(signedByte(k.password, qsizetype(i))) + qint64(i);
        const qint64 index = a.indexOf(c[i]);
        const qint64 moved = ((back ? index + d : index - d) % size + size) % size;
        c[i].code = table[size_t(moved)];
    }
}

int rotationOf(const Key& k, int li, int count) { return reduce(qint64(signedByte(k.password, li)) + k.start, count); }

QByteArray scrambleLine(const QByteArray& line, const Key& k, int li, qint64 counter) {
    std::vector<Char> c = charsOf(line);
    if (c.empty()) return {};
    std::reverse(c.begin(), c.end());
    const int rotation = rotationOf(k, li, int(c.size()));
    for (int p = 0; p <= k.passes; ++p) {
        rotate(c, rotation, false);
        interleave(c, false);
    }
    substitute(c, k, li, counter, false);
    return bytesOf(c);
}

QByteArray unscrambleLine(const QByteArray& line, const Key& k, int li, qint64 counter) {
    std::vector<Char> c = charsOf(line);
    if (c.empty()) return {};
    substitute(c, k, li, counter, true);
    const int rotation = rotationOf(k, li, int(c.size()));
    for (int p = 0; p <= k.passes; ++p) {
        interleave(c, true);
        rotate(c, rotation, true);
    }
    std::reverse(c.begin(), c.end());
    return bytesOf(c);
}

}  // namespace

QList<QByteArray> scrambleText(const QList<QByteArray>& lines, QByteArrayView password, const ScrambleProgress& progress) {
    const int n = int(lines.size());
    if (n == 0) return {};
    const Key k = keyFor(password, n);
    const int check = checkValue(lines, progress);
    QList<QByteArray> out(n);
    for (int position = 0; position < n; ++position) {
        const int li = lineAt(k, n, position);
        if (progress) progress(position + 1, n, false);
        QByteArray scrambled = scrambleLine(lines[li], k, li, counterOf(k, check, li));
        if (li == 0) {
            const quint16 mark = alphabets().wide[size_t(check)];
            scrambled.prepend(char(mark & 0xFF)).prepend(char(mark >> 8));
        }
        out[position] = scrambled;
    }
    return out;
}

std::optional<QList<QByteArray>> unscrambleText(const QList<QByteArray>& lines, QByteArrayView password) {
    const int n = int(lines.size());
    if (n == 0) return QList<QByteArray>{};
    const Key k = keyFor(password, n);
    const QByteArray& first = lines[outputPosition(k, n, 0)];
    if (first.size() < 2 || !Cp932::isLeadByte(uchar(first[0]))) return std::nullopt;
    const Char mark{quint16(uchar(first[0]) << 8 | uchar(first[1])), true};
    if (alphabets().classOf(mark) != Wide) return std::nullopt;
    const int check = alphabets().indexOf(mark);
    if (check == 0) return std::nullopt;
    QList<QByteArray> out(n);
    for (int position = 0; position < n; ++position) {
        const int li = lineAt(k, n, position);
        const QByteArray body = li == 0 ? lines[position].mid(2) : lines[position];
        out[li] = unscrambleLine(body, k, li, counterOf(k, check, li));
    }
    if (checkValue(out, {}) != check) return std::nullopt;
    return out;
}

bool isLeadingFiller(QStringView line) {
    return line.isEmpty() || line == u"文先頭　" || line == u"継続保存";
}

QList<int> leadingFillerLines(const QStringList& lines) {
    QList<int> out;
    for (int i = int(qMin<qsizetype>(kLeadingFillerLines, lines.size())) - 1; i >= 0; --i)
        if (isLeadingFiller(lines[i])) out << i;
    return out;
}

}  // namespace Settings

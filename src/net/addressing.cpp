#include "net/addressing.h"

namespace Net {
namespace {

// The scan works on character codes so that a QString and a byte text are checked alike.
template <typename Range, typename CodeOf>
int checkAddress(const Range& text, CodeOf codeOf) {
    if (text.isEmpty()) return 2;
    int fields = 0;
    int value[4] = {0, 0, 0, 0};
    int digits = 0;
    for (const auto& ch : text) {
        const unsigned c = codeOf(ch);
        if (c == '.') {
            if (digits == 0 || fields >= 3) return 1;  // an empty field, or a fifth one
            ++fields;
            digits = 0;
        } else if (c >= '0' && c <= '9') {
            ++digits;
            if (value[fields] <= 255) value[fields] = value[fields] * 10 + int(c - '0');
        } else {
            return 1;
        }
    }
    if (fields != 3 || digits == 0) return 1;
    if (value[0] < 1 || value[0] == 127 || value[0] > 255) return 1;
    for (int i = 1; i < 4; ++i)
        if (value[i] > 255) return 1;
    return 0;
}

}  // namespace

int CheckAddress(QStringView text) {
    return checkAddress(text, [](QChar c) { return unsigned(c.unicode()); });
}

int CheckAddress(QByteArrayView text) {
    return checkAddress(text, [](char c) { return unsigned(static_cast<unsigned char>(c)); });
}

QString PlainAddress(const QString& text) {
    // Nearly every address is plain already: only a field that starts with "0" and goes on needs work.
    bool zeros = false;
    for (qsizetype i = 0; i + 1 < text.size() && !zeros; ++i)
        zeros = text[i] == u'0' && (i == 0 || text[i - 1] == u'.') && text[i + 1].isDigit();
    if (!zeros || CheckAddress(text) != 0) return text;
    QString out;
    for (QStringView f : QStringView(text).split(u'.')) {
        if (!out.isEmpty()) out += u'.';
        out += QString::number(f.toInt());
    }
    return out;
}

QString ClassfulBroadcast(QStringView address) {
    const QList<QStringView> f = address.split(u'.');
    if (f.size() != 4) return address.toString();
    const int a = f[0].toInt();
    const QString a0 = f[0].toString(), a1 = f[1].toString(), a2 = f[2].toString();
    if (a >= 192) return a0 + QLatin1Char('.') + a1 + QLatin1Char('.') + a2 + QLatin1String(".255");
    if (a < 128) return a0 + QLatin1String(".255.255.255");
    return a0 + QLatin1Char('.') + a1 + QLatin1String(".255.255");
}

}  // namespace Net

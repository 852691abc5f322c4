#include "text/text_filter.h"

#include "text/cp932.h"

#include <QTime>

namespace Text {

QByteArray FilterText(QByteArrayView text) {
    qsizetype end = text.indexOf('\0');
    if (end < 0) end = text.size();
    QByteArray out(text.first(end).toByteArray());
    bool afterLead = false;  // the previous byte began a double-byte character
    for (qsizetype i = 0; i < end; ++i) {
        const unsigned char b = (unsigned char)out[i];
        const bool wasAfterLead = afterLead;
        afterLead = false;
        if (b == 0x09) {
            out[i] = ' ';
        } else if (b == 0x0D || b == 0x0A || (b >= 0x20 && b <= 0x7F)) {
            // kept
        } else if (b == 0x80 || b == 0xA0) {
            if (!wasAfterLead) out[i] = '@';
        } else if (b >= 0x81 && b <= 0xFC) {
            // A trail byte is not the start of another character.
            afterLead = !wasAfterLead && Cp932::isLeadByte(b);
        } else {
            out[i] = '@';
        }
    }
    return out;
}

QByteArray FormatClock(QByteArrayView text) {
    static constexpr char kZero[] = "00:00:00:000";
    if (text.isEmpty()) return kZero;
    QByteArrayView fields[4];
    int count = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != ':') {
            if (text[i] < '0' || text[i] > '9') return kZero;
            continue;
        }
        if (count == 4 || i == start) return kZero;  // a fifth field, or an empty one
        fields[count++] = text.sliced(start, i - start);
        start = i + 1;
    }
    if (count != 4) return kZero;
    QByteArray out;
    out.reserve(13);
    for (int f = 0; f < 4; ++f) {
        const qsizetype width = f == 3 ? 3 : 2;
        if (f > 0) out += ':';
        for (qsizetype pad = fields[f].size(); pad < width; ++pad) out += '0';
        out += fields[f];
    }
    return out;
}

QString ClockText(const QTime& t) {
    return QStringLiteral("%1:%2:%3:%4").arg(t.hour()).arg(t.minute()).arg(t.second()).arg(t.msec());
}

}  // namespace Text

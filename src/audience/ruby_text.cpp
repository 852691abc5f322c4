#include "audience/ruby_text.h"

namespace Audience {
namespace {

enum class Script { Kanji, Hiragana, Katakana, HalfKana, Alnum, Other };

Script scriptOf(QChar c) {
    const char16_t u = c.unicode();
    if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0xF900 && u <= 0xFAFF) ||
        u == 0x3005 || u == 0x3006 || u == 0x30F6)  // 々 〆 ヶ live inside kanji words
        return Script::Kanji;
    if (u >= 0x3041 && u <= 0x309F) return Script::Hiragana;
    if ((u >= 0x30A1 && u <= 0x30FF) || u == 0x30FC) return Script::Katakana;
    if (u >= 0xFF66 && u <= 0xFF9F) return Script::HalfKana;
    if ((u < 0x80 && QChar::isLetterOrNumber(u)) || (u >= 0xFF10 && u <= 0xFF19) || (u >= 0xFF21 && u <= 0xFF3A) ||
        (u >= 0xFF41 && u <= 0xFF5A))
        return Script::Alnum;
    return Script::Other;
}

// The long-vowel mark belongs to whichever kana run it follows.
bool continuesRun(Script run, QChar c) {
    const Script s = scriptOf(c);
    if (s == run) return true;
    return c.unicode() == 0x30FC && (run == Script::Hiragana || run == Script::Katakana);
}

void appendPlain(QList<RubySegment>& out, const QString& text) {
    if (text.isEmpty()) return;
    if (!out.isEmpty() && out.last().reading.isEmpty()) out.last().text += text;
    else out.append({text, {}});
}

// Length of the word a reading stands over, at the start of `rest`; and how much of the reading
// is okurigana already written out after the kanji (it is then left off the reading).
struct Word {
    qsizetype length = 0;
    qsizetype okurigana = 0;
};

Word wordAt(const QString& rest, const QString& reading) {
    Word w;
    if (rest.isEmpty()) return w;
    const Script first = scriptOf(rest[0]);
    if (first == Script::Other) {
        w.length = 1;
        return w;
    }
    while (w.length < rest.size() && continuesRun(first, rest[w.length])) ++w.length;
    if (first != Script::Kanji) return w;
    // 晴`れる` read はれる: the reading's tail that the following kana repeat is not shown.
    qsizetype kana = 0;
    while (w.length + kana < rest.size() && scriptOf(rest[w.length + kana]) == Script::Hiragana) ++kana;
    const QStringView after = QStringView(rest).sliced(w.length, kana);
    for (qsizetype k = qMin(kana, reading.size() - 1); k > 0; --k) {
        if (QStringView(reading).right(k) == after.first(k)) {
            w.okurigana = k;
            break;
        }
    }
    return w;
}

}  // namespace

QList<RubySegment> parseRuby(const QString& line) {
    // First pass: plain text with the readings that precede positions in it.
    QString plain;
    QList<std::pair<qsizetype, QString>> readings;  // position in `plain`, reading
    for (qsizetype i = 0; i < line.size();) {
        if (line[i] != u'`') {
            plain += line[i++];
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == u'r') {
            const qsizetype close = line.indexOf(QLatin1String("`s"), i + 2);
            if (close < 0) break;  // an unclosed reading runs to the end, unseen
            const QString reading = line.mid(i + 2, close - i - 2);
            // One word carries one reading: a later reading at the same place wins.
            if (!readings.isEmpty() && readings.last().first == plain.size()) readings.removeLast();
            if (!reading.isEmpty()) readings.append({plain.size(), reading});
            i = close + 2;
        } else {
            i += 2;  // any other "`" pair is markup of zero width
        }
    }

    QList<RubySegment> out;
    qsizetype done = 0;
    for (const auto& [at, reading] : readings) {
        if (at < done) continue;  // inside the word of an earlier reading
        appendPlain(out, plain.mid(done, at - done));
        const Word w = wordAt(plain.mid(at), reading);
        if (w.length == 0) {
            done = at;
            continue;
        }
        out.append({plain.mid(at, w.length), reading.left(reading.size() - w.okurigana)});
        done = at + w.length;
    }
    appendPlain(out, plain.mid(done));
    return out;
}

QString rubyToPlain(const QList<RubySegment>& segments) {
    QString s;
    for (const RubySegment& seg : segments) {
        s += seg.text;
        if (!seg.reading.isEmpty()) s += u'（' + seg.reading + u'）';
    }
    return s;
}

QString rubyToVtt(const QList<RubySegment>& segments) {
    auto escape = [](const QString& t) {
        QString e = t;
        e.replace(u'&', QLatin1String("&amp;")).replace(u'<', QLatin1String("&lt;")).replace(u'>', QLatin1String("&gt;"));
        return e;
    };
    QString s;
    for (const RubySegment& seg : segments) {
        if (seg.reading.isEmpty()) s += escape(seg.text);
        else s += QLatin1String("<ruby>") + escape(seg.text) + QLatin1String("<rt>") + escape(seg.reading) +
                  QLatin1String("</rt></ruby>");
    }
    return s;
}

QJsonArray rubyToJson(const QList<RubySegment>& segments) {
    QJsonArray a;
    for (const RubySegment& seg : segments) {
        if (seg.reading.isEmpty()) a.append(seg.text);
        else a.append(QJsonArray{seg.text, seg.reading});
    }
    return a;
}

}  // namespace Audience

#include "core/notice_lines.h"

#include "net/caption_protocol.h"
#include "text/cp932.h"

#include <QString>

namespace Core::Notice {
namespace {

QByteArray sj(QStringView s) { return Cp932::encode(s); }

QByteArray number(qint64 v) { return QByteArray::number(v); }

// "key:value:comment"
QByteArray line(int key, const QByteArray& value, QStringView comment) {
    return number(key) + ':' + value + ':' + sj(comment);
}

// A switch written as one of two fixed lines.
QByteArray switchLine(int key, bool on, QStringView onComment, QStringView offComment) {
    return line(key, on ? QByteArray("true") : QByteArray("false"), on ? onComment : offComment);
}

QByteArray tf(bool on) { return on ? QByteArray("true") : QByteArray("false"); }

QByteArray boldWord(bool on) { return on ? QByteArray("fsbold") : QByteArray("!fsbold"); }
QByteArray italicWord(bool on) { return on ? QByteArray("fsItalic") : QByteArray("!fsItalic"); }
QByteArray underlineWord(bool on) { return on ? QByteArray("fsUnderline") : QByteArray("!fsUnderline"); }

// The placement switches 505 and 518 to 524, in the order the lines carry them.
struct Switch {
    int key;
    bool Options::*flag;
    const char16_t* on;
    const char16_t* off;
};
constexpr Switch kSwitches[] = {
    {HideAtEnd, &Options::hideAtEnd, u"終了時消す", u"終了時消さない"},
    {OverTop, &Options::overTop, u"メインウィンドの上に表示", u"メインウィンドの上ではない"},
    {MoveBack, &Options::moveBack, u"表示後元位置に戻る", u"表示後そ元位置に戻らない"},
    {PagesBack, &Options::pagesBack, u"表示後設定画面に戻る", u"表示後設定画面に戻らない"},
    {StopAtLeft, &Options::stopAtLeft, u"左端で止める", u"左端で止めない"},
    {AutoHeight, &Options::autoHeight, u"表示高さの自動設定する", u"表示高さの自動設定しない"},
    {ResetHeight, &Options::resetHeight, u"戻った時に高さを初期値にする", u"戻った時に高さを初期値にしない"},
    {UnderBottom, &Options::underBottom, u"メインウィンドの下に表示", u"メインウィンドの下ではない"},
};

QList<QByteArray> geometryLines(const Options& o) {
    return {line(Height, o.height, u"ウィンドウの高さ"), line(Width, o.width, u"ウィンドの幅"),
            line(Top, o.top, u"ウィンドの縦位置"), line(Left, o.left, u"ウィンドの横位置")};
}

bool knownKey(int key) { return (key >= Height && key <= UnderBottom) || key == Show || key == Stop; }

// The value of a line split at its colons. Only the text may hold colons of its own: it keeps
// everything up to the comment (received lines) or up to the line's end (comma-line items).
QByteArray valueOf(int key, const QList<QByteArray>& fields, bool hasComment) {
    if (key != Text || fields.size() <= 2) return fields.value(1);
    const qsizetype last = hasComment ? fields.size() - 1 : fields.size();
    QByteArray v = fields[1];
    for (qsizetype i = 2; i < last; ++i) v += ':' + fields[i];
    return v;
}

Plan plan(const QList<QByteArray>& lines, qsizetype first, bool settingsOff, bool commaLine) {
    Plan p;
    p.headerOk = true;
    for (qsizetype i = first; i < lines.size(); ++i) {
        const QByteArray& l = lines[i];
        if (ColonCount(l) > kMaxAppliedColons) {
            p.end = Plan::End::TooManyColons;
            p.stoppedAt = l;
            return p;
        }
        const QList<QByteArray> fields = l.split(':');
        const auto key = ToInt(fields[0]);
        if (!key) {
            p.end = Plan::End::NotANumber;
            p.stoppedAt = l;
            return p;
        }
        if (!knownKey(*key)) continue;
        const QByteArray value = valueOf(*key, fields, !commaLine);
        if (commaLine && (*key == Show || *key == Stop)) continue;
        if ((*key == Show || *key == Stop) && value != "true") continue;
        if (settingsOff && *key != Text && *key != Show && *key != Stop) continue;
        if (IsNumeric(*key, commaLine) && !ToInt(value)) {
            p.end = Plan::End::NotANumber;
            p.stoppedAt = l;
            return p;
        }
        p.items.append({*key, value});
    }
    return p;
}

}  // namespace

const QByteArray& Header() {
    static const QByteArray h = sj(u"999:＜番号付き表示設定ファイル２＞");
    return h;
}

const QByteArray& ShowLine() {
    static const QByteArray l = sj(u"900:true:表示");
    return l;
}

const QByteArray& StopLine() {
    static const QByteArray l = sj(u"901:true:停止");
    return l;
}

const QByteArray& End() { return Net::Wire::SettingsEnd(); }

QList<QByteArray> Lines(const Options& o) {
    QList<QByteArray> out{Header()};
    out << geometryLines(o);
    out << line(Text, o.text, u"表示文字列");
    for (const Switch& s : kSwitches) {
        // The comments of these lines are the key table's without the window's name.
        out << switchLine(s.key, o.*s.flag, s.on, s.off);
    }
    if (!o.sendLook) return out;
    const Look& k = o.look;
    out << switchLine(Loop, k.loop, u"loopする", u"loopしない");
    out << switchLine(OnTop, k.onTop, u"前面表示する", u"前面表示しない");
    out << line(Loops, k.loops, u"ループ");
    out << line(Interval, k.interval, u"スクロール間隔");
    out << line(Step, k.step, u"スクロール移動量");
    out << line(FontName, k.fontName, u"表示のフォントの種類");
    out << line(FontColour, number(k.fontColour), u"表示のフォントの色");
    out << line(FontSize, number(k.fontSize), u"表示のフォントサイズ");
    out << line(Background, number(k.background), u"背景色");
    out << line(Bold, boldWord(k.bold), u"表示部のフォントスタイル：ｂｏｌｄ");
    out << line(Italic, italicWord(k.italic), u"表示部のフォントスタイル：Ｉｔａｌｉｃ");
    out << line(Underline, underlineWord(k.underline), u"表示部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ");
    return out;
}

QList<QByteArray> FollowLines(const Options& o) {
    QList<QByteArray> out{Header()};
    out << switchLine(OverTop, false, u"", u"メインウィンドの上ではない");
    out << switchLine(AutoHeight, false, u"", u"表示高さの自動設定しない");
    out << switchLine(UnderBottom, false, u"", u"メインウィンドの下ではない");
    out << geometryLines(o);
    out << ShowLine();
    return out;
}

QByteArray CommaLine(const Options& o) {
    QByteArray out = o.text;
    auto item = [&out](int key, const QByteArray& value) { out += ',' + number(key) + ':' + value; };
    item(Height, o.height);
    item(Width, o.width);
    item(Top, o.top);
    item(Left, o.left);
    for (const Switch& s : kSwitches) item(s.key, tf(o.*s.flag));
    if (!o.sendLook) return out;
    const Look& k = o.look;
    item(Loop, tf(k.loop));
    item(OnTop, tf(k.onTop));
    item(Loops, k.loops);
    item(Interval, k.interval);
    item(Step, k.step);
    item(FontName, k.fontName);
    item(FontColour, number(k.fontColour));
    item(FontSize, number(k.fontSize));
    item(Background, number(k.background));
    item(Bold, boldWord(k.bold));
    item(Italic, italicWord(k.italic));
    item(Underline, underlineWord(k.underline));
    return out;
}

QList<QByteArray> CommaLineItems(QByteArrayView line) {
    QList<QByteArray> pieces = line.toByteArray().split(',');
    pieces[0].prepend("504:");
    return pieces;
}

int ColonCount(QByteArrayView line) { return int(line.count(':')); }

qsizetype FirstLineOverColons(const QList<QByteArray>& lines) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (ColonCount(lines[i]) > kMaxSentColons) return i;
    return -1;
}

std::optional<qint32> ToInt(QByteArrayView value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    if (i == value.size()) return std::nullopt;
    qint64 v = 0;
    for (; i < value.size(); ++i) {
        const char c = value[i];
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > qint64(2147483648)) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > 2147483647 || v < -qint64(2147483648)) return std::nullopt;
    return qint32(v);
}

bool IsNumeric(int key, bool fromCommaLine) {
    switch (key) {
    case Height:
    case Width:
    case Top:
    case Left: return !fromCommaLine;  // the comma line sets the given-geometry fields, which are text
    case Loops:
    case Interval:
    case Step:
    case FontColour:
    case FontSize:
    case Background: return true;
    default: return false;
    }
}

Plan PlanReceived(const QList<QByteArray>& lines, bool settingsOff) {
    if (lines.isEmpty() || lines[0] != Header()) return {};
    return plan(lines, 1, settingsOff, false);
}

Plan PlanCommaLine(QByteArrayView line) { return plan(CommaLineItems(line), 0, false, true); }

std::optional<QList<QByteArray>> Collector::add(const QByteArray& text) {
    if (text == End()) {
        QList<QByteArray> out = std::exchange(lines_, {});
        bytes_ = 0;
        return out;
    }
    if (bytes_ + text.size() + 2 > kCapacity) return std::nullopt;
    bytes_ += text.size() + 2;  // a line and its break
    lines_.append(text);
    return std::nullopt;
}

void Collector::clear() {
    lines_.clear();
    bytes_ = 0;
}

}  // namespace Core::Notice

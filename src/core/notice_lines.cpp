#include "core/notice_lines.h"

#include "net/caption_protocol.h"
#include "settings/settings_file.h"
#include "settings/values.h"
#include "text/cp932.h"

#include <QString>

namespace Core::Notice {
namespace {

QByteArray sj(QStringView s) { return Cp932::encode(s); }

QByteArray number(qint64 v) { return QByteArray::number(v); }

// "key:value:comment", as the numbered settings file writes it.
QByteArray line(int key, const QByteArray& value, QStringView comment) { return Settings::recordLine(key, value, sj(comment)); }

// A switch written as one of two fixed lines.
QByteArray switchLine(int key, bool on, QStringView onComment, QStringView offComment) {
    return line(key, Settings::trueFalse(on), on ? onComment : offComment);
}

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
        const auto key = Settings::toInt(fields[0]);
        if (!key) {
            p.end = Plan::End::NotANumber;
            p.stoppedAt = l;
            return p;
        }
        if (!knownKey(*key)) continue;
        const QByteArray value = valueOf(*key, fields, !commaLine);
        if (commaLine && (*key == Show || *key == Stop)) continue;
        if ((*key == Show || *key == Stop) && !Settings::isTrue(value)) continue;
        if (settingsOff && *key != Text && *key != Show && *key != Stop) continue;
        if (IsNumeric(*key, commaLine) && !Settings::toInt(value)) {
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
    static const QByteArray h = Settings::headerLine();
    return h;
}

const QByteArray& ShowLine() {
    static const QByteArray l = switchLine(Show, true, u"表示", {});
    return l;
}

const QByteArray& StopLine() {
    static const QByteArray l = switchLine(Stop, true, u"停止", {});
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
    out << line(Bold, Settings::fontStyleWord(Settings::FontStyle::Bold, k.bold), u"表示部のフォントスタイル：ｂｏｌｄ");
    out << line(Italic, Settings::fontStyleWord(Settings::FontStyle::Italic, k.italic), u"表示部のフォントスタイル：Ｉｔａｌｉｃ");
    out << line(Underline, Settings::fontStyleWord(Settings::FontStyle::Underline, k.underline), u"表示部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ");
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
    for (const Switch& s : kSwitches) item(s.key, Settings::trueFalse(o.*s.flag));
    if (!o.sendLook) return out;
    const Look& k = o.look;
    item(Loop, Settings::trueFalse(k.loop));
    item(OnTop, Settings::trueFalse(k.onTop));
    item(Loops, k.loops);
    item(Interval, k.interval);
    item(Step, k.step);
    item(FontName, k.fontName);
    item(FontColour, number(k.fontColour));
    item(FontSize, number(k.fontSize));
    item(Background, number(k.background));
    item(Bold, Settings::fontStyleWord(Settings::FontStyle::Bold, k.bold));
    item(Italic, Settings::fontStyleWord(Settings::FontStyle::Italic, k.italic));
    item(Underline, Settings::fontStyleWord(Settings::FontStyle::Underline, k.underline));
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

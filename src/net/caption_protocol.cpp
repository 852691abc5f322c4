#include "net/caption_protocol.h"

#include "net/addressing.h"
#include "text/cp932.h"

namespace Net::Wire {
namespace {

QByteArray field(const QString& s) { return Cp932::encode(s); }
QByteArray addressField(const QString& s) { return Cp932::encode(PlainAddress(s)); }

QByteArray join(std::initializer_list<QByteArray> fields) {
    QByteArray out;
    bool first = true;
    for (const QByteArray& f : fields) {
        if (!first) out += ',';
        first = false;
        out += f;
    }
    return out;
}

QString text(const QByteArray& f) { return Cp932::decode(f); }

}  // namespace

#define QUELTA_TOKEN(name, literal)                               \
    const QByteArray& name() {                                    \
        static const QByteArray token = Cp932::encode(literal);   \
        return token;                                             \
    }

QUELTA_TOKEN(BlankLine, u"$改行$")
QUELTA_TOKEN(ErasedPane, u"●消去●")
QUELTA_TOKEN(NullPane, u"$null$")
QUELTA_TOKEN(ClearPane, u"$clear$")
QUELTA_TOKEN(PaneSent, u" ")
QUELTA_TOKEN(SettingsStart, u"$set$")
QUELTA_TOKEN(SettingsEnd, u"$end$")
QUELTA_TOKEN(NullLine, u"$null$")
QUELTA_TOKEN(BatchEnd, u"＜エラー＞行数違い！")
QUELTA_TOKEN(RollEnd, u"`@")
QUELTA_TOKEN(BatchStart, u"`*")
QUELTA_TOKEN(Req, u"Req")
QUELTA_TOKEN(Ans, u"Ans")
QUELTA_TOKEN(Ful, u"Ful")
QUELTA_TOKEN(ReqPartner, u"Req-Partner")
QUELTA_TOKEN(CanPartner, u"Can-Partner")
#undef QUELTA_TOKEN

bool IsBatchEnd(QByteArrayView item) { return item == BatchEnd() || item == RollEnd(); }

bool IsSettingsTransfer(QByteArrayView t) { return t.startsWith(SettingsStart()) || t == SettingsEnd(); }

QByteArray CommandWord(Command c) {
    switch (c) {
    case Command::Undo: return "undo";
    case Command::Delete: return "del";
    case Command::Clear: return "cls";
    }
    return {};
}

std::optional<Command> ParseCommand(QByteArrayView t) {
    for (Command c : {Command::Undo, Command::Delete, Command::Clear})
        if (t == CommandWord(c)) return c;
    return std::nullopt;
}

QByteArray HeldCommand(Command c) { return '$' + CommandWord(c) + '$'; }

std::optional<Command> ParseHeldCommand(QByteArrayView item) {
    for (Command c : {Command::Undo, Command::Delete, Command::Clear})
        if (item == HeldCommand(c)) return c;
    return std::nullopt;
}

QByteArray LinePayload(const QByteArray& text, const std::optional<QByteArray>& startField) {
    return startField ? *startField + ',' + text : text;
}

QByteArray WithoutStartField(const QByteArray& text) { return text.mid(kStartFieldBytes); }

QByteArray MonitorFeed(const QString& ownAddress, const QByteArray& text) {
    return addressField(ownAddress) + ',' + text;
}

PrefixedText SplitAtFirstComma(QByteArrayView payload) {
    PrefixedText out;
    const qsizetype comma = payload.indexOf(',');
    if (comma < 0) {
        out.prefix = payload.toByteArray();
        return out;
    }
    out.prefix = payload.first(comma).toByteArray();
    out.text = payload.sliced(comma + 1).toByteArray();
    out.hadComma = true;
    return out;
}

ControlFields SplitControlMessage(QByteArrayView payload) {
    ControlFields out;
    qsizetype start = 0;
    while (out.fields.size() < kMaxControlFields) {
        const qsizetype comma = payload.indexOf(',', start);
        const qsizetype end = comma < 0 ? payload.size() : comma;
        out.fields.append(Cp932::leftSafe(payload.sliced(start, end - start), kMaxControlFieldBytes));
        if (comma < 0) break;
        start = comma + 1;
    }
    return out;
}

QByteArray NameField(const QString& name) {
    QString n = name;
    n.replace(u',', u'，');
    return Cp932::encode(n);
}

QByteArray SearchRequest(const QString& own, const QString& name, int group) {
    return join({addressField(own), NameField(name), Req(), QByteArray::number(group)});
}

QByteArray SearchAnswer(const QString& own, const QString& addressee, const QString& name, const QByteArray& verb) {
    return join({addressField(own), addressField(addressee), NameField(name), verb});
}

QByteArray PairingMessage(const QString& own, const QString& addressee, const QString& name, const QByteArray& verb,
                          const QByteArray& subVerb) {
    return join({addressField(own), addressField(addressee), NameField(name), verb, subVerb});
}

QByteArray LeaveNotice(const QString& own, const QString& name) {
    return join({addressField(own), NameField(name), field(QStringLiteral("離脱"))});
}

SearchRequestMsg ParseSearchRequest(QByteArrayView payload) {
    const ControlFields f = SplitControlMessage(payload);
    SearchRequestMsg m{text(f.at(0)), text(f.at(1)), f.at(2), std::nullopt};
    if (f.has(3)) m.group = f.at(3);
    return m;
}

SearchAnswerMsg ParseSearchAnswer(QByteArrayView payload) {
    const ControlFields f = SplitControlMessage(payload);
    SearchAnswerMsg m{text(f.at(0)), text(f.at(1)), text(f.at(2)), f.at(3), std::nullopt};
    if (f.has(4)) m.group = f.at(4);
    return m;
}

PairingMsg ParsePairing(QByteArrayView payload) {
    const ControlFields f = SplitControlMessage(payload);
    return {text(f.at(0)), f.at(3), f.at(4)};
}

QString ParseLeaveSender(QByteArrayView payload) { return text(SplitControlMessage(payload).at(0)); }

}  // namespace Net::Wire

namespace Net::Wire {

QByteArray PartnerLiveText(const QByteArray& pane, bool firstLineEmpty, bool erased) {
    if (!firstLineEmpty) return pane;
    return erased ? ClearPane() : NullPane();
}

QByteArray MonitorLiveText(const QByteArray& pane, bool firstLineEmpty, bool erased) {
    if (!firstLineEmpty) return pane;
    return erased ? ErasedPane() : BlankLine();
}

PartnerText ClassifyPartnerText(QByteArrayView text) {
    if (text == NullPane()) return PartnerText::Empty;
    if (text == ClearPane()) return PartnerText::Erased;
    if (IsSettingsTransfer(text)) return PartnerText::Settings;
    return PartnerText::Text;
}

}  // namespace Net::Wire

namespace Net::Wire {

#define QUELTA_TOKEN(name, literal)                               \
    const QByteArray& name() {                                    \
        static const QByteArray token = Cp932::encode(literal);   \
        return token;                                             \
    }

QUELTA_TOKEN(MonitorClear, u"$消去$")
QUELTA_TOKEN(KaraokeNext, u"$next$")
QUELTA_TOKEN(KaraokePrevious, u"$befor$")
QUELTA_TOKEN(SettingsHeader, u"999:＜番号付き表示設定ファイル２＞")
#undef QUELTA_TOKEN

QByteArray MonitorLine(const QByteArray& text) { return text.isEmpty() ? BlankLine() : text; }

QByteArray LinkLine(int line) { return QByteArray::number(line); }

std::optional<int> ParseLinkLine(QByteArrayView payload) {
    if (payload.isEmpty() || payload.size() > 9) return std::nullopt;  // nine digits always fit an int
    int value = 0;
    for (char c : payload) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

QByteArray PaneUpdate(int pane, const QByteArray& text) { return QByteArray::number(pane) + ',' + text; }

std::optional<PaneUpdateMsg> ParsePaneUpdate(QByteArrayView payload) {
    if (payload.isEmpty() || payload[0] < '1' || payload[0] > '6') return std::nullopt;
    return PaneUpdateMsg{payload[0] - '0', SplitAtFirstComma(payload).text};
}

QByteArray RubyAnnotation(const QByteArray& base, const QByteArray& reading) { return base + ',' + reading; }

RubyMsg ParseRubyAnnotation(QByteArrayView payload) {
    const qsizetype first = payload.indexOf(',');
    if (first < 0) return {payload.toByteArray(), {}};
    const qsizetype second = payload.indexOf(',', first + 1);
    const qsizetype end = second < 0 ? payload.size() : second;
    return {payload.first(first).toByteArray(), payload.sliced(first + 1, end - first - 1).toByteArray()};
}

QList<QByteArray> SettingsTransfer(const QList<QByteArray>& lines) {
    QList<QByteArray> out;
    out.reserve(lines.size() + 2);
    out << SettingsStart() + SettingsHeader();
    for (const QByteArray& l : lines) out << SettingsStart() + l;
    out << SettingsEnd();
    return out;
}

}  // namespace Net::Wire

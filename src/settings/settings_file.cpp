#include "settings/settings_file.h"

#include "settings/values.h"
#include "text/cp932.h"

#include <algorithm>

namespace Settings {
namespace {

constexpr int kFirstKey = 121;       // the 8-person monitor's visibility, ahead of everything
constexpr int kAlwaysFalseKey = 709; // the scheduled contact notice never starts from a file
constexpr int kGroupKey = 802;

// Keys the writer leaves out: read-only colours and 139, and the three lines the callers append.
bool neverWrittenHere(const Entry& e) {
    switch (e.key) {
    case 71: case 72: case 139: case 801: case 802: case 166: return true;
    default: return e.kind == Kind::Command;
    }
}

// Position in the file: ascending keys, except 006 just before 005, 012 just before 011 and 193
// just after 197, as their comments demand.
int writeRank(int key) {
    switch (key) {
    case kFirstKey: return -1;
    case 6: return 5 * 10 - 1;
    case 12: return 11 * 10 - 1;
    case 193: return 197 * 10 + 1;
    default: return key * 10;
    }
}

QByteArray threeDigits(int key) {
    QByteArray k = QByteArray::number(key);
    if (k.size() < 3) k.prepend(QByteArray(3 - k.size(), '0'));
    return k;
}

const QByteArray& commentFor(const Entry& e, QByteArrayView value) {
    if (e.kind == Kind::Digit) {
        switch (rubyDigit(value)) {
        case 3: return e.comment;
        case 2: return e.commentOff;
        default: return e.commentThird;
        }
    }
    if (e.commentOff.isEmpty()) return e.comment;
    bool positive = false;
    switch (e.kind) {
    case Kind::OnOff: positive = isOn(value); break;
    case Kind::TrueFalse: positive = isTrue(value); break;
    default: positive = isPositiveValue(value); break;
    }
    return positive ? e.comment : e.commentOff;
}

QByteArray lineOf(const Entry& e) {
    if (e.kind == Kind::Unused) return threeDigits(e.key) + ':' + e.comment;  // "030:未使用", no third field
    const QByteArray value = e.key == kAlwaysFalseKey ? trueFalse(false) : e.read();
    return recordLine(e.key, value, commentFor(e, value));
}

bool written(const Entry& e) {
    if (neverWrittenHere(e)) return false;
    return e.kind == Kind::Unused || e.key == kAlwaysFalseKey || bool(e.read);
}

QByteArrayView fieldAt(QByteArrayView line, qsizetype from) {
    const qsizetype colon = line.indexOf(':', from);
    return colon < 0 ? line.sliced(from) : line.sliced(from, colon - from);
}

}  // namespace

RecordFields splitRecord(QByteArrayView line) {
    // Fields are split at every ":" byte: code page 932 never uses 0x3A as a trail byte.
    const QByteArrayView keyField = fieldAt(line, 0);
    const QByteArrayView value = keyField.size() < line.size() ? fieldAt(line, keyField.size() + 1) : QByteArrayView();
    return {toInt(keyField), value};
}

QByteArray headerLine() { return Cp932::encode(u"999:＜番号付き表示設定ファイル２＞"); }
QString versionMismatchText() { return QStringLiteral("表示設定ファイルのバージョンが違います"); }

QByteArray recordLine(int key, QByteArrayView value, QByteArrayView comment) {
    QByteArray line;
    line.reserve(3 + 2 + value.size() + comment.size());
    line += threeDigits(key);
    line += ':';
    line += value;
    line += ':';
    line += comment;
    return line;
}

QByteArray channelLine(int channelIndex) {
    return recordLine(801, fromInt(channelIndex), Cp932::encode(u"チャンネル"));
}

QByteArray groupLine(int group) { return recordLine(kGroupKey, fromInt(group), Cp932::encode(u"班")); }

QByteArray ownNameLine(QByteArrayView name) {
    return recordLine(166, name, Cp932::encode(u"自分のパソコンのホスト名（最後に書く）"));
}

QList<int> writeOrder(const KeyTable& table) {
    QList<int> keys;
    keys.reserve(table.size());
    for (const Entry& e : table.entries())
        if (written(e)) keys.append(e.key);
    std::sort(keys.begin(), keys.end(), [](int a, int b) { return writeRank(a) < writeRank(b); });
    return keys;
}

void WriteSettings(const KeyTable& table, QList<QByteArray>& lines) {
    const QList<int> order = writeOrder(table);
    lines.reserve(lines.size() + 1 + order.size());
    lines.append(headerLine());
    for (int key : order) lines.append(lineOf(*table.find(key)));
}

ApplyResult ApplySettings(const KeyTable& table, const QList<QByteArray>& lines, const ExplainSink& explain) {
    ApplyResult result;
    if (lines.isEmpty() || lines.first() != headerLine()) {
        if (explain) explain(versionMismatchText());
        return result;
    }
    result.headerOk = true;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = lines[i];
        auto [key, value] = splitRecord(line);
        if (!key) {
            result.error = ApplyError{int(i + 1), lines[i], ApplyError::Cause::Key};
            return result;
        }
        const Entry* entry = table.find(*key);
        if (!entry) continue;
        if (const qsizetype from = line.indexOf(':') + 1; entry->valueToLastColon && from > 0) {
            const qsizetype last = line.lastIndexOf(':');
            value = last >= from ? line.sliced(from, last - from) : line.sliced(from);
        }
        if (*key == kGroupKey && value.isEmpty()) continue;  // an empty group keeps the current one
        if ((entry->kind == Kind::Int || entry->kind == Kind::Colour) && !toInt(value)) {
            result.error = ApplyError{int(i + 1), lines[i], ApplyError::Cause::Value};
            return result;
        }
        if (!entry->apply) continue;
        entry->apply(value);
        ++result.applied;
    }
    return result;
}

int keyOf(QByteArrayView line) {
    const std::optional<qint32> key = toInt(fieldAt(line, 0));
    return key ? *key : -1;
}

QString describe(const ApplyError& error) {
    const QString what = error.cause == ApplyError::Cause::Key ? QStringLiteral("番号") : QStringLiteral("値");
    return QStringLiteral("表示設定ファイルの%1行目「%2」の%3が整数ではありません。\n"
                          "この行から後の設定は読み込んでいません。")
        .arg(error.line)
        .arg(Cp932::decode(error.text), what);
}

std::optional<QString> headerProblem(const QList<QByteArray>& lines, const QString& fileName) {
    if (!lines.isEmpty() && lines.first() == headerLine()) return std::nullopt;
    QString why;
    if (lines.isEmpty()) {
        why = QStringLiteral("ファイルが空です。");
    } else {
        QByteArray first = lines.first();
        if (first.startsWith("\xEF\xBB\xBF")) first.remove(0, 3);  // the mark some editors put before UTF-8
        if (first == QStringLiteral("999:＜番号付き表示設定ファイル２＞").toUtf8())
            why = QStringLiteral("ファイルがUTF-8で保存し直されています。\n"
                                 "テキストエディタで文字コードを「Shift_JIS」（SJIS）にして保存し直してください。");
        else
            why = QStringLiteral("1行目が「999:＜番号付き表示設定ファイル２＞」ではありません。");
    }
    return QStringLiteral("「%1」は表示設定ファイルとして読み込めません。\n%2\n設定は何も変わっていません。").arg(fileName, why);
}

}  // namespace Settings

// The numbered settings file without widgets: value words, colours, the key table, the writer's
// order and comments, the reader's header check, dispatch and failure stop, line ends, files,
// and the reference key table's own sanity.
#include "settings/key_table.h"
#include "settings/line_file.h"
#include "settings/settings_file.h"
#include "settings/values.h"
#include "settings_reference.h"
#include "support/file_size_limit.h"
#include "text/cp932.h"

#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <map>
#include <sys/resource.h>

using Settings::Kind;
namespace Ref = SettingsReference;

namespace {

QByteArray cp(const char16_t* text) { return Cp932::encode(QStringView(text)); }

// Windows of a station reduced to one value per key: binders that read and apply through the
// value helpers as the real ones do (a check box keeps only checked or not, a number only its
// integer), and remember every apply in order.
struct FakeStation {
    std::map<int, QByteArray> state;
    QList<int> appliedKeys;
    Settings::KeyTable table;

    void bind(int key, Kind kind, QByteArray comment = "c", QByteArray commentOff = {}, QByteArray third = {},
              std::optional<Settings::FontStyle> style = {}, QByteArray shownWord = {}) {
        Settings::Entry e;
        e.key = key;
        e.kind = kind;
        e.comment = std::move(comment);
        e.commentOff = std::move(commentOff);
        e.commentThird = std::move(third);
        e.read = [this, key] { return state[key]; };
        e.apply = [this, key, kind, style, shownWord](QByteArrayView v) {
            appliedKeys.append(key);
            QByteArray& s = state[key];
            switch (kind) {
            case Kind::Int:
            case Kind::Colour: s = Settings::fromInt(Settings::intValue(v)); break;
            case Kind::OnOff: s = Settings::onOff(Settings::isOn(v)); break;
            case Kind::TrueFalse: s = Settings::trueFalse(Settings::isTrue(v)); break;
            case Kind::FontStyle: s = Settings::fontStyleWord(*style, Settings::fontStyleSet(*style, v)); break;
            case Kind::Digit: s = QByteArray::number(Settings::rubyDigit(v)); break;
            case Kind::Word: s = v == shownWord ? shownWord : shownWord + "-hidden"; break;
            default: s = v.toByteArray(); break;
            }
        };
        QVERIFY(table.add(std::move(e)));
    }

    // Every key of the reference table, with its comments and a value of its kind.
    void bindReference() {
        for (const Ref::Row& r : Ref::kRows) {
            std::optional<Settings::FontStyle> style;
            if (r.kind == Kind::FontStyle) style = Settings::FontStyle(r.key % 3);  // any one of the three
            QByteArray shown;
            for (const Ref::WordValues& w : Ref::kWords)
                if (w.key == r.key) shown = Ref::cp932(w.shown);
            bind(r.key, r.kind, Ref::cp932(r.comment), Ref::cp932(r.commentOff), Ref::cp932(r.commentThird), style, shown);
            state[r.key] = sampleValue(r.kind, r.key, style, shown);
        }
    }

    static QByteArray sampleValue(Kind kind, int key, std::optional<Settings::FontStyle> style, const QByteArray& shown) {
        const bool positive = key % 2;
        switch (kind) {
        case Kind::Int: return QByteArray::number(key * 3 - 100);
        case Kind::Colour: return QByteArray::number(-2147483640 + key);
        case Kind::OnOff: return Settings::onOff(positive);
        case Kind::TrueFalse: return Settings::trueFalse(positive);
        case Kind::FontStyle: return Settings::fontStyleWord(*style, positive);
        case Kind::Word: return positive ? shown : shown + "-hidden";
        case Kind::Digit: return "2";
        default: return "text of " + QByteArray::number(key);
        }
    }

    QList<QByteArray> write() const {
        QList<QByteArray> lines;
        Settings::WriteSettings(table, lines);
        return lines;
    }
};

QList<int> keysOf(const QList<QByteArray>& lines) {
    QList<int> keys;
    for (qsizetype i = 1; i < lines.size(); ++i) keys.append(lines[i].left(3).toInt());
    return keys;
}

QList<QByteArray> file(std::initializer_list<QByteArray> records) {
    QList<QByteArray> lines{Settings::headerLine()};
    lines.append(QList<QByteArray>(records));
    return lines;
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void decimalIntegers_data();
    void decimalIntegers();
    void valueWordsAreExactAndCaseSensitive();
    void coloursMapToQtAndBack();
    void keyTableRefusesASecondEntryForAKey();

    void writerOrderAndItsExceptions();
    void writerFixedLinesAndComments();
    void writerLeavesTheCallersLinesToTheCallers();

    void headerMustMatchExactly();
    void headerProblemNamesTheMistake();
    void onlyTheExactPositiveWordsSet();
    void textReadsUpToTheFirstColon();
    void addressReadsUpToTheLastColon();
    void laterDuplicateWinsAndUnknownKeysAreSkipped();
    void stopsAtTheFirstLineThatIsNotANumber();
    void emptyGroupIsIgnored();
    void longFieldsComeBackExactly();
    void writtenFileReadsBackToTheSameBytes();

    void lineEnds();
    void filesAreWrittenWholeOrNotAtAll();
    void smallSaveOnAFullDiskKeepsTheOldFile();
    void writeFailuresInTheTypistsWords();

    void referenceTableIsWellFormed();
};

void SettingsTest::decimalIntegers_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QByteArray("4") << true << 4;
    QTest::newRow("leading zeros") << QByteArray("004") << true << 4;
    QTest::newRow("plus") << QByteArray("+16777215") << true << 16777215;
    QTest::newRow("window text") << QByteArray("-2147483640") << true << -2147483640;
    QTest::newRow("lowest") << QByteArray("-2147483648") << true << std::numeric_limits<int>::min();
    QTest::newRow("highest") << QByteArray("2147483647") << true << std::numeric_limits<int>::max();
    QTest::newRow("too high") << QByteArray("2147483648") << false << 0;
    QTest::newRow("too low") << QByteArray("-2147483649") << false << 0;
    QTest::newRow("many digits") << QByteArray("99999999999999999999999") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("sign only") << QByteArray("-") << false << 0;
    QTest::newRow("space before") << QByteArray(" 4") << false << 0;
    QTest::newRow("space after") << QByteArray("4 ") << false << 0;
    QTest::newRow("hex") << QByteArray("0x10") << false << 0;
    QTest::newRow("full-width digits") << cp(u"１２") << false << 0;
    QTest::newRow("trailing text") << QByteArray("12px") << false << 0;
}

void SettingsTest::decimalIntegers() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const auto got = Settings::toInt(text);
    QCOMPARE(got.has_value(), ok);
    if (ok) QCOMPARE(*got, value);
    QCOMPARE(Settings::intValue(text, -7), ok ? value : -7);
}

void SettingsTest::valueWordsAreExactAndCaseSensitive() {
    QVERIFY(Settings::isOn("on"));
    for (const char* v : {"ON", "On", "off", "true", "", " on"}) QVERIFY2(!Settings::isOn(v), v);
    QVERIFY(Settings::isTrue("true"));
    for (const char* v : {"TRUE", "True", "on", "1", ""}) QVERIFY2(!Settings::isTrue(v), v);
    QCOMPARE(Settings::onOff(true), QByteArray("on"));
    QCOMPARE(Settings::onOff(false), QByteArray("off"));
    QCOMPARE(Settings::trueFalse(true), QByteArray("true"));
    QCOMPARE(Settings::trueFalse(false), QByteArray("false"));

    using Settings::FontStyle;
    QCOMPARE(Settings::fontStyleWord(FontStyle::Bold, true), QByteArray("fsbold"));
    QCOMPARE(Settings::fontStyleWord(FontStyle::Bold, false), QByteArray("!fsbold"));
    QCOMPARE(Settings::fontStyleWord(FontStyle::Italic, true), QByteArray("fsItalic"));
    QCOMPARE(Settings::fontStyleWord(FontStyle::Italic, false), QByteArray("!fsItalic"));
    QCOMPARE(Settings::fontStyleWord(FontStyle::Underline, true), QByteArray("fsUnderline"));
    QCOMPARE(Settings::fontStyleWord(FontStyle::Underline, false), QByteArray("!fsUnderline"));
    QVERIFY(Settings::fontStyleSet(FontStyle::Bold, "fsbold"));
    QVERIFY(!Settings::fontStyleSet(FontStyle::Bold, "fsBold"));
    QVERIFY(!Settings::fontStyleSet(FontStyle::Bold, "fsItalic"));  // another style's word
    QVERIFY(!Settings::fontStyleSet(FontStyle::Italic, "fsitalic"));
    QVERIFY(!Settings::fontStyleSet(FontStyle::Underline, "fsUnderLine"));

    QVERIFY(Settings::isPositiveValue("on") && Settings::isPositiveValue("true") && Settings::isPositiveValue("fsbold"));
    QVERIFY(!Settings::isPositiveValue("off") && !Settings::isPositiveValue("!fsbold") && !Settings::isPositiveValue("ON"));

    QCOMPARE(Settings::rubyDigit("3"), 3);
    QCOMPARE(Settings::rubyDigit("2"), 2);
    QCOMPARE(Settings::rubyDigit("1"), 1);
    QCOMPARE(Settings::rubyDigit("4"), 1);
    QCOMPARE(Settings::rubyDigit("03"), 1);
    QCOMPARE(Settings::rubyDigit(""), 1);
}

void SettingsTest::coloursMapToQtAndBack() {
    using namespace Settings::Colour;
    QCOMPARE(kWindowText, -2147483640);
    QCOMPARE(kWindow, -2147483643);
    QCOMPARE(kButtonFace, -2147483633);

    QCOMPARE(Settings::toQColor(kRed, QPalette()), QColor(255, 0, 0));
    QCOMPARE(Settings::toQColor(kGreen, QPalette()), QColor(0, 128, 0));
    QCOMPARE(Settings::toQColor(kBlue, QPalette()), QColor(0, 0, 255));
    QCOMPARE(Settings::toQColor(kOlive, QPalette()), QColor(128, 128, 0));
    QCOMPARE(Settings::toQColor(kWhite, QPalette()), QColor(255, 255, 255));
    QCOMPARE(Settings::fromQColor(QColor(255, 0, 0)), kRed);
    QCOMPARE(Settings::fromQColor(QColor(0x12, 0x34, 0x56)), 0x563412);
    QCOMPARE(Settings::fromQColor(QColor(0x12, 0x34, 0x56, 0x10)), 0x563412);
    QCOMPARE(Settings::fromQColor(Settings::toQColor(0x00ABCDEF, QPalette())), 0x00ABCDEF);

    QCOMPARE(Settings::systemColourRole(kWindowText), QPalette::Text);
    QCOMPARE(Settings::systemColourRole(kWindow), QPalette::Base);
    QCOMPARE(Settings::systemColourRole(kButtonFace), QPalette::Window);
    QVERIFY(!Settings::systemColourRole(kWhite));
    QVERIFY(!Settings::systemColourRole(qint32(0x80000019)));  // index 25 has no colour
    QVERIFY(!Settings::systemColourRole(qint32(0x80000100)));  // not a system colour value

    // System colours come from the palette handed in, so a repainted palette follows.
    QPalette palette;
    palette.setColor(QPalette::Text, QColor(1, 2, 3));
    palette.setColor(QPalette::Base, QColor(4, 5, 6));
    palette.setColor(QPalette::Window, QColor(7, 8, 9));
    QCOMPARE(Settings::toQColor(kWindowText, palette), QColor(1, 2, 3));
    QCOMPARE(Settings::toQColor(kWindow, palette), QColor(4, 5, 6));
    QCOMPARE(Settings::toQColor(kButtonFace, palette), QColor(7, 8, 9));
    QVERIFY(!Settings::toQColor(qint32(0x80000019), palette).isValid());
}

void SettingsTest::keyTableRefusesASecondEntryForAKey() {
    Settings::KeyTable table;
    Settings::Entry first;
    first.key = 35;
    first.comment = "first";
    QVERIFY(table.add(first));
    Settings::Entry second = first;
    second.comment = "second";
    QVERIFY(!table.add(second));
    Settings::Entry header;
    header.key = 999;
    QVERIFY(!table.add(header));
    Settings::Entry negative;
    negative.key = -1;
    QVERIFY(!table.add(negative));
    QCOMPARE(table.size(), 1);
    QCOMPARE(table.find(35)->comment, QByteArray("first"));
    QCOMPARE(table.rejectedKeys(), (QList<int>{35, 999, -1}));
    QVERIFY(!table.find(36));
    QVERIFY(!table.find(999));
    QVERIFY(!table.find(-5));
    QVERIFY(!table.find(123456));
}

void SettingsTest::writerOrderAndItsExceptions() {
    FakeStation station;
    station.bindReference();
    QVERIFY(station.table.rejectedKeys().isEmpty());
    const QList<QByteArray> lines = station.write();
    QCOMPARE(lines.first(), Ref::cp932(Ref::kHeader));
    const QList<int> keys = keysOf(lines);
    QCOMPARE(keys, Settings::writeOrder(station.table));
    QCOMPARE(keys.first(), 121);

    // The exceptions, as the neighbourhoods they give.
    const auto around = [&](int key, int before, int after) {
        const qsizetype i = keys.indexOf(key);
        if (i < before || i + after >= keys.size()) return QList<int>{};
        return keys.mid(i - before, before + 1 + after);
    };
    QCOMPARE(around(6, 1, 2), (QList<int>{4, 6, 5, 7}));
    QCOMPARE(around(12, 1, 2), (QList<int>{10, 12, 11, 13}));
    QCOMPARE(around(193, 5, 1), (QList<int>{192, 194, 195, 196, 197, 193, 216}));

    // Everything else ascending, every written key once, and only those.
    QList<int> rest = keys.mid(1);
    for (int moved : {6, 12, 193}) rest.removeOne(moved);
    QVERIFY(std::is_sorted(rest.begin(), rest.end()));
    QList<int> expected;
    for (const Ref::Row& r : Ref::kRows)
        if (r.written != Ref::Written::Never && r.written != Ref::Written::ByCallers) expected.append(r.key);
    QList<int> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(sorted, expected);
    QCOMPARE(lines.size(), expected.size() + 1);
}

void SettingsTest::writerFixedLinesAndComments() {
    FakeStation station;
    station.bindReference();
    station.state[121] = Ref::cp932(Ref::kWords[0].shown);
    station.state[709] = "true";  // the check box is on, yet the file says false
    station.state[868] = "3";
    station.state[147] = "!fsbold";
    station.state[148] = "fsItalic";
    station.state[35] = "off";
    station.state[126] = "on";
    station.state[143] = "off";
    station.state[267] = "true";
    station.state[268] = "false";
    QList<QByteArray> lines = station.write();
    const auto lineOf = [&](int key) {
        for (const QByteArray& l : lines)
            if (l.startsWith(QByteArray::number(key).rightJustified(3, '0') + ':')) return l;
        return QByteArray();
    };
    QCOMPARE(lines.at(1), cp(u"121:８人モニター表示:初期化時間のため先頭に書く（バグ対策）"));
    QCOMPARE(lineOf(709), cp(u"709:false:連絡窓の定時連絡（流す）のチェック"));
    QCOMPARE(lineOf(30), cp(u"030:未使用"));
    QCOMPARE(lineOf(868), cp(u"868:3:ひらがなルビにする。"));
    QCOMPARE(lineOf(147), cp(u"147:!fsbold:連絡窓のフォントスタイル：！ｂｏｌｄ"));
    QCOMPARE(lineOf(148), cp(u"148:fsItalic:連絡窓のフォントスタイル：Ｉｔａｌｉｃ"));
    QCOMPARE(lineOf(35), cp(u"035:off:スクロール：加速の有無"));
    QCOMPARE(lineOf(126), cp(u"126:on:他の人の入力もＵｎｄｏの対象にする"));
    QCOMPARE(lineOf(143), cp(u"143:off:入力部の全部を送る"));
    QCOMPARE(lineOf(267), cp(u"267:true:お知らせＷを受信しない"));
    QCOMPARE(lineOf(268), cp(u"268:false:お知らせＷを設定受信する"));
    QCOMPARE(lineOf(6), cp(u"006:-82:マニュアル設定のスクロール速度 ＜注意＞００５の前に００６を書く事！"));

    station.state[868] = "2";
    station.state[121] = "off";
    lines = station.write();
    QCOMPARE(lineOf(868), cp(u"868:2:カタカナルビにする。"));
    QCOMPARE(lines.at(1), cp(u"121:off:初期化時間のため先頭に書く（バグ対策）"));
    station.state[868] = "1";
    lines = station.write();
    QCOMPARE(lineOf(868), cp(u"868:1:ﾊﾝｶｸﾙﾋﾞにする。"));

    // Every written line carries exactly the reference comment for its value, both ways.
    for (const bool positive : {true, false}) {
        station.state.clear();
        for (const Ref::Row& r : Ref::kRows) {
            const auto style = Settings::FontStyle(r.key % 3);
            station.state[r.key] = r.kind == Kind::OnOff       ? Settings::onOff(positive)
                                   : r.kind == Kind::TrueFalse ? Settings::trueFalse(positive)
                                                               : Settings::fontStyleWord(style, positive);
        }
        lines = station.write();
        int checked = 0;
        for (const Ref::Row& r : Ref::kRows) {
            if (r.written != Ref::Written::Yes || r.kind == Kind::Digit || r.kind == Kind::Word) continue;
            const char* comment = !positive && r.commentOff ? r.commentOff : r.comment;
            QCOMPARE(lineOf(r.key), Settings::recordLine(r.key, station.state[r.key], Ref::cp932(comment)));
            ++checked;
        }
        QVERIFY(checked > 280);
    }

    // A key whose window offers no reading is left out.
    Settings::KeyTable table;
    Settings::Entry silent;
    silent.key = 500;
    silent.comment = "x";
    QVERIFY(table.add(silent));
    lines.clear();
    Settings::WriteSettings(table, lines);
    QCOMPARE(lines, QList<QByteArray>{Settings::headerLine()});
}

void SettingsTest::writerLeavesTheCallersLinesToTheCallers() {
    FakeStation station;
    station.bindReference();
    QList<QByteArray> lines{"kept"};
    Settings::WriteSettings(station.table, lines);
    QCOMPARE(lines.first(), QByteArray("kept"));  // appends, does not clear
    QCOMPARE(lines.at(1), Settings::headerLine());
    const QList<int> keys = keysOf(lines.mid(1));
    for (int key : {71, 72, 139, 166, 600, 610, 620, 801, 802}) QVERIFY2(!keys.contains(key), qPrintable(QString::number(key)));

    // Save on "3ch" in "Ｃ班": 801, 802, 166 after all keys, with the callers' comments.
    lines.append(Settings::channelLine(2));
    lines.append(Settings::groupLine(3));
    lines.append(Settings::ownNameLine("PC-3"));
    QCOMPARE(lines.at(lines.size() - 3), cp(u"801:2:チャンネル"));
    QCOMPARE(lines.at(lines.size() - 2), cp(u"802:3:班"));
    QCOMPARE(lines.last(), cp(u"166:PC-3:自分のパソコンのホスト名（最後に書く）"));
    for (int key : {801, 802, 166}) {
        const QByteArray line = key == 801 ? Settings::channelLine(0) : key == 802 ? Settings::groupLine(1) : Settings::ownNameLine("n");
        QVERIFY(line.endsWith(':' + Ref::cp932(Ref::find(key)->comment)));
    }
    QCOMPARE(Settings::recordLine(4, "6", "x"), QByteArray("004:6:x"));
    QCOMPARE(Settings::recordLine(872, "", ""), QByteArray("872::"));

    // And they read back into the station.
    const Settings::ApplyResult r = Settings::ApplySettings(station.table, lines.mid(1));
    QVERIFY(!r.error);
    QCOMPARE(station.state[801], QByteArray("2"));
    QCOMPARE(station.state[802], QByteArray("3"));
    QCOMPARE(station.state[166], QByteArray("PC-3"));
}

void SettingsTest::headerMustMatchExactly() {
    FakeStation station;
    station.bind(9, Kind::Int);
    station.state[9] = "36";
    QStringList explained;
    const auto sink = [&](const QString& s) { explained.append(s); };

    const QList<QList<QByteArray>> wrong{
        {cp(u"999:＜番号付き表示設定ファイル１＞"), "009:12:c"},
        {cp(u"999:＜番号付き表示設定ファイル２＞ "), "009:12:c"},
        {"009:12:c"},
        {},
    };
    for (const auto& lines : wrong) {
        explained.clear();
        const Settings::ApplyResult r = Settings::ApplySettings(station.table, lines, sink);
        QVERIFY(!r.headerOk);
        QVERIFY(!r.error);
        QCOMPARE(r.applied, 0);
        QCOMPARE(explained, QStringList{QStringLiteral("表示設定ファイルのバージョンが違います")});
        QCOMPARE(station.state[9], QByteArray("36"));
    }
    QCOMPARE(Settings::versionMismatchText(), QString::fromUtf8(Ref::kVersionMismatch));

    // Only the header: nothing applied, nothing said.
    explained.clear();
    const Settings::ApplyResult only = Settings::ApplySettings(station.table, file({}), sink);
    QVERIFY(only.headerOk);
    QVERIFY(!only.error);
    QCOMPARE(only.applied, 0);
    QVERIFY(explained.isEmpty());
    QVERIFY(station.appliedKeys.isEmpty());

    // Header and key 009: only the display font size changes.
    station.bind(7, Kind::FontName);
    station.state[7] = "font";
    QVERIFY(Settings::ApplySettings(station.table, file({"009:12:c"}), sink).headerOk);
    QCOMPARE(station.state[9], QByteArray("12"));
    QCOMPARE(station.state[7], QByteArray("font"));
    QCOMPARE(station.appliedKeys, QList<int>{9});
}

void SettingsTest::onlyTheExactPositiveWordsSet() {
    FakeStation station;
    station.bind(35, Kind::OnOff);
    station.bind(108, Kind::FontStyle, "c", {}, {}, Settings::FontStyle::Bold);
    station.bind(109, Kind::FontStyle, "c", {}, {}, Settings::FontStyle::Italic);
    station.bind(803, Kind::TrueFalse);
    station.bind(121, Kind::Word, "c", {}, {}, {}, cp(u"８人モニター表示"));
    station.bind(868, Kind::Digit);

    QVERIFY(!Settings::ApplySettings(station.table, file({"035:on:c", "108:fsbold:c", "109:fsItalic:c", "803:true:c",
                                                          cp(u"121:８人モニター表示:c"), "868:3:c"}))
                 .error);
    QCOMPARE(station.state[35], QByteArray("on"));
    QCOMPARE(station.state[108], QByteArray("fsbold"));
    QCOMPARE(station.state[109], QByteArray("fsItalic"));
    QCOMPARE(station.state[803], QByteArray("true"));
    QCOMPARE(station.state[121], cp(u"８人モニター表示"));
    QCOMPARE(station.state[868], QByteArray("3"));

    QVERIFY(!Settings::ApplySettings(station.table, file({"035:ON:c", "108:fsBold:c", "109:fsitalic:c", "803:TRUE:c",
                                                          cp(u"121:８人モニター表示 :c"), "868:03:c"}))
                 .error);
    QCOMPARE(station.state[35], QByteArray("off"));
    QCOMPARE(station.state[108], QByteArray("!fsbold"));
    QCOMPARE(station.state[109], QByteArray("!fsItalic"));
    QCOMPARE(station.state[803], QByteArray("false"));
    QVERIFY(station.state[121] != cp(u"８人モニター表示"));
    QCOMPARE(station.state[868], QByteArray("1"));
}

void SettingsTest::textReadsUpToTheFirstColon() {
    FakeStation station;
    station.bind(39, Kind::Text, cp(u"発言者名"));
    station.state[39] = cp(u"司会：山田:太郎");  // a full-width colon is part of the text, 0x3A is not
    QList<QByteArray> lines = station.write();
    QCOMPARE(lines.at(1), cp(u"039:司会：山田:太郎:発言者名"));
    station.state[39] = "other";
    QVERIFY(!Settings::ApplySettings(station.table, lines).error);
    QCOMPARE(station.state[39], cp(u"司会：山田"));

    // Trail bytes of double-byte characters are never taken for a colon; a line without any
    // colon gives an empty value.
    station.bind(504, Kind::Text);
    QVERIFY(!Settings::ApplySettings(station.table, file({cp(u"504:表ソ能予十:c"), "039"})).error);
    QCOMPARE(station.state[504], cp(u"表ソ能予十"));
    QCOMPARE(station.state[39], QByteArray());
    // Key "4" and "004" are the same key.
    station.bind(4, Kind::Int);
    QVERIFY(!Settings::ApplySettings(station.table, file({"4:7:c"})).error);
    QCOMPARE(station.state[4], QByteArray("7"));
    QVERIFY(!Settings::ApplySettings(station.table, file({"0004:8"})).error);
    QCOMPARE(station.state[4], QByteArray("8"));
}

// A web address holds colons of its own: its value runs from the first colon to the last one.
void SettingsTest::addressReadsUpToTheLastColon() {
    FakeStation station;
    station.bind(953, Kind::Text, cp(u"オンライン字幕の送信先URL"));
    Settings::Entry& e = const_cast<Settings::Entry&>(*station.table.find(953));
    e.valueToLastColon = true;
    const QByteArray url = "https://wmcc.zoom.us:443/closedcaption?id=1&ns=a%3Ab&signature=x:y";
    station.state[953] = url;
    const QList<QByteArray> lines = station.write();
    QCOMPARE(lines.at(1), "953:" + url + ':' + cp(u"オンライン字幕の送信先URL"));
    station.state[953] = "other";
    QVERIFY(!Settings::ApplySettings(station.table, lines).error);
    QCOMPARE(station.state[953], url);
    // The comment ends the value: without one, the address's own last colon is taken for its end.
    QVERIFY(!Settings::ApplySettings(station.table, file({"953:http://h/p"})).error);
    QCOMPARE(station.state[953], QByteArray("http"));
    QVERIFY(!Settings::ApplySettings(station.table, file({"953:plain"})).error);
    QCOMPARE(station.state[953], QByteArray("plain"));
    QVERIFY(!Settings::ApplySettings(station.table, file({"953::c"})).error);
    QCOMPARE(station.state[953], QByteArray());
    QVERIFY(!Settings::ApplySettings(station.table, file({"953"})).error);
    QCOMPARE(station.state[953], QByteArray());
    // Other text keys keep reading up to the first colon.
    station.bind(39, Kind::Text);
    QVERIFY(!Settings::ApplySettings(station.table, file({"039:a:b:c"})).error);
    QCOMPARE(station.state[39], QByteArray("a"));
    QCOMPARE(Settings::keyOf("953:x:c"), 953);
    QCOMPARE(Settings::keyOf("0952:x"), 952);
    QCOMPARE(Settings::keyOf("abc:x"), -1);
}

void SettingsTest::laterDuplicateWinsAndUnknownKeysAreSkipped() {
    FakeStation station;
    station.bind(9, Kind::Int);
    station.bind(39, Kind::Text);
    Settings::Entry unused;
    unused.key = 30;
    unused.kind = Kind::Unused;
    unused.comment = cp(u"未使用");
    QVERIFY(station.table.add(unused));
    const Settings::ApplyResult r = Settings::ApplySettings(
        station.table, file({"009:12:c", "039:a:c", "555:x:c", "-3:x", "998:notanumber:c", cp(u"030:未使用"),
                             "009:20:c", "1000:1:c"}));
    QVERIFY(!r.error);
    QCOMPARE(r.applied, 3);
    QCOMPARE(station.state[9], QByteArray("20"));
    QCOMPARE(station.appliedKeys, (QList<int>{9, 39, 9}));
}

void SettingsTest::stopsAtTheFirstLineThatIsNotANumber() {
    struct Case {
        const char* name;
        QByteArray bad;
        Settings::ApplyError::Cause cause;
    };
    const QList<Case> cases{
        {"key with letters", "0a9:12:c", Settings::ApplyError::Cause::Key},
        {"empty line", "", Settings::ApplyError::Cause::Key},
        {"no key", ":12:c", Settings::ApplyError::Cause::Key},
        {"int value", "009:twelve:c", Settings::ApplyError::Cause::Value},
        {"empty int value", "009::c", Settings::ApplyError::Cause::Value},
        {"colour value", "010:0xFFFFFF:c", Settings::ApplyError::Cause::Value},
        {"int without a colon", "009", Settings::ApplyError::Cause::Value},
    };
    for (const Case& c : cases) {
        FakeStation station;
        station.bind(9, Kind::Int);
        station.bind(10, Kind::Colour);
        station.bind(39, Kind::Text);
        station.bind(35, Kind::OnOff);
        station.state[9] = "1";
        const Settings::ApplyResult r =
            Settings::ApplySettings(station.table, file({"039:before:c", "035:on:c", c.bad, "039:after:c", "009:5:c"}));
        QVERIFY2(r.error, c.name);
        QCOMPARE(r.error->line, 4);  // the header is line 1
        QCOMPARE(r.error->text, c.bad);
        QCOMPARE(r.error->cause, c.cause);
        QCOMPARE(r.applied, 2);
        QCOMPARE(station.state[39], QByteArray("before"));
        QCOMPARE(station.state[35], QByteArray("on"));
        QCOMPARE(station.state[9], QByteArray("1"));
        QCOMPARE(station.appliedKeys, (QList<int>{39, 35}));
    }
    // One message, naming the line.
    const QString message = Settings::describe({12, cp(u"0a9:十二:c"), Settings::ApplyError::Cause::Key});
    QVERIFY2(message.contains(QStringLiteral("12行目")) && message.contains(QStringLiteral("0a9:十二:c")), qPrintable(message));
    QVERIFY(Settings::describe({3, "x", Settings::ApplyError::Cause::Value}).contains(QStringLiteral("値")));
    // A text key takes any value, numbers or not.
    FakeStation text;
    text.bind(39, Kind::Text);
    QVERIFY(!Settings::ApplySettings(text.table, file({"039:twelve:c", "039::c"})).error);
    QCOMPARE(text.state[39], QByteArray());
}

void SettingsTest::emptyGroupIsIgnored() {
    FakeStation station;
    station.bind(802, Kind::Int);
    station.bind(801, Kind::Int);
    station.state[802] = "3";
    Settings::ApplyResult r = Settings::ApplySettings(station.table, file({"802::c", "802:", "802"}));
    QVERIFY(!r.error);
    QCOMPARE(r.applied, 0);
    QCOMPARE(station.state[802], QByteArray("3"));
    // Any other empty int still stops the file, and a group that is not a number too.
    r = Settings::ApplySettings(station.table, file({"801::c"}));
    QVERIFY(r.error);
    r = Settings::ApplySettings(station.table, file({"802:B:c"}));
    QVERIFY(r.error);
    QCOMPARE(r.error->cause, Settings::ApplyError::Cause::Value);
    r = Settings::ApplySettings(station.table, file({"802:27:c"}));
    QVERIFY(!r.error);
    QCOMPARE(station.state[802], QByteArray("27"));
}

void SettingsTest::longFieldsComeBackExactly() {
    FakeStation station;
    station.bind(504, Kind::Text, cp(u"お知らせＷの表示文字列"));
    QString notice;
    for (int i = 0; i < 500; ++i) notice += QChar(u"お知らせ漢字ｶﾅソ表"[i % 10]);
    QCOMPARE(notice.size(), 500);
    const QByteArray bytes = Cp932::encode(notice);
    QCOMPARE(bytes.size(), 900);
    station.state[504] = bytes;
    const QByteArray fileBytes = Settings::joinLines(station.write());
    station.state[504] = "changed";
    QVERIFY(!Settings::ApplySettings(station.table, Settings::splitLines(fileBytes)).error);
    QCOMPARE(station.state[504], bytes);
    QCOMPARE(Cp932::decode(station.state[504]), notice);
}

void SettingsTest::writtenFileReadsBackToTheSameBytes() {
    FakeStation first;
    first.bindReference();
    for (int key : {801, 802, 166}) first.state.erase(key);
    QList<QByteArray> lines = first.write();
    lines += {Settings::channelLine(4), Settings::groupLine(9), Settings::ownNameLine("host-a")};
    const QByteArray bytes = Settings::joinLines(lines);

    FakeStation second;
    second.bindReference();
    for (auto& [key, value] : second.state) value = "?";
    const Settings::ApplyResult r = Settings::ApplySettings(second.table, Settings::splitLines(bytes));
    QVERIFY(r.headerOk);
    QVERIFY(!r.error);
    QList<QByteArray> again = second.write();
    again += {Settings::channelLine(Settings::intValue(second.state[801])), Settings::groupLine(Settings::intValue(second.state[802])),
              Settings::ownNameLine(second.state[166])};
    QCOMPARE(Settings::joinLines(again), bytes);
}

void SettingsTest::lineEnds() {
    const QList<QByteArray> three{"a", "b", "c"};
    QCOMPARE(Settings::splitLines("a\r\nb\r\nc\r\n"), three);
    QCOMPARE(Settings::splitLines("a\nb\nc\n"), three);
    QCOMPARE(Settings::splitLines("a\rb\rc\r"), three);
    QCOMPARE(Settings::splitLines("a\r\nb\nc"), three);
    QCOMPARE(Settings::splitLines("a\rb\r\nc"), three);
    QCOMPARE(Settings::splitLines("a\n\rb"), (QList<QByteArray>{"a", "", "b"}));  // LF CR is two ends
    QCOMPARE(Settings::splitLines("a\r\n\r\nb\r\n"), (QList<QByteArray>{"a", "", "b"}));
    QCOMPARE(Settings::splitLines("a\r\n\r\n"), (QList<QByteArray>{"a", ""}));
    QCOMPARE(Settings::splitLines(""), QList<QByteArray>{});
    QCOMPARE(Settings::splitLines("\r\n"), QList<QByteArray>{""});
    QCOMPARE(Settings::joinLines(three), QByteArray("a\r\nb\r\nc\r\n"));
    QCOMPARE(Settings::joinLines({}), QByteArray());
    QCOMPARE(Settings::splitLines(Settings::joinLines(three)), three);

    // A whole file with any of the three line ends applies the same.
    for (const char* end : {"\r\n", "\n", "\r"}) {
        FakeStation station;
        station.bind(9, Kind::Int);
        station.bind(39, Kind::Text);
        const QByteArray bytes = Settings::headerLine() + end + "009:30:c" + end + "039:x y:c" + end;
        const Settings::ApplyResult r = Settings::ApplySettings(station.table, Settings::splitLines(bytes));
        QVERIFY(r.headerOk);
        QVERIFY(!r.error);
        QCOMPARE(station.state[9], QByteArray("30"));
        QCOMPARE(station.state[39], QByteArray("x y"));
    }
}

void SettingsTest::filesAreWrittenWholeOrNotAtAll() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("表示全般設定.dp9"));
    const QList<QByteArray> lines{Settings::headerLine(), cp(u"039:山田:発言者名"), "009:36:c"};
    QString error;
    QVERIFY2(Settings::writeLines(path, lines, &error), qPrintable(error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray old = f.readAll();
    f.close();
    QCOMPARE(old, Settings::headerLine() + "\r\n" + cp(u"039:山田:発言者名") + "\r\n009:36:c\r\n");
    const auto back = Settings::readLines(path, &error);
    QVERIFY(back);
    QCOMPARE(*back, lines);

    // A disk that fills up in the middle (a file size limit stands in for it, and holds for root
    // too): the write fails, says why, and the old file stays whole.
    QList<QByteArray> big;
    for (int i = 0; i < 4000; ++i) big.append("504:" + QByteArray(100, 'x') + ":c");
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    error.clear();
    const bool written = Settings::writeLines(path, big, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), old);
    f.close();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("表示全般設定.dp9")});

    // A folder that does not exist: refused with a reason; a missing file cannot be read.
    error.clear();
    QVERIFY(!Settings::writeLines(dir.filePath(QStringLiteral("none/x.dp9")), lines, &error));
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!Settings::readLines(dir.filePath(QStringLiteral("missing.dp9")), &error));
    QCOMPARE(error, QStringLiteral("ファイルが見つかりません。"));
    QVERIFY(!Settings::readLines(dir.path(), &error));
    QCOMPARE(error, QStringLiteral("ファイルではなくフォルダです。"));
}

// A save smaller than Qt's own buffer on a disk that is full: every byte is accepted into the
// buffer, and only the last flush meets the full disk. The old file must stay, whole.
void SettingsTest::headerProblemNamesTheMistake() {
    const QString name = QStringLiteral("表示全般設定.dp9");
    QVERIFY(!Settings::headerProblem({Settings::headerLine()}, name));
    QVERIFY(!Settings::headerProblem({Settings::headerLine(), "004:9:x"}, name));
    const QByteArray utf8 = QStringLiteral("999:＜番号付き表示設定ファイル２＞").toUtf8();
    for (const QByteArray& first : {utf8, "\xEF\xBB\xBF" + utf8}) {
        const auto p = Settings::headerProblem({first, "004:9:x"}, name);
        QVERIFY(p);
        QVERIFY(p->startsWith(QStringLiteral("「表示全般設定.dp9」は表示設定ファイルとして読み込めません。\n")));
        QVERIFY(p->contains(QStringLiteral("UTF-8で保存し直されています")));
        QVERIFY(p->endsWith(QStringLiteral("\n設定は何も変わっていません。")));
    }
    const auto older = Settings::headerProblem({cp(u"999:＜番号付き表示設定ファイル１＞")}, name);
    QVERIFY(older && !older->contains(QStringLiteral("UTF-8")) && older->contains(QStringLiteral("1行目が")));
    QVERIFY(Settings::headerProblem({}, name).value_or(QString()).contains(QStringLiteral("ファイルが空です。")));
}

void SettingsTest::smallSaveOnAFullDiskKeepsTheOldFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("2026_12_08-10_15_30.txt"));
    QVERIFY(Settings::writeLines(path, {cp(u"前の保存")}));
    QList<QByteArray> small;
    for (int i = 0; i < 40; ++i) small.append(cp(u"字幕の行") + QByteArray::number(i) + QByteArray(150, 'x'));
    QVERIFY(Settings::joinLines(small).size() < 16384);
    QString error;
    bool written = true;
    {
        Testing::FileSizeLimit full(1024);
        QVERIFY(full.ok());
        written = Settings::writeLines(path, small, &error);
    }
    QVERIFY(!written);
    QCOMPARE(error, Settings::writeFailureText(EFBIG));
    QCOMPARE(Settings::readLines(path).value_or(QList<QByteArray>{}), QList<QByteArray>{cp(u"前の保存")});
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
    // Nothing in the way any more: the same lines are written whole.
    QVERIFY(Settings::writeLines(path, small, &error));
    QCOMPARE(Settings::readLines(path).value_or(QList<QByteArray>{}), small);
}

void SettingsTest::writeFailuresInTheTypistsWords() {
    // What a typist meets: a full disk, a read-only stick or folder, a folder of someone else.
    QVERIFY(Settings::writeFailureText(ENOSPC).contains(QStringLiteral("ディスクがいっぱい")));
    QVERIFY(Settings::writeFailureText(EROFS).contains(QStringLiteral("読み取り専用")));
    QVERIFY(Settings::writeFailureText(EACCES).contains(QStringLiteral("権限がありません")));
    // Never the system's English: no Latin letters in any of them, known or not.
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    for (int e : {ENOSPC, EDQUOT, EROFS, EACCES, EPERM, ENOENT, ENOTDIR, EISDIR, EFBIG, ENAMETOOLONG, EIO, EBUSY, 0})
        QVERIFY2(!Settings::writeFailureText(e).contains(latin), qPrintable(Settings::writeFailureText(e)));
    QVERIFY(Settings::writeFailureText(EBUSY) != Settings::writeFailureText(EIO));

    // The place is looked at when the error number alone says little.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString error;
    QVERIFY(!Settings::writeLines(dir.filePath(QStringLiteral("無い/表示.txt")), {"a"}, &error));
    QCOMPARE(error, Settings::writeFailureText(ENOENT));
    QCOMPARE(Settings::writeFailureAt(dir.filePath(QStringLiteral("無い/表示.txt"))), ENOENT);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("表示.txt")));
    QVERIFY(!Settings::writeLines(dir.filePath(QStringLiteral("表示.txt")), {"a"}, &error));
    QCOMPARE(error, Settings::writeFailureText(EISDIR));
    QCOMPARE(Settings::writeFailureAt(dir.filePath(QStringLiteral("ok.txt"))), 0);

    // Two files written in full before either is committed: a failure leaves both old files.
    const QString first = dir.filePath(QStringLiteral("a.vtt")), second = dir.filePath(QStringLiteral("a.srt"));
    QVERIFY(Settings::writeFile(first, "old a") && Settings::writeFile(second, "old b"));
    {
        Settings::FileReplacement a(first), b(second);
        Testing::FileSizeLimit full(8);
        QVERIFY(a.write("new a") && !b.write("new b, longer"));
        QCOMPARE(b.error(), Settings::writeFailureText(EFBIG));
        QVERIFY(!b.commit());  // a failed file is never committed
    }
    for (const auto& [path, old] : {std::pair{first, QByteArray("old a")}, {second, QByteArray("old b")}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), old);
    }
    // An empty file is a file.
    Settings::FileReplacement empty(dir.filePath(QStringLiteral("empty.txt")));
    QVERIFY(empty.commit());
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("empty.txt"))).exists());
}

void SettingsTest::referenceTableIsWellFormed() {
    int previous = -1;
    int rows = 0;
    for (const Ref::Row& r : Ref::kRows) {
        const QByteArray keyText = QByteArray::number(r.key);
        const char* key = keyText.constData();  // the failure message
        QVERIFY2(r.key > previous, key);  // unique and ascending
        QVERIFY2(r.key >= 0 && r.key <= 998, key);
        previous = r.key;
        ++rows;
        // Every comment survives code page 932 unchanged.
        for (const char* c : {r.comment, r.commentOff, r.commentThird}) {
            if (!c) continue;
            const QString text = QString::fromUtf8(c);
            QVERIFY2(!text.isEmpty() && !text.contains(u':'), key);
            QCOMPARE(Cp932::decode(Ref::cp932(c)), text);
        }
        const bool commented = r.comment != nullptr;
        QCOMPARE(commented, r.written != Ref::Written::Never);
        if (r.commentThird) QVERIFY2(r.kind == Kind::Digit && r.commentOff, key);
        if (r.commentOff)
            QVERIFY2(r.kind == Kind::OnOff || r.kind == Kind::TrueFalse || r.kind == Kind::FontStyle || r.kind == Kind::Digit, key);
        QCOMPARE(r.kind == Kind::Command, r.key >= 600 && r.key <= 620);
        QCOMPARE(r.kind == Kind::Unused, r.key == 30);
        QCOMPARE(r.written == Ref::Written::Fixed, r.key == 30);
        QCOMPARE(r.written == Ref::Written::AlwaysFalse, r.key == 709);
        QCOMPARE(r.written == Ref::Written::ByCallers, r.key == 801 || r.key == 802 || r.key == 166);
        QCOMPARE(r.written == Ref::Written::Never && r.kind != Kind::Command, r.key == 71 || r.key == 72 || r.key == 139);
    }
    QCOMPARE(rows, 325);
    QCOMPARE(QString::fromUtf8(Ref::kUnusedLine), QStringLiteral("030:") + QString::fromUtf8(Ref::find(30)->comment));
    QCOMPARE(Settings::headerLine(), Ref::cp932(Ref::kHeader));
    for (const Ref::WordValues& w : Ref::kWords) QCOMPARE(Ref::find(w.key)->kind, Kind::Word);
    QCOMPARE(Ref::find(139)->kind, Ref::find(140)->kind);
    QVERIFY(!Ref::find(62));
    QVERIFY(!Ref::find(999));
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"

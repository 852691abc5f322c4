// The numbered settings file on whole stations: writing and applying every key, the special keys,
// the start-up file, the load and save buttons, the reset; traffic scrambling on the wire; the
// search of routed networks; display settings sent between partners.
#include "support/lan.h"
#include "unit/settings_reference.h"

#include "ui/fonts.h"
#include "windows/messaging/contact_window.h"
#include "windows/messaging/notice_window.h"
#include "net/caption_protocol.h"
#include "net/datagram_endpoint.h"
#include "net/scramble.h"
#include "settings/line_file.h"
#include "settings/settings_file.h"
#include "ui/settings_binders.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using namespace Testing;
using namespace Qt::StringLiterals;

namespace {

QByteArray line(QStringView s) { return Cp932::encode(s); }
QList<QByteArray> file(const QStringList& lines) {
    QList<QByteArray> out{Settings::headerLine()};
    for (const QString& l : lines) out << line(l);
    return out;
}
int keyOf(const QByteArray& l) { return l.left(l.indexOf(':')).toInt(); }
QList<int> keysOf(const QList<QByteArray>& lines) {
    QList<int> out;
    for (const QByteArray& l : lines) out << keyOf(l);
    return out;
}
void writeFile(const QString& path, const QList<QByteArray>& lines) { QVERIFY(Settings::writeLines(path, lines)); }

}  // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void writerOrderAndFixedLines();
    void liveTableMatchesTheReference();
    void longNoticeTextSurvivesSaveAndLoad();
    void defaultsRoundTripToIdenticalBytes();
    void valuesAreExactWords();
    void specialKeys();
    void failuresStopAtTheLine();
    void notASettingsFileIsRefusedWithABox();
    void saveAndStartupFiles();
    void whatThePartnerPageShowsWritesNoOtherBytes();
    void startupFileAtCreationAndPhaseTwo();
    void resetKeepsTheOwnName();
    void rowsHoldTheBuiltAndTheResetValues();
    void rowsFindTheirControlsByName();
    void scrambledTrafficOnTheWire();
    void scramblingCaptionsAndKey();
    void routedSearch();
    void matchingThePartnersDisplay();
    void transfersFromStrangersAreRefused();
    void hostileGeometryAndFontsAreBounded();
    void aMembersTransferCannotTakeTheStationAway();
};

void SettingsFileTest::writerOrderAndFixedLines() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    const QList<QByteArray> lines = s.main->WriteSettings();
    QCOMPARE(lines.value(0), Settings::headerLine());
    QCOMPARE(keyOf(lines.value(1)), 121);
    const QList<int> keys = keysOf(lines);
    QVERIFY(keys.indexOf(6) < keys.indexOf(5));
    QVERIFY(keys.indexOf(12) < keys.indexOf(11));
    QVERIFY(keys.indexOf(197) < keys.indexOf(193));
    QVERIFY(keys.indexOf(194) < keys.indexOf(195));
    for (int never : {71, 72, 139, 166, 600, 607, 620, 801, 802}) QVERIFY2(!keys.contains(never), qPrintable(QString::number(never)));
    QVERIFY(lines.contains(QByteArray("030:") + line(u"未使用")));
    QCOMPARE(keys.count(121), 1);
    // Two-comment keys write the comment of their state.
    QVERIFY(lines.contains("126:on:" + line(u"他の人の入力もＵｎｄｏの対象にする")));
    Testing::control<QCheckBox>(*s.main, "CheckBox11")->setChecked(false);
    QVERIFY(s.main->WriteSettings().contains("126:off:" + line(u"他の人の入力もＵｎｄｏの対象にしない")));
    QVERIFY(lines.contains("121:" + line(u"８人モニター非表示:初期化時間のため先頭に書く（バグ対策）")));
    QVERIFY(lines.contains("868:3:" + line(u"ひらがなルビにする。")));
    QVERIFY(lines.contains("010:16777215:" + line(u"表示部の背景色")));
    QVERIFY(lines.contains("135:-2147483633:" + line(u"ページの背景色")));  // a system colour, as its negative value
}

// The table every window contributes, on a whole station, against the reference transcription:
// every key once, its kind, every comment byte for byte, and who writes it. The one check of the
// table against the reference.
void SettingsFileTest::liveTableMatchesTheReference() {
    namespace Ref = SettingsReference;
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    const Settings::KeyTable& table = s.main->settingsTable();
    QVERIFY2(table.rejectedKeys().isEmpty(), qPrintable(QString::number(table.rejectedKeys().value(0))));
    int matched = 0;
    for (const Ref::Row& r : Ref::kRows) {
        const QByteArray keyText = QByteArray::number(r.key);
        const char* key = keyText.constData();  // the failure message
        const Settings::Entry* e = table.find(r.key);
        if (r.kind == Settings::Kind::Command && !e) continue;  // a command without an action is an unknown key
        QVERIFY2(e, key);
        QVERIFY2(e->kind == r.kind, key);
        if (r.written != Ref::Written::Never && r.written != Ref::Written::ByCallers) {
            QVERIFY2(e->comment == Ref::cp932(r.comment), key);
            QVERIFY2(e->commentOff == Ref::cp932(r.commentOff), key);
            QVERIFY2(e->commentThird == Ref::cp932(r.commentThird), key);
        }
        // Read-only keys and the callers' keys have no reading; the commands are applied only.
        const bool readable = r.written == Ref::Written::Yes || r.written == Ref::Written::AlwaysFalse;
        if (r.written != Ref::Written::Fixed) QVERIFY2(bool(e->read) == readable, key);
        QVERIFY2(r.written == Ref::Written::Fixed || bool(e->apply), key);
        ++matched;
    }
    QCOMPARE(matched, 325 - 11);
    QList<int> commands;
    for (const Settings::Entry& e : table.entries())
        if (e.kind == Settings::Kind::Command) commands << e.key;
    std::sort(commands.begin(), commands.end());
    QCOMPARE(commands, (QList<int>{600, 603, 607, 608, 609, 610, 612, 613, 614, 620}));
    // The callers' own lines carry the reference comments.
    QCOMPARE(Settings::channelLine(2), Settings::recordLine(801, "2", Ref::cp932(Ref::find(801)->comment)));
    QCOMPARE(Settings::groupLine(3), Settings::recordLine(802, "3", Ref::cp932(Ref::find(802)->comment)));
    QCOMPARE(Settings::ownNameLine("pc"), Settings::recordLine(166, "pc", Ref::cp932(Ref::find(166)->comment)));
    // Beyond the reference only the keys of the audience page and online captions, which other
    // stations skip.
    QList<int> extra;
    for (const Settings::Entry& e : table.entries())
        if (!Ref::find(e.key)) extra << e.key;
    std::sort(extra.begin(), extra.end());
    QCOMPARE(extra, (QList<int>{950, 951, 952, 953, 954}));
    // 709 is written "false" whatever the contact window's box says.
    Testing::control<QCheckBox>(*s.main->contactWindow(), "CheckBox4")->setChecked(true);
    QVERIFY(s.main->WriteSettings().contains("709:false:" + line(u"連絡窓の定時連絡（流す）のチェック")));
}

// Fields of any length come back exactly: a 500-character notice text through a file and a load.
void SettingsFileTest::longNoticeTextSurvivesSaveAndLoad() {
    Net::MemoryNetwork lan;
    TestStation a(lan, "192.168.1.10");
    TestStation b(lan, "192.168.1.11");
    QString text;
    for (int i = 0; text.size() < 500; ++i) text += QStringLiteral("お知らせ%1、").arg(i % 10);
    text.truncate(500);
    Testing::control<QLineEdit>(*a.main->noticeWindow(), "Edit1")->setText(text);
    QCOMPARE(Testing::control<QLineEdit>(*a.main->noticeWindow(), "Edit1")->text(), text);
    const QString path = a.station.programFolder + QStringLiteral("long.dp9");
    a.dialogs.saveNames.push_back(path);
    Testing::control<QPushButton>(*a.main, "Button21")->click();
    b.dialogs.openNames.push_back(path);
    Testing::control<QPushButton>(*b.main, "Button20")->click();
    QCOMPARE(Testing::control<QLineEdit>(*b.main->noticeWindow(), "Edit1")->text(), text);
    QCOMPARE(Testing::control<QLabel>(*b.main, "Label67")->text(), QStringLiteral("long.dp9"));
}

void SettingsFileTest::defaultsRoundTripToIdenticalBytes() {
    Net::MemoryNetwork lan;
    TestStation a(lan, "192.168.1.10");
    a.finishStartup();
    const QList<QByteArray> first = a.main->settingsFileLines(false);
    TestStation b(lan, "192.168.1.11");
    b.finishStartup();
    QVERIFY(b.main->ApplySettings(first));
    QCOMPARE(b.main->settingsFileLines(false), first);
    // And after a change of many kinds: a font, a colour, a text with a comma, a window's place.
    Testing::control<QLineEdit>(*a.main, "Edit31")->setText(QStringLiteral("司会、田中"));
    Testing::control<QCheckBox>(*a.main, "CheckBox5")->setChecked(false);
    Testing::control<QLineEdit>(*a.main, "Edit8")->setText("5");
    a.main->memberMonitor()->move(30, 40);
    QFont f = Testing::control<TextPane>(*a.main, "RichEdit2")->font();
    f.setBold(true);
    a.main->SetDisplayFont(f);
    const QList<QByteArray> changed = a.main->settingsFileLines(false);
    QVERIFY(b.main->ApplySettings(changed));
    QCOMPARE(b.main->settingsFileLines(false), changed);
    QCOMPARE(Testing::control<QLineEdit>(*b.main, "Edit31")->text(), QStringLiteral("司会、田中"));
    QVERIFY(Testing::control<TextPane>(*b.main, "RichEdit2")->font().bold());
    QCOMPARE(b.main->memberMonitor()->pos(), QPoint(30, 40));
}

void SettingsFileTest::valuesAreExactWords() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    Testing::control<QCheckBox>(*s.main, "CheckBox5")->setChecked(true);
    QVERIFY(s.main->ApplySettings(file({"035:ON:x", "108:fsBold:x", "039:司会:田中:発言者名", "139:on:x"})));
    QVERIFY(!Testing::control<QCheckBox>(*s.main, "CheckBox5")->isChecked());             // only "on" is on
    QVERIFY(!Testing::control<TextPane>(*s.main, "RichEdit2")->font().bold());           // only "fsbold" sets bold
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit31")->text(), QStringLiteral("司会"));  // a text reads up to its first colon
    QVERIFY(Testing::control<QCheckBox>(*s.main, "CheckBox52")->isChecked());             // 139 reads like 140
    QVERIFY(s.main->ApplySettings(file({"039:a:b:c", "108:fsbold:x"})));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit31")->text(), QStringLiteral("a"));
    QVERIFY(Testing::control<TextPane>(*s.main, "RichEdit2")->font().bold());
    // Two lines with the same key: the later wins. A line with key "004" and one with "4" alike.
    QVERIFY(s.main->ApplySettings(file({"004:7:x", "4:9:x"})));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit8")->text(), QStringLiteral("9"));
    // Unknown keys are skipped silently.
    const int shown = int(s.messages.shown.size());
    QVERIFY(s.main->ApplySettings(file({"555:anything:x", "004:8:x"})));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit8")->text(), QStringLiteral("8"));
    QCOMPARE(s.messages.shown.size(), shown);
    // A long text reads back whole.
    const QString speaker(300, QChar(0x3042));
    QVERIFY(s.main->ApplySettings(file({QStringLiteral("039:") + speaker + QStringLiteral(":発言者名")})));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit31")->text(), speaker);
}

void SettingsFileTest::specialKeys() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    s.finishStartup();
    // 801: "12" is channel 1; the channel change runs.
    Testing::control<QComboBox>(*s.main, "ComboBox2")->setCurrentIndex(2);
    QVERIFY(s.main->ApplySettings(file({"801:12:x"})));
    QCOMPARE(Testing::control<QComboBox>(*s.main, "ComboBox2")->currentIndex(), 0);
    QCOMPARE(s.main->linesEndpoint()->channelPort(), 6711);
    QVERIFY(s.main->ApplySettings(file({"801:4:x"})));
    QCOMPARE(s.main->linesEndpoint()->channelPort(), 7111);
    // 802: empty leaves the group, 27 selects "Ａ班", 9 "Ｉ 班" through the combo.
    Testing::control<QRadioButton>(*s.main, "RadioButton8")->setChecked(true);
    QVERIFY(s.main->ApplySettings(file({"802::x"})));
    QCOMPARE(s.main->groupNumber(), 3);
    QVERIFY(s.main->ApplySettings(file({"802:27:x"})));
    QCOMPARE(s.main->groupNumber(), 1);
    QVERIFY(s.main->ApplySettings(file({"802:9:x"})));
    QCOMPARE(s.main->groupNumber(), 9);
    QVERIFY(Testing::control<QRadioButton>(*s.main, "RadioButton12")->isChecked());
    QCOMPARE(Testing::control<QComboBox>(*s.main, "ComboBox1")->currentText(), QStringLiteral("Ｉ 班"));
    // A file without 801, 802 and 166 leaves channel, group and name as they are.
    QVERIFY(s.main->ApplySettings(file({"004:6:x"})));
    QCOMPARE(s.main->groupNumber(), 9);
    QCOMPARE(s.main->linesEndpoint()->channelPort(), 7111);
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit30")->text(), QStringLiteral("A"));
    // 166: a new name with its message and the partner page.
    s.messages.shown.clear();
    QVERIFY(s.main->ApplySettings(file({"166:B:x"})));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit30")->text(), QStringLiteral("B"));
    QCOMPARE(s.messages.shown.size(), 1);
    QVERIFY(s.messages.shown[0].startsWith(QStringLiteral("このパソコンの「名前」が変わりました。")));
    QCOMPARE(s.main->pages()->currentIndex(), 2);
    QVERIFY(s.main->ApplySettings(file({"166:B:x"})));
    QCOMPARE(s.messages.shown.size(), 1);  // the same name: no message
    // 011, 012 and 025 are left alone in the full-screen display mode.
    s.main->SetTypistRows(0);
    s.main->ToggleFrameless();
    QVERIFY(s.main->isFrameless());
    QVERIFY(s.main->ApplySettings(file({"011:2:x", "025:1:x"})));
    QCOMPARE(s.main->typistMode(), 0);
    QVERIFY(!s.main->wordProcessorMode());
    s.main->ToggleFrameless();
    QVERIFY(s.main->ApplySettings(file({"011:1:x", "025:1:x"})));
    QCOMPARE(s.main->typistMode(), 1);
    QVERIFY(s.main->wordProcessorMode());
    // 868: "2" katakana, anything else half-width katakana.
    QVERIFY(s.main->ApplySettings(file({"868:2:x"})));
    QVERIFY(Testing::control<QRadioButton>(*s.main, "RadioButton2")->isChecked());
    QVERIFY(s.main->ApplySettings(file({"868:x:x"})));
    QVERIFY(Testing::control<QRadioButton>(*s.main, "RadioButton1")->isChecked());
    // 121 and 161 show and hide whole windows by their words.
    QVERIFY(s.main->ApplySettings(file({QStringLiteral("121:８人モニター表示:x"), QStringLiteral("161:Ｆキーメモ表示:x")})));
    QVERIFY(s.main->memberMonitor()->isVisible() && s.main->fkeyMemo()->isVisible());
    QVERIFY(s.main->ApplySettings(file({"121:show:x"})));
    QVERIFY(!s.main->memberMonitor()->isVisible());
    // 144 paints the explanatory labels.
    QVERIFY(s.main->ApplySettings(file({"144:255:x"})));
    QCOMPARE(s.main->explanatoryLabels().value(0)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // 171 with the step equal to the spacing: a line per tick.
    QVERIFY(s.main->ApplySettings(file({"005:48:x", "171:48:x"})));
    QCOMPARE(s.main->scroller().stepsPerLine, 1);
}

void SettingsFileTest::failuresStopAtTheLine() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    // A header that differs in one character: nothing applied, the version line on the log.
    QList<QByteArray> old = file({"004:9:x"});
    old[0] = line(u"999:＜番号付き表示設定ファイル１＞");
    QVERIFY(!s.main->ApplySettings(old));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit8")->text(), QStringLiteral("6"));
    QVERIFY(Testing::control<QTextEdit>(*s.main, "RichEdit3")->toPlainText().endsWith(QStringLiteral("表示設定ファイルのバージョンが違います")));
    // Only the header: nothing, no error.
    QVERIFY(s.main->ApplySettings(file({})));
    QVERIFY(s.messages.shown.isEmpty());
    // A value that is not a number stops the file there with one message naming the line.
    QVERIFY(!s.main->ApplySettings(file({"004:9:x", "005:abc:x", "039:after:x"})));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit8")->text(), QStringLiteral("9"));  // before it: applied
    QVERIFY(Testing::control<QLineEdit>(*s.main, "Edit31")->text().isEmpty());             // after it: not
    QCOMPARE(s.messages.shown.size(), 1);
    QVERIFY(s.messages.shown[0].contains(QStringLiteral("005:abc:x")));
    // An empty line in the middle is such a line too.
    QVERIFY(!s.main->ApplySettings(file({"004:7:x", "", "004:8:x"})));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit8")->text(), QStringLiteral("7"));
}

// The commonest real mistake: the file opened in an editor and saved again as UTF-8. Nothing is
// applied, a box says why, and `Label67` keeps naming the settings in force.
void SettingsFileTest::notASettingsFileIsRefusedWithABox() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    s.finishStartup();
    const QString folder = s.station.programFolder;
    writeFile(folder + "in-force.dp9", file({"039:in force:x"}));
    s.dialogs.openNames.push_back(folder + "in-force.dp9");
    Testing::control<QPushButton>(*s.main, "Button20")->click();
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label67")->text(), QStringLiteral("in-force.dp9"));
    const QString lines = Testing::control<QLineEdit>(*s.main, "Edit8")->text();
    QFile utf8(folder + QStringLiteral("表示全般設定.dp9"));
    QVERIFY(utf8.open(QIODevice::WriteOnly));
    utf8.write(QStringLiteral("999:＜番号付き表示設定ファイル２＞\r\n039:UTF-8の名前:x\r\n004:9:x\r\n").toUtf8());
    utf8.close();
    s.dialogs.openNames.push_back(utf8.fileName());
    Testing::control<QPushButton>(*s.main, "Button20")->click();
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label67")->text(), QStringLiteral("in-force.dp9"));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit31")->text(), QStringLiteral("in force"));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit8")->text(), lines);
    QCOMPARE(s.messages.shown, QStringList{QStringLiteral(
                                   "「表示全般設定.dp9」は表示設定ファイルとして読み込めません。\n"
                                   "ファイルがUTF-8で保存し直されています。\n"
                                   "テキストエディタで文字コードを「Shift_JIS」（SJIS）にして保存し直してください。\n"
                                   "設定は何も変わっていません。")});
    QVERIFY(Testing::control<QTextEdit>(*s.main, "RichEdit3")->toPlainText().endsWith(QStringLiteral("表示設定ファイルのバージョンが違います")));
    // Any other first line, and an empty file, likewise.
    writeFile(folder + "other.dp9", {line(u"999:＜番号付き表示設定ファイル１＞"), "004:9:x"});
    writeFile(folder + "empty.dp9", {});
    s.dialogs.openNames = {folder + "other.dp9", folder + "empty.dp9"};
    Testing::control<QPushButton>(*s.main, "Button20")->click();
    Testing::control<QPushButton>(*s.main, "Button20")->click();
    QCOMPARE(s.messages.shown.size(), 3);
    QVERIFY(s.messages.shown[1].contains(QStringLiteral("1行目が「999:＜番号付き表示設定ファイル２＞」ではありません。")));
    QVERIFY(s.messages.shown[2].contains(QStringLiteral("ファイルが空です。")));
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label67")->text(), QStringLiteral("in-force.dp9"));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit8")->text(), lines);

    // A start-up file with a wrong first line: said at start-up, and nothing is in force.
    TestStation bad(lan.net, QStringList{"192.168.1.12"}, "host", [&](const QString& f) {
        writeFile(f + QStringLiteral("自動読込表示設定.dp9"), {"999:old", "004:9:x"});
    });
    bad.finishStartup();
    QCOMPARE(Testing::control<QLabel>(*bad.main, "Label67")->text(), QStringLiteral("読み込み無し"));
    QCOMPARE(Testing::control<QLineEdit>(*bad.main, "Edit8")->text(), lines);
    QCOMPARE(bad.messages.shown.value(0).section(u'\n', 0, 0),
             QStringLiteral("「自動読込表示設定.dp9」は表示設定ファイルとして読み込めません。"));
}

void SettingsFileTest::saveAndStartupFiles() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    s.finishStartup();
    const QString folder = s.station.programFolder;
    // "保存" on "3ch" in "Ｃ班": 801, 802 and 166 last, in that order.
    Testing::control<QComboBox>(*s.main, "ComboBox2")->setCurrentIndex(2);
    Testing::control<QRadioButton>(*s.main, "RadioButton8")->setChecked(true);
    s.dialogs.saveNames.push_back(folder + "saved");
    Testing::control<QPushButton>(*s.main, "Button21")->click();
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label67")->text(), QStringLiteral("saved.dp9"));  // the extension is added
    auto lines = Settings::readLines(folder + "saved.dp9");
    QVERIFY(lines);
    QCOMPARE(lines->value(lines->size() - 3), line(u"801:2:チャンネル"));
    QCOMPARE(lines->value(lines->size() - 2), line(u"802:3:班"));
    QCOMPARE(lines->last(), line(u"166:A:自分のパソコンのホスト名（最後に書く）"));
    QVERIFY(!QFile::exists(folder + QStringLiteral("自動読込表示設定.dp9")));
    // "起動時設定にする" on "1ch" in "Ａ班": no channel or group; in "Ｂ班": both.
    Testing::control<QComboBox>(*s.main, "ComboBox2")->setCurrentIndex(0);
    Testing::control<QRadioButton>(*s.main, "RadioButton6")->setChecked(true);
    Testing::control<QPushButton>(*s.main, "Button66")->click();
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label67")->text(), QStringLiteral("自動読込表示設定.dp9"));
    lines = Settings::readLines(s.main->startupFilePath());
    QVERIFY(lines);
    QVERIFY(!keysOf(*lines).contains(801) && !keysOf(*lines).contains(802));
    QCOMPARE(keyOf(lines->last()), 166);
    Testing::control<QRadioButton>(*s.main, "RadioButton7")->setChecked(true);
    Testing::control<QPushButton>(*s.main, "Button66")->click();
    lines = Settings::readLines(s.main->startupFilePath());
    QVERIFY(keysOf(*lines).contains(801) && keysOf(*lines).contains(802));
    // "読込" applies a file and names it; a cancelled dialog changes nothing.
    writeFile(folder + "one.dp9", file({"039:loaded:x"}));
    s.dialogs.openNames.push_back(folder + "one.dp9");
    Testing::control<QPushButton>(*s.main, "Button20")->click();
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit31")->text(), QStringLiteral("loaded"));
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label67")->text(), QStringLiteral("one.dp9"));
    Testing::control<QPushButton>(*s.main, "Button20")->click();  // cancelled
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label67")->text(), QStringLiteral("one.dp9"));
    // A save that cannot be written says so and changes nothing.
    const QString before = Testing::control<QLabel>(*s.main, "Label67")->text();
    s.dialogs.saveNames.push_back(folder + "no/such/folder/x.dp9");
    Testing::control<QPushButton>(*s.main, "Button21")->click();
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label67")->text(), before);
    QVERIFY(s.messages.shown.last().startsWith(QStringLiteral("設定ファイルを保存できませんでした。")));
}

// What the partner page shows (the first of the other groups, the password in clear) changes no
// byte of a saved file: the group in force and the password are written as they were.
void SettingsFileTest::whatThePartnerPageShowsWritesNoOtherBytes() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    s.finishStartup();
    const QString folder = s.station.programFolder;
    auto save = [&](const QString& name) {
        s.dialogs.saveNames.push_back(folder + name);
        Testing::control<QPushButton>(*s.main, "Button21")->click();
        const auto lines = Settings::readLines(folder + name + QStringLiteral(".dp9"));
        return lines ? *lines : QList<QByteArray>();
    };
    const QList<QByteArray> masked = save(QStringLiteral("masked"));
    QCOMPARE(masked.value(masked.size() - 2), line(u"802:1:班"));
    const QByteArray password = Settings::recordLine(807, Cp932::encode(u"既定の共有合言葉その一番"),
                                                     Cp932::encode(u"「暗号化通信」のパスワード"));
    QVERIFY(masked.contains(password));
    control<QPushButton>(*s.main, "ButtonShowPassword")->click();
    QCOMPARE(save(QStringLiteral("shown")), masked);
    // "その他" with the group the combo shows is "Ｇ班", 7; only the group line differs.
    control<QRadioButton>(*s.main, "RadioButton12")->setChecked(true);
    QCOMPARE(s.main->groupNumber(), 7);
    QList<QByteArray> other = save(QStringLiteral("other"));
    QCOMPARE(other.value(other.size() - 2), line(u"802:7:班"));
    other[other.size() - 2] = line(u"802:1:班");
    QCOMPARE(other, masked);
}

void SettingsFileTest::startupFileAtCreationAndPhaseTwo() {
    Net::MemoryNetwork lan;
    QList<QByteArray> startup = file({"004:8:x", "039:司会:x", "166:first:x", "802:3:x", "166:stored:x"});
    TestStation s(lan, QStringList{"192.168.1.10"}, "host", [&](const QString& folder) {
        writeFile(folder + QStringLiteral("自動読込表示設定.dp9"), startup);
    });
    // At creation the last 166 line names the station, before the first search goes out.
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit30")->text(), QStringLiteral("stored"));
    QVERIFY(lan.sentTo(6722).value(0).payload.contains("stored"));
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label67")->text(), QStringLiteral("読み込み無し"));
    s.finishStartup();
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label67")->text(), QStringLiteral("自動読込表示設定.dp9"));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit8")->text(), QStringLiteral("8"));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit31")->text(), QStringLiteral("司会"));
    QCOMPARE(s.main->groupNumber(), 3);
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit30")->text(), QStringLiteral("stored"));  // of two 166 lines the last wins again
    // "ＩＰ再読込み" reads the name again from the file.
    Testing::control<QLineEdit>(*s.main, "Edit30")->setText("typed");
    Testing::control<QPushButton>(*s.main, "Button39")->click();
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit30")->text(), QStringLiteral("stored"));
    // A file saved by the station itself names it once: no message at start-up.
    TestStation once(lan, QStringList{"192.168.1.12"}, "host", [&](const QString& folder) {
        writeFile(folder + QStringLiteral("自動読込表示設定.dp9"), file({"004:8:x", "166:stored:x"}));
    });
    once.finishStartup();
    QCOMPARE(Testing::control<QLineEdit>(*once.main, "Edit30")->text(), QStringLiteral("stored"));
    QVERIFY(once.messages.shown.isEmpty());
    // Without a start-up file nothing is applied and nothing is said.
    TestStation bare(lan, "192.168.1.11", "bare");
    bare.finishStartup();
    QCOMPARE(Testing::control<QLabel>(*bare.main, "Label67")->text(), QStringLiteral("読み込み無し"));
    QCOMPARE(Testing::control<QLineEdit>(*bare.main, "Edit30")->text(), QStringLiteral("bare"));
}

void SettingsFileTest::resetKeepsTheOwnName() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "mine");
    s.finishStartup();
    Testing::control<QLineEdit>(*s.main, "Edit31")->setText("x");
    Testing::control<QLineEdit>(*s.main, "Edit8")->setText("3");
    Testing::control<QCheckBox>(*s.main, "CheckBox19")->setChecked(false);
    Testing::control<QLineEdit>(*s.main->fkeyMemo(), "Edit45")->setText("phrase");
    Testing::control<QComboBox>(*s.main, "ComboBox2")->setCurrentIndex(4);
    Testing::control<QPushButton>(*s.main, "Button67")->click();
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label67")->text(), QStringLiteral("初期値に戻した"));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit30")->text(), QStringLiteral("mine"));
    QVERIFY(Testing::control<QLineEdit>(*s.main, "Edit31")->text().isEmpty());
    QVERIFY(Testing::control<QCheckBox>(*s.main, "CheckBox19")->isChecked());
    QVERIFY(Testing::control<QLineEdit>(*s.main->fkeyMemo(), "Edit45")->text().isEmpty());
    QCOMPARE(s.main->fkeyMemo()->size(), QSize(232, 333));
    QCOMPARE(s.main->fkeyMemo()->pos(), s.main->pos() + QPoint(25, 80));
    QCOMPARE(Testing::control<QComboBox>(*s.main, "ComboBox2")->currentIndex(), 0);
    QCOMPARE(s.main->linesEndpoint()->channelPort(), 6711);
    QCOMPARE(Fonts::points(Testing::control<TextPane>(*s.main, "RichEdit2")->font()), 36);
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit1")->text(), QStringLiteral("既定の共有合言葉その一番"));
}

namespace {

// The value a row's control shows, in the file's words.
template <class W>
QByteArray shown(W& window, const Settings::Row<W>& r) {
    if (auto* button = qobject_cast<QAbstractButton*>(Testing::control<QWidget>(window, r.control)))
        return r.kind == Settings::Kind::TrueFalse ? Settings::trueFalse(button->isChecked()) : Settings::onOff(button->isChecked());
    return Cp932::encode(Testing::control<QLineEdit>(window, r.control)->text());
}

// Another value of the row's kind than the one the reset gives it.
template <class W>
QByteArray otherValue(const Settings::Row<W>& r) {
    const QByteArray v = Cp932::encode(r.resetValue() ? r.resetValue() : r.design);
    switch (r.kind) {
    case Settings::Kind::OnOff: return Settings::onOff(!Settings::isOn(v));
    case Settings::Kind::TrueFalse: return Settings::trueFalse(!Settings::isTrue(v));
    case Settings::Kind::Int: return Settings::fromInt(Settings::intValue(v) + 1);
    default: return v + "x";
    }
}

// A fresh window's controls hold their rows' built values, and a keyed row reads its control
// through the table.
template <class W>
void checkBuilt(W& window, const Settings::KeyTable& table, const QList<QByteArrayView>& derived) {
    for (const Settings::Row<W>& r : W::settingRows()) {
        if (!r.control) continue;
        const char* name = r.control;
        QVERIFY2(r.design, name);
        if (!derived.contains(name)) QVERIFY2(shown(window, r) == Cp932::encode(r.design), name);
        if (r.key >= 0) QVERIFY2(table.find(r.key) && table.find(r.key)->read() == shown(window, r), name);
    }
}

// Every control set to another value (but those of `untouched`), counted in `changed`.
template <class W>
void changeRows(W& window, const QList<QByteArrayView>& untouched, int& changed) {
    for (const Settings::Row<W>& r : W::settingRows()) {
        if (!r.control || untouched.contains(r.control)) continue;
        Bind::setControl(Bind::Controls(&window), r.control, r.kind, otherValue(r));
        QVERIFY2(shown(window, r) == otherValue(r), r.control);
        ++changed;
    }
}

// After the reset every control holds its row's reset value. (One the reset leaves alone may
// follow another's handler.)
template <class W>
void checkReset(W& window, const QList<QByteArrayView>& untouched) {
    for (const Settings::Row<W>& r : W::settingRows())
        if (r.control && !r.kept && !untouched.contains(r.control))
            QVERIFY2(shown(window, r) == Cp932::encode(r.resetValue()), r.control);
}

}  // namespace

// Every row of every window: its control holds the row's built value on a fresh station, and the
// reset brings it to the row's reset value from another one.
void SettingsFileTest::rowsHoldTheBuiltAndTheResetValues() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    const Settings::KeyTable& table = s.main->settingsTable();
    // The steps per line follow the spacing and the step once the station lays itself out;
    // publishing the audience page would open a server; following the partner needs one.
    Ttalk2e& m = *s.main;
    checkBuilt(m, table, {"Edit10"});
    checkBuilt(*m.noticeWindow(), table, {});
    checkBuilt(*m.contactWindow(), table, {});
    checkBuilt(*m.templateWindow(), table, {});
    checkBuilt(*m.fkeyMemo(), table, {});
    checkBuilt(*m.karaokeRemote(), table, {});
    checkBuilt(*m.memberMonitor(), table, {});
    checkBuilt(*m.prerollMonitor(), table, {});
    // A radio button is set by checking another.
    int changed = 0;
    changeRows(m, {"CheckAudience", "RadioButton3"}, changed);
    changeRows(*m.noticeWindow(), {"CheckBox6"}, changed);
    changeRows(*m.contactWindow(), {}, changed);
    changeRows(*m.templateWindow(), {"RadioButton1"}, changed);
    changeRows(*m.fkeyMemo(), {}, changed);
    changeRows(*m.karaokeRemote(), {}, changed);
    changeRows(*m.memberMonitor(), {}, changed);
    changeRows(*m.prerollMonitor(), {}, changed);
    Testing::control<QRadioButton>(m, "RadioButton1")->setChecked(true);
    Testing::control<QRadioButton>(*m.templateWindow(), "RadioButton2")->setChecked(true);
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(changed, 72 + 21 + 10 + 15 + 18 + 5 + 2 + 1);
    // The reset itself: "初期値に戻す" lays the station out afterwards, which derives the spacing.
    s.main->ResetToDefaults();
    checkReset(m, {"CheckAudience"});
    checkReset(*m.noticeWindow(), {"CheckBox6"});
    checkReset(*m.contactWindow(), {});
    checkReset(*m.templateWindow(), {});
    checkReset(*m.fkeyMemo(), {});
    checkReset(*m.karaokeRemote(), {});
    checkReset(*m.memberMonitor(), {});
    checkReset(*m.prerollMonitor(), {});
}

namespace {

// A window of the test's own: its controls sit on a page inside it, and its reset has a step.
class RowWindow : public QWidget {
public:
    RowWindow() {
        auto* page = new QWidget(this);
        (new QCheckBox(page))->setObjectName(QStringLiteral("CheckBoxA"));
        auto* inner = new QWidget(page);
        (new QLineEdit(inner))->setObjectName(QStringLiteral("EditB"));
        (new QLineEdit(inner))->setObjectName(QStringLiteral("EditUrl"));
    }
    void countReset() { ++resets; }
    static Settings::Rows<RowWindow> rows() {
        static const Settings::Row<RowWindow> r[] = {
            {.key = 1, .control = "CheckBoxA", .kind = Settings::Kind::TrueFalse, .comment = u"入", .commentOff = u"切",
             .reset = u"true"},
            {.step = &RowWindow::countReset},
            {.key = 2, .control = "EditB", .kind = Settings::Kind::Int, .comment = u"数", .reset = u"12"},
            {.key = 3, .control = "EditUrl", .kind = Settings::Kind::Text, .comment = u"先", .design = u"", .kept = true,
             .valueToLastColon = true},
        };
        return r;
    }
    int resets = 0;
};

}  // namespace

// The generic binder finds a control by its name at any depth of its window, binds it through its
// own setter and with the row's comments; the resetter applies reset values and runs steps.
void SettingsFileTest::rowsFindTheirControlsByName() {
    RowWindow w;
    Settings::KeyTable t;
    Bind::rows(t, &w, RowWindow::rows());
    QCOMPARE(t.size(), 3);
    auto* box = Testing::control<QCheckBox>(w, "CheckBoxA");
    auto* field = Testing::control<QLineEdit>(w, "EditB");
    auto* url = Testing::control<QLineEdit>(w, "EditUrl");
    int toggles = 0;
    QObject::connect(box, &QCheckBox::toggled, &w, [&toggles] { ++toggles; });
    QVERIFY(Settings::ApplySettings(t, file({u"001:true:入"_s, u"002:34:数"_s, u"003:http://a:8/p:先"_s})).headerOk);
    QVERIFY(box->isChecked());
    QCOMPARE(toggles, 1);  // the box's own handler ran
    QCOMPARE(field->text(), u"34"_s);
    QCOMPARE(url->text(), u"http://a:8/p"_s);
    QList<QByteArray> lines;
    Settings::WriteSettings(t, lines);
    QCOMPARE(lines, file({u"001:true:入"_s, u"002:34:数"_s, u"003:http://a:8/p:先"_s}));
    box->setChecked(false);
    QVERIFY(t.find(1)->read() == "false");
    Settings::WriteSettings(t, lines = {});
    QCOMPARE(lines.value(1), line(u"001:false:切"));
    Bind::reset(w, RowWindow::rows());
    QVERIFY(box->isChecked());
    QCOMPARE(field->text(), u"12"_s);
    QCOMPARE(url->text(), u"http://a:8/p"_s);  // no reset value: left alone
    QCOMPARE(w.resets, 1);
}

void SettingsFileTest::scrambledTrafficOnTheWire() {
    PairedLan p;
    for (TestStation* s : {&p.a, &p.b}) Testing::control<QCheckBox>(*s->main, "CheckBox42")->setChecked(true);
    const QByteArray password = Cp932::encode(Testing::control<QLineEdit>(*p.a.main, "Edit1")->text());
    const int key = Net::DeriveKey(password);
    p.a.main->SendLine(Cp932::encode(u"暗号の行"));
    p.lan.net.deliverAll();
    const QByteArray wire = p.lan.net.sentTo(6711).value(0).payload;
    QCOMPARE(wire, *Net::Scramble(Cp932::encode(u"暗号の行"), password, key));
    QCOMPARE(lastRecordLine(p.b), QStringLiteral("暗号の行"));
    // Commands and control messages stay plain.
    p.a.main->SendCommand(Net::Wire::Command::Delete);
    QCOMPARE(p.lan.net.sentTo(6723).value(0).payload, QByteArray("del"));
    // A plain line to a scrambling station decodes to nothing: an empty line.
    p.lan.net.inject("192.168.1.10", 6711, "192.168.1.11", 6711, "plain");
    p.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(p.b), QString());
    // A text too long for the scrambled form is refused, never sent plain.
    p.lan.net.clearSent();
    QVERIFY(!p.a.main->outbox().toMembers(Net::Ports::MainLines, QByteArray(1534, 'x')));
    QVERIFY(p.lan.net.sent().isEmpty());
    QVERIFY(p.a.messages.shown.last().contains(QStringLiteral("暗号化できない")));
    // A different password: meaningless bytes, no crash, no match.
    Testing::control<QLineEdit>(*p.b.main, "Edit1")->setText(QStringLiteral("ほかの合言葉"));
    p.a.main->SendLine("abc");
    p.lan.net.deliverAll();
    QVERIFY(lastRecordLine(p.b) != QStringLiteral("abc"));
}

void SettingsFileTest::scramblingCaptionsAndKey() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    s.finishStartup();
    Testing::control<QComboBox>(*s.main, "ComboBox2")->setCurrentIndex(2);
    QCOMPARE(s.main->windowTitle(), QStringLiteral("3 : Quelta7r1(ctrl+d)"));
    s.messages.shown.clear();
    Testing::control<QCheckBox>(*s.main, "CheckBox42")->setChecked(true);
    QCOMPARE(s.main->windowTitle(), QStringLiteral("3 : Quelta7r1(ctrl+d)【暗号化通信中】"));
    QVERIFY(s.messages.shown.value(0).startsWith(QStringLiteral("「通信を暗号化する」のチェックを入れると")));
    // Off: the start-up caption, without the channel prefix until the next channel change.
    Testing::control<QCheckBox>(*s.main, "CheckBox42")->setChecked(false);
    QCOMPARE(s.main->windowTitle(), QStringLiteral("Quelta7r1(ctrl+d)"));
    Testing::control<QComboBox>(*s.main, "ComboBox2")->setCurrentIndex(1);
    QCOMPARE(s.main->windowTitle(), QStringLiteral("2 : Quelta7r1(ctrl+d)"));
    // An empty password takes the fallback; a full-width one pulls the sum below zero.
    Testing::control<QLineEdit>(*s.main, "Edit1")->clear();
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit1")->text(), QStringLiteral("空欄時の代用合言葉"));
    QCOMPARE(s.main->trafficKey(), Net::DeriveKey(Cp932::encode(u"空欄時の代用合言葉")));
    Testing::control<QLineEdit>(*s.main, "Edit1")->setText(QStringLiteral("あいう"));
    int sum = 0;
    for (char c : Cp932::encode(u"あいう")) sum += static_cast<signed char>(c);
    QVERIFY(sum < 0);
    QCOMPARE(s.main->trafficKey(), -sum);
}

void SettingsFileTest::routedSearch() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    s.finishStartup();
    Testing::control<QLineEdit>(*s.main, "Edit98")->setText("10.20.30.40");
    Testing::control<QCheckBox>(*s.main, "CheckBox71")->setChecked(true);
    lan.net.clearSent();
    Testing::control<QPushButton>(*s.main, "Button47")->click();
    auto to = [&] {
        QStringList out;
        for (const auto& d : lan.net.sentTo(6722)) out << d.to;
        return out;
    };
    QCOMPARE(to(), (QStringList{"192.168.1.255", "10.255.255.255"}));
    Testing::control<QCheckBox>(*s.main, "CheckBox72")->setChecked(true);
    lan.net.clearSent();
    Testing::control<QPushButton>(*s.main, "Button47")->click();
    QCOMPARE(to(), (QStringList{"192.168.1.255", "10.20.30.40"}));
    // An invalid second address with messages on: a message naming it, and no routed request at all.
    Testing::control<QCheckBox>(*s.main, "CheckBox71")->setChecked(false);
    Testing::control<QLineEdit>(*s.main, "Edit99")->setText("192.168.1");
    Testing::control<QCheckBox>(*s.main, "CheckBox71")->setChecked(false);
    {
        const QSignalBlocker block(Testing::control<QCheckBox>(*s.main, "CheckBox71"));  // as a settings file leaves it: on, unchecked addresses
        Testing::control<QCheckBox>(*s.main, "CheckBox71")->setChecked(true);
    }
    s.messages.shown.clear();
    lan.net.clearSent();
    Testing::control<QPushButton>(*s.main, "Button47")->click();
    QCOMPARE(to(), QStringList{"192.168.1.255"});
    QCOMPARE(s.messages.shown.value(0), QStringLiteral("「パートナー」ページの「遠隔地で使う」の\n２番目のＩＰアドレスが間違っています。"));
    // Turning it on checks the addresses: the wrong one is emptied, which turns it off again.
    Testing::control<QCheckBox>(*s.main, "CheckBox71")->setChecked(false);
    Testing::control<QCheckBox>(*s.main, "CheckBox71")->setChecked(true);
    QVERIFY(Testing::control<QLineEdit>(*s.main, "Edit99")->text().isEmpty());
    QVERIFY(!Testing::control<QCheckBox>(*s.main, "CheckBox71")->isChecked());
    // Typing into an address turns the search off; a file with the addresses before 193 keeps it on.
    Testing::control<QCheckBox>(*s.main, "CheckBox71")->setChecked(true);
    Testing::control<QLineEdit>(*s.main, "Edit100")->setText("1");
    QVERIFY(!Testing::control<QCheckBox>(*s.main, "CheckBox71")->isChecked());
    QVERIFY(s.main->ApplySettings(file({"195:10.1.1.1:x", "196::x", "197::x", "193:on:x"})));
    QVERIFY(Testing::control<QCheckBox>(*s.main, "CheckBox71")->isChecked());
    const QList<QByteArray> written = s.main->WriteSettings();
    QVERIFY(keysOf(written).indexOf(193) > keysOf(written).indexOf(197));
}

void SettingsFileTest::matchingThePartnersDisplay() {
    PairedLan p;
    p.b.main->resize(800, 500);
    QFont f = Testing::control<TextPane>(*p.b.main, "RichEdit2")->font();
    Fonts::setPoints(f, 30);
    p.b.main->SetDisplayFont(f);
    Testing::control<QCheckBox>(*p.b.main, "CheckBox67")->setChecked(false);  // B's lines as set by hand
    Testing::control<QLineEdit>(*p.b.main, "Edit8")->setText("4");
    Testing::control<QPushButton>(*p.a.main, "Button18")->click();  // "合わせる"
    p.lan.net.deliverAll();
    QVERIFY(!Testing::control<QCheckBox>(*p.a.main, "CheckBox67")->isChecked());
    QCOMPARE(p.a.main->width(), 800);
    QCOMPARE(Testing::control<QLineEdit>(*p.a.main, "Edit8")->text(), QStringLiteral("4"));
    QCOMPARE(Fonts::points(Testing::control<TextPane>(*p.a.main, "RichEdit2")->font()), 30);
    QVERIFY(Testing::control<QTextEdit>(*p.b.main, "RichEdit3")->toPlainText().contains(QStringLiteral("表示設定受信：$set$607:true:")));
    QVERIFY(Testing::control<QTextEdit>(*p.a.main, "RichEdit3")->toPlainText().contains(QStringLiteral("表示設定受信：$end$")));
    // A greeting (603) is shown as a message box.
    p.a.main->transfer().SendSettingsTransfer({Net::Wire::SettingsStart() + line(u"603:こんにちは:挨拶")});
    p.lan.net.deliverAll();
    QCOMPARE(p.b.messages.shown.last(), QStringLiteral("こんにちは"));
    // Transfers interleave in the buffer and apply together at the next "$end$".
    p.a.main->SendSettingsLine(Net::Wire::SettingsStart() + Settings::headerLine());
    p.a.main->SendSettingsLine(Net::Wire::SettingsStart() + "004:3:x");
    p.lan.net.deliverAll();
    QCOMPARE(Testing::control<QLineEdit>(*p.b.main, "Edit8")->text(), QStringLiteral("4"));  // not yet
    p.a.main->SendSettingsLine(Net::Wire::SettingsEnd());
    p.lan.net.deliverAll();
    QCOMPARE(Testing::control<QLineEdit>(*p.b.main, "Edit8")->text(), QStringLiteral("3"));
    // Without a partner "合わせる" only says so.
    p.a.main->team().dropPartner();
    p.lan.net.clearSent();
    Testing::control<QPushButton>(*p.a.main, "Button18")->click();
    QVERIFY(p.lan.net.sent().isEmpty());
    QCOMPARE(p.a.messages.shown.last(), QStringLiteral("パートナーが指名されていません。"));
}

void SettingsFileTest::transfersFromStrangersAreRefused() {
    PairedLan p;
    const QString before = Testing::control<QLineEdit>(*p.b.main, "Edit8")->text();
    for (const QByteArray& l : {Net::Wire::SettingsStart() + Settings::headerLine(), Net::Wire::SettingsStart() + "801:5:x",
                                Net::Wire::SettingsEnd()})
        p.lan.net.inject("192.168.1.99", 6712, "192.168.1.11", 6712, l);
    p.lan.net.deliverAll();
    QCOMPARE(p.b.main->linesEndpoint()->channelPort(), 6711);  // still channel 1
    // The first refused line is logged; the rest of the minute is counted in one line.
    QVERIFY(Testing::control<QTextEdit>(*p.b.main, "RichEdit3")->toPlainText().contains(QStringLiteral("表示設定受信拒否：[192.168.1.99]$set$999:")));
    QCOMPARE(Testing::control<QLineEdit>(*p.b.main, "Edit8")->text(), before);
    p.b.clock.time = p.b.clock.time.addSecs(60);
    p.b.main->TimerDropReportTimer();
    QVERIFY(Testing::control<QTextEdit>(*p.b.main, "RichEdit3")->toPlainText().contains(QStringLiteral("表示設定受信拒否：ほか2件")));
}

// Window geometry and font sizes from a file, whatever their numbers: within the screens, never
// too small to reach the settings again, and no display font larger than a screen shows.
void SettingsFileTest::hostileGeometryAndFontsAreBounded() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    const QRect screens = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(s.main->ApplySettings(file({"000:2147483647:x", "001:20000:x", "002:-2147483648:x", "003:99999:x",
                                        "009:2147483647:x", "017:2147483647:x", "122:-7:x", "123:0:x"})));
    QCOMPARE(s.main->height(), screens.height());
    QCOMPARE(s.main->width(), screens.width());
    QCOMPARE(s.main->y(), screens.top());
    QVERIFY(s.main->x() <= screens.right() - Settings::kReachable);
    QCOMPARE(Fonts::points(Testing::control<TextPane>(*s.main, "RichEdit2")->font()), Fonts::kMostPoints);
    QVERIFY(Testing::control<TextPane>(*s.main, "RichEdit1")->height() <= screens.height());
    QCOMPARE(s.main->memberMonitor()->height(), Settings::kSmallestWindow.height());
    QCOMPARE(s.main->memberMonitor()->width(), Settings::kSmallestWindow.width());
    // Zero or negative: the main window stays large enough to use.
    QVERIFY(s.main->ApplySettings(file({"000:0:x", "001:-1:x"})));
    QCOMPARE(s.main->size(), Settings::kSmallestMainWindow);
    // What a file asks within the screens is taken as it is.
    QVERIFY(s.main->ApplySettings(file({"000:400:x", "001:600:x"})));
    QCOMPARE(s.main->size(), QSize(600, 400));
}

// A member's transfer that would move the channel or group, hide the captions or put the window
// beyond the screens: those lines are held back, noted on the explanation page; the rest applies.
void SettingsFileTest::aMembersTransferCannotTakeTheStationAway() {
    PairedLan p;
    p.a.main->transfer().SendSettingsTransfer({Net::Wire::SettingsStart() + line(u"801:5:チャンネル"),
                                    Net::Wire::SettingsStart() + line(u"802:4:班"),
                                    Net::Wire::SettingsStart() + line(u"008:16777215:表示部のフォントの色"),
                                    Net::Wire::SettingsStart() + line(u"001:20000:メインウィンドの幅"),
                                    Net::Wire::SettingsStart() + line(u"004:3:マニュアル調整の表示行数")});
    p.lan.net.deliverAll();
    QCOMPARE(p.b.main->linesEndpoint()->channelPort(), 6711);  // still channel 1, group A, with its partner
    QCOMPARE(p.b.main->groupNumber(), 1);
    QVERIFY(p.b.main->hasPartner());
    QVERIFY(p.b.main->width() <= QGuiApplication::primaryScreen()->availableGeometry().width());
    QCOMPARE(Testing::control<QLineEdit>(*p.b.main, "Edit8")->text(), QStringLiteral("3"));  // the harmless line applied
    const QString page = Testing::control<QTextEdit>(*p.b.main, "RichEdit3")->toPlainText();
    QVERIFY(page.contains(QStringLiteral("表示設定受信拒否：チャンネルを変える設定は受け付けません（「ﾊﾟｰﾄﾅｰ」ページで変えてください）：801:5:チャンネル")));
    QVERIFY(page.contains(QStringLiteral("表示設定受信拒否：入力班を変える設定は受け付けません")));
    QVERIFY(page.contains(QStringLiteral("字幕が見えなくなるため受け付けません：008:16777215:")));
    QVERIFY(page.contains(QStringLiteral("画面に収まらない大きさ・位置のため受け付けません：001:20000:")));
    p.lan.net.clearSent();
    p.a.main->SendLine("still heard");
    p.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(p.b), QStringLiteral("still heard"));
}

QTEST_MAIN(SettingsFileTest)
#include "test_settings_file.moc"

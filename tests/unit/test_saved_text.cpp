// Saved texts without windows: scrambled saves and reading them back, the record's head edits of
// the periodic clear that undo does not see, the typing-rate figures, the exit save's way to the
// data folder when no one can answer, and the folder the program keeps its files in.
#include "core/display_log.h"
#include "core/typing_rate.h"
#include "settings/exit_rescue.h"
#include "settings/line_file.h"
#include "settings/program_folder.h"
#include "settings/text_scramble.h"
#include "text/cp932.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTest>

namespace {

QByteArray sj(QStringView s) { return Cp932::encode(s); }

QList<QByteArray> sjLines(const QStringList& lines) {
    QList<QByteArray> out;
    for (const QString& l : lines) out << sj(l);
    return out;
}

// Every character reads back as itself: the bytes are a text of code page 932.
bool isCp932Text(const QByteArray& bytes) {
    const QString text = Cp932::decode(bytes);
    return Cp932::encode(text) == bytes && !text.contains(QChar(0xFFFD));
}

}  // namespace

class SavedTextTest : public QObject {
    Q_OBJECT
private slots:
    void scrambledSaveRoundTrips_data();
    void scrambledSaveRoundTrips();
    void scrambledSaveKeepsCp932AndWidths();
    void wrongPasswordOrPlainFileIsRefused();
    void emptyTextScramblesToNothing();
    void leadingFiller();
    void headEditsKeepUndo();
    void typingRate();
    void exitSaveGoesToTheDataFolder();
    void buildTreesAreNotProgramFolders();
    void installFoldersAreNotProgramFolders();
};

void SavedTextTest::scrambledSaveRoundTrips_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("password");
    const QStringList mixed = {QStringLiteral("今日は晴れです。"), QString(), QStringLiteral("ABC abc 123 !?"),
                               QStringLiteral("ｶﾀｶﾅとかなとカナ、漢字。"), QStringLiteral("■"),
                               QStringLiteral("あ"), QStringLiteral("ab"), QStringLiteral("　全角空白\t(タブ)"),
                               QStringLiteral("①②Ⅲ㈱～∥－￢"), QStringLiteral("最後の行です")};
    QTest::newRow("mixed, default word") << mixed << QByteArray();
    QTest::newRow("mixed, two characters") << mixed << sj(u"合鍵");
    QTest::newRow("mixed, one byte") << mixed << QByteArray("x");
    QTest::newRow("mixed, long password") << mixed << QByteArray("a much longer pass phrase, 5 passes");
    QTest::newRow("one line") << QStringList{QStringLiteral("一行だけ")} << QByteArray("pw1234");
    QTest::newRow("one empty line") << QStringList{QString()} << QByteArray("pw1234");
    QStringList many;
    for (int i = 0; i < 137; ++i) many << QStringLiteral("%1行目：字幕の行、ｶﾅ混じり ABC").arg(i).repeated(1 + i % 3);
    QTest::newRow("137 lines") << many << sj(u"要約筆記");
}

void SavedTextTest::scrambledSaveRoundTrips() {
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, password);
    const QList<QByteArray> plain = sjLines(lines);
    int checks = 0, outputs = 0;
    const QList<QByteArray> scrambled =
        Settings::scrambleText(plain, password, [&](int, int count, bool checking) {
            QCOMPARE(count, int(plain.size()));
            (checking ? checks : outputs)++;
        });
    QCOMPARE(checks, int(plain.size()));
    QCOMPARE(outputs, int(plain.size()));
    QCOMPARE(scrambled.size(), plain.size());
    if (plain.size() > 2) QVERIFY(scrambled != plain);
    const auto back = Settings::unscrambleText(scrambled, password);
    QVERIFY(back.has_value());
    QCOMPARE(*back, plain);
}

void SavedTextTest::scrambledSaveKeepsCp932AndWidths() {
    const QList<QByteArray> plain = sjLines({QStringLiteral("字幕の一行目、ABCｱｲｳ"), QStringLiteral("二行目です。"),
                                             QStringLiteral("3rd line"), QStringLiteral("よんぎょうめ")});
    const QList<QByteArray> scrambled = Settings::scrambleText(plain, "secret");
    QList<int> widths, scrambledWidths;
    for (const QByteArray& l : plain) widths << int(l.size());
    int withMark = -1;
    for (const QByteArray& l : scrambled) {
        QVERIFY2(isCp932Text(l), l.toHex().constData());
        QVERIFY(!l.contains('\r') && !l.contains('\n'));
        scrambledWidths << int(l.size());
    }
    // Same widths line for line, except the first plain line, which carries the check character.
    std::sort(widths.begin(), widths.end());
    for (int i = 0; i < scrambledWidths.size(); ++i) {
        QList<int> w = scrambledWidths;
        w[i] -= 2;
        std::sort(w.begin(), w.end());
        if (w == widths) withMark = i;
    }
    QVERIFY(withMark >= 0);
    // The plain words do not survive.
    for (const QByteArray& l : scrambled) QVERIFY(!l.contains(sj(u"字幕")) && !l.contains("line"));
}

void SavedTextTest::wrongPasswordOrPlainFileIsRefused() {
    QStringList text;
    for (int i = 0; i < 30; ++i) text << QStringLiteral("第%1行、パスワードの確認").arg(i);
    const QList<QByteArray> plain = sjLines(text);
    const QList<QByteArray> scrambled = Settings::scrambleText(plain, "right-word");
    int refused = 0;
    for (const char* wrong : {"wrong-word", "right-wore", "Quelta", "r", "right-word "})
        if (!Settings::unscrambleText(scrambled, wrong)) ++refused;
    QCOMPARE(refused, 5);
    QVERIFY(!Settings::unscrambleText(plain, "right-word").has_value());
    // A scrambled file cut short does not come back as text it never was.
    QVERIFY(!Settings::unscrambleText(scrambled.mid(0, 29), "right-word").has_value());
}

void SavedTextTest::emptyTextScramblesToNothing() {
    QVERIFY(Settings::scrambleText({}, "pw").isEmpty());
    const auto back = Settings::unscrambleText({}, "pw");
    QVERIFY(back.has_value() && back->isEmpty());
}

void SavedTextTest::leadingFiller() {
    QVERIFY(Settings::isLeadingFiller(u""));
    QVERIFY(Settings::isLeadingFiller(u"文先頭　"));
    QVERIFY(Settings::isLeadingFiller(u"継続保存"));
    QVERIFY(!Settings::isLeadingFiller(u"文先頭"));
    QVERIFY(!Settings::isLeadingFiller(u" "));
    QVERIFY(!Settings::isLeadingFiller(u"継続保存です"));
}

// The periodic clear trims the head of the record; undo still takes back the newest line.
void SavedTextTest::headEditsKeepUndo() {
    QTextDocument doc;
    Core::DisplayLog log(&doc);
    const Core::DisplayMode mode;
    for (int i = 0; i < 40; ++i) log.appendLine(sj(QStringLiteral("line %1").arg(i)), false, mode);
    QCOMPARE(log.record().recordLineCount(), 40);
    log.editHead([](Core::Record& r) {
        r.removeLines(0, r.recordLineCount() - 10);
        r.insertLines(0, QStringList{QStringLiteral("継続保存")} + QStringList(20, QString()));
    });
    QCOMPARE(log.record().recordLineCount(), 31);
    QCOMPARE(log.record().line(0), QStringLiteral("継続保存"));
    QCOMPARE(log.record().line(20), QString());
    QCOMPARE(log.record().line(21), QStringLiteral("line 30"));
    QCOMPARE(log.record().lastLine(), QStringLiteral("line 39"));
    QVERIFY(log.removeNewestEntry(mode));
    QCOMPARE(log.record().lastLine(), QStringLiteral("line 38"));
    QCOMPARE(log.record().recordLineCount(), 30);
    // Removing the last lines of a record without a final break takes the break before them.
    QTextDocument d2;
    Core::Record r(&d2);
    r.setText(QStringLiteral("a\nb\nc"));
    r.removeLines(1, 2);
    QCOMPARE(d2.toPlainText(), QStringLiteral("a"));
    r.insertLines(1, {QStringLiteral("x"), QStringLiteral("y")});
    QCOMPARE(r.lines(), (QStringList{QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("y")}));
    QCOMPARE(r.byteLength(), qsizetype(3 + 2 * 3));
}

void SavedTextTest::typingRate() {
    Core::TypingRate rate;
    rate.start(1000);
    auto f = rate.tick(1000 + 200);  // 100 characters
    QCOMPARE(f.now, 100);
    QVERIFY(!rate.over(100));
    f = rate.tick(1200 + 202);  // 101
    QCOMPARE(f.now, 101);
    QVERIFY(rate.over(100));
    QCOMPARE(f.maxMinute, 101);
    QCOMPARE(f.average, 20);  // 201 over ten minutes, eight not measured yet
    // Undo in a minute makes it negative, shown as it is; the maxima stay.
    f = rate.tick(1402 - 40);
    QCOMPARE(f.now, -20);
    QCOMPARE(f.maxMinute, 101);
    QCOMPARE(f.average, 18);
    QCOMPARE(f.maxAverage, 20);
    // A clear of the record's head in a minute: what was typed in it still counts.
    rate.headRemoved(1300);
    f = rate.tick(1362 - 1300 + 60);
    QCOMPARE(f.now, 30);
    // Ten minutes later the first ones are gone from the average.
    for (int i = 0; i < 10; ++i) f = rate.tick(122);
    QCOMPARE(f.average, 0);
    QCOMPARE(f.maxAverage, 21);  // (100 + 101 - 20 + 30) / 10
    rate.start(0);
    QCOMPARE(rate.figures().maxMinute, 0);
}

void SavedTextTest::exitSaveGoesToTheDataFolder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString data = dir.filePath(QStringLiteral("share/Quelta"));  // not there yet
    const QString refused = dir.filePath(QStringLiteral("stick/2026_12_08-10_15_30.txt"));
    const Settings::RescuedText display{QStringLiteral("表示文"), QStringLiteral("2026_12_08-10_15_30.txt"),
                                        sjLines({QStringLiteral("一行目"), QStringLiteral("二行目")})};
    const QString full = Settings::writeFailureText(ENOSPC);

    const QString saved = Settings::rescueText(display, refused, full, data, QStringLiteral("2026/12/08-10:15:30"));
    QCOMPARE(saved, data + QStringLiteral("/2026_12_08-10_15_30.txt"));
    QCOMPARE(Settings::readLines(saved).value_or(QList<QByteArray>{}), display.lines);
    // Not written anywhere: the note says that too, and keeps the earlier line.
    QVERIFY(Settings::rescueText({QStringLiteral("連絡文"), QStringLiteral("x/連絡文.txt"), {"a"}}, refused, full, data,
                                 QStringLiteral("2026/12/08-10:15:31"))
                .isEmpty());
    // The same folder that refused is no way out.
    QVERIFY(Settings::rescueText(display, data + QStringLiteral("/2026_12_08-10_15_30.txt"), full, data + u'/',
                                 QStringLiteral("2026/12/08-10:15:32"))
                .isEmpty());
    const QStringList notes = Settings::takeRescueNotes(data);
    QCOMPARE(notes.size(), 3);
    QCOMPARE(notes[0], QStringLiteral("2026/12/08-10:15:30 終了時の表示文を %1 に保存できませんでした"
                                      "（ディスクがいっぱいです（空き容量がありません））。代わりに %2 に保存しました。")
                           .arg(refused, saved));
    QVERIFY(notes[1].startsWith(QStringLiteral("2026/12/08-10:15:31 終了時の連絡文を ")));
    QVERIFY2(notes[1].endsWith(QStringLiteral("。ほかの場所にも保存できませんでした（保存先のフォルダが見つかりません）。")),
             qPrintable(notes[1]));
    QVERIFY(notes[2].endsWith(QStringLiteral("。ほかの場所にも保存できませんでした。")));
    // Read once: the note is gone.
    QVERIFY(Settings::takeRescueNotes(data).isEmpty());
    QVERIFY(!QFile::exists(data + u'/' + Settings::rescueNoteName()));
    // No data folder: nothing written, nothing noted.
    QVERIFY(Settings::rescueText(display, refused, full, QString(), QStringLiteral("t")).isEmpty());
    QVERIFY(Settings::takeRescueNotes(QString()).isEmpty());
}

// `make clean` removes the build folders whole: a program started from one keeps its files in the
// user's data folder, as an installed one does.
void SavedTextTest::buildTreesAreNotProgramFolders() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString build = dir.filePath(QStringLiteral("build")), inner = build + QStringLiteral("/tests/system");
    const QString plain = dir.filePath(QStringLiteral("quelta")), data = dir.filePath(QStringLiteral("data/Quelta"));
    QVERIFY(QDir().mkpath(inner) && QDir().mkpath(plain));
    QFile cache(build + QStringLiteral("/CMakeCache.txt"));
    QVERIFY(cache.open(QIODevice::WriteOnly));
    cache.close();
    QVERIFY(Settings::isInBuildTree(build) && Settings::isInBuildTree(inner));
    QVERIFY(!Settings::isInBuildTree(plain) && !Settings::isInBuildTree(dir.path()));
    QCOMPARE(Settings::chooseProgramFolder(plain, data), plain + u'/');
    QVERIFY(!QDir(data).exists());
    QCOMPARE(Settings::chooseProgramFolder(build, data), data + u'/');
    QCOMPARE(Settings::chooseProgramFolder(inner + u'/', data), data + u'/');
    QVERIFY(QDir(data).exists());
}

// An installed program keeps its files in the user's data folder even where it could write beside
// itself (root may write /usr/bin); a portable copy in a folder of the user's own keeps them there.
void SavedTextTest::installFoldersAreNotProgramFolders() {
    for (const char* folder : {"/usr/bin", "/usr/local/bin", "/usr/lib/quelta", "/opt/quelta", "/opt", "/bin",
                               "/sbin/", "/lib64", "/snap/quelta/12/bin", "/etc", "/var/lib/quelta", "/",
                               "/home/u/.local/bin", "/home/u/libexec"})
        QVERIFY2(Settings::isInstallFolder(QString::fromLatin1(folder)), folder);
    for (const char* folder : {"/home/u/quelta", "/home/u/Desktop/Quelta7r1", "/root/quelta", "/media/u/USB/quelta",
                               "/tmp/quelta", "/usrx/quelta", "/optical/quelta", "/home/u/binaries", "/srv/team/quelta"})
        QVERIFY2(!Settings::isInstallFolder(QString::fromLatin1(folder)), folder);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString portable = dir.filePath(QStringLiteral("quelta")), bin = dir.filePath(QStringLiteral("prefix/bin"));
    const QString data = dir.filePath(QStringLiteral("data/Quelta"));
    QVERIFY(QDir().mkpath(portable) && QDir().mkpath(bin));
    // A link to a system folder is that system folder.
    const QString link = dir.filePath(QStringLiteral("tools"));
    QVERIFY(QFile::link(QStringLiteral("/usr/bin"), link));
    QVERIFY(Settings::isInstallFolder(link));
    QCOMPARE(Settings::chooseProgramFolder(portable, data), portable + u'/');
    QCOMPARE(Settings::chooseProgramFolder(bin, data), data + u'/');
    QCOMPARE(Settings::chooseProgramFolder(link, data), data + u'/');
    // Whoever runs it, root included.
    QCOMPARE(Settings::chooseProgramFolder(QStringLiteral("/usr/bin"), data), data + u'/');
    QCOMPARE(Settings::chooseProgramFolder(QStringLiteral("/usr/local/bin/"), data), data + u'/');
}

QTEST_MAIN(SavedTextTest)
#include "test_saved_text.moc"

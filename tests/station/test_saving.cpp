// Saving the display on a whole station: the periodic clear at its limits and what it keeps, the
// save at exit, scrambled saves by hand and reading them back, the limit fields, the log switches,
// and the typing-rate figures with their yellow warning.
#include "support/file_size_limit.h"
#include "support/lan.h"

#include "windows/messaging/contact_window.h"
#include "settings/exit_rescue.h"
#include "settings/line_file.h"
#include "settings/settings_file.h"
#include "settings/text_scramble.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTest>

using namespace Testing;

namespace {

// A record of `lines` lines (each ending with its break) of exactly `bytes` bytes.
void fillRecord(TestStation& s, int lines, qsizetype bytes) {
    const qsizetype text = bytes - 2 * lines;
    QString all;
    for (int i = 0; i < lines; ++i) {
        const qsizetype width = text / lines + (i < text % lines ? 1 : 0);
        QString l = QStringLiteral("%1:").arg(i);
        l += QString(width - l.size(), u'x');
        all += l + u'\n';
    }
    s.main->record().setText(all);
    QCOMPARE(s.main->record().recordLineCount(), lines);
    QCOMPARE(s.main->record().byteLength(), bytes);
}

QList<QByteArray> fileLines(const QString& path) {
    const auto lines = Settings::readLines(path);
    return lines.value_or(QList<QByteArray>{"(unreadable)"});
}

QStringList logOf(const TestStation& s) { return Testing::control<QTextEdit>(*s.main, "RichEdit3")->toPlainText().split(u'\n', Qt::SkipEmptyParts); }

// The captions of a small session: under Qt's own 16 KB buffer, as most saves are.
void typeSession(Ttalk2e& main, int lines) {
    for (int i = 0; i < lines; ++i) main.SendLine(sj(QStringLiteral("字幕の%1行目").arg(i)));
}
void typeSession(TestStation& s, int lines) { typeSession(*s.main, lines); }

// A termination signal that comes while a box of the close handler waits for its answer: the box
// is closed unanswered (its "no").
class SignalWhileAsking final : public App::MessageSink {
public:
    void information(const QString& text) override { shown << text; }
    bool askYesNo(const QString& text) override {
        asked << text;
        if (main) main->CloseUnattended();
        return false;
    }
    Ttalk2e* main = nullptr;
    QStringList shown, asked;
};

bool isYellow(const QWidget* pane) { return pane->palette().color(QPalette::Base) == QColor(Qt::yellow); }

}  // namespace

class SavingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void periodicClearAtItsLimits();
    void periodicClearKeepsTheNewestLines();
    void unwrittenSaveLeavesTheDisplay();
    void fullDiskClearsNothing();
    void clearWithoutSavingIsNoted();
    void saveAtExit();
    void exitSaveOffersAnotherPlace();
    void exitSaveWithNoOneToAnswer();
    void scrambledSavesAndReadingThemBack();
    void limitFields();
    void logSwitches();
    void typingRate();
};

void SavingTest::periodicClearAtItsLimits() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    Testing::control<QCheckBox>(*s.main, "CheckBox39")->setChecked(false);
    fillRecord(s, 999, 29999);
    s.main->PeriodicClear();
    QCOMPARE(s.main->record().recordLineCount(), 999);
    // One more byte...
    s.main->record().appendToLastLine(QStringLiteral("y"));
    s.main->PeriodicClear();
    QCOMPARE(s.main->record().recordLineCount(), 31);
    // ...or one more line.
    fillRecord(s, 999, 20000);
    s.main->PeriodicClear();
    QCOMPARE(s.main->record().recordLineCount(), 999);
    s.main->record().addLine(QStringLiteral("z"));
    s.main->PeriodicClear();
    QCOMPARE(s.main->record().recordLineCount(), 31);
    // Unchecked "自動保存": cleared without a file.
    QCOMPARE(QDir(s.station.programFolder).entryList({QStringLiteral("*.txt")}).size(), 0);
    // Other limits from the fields.
    Testing::control<QLineEdit>(*s.main, "Edit91")->setText(QStringLiteral("50"));
    fillRecord(s, 50, 400);
    s.main->PeriodicClear();
    QCOMPARE(s.main->record().recordLineCount(), 31);
}

void SavingTest::periodicClearKeepsTheNewestLines() {
    PairedLan p;
    TestStation& a = p.a;
    Testing::control<QCheckBox>(*a.main, "CheckBox39")->setChecked(true);
    Testing::control<QCheckBox>(*a.main, "CheckBox44")->setChecked(true);
    for (int i = 0; i < 40; ++i) a.main->SendLine(sj(QStringLiteral("字幕の%1行目").arg(i)));
    p.lan.net.deliverAll();
    const QList<QByteArray> before = a.main->saving().RecordLines();
    const QString name = a.main->TimeStampedName() + QStringLiteral(".txt");
    Testing::control<QLineEdit>(*a.main, "Edit91")->setText(QStringLiteral("50"));
    a.main->PeriodicClear();
    // Saved in the program folder under the time of the save, exactly as it was.
    QCOMPARE(fileLines(a.station.programFolder + name), before);
    const QStringList lines = a.main->record().lines();
    QCOMPARE(lines.size(), 31);
    QCOMPARE(lines[0], QStringLiteral("継続保存"));
    for (int i = 1; i <= 20; ++i) QVERIFY(lines[i].isEmpty());
    for (int i = 0; i < 10; ++i) QCOMPARE(lines[21 + i], Cp932::decode(before[before.size() - 10 + i]));
    // The newest line can still be taken back, and the typing rate does not see the clear as typing.
    QCOMPARE(a.main->record().lastLine(), QStringLiteral("字幕の39行目"));
    a.main->UndoToInput(false);
    QCOMPARE(a.main->record().lastLine(), QStringLiteral("字幕の38行目"));
    a.main->saving().Timer7Timer();
    QVERIFY(a.main->typingRate().figures().now > 0);
}

void SavingTest::unwrittenSaveLeavesTheDisplay() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    Testing::control<QCheckBox>(*s.main, "CheckBox39")->setChecked(true);
    fillRecord(s, 1000, 20000);
    // A directory where the file should go: the save fails, says so, and nothing is cleared.
    QVERIFY(QDir(s.station.programFolder).mkdir(s.main->TimeStampedName() + QStringLiteral(".txt")));
    s.main->PeriodicClear();
    QCOMPARE(s.main->record().recordLineCount(), 1000);
    QCOMPARE(s.messages.shown.size(), 1);
    QVERIFY(s.messages.shown[0].startsWith(QStringLiteral("ファイルを保存できませんでした。")));
    // A save by hand that fails names no file.
    s.dialogs.saveNames.push_back(s.station.programFolder + s.main->TimeStampedName() + QStringLiteral(".txt"));
    Testing::control<QPushButton>(*s.main, "Button7")->click();
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label5")->text(), QStringLiteral("保存なし"));
}

// A disk that is full (a file size limit stands in for it) while the saves are small enough for
// Qt's buffer: every save fails, says why in Japanese, and clears or changes nothing.
void SavingTest::fullDiskClearsNothing() {
    PairedLan p;
    TestStation& s = p.a;
    Testing::control<QCheckBox>(*s.main, "CheckBox39")->setChecked(true);
    Testing::control<QLineEdit>(*s.main, "Edit91")->setText(QStringLiteral("30"));
    typeSession(s, 40);
    const QList<QByteArray> before = s.main->saving().RecordLines();
    const QString folder = s.station.programFolder;
    const QString name = s.main->TimeStampedName() + QStringLiteral(".txt");
    const QString failure = Settings::writeFailureText(EFBIG);
    {
        FileSizeLimit full(4);
        QVERIFY(full.ok());
        s.main->PeriodicClear();
        // Scrambled, too: the display keeps even its filler.
        Testing::control<QCheckBox>(*s.main, "CheckBox34")->setChecked(true);
        s.main->PeriodicClear();
        Testing::control<QCheckBox>(*s.main, "CheckBox34")->setChecked(false);
        s.dialogs.saveNames.push_back(folder + QStringLiteral("手で保存.txt"));
        Testing::control<QPushButton>(*s.main, "Button7")->click();
        Testing::control<TextPane>(*s.main->contactWindow(), "RichEdit1")->setPlainText(QStringLiteral("交代です"));
        s.main->contactWindow()->SendContactLine(false);
        s.dialogs.saveNames.push_back(folder + QStringLiteral("連絡.txt"));
        Testing::control<QPushButton>(*s.main->contactWindow(), "Button1")->click();
    }
    QCOMPARE(s.main->saving().RecordLines(), before);
    QVERIFY(Testing::control<QTimer>(*s.main, "Timer5")->isActive());
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label5")->text(), QStringLiteral("保存なし"));
    QCOMPARE(s.main->contactWindow()->historyLineCount(), 1);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{});
    QCOMPARE(s.messages.shown.size(), 4);
    for (const QString& m : s.messages.shown) QVERIFY2(m.contains(u'\n' + failure), qPrintable(m));
    QCOMPARE(s.messages.shown[0], QStringLiteral("ファイルを保存できませんでした。\n") + folder + name + u'\n' + failure +
                                      QStringLiteral("\n表示文は消去せずに、そのまま残しています。"));
    QVERIFY(s.messages.shown[3].startsWith(QStringLiteral("連絡文を保存できませんでした。")));
    QVERIFY(s.messages.shown[3].endsWith(QStringLiteral("連絡文は消去せずに、そのまま残しています。")));
    QVERIFY(logOf(s).last().contains(QStringLiteral("保存できませんでした")));
    // Room again: the next check saves and clears.
    s.main->PeriodicClear();
    QCOMPARE(fileLines(folder + name), before);
    QCOMPARE(s.main->record().recordLineCount(), 31);
}

// With the automatic save off, the clear keeps no record, as teams may be required to; the page
// "説明" says each time what went.
void SavingTest::clearWithoutSavingIsNoted() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    Testing::control<QCheckBox>(*s.main, "CheckBox39")->setChecked(false);
    Testing::control<QLineEdit>(*s.main, "Edit91")->setText(QStringLiteral("40"));
    typeSession(s, 40);  // after the 20 lines of the start marker
    s.main->PeriodicClear();
    QCOMPARE(s.main->record().recordLineCount(), 31);
    QCOMPARE(QDir(s.station.programFolder).entryList(QDir::Files), QStringList{});
    QCOMPARE(logOf(s).size(), 1);
    QCOMPARE(logOf(s).last(), QStringLiteral("10:15:30:7,[自分],定期消去：「自動保存」がオフのため、表示文の古い30行を"
                                             "保存せずに消去しました（最後の10行は表示に残しています）"));
    // Not due: nothing cleared, nothing noted.
    s.main->PeriodicClear();
    QCOMPARE(logOf(s).size(), 1);
}

void SavingTest::saveAtExit() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    Testing::control<QCheckBox>(*s.main, "CheckBox39")->setChecked(true);
    QCOMPARE(s.main->record().recordLineCount(), 20);  // the start marker and its empty lines
    s.main->record().addLine(QStringLiteral("一行目"));
    s.main->SaveOnExit();
    QVERIFY(QDir(s.station.programFolder).entryList({QStringLiteral("*.txt")}).isEmpty());
    s.main->record().addLine(QStringLiteral("二行目"));
    const QList<QByteArray> before = s.main->saving().RecordLines();
    // The contact history goes too, when its window asks for it.
    Testing::control<QCheckBox>(*s.main->contactWindow(), "CheckBox7")->setChecked(true);
    Testing::control<TextPane>(*s.main->contactWindow(), "RichEdit1")->setPlainText(QStringLiteral("交代です"));
    s.main->contactWindow()->SendContactLine(false);
    const QByteArray history = sj(Testing::control<QTextEdit>(*s.main->contactWindow(), "RichEdit2")->toPlainText());
    QVERIFY(history.contains(sj(u"交代です")));
    s.main->close();  // the close handler saves
    QCOMPARE(fileLines(s.station.programFolder + s.main->TimeStampedName() + QStringLiteral("連絡文.txt")),
             QList<QByteArray>{history});
    const QString path = s.station.programFolder + s.main->TimeStampedName() + QStringLiteral(".txt");
    QCOMPARE(fileLines(path), before + QList<QByteArray>{sj(u"---Ｑｕｅｌｔａ終了時自動保存---")});
    QCOMPARE(s.main->saving().RecordLines(), before);  // the display itself is left as it was
}

// The program folder refuses the save at exit while someone is there: the window stays, another
// folder is offered, and only a clear "yes" quits without the text.
void SavingTest::exitSaveOffersAnotherPlace() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    Testing::control<QCheckBox>(*s.main, "CheckBox39")->setChecked(true);
    typeSession(s, 5);
    const QList<QByteArray> before = s.main->saving().RecordLines();
    const QString name = s.main->TimeStampedName() + QStringLiteral(".txt");
    const QString gone = s.station.programFolder;
    QVERIFY(QDir(gone).removeRecursively());  // a USB stick pulled out, say
    QTemporaryDir elsewhere;

    // Declined, and "yes" to keeping the window open: nothing is lost, the window stays.
    s.messages.answerYes = true;
    s.main->close();
    QVERIFY(!s.main->isClosed());
    QCOMPARE(s.main->saving().RecordLines(), before);
    QCOMPARE(s.messages.shown.size(), 1);
    QCOMPARE(s.messages.shown[0], QStringLiteral("表示文を保存できませんでした。\n") + gone + name + u'\n' +
                                      Settings::writeFailureText(ENOENT) +
                                      QStringLiteral("\n\n別の保存先（ＵＳＢメモリなど）を選んでください。"));
    QCOMPARE(s.messages.asked, QStringList{QStringLiteral("表示文はまだ保存されていません。\n"
                                                          "Ｑｕｅｌｔａを終了せずに、このまま開いておきますか？\n\n"
                                                          "「いいえ」を選ぶと、表示文を保存せずに終了します。")});
    QCOMPARE(logOf(s).last(), QStringLiteral("10:15:30:7,[自分],表示文を保存できませんでした：") + gone + name + u' ' +
                                  Settings::writeFailureText(ENOENT));

    // Another folder that fails too is said again; then one that works takes the text.
    s.dialogs.saveNames = {gone + QStringLiteral("また.txt"), elsewhere.filePath(QStringLiteral("退避"))};
    s.main->close();
    QVERIFY(s.main->isClosed());
    QCOMPARE(s.messages.shown.size(), 3);
    QVERIFY(s.messages.shown[2].startsWith(QStringLiteral("表示文を保存できませんでした。\n") + gone + QStringLiteral("また.txt")));
    QCOMPARE(s.messages.asked.size(), 1);
    QCOMPARE(fileLines(elsewhere.filePath(QStringLiteral("退避.txt"))),
             before + QList<QByteArray>{sj(u"---Ｑｕｅｌｔａ終了時自動保存---")});

    // "No" to keeping the window open quits without it; the contact history is asked about on its own.
    TestStation& t = lan.add(11, "B");
    Testing::control<QCheckBox>(*t.main, "CheckBox39")->setChecked(true);
    typeSession(t, 5);
    Testing::control<QCheckBox>(*t.main->contactWindow(), "CheckBox7")->setChecked(true);
    Testing::control<TextPane>(*t.main->contactWindow(), "RichEdit1")->setPlainText(QStringLiteral("交代です"));
    t.main->contactWindow()->SendContactLine(false);
    QVERIFY(QDir(t.station.programFolder).removeRecursively());
    t.main->close();
    QVERIFY(t.main->isClosed());
    QCOMPARE(t.messages.asked.size(), 2);
    QVERIFY(t.messages.asked[1].startsWith(QStringLiteral("連絡文はまだ保存されていません。")));
    QVERIFY(!QDir(gone).exists() && !QDir(t.station.programFolder).exists());
}

// A termination signal or the end of the desktop session: no one answers, so nothing asks; what
// the program folder refuses goes to the user's data folder, and the next start says so.
void SavingTest::exitSaveWithNoOneToAnswer() {
    Lan lan;
    QTemporaryDir data;
    const QString rescue = data.path() + QStringLiteral("/Quelta/");
    TestStation& s = lan.add(10, "A");
    Testing::control<QCheckBox>(*s.main, "CheckBox39")->setChecked(true);
    typeSession(s, 5);
    Testing::control<QCheckBox>(*s.main->contactWindow(), "CheckBox7")->setChecked(true);
    Testing::control<TextPane>(*s.main->contactWindow(), "RichEdit1")->setPlainText(QStringLiteral("交代です"));
    s.main->contactWindow()->SendContactLine(false);
    const QList<QByteArray> display = s.main->saving().RecordLines() << sj(u"---Ｑｕｅｌｔａ終了時自動保存---");
    const QString name = s.main->TimeStampedName();
    const QString gone = s.station.programFolder;
    QVERIFY(QDir(gone).removeRecursively());
    s.station.rescueFolder = rescue;
    s.main->CloseUnattended();
    QVERIFY(s.main->isClosed());
    QVERIFY(s.messages.shown.isEmpty() && s.messages.asked.isEmpty());
    QCOMPARE(fileLines(rescue + name + QStringLiteral(".txt")), display);
    QCOMPARE(fileLines(rescue + name + QStringLiteral("連絡文.txt")), QList<QByteArray>{sj(u"交代です")});

    // The next start: a box and the page "説明" say where the texts went, once.
    TestStation next(lan.net, QStringList{QStringLiteral("192.168.1.12")});
    next.station.rescueFolder = rescue;
    next.finishStartup();
    QCOMPARE(next.messages.shown.size(), 1);
    const QString box = next.messages.shown[0];
    QVERIFY(box.startsWith(QStringLiteral("前回Ｑｕｅｌｔａが終了したときの自動保存について：")));
    const QString saidDisplay = QStringLiteral("2026/12/08-10:15:30 終了時の表示文を ") + gone + name +
                                QStringLiteral(".txt に保存できませんでした（保存先のフォルダが見つかりません）。代わりに ") +
                                rescue + name + QStringLiteral(".txt に保存しました。");
    QVERIFY2(box.contains(saidDisplay), qPrintable(box));
    QVERIFY(box.contains(QStringLiteral("代わりに ") + rescue + name + QStringLiteral("連絡文.txt に保存しました。")));
    QCOMPARE(logOf(next).size(), 2);
    QCOMPARE(logOf(next)[0], QStringLiteral("10:15:30:7,[自分],") + saidDisplay);
    QVERIFY(!QFile::exists(rescue + Settings::rescueNoteName()));
    TestStation third(lan.net, QStringList{QStringLiteral("192.168.1.13")});
    third.station.rescueFolder = rescue;
    third.finishStartup();
    QVERIFY(third.messages.shown.isEmpty());

    // A signal while the close handler asks: the display goes to the data folder, not nowhere.
    {
        SignalWhileAsking messages;
        ScriptedDialogs dialogs;
        ManualClock clock;
        MemoryClipboard clipboard;
        FakeHostTools tools;
        QTemporaryDir folder, data2;
        App::Station station{lan.net.addHost(QStringLiteral("192.168.1.16"), QStringLiteral("W")), clock, messages, dialogs,
                             clipboard, tools, folder.path() + u'/', data2.path() + u'/'};
        std::unique_ptr<Ttalk2e> w = App::createStationWindows(station, nullptr);
        messages.main = w.get();
        Testing::control<QCheckBox>(*w, "CheckBox39")->setChecked(true);
        typeSession(*w, 5);
        const QList<QByteArray> lines = w->saving().RecordLines() << sj(u"---Ｑｕｅｌｔａ終了時自動保存---");
        QVERIFY(QDir(folder.path()).removeRecursively());
        w->close();
        QCOMPARE(messages.asked.size(), 1);
        QVERIFY(w->isClosed());
        QCOMPARE(fileLines(data2.path() + u'/' + name + QStringLiteral(".txt")), lines);
    }

    // The session ends (logout): the save is made at once; the close that follows adds nothing.
    TestStation& u = lan.add(14, "U");
    Testing::control<QCheckBox>(*u.main, "CheckBox39")->setChecked(true);
    typeSession(u, 5);
    u.main->SessionEnding();
    const QStringList saved = QDir(u.station.programFolder).entryList({QStringLiteral("*.txt")});
    QCOMPARE(saved, QStringList{name + QStringLiteral(".txt")});
    QFile::remove(u.station.programFolder + saved[0]);
    u.main->close();
    QVERIFY(u.main->isClosed());
    QVERIFY(QDir(u.station.programFolder).entryList({QStringLiteral("*.txt")}).isEmpty());

    // Nothing asked for, nothing kept: with the automatic saves off no file appears anywhere.
    QTemporaryDir otherData;
    TestStation& v = lan.add(15, "V");
    typeSession(v, 30);
    QVERIFY(QDir(v.station.programFolder).removeRecursively());
    v.station.rescueFolder = otherData.path() + u'/';
    v.main->CloseUnattended();
    QVERIFY(v.main->isClosed());
    QVERIFY(QDir(otherData.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

void SavingTest::scrambledSavesAndReadingThemBack() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    Testing::control<QCheckBox>(*s.main, "CheckBox34")->setChecked(true);
    Testing::control<QLineEdit>(*s.main, "Edit2")->setText(QStringLiteral("合言葉"));
    const QString folder = s.station.programFolder;
    // Only filler: an empty file, and the display gets its empty lines back.
    s.dialogs.saveNames.push_back(folder + QStringLiteral("empty"));
    Testing::control<QPushButton>(*s.main, "Button7")->click();
    QFile empty(folder + QStringLiteral("empty.txt"));
    QVERIFY(empty.exists());
    QCOMPARE(empty.size(), 0);
    QCOMPARE(Testing::control<QLabel>(*s.main, "Label5")->text(), QStringLiteral("empty.txt"));
    QCOMPARE(s.main->record().recordLineCount(), 20);
    // Caption lines: scrambled on disk, back as they were with the password.
    const QStringList captions = {QStringLiteral("本日の講演を始めます。"), QStringLiteral("ABC ｶﾅ 123"), QString(),
                                  QStringLiteral("質問は最後にお願いします")};
    for (const QString& c : captions) s.main->record().addLine(c);
    s.dialogs.saveNames.push_back(folder + QStringLiteral("scrambled.txt"));
    Testing::control<QPushButton>(*s.main, "Button7")->click();
    QVERIFY(!Testing::control<QFrame>(*s.main, "Panel2")->isVisible());
    const QList<QByteArray> onDisk = fileLines(folder + QStringLiteral("scrambled.txt"));
    // The filler goes; an empty line among the captions (past the head) stays.
    QCOMPARE(onDisk.size(), captions.size());
    for (const QByteArray& l : onDisk) QVERIFY(!l.contains(sj(u"講演")));
    s.dialogs.openNames.push_back(folder + QStringLiteral("scrambled.txt"));
    s.dialogs.saveNames.push_back(folder + QStringLiteral("plain.txt"));
    Testing::control<QPushButton>(*s.main, "ButtonUnscramble")->click();
    QList<QByteArray> expected;
    for (const QString& c : captions) expected << sj(c);
    QCOMPARE(fileLines(folder + QStringLiteral("plain.txt")), expected);
    // The wrong password: said, and no file.
    Testing::control<QLineEdit>(*s.main, "Edit2")->setText(QStringLiteral("ちがう"));
    s.dialogs.openNames.push_back(folder + QStringLiteral("scrambled.txt"));
    s.dialogs.saveNames.push_back(folder + QStringLiteral("wrong.txt"));
    Testing::control<QPushButton>(*s.main, "ButtonUnscramble")->click();
    QVERIFY(!QFile::exists(folder + QStringLiteral("wrong.txt")));
    QVERIFY(s.messages.shown.last().startsWith(QStringLiteral("元に戻せませんでした。")));
    // The periodic clear saves scrambled too, under the time of the save, and restarts its timer.
    Testing::control<QLineEdit>(*s.main, "Edit2")->setText(QStringLiteral("合言葉"));
    Testing::control<QCheckBox>(*s.main, "CheckBox39")->setChecked(true);
    Testing::control<QLineEdit>(*s.main, "Edit91")->setText(QStringLiteral("10"));
    s.main->PeriodicClear();
    QVERIFY(Testing::control<QTimer>(*s.main, "Timer5")->isActive());
    const auto periodic = Settings::unscrambleText(fileLines(folder + s.main->TimeStampedName() + QStringLiteral(".txt")), sj(u"合言葉"));
    QVERIFY(periodic.has_value());
    QCOMPARE(periodic->value(0), sj(u"本日の講演を始めます。"));
}

void SavingTest::limitFields() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    Ttalk2e& m = *s.main;
    Testing::control<QLineEdit>(m, "Edit92")->setText(QStringLiteral("0"));
    QVERIFY(!Testing::control<QTimer>(m, "Timer5")->isActive());
    Testing::control<QLineEdit>(m, "Edit92")->setText(QString());
    QCOMPARE(Testing::control<QLineEdit>(m, "Edit92")->text(), QStringLiteral("10"));
    QVERIFY(Testing::control<QTimer>(m, "Timer5")->isActive());
    QCOMPARE(Testing::control<QTimer>(m, "Timer5")->interval(), 600000);
    Testing::control<QLineEdit>(m, "Edit92")->setText(QStringLiteral("3"));
    QCOMPARE(Testing::control<QTimer>(m, "Timer5")->interval(), 180000);
    Testing::control<QLineEdit>(m, "Edit92")->setText(QStringLiteral("3分"));
    QCOMPARE(Testing::control<QTimer>(m, "Timer5")->interval(), 180000);
    QCOMPARE(s.messages.shown.size(), 1);
    for (const char* bad : {"", "0", "-5"}) {
        Testing::control<QLineEdit>(m, "Edit91")->setText(QString::fromLatin1(bad));
        QCOMPARE(Testing::control<QLineEdit>(m, "Edit91")->text(), QStringLiteral("1000"));
    }
    Testing::control<QCheckBox>(m, "CheckBox19")->setChecked(true);
    s.messages.shown.clear();
    Testing::control<QLineEdit>(m, "Edit4")->setText(QStringLiteral("-1"));
    QCOMPARE(Testing::control<QLineEdit>(m, "Edit4")->text(), QStringLiteral("30"));
    QCOMPARE(s.messages.shown.size(), 1);  // the size warning, once for the corrected value
    QVERIFY(s.messages.shown[0].startsWith(QStringLiteral("ログが多量になると")));
    Testing::control<QCheckBox>(m, "CheckBox19")->setChecked(false);
    Testing::control<QLineEdit>(m, "Edit4")->setText(QStringLiteral("64"));
    QCOMPARE(s.messages.shown.size(), 1);
    // A start-up file that stores 0 minutes: no periodic clear, and the warning once at start-up.
    TestStation stored(lan.net, QStringList{QStringLiteral("192.168.1.12")}, QStringLiteral("pc"), [](const QString& folder) {
        QVERIFY(Settings::writeLines(folder + QStringLiteral("自動読込表示設定.dp9"),
                                     {Settings::headerLine(), "074:0:" + sj(u"表示文の自動保存の時間間隔")}));
    });
    stored.finishStartup();
    QVERIFY(!Testing::control<QTimer>(*stored.main, "Timer5")->isActive());
    QCOMPARE(stored.messages.shown.count(Saving::kPeriodicClearOffWarning), 1);
}

void SavingTest::logSwitches() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    Ttalk2e& m = *s.main;
    Testing::control<QCheckBox>(m, "CheckBox19")->setChecked(false);
    Testing::control<QTextEdit>(m, "RichEdit3")->setPlainText(QStringLiteral("記録"));
    Testing::control<QCheckBox>(m, "CheckBox20")->click();
    QVERIFY(Testing::control<QCheckBox>(m, "CheckBox20")->isChecked());
    QCOMPARE(s.messages.asked, QStringList{QStringLiteral("説明ページを消去しますか？")});
    QCOMPARE(Testing::control<QTextEdit>(m, "RichEdit3")->toPlainText(), QStringLiteral("記録"));  // answered no
    // Checking the other switch leaves it on and the first one off.
    s.messages.answerYes = true;
    Testing::control<QCheckBox>(m, "CheckBox32")->click();
    QVERIFY(Testing::control<QCheckBox>(m, "CheckBox32")->isChecked());
    QVERIFY(!Testing::control<QCheckBox>(m, "CheckBox20")->isChecked());
    QCOMPARE(s.messages.asked.size(), 2);
    QVERIFY(Testing::control<QTextEdit>(m, "RichEdit3")->toPlainText().isEmpty());
    // Unchecking "記録を説明ページに保存" asks nothing; unchecking the other asks all the same.
    Testing::control<QCheckBox>(m, "CheckBox32")->click();
    QCOMPARE(s.messages.asked.size(), 2);
    Testing::control<QCheckBox>(m, "CheckBox20")->click();
    Testing::control<QCheckBox>(m, "CheckBox19")->setChecked(true);
    Testing::control<QCheckBox>(m, "CheckBox20")->click();
    QCOMPARE(s.messages.asked.size(), 4);
    QCOMPARE(s.messages.shown.size(), 0);  // the warning is for checking it with messages on
    Testing::control<QCheckBox>(m, "CheckBox20")->click();
    QVERIFY(s.messages.shown.value(0).startsWith(QStringLiteral("このチェックを入れると")));
}

void SavingTest::typingRate() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    Ttalk2e& m = *s.main;
    Testing::control<QLineEdit>(m, "Edit24")->setText(QStringLiteral("100"));
    Testing::control<QCheckBox>(m, "CheckBox62")->setChecked(true);  // the warning switches the figures on
    QVERIFY(Testing::control<QCheckBox>(m, "CheckBox44")->isChecked());
    QVERIFY(Testing::control<QTimer>(m, "Timer7")->isActive());
    QCOMPARE(Testing::control<QTimer>(m, "Timer7")->interval(), 60000);
    Testing::control<QCheckBox>(m, "CheckBox45")->setChecked(true);
    QVERIFY(Testing::control<QTextEdit>(m, "RichEdit3")->toPlainText().endsWith(QStringLiteral("時分秒,１分字数,１分最大,十分平均,平均最大")));
    m.record().appendToLastLine(QString(50, u'あ'));  // 100 bytes: 50 characters
    m.record().appendToLastLine(QString(100, u'a'));  // and 50 more
    m.saving().Timer7Timer();
    QCOMPARE(m.pages()->tabText(1), QStringLiteral("Now:100"));
    QVERIFY(!isYellow(Testing::control<TextPane>(m, "RichEdit1")));
    m.record().appendToLastLine(QString(101, u'字'));
    m.saving().Timer7Timer();
    QCOMPARE(m.pages()->tabText(1), QStringLiteral("Now:101"));
    QCOMPARE(m.pages()->tabText(2), QStringLiteral("Max:101"));
    QCOMPARE(m.pages()->tabText(3), QStringLiteral("Ave:20"));
    QCOMPARE(m.pages()->tabText(4), QStringLiteral("AvMx:20"));
    QVERIFY(isYellow(Testing::control<TextPane>(m, "RichEdit1")));
    QVERIFY(isYellow(Testing::control<TextPane>(*m.subInputWindow(), "RichEdit1")) && isYellow(Testing::control<TextPane>(*m.subInputWindow(), "RichEdit2")));
    QVERIFY(!isYellow(Testing::control<TextPane>(m, "RichEdit27")));
    QVERIFY(Testing::control<QTextEdit>(m, "RichEdit3")->toPlainText().endsWith(QStringLiteral("10:15:30,101,101,20,20")));
    // Off: the captions back, the two options off, the panes in their colour.
    Testing::control<QCheckBox>(m, "CheckBox44")->setChecked(false);
    QVERIFY(!Testing::control<QTimer>(m, "Timer7")->isActive());
    QCOMPARE(m.pages()->tabText(1), QStringLiteral("補助Ｗ"));
    QCOMPARE(m.pages()->tabText(4), QStringLiteral("表示２"));
    QVERIFY(!Testing::control<QCheckBox>(m, "CheckBox45")->isChecked() && !Testing::control<QCheckBox>(m, "CheckBox62")->isChecked());
    QVERIFY(!isYellow(Testing::control<TextPane>(m, "RichEdit1")) && !isYellow(Testing::control<TextPane>(*m.subInputWindow(), "RichEdit2")));
}

QTEST_MAIN(SavingTest)
#include "test_saving.moc"

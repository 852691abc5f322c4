// The caption display of a whole station: appending, the smooth screen's ticks, acceleration, the
// field rules, the word-processor screen, the typist modes and the keys of display-only mode.
#include "support/test_station.h"

#include "ui/canvas.h"

#include "core/record.h"
#include "text/cp932.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QFontMetrics>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTest>

using Testing::TestStation;

namespace {
QByteArray sj(const QString& s) { return Cp932::encode(s); }

// A started station, shown at 640 × 480.
struct Shown {
    Net::MemoryNetwork lan;
    TestStation s{lan, "192.168.1.10"};
    Ttalk2e& m = *s.main;
    Shown() {
        m.show();
        if (!QTest::qWaitForWindowExposed(&m)) qFatal("the main window was never shown");
        s.finishStartup();
    }
    // Ticks until the screen has caught up; returns how many.
    int runTicks(int limit = 10000) {
        int n = 0;
        while (Testing::control<QTimer>(m, "Timer1")->isActive() && n < limit) {
            m.Timer1Timer();
            ++n;
        }
        return n;
    }
    QString recordText() const { return m.record().document()->toPlainText(); }
};

bool hasInk(const QImage& img, int top, int bottom) {
    for (int y = qMax(0, top); y < qMin(img.height(), bottom); ++y)
        for (int x = 0; x < img.width(); x += 3)
            if (qGray(img.pixel(x, y)) < 128) return true;
    return false;
}
}  // namespace

class DisplayTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void recordStartsAsDesigned();
    void aNewLineScrollsInStepByStep();
    void accelerationDoublesTheStepWhileLinesPileUp();
    void stepFieldRules();
    void autoFitFollowsFontAndDisplay();
    void blankLineOnlyWithAndWithoutMarker();
    void markerLineInNormalMode();
    void fixedWidthSplitOfASentLine();
    void staticDisplayShowsAnInputAtOnce();
    void bookkeepingAndByteCaption();
    void wordProcessorScreenCycle();
    void recordLimitStopsTypingButNotAppends();
    void typistModesLayTheStrip();
    void displayOnlyKeys();
    void fitToWindowExample();
    void cursorCycle();
    void fontAndBackgroundButtons();
    void optionSwitches();
    void canvasShowsTheLinesAsDrawn();
};

void DisplayTest::recordStartsAsDesigned() {
    Shown w;
    QCOMPARE(w.recordText(), QStringLiteral("文先頭　\n") + QString(19, u'\n'));
    QCOMPARE(w.m.record().lineCount(), 20);
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit2")->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit2")->font().pixelSize(), 48);
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit2")->palette().color(QPalette::Base), QColor(Qt::white));
    QCOMPARE(w.m.scroller().shownLine, 20);
    QVERIFY(Testing::control<QCheckBox>(w.m, "CheckBox5")->isChecked());  // checked by the second phase of start-up
    // The record lies below the screen in the smooth screen.
    QVERIFY(Testing::control<TextPane>(w.m, "RichEdit2")->y() > w.m.screen()->size().height());
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit2")->size(), Testing::control<QFrame>(w.m, "Panel6")->size());
}

void DisplayTest::aNewLineScrollsInStepByStep() {
    Shown w;
    Testing::control<QCheckBox>(w.m, "CheckBox67")->setChecked(false);
    Testing::control<QLineEdit>(w.m, "Edit8")->setText("6");
    Testing::control<QLineEdit>(w.m, "Edit12")->setText("60");
    Testing::control<QLineEdit>(w.m, "Edit9")->setText("2");
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit10")->text(), QStringLiteral("30"));
    w.m.RedrawDisplay();
    w.m.AppendLocalLine(sj(QStringLiteral("こんにちは")));
    QVERIFY(Testing::control<QTimer>(w.m, "Timer1")->isActive());
    QCOMPARE(Testing::control<QTimer>(w.m, "Timer1")->interval(), 30);
    QCOMPARE(w.m.scroller().lineCount, 21);
    QImage& img = Testing::control<Canvas>(w.m, "Image1")->picture();
    // The new line starts below the six shown lines and rises 2 pixels a tick.
    w.m.Timer1Timer();
    QCOMPARE(w.m.scroller().stepCounter, 1);
    QVERIFY(!hasInk(img, 0, 360));
    for (int i = 1; i < 30; ++i) w.m.Timer1Timer();
    QCOMPARE(w.m.scroller().stepCounter, 30);
    QCOMPARE(w.m.scroller().shownLine, 20);
    QVERIFY(hasInk(img, 300, 360));  // 29 steps up: most of the line is on screen
    w.m.Timer1Timer();                 // the 31st tick lands it
    QCOMPARE(w.m.scroller().shownLine, 21);
    QVERIFY(!Testing::control<QTimer>(w.m, "Timer1")->isActive());
    QVERIFY(hasInk(img, 300, 360));   // the newest line is the bottom one
    QVERIFY(!hasInk(img, 0, 290));    // the lines above it are the empty start of the record
}

void DisplayTest::accelerationDoublesTheStepWhileLinesPileUp() {
    Shown w;
    Testing::control<QCheckBox>(w.m, "CheckBox67")->setChecked(false);
    Testing::control<QLineEdit>(w.m, "Edit12")->setText("60");
    Testing::control<QLineEdit>(w.m, "Edit9")->setText("2");
    for (int i = 0; i < 8; ++i) w.m.AppendReceivedLine(sj(QStringLiteral("行%1").arg(i)));
    QVERIFY(w.m.scroller().accelerating);
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit9")->text(), QStringLiteral("4"));
    QCOMPARE(w.m.scroller().scrollStep, 4);  // taken at once: the screen was between lines
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit10")->text(), QStringLiteral("15"));
    QCOMPARE(w.m.scroller().baseStep, 2);
    w.runTicks();
    QCOMPARE(w.m.scroller().shownLine, w.m.record().lineCount());
    QVERIFY(w.m.scroller().accelerating);  // it ends with the next change, which scrolls at the user's step
    w.m.AppendReceivedLine(sj(QStringLiteral("次")));
    QVERIFY(!w.m.scroller().accelerating);
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit9")->text(), QStringLiteral("2"));
    QCOMPARE(w.m.scroller().scrollStep, 2);
    QCOMPARE(w.runTicks(), 31);

    // A pile-up that starts mid-line takes the faster step from the next line on.
    for (int i = 0; i < 3; ++i) w.m.AppendReceivedLine("a");
    for (int i = 0; i < 5; ++i) w.m.Timer1Timer();
    QVERIFY(w.m.scroller().stepCounter > 0);
    for (int i = 0; i < 6; ++i) w.m.AppendReceivedLine("b");
    QVERIFY(w.m.scroller().accelerating);
    QCOMPARE(w.m.scroller().latchedStep, 2);  // this line keeps its step
    while (w.m.scroller().stepCounter != 0) w.m.Timer1Timer();
    w.m.Timer1Timer();
    QCOMPARE(w.m.scroller().latchedStep, 4);
}

void DisplayTest::stepFieldRules() {
    Shown w;
    Testing::control<QCheckBox>(w.m, "CheckBox67")->setChecked(false);
    Testing::control<QLineEdit>(w.m, "Edit12")->setText("60");
    Testing::control<QLineEdit>(w.m, "Edit9")->setText("0");
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit9")->text(), QStringLiteral("1"));
    QCOMPARE(w.m.scroller().scrollStep, 1);
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit10")->text(), QStringLiteral("60"));
    Testing::control<QLineEdit>(w.m, "Edit9")->setText("60");  // a step equal to the spacing: one tick per line
    QCOMPARE(w.m.scroller().stepsPerLine, 1);
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit10")->text(), QStringLiteral("1"));
    w.m.AppendLocalLine("x");
    QCOMPARE(w.runTicks(), 2);
    Testing::control<QLineEdit>(w.m, "Edit9")->setText("90");  // larger than the spacing: the spacing
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit9")->text(), QStringLiteral("60"));
    Testing::control<QLineEdit>(w.m, "Edit9")->setText("");  // empty: nothing
    QCOMPARE(w.m.scroller().scrollStep, 60);
    Testing::control<QLineEdit>(w.m, "Edit9")->setText("7");
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit10")->text(), QStringLiteral("8"));  // 60 / 7
    Testing::control<QLineEdit>(w.m, "Edit11")->setText("45");
    QCOMPARE(w.m.scroller().scrollInterval, 45);
    Testing::control<QLineEdit>(w.m, "Edit12")->setText("40");
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit10")->text(), QStringLiteral("5"));
    Testing::control<QPushButton>(w.m, "Button83")->click();  // "１行づつ送る"
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit9")->text(), QStringLiteral("40"));
    QCOMPARE(w.m.scroller().stepsPerLine, 1);
    Testing::control<QLineEdit>(w.m, "Edit8")->setText("9");
    QCOMPARE(w.m.scroller().visibleLines, 9);
    QCOMPARE(w.m.scroller().correctionLines, 9);
    // Any number may come from a settings file or a partner's transfer: the fields stay as given,
    // the screen takes what it can hold and keeps drawing (the sanitizer build catches overflow).
    for (const char* lines : {"2147483647", "-2147483648", "-5"}) {
        Testing::control<QLineEdit>(w.m, "Edit12")->setText("2147483647");
        Testing::control<QLineEdit>(w.m, "Edit8")->setText(lines);
        QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit8")->text(), QString::fromLatin1(lines));
        QVERIFY(w.m.scroller().visibleLines <= Core::SmoothScroller::kMostVisibleLines);
        QVERIFY(w.m.scroller().visibleLines >= -1);
        QVERIFY(w.m.scroller().lineSpacing <= 10000);
        w.m.AppendLocalLine("y");
        w.runTicks(50);
        w.m.RedrawCanvases();
    }
}

void DisplayTest::autoFitFollowsFontAndDisplay() {
    Shown w;
    // 48 px = 36 pt: spacing 48, lines = display height / 48.
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit12")->text(), QStringLiteral("48"));
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit8")->text().toInt(), Testing::control<QFrame>(w.m, "Panel6")->height() / 48);
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit10")->text(), QStringLiteral("24"));
    w.m.resize(800, 600);
    QTRY_COMPARE(Testing::control<QLineEdit>(w.m, "Edit8")->text().toInt(), Testing::control<QFrame>(w.m, "Panel6")->height() / 48);
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit18")->text(), QStringLiteral("800"));
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit19")->text(), QStringLiteral("600"));
    // Lines to spacing: the spacing from the lines, the automatic fit switched off.
    Testing::control<QLineEdit>(w.m, "Edit8")->setText("5");
    Testing::control<QPushButton>(w.m, "Button9")->click();
    QVERIFY(!Testing::control<QCheckBox>(w.m, "CheckBox67")->isChecked());
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit12")->text().toInt(), Testing::control<QFrame>(w.m, "Panel6")->height() / 5);
}

void DisplayTest::blankLineOnlyWithAndWithoutMarker() {
    {
        Shown w;
        Testing::control<QCheckBox>(w.m, "CheckBox8")->setChecked(true);
        const int before = w.m.record().recordLineCount();
        w.m.AppendLocalLine("A");
        w.m.AppendLocalLine("B");
        w.m.AppendLocalLine("");
        QCOMPARE(w.m.record().recordLineCount(), before + 1);
        const QStringList lines = w.recordText().split(u'\n');
        QCOMPARE(lines[lines.size() - 3], QStringLiteral("AB"));
        QCOMPARE(lines[lines.size() - 2], QString());  // the new empty line
    }
    {
        Shown w;
        Testing::control<QCheckBox>(w.m, "CheckBox8")->setChecked(true);
        Testing::control<QCheckBox>(w.m, "CheckBox50")->setChecked(true);
        w.m.AppendLocalLine("A");
        QVERIFY(w.recordText().endsWith(QStringLiteral("A◆\n")));
        w.m.AppendLocalLine("B");
        QVERIFY(w.recordText().endsWith(QStringLiteral("AB◆\n")));
        w.m.AppendLocalLine("");
        QVERIFY(w.recordText().endsWith(QStringLiteral("AB\n■\n")));
        w.m.AppendReceivedLine("C");
        QVERIFY(w.recordText().endsWith(QStringLiteral("AB\nC◆\n")));
    }
}

void DisplayTest::markerLineInNormalMode() {
    Shown w;
    const QString start = w.recordText();
    Testing::control<QCheckBox>(w.m, "CheckBox50")->setChecked(true);
    w.m.AppendLocalLine("one");  // the last line was not a marker: nothing of the record is taken
    QCOMPARE(w.recordText(), start + QStringLiteral("one\n■\n"));
    w.m.AppendReceivedLine("two");
    QCOMPARE(w.recordText(), start + QStringLiteral("one\ntwo\n■\n"));
    // Three record changes per shown text: the marker removed, the text, the marker again.
    QCOMPARE(w.m.displayLog().changeLengths()[0], 4);
    QCOMPARE(w.m.displayLog().changeLengths()[1], 5);
    QCOMPARE(w.m.displayLog().changeLengths()[2], -4);
    // Refused while ruby sending is on.
    Testing::control<QCheckBox>(w.m, "CheckBox50")->setChecked(false);
    Testing::control<QCheckBox>(w.m, "CheckBox46")->setChecked(true);
    Testing::control<QCheckBox>(w.m, "CheckBox50")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(w.m, "CheckBox50")->isChecked());
    QVERIFY(w.s.messages.shown.last().startsWith(QStringLiteral("「補助Ｗ」ページの「ルビ送信」のチェック")));
}

void DisplayTest::fixedWidthSplitOfASentLine() {
    Shown w;
    Testing::control<QLineEdit>(*w.m.subInputWindow(), "Edit20")->setText("20");
    const QByteArray text = QByteArray(10, 'x') + sj(QStringLiteral("`rよみ`s")) + QByteArray(40, 'y');
    w.m.ShowSplitLine(text);
    const QStringList lines = w.recordText().split(u'\n');
    QCOMPARE(lines[lines.size() - 4], QStringLiteral("xxxxxxxxxx`rよみ`syyyyyyyyyy"));
    QCOMPARE(lines[lines.size() - 3], QString(20, u'y'));
    QCOMPARE(lines[lines.size() - 2], QString(10, u'y'));
    QCOMPARE(w.m.displayLog().history()[0], QByteArray(10, 'y'));
    QCOMPARE(w.m.displayLog().history()[2], QByteArray(10, 'x') + sj(QStringLiteral("`rよみ`s")) + QByteArray(10, 'y'));
}

void DisplayTest::staticDisplayShowsAnInputAtOnce() {
    Shown w;
    Testing::control<QCheckBox>(w.m, "CheckBox8")->setChecked(true);
    Testing::control<QCheckBox>(w.m, "CheckBox84")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(w.m, "CheckBox8")->isChecked());
    const int before = w.m.record().lineCount();
    w.m.AppendLocalLine(sj(QStringLiteral("一気に\r\n表示する")));
    QCOMPARE(w.m.scroller().visibleLines, 2);
    QCOMPARE(w.m.scroller().shownLine, before + 2);
    QCOMPARE(w.runTicks(), 1);  // drawn in one tick
    Testing::control<QCheckBox>(w.m, "CheckBox84")->setChecked(false);
    QCOMPARE(w.m.scroller().visibleLines, Testing::control<QLineEdit>(w.m, "Edit8")->text().toInt());
}

void DisplayTest::bookkeepingAndByteCaption() {
    Shown w;
    const qsizetype start = w.m.record().byteLength();
    QCOMPARE(w.m.displayLog().lastRecordLength(), start);
    w.m.AppendLocalLine(sj(QStringLiteral("あいう")));
    QCOMPARE(w.m.displayLog().changeLengths()[0], 8);  // six bytes and the line break
    QCOMPARE(w.m.displayLog().lastRecordLength(), start + 8);
    w.m.displayLog().setUndoInProgress(true);
    w.m.AppendLocalLine("x");
    QCOMPARE(w.m.displayLog().changeLengths()[0], 8);  // suspended
    w.m.displayLog().setUndoInProgress(false);
    for (int i = 0; i < 20; ++i) w.m.AppendLocalLine("ab");
    QCOMPARE(w.m.displayLog().changeLengths()[14], 4);  // only the newest 15 are kept
    Testing::control<QCheckBox>(w.m, "CheckBox37")->setChecked(true);
    QCOMPARE(w.m.pages()->tabText(0), QString::number(w.m.record().byteLength()) + "Byte");
    w.m.AppendLocalLine("c");
    QCOMPARE(w.m.pages()->tabText(0), QString::number(w.m.record().byteLength()) + "Byte");
    Testing::control<QCheckBox>(w.m, "CheckBox37")->setChecked(false);
    QCOMPARE(w.m.pages()->tabText(0), QStringLiteral("表示・入力"));
}

void DisplayTest::wordProcessorScreenCycle() {
    Shown w;
    QCOMPARE(Testing::control<QPushButton>(w.m, "Button12")->text(), QStringLiteral("ワ"));
    Testing::control<QPushButton>(w.m, "Button12")->click();
    QVERIFY(w.m.wordProcessorMode());
    QCOMPARE(Testing::control<QPushButton>(w.m, "Button12")->text(), QStringLiteral("止"));
    QVERIFY(!Testing::control<QPushButton>(w.m, "Button14")->isHidden());
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit2")->geometry(), QRect(QPoint(0, 0), Testing::control<QFrame>(w.m, "Panel6")->size()));
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit2")->document(), w.m.record().document());  // the record itself, editable
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit2")->toPlainText(), w.recordText());
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit27")->x(), 75);
    QVERIFY(!Testing::control<QTimer>(w.m, "Timer1")->isActive());
    w.m.AppendReceivedLine("in the word processor");
    QVERIFY(!Testing::control<QTimer>(w.m, "Timer1")->isActive());  // nothing scrolls while the record is shown
    Testing::control<QPushButton>(w.m, "Button12")->click();
    QCOMPARE(Testing::control<QPushButton>(w.m, "Button12")->text(), QStringLiteral("動"));
    QVERIFY(Testing::control<QCheckBox>(w.m, "CheckBox85")->isChecked());
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit1")->palette().color(QPalette::Base), QColor(255, 0, 0));
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit1")->focusPolicy(), Qt::ClickFocus);
    Testing::control<QPushButton>(w.m, "Button12")->click();
    QCOMPARE(Testing::control<QPushButton>(w.m, "Button12")->text(), QStringLiteral("止"));
    QVERIFY(!Testing::control<QCheckBox>(w.m, "CheckBox85")->isChecked());
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit1")->palette().color(QPalette::Base), QColor(Qt::white));
    Testing::control<QPushButton>(w.m, "Button12")->click();
    QVERIFY(Testing::control<QCheckBox>(w.m, "CheckBox85")->isChecked());
    Testing::control<QPushButton>(w.m, "Button13")->click();  // "再" leaves from any state
    QVERIFY(!w.m.wordProcessorMode());
    QCOMPARE(Testing::control<QPushButton>(w.m, "Button12")->text(), QStringLiteral("ワ"));
    QVERIFY(!Testing::control<QCheckBox>(w.m, "CheckBox85")->isChecked());
    QVERIFY(Testing::control<QPushButton>(w.m, "Button14")->isHidden());
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit27")->x(), 50);
    QVERIFY(Testing::control<TextPane>(w.m, "RichEdit2")->y() > w.m.screen()->size().height());
    QCOMPARE(w.m.scroller().shownLine, w.m.record().lineCount());
    QVERIFY(Testing::control<TextPane>(w.m, "RichEdit2")->document() != w.m.record().document());
    QVERIFY(w.recordText().endsWith(QStringLiteral("in the word processor\n")));
}

void DisplayTest::recordLimitStopsTypingButNotAppends() {
    Shown w;
    const QByteArray chunk = QByteArray(1000, 'z');
    while (w.m.record().byteLength() < Ttalk2e::kRecordLimit) w.m.AppendReceivedLine(chunk);
    const qsizetype full = w.m.record().byteLength();
    QVERIFY(full > Ttalk2e::kRecordLimit);
    w.m.AppendReceivedLine(sj(QStringLiteral("最後の行")));  // lines of the program are always shown
    QVERIFY(w.recordText().endsWith(QStringLiteral("最後の行\n")));
    const qsizetype after = w.m.record().byteLength();
    Testing::control<QPushButton>(w.m, "Button12")->click();
    Testing::control<TextPane>(w.m, "RichEdit2")->setFocus();
    Testing::control<TextPane>(w.m, "RichEdit2")->moveCursor(QTextCursor::End);
    QTest::keyClicks(Testing::control<TextPane>(w.m, "RichEdit2"), "typed");
    QCOMPARE(w.m.record().byteLength(), after);  // what a person types stops at the limit
    QTest::keyClick(Testing::control<TextPane>(w.m, "RichEdit2"), Qt::Key_Backspace);
    QCOMPARE(w.m.record().byteLength(), after - 2);  // the empty line's break
}

void DisplayTest::typistModesLayTheStrip() {
    Shown w;
    const int W = Testing::control<QFrame>(w.m, "Panel6")->width();
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit1")->geometry(), QRect(0, 27, W, 24));
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit27")->geometry(), QRect(50, 3, W - 50, 24));
    QCOMPARE(Testing::control<QFrame>(w.m, "Panel1")->height(), 51);
    Testing::control<QLineEdit>(w.m, "Edit6")->setText("0");  // no monitor lines: a pane of height 0, buttons of 3
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit27")->height(), 0);
    QCOMPARE(Testing::control<QPushButton>(w.m, "Button13")->height(), 3);
    QCOMPARE(Testing::control<QFrame>(w.m, "Panel1")->height(), 27);
    Testing::control<QLineEdit>(w.m, "Edit6")->setText("1");
    Testing::control<QLineEdit>(w.m, "Edit96")->setText("2");
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit1")->height(), 48);
    Testing::control<QPushButton>(w.m, "Button15")->click();  // one typist
    QCOMPARE(w.m.typistMode(), 1);
    QVERIFY(Testing::control<TextPane>(w.m, "RichEdit27")->isHidden());
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit1")->geometry(), QRect(50, 3, Testing::control<QFrame>(w.m, "Panel6")->width() - 50, 48));
    QCOMPARE(Testing::control<QPushButton>(w.m, "Button13")->height(), 51);
    Testing::control<QPushButton>(w.m, "Button16")->click();  // display only
    QCOMPARE(w.m.typistMode(), 0);
    QVERIFY(Testing::control<QFrame>(w.m, "Panel1")->isHidden());
    QVERIFY(!Testing::control<QLineEdit>(w.m, "Edit77")->isHidden());
    QVERIFY(Testing::control<QLineEdit>(w.m, "Edit77")->hasFocus());
    QCOMPARE(Testing::control<QFrame>(w.m, "Panel6")->cursor().shape(), Qt::BlankCursor);
    QVERIFY(w.s.messages.shown.last().startsWith(QStringLiteral("表示専用（「０人」）にしたので")));
    Testing::control<QPushButton>(w.m, "Button17")->click();
    QCOMPARE(w.m.typistMode(), 2);
    QVERIFY(!Testing::control<QFrame>(w.m, "Panel1")->isHidden());
    QCOMPARE(Testing::control<QFrame>(w.m, "Panel6")->cursor().shape(), Qt::ArrowCursor);
}

void DisplayTest::displayOnlyKeys() {
    Shown w;
    Testing::control<QPushButton>(w.m, "Button16")->click();
    QVERIFY(Testing::control<QCheckBox>(w.m, "CheckBox67")->isChecked());
    w.s.messages.shown.clear();
    QTest::keyClick(Testing::control<QLineEdit>(w.m, "Edit77"), Qt::Key_F1);
    QVERIFY(w.m.isFrameless());
    QVERIFY(w.m.pages()->isHidden());
    QVERIFY(!Testing::control<Canvas>(w.m, "Image2")->isHidden());
    QVERIFY(w.m.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!Testing::control<QCheckBox>(w.m, "CheckBox67")->isChecked());
    QCOMPARE(w.s.messages.shown.size(), 1);
    QVERIFY(w.s.messages.shown[0].startsWith(QStringLiteral("タグを消します。")));
    // In the frameless screen the lines are drawn on the window's own canvas.
    w.m.AppendReceivedLine(sj(QStringLiteral("枠なし")));
    w.runTicks();
    QVERIFY(hasInk(Testing::control<Canvas>(w.m, "Image2")->picture(), 0, w.m.height()));
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit77")->text(), QString());  // keys are swallowed
    QTest::keyClick(Testing::control<QLineEdit>(w.m, "Edit77"), Qt::Key_F1);
    QVERIFY(!w.m.isFrameless());
    QVERIFY(!w.m.pages()->isHidden());
    QVERIFY(Testing::control<QCheckBox>(w.m, "CheckBox67")->isChecked());  // back as it was
    QCOMPARE(w.s.messages.shown.size(), 1);  // no tabs were shown, so no explanation
    // F2 jumps to the newest lines.
    w.m.AppendReceivedLine("x");
    QTest::keyClick(Testing::control<QLineEdit>(w.m, "Edit77"), Qt::Key_F2);
    QCOMPARE(w.m.scroller().shownLine, w.m.record().lineCount());
    QVERIFY(!Testing::control<QTimer>(w.m, "Timer1")->isActive());
    // Not in the word-processor screen.
    Testing::control<QPushButton>(w.m, "Button12")->click();  // "ワ"
    QVERIFY(w.m.wordProcessorMode());
    QTest::keyClick(Testing::control<QLineEdit>(w.m, "Edit77"), Qt::Key_F1);
    QVERIFY(!w.m.isFrameless());
    QCOMPARE(w.s.messages.shown.last(), QStringLiteral("ワープロ画面の時は、「枠なし」にできません。"));
}

void DisplayTest::fitToWindowExample() {
    Shown w;
    w.m.resize(640, 480);
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPointSize(24);
    w.s.dialogs.fonts.push_back(f);
    Testing::control<QPushButton>(w.m, "Button1")->click();
    Testing::control<QCheckBox>(w.m, "CheckBox67")->setChecked(true);
    Testing::control<QLineEdit>(w.m, "Edit9")->setText("2");
    QTRY_COMPARE(w.m.height(), 480);
    w.m.FitToWindow();
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit8")->text(), QStringLiteral("10"));
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit12")->text(), QStringLiteral("42"));
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit10")->text(), QStringLiteral("21"));
    // With the automatic fit off, F3 only says so.
    Testing::control<QCheckBox>(w.m, "CheckBox67")->setChecked(false);
    Testing::control<QLineEdit>(w.m, "Edit8")->setText("3");
    w.m.FitToWindow();
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit8")->text(), QStringLiteral("3"));
    QCOMPARE(w.s.messages.shown.last(), QStringLiteral("「表示１」ページの「行間を自動調整する」のチェックが入ってません。"));
}

void DisplayTest::cursorCycle() {
    Shown w;
    w.m.CanvasClick();
    QCOMPARE(Testing::control<QFrame>(w.m, "Panel6")->cursor().shape(), Qt::ArrowCursor);  // off: nothing changes
    Testing::control<QCheckBox>(w.m, "CheckBox68")->setChecked(true);
    Testing::control<QFrame>(w.m, "Panel6")->setCursor(Qt::BlankCursor);
    emit Testing::control<Canvas>(w.m, "Image1")->clicked();
    QCOMPARE(Testing::control<QFrame>(w.m, "Panel6")->cursor().shape(), Qt::ArrowCursor);
    emit Testing::control<Canvas>(w.m, "Image1")->clicked();
    QCOMPARE(Testing::control<QFrame>(w.m, "Panel6")->cursor().shape(), Qt::PointingHandCursor);
    emit Testing::control<Canvas>(w.m, "Image2")->clicked();
    QCOMPARE(Testing::control<QFrame>(w.m, "Panel6")->cursor().shape(), Qt::BlankCursor);
    QCOMPARE(w.m.cursor().shape(), Qt::BlankCursor);
    Testing::control<QCheckBox>(w.m, "CheckBox68")->setChecked(false);
    QCOMPARE(Testing::control<QFrame>(w.m, "Panel6")->cursor().shape(), Qt::ArrowCursor);
}

void DisplayTest::fontAndBackgroundButtons() {
    Shown w;
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(32);
    w.s.dialogs.fonts.push_back(f);
    w.m.pages()->setCurrentIndex(3);
    Testing::control<QPushButton>(w.m, "Button1")->click();
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit2")->font().pixelSize(), 32);
    QCOMPARE(Testing::control<Canvas>(w.m, "Image1")->font().pixelSize(), 32);
    QCOMPARE(Testing::control<QPlainTextEdit>(w.m, "Memo3")->font().pixelSize(), 32);
    QCOMPARE(w.m.pages()->currentIndex(), 0);
    QCOMPARE(Testing::control<QLineEdit>(w.m, "Edit12")->text(), QStringLiteral("32"));  // the automatic fit ran
    w.s.dialogs.colours.push_back(QColor(0, 0, 64));
    Testing::control<QPushButton>(w.m, "Button2")->click();
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit2")->palette().color(QPalette::Base), QColor(0, 0, 64));
    QCOMPARE(Testing::control<Canvas>(w.m, "Image1")->picture().pixelColor(3, 3), QColor(0, 0, 64));
    Testing::control<QPushButton>(w.m, "Button2")->click();  // cancelled: unchanged
    QCOMPARE(Testing::control<TextPane>(w.m, "RichEdit2")->palette().color(QPalette::Base), QColor(0, 0, 64));
}

void DisplayTest::optionSwitches() {
    Shown w;
    w.m.record().setText(QStringLiteral("a\nb\n"));
    QCOMPARE(w.m.scroller().lineCount, 2);
    Testing::control<QCheckBox>(w.m, "CheckBox8")->setChecked(true);  // fewer than 20 lines: filler is added
    QVERIFY(w.recordText().contains(QStringLiteral("＜空行のみ改行のための行追加しました＞\n")));
    QCOMPARE(w.m.record().recordLineCount(), 2 + 1 + 20);
    QCOMPARE(w.m.scroller().shownLine, w.m.record().lineCount());
    Testing::control<QCheckBox>(w.m, "CheckBox50")->setChecked(true);
    Testing::control<QCheckBox>(w.m, "CheckBox84")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(w.m, "CheckBox8")->isChecked());
    QVERIFY(!Testing::control<QCheckBox>(w.m, "CheckBox50")->isChecked());
}

// The lines drawn one by one at their positions, as the canvas must show them.
QImage linesAsDrawn(Ttalk2e& m, const std::vector<Core::SmoothScroller::Placed>& placed, const QImage& like) {
    QImage ref(like.size(), QImage::Format_RGB32);
    ref.fill(Testing::control<TextPane>(m, "RichEdit2")->palette().color(QPalette::Base));
    QPainter p(&ref);
    p.setFont(Testing::control<TextPane>(m, "RichEdit2")->font());
    p.setPen(Testing::control<TextPane>(m, "RichEdit2")->palette().color(QPalette::Text));
    const int ascent = QFontMetrics(Testing::control<TextPane>(m, "RichEdit2")->font()).ascent();
    for (const auto& line : placed) p.drawText(QPoint(Ttalk2e::kTextLeft, line.y + ascent), m.record().displayLine(line.line));
    return ref;
}

void DisplayTest::canvasShowsTheLinesAsDrawn() {
    Shown w;
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(48);
    w.s.dialogs.fonts.push_back(f);
    Testing::control<QPushButton>(w.m, "Button1")->click();
    Testing::control<QCheckBox>(w.m, "CheckBox67")->setChecked(false);
    Testing::control<QLineEdit>(w.m, "Edit8")->setText("5");
    Testing::control<QLineEdit>(w.m, "Edit12")->setText("48");  // lines closer than the font is high: descenders reach the next line
    for (const char* t : {"gjpqy Typography", "jumping quickly", "ぎゃぴょ gjpqy", "yyy ggg", "Quality"})
        w.m.AppendReceivedLine(t);
    w.runTicks();
    w.m.RedrawDisplay();
    QVERIFY(hasInk(Testing::control<Canvas>(w.m, "Image1")->picture(), 0, 400));
    QVERIFY(Testing::control<Canvas>(w.m, "Image1")->picture() == linesAsDrawn(w.m, w.m.scroller().placement(), Testing::control<Canvas>(w.m, "Image1")->picture()));
    // In the middle of a scroll, every tick.
    w.m.AppendReceivedLine("gypsy jig");
    for (int i = 0; i < 7 && Testing::control<QTimer>(w.m, "Timer1")->isActive(); ++i) {
        const auto placed = w.m.scroller().placement();
        w.m.Timer1Timer();
        QVERIFY2(Testing::control<Canvas>(w.m, "Image1")->picture() == linesAsDrawn(w.m, placed, Testing::control<Canvas>(w.m, "Image1")->picture()), qPrintable(QString::number(i)));
    }
    // The frameless screen.
    w.runTicks();
    Testing::control<QPushButton>(w.m, "Button16")->click();  // display only
    QTest::keyClick(Testing::control<QLineEdit>(w.m, "Edit77"), Qt::Key_F1);
    QVERIFY(w.m.isFrameless());
    w.m.RedrawFrameless();
    QVERIFY(Testing::control<Canvas>(w.m, "Image2")->picture() == linesAsDrawn(w.m, w.m.scroller().placement(), Testing::control<Canvas>(w.m, "Image2")->picture()));
}

QTEST_MAIN(DisplayTest)
#include "test_display.moc"

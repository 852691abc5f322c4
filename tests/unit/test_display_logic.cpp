// The record's byte and line bookkeeping, the scroller's arithmetic and the fixed-width split.
#include "core/columns.h"
#include "core/record.h"
#include "core/scroller.h"
#include "text/cp932.h"

#include <QFontMetrics>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTextCursor>
#include <QTextDocument>
#include <QTest>

using namespace Core;

namespace {
// What the record's text weighs when written out with CR LF breaks.
qsizetype bytesOnDisk(const QTextDocument& d) {
    QString t = d.toPlainText();
    t.replace(u'\n', QLatin1String("\r\n"));
    return Cp932::encode(t).size();
}
QByteArray sj(const char* utf8) { return Cp932::encode(QString::fromUtf8(utf8)); }
}  // namespace

class DisplayLogicTest : public QObject {
    Q_OBJECT
private slots:
    void initialRecordWeighsItsBytes();
    void bookkeepingFollowsEveryKindOfEdit();
    void displayLinesWrapAtTheWidth();
    void bytePositionsRoundTrip();
    void lineEditsKeepTheBreakAtTheEnd();
    void scrollerTakesThirtyTicksPerLine();
    void scrollerPlacesLinesFromTheBottom();
    void columnsIgnoreRubyAndBackquotePairs();
    void fixedWidthSplit_data();
    void fixedWidthSplit();
    void splitNeverCutsADoubleByteCharacter();
};

void DisplayLogicTest::initialRecordWeighsItsBytes() {
    QTextDocument doc;
    Record r(&doc);
    r.setText(QStringLiteral("文先頭　\n") + QString(19, u'\n'));
    QCOMPARE(r.byteLength(), 8 + 20 * 2);
    QCOMPARE(r.byteLength(), bytesOnDisk(doc));
    QCOMPARE(r.recordLineCount(), 20);
    QCOMPARE(r.lineCount(), 20);  // no width yet: one display line per record line
    QVERIFY(r.endsWithLineBreak());
    QCOMPARE(r.displayLine(0), QStringLiteral("文先頭　"));
    QCOMPARE(r.displayLine(19), QString());
    QCOMPARE(r.displayLine(20), QString());
    QCOMPARE(r.displayLine(-1), QString());
}

void DisplayLogicTest::bookkeepingFollowsEveryKindOfEdit() {
    QTextDocument doc;
    Record r(&doc);
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(20);
    r.setWrap(f, 300);
    QSignalSpy changes(&r, &Record::changed);
    int edits = 0;
    auto* rng = QRandomGenerator::global();
    const QStringList pieces{"あ", "a", "\n", "漢字", "ｱｲ", "\n\n", "長い行の文章がここに入ります。", " ", "①"};
    for (int i = 0; i < 400; ++i) {
        QTextCursor c(&doc);
        const int n = doc.characterCount() - 1;
        const int a = int(rng->bounded(n + 1)), b = int(rng->bounded(n + 1));
        c.setPosition(qMin(a, b));
        c.setPosition(qMax(a, b), QTextCursor::KeepAnchor);
        const QString before = doc.toPlainText();
        if (rng->bounded(3) == 0) c.removeSelectedText();
        else c.insertText(pieces[int(rng->bounded(pieces.size()))]);
        if (doc.toPlainText() != before) ++edits;
        QCOMPARE(r.byteLength(), bytesOnDisk(doc));
        // The line bookkeeping matches a fresh measure of the same text.
        QTextDocument copy;
        copy.setPlainText(doc.toPlainText());
        Record fresh(&copy);
        fresh.setWrap(f, 300);
        QCOMPARE(r.lineCount(), fresh.lineCount());
    }
    // One report per edit that touched the text (replacing "a" by "a" counts), none for the others.
    QVERIFY(changes.size() >= edits && changes.size() <= 400);
}

void DisplayLogicTest::displayLinesWrapAtTheWidth() {
    QTextDocument doc;
    Record r(&doc);
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(48);
    r.setWrap(f, 500);
    const QString longLine = QStringLiteral("本日は要約筆記の研修会にお越しいただき、ありがとうございます。");
    r.addLine(QStringLiteral("短い"));
    r.addLine(longLine);
    QVERIFY(r.lineCount() >= 4);  // ~30 full-width glyphs of 48 px in 500 px
    QString joined;
    for (int i = 1; i < r.lineCount(); ++i) {
        const QString line = r.displayLine(i);
        QVERIFY(!line.isEmpty());
        QVERIFY(QFontMetrics(f).horizontalAdvance(line.trimmed()) <= 500);
        joined += line;
    }
    QCOMPARE(joined, longLine);
    QCOMPARE(r.displayLine(0), QStringLiteral("短い"));
    // A narrower display gives more display lines for the same record.
    const int before = r.lineCount();
    r.setWrap(f, 250);
    QVERIFY(r.lineCount() > before);
}

void DisplayLogicTest::bytePositionsRoundTrip() {
    QTextDocument doc;
    Record r(&doc);
    r.setText(QStringLiteral("ab\nあい\n\nｱ漢字\n"));
    // a b CR LF あ(2) い(2) CR LF CR LF ｱ 漢(2) 字(2) CR LF
    QCOMPARE(r.byteLength(), 2 + 2 + 4 + 2 + 2 + 5 + 2);
    QCOMPARE(r.positionOfByte(0), 0);
    QCOMPARE(r.positionOfByte(2), 2);
    QCOMPARE(r.positionOfByte(4), 3);   // after the first break: "あ"
    QCOMPARE(r.positionOfByte(6), 4);   // "い"
    QCOMPARE(r.positionOfByte(5), 3);   // inside "あ": whole characters only
    QCOMPARE(r.positionOfByte(3), 3);   // inside the break: after it
    for (int p = 0; p < doc.characterCount(); ++p) QCOMPARE(r.positionOfByte(r.byteOfPosition(p)), p);
    // Remove "い" and the following break by bytes.
    r.removeBytes(6, 4);
    QCOMPARE(doc.toPlainText(), QStringLiteral("ab\nあ\nｱ漢字\n"));
}

void DisplayLogicTest::lineEditsKeepTheBreakAtTheEnd() {
    QTextDocument doc;
    Record r(&doc);
    r.addLine(QStringLiteral("A"));
    r.appendToLastLine(QStringLiteral("B"));
    QCOMPARE(doc.toPlainText(), QStringLiteral("AB\n"));
    r.addLine(QString());
    QCOMPARE(doc.toPlainText(), QStringLiteral("AB\n\n"));
    QCOMPARE(r.recordLineCount(), 2);
    QCOMPARE(r.lastLine(), QString());
    r.addLine(QStringLiteral("x\r\ny"));  // a line typed with Ctrl+Enter is two record lines
    QCOMPARE(r.recordLineCount(), 4);
    QVERIFY(r.removeLastCharOfLastLine());
    QCOMPARE(doc.toPlainText(), QStringLiteral("AB\n\nx\n\n"));
    QVERIFY(!r.removeLastCharOfLastLine());  // the last line is now empty
    r.removeLastLine();
    QCOMPARE(doc.toPlainText(), QStringLiteral("AB\n\nx\n"));
    // A record that lost its final break gets one before a new line.
    r.setText(QStringLiteral("tail"));
    r.addLine(QStringLiteral("next"));
    QCOMPARE(doc.toPlainText(), QStringLiteral("tail\nnext\n"));
}

void DisplayLogicTest::scrollerTakesThirtyTicksPerLine() {
    SmoothScroller s;  // defaults: spacing 60, step 2, 30 steps
    s.jumpToEnd(20);
    s.lineCount = 21;  // one new line
    int ticks = 0;
    bool running = true;
    std::vector<int> bottomY;
    while (running && ticks < 100) {
        if (s.stepCounter == 0) s.latch();
        bottomY.push_back(s.placement().back().y);
        running = s.advance();
        ++ticks;
    }
    QCOMPARE(ticks, 31);  // 30 steps of 2 pixels, then the line is in
    QCOMPARE(bottomY.front(), 6 * 60);
    QCOMPARE(bottomY[1], 6 * 60 - 2);
    QCOMPARE(bottomY.back(), 6 * 60 - 60);  // moved up by exactly one spacing
    QCOMPARE(s.shownLine, 21);
    QCOMPARE(s.stepCounter, 0);
    // Caught up: a tick draws and stops.
    s.latch();
    QVERIFY(!s.advance());
}

void DisplayLogicTest::scrollerPlacesLinesFromTheBottom() {
    SmoothScroller s;
    s.visibleLines = 3;
    s.jumpToEnd(10);
    s.latch();
    const auto p = s.placement();
    QCOMPARE(int(p.size()), 4);
    QCOMPARE(p[0].line, 7);
    QCOMPARE(p[3].line, 10);  // the line brought in at the bottom
    QCOMPARE(p[3].y, 180);
    s.jumpToEnd(1);
    QCOMPARE(s.placement()[0].line, -2);  // outside the record: drawn empty

    // Line counts and spacings from a file or a partner's transfer: nothing or a bounded screen.
    s.visibleLines = -5;
    QVERIFY(s.placement().empty());
    s.visibleLines = 0;
    QCOMPARE(int(s.placement().size()), 1);
    s.visibleLines = 2147483647;
    s.lineSpacing = 2147483647;
    s.latch();
    const auto most = s.placement();
    QCOMPARE(int(most.size()), SmoothScroller::kMostVisibleLines + 1);
    QCOMPARE(most.back().line, 1);
    QCOMPARE(most.back().y, 2147483647);
}

void DisplayLogicTest::columnsIgnoreRubyAndBackquotePairs() {
    QCOMPARE(Columns("abc"), 3);
    QCOMPARE(Columns(sj("漢字")), 4);
    QCOMPARE(Columns(sj("`rかんじ`s漢字")), 4);
    QCOMPARE(Columns(sj("a`1b`2c")), 3);
    QCOMPARE(CutAt(sj("ab`rよみ`scd"), 2), 2);  // the reading goes with what follows it
    QCOMPARE(CutAt(sj("ab`rよみ`scd"), 3), 2 + 2 + 4 + 2 + 1);
    QCOMPARE(CutAt("abc", 10), 3);
    QCOMPARE(ColumnsUpTo("abcdef", 4), 4);
    QCOMPARE(ColumnsUpTo("ab", 4), 2);
    // Characters whose second byte is 0x60, the byte of "`", are two columns like any other.
    for (const char* c : {"Ａ", "チ", "～", "形", "港", "伝", "描", "義"}) {
        QCOMPARE(sj(c).at(1), '`');
        QCOMPARE(Columns(sj(c)), 2);
    }
    QCOMPARE(Columns(sj("Ａ`rよみ`sＡ")), 4);
    QCOMPARE(CutAt(sj("チチチ"), 3), 3);  // the middle of the second: the split's cut rule moves it left
}

void DisplayLogicTest::fixedWidthSplit_data() {
    QTest::addColumn<QByteArray>("last");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("blankOnly");
    QTest::addColumn<QList<QByteArray>>("pieces");
    const QByteArray t50 = QByteArray(50, 'x');
    QTest::newRow("empty gives one empty line") << QByteArray("abc") << QByteArray() << false
                                                << QList<QByteArray>{QByteArray()};
    QTest::newRow("empty in blank-line-only mode") << QByteArray("abc") << QByteArray() << true
                                                   << QList<QByteArray>{QByteArray()};
    QTest::newRow("empty after a full last line") << QByteArray(20, 'z') << QByteArray() << true
                                                  << QList<QByteArray>{QByteArray()};
    QTest::newRow("50 into 20 20 10") << QByteArray() << t50 << false
                                      << QList<QByteArray>{QByteArray(20, 'x'), QByteArray(20, 'x'), QByteArray(10, 'x')};
    const QByteArray ruby = sj("`rよみ`s") + QByteArray(25, 'y');
    QTest::newRow("ruby counts nothing") << QByteArray() << QByteArray(10, 'x') + ruby << false
                                         << QList<QByteArray>{QByteArray(10, 'x') + sj("`rよみ`s") + QByteArray(10, 'y'),
                                                              QByteArray(15, 'y')};
    QTest::newRow("fits") << QByteArray() << QByteArray("short") << false << QList<QByteArray>{"short"};
    QTest::newRow("blank: fits on the last line") << QByteArray("abc") << QByteArray("def") << true
                                                  << QList<QByteArray>{"def"};
    QTest::newRow("blank: fills the last line first")
        << QByteArray(15, 'a') << QByteArray(30, 'x') << true
        << QList<QByteArray>{QByteArray(5, 'x'), QByteArray(), QByteArray(20, 'x'), QByteArray(), QByteArray(5, 'x')};
    QTest::newRow("blank: exactly two widths")
        << QByteArray() << QByteArray(40, 'x') << true
        << QList<QByteArray>{QByteArray(20, 'x'), QByteArray(), QByteArray(20, 'x')};
}

void DisplayLogicTest::fixedWidthSplit() {
    QFETCH(QByteArray, last);
    QFETCH(QByteArray, text);
    QFETCH(bool, blankOnly);
    QFETCH(QList<QByteArray>, pieces);
    QCOMPARE(SplitFixedWidth(last, text, 20, blankOnly), pieces);
}

void DisplayLogicTest::splitNeverCutsADoubleByteCharacter() {
    const QByteArray text = sj("あ") + "a" + sj("いうえおかきくけこさしすせそたちつてとな");  // odd offsets
    const auto pieces = SplitFixedWidth({}, text, 20, false);
    QByteArray joined;
    for (const QByteArray& p : pieces) {
        QVERIFY(p.size() <= 20);
        QCOMPARE(Cp932::safeCut(p, p.size()), p.size());
        QVERIFY(!Cp932::decode(p).contains(u'@'));
        joined += p;
    }
    QCOMPARE(joined, text);
    // A width smaller than one character still moves on.
    QCOMPARE(SplitFixedWidth({}, sj("あい"), 1, false).size(), 2);
}

QTEST_MAIN(DisplayLogicTest)
#include "test_display_logic.moc"

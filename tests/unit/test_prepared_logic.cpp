// The widget-free logic of prepared text: F1 on a pre-roll and where its caret goes, the monitor
// feed around the caret, appending a file in slices, the palette queue, the karaoke arithmetic,
// ruby in the display, monitor parts under their byte limit, and the wire forms of these windows.
#include "core/karaoke.h"
#include "core/limited_lines.h"
#include "core/palette_queue.h"
#include "core/panel_height.h"
#include "core/pane_text.h"
#include "core/preroll.h"
#include "core/ruby_insertion.h"
#include "net/caption_protocol.h"
#include "text/cp932.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTest>

namespace Preroll = Core::Preroll;
namespace Palette = Core::Palette;
namespace Karaoke = Core::Karaoke;
namespace Wire = Net::Wire;

namespace {

QByteArray sj(const QString& s) { return Cp932::encode(s); }

// A pre-roll and what F1 sent from it.
struct Roll {
    QTextDocument doc;
    QList<QByteArray> sent;
    Preroll::F1Result last;
    bool refuse = false;  // the send path refuses what it is given

    explicit Roll(const QString& text) { doc.setPlainText(text); }
    // Position of column `col` of line `line`.
    int at(int line, int col = 0) const { return doc.findBlockByNumber(line).position() + col; }
    Preroll::F1Result f1(int caret, const Preroll::SendOptions& o = {}) {
        last = Preroll::SendCaretLine(doc, caret, o, [this](const QByteArray& t) {
            if (refuse) return false;
            sent << t;
            return true;
        });
        return last;
    }
    QString text() const { return doc.toPlainText(); }
    int caretLine() const { return Preroll::LineAt(doc, last.caret.position); }
};

Preroll::SendOptions partial(bool remove, bool toPrevious = false, int advance = 1) {
    return {true, remove, toPrevious, advance};
}

}  // namespace

class PreparedLogicTest : public QObject {
    Q_OBJECT
private slots:
    void f1SendsTheCaretLineAndMovesOn();
    void f1PassesOverCommentLines();
    void f1RefusesLinesOf1024Bytes();
    void f1KeepsALineTheSendPathRefuses();
    void f1WithDeleteEmptiesThePaneLineByLine();
    void partialSendLeavesTheRest();
    void partialSendDeletesAndAdvances();
    void partialSendAppendsToThePreviousLine();
    void monitorFeedAroundTheCaret();
    void monitorFeedDoubledAndWarned();
    void appenderAddsLinesInSlices();
    void paletteQueueFillsFoldsAndDrops();
    void paletteQueueClosesUp();
    void karaokeArithmetic();
    void limitedLinesStopAtTheLimit();
    void rubyAnnotatesOnceEachBase();
    void rubyRespectsExistingReadingsAndTheStart();
    void rubyInTheRecordsLastLines();
    void paneTextEdits();
    void wireForms();
    void panelHeightsThatCanBeApplied();
};

void PreparedLogicTest::f1SendsTheCaretLineAndMovesOn() {
    Roll r(QStringLiteral("一行目\n二行目\n\n最後"));
    // The caret anywhere in line 0: the whole line goes, the line is selected, the caret on line 1.
    auto res = r.f1(r.at(0, 2));
    QCOMPARE(res.taken, Preroll::Taken::Sent);
    QCOMPARE(r.sent, QList<QByteArray>{sj(QStringLiteral("一行目"))});
    QCOMPARE(res.caret.anchor, r.at(0));
    QCOMPARE(res.caret.position, r.at(1));
    QVERIFY(res.scrollLine);
    r.f1(res.caret.position);
    r.f1(r.last.caret.position);  // the empty line: an empty text, a blank line on the display
    QCOMPARE(r.sent.value(2), QByteArray());
    QCOMPARE(r.caretLine(), 3);
    // On the last line the caret stays at its end; the text is never changed.
    r.f1(r.last.caret.position);
    QCOMPARE(r.sent.last(), sj(QStringLiteral("最後")));
    QCOMPARE(r.last.caret.position, r.doc.characterCount() - 1);
    QCOMPARE(r.text(), QStringLiteral("一行目\n二行目\n\n最後"));
}

void PreparedLogicTest::f1PassesOverCommentLines() {
    Roll r(QStringLiteral("<-　コメント行\n本文\n<- b\n"));
    auto res = r.f1(r.at(0, 3));
    QCOMPARE(res.taken, Preroll::Taken::Comment);
    QVERIFY(r.sent.isEmpty());
    QCOMPARE(res.caret.anchor, r.at(0));
    QCOMPARE(res.caret.position, r.at(1));
    // A comment line is passed over in the partial mode too, and is never deleted.
    res = r.f1(r.at(2, 1), partial(true));
    QCOMPARE(res.taken, Preroll::Taken::Comment);
    QCOMPARE(r.caretLine(), 3);
    QCOMPARE(r.text(), QStringLiteral("<-　コメント行\n本文\n<- b\n"));
    // Only the half-width "<-" at the very start marks a comment.
    Roll notComment(QStringLiteral(" <- x\n＜-y"));
    notComment.f1(0);
    notComment.f1(notComment.at(1));
    QCOMPARE(notComment.sent, (QList<QByteArray>{" <- x", sj(QStringLiteral("＜-y"))}));
}

void PreparedLogicTest::f1RefusesLinesOf1024Bytes() {
    const QString longest = QString(511, u'あ') + u'a';  // 1023 bytes
    const QString tooLong = QString(512, u'あ');         // 1024 bytes
    Roll r(longest + u'\n' + tooLong + QStringLiteral("\nnext"));
    QCOMPARE(r.f1(0).taken, Preroll::Taken::Sent);
    QCOMPARE(r.sent.value(0).size(), 1023);
    const int caret = r.at(1, 5);
    auto res = r.f1(caret, {false, true, false, 1});
    QCOMPARE(res.taken, Preroll::Taken::TooLong);
    QCOMPARE(r.sent.size(), 1);
    QCOMPARE(r.doc.blockCount(), 3);  // nothing deleted
    // The part before the caret is measured alone.
    QCOMPARE(r.f1(caret, partial(false)).taken, Preroll::Taken::Sent);
    QCOMPARE(r.sent.last(), sj(QString(5, u'あ')));
}

// The send path refuses a line of 513 bytes or more: the line stays whatever the options say, and
// nothing moves, so the next F1 takes the same line again.
void PreparedLogicTest::f1KeepsALineTheSendPathRefuses() {
    const QString text = QStringLiteral("前\n") + QString(300, u'い') + QStringLiteral("\n後");
    const QList<Preroll::SendOptions> options{
        {false, false, false, 1}, {false, true, false, 1}, partial(false), partial(true), partial(true, true, 3)};
    for (const Preroll::SendOptions& o : options) {
        Roll r(text);
        r.refuse = true;
        const int caret = r.at(1, 280);
        const auto res = r.f1(caret, o);
        QCOMPARE(res.taken, Preroll::Taken::Refused);
        QCOMPARE(r.text(), text);
        QVERIFY(!res.scrollLine);
        // The window puts the caret back where it was: on the refused line.
        QCOMPARE(res.caret.position, caret);
        QCOMPARE(res.caret.anchor, caret);
    }
}

void PreparedLogicTest::f1WithDeleteEmptiesThePaneLineByLine() {
    const Preroll::SendOptions remove{false, true, false, 1};
    Roll r(QStringLiteral("a\nb\nc"));
    auto res = r.f1(r.at(1, 1), remove);
    QCOMPARE(r.text(), QStringLiteral("a\nc"));  // the next line moved up under the caret
    QCOMPARE(res.caret.position, r.at(1));
    QCOMPARE(res.caret.anchor, res.caret.position);
    r.f1(res.caret.position, remove);  // the last line: its text goes
    QCOMPARE(r.text(), QStringLiteral("a\n"));
    // Repeated F1 on what is left sends empty lines and changes nothing more.
    r.f1(r.last.caret.position, remove);
    r.f1(r.last.caret.position, remove);
    QCOMPARE(r.sent, (QList<QByteArray>{"b", "c", "", ""}));
    QCOMPARE(r.text(), QStringLiteral("a\n"));
    Roll empty(QString{});
    empty.f1(0, remove);
    empty.f1(0, remove);
    QCOMPARE(empty.sent, (QList<QByteArray>{"", ""}));
}

void PreparedLogicTest::partialSendLeavesTheRest() {
    Roll r(QStringLiteral("はじめに、つづき\nnext"));
    auto res = r.f1(r.at(0, 5), partial(false));
    QCOMPARE(r.sent, QList<QByteArray>{sj(QStringLiteral("はじめに、"))});
    QCOMPARE(res.caret.position, r.at(0, 5));  // left where it was, without a selection
    QCOMPARE(res.caret.anchor, res.caret.position);
    QCOMPARE(r.text(), QStringLiteral("はじめに、つづき\nnext"));
}

void PreparedLogicTest::partialSendDeletesAndAdvances() {
    // The rest holds at least 2 × advance bytes: the caret advances by that many bytes, whole
    // characters (a full-width character counts two).
    Roll r(QStringLiteral("abc、defgh\nnext"));
    auto res = r.f1(r.at(0, 3), partial(true, false, 3));
    QCOMPARE(r.sent, QList<QByteArray>{"abc"});
    QCOMPARE(r.text(), QStringLiteral("、defgh\nnext"));
    QCOMPARE(res.caret.position, r.at(0, 2));  // "、" (2 bytes) and "d": 3 bytes passed
    // Fewer than 2 × advance bytes left: the caret goes to the end of the line.
    res = r.f1(r.at(0, 2), partial(true, false, 3));
    QCOMPARE(r.text(), QStringLiteral("efgh\nnext"));
    QCOMPARE(res.caret.position, r.at(0, 4));
    // Advance 0 keeps the caret at the start of the rest.
    res = r.f1(r.at(0, 1), partial(true, false, 0));
    QCOMPARE(res.caret.position, r.at(0));
    // Everything before the caret sent: the emptied line is deleted.
    res = r.f1(r.at(0, 3), partial(true));
    QCOMPARE(r.sent.last(), QByteArray("fgh"));
    QCOMPARE(r.text(), QStringLiteral("next"));
    QCOMPARE(res.caret.position, 0);
}

void PreparedLogicTest::partialSendAppendsToThePreviousLine() {
    // On line 0 an empty first line is inserted to take the sent text.
    Roll r(QStringLiteral("送る部分残り\nnext"));
    auto res = r.f1(r.at(0, 4), partial(true, true, 1));
    QCOMPARE(r.sent, QList<QByteArray>{sj(QStringLiteral("送る部分"))});
    QCOMPARE(r.text(), QStringLiteral("送る部分\n残り\nnext"));
    QCOMPARE(res.caret.position, r.at(1, 1));  // "残" passed: at least one byte
    // Further down the text joins the end of the line above.
    res = r.f1(r.at(1, 1), partial(true, true, 1));
    QCOMPARE(r.text(), QStringLiteral("送る部分残\nり\nnext"));
    // A line emptied this way stays; the caret goes over its end to the next line.
    res = r.f1(r.at(1, 1), partial(true, true, 1));
    QCOMPARE(r.text(), QStringLiteral("送る部分残り\n\nnext"));
    QCOMPARE(res.caret.position, r.at(2));
}

void PreparedLogicTest::monitorFeedAroundTheCaret() {
    QStringList lines;
    for (int i = 0; i < 8; ++i) lines << QStringLiteral("L%1").arg(i);
    lines[3].clear();
    QTextDocument doc(lines.join(u'\n'));
    // At the top: the upper part is padded with " " lines.
    auto feed = Preroll::MonitorFeed(doc, 1, false);
    QCOMPARE(feed.upper, (QList<QByteArray>{" ", "L0"}));
    QCOMPARE(feed.lower, (QList<QByteArray>{"L1", "L2", "", "L4", "L5"}));
    // Near the end: the lower part stops at the last line.
    feed = Preroll::MonitorFeed(doc, 6, false);
    QCOMPARE(feed.upper, (QList<QByteArray>{"L4", "L5"}));
    QCOMPARE(feed.lower, (QList<QByteArray>{"L6", "L7"}));
}

void PreparedLogicTest::monitorFeedDoubledAndWarned() {
    QStringList lines;
    for (int i = 0; i < 20; ++i) lines << QStringLiteral("L%1").arg(i);
    lines[9] = QString(512, u'あ');  // 1024 bytes: never shown as such
    QTextDocument doc(lines.join(u'\n'));
    const auto feed = Preroll::MonitorFeed(doc, 6, true);
    QCOMPARE(feed.upper, (QList<QByteArray>{"L2", "L3", "L4", "L5"}));
    QCOMPARE(feed.lower.size(), 10);
    QCOMPARE(feed.lower.first(), QByteArray("L6"));
    QCOMPARE(feed.lower.value(3), sj(Preroll::TooLongWarning()));
    QCOMPARE(feed.lower.last(), QByteArray("L15"));
    QCOMPARE(Preroll::MonitorFeed(doc, 0, true).upper, (QList<QByteArray>{" ", " ", " ", " "}));
}

void PreparedLogicTest::appenderAddsLinesInSlices() {
    QTextDocument doc(QStringLiteral("既にある\n"));
    QList<QString> lines;
    for (int i = 0; i < 3000; ++i) lines << (i % 7 == 0 ? QString() : QStringLiteral("行%1").arg(i));
    Preroll::Appender a(doc, lines);
    int slices = 0;
    while (a.step(0)) ++slices;  // a budget of 0 ms still appends a line per slice
    QVERIFY(a.done());
    QCOMPARE(a.appended(), 3000);
    QVERIFY(slices >= 1);
    // The empty last line took the first line; empty lines of the file stay.
    QCOMPARE(doc.blockCount(), 3001);
    QCOMPARE(doc.findBlockByNumber(0).text(), QStringLiteral("既にある"));
    QCOMPARE(doc.findBlockByNumber(1).text(), QString());
    QCOMPARE(doc.findBlockByNumber(2).text(), QStringLiteral("行1"));
    QCOMPARE(doc.lastBlock().text(), QStringLiteral("行2999"));
    QTextDocument plain(QStringLiteral("x"));
    Preroll::Appender b(plain, {QStringLiteral("y")});
    QVERIFY(!b.step(5));
    QCOMPARE(plain.toPlainText(), QStringLiteral("x\ny"));
    QCOMPARE(Preroll::ByteLength(plain), 4);
}

void PreparedLogicTest::paletteQueueFillsFoldsAndDrops() {
    Palette::Panes q;
    QCOMPARE(Palette::Place(q, "one"), 0);
    QCOMPARE(Palette::Place(q, "two"), 1);
    QCOMPARE(Palette::Place(q, "three"), 2);
    QCOMPARE(q[3], QByteArray());
    const QByteArray hundred(100, 'x');
    QCOMPARE(Palette::Place(q, "four"), 3);
    QCOMPARE(Palette::Place(q, "five"), 4);
    QCOMPARE(Palette::Place(q, hundred), 5);      // the sixth goes to pane 6
    QCOMPARE(Palette::Place(q, hundred), 5);      // the seventh is folded onto its last line
    QCOMPARE(q[5], hundred + hundred);
    QCOMPARE(Palette::Place(q, QByteArray(54, 'y')), -1);  // 254 bytes would pass the limit
    QCOMPARE(Palette::Place(q, QByteArray(53, 'y')), 5);   // 253 still fit
    QCOMPARE(q[5].size(), 253);
    // A gap higher up is taken before pane 6.
    q[1].clear();
    QCOMPARE(Palette::Place(q, "again"), 1);
}

void PreparedLogicTest::paletteQueueClosesUp() {
    Palette::Panes q{"1", "2", "3", "", "", ""};
    q[0].clear();  // Enter on pane 1
    QVERIFY(Palette::CloseUp(q));
    QCOMPARE(q, (Palette::Panes{"2", "3", "", "", "", ""}));
    Palette::Panes five{"a", "b", "", "d", "e", ""};  // ESC on pane 3 of five
    QVERIFY(Palette::CloseUp(five));
    QCOMPARE(five, (Palette::Panes{"a", "b", "d", "e", "", ""}));
    // One pass moves each line up by one pane at most.
    Palette::Panes two{"", "", "c", "d", "", ""};
    Palette::CloseUp(two);
    QCOMPARE(two, (Palette::Panes{"", "c", "d", "", "", ""}));
    QVERIFY(!Palette::CloseUp(five));
}

void PreparedLogicTest::karaokeArithmetic() {
    QCOMPARE(Karaoke::StepPercent(1, 20), 5);
    QCOMPARE(Karaoke::StepPercent(2, 20), 10);
    QCOMPARE(Karaoke::StepPercent(1, 100), 1);
    QCOMPARE(Karaoke::StepPercent(1, 30), 3);     // integer division
    QCOMPARE(Karaoke::StepPercent(1, 1000), 0);   // finer than a percent: no move
    QCOMPARE(Karaoke::StepPercent(1, 0), 0);
    QCOMPARE(Karaoke::ColumnReached(37, 20), 7);
    QCOMPARE(Karaoke::ColumnReached(100, 20), 20);
    QCOMPARE(Karaoke::WrapAfter(100), std::optional<int>(1));
    QCOMPARE(Karaoke::WrapAfter(0), std::optional<int>(99));
    QCOMPARE(Karaoke::WrapAfter(-4), std::optional<int>(99));
    QCOMPARE(Karaoke::WrapAfter(99), std::nullopt);
    QCOMPARE(Karaoke::WrapAfter(1), std::nullopt);
    QCOMPARE(Karaoke::StepValue(0), 1);
    QCOMPARE(Karaoke::StepValue(-3), 1);
    QCOMPARE(Karaoke::StepValue(std::nullopt), 1);
    QCOMPARE(Karaoke::StepValue(4), 4);
}

void PreparedLogicTest::limitedLinesStopAtTheLimit() {
    Core::LimitedLines part(10);
    QVERIFY(part.append("abcd"));
    QVERIFY(part.append("ef"));  // 4 + 2 + 2 = 8
    QVERIFY(!part.append("g"));  // 8 + 2 + 1 = 11: the part takes no more text
    QVERIFY(part.append(""));    // 10 exactly
    QCOMPARE(part.bytes(), 10);
    QCOMPARE(part.lines(), (QList<QByteArray>{"abcd", "ef", ""}));
    QVERIFY(!part.append(""));
    part.clear();
    QVERIFY(part.append("0123456789"));
    QVERIFY(!part.append(""));
}

void PreparedLogicTest::rubyAnnotatesOnceEachBase() {
    using Core::Ruby::Annotate;
    const QString window = QStringLiteral("今日は漢字の話\n漢字を書く");
    auto edits = Annotate(window, false, u"漢字", u"かんじ");
    QCOMPARE(edits.size(), 2);
    QString t = window;
    for (const auto& e : edits) t.replace(e.position, e.removed, e.inserted);
    QCOMPARE(t, QStringLiteral("今日は`rかんじ`s漢字の話\n`rかんじ`s漢字を書く"));
    // Applied again: every base already carries a reading, which is replaced, not doubled.
    edits = Annotate(t, false, u"漢字", u"カンジ");
    for (const auto& e : edits) t.replace(e.position, e.removed, e.inserted);
    QCOMPARE(t, QStringLiteral("今日は`rカンジ`s漢字の話\n`rカンジ`s漢字を書く"));
    QVERIFY(Annotate(window, false, u"ない", u"x").isEmpty());
    QVERIFY(Annotate(window, false, u"", u"x").isEmpty());
}

void PreparedLogicTest::rubyRespectsExistingReadingsAndTheStart() {
    using Core::Ruby::Annotate;
    // The base inside a reading, or right after a backquote, is left alone.
    QString t = QStringLiteral("x`rやま`s山 やま");
    auto edits = Annotate(t, false, u"やま", u"ヤマ");
    QCOMPARE(edits.size(), 1);
    t.replace(edits[0].position, edits[0].removed, edits[0].inserted);
    QCOMPARE(t, QStringLiteral("x`rやま`s山 `rヤマ`sやま"));
    QVERIFY(Annotate(QStringLiteral("ab`rs"), false, u"rs", u"x").isEmpty());
    // A match in the first byte or two of the display text ends the search.
    QVERIFY(Annotate(QStringLiteral("山と山"), true, u"山", u"やま").isEmpty());
    QVERIFY(Annotate(QStringLiteral("a山と山"), true, u"山", u"やま").isEmpty());
    QCOMPARE(Annotate(QStringLiteral("ab山"), true, u"山", u"やま").size(), 1);
    QCOMPARE(Annotate(QStringLiteral("山と山"), false, u"山", u"やま").size(), 2);
}

void PreparedLogicTest::rubyInTheRecordsLastLines() {
    QTextDocument doc(QStringLiteral("東京は晴れ\n大阪\n東京へ行く\n京都と東京\n"));
    // The last two lines (the place after the final break does not count).
    QCOMPARE(Core::Ruby::AnnotateRecord(doc, 2, u"東京", u"とうきょう"), 2);
    QCOMPARE(doc.toPlainText(),
             QStringLiteral("東京は晴れ\n大阪\n`rとうきょう`s東京へ行く\n京都と`rとうきょう`s東京\n"));
    QCOMPARE(Core::Ruby::AnnotateRecord(doc, 2, u"名古屋", u"なごや"), 0);
    // The window may reach the record's start.
    QTextDocument small(QStringLiteral("はい、大阪"));
    QCOMPARE(Core::Ruby::AnnotateRecord(small, 7, u"大阪", u"おおさか"), 1);
    QCOMPARE(small.toPlainText(), QStringLiteral("はい、`rおおさか`s大阪"));
}

void PreparedLogicTest::paneTextEdits() {
    QCOMPARE(Core::Bracketed(QStringLiteral("山田本文\n二行"), QStringLiteral("山田"), QStringLiteral("「"),
                             QStringLiteral("」")),
             QStringLiteral("山田「本文\n二行」"));
    QCOMPARE(Core::Bracketed(QStringLiteral("本文"), QStringLiteral("山田"), QStringLiteral("♪"), QStringLiteral("♪")),
             QStringLiteral("♪本文♪"));
    QCOMPARE(Core::JoinedLines(QStringLiteral("a\nb\r\nc")), QStringLiteral("abc"));
}

void PreparedLogicTest::wireForms() {
    QCOMPARE(Wire::ParseLinkLine("12"), std::optional<int>(12));
    QCOMPARE(Wire::ParseLinkLine("0"), std::optional<int>(0));
    for (const char* bad : {"", "1a", "-1", " 3", "3 ", "+4", "1.5", "9999999999"})
        QVERIFY2(!Wire::ParseLinkLine(bad), bad);
    QCOMPARE(Wire::LinkLine(42), QByteArray("42"));

    auto u = Wire::ParsePaneUpdate("3,abc,def");
    QVERIFY(u);
    QCOMPARE(u->pane, 3);
    QCOMPARE(u->text, QByteArray("abc,def"));
    QCOMPARE(Wire::ParsePaneUpdate("6")->text, QByteArray());
    QCOMPARE(Wire::ParsePaneUpdate("1x,t")->pane, 1);  // the field begins with the digit
    for (const char* bad : {"", "0,x", "7,x", "a,1", ",1"}) QVERIFY2(!Wire::ParsePaneUpdate(bad), bad);
    QCOMPARE(Wire::PaneUpdate(4, sj(QStringLiteral("●消去●"))), "4," + sj(QStringLiteral("●消去●")));

    auto r = Wire::ParseRubyAnnotation("base,ruby,extra");
    QCOMPARE(r.base, QByteArray("base"));
    QCOMPARE(r.reading, QByteArray("ruby"));
    QCOMPARE(Wire::ParseRubyAnnotation("only").reading, QByteArray());
    QCOMPARE(Wire::RubyAnnotation("a", "b"), QByteArray("a,b"));

    QCOMPARE(Wire::MonitorLine(""), sj(QStringLiteral("$改行$")));
    QCOMPARE(Wire::MonitorLine("x"), QByteArray("x"));
    QCOMPARE(Wire::MonitorClear(), sj(QStringLiteral("$消去$")));
    QCOMPARE(Wire::SettingsTransfer({"620:3:x"}),
             (QList<QByteArray>{"$set$" + sj(QStringLiteral("999:＜番号付き表示設定ファイル２＞")), "$set$620:3:x",
                                "$end$"}));
}

// A panel height from a file: a row of controls at least, and no taller than a screen.
void PreparedLogicTest::panelHeightsThatCanBeApplied() {
    for (int h : {20, 57, 121, 4096}) QVERIFY2(Core::UsablePanelHeight(h), qPrintable(QString::number(h)));
    for (int h : {-1, 0, 2, 19, 4097, 99999}) QVERIFY2(!Core::UsablePanelHeight(h), qPrintable(QString::number(h)));
}

QTEST_MAIN(PreparedLogicTest)
#include "test_prepared_logic.moc"

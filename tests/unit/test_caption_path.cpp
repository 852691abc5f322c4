// The caption path without a window: sending and receiving lines, undo with and without the
// position marker and blank-line-only mode, F9, the correction batch and correction mode, on a real
// display log and a recording outbox; live typing of a pane with a composition in progress.
#include "support/fake_caption_host.h"
#include "support/fakes.h"

#include "core/live_typing.h"
#include "core/record.h"
#include "core/scroller.h"
#include "net/caption_protocol.h"
#include "text/cp932.h"

#include <QTextDocument>
#include <QTest>

using namespace Testing;
namespace Wire = Net::Wire;
using Net::Ports::MainCommands;
using Net::Ports::MainCorrections;
using Net::Ports::MainLines;
using Net::Ports::MainMonitorFeed;
using Net::Ports::MainPartner;

namespace {

QByteArray sj(QStringView s) { return Cp932::encode(s); }

struct Path {
    QTextDocument doc;
    Core::DisplayLog log{&doc};
    Core::SmoothScroller scroll;
    RecordingOutbox out;
    FakeCaptionHost host;
    FixedClock clock;
    Core::CaptionPath path{log, scroll, out, host, clock};
    QString start;

    Path() {
        out.members = [] { return QStringList{"192.168.1.11", "192.168.1.12"}; };
        out.partner = [] { return QStringLiteral("192.168.1.11"); };
        out.siblingOn = [this] { return host.options.sibling; };
        log.record().setText(QStringLiteral("文先頭　\n") + QString(19, u'\n'));
        log.resetUndoState();
        start = text();
    }
    QString text() const { return doc.toPlainText(); }
    // What was added below the start of the record.
    QString added() const { return text().mid(start.size()); }
    void receive(const QByteArray& line) { path.lineReceived(line, QStringLiteral("192.168.1.11")); }
};

}  // namespace

class CaptionPathTest : public QObject {
    Q_OBJECT
private slots:
    void sendShowsAndSends();
    void onlyTheInputPanesOwnLinesResetIt();
    void sendRefusalsAndRoutes();
    void receiveFiltersStripsAndForwards();
    void undoWithoutMarker();
    void undoWithMarker();
    void undoInBlankLineOnlyMode();
    void f9RefillsAndSendsUndo();
    void deleteAndClear();
    void correctionBatch();
    void correctionBufferIsBoundedAndABatchIsOneChange();
    void sendCorrectionSendsTheScreenful();
    void correctionModeHoldsEverythingInOrder();
    void fixedWidthSplitKeepsBlankLines();
    void liveTypingShowsTheComposition();
};

void CaptionPathTest::sendShowsAndSends() {
    Path p;
    p.host.options.hasPartner = true;
    p.host.options.logLines = true;
    QCOMPARE(p.path.sendLine(sj(u"こんにちは"), Core::LineFrom::InputPane), 0);
    QCOMPARE(p.added(), QStringLiteral("こんにちは\n"));
    QCOMPARE(p.log.history()[0], sj(u"こんにちは"));
    QVERIFY(p.path.lastFromSelf());
    QCOMPARE(p.out.payloads(MainLines), (QList<QByteArray>{sj(u"こんにちは"), sj(u"こんにちは")}));
    QCOMPARE(p.out.to(MainLines)[1].host, QStringLiteral("192.168.1.12"));
    QCOMPARE(p.out.payloads(MainPartner), QList<QByteArray>{" "});  // empties the partner's monitor pane
    QCOMPARE(p.host.logLines.last(), QStringLiteral("10:15:30:7,[自分],こんにちは"));
    QCOMPARE(p.host.paneResets, 1);
    // An empty line travels as "$改行$" and shows as an empty line.
    p.path.sendLine(QByteArray(), Core::LineFrom::InputPane);
    QCOMPARE(p.added(), QStringLiteral("こんにちは\n\n"));
    QCOMPARE(p.out.payloads(MainLines).last(), Wire::BlankLine());
    // The filter: TAB becomes a space, a lone 0x80 "@".
    p.path.sendLine("a\tb\x80", Core::LineFrom::InputPane);
    QCOMPARE(p.out.payloads(MainLines).last(), QByteArray("a b@"));
    // The start time field: formatted, and the input ends with it.
    p.host.options.startTime = true;
    p.host.inputStart = QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3, 7));
    p.path.sendLine("t", Core::LineFrom::InputPane);
    QCOMPARE(p.out.payloads(MainLines).last(), QByteArray("09:05:03:007,t"));
    QCOMPARE(p.host.inputEnds, 1);
    QCOMPARE(p.host.logLines.last(), QStringLiteral("10:15:30:007,09:05:03:007,t"));
    p.host.inputStart = QDateTime();
    p.path.sendLine("u", Core::LineFrom::InputPane);
    QCOMPARE(p.out.payloads(MainLines).last(), QByteArray("00:00:00:000,u"));
    // Copies: the sibling gets the payload as sent; the clipboard the text, never a blank line.
    p.host.options = {};
    p.host.options.sibling = true;
    p.host.options.copySent = true;
    p.out.sent.clear();
    p.path.sendLine("copy", Core::LineFrom::InputPane);
    p.path.sendLine("", Core::LineFrom::InputPane);
    QCOMPARE(p.host.clipboard, QList<QByteArray>{"copy"});
    QCOMPARE(p.out.sent[2].host, QStringLiteral("127.0.0.1"));
    QCOMPARE(p.out.sent[2].remotePort, quint16(7911));
}

// A line from another pane goes the same way, but the input pane is reset only after its own
// lines; the time limit and the input start end with every line handled.
void CaptionPathTest::onlyTheInputPanesOwnLinesResetIt() {
    Path p;
    QCOMPARE(p.path.sendLine(sj(u"サブ入力から"), Core::LineFrom::OtherPane), 0);
    QCOMPARE(p.out.payloads(MainLines).size(), 2);
    QCOMPARE(p.host.paneResets, 0);
    QCOMPARE(p.host.linesEnded, 1);
    p.path.sendLine(sj(u"入力部から"), Core::LineFrom::InputPane);
    QCOMPARE(p.host.paneResets, 1);
    QCOMPARE(p.host.linesEnded, 2);
    // A refused line changes none of it, wherever it came from.
    for (const auto from : {Core::LineFrom::InputPane, Core::LineFrom::OtherPane})
        QCOMPARE(p.path.sendLine(QByteArray(513, 'x'), from), 1);
    QCOMPARE(p.host.paneResets, 1);
    QCOMPARE(p.host.linesEnded, 2);
}

void CaptionPathTest::sendRefusalsAndRoutes() {
    Path p;
    QCOMPARE(p.path.sendLine(QByteArray(512, 'a'), Core::LineFrom::InputPane), 0);
    QCOMPARE(p.path.sendLine(QByteArray(513, 'a'), Core::LineFrom::InputPane), 1);
    QCOMPARE(p.host.messages, QStringList{QStringLiteral("全角256字以上の文字を送ろうとした。")});
    QCOMPARE(p.out.to(MainLines).size(), 2);
    QCOMPARE(p.host.paneResets, 1);  // the pane keeps its text
    // To the palettes: nothing shown, the history still records it.
    p.host.options.toPalette = true;
    p.host.options.logLines = true;
    const QString before = p.text();
    p.out.sent.clear();
    p.path.sendLine(sj(u"確認して"), Core::LineFrom::InputPane);
    QCOMPARE(p.text(), before);
    QVERIFY(p.out.to(MainLines).isEmpty());
    QCOMPARE(p.out.payloads(Net::Ports::PaletteLines), (QList<QByteArray>{sj(u"確認して"), sj(u"確認して")}));
    QCOMPARE(p.log.history()[0], sj(u"確認して"));
    QCOMPARE(p.host.logLines.last(), QStringLiteral("10:15:30:7,[自分],（修正パレットに送信）確認して"));
    // Off the LAN: shown, nothing sent.
    p.host.options = {};
    p.host.options.toLan = false;
    p.out.sent.clear();
    p.path.sendLine("local", Core::LineFrom::InputPane);
    QVERIFY(p.out.sent.isEmpty());
    QVERIFY(p.text().endsWith(QStringLiteral("local\n")));
}

void CaptionPathTest::receiveFiltersStripsAndForwards() {
    Path p;
    p.host.options.logLines = true;
    p.host.options.sibling = true;
    p.receive("q\x01r");
    QCOMPARE(p.added(), QStringLiteral("q@r\n"));
    QVERIFY(!p.path.lastFromSelf());
    QCOMPARE(p.host.logLines.last(), QStringLiteral("10:15:30:7,[192.168.1.11],q@r"));
    QCOMPARE(p.out.sent.last().payload, QByteArray("q@r"));  // forwarded cleaned
    QCOMPARE(p.out.sent.last().remotePort, quint16(7911));
    p.receive(Wire::BlankLine());
    QCOMPARE(p.added(), QStringLiteral("q@r\n\n"));
    QCOMPARE(p.log.history()[0], Wire::BlankLine());
    p.host.options.startTime = true;
    p.receive("09:05:03:007," + sj(u"開始"));
    QVERIFY(p.text().endsWith(QStringLiteral("\n開始\n")));
    QVERIFY(p.host.logLines.contains(QStringLiteral("10:15:30:7,09:05:03:007,開始")));
    p.host.options.startTime = false;
    p.host.options.copyReceived = true;
    p.receive("copied");
    p.receive(Wire::BlankLine());
    QCOMPARE(p.host.clipboard, QList<QByteArray>{"copied"});
}

void CaptionPathTest::undoWithoutMarker() {
    Path p;
    for (const char* t : {"one", "two", "three"}) p.receive(t);
    p.path.commandReceived("undo", "x");
    QCOMPARE(p.added(), QStringLiteral("one\ntwo\n"));
    p.path.commandReceived("undo", "x");
    QCOMPARE(p.added(), QStringLiteral("one\n"));
    QCOMPARE(p.log.history()[0], QByteArray("one"));
    QCOMPARE(p.host.redraws, 2);
    p.path.clearScreen();
    p.path.commandReceived("undo", "x");  // nothing recorded after a clear: nothing happens
    QCOMPARE(p.added(), QStringLiteral("one\n"));
    p.path.commandReceived("undone", "x");  // not a command
    QCOMPARE(p.added(), QStringLiteral("one\n"));
    // Lines sent here are taken back the same way.
    p.path.sendLine(sj(u"自分の行"), Core::LineFrom::InputPane);
    p.path.undoLastDisplay();
    QCOMPARE(p.added(), QStringLiteral("one\n"));
    // No redraw when the option is off or in the word-processor screen.
    p.receive("again");
    p.host.options.redrawAfterUndo = false;
    const int redraws = p.host.redraws;
    p.path.undoLastDisplay();
    QCOMPARE(p.host.redraws, redraws);
}

void CaptionPathTest::undoWithMarker() {
    Path p;
    p.host.options.display.marker = true;
    p.receive("first");
    p.receive("second");
    QCOMPARE(p.added(), QStringLiteral("first\nsecond\n■\n"));
    QCOMPARE(p.log.newestEntryRange(p.host.options.display).entries, 3);
    p.path.undoLastDisplay();
    QCOMPARE(p.added(), QStringLiteral("first\n■\n"));
    p.path.undoLastDisplay();
    QCOMPARE(p.added(), QStringLiteral("■\n"));
    // Received lines make the end-of-record check only when asked for.
    p.log.record().appendToLastLine(QStringLiteral("x"));  // "■x" without a final break
    p.log.record().removeLastLine();
    p.log.record().appendToLastLine(QStringLiteral("tail"));
    p.host.options.endCheckReceived = true;
    p.receive("next");
    QVERIFY(p.text().endsWith(QStringLiteral("tail\nnext\n■\n")));
}

void CaptionPathTest::undoInBlankLineOnlyMode() {
    Path p;
    p.host.options.display.blankLineOnly = true;
    p.receive("A");
    p.receive("B");
    QVERIFY(p.text().endsWith(QStringLiteral("\nAB\n")));  // joined to the last line
    p.path.undoLastDisplay();
    QVERIFY(p.text().endsWith(QStringLiteral("\nA\n")));
    p.receive(Wire::BlankLine());  // only an empty line starts a new line
    p.receive("C");
    QVERIFY(p.text().endsWith(QStringLiteral("\nA\nC\n")));
    // With the marker too: "◆" follows the text, an empty line is a "■" line.
    Path m;
    m.host.options.display = {true, true};
    m.receive("x");
    m.receive("y");
    QVERIFY(m.text().endsWith(QStringLiteral("xy◆\n")));
    QCOMPARE(m.log.newestEntryRange(m.host.options.display).entries, 2);
    m.path.undoLastDisplay();
    QVERIFY(m.text().endsWith(QStringLiteral("x◆\n")));
    m.receive(Wire::BlankLine());
    QVERIFY(m.text().endsWith(QStringLiteral("x\n■\n")));
}

void CaptionPathTest::f9RefillsAndSendsUndo() {
    Path p;
    p.host.options.logLines = true;
    p.host.options.sibling = true;
    p.path.sendLine(sj(u"まちがい"), Core::LineFrom::InputPane);
    p.out.sent.clear();
    p.path.undoToInput(false);
    QCOMPARE(p.added(), QString());
    QCOMPARE(p.host.refills.size(), 1);
    QCOMPARE(p.host.refills[0].first, sj(u"まちがい"));
    QVERIFY(p.path.refilledByUndo());
    QCOMPARE(p.out.payloads(MainCommands), (QList<QByteArray>{"undo", "undo", "undo"}));  // two members, the sibling
    QCOMPARE(p.out.sent.last().remotePort, quint16(7923));
    QVERIFY(p.host.logLines.last().endsWith(QStringLiteral(",[自分],（Ｕｎｄｏ）")));
    // A partner's line is taken back only with "Ｕｎｄｏの対象にする".
    p.receive(sj(u"相手"));
    p.host.options.undoPartnerLines = false;
    p.out.sent.clear();
    p.path.undoToInput(true);
    QVERIFY(p.out.sent.isEmpty());
    QCOMPARE(p.added(), QStringLiteral("相手\n"));
    QVERIFY(p.host.logLines.last().endsWith(QStringLiteral("（Ｕｎｄｏ）")));  // still logged
    p.host.options.undoPartnerLines = true;
    p.path.undoToInput(true);
    QCOMPARE(p.host.refills.last(), std::make_pair(sj(u"相手"), true));
    // The next send clears the flag that holds the automatic sends back.
    p.path.sendLine("x", Core::LineFrom::InputPane);
    QVERIFY(!p.path.refilledByUndo());
    // Nothing to take back: nothing happens, nothing is sent.
    p.log.resetUndoState();
    p.out.sent.clear();
    const int refills = int(p.host.refills.size());
    p.path.undoToInput(false);
    QVERIFY(p.out.sent.isEmpty());
    QCOMPARE(p.host.refills.size(), refills);
}

void CaptionPathTest::deleteAndClear() {
    Path p;
    p.receive(sj(u"あいう"));
    p.path.commandReceived("del", "x");
    QCOMPARE(p.added(), QStringLiteral("あい\n"));  // a double-byte character goes whole
    p.path.commandReceived("cls", "x");
    QCOMPARE(p.scroll.shownLine, p.log.record().lineCount() + p.scroll.visibleLines);
    QCOMPARE(p.added(), QStringLiteral("あい\n"));  // the record is not changed
    QCOMPARE(p.host.fullRedraws, 1);
    p.host.options.display.blankLineOnly = true;
    p.path.clearScreen();  // blank-line-only mode adds the line the next text joins
    QCOMPARE(p.added(), QStringLiteral("あい\n\n"));
    QCOMPARE(p.scroll.shownLine, p.log.record().lineCount() + p.scroll.visibleLines - 1);
    // With the marker, "◆" comes back after the deletion.
    p.host.options.display = {true, false};
    p.receive("z1");
    p.path.deleteLastChar();
    QVERIFY(p.text().endsWith(QStringLiteral("z◆\n")));
    // Sending the commands: off the LAN nothing goes.
    p.host.options.toLan = false;
    p.out.sent.clear();
    p.path.sendCommand(Wire::Command::Clear);
    QVERIFY(p.out.sent.isEmpty());
    p.host.options.toLan = true;
    p.path.sendCommand(Wire::Command::Delete);
    QCOMPARE(p.out.payloads(MainCommands), (QList<QByteArray>{"del", "del"}));
}

void CaptionPathTest::correctionBatch() {
    Path p;
    p.host.options.logLines = true;
    for (const QByteArray& item : {QByteArray("k1"), Wire::NullLine(), QByteArray("k3")}) p.path.correctionReceived(item, "192.168.1.11");
    QCOMPARE(p.host.correctionBuffer.size(), 3);
    QCOMPARE(p.added(), QString());
    p.path.correctionReceived(Wire::BatchEnd(), "192.168.1.11");
    QCOMPARE(p.added(), QStringLiteral("k1\n\nk3\n"));  // below the record, "$null$" as an empty line
    QVERIFY(p.host.correctionBuffer.isEmpty());
    QCOMPARE(p.scroll.shownLine, p.log.record().lineCount());
    QVERIFY(!p.path.lastFromSelf());
    QCOMPARE(p.host.logLines.size(), 3);  // the closing item is not logged
    QCOMPARE(p.host.logLines[0], QStringLiteral("10:15:30:7,[192.168.1.11],（送修正）k1"));
    // "`*" starts afresh; "`@" closes a batch too, logged as a roll slide when that option is on.
    p.host.options.rollSlideLabel = true;
    for (const char* item : {"x", "`*", "r1", "`@"}) p.path.correctionReceived(item, "192.168.1.11");
    QVERIFY(p.text().endsWith(QStringLiteral("k3\nr1\n")));
    QVERIFY(p.host.logLines.last().contains(QStringLiteral("（ﾛｰﾙ1ｽﾗｲﾄﾞ風）`@")));
    // With the marker, only its two bytes go and it comes back after the batch.
    Path m;
    m.host.options.display.marker = true;
    m.receive("old");
    for (const char* item : {"new", "`@"}) m.path.correctionReceived(item, "x");
    QVERIFY(m.text().endsWith(QStringLiteral("old\n\nnew\n■\n")));
    // Every item resets the undo state.
    m.path.undoLastDisplay();
    QVERIFY(m.text().endsWith(QStringLiteral("new\n■\n")));
}

void CaptionPathTest::correctionBufferIsBoundedAndABatchIsOneChange() {
    Path p;
    int changes = 0;
    QObject::connect(&p.log.record(), &Core::Record::changed, [&] { ++changes; });
    // Items that never see their batch's end: the buffer keeps the newest screenful.
    const qsizetype most = Core::CaptionPath::kMaxCorrectionItems;
    for (qsizetype i = 0; i < most + 500; ++i) p.path.correctionReceived("j" + QByteArray::number(i), "192.168.1.99");
    QCOMPARE(p.path.correctionBuffer().size(), most);
    QCOMPARE(p.path.correctionBuffer().first(), "j500");
    QCOMPARE(changes, 0);
    // A batch of a whole screen is one change of the record (one layout of the display).
    p.path.correctionReceived(Wire::BatchStart(), "192.168.1.11");
    for (int i = 0; i < 1000; ++i) p.path.correctionReceived("c" + QByteArray::number(i), "192.168.1.11");
    p.path.correctionReceived(Wire::BatchEnd(), "192.168.1.11");
    QCOMPARE(changes, 1);
    QVERIFY(p.added().startsWith(QStringLiteral("c0\nc1\n")));
    QVERIFY(p.added().endsWith(QStringLiteral("c998\nc999\n")));
    QCOMPARE(p.added().count(u'\n'), 1000);
    QCOMPARE(p.host.corrections.last(), (std::pair<int, int>{1000, 1000}));
}

void CaptionPathTest::sendCorrectionSendsTheScreenful() {
    Path p;
    for (int i = 1; i <= 8; ++i) p.receive(sj(QStringLiteral("行%1").arg(i)));
    p.log.record().addLine(QString());
    p.scroll.correctionLines = 6;
    p.host.options.sibling = true;
    p.out.sent.clear();
    p.path.sendCorrection();
    QList<QByteArray> toFirst;
    for (const auto& s : p.out.to(MainCorrections))
        if (s.host == QLatin1String("192.168.1.11")) toFirst << s.payload;
    QCOMPARE(toFirst, (QList<QByteArray>{sj(u"行4"), sj(u"行5"), sj(u"行6"), sj(u"行7"), sj(u"行8"), Wire::NullLine(),
                                         Wire::BatchEnd()}));
    QCOMPARE(p.out.to(MainCorrections).size(), 21);  // seven items to two members and the sibling
    QCOMPARE(p.scroll.shownLine, p.log.record().lineCount() + 6);
}

void CaptionPathTest::correctionModeHoldsEverythingInOrder() {
    Path p;
    p.receive("before");
    p.host.options.correctionMode = true;
    p.receive("held1");
    p.path.commandReceived("cls", "x");
    p.receive("held2");
    p.path.commandReceived("undo", "x");
    p.receive("held3");
    QCOMPARE(p.host.held, (QList<QByteArray>{"held1", "$cls$", "held2", "$undo$", "held3"}));
    QCOMPARE(p.added(), QStringLiteral("before\n"));
    p.host.options.correctionMode = false;
    p.path.flushHeld();
    // held2 was taken back by the undo that followed it; the clear came in its place.
    QCOMPARE(p.added(), QStringLiteral("before\nheld1\nheld3\n"));
    QVERIFY(p.host.held.isEmpty());
    QCOMPARE(p.scroll.shownLine, p.log.record().lineCount());
}

void CaptionPathTest::fixedWidthSplitKeepsBlankLines() {
    Path p;
    p.host.options.fixedWidth = 20;
    p.receive(Wire::BlankLine());  // one empty line, one history entry
    QCOMPARE(p.added(), QStringLiteral("\n"));
    QCOMPARE(p.log.history()[0], QByteArray());
    p.path.sendLine(QByteArray(), Core::LineFrom::InputPane);
    QCOMPARE(p.added(), QStringLiteral("\n\n"));
    p.receive("one");
    p.path.sendLine(QByteArray(), Core::LineFrom::InputPane);
    p.path.undoToInput(false);  // F9 takes back the blank line, not the line before it
    QCOMPARE(p.added(), QStringLiteral("\n\none\n"));
    // A text of 50 columns gives 20, 20 and 10.
    p.receive(QByteArray(50, 'x'));
    QVERIFY(p.text().endsWith(QString(20, u'x') + u'\n' + QString(20, u'x') + u'\n' + QString(10, u'x') + u'\n'));
    // "Ａ" ends in the byte of "`": it counts as two columns, not as markup.
    p.receive(sj(QString(15, QChar(0xFF21))));  // 30 columns
    QVERIFY(p.text().endsWith(QString(10, QChar(0xFF21)) + u'\n' + QString(5, QChar(0xFF21)) + u'\n'));
}

void CaptionPathTest::liveTypingShowsTheComposition() {
    // The composition sits where the caret was, clamped to the committed text.
    QCOMPARE(Core::WithComposition(QStringLiteral("今日は"), 3, QStringLiteral("はれ")), QStringLiteral("今日ははれ"));
    QCOMPARE(Core::WithComposition(QStringLiteral("ac"), 1, QStringLiteral("b")), QStringLiteral("abc"));
    QCOMPARE(Core::WithComposition(QStringLiteral("ab"), 9, QStringLiteral("c")), QStringLiteral("abc"));
    QCOMPARE(Core::WithComposition(QStringLiteral("ab"), -1, QStringLiteral("c")), QStringLiteral("cab"));
    QCOMPARE(Core::WithComposition(QStringLiteral("ab"), 1, QString()), QStringLiteral("ab"));

    auto send = [](const QString& shown, bool erased) {
        RecordingOutbox out;
        out.members = [] { return QStringList{"192.168.1.11", "192.168.1.12"}; };
        out.partner = [] { return QStringLiteral("192.168.1.11"); };
        Core::LiveTyping t;
        t.setPane(shown);
        t.erased = erased;
        t.toPartner = t.toMonitors = true;
        t.ownAddress = QStringLiteral("192.168.1.10");
        Core::SendLiveTyping(out, t);
        return std::pair{out.payloads(MainPartner), out.payloads(MainMonitorFeed)};
    };
    // A composition alone on an empty pane is typing, not an idle pane.
    const QString composing = Core::WithComposition(QString(), 0, QStringLiteral("きょうは"));
    auto [partner, monitor] = send(composing, false);
    QCOMPARE(partner, QList<QByteArray>{sj(u"きょうは")});
    QCOMPARE(monitor, (QList<QByteArray>{sj(u"192.168.1.10,きょうは"), sj(u"192.168.1.10,きょうは")}));
    // Line breaks travel as CR LF; the first line decides between the text and the tokens.
    std::tie(partner, monitor) = send(QStringLiteral("ab\n今日"), false);
    QCOMPARE(partner, QList<QByteArray>{sj(u"ab\r\n今日")});
    std::tie(partner, monitor) = send(QStringLiteral("\n今日"), false);
    QCOMPARE(partner, QList<QByteArray>{"$null$"});
    QCOMPARE(monitor.value(0), sj(u"192.168.1.10,$改行$"));
    std::tie(partner, monitor) = send(QString(), true);
    QCOMPARE(partner, QList<QByteArray>{"$clear$"});
    QCOMPARE(monitor.value(1), sj(u"192.168.1.10,●消去●"));
}

QTEST_MAIN(CaptionPathTest)
#include "test_caption_path.moc"

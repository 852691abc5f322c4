// The caption path between stations: sending and receiving lines, undo, F9, delete and clear,
// corrections, correction mode and the sibling copies.
#include "support/lan.h"

#include "net/datagram_endpoint.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QTest>

using namespace Testing;

namespace {
struct Pair : PairedLan {
    void send(TestStation& s, const QString& text) {
        s.main->SendLine(sj(text));
        lan.net.deliverAll();
    }
};
}  // namespace

class LinesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void aSentLineReachesThePartnersRecord();
    void lengthLimitAndFilter();
    void emptyLinesTravelAsToken();
    void paletteRouteShowsNothingLocally();
    void startTimeFieldAndLogs();
    void clipboardCopies();
    void undoReceivedTwiceAndAfterClear();
    void undoWithMarkerKeepsTheMarker();
    void f9TakesTheLineBackIntoThePane();
    void deleteAndClearTravelAsCommands();
    void sixLineCorrection();
    void correctionModeHoldsTextsUntilItEnds();
    void siblingCopies();
    void oversizedDatagramsAreIgnored();
};

void LinesTest::aSentLineReachesThePartnersRecord() {
    Pair p;
    QVERIFY(p.a.main->hasPartner());
    p.send(p.a, QStringLiteral("こんにちは、皆さん"));
    QCOMPARE(lastRecordLine(p.a), QStringLiteral("こんにちは、皆さん"));
    QCOMPARE(lastRecordLine(p.b), QStringLiteral("こんにちは、皆さん"));
    const auto lines = p.lan.net.sentTo(6711);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].payload, sj(QStringLiteral("こんにちは、皆さん")));
    QCOMPARE(p.lan.net.sentTo(6712).value(0).payload, QByteArray(" "));  // clears B's monitor pane
    QCOMPARE(p.a.main->displayLog().history()[0], sj(QStringLiteral("こんにちは、皆さん")));
    QCOMPARE(p.b.main->displayLog().history()[0], sj(QStringLiteral("こんにちは、皆さん")));
    QVERIFY(p.a.main->lastFromSelf());
    QVERIFY(!p.b.main->lastFromSelf());
    QVERIFY(Testing::control<QTimer>(*p.b.main, "Timer1")->isActive());  // scrolling in on B
    // A line typed with Ctrl+Enter keeps its break.
    p.send(p.b, QStringLiteral("一行目\r\n二行目"));
    QVERIFY(recordOf(p.a).endsWith(QStringLiteral("一行目\n二行目\n")));
    // The input pane is reset after its own line, with the speaker name; a line from another
    // window leaves it as it is.
    Testing::control<QLineEdit>(*p.a.main, "Edit31")->setText(QStringLiteral("司会："));
    Testing::control<TextPane>(*p.a.main, "RichEdit1")->setPlainText("typed");
    p.send(p.a, QStringLiteral("from elsewhere"));
    QCOMPARE(Testing::control<TextPane>(*p.a.main, "RichEdit1")->toPlainText(), QStringLiteral("typed"));
    QTest::keyClick(Testing::control<TextPane>(*p.a.main, "RichEdit1"), Qt::Key_Return);
    p.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(p.b), QStringLiteral("typed"));
    QCOMPARE(Testing::control<TextPane>(*p.a.main, "RichEdit1")->toPlainText(), QStringLiteral("司会："));
}

void LinesTest::lengthLimitAndFilter() {
    Pair p;
    const QByteArray full(512, 'a');
    Testing::control<TextPane>(*p.a.main, "RichEdit1")->setPlainText("keep");
    QCOMPARE(p.a.main->SendLine(full), 0);
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.net.sentTo(6711).value(0).payload, full);
    p.lan.net.clearSent();
    Testing::control<TextPane>(*p.a.main, "RichEdit1")->setPlainText("keep");
    QCOMPARE(p.a.main->SendLine(full + 'b'), 1);
    QCOMPARE(p.a.messages.shown.last(), QStringLiteral("全角256字以上の文字を送ろうとした。"));
    QVERIFY(p.lan.net.sent().isEmpty());
    QCOMPARE(Testing::control<TextPane>(*p.a.main, "RichEdit1")->toPlainText(), QStringLiteral("keep"));
    Testing::control<QCheckBox>(*p.a.main, "CheckBox19")->setChecked(false);
    const int shown = p.a.messages.shown.size();
    QCOMPARE(p.a.main->SendLine(QByteArray(600, 'c')), 1);
    QCOMPARE(p.a.messages.shown.size(), shown);

    p.send(p.a, QStringLiteral("a\tb"));
    QCOMPARE(p.lan.net.sentTo(6711).value(0).payload, QByteArray("a b"));
    p.lan.net.clearSent();
    p.a.main->SendLine(QByteArray("x\x80y"));
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.net.sentTo(6711).value(0).payload, QByteArray("x@y"));
    // The receiver filters too.
    p.lan.net.inject("192.168.1.10", 6711, "192.168.1.11", 6711, QByteArray("q\x01r\x1Fs"));
    p.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(p.b), QStringLiteral("q@r@s"));
}

void LinesTest::emptyLinesTravelAsToken() {
    Pair p;
    const int before = p.b.main->record().recordLineCount();
    p.send(p.a, QString());
    QCOMPARE(p.lan.net.sentTo(6711).value(0).payload, sj(QStringLiteral("$改行$")));
    QCOMPARE(lastRecordLine(p.a), QString());
    QCOMPARE(p.b.main->record().recordLineCount(), before + 1);
    QCOMPARE(lastRecordLine(p.b), QString());
    QCOMPARE(p.b.main->displayLog().history()[0], sj(QStringLiteral("$改行$")));
}

void LinesTest::paletteRouteShowsNothingLocally() {
    Pair p;
    Testing::control<QCheckBox>(*p.a.main, "CheckBox21")->setChecked(true);
    QVERIFY(Testing::control<QCheckBox>(*p.a.main, "CheckBox11")->isChecked());
    QVERIFY(Testing::control<QCheckBox>(*p.a.main, "CheckBox30")->isHidden());
    QVERIFY(Testing::control<QPushButton>(*p.a.main, "ButtonPalette")->isHidden());
    Testing::control<QCheckBox>(*p.a.main, "CheckBox32")->setChecked(true);
    const QString before = recordOf(p.a);
    p.send(p.a, QStringLiteral("確認して"));
    QCOMPARE(recordOf(p.a), before);
    QVERIFY(p.lan.net.sentTo(6711).isEmpty());
    QCOMPARE(p.lan.net.sentTo(6730).value(0).payload, sj(QStringLiteral("確認して")));
    QCOMPARE(p.lan.net.sentTo(6730).value(0).to, QStringLiteral("192.168.1.11"));
    QCOMPARE(p.a.main->displayLog().history()[0], sj(QStringLiteral("確認して")));
    QVERIFY(Testing::control<QTextEdit>(*p.a.main, "RichEdit3")->toPlainText().endsWith(QStringLiteral("10:15:30:7,[自分],（修正パレットに送信）確認して")));
    Testing::control<QCheckBox>(*p.a.main, "CheckBox21")->setChecked(false);
    QVERIFY(!Testing::control<QCheckBox>(*p.a.main, "CheckBox30")->isHidden());
    QVERIFY(!Testing::control<QPushButton>(*p.a.main, "ButtonPalette")->isHidden());
}

void LinesTest::startTimeFieldAndLogs() {
    Pair p;
    for (TestStation* s : {&p.a, &p.b}) {
        Testing::control<QCheckBox>(*s->main, "CheckBox20")->setChecked(true);
        Testing::control<QCheckBox>(*s->main, "CheckBox32")->setChecked(true);
    }
    p.a.main->markInputStart(QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3, 7)));
    p.send(p.a, QStringLiteral("開始"));
    QCOMPARE(p.lan.net.sentTo(6711).value(0).payload, QByteArray("09:05:03:007,") + sj(QStringLiteral("開始")));
    QVERIFY(!p.a.main->inputStarted());
    QCOMPARE(lastRecordLine(p.b), QStringLiteral("開始"));  // the receiver strips the field
    const QStringList aLog = Testing::control<QTextEdit>(*p.a.main, "RichEdit3")->toPlainText().split(u'\n');
    QVERIFY(aLog.contains(QStringLiteral("10:15:30:7,[自分],開始")));
    QVERIFY(aLog.contains(QStringLiteral("10:15:30:007,09:05:03:007,開始")));
    const QStringList bLog = Testing::control<QTextEdit>(*p.b.main, "RichEdit3")->toPlainText().split(u'\n');
    QVERIFY(bLog.contains(QStringLiteral("10:15:30:7,[192.168.1.10],09:05:03:007,開始")));
    QVERIFY(bLog.contains(QStringLiteral("10:15:30:7,09:05:03:007,開始")));
    // No start time recorded: the field is the zero clock.
    p.lan.net.clearSent();
    p.a.main->markInputStart(QDateTime());
    p.send(p.a, "x");
    QCOMPARE(p.lan.net.sentTo(6711).value(0).payload, QByteArray("00:00:00:000,x"));
}

void LinesTest::clipboardCopies() {
    Pair p;
    Testing::control<QCheckBox>(*p.a.main, "CheckBox41")->setChecked(true);
    p.send(p.a, QStringLiteral("写す"));
    QCOMPARE(p.a.clipboard.value, QStringLiteral("写す"));
    p.send(p.a, QString());  // an empty line is not copied
    QCOMPARE(p.a.clipboard.value, QStringLiteral("写す"));
    Testing::control<QCheckBox>(*p.b.main, "CheckBox24")->setChecked(true);
    p.send(p.a, QStringLiteral("受信"));
    QCOMPARE(p.b.clipboard.value, QStringLiteral("受信"));
}

void LinesTest::undoReceivedTwiceAndAfterClear() {
    Pair p;
    const QString start = recordOf(p.b);
    p.send(p.a, "one");
    p.send(p.a, "two");
    p.send(p.a, "three");
    p.a.main->SendCommand(Net::Wire::Command::Undo);
    p.lan.net.deliverAll();
    QCOMPARE(recordOf(p.b), start + "one\ntwo\n");
    p.a.main->SendCommand(Net::Wire::Command::Undo);
    p.lan.net.deliverAll();
    QCOMPARE(recordOf(p.b), start + "one\n");
    QCOMPARE(p.b.main->displayLog().history()[0], QByteArray("one"));
    p.b.main->ClearScreen();
    QCOMPARE(p.b.main->scroller().shownLine, p.b.main->record().lineCount() + p.b.main->scroller().visibleLines);
    p.a.main->SendCommand(Net::Wire::Command::Undo);
    p.lan.net.deliverAll();
    QCOMPARE(recordOf(p.b), start + "one\n");  // nothing recorded: nothing happens
    // Blank-line-only mode takes back what was joined to the line.
    Testing::control<QCheckBox>(*p.b.main, "CheckBox8")->setChecked(true);
    p.send(p.a, "A");
    p.send(p.a, "B");
    QCOMPARE(lastRecordLine(p.b), QStringLiteral("oneAB"));  // joined to the last line
    p.b.main->UndoLastDisplay();
    QCOMPARE(lastRecordLine(p.b), QStringLiteral("oneA"));
}

void LinesTest::undoWithMarkerKeepsTheMarker() {
    Pair p;
    Testing::control<QCheckBox>(*p.b.main, "CheckBox50")->setChecked(true);
    p.send(p.a, "first");
    p.send(p.a, "second");
    QVERIFY(recordOf(p.b).endsWith("first\nsecond\n■\n"));
    p.b.main->UndoLastDisplay();
    QVERIFY(recordOf(p.b).endsWith("first\n■\n"));
    Testing::control<QCheckBox>(*p.b.main, "CheckBox8")->setChecked(true);
    p.send(p.a, "x");
    p.send(p.a, "y");
    QVERIFY(recordOf(p.b).endsWith(QStringLiteral("xy◆\n")));
    p.b.main->UndoLastDisplay();
    QVERIFY(recordOf(p.b).endsWith(QStringLiteral("x◆\n")));
}

void LinesTest::f9TakesTheLineBackIntoThePane() {
    Pair p;
    Testing::control<QCheckBox>(*p.a.main, "CheckBox32")->setChecked(true);
    p.send(p.a, QStringLiteral("まちがい"));
    Testing::control<TextPane>(*p.a.main, "RichEdit1")->setPlainText(QStringLiteral("続き"));
    p.lan.net.clearSent();
    p.a.main->UndoToInput(false);
    p.lan.net.deliverAll();
    QCOMPARE(Testing::control<TextPane>(*p.a.main, "RichEdit1")->toPlainText(), QStringLiteral("まちがい続き"));  // joined before the first line
    QVERIFY(p.a.main->refilledByUndo());
    QCOMPARE(p.lan.payloadsTo(6723), QStringList{"undo"});
    QVERIFY(!recordOf(p.b).contains(QStringLiteral("まちがい")));
    QVERIFY(!recordOf(p.a).contains(QStringLiteral("まちがい")));
    QVERIFY(Testing::control<QTextEdit>(*p.a.main, "RichEdit3")->toPlainText().endsWith(QStringLiteral(",[自分],（Ｕｎｄｏ）")));

    // A partner's line: taken back only with "Ｕｎｄｏの対象にする".
    p.send(p.b, QStringLiteral("相手"));
    Testing::control<QCheckBox>(*p.a.main, "CheckBox11")->setChecked(false);
    p.lan.net.clearSent();
    Testing::control<TextPane>(*p.a.main, "RichEdit1")->clear();
    p.a.main->UndoToInput(true);
    QVERIFY(p.lan.net.sent().isEmpty());
    QCOMPARE(lastRecordLine(p.a), QStringLiteral("相手"));
    QVERIFY(Testing::control<QTextEdit>(*p.a.main, "RichEdit3")->toPlainText().endsWith(QStringLiteral(",[自分],（Ｕｎｄｏ）")));  // still logged
    Testing::control<QCheckBox>(*p.a.main, "CheckBox11")->setChecked(true);
    p.a.main->UndoToInput(true);
    QCOMPARE(Testing::control<TextPane>(*p.a.main, "RichEdit1")->toPlainText(), QStringLiteral("相手"));

    // A blank line without "入力部内で改行する。": gone from the display, the pane unchanged.
    p.send(p.a, QString());
    Testing::control<TextPane>(*p.a.main, "RichEdit1")->setPlainText("abc");
    const int lines = p.a.main->record().recordLineCount();
    p.a.main->UndoToInput(false);
    QCOMPARE(p.a.main->record().recordLineCount(), lines - 1);
    QCOMPARE(Testing::control<TextPane>(*p.a.main, "RichEdit1")->toPlainText(), QStringLiteral("abc"));

    // With "入力部内で改行する。": a line of its own, first or (Shift) last.
    Testing::control<QCheckBox>(*p.a.main, "CheckBox35")->setChecked(true);
    p.send(p.a, "L1");
    Testing::control<TextPane>(*p.a.main, "RichEdit1")->setPlainText("now");
    p.a.main->UndoToInput(true);
    QCOMPARE(Testing::control<TextPane>(*p.a.main, "RichEdit1")->toPlainText(), QStringLiteral("now\nL1"));
    p.send(p.a, "L2");
    Testing::control<TextPane>(*p.a.main, "RichEdit1")->setPlainText("now");
    p.a.main->UndoToInput(false);
    QCOMPARE(Testing::control<TextPane>(*p.a.main, "RichEdit1")->toPlainText(), QStringLiteral("L2\nnow"));
    // Its refinement needs it: checking it alone is refused with a message.
    Testing::control<QCheckBox>(*p.a.main, "CheckBox35")->setChecked(false);
    Testing::control<QCheckBox>(*p.a.main, "CheckBox36")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(*p.a.main, "CheckBox36")->isChecked());
    QVERIFY(p.a.messages.shown.last().startsWith(QStringLiteral("「入力部内で改行する」のチェックを入れてください。")));
    // Nothing to undo: nothing happens, nothing is sent.
    p.a.main->ResetUndoState();
    p.lan.net.clearSent();
    const QString rec = recordOf(p.a);
    p.a.main->UndoToInput(false);
    QCOMPARE(recordOf(p.a), rec);
    QVERIFY(p.lan.net.sent().isEmpty());
}

void LinesTest::deleteAndClearTravelAsCommands() {
    Pair p;
    p.send(p.a, QStringLiteral("あいう"));
    p.a.main->DeleteLastChar();
    p.a.main->SendCommand(Net::Wire::Command::Delete);
    p.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(p.a), QStringLiteral("あい"));  // a double-byte character goes whole
    QCOMPARE(lastRecordLine(p.b), QStringLiteral("あい"));
    Testing::control<QCheckBox>(*p.a.main, "CheckBox22")->setChecked(false);
    p.lan.net.clearSent();
    p.a.main->SendCommand(Net::Wire::Command::Clear);
    QVERIFY(p.lan.net.sent().isEmpty());  // not to the LAN
    Testing::control<QCheckBox>(*p.a.main, "CheckBox22")->setChecked(true);
    p.a.main->SendCommand(Net::Wire::Command::Clear);
    p.lan.net.deliverAll();
    QCOMPARE(p.b.main->scroller().shownLine, p.b.main->record().lineCount() + p.b.main->scroller().visibleLines);
    QVERIFY(recordOf(p.b).endsWith(QStringLiteral("あい\n")));  // the record is not changed
    Testing::control<QCheckBox>(*p.b.main, "CheckBox50")->setChecked(true);
    p.b.main->AppendReceivedLine("z1");
    p.b.main->DeleteLastChar();
    QVERIFY(recordOf(p.b).endsWith(QStringLiteral("z◆\n")));
}

void LinesTest::sixLineCorrection() {
    Pair p;
    for (int i = 1; i <= 8; ++i) p.send(p.a, QStringLiteral("行%1").arg(i));
    Testing::control<QLineEdit>(*p.a.main, "Edit8")->setText("6");
    QCOMPARE(p.a.main->scroller().correctionLines, 6);
    Testing::control<QPushButton>(*p.a.main, "Button12")->click();  // the word-processor screen, where "送" is
    p.a.main->record().removeLastLine();
    p.a.main->record().addLine(QStringLiteral("行8（訂正）"));
    p.a.main->record().addLine(QString());
    p.lan.net.clearSent();
    Testing::control<QPushButton>(*p.a.main, "Button14")->click();
    p.lan.net.deliverAll();
    const QStringList items = p.lan.payloadsTo(6713);
    QCOMPARE(items.size(), 7);
    QCOMPARE(items.mid(0, 6), (QStringList{"行4", "行5", "行6", "行7", "行8（訂正）", "$null$"}));
    QCOMPARE(items[6], QStringLiteral("＜エラー＞行数違い！"));
    QVERIFY(recordOf(p.b).endsWith(QStringLiteral("行8\n行4\n行5\n行6\n行7\n行8（訂正）\n\n")));  // below the record
    QCOMPARE(p.b.main->scroller().shownLine, p.b.main->record().lineCount());
    QVERIFY(Testing::control<QPlainTextEdit>(*p.b.main, "Memo3")->toPlainText().isEmpty());
    QVERIFY(!p.b.main->lastFromSelf());
    // "`*" starts a batch afresh; "`@" closes one too.
    for (const char* item : {"x", "`*", "k1", "`@"})
        p.lan.net.inject("192.168.1.10", 6713, "192.168.1.11", 6713, item);
    p.lan.net.deliverAll();
    QVERIFY(recordOf(p.b).endsWith(QStringLiteral("\nk1\n")));
    QVERIFY(!recordOf(p.b).endsWith(QStringLiteral("x\nk1\n")));
}

void LinesTest::correctionModeHoldsTextsUntilItEnds() {
    Pair p;
    p.send(p.a, "before");
    Testing::control<QPushButton>(*p.b.main, "Button12")->click();  // "ワ"
    Testing::control<QPushButton>(*p.b.main, "Button12")->click();  // "止": correction mode on
    QVERIFY(Testing::control<QCheckBox>(*p.b.main, "CheckBox85")->isChecked());
    p.send(p.a, "held1");
    p.a.main->SendCommand(Net::Wire::Command::Clear);
    p.lan.net.deliverAll();
    p.send(p.a, "held2");
    QVERIFY(!recordOf(p.b).contains("held1"));
    QCOMPARE(p.b.main->wastopMonitor()->held(), (QList<QByteArray>{"held1", "$cls$", "held2"}));
    QCOMPARE(p.b.main->wastopMonitor()->lines(), (QStringList{"held1", "$cls$", "held2"}));
    Testing::control<QPushButton>(*p.b.main, "Button5")->click();  // the monitor's view is emptied; what it holds is not
    QCOMPARE(p.b.main->wastopMonitor()->held().size(), 3);
    const int linesBefore = p.b.main->record().lineCount();
    Testing::control<QPushButton>(*p.b.main, "Button12")->click();  // "動" → "止": the held texts reach the record in their order
    QVERIFY(!Testing::control<QCheckBox>(*p.b.main, "CheckBox85")->isChecked());
    QVERIFY(recordOf(p.b).endsWith("before\nheld1\nheld2\n"));
    QVERIFY(p.b.main->wastopMonitor()->held().isEmpty());
    Q_UNUSED(linesBefore);
    // The clear came between the two lines: its screen is empty, and only held2 is after it.
    QCOMPARE(p.b.main->scroller().shownLine, p.b.main->record().lineCount());
    // A flood while the record is edited (from the member itself, whose datagrams the queue never
    // holds back): the first texts are held, up to the monitor's bound.
    Testing::control<QPushButton>(*p.b.main, "Button12")->click();  // "止" → "動": correction mode on again
    QVERIFY(Testing::control<QCheckBox>(*p.b.main, "CheckBox85")->isChecked());
    for (qsizetype i = 0; i < TForm8::kMostHeld + 100; ++i) {
        p.lan.net.inject("192.168.1.10", 6711, "192.168.1.11", 6711, "f" + QByteArray::number(i));
        if (i % 500 == 0) p.lan.net.deliverAll();
    }
    p.lan.net.deliverAll();
    QCOMPARE(p.b.main->wastopMonitor()->held().size(), TForm8::kMostHeld);
    QCOMPARE(p.b.main->wastopMonitor()->held().first(), "f0");
}

void LinesTest::siblingCopies() {
    Pair p;
    Testing::control<QCheckBox>(*p.a.main, "CheckBox60")->setChecked(true);
    p.send(p.a, "copy me");
    const auto sent = p.lan.net.sentTo(6711);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent[0].to, QStringLiteral("192.168.1.11"));
    const auto sib = p.lan.net.sentTo(7911);
    QCOMPARE(sib.size(), 1);
    QCOMPARE(sib[0].to, QStringLiteral("127.0.0.1"));
    QCOMPARE(sib[0].payload, QByteArray("copy me"));
    // Received lines, commands and corrections are forwarded; loopback ones are dropped.
    p.lan.net.clearSent();
    p.send(p.b, "from b");
    p.b.main->SendCommand(Net::Wire::Command::Undo);
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.net.sentTo(7911).value(0).payload, QByteArray("from b"));
    QCOMPARE(p.lan.net.sentTo(7923).value(0).payload, QByteArray("undo"));
    const QString rec = recordOf(p.a);
    p.a.main->correctionsEndpoint()->sendTo(QStringLiteral("127.0.0.1"), 6711, "looped");
    p.lan.net.deliverAll();
    QCOMPARE(recordOf(p.a), rec);
    // Off: nothing goes to any sibling port.
    Testing::control<QCheckBox>(*p.a.main, "CheckBox60")->setChecked(false);
    p.lan.net.clearSent();
    p.send(p.a, "plain");
    p.a.main->SendCommand(Net::Wire::Command::Delete);
    p.lan.net.deliverAll();
    for (const auto& d : p.lan.net.sent()) QVERIFY2(d.toPort < 7900, qPrintable(QString::number(d.toPort)));
}

void LinesTest::oversizedDatagramsAreIgnored() {
    Pair p;
    p.send(p.a, "keep");
    const QString rec = recordOf(p.b);
    p.lan.net.inject("192.168.1.10", 6723, "192.168.1.11", 6723, "undo" + QByteArray(252, ' '));
    p.lan.net.inject("192.168.1.10", 6711, "192.168.1.11", 6711, QByteArray(1024, 'x'));
    p.lan.net.inject("192.168.1.10", 6713, "192.168.1.11", 6713, QByteArray(1024, 'x'));
    p.lan.net.inject("192.168.1.10", 6723, "192.168.1.11", 6723, "undone");
    p.lan.net.deliverAll();
    QCOMPARE(recordOf(p.b), rec);
    QVERIFY(Testing::control<QPlainTextEdit>(*p.b.main, "Memo3")->toPlainText().isEmpty());
    p.lan.net.inject("192.168.1.10", 6711, "192.168.1.11", 6711, QByteArray(1023, 'y'));
    p.lan.net.deliverAll();
    QVERIFY(recordOf(p.b).endsWith(QString(1023, u'y') + u'\n'));
}

QTEST_MAIN(LinesTest)
#include "test_lines.moc"

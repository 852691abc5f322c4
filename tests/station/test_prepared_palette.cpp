// Correction and the second input: the confirmation and correction palette (queue, keys, the
// correction monitor, linked palettes), the sub-input window (its panes as input panes, undo, live
// typing, the options of the send path) and ruby sent and received on 6736.
#include "support/lan.h"

#include "net/datagram_endpoint.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QTest>

using namespace Testing;

namespace {

// A typist A at .10 who sends to the palette of the corrector B at .11; C at .12 is a third
// member (a second corrector or a watcher).
struct Team {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    TestStation& b = lan.add(11, "B");
    TestStation& c = lan.add(12, "C");
    TFkakunin& palette = *b.main->correctionPalette();
    Team() {
        for (TestStation* s : {&a, &b, &c}) Testing::control<TextPane>(*s->main, "RichEdit1")->clear();
        Testing::control<QCheckBox>(*a.main, "CheckBox21")->setChecked(true);  // "入力をパレットに送信する"
        Testing::control<QPushButton>(*b.main, "ButtonPalette")->click();        // "確認修正ﾊﾟﾚｯﾄ表示"
        lan.net.deliverAll();
        lan.net.clearSent();
    }
    void type(const QString& line) {
        a.main->SendLine(sj(line));
        lan.net.deliverAll();
    }
    void key(int pane, int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(palette.pane(pane), Qt::Key(k), m);
        lan.net.deliverAll();
    }
    QStringList panes() const {
        QStringList out;
        for (int k = 1; k <= 6; ++k) out << palette.pane(k)->toPlainText();
        return out;
    }
};

}  // namespace

class PaletteTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void linesQueueAndEnterSendsTheOldest();
    void overflowFoldsIntoPaneSixThenDrops();
    void escapeTabAndKeys();
    void correctionMonitorFollowsThePanes();
    void linkedPalettesAndTheMainCorrector();
    void paletteOptionsOnTheMainWindow();
    void subInputEnterSendsThroughTheSendPath();
    void subInputLiveTypingUndoAndF12();
    void subInputOptionsOfTheSendPath();
    void otherPanesLeaveTheMainInputPaneAlone();
    void functionKeysOfTheSubInputAndPalettePanes();
    void rubyReceivedAndSent();
};

void PaletteTest::linesQueueAndEnterSendsTheOldest() {
    Team t;
    Testing::control<QCheckBox>(*t.b.main, "CheckBox32")->setChecked(true);  // the explanation page logs what arrives
    t.type(QStringLiteral("一つ目"));
    t.type(QString());  // an empty line is not held
    t.type(QStringLiteral("二つ目"));
    t.type(QStringLiteral("三つ目"));
    QCOMPARE(t.panes(), (QStringList{QStringLiteral("一つ目"), QStringLiteral("二つ目"), QStringLiteral("三つ目"),
                                     QString(), QString(), QString()}));
    QVERIFY(!recordOf(t.a).contains(QStringLiteral("一つ目")));  // nothing reached a display yet
    QVERIFY(!recordOf(t.b).contains(QStringLiteral("一つ目")));
    QVERIFY(Testing::control<QTextEdit>(*t.b.main, "RichEdit3")->toPlainText().contains(QStringLiteral(",[192.168.1.10],（確認修正パレット受信）一つ目")));
    // Enter on pane 1: the first line goes to every display; the others move up.
    t.lan.net.clearSent();
    t.key(1, Qt::Key_Return);
    QCOMPARE(lastRecordLine(t.b), QStringLiteral("一つ目"));
    QCOMPARE(lastRecordLine(t.a), QStringLiteral("一つ目"));
    QCOMPARE(lastRecordLine(t.c), QStringLiteral("一つ目"));
    QCOMPARE(t.panes().mid(0, 3), (QStringList{QStringLiteral("二つ目"), QStringLiteral("三つ目"), QString()}));
    // An edited line keeps its Ctrl+Enter break; the main input pane is left empty.
    t.palette.pane(1)->moveCursor(QTextCursor::End);
    t.key(1, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(t.palette.pane(1), "ok");
    t.key(1, Qt::Key_Return);
    QCOMPARE(t.lan.net.sentTo(6711).last().payload, sj(QStringLiteral("二つ目\r\nok")));
    QCOMPARE(Testing::control<TextPane>(*t.b.main, "RichEdit1")->toPlainText(), QString());
    // A hidden palette takes nothing.
    t.palette.hide();
    t.type(QStringLiteral("見えない"));
    QCOMPARE(t.panes().value(1), QString());
}

void PaletteTest::overflowFoldsIntoPaneSixThenDrops() {
    Team t;
    for (int i = 1; i <= 5; ++i) t.type(QStringLiteral("line%1").arg(i));
    const QString hundred(50, u'あ');  // 100 bytes
    t.type(hundred);  // the sixth line: pane 6
    t.type(hundred);  // the seventh: folded onto pane 6's last line
    QCOMPARE(t.panes().value(5), hundred + hundred);
    t.type(hundred);  // the eighth would pass 253 bytes: lost
    QCOMPARE(t.panes().value(5), hundred + hundred);
    QCOMPARE(t.panes().value(4), QStringLiteral("line5"));
    // ESC on pane 3 of the six: the lines below move up.
    t.key(3, Qt::Key_Escape);
    QCOMPARE(t.panes(), (QStringList{"line1", "line2", "line4", "line5", hundred + hundred, QString()}));
}

void PaletteTest::escapeTabAndKeys() {
    Team t;
    for (int i = 1; i <= 5; ++i) t.type(QStringLiteral("p%1").arg(i));
    t.key(3, Qt::Key_Escape);
    QCOMPARE(t.panes(), (QStringList{"p1", "p2", "p4", "p5", QString(), QString()}));
    QVERIFY(t.lan.net.sentTo(6711).isEmpty());
    // Tab moves to the next pane, from pane 6 back to pane 1.
    t.palette.show();
    t.palette.activateWindow();
    t.palette.pane(6)->setFocus();
    t.key(6, Qt::Key_Tab);
    QVERIFY(t.palette.pane(1)->hasFocus());
    QCOMPARE(t.panes().value(0), QStringLiteral("p1"));
    // F12 sends a blank line; F9 takes the corrector's line back into the pane.
    t.key(1, Qt::Key_F12);
    QCOMPARE(t.lan.payloadsTo(6711), QStringList(2, QStringLiteral("$改行$")));  // to A and to C
    t.key(1, Qt::Key_Return);
    QCOMPARE(lastRecordLine(t.c), QStringLiteral("p1"));
    Testing::control<QCheckBox>(*t.b.main, "CheckBox32")->setChecked(true);
    t.key(3, Qt::Key_F9);
    QCOMPARE(t.panes().value(2), QStringLiteral("p1p5"));  // taken back to the front of the pane
    QVERIFY(!recordOf(t.c).contains(QStringLiteral("p1")));
    QVERIFY(Testing::control<QTextEdit>(*t.b.main, "RichEdit3")->toPlainText().endsWith(QStringLiteral(",[自分],（Ｕｎｄｏ：確認修正パレット１）")));
    // F1 … F8 insert the F-key memo's phrases.
    Testing::control<QLineEdit>(*t.b.main->fkeyMemo(), "Edit56")->setText(QStringLiteral("【拍手】"));
    t.palette.pane(5)->clear();
    t.key(5, Qt::Key_F2);
    QCOMPARE(t.panes().value(4), QStringLiteral("【拍手】"));
    // F11 with "Ｄｅｌキー/Clsキーにする。".
    Testing::control<QCheckBox>(*t.b.main, "CheckBox47")->setChecked(true);
    t.lan.net.clearSent();
    t.key(2, Qt::Key_F11, Qt::ShiftModifier);
    QCOMPARE(t.lan.payloadsTo(6723), (QStringList{"cls", "cls"}));
}

void PaletteTest::correctionMonitorFollowsThePanes() {
    Team t;
    TFshusei_moni& monitor = *t.c.main->correctionMonitor();
    QCOMPARE(monitor.lines().value(0), QStringLiteral("1訂正係りが修正している様子がモニターできます。"));
    monitor.show();
    t.type(QStringLiteral("監視"));
    QCOMPARE(t.lan.payloadsTo(6732).last(), QStringLiteral("1,監視"));
    QCOMPARE(monitor.lines(), (QStringList{QStringLiteral("監視"), "2", "3", "4", "5", "6"}));
    // A feed for pane 4 changes only line 4.
    t.lan.net.inject("192.168.1.11", 6732, "192.168.1.12", 6732, sj(QStringLiteral("4,四番,コンマ")));
    t.lan.net.deliverAll();
    QCOMPARE(monitor.lines(), (QStringList{QStringLiteral("監視"), "2", "3", QStringLiteral("四番,コンマ"), "5", "6"}));
    // Backspace that empties a pane shows "●消去●"; lines are joined without separators.
    t.palette.pane(1)->moveCursor(QTextCursor::End);
    for (int i = 0; i < 2; ++i) t.key(1, Qt::Key_Backspace);
    QCOMPARE(monitor.lines().value(0), QStringLiteral("●消去●"));
    t.palette.pane(2)->setPlainText(QStringLiteral("上\n下"));
    t.lan.net.deliverAll();
    QCOMPARE(monitor.lines().value(1), QStringLiteral("上下"));
    // A first byte other than 1 … 6, and a hidden monitor, are ignored.
    for (const QByteArray& bad : {QByteArray("7,x"), QByteArray("0,x"), QByteArray("x,1"), QByteArray()}) {
        t.lan.net.inject("192.168.1.11", 6732, "192.168.1.12", 6732, bad);
        t.lan.net.deliverAll();
    }
    QCOMPARE(monitor.lines().size(), 6);
    QVERIFY(!monitor.lines().contains("x"));
    monitor.hide();
    t.palette.pane(3)->setPlainText(QStringLiteral("見ない"));
    t.lan.net.deliverAll();
    QCOMPARE(monitor.lines().value(2), QStringLiteral("3"));
    // A typist sending to palettes does not feed the monitors.
    monitor.show();
    t.lan.net.clearSent();
    t.a.main->correctionPalette()->pane(1)->setPlainText(QStringLiteral("typist"));
    t.lan.net.deliverAll();
    QVERIFY(t.lan.net.sentTo(6732).isEmpty());
}

void PaletteTest::linkedPalettesAndTheMainCorrector() {
    Team t;
    TFkakunin& second = *t.c.main->correctionPalette();
    Testing::control<QPushButton>(*t.c.main, "ButtonPalette")->click();
    for (TestStation* s : {&t.b, &t.c}) Testing::control<QCheckBox>(*s->main, "CheckBox30")->setChecked(true);  // "ﾊﾟﾚｯﾄ連動"
    Testing::control<QCheckBox>(*t.b.main, "CheckBox31")->setChecked(true);  // B is the main corrector
    t.type(QStringLiteral("共有"));
    // Only the main corrector takes the line; the other follows on 6717.
    QCOMPARE(t.panes().value(0), QStringLiteral("共有"));
    QCOMPARE(second.pane(1)->toPlainText(), QStringLiteral("共有"));
    QVERIFY(t.lan.payloadsTo(6717).contains(QStringLiteral("1,共有")));
    // Edits travel both ways; the applying flag keeps them from echoing.
    t.lan.net.clearSent();
    second.pane(1)->moveCursor(QTextCursor::End);
    QTest::keyClicks(second.pane(1), "!");
    t.lan.net.deliverAll();
    QCOMPARE(t.panes().value(0), QStringLiteral("共有!"));
    const QStringList link = t.lan.payloadsTo(6717);
    // The change and the key release, each to C's two members, and nothing back from B.
    QCOMPARE(link.count(QStringLiteral("1,共有!")), 4);
    for (const auto& d : t.lan.net.sentTo(6717)) QCOMPARE(d.from, QStringLiteral("192.168.1.12"));
    QVERIFY(!t.palette.applying() && !second.applying());
    // While linked, Enter does not close up the queue.
    t.type(QStringLiteral("二"));
    t.key(1, Qt::Key_Return);
    QCOMPARE(t.panes().mid(0, 2), (QStringList{QString(), QStringLiteral("二")}));
    QCOMPARE(second.pane(2)->toPlainText(), QStringLiteral("二"));
    QCOMPARE(second.pane(1)->toPlainText(), QString());
    // Without the main corrector's box, B ignores 6730 too.
    Testing::control<QCheckBox>(*t.b.main, "CheckBox31")->setChecked(false);
    t.type(QStringLiteral("誰も取らない"));
    QVERIFY(!t.panes().contains(QStringLiteral("誰も取らない")));
    // "未確定も連動" off: key releases are not sent, text changes are.
    Testing::control<QCheckBox>(*t.c.main, "CheckBox38")->setChecked(false);
    t.lan.net.clearSent();
    QTest::keyClick(second.pane(2), Qt::Key_End);
    t.lan.net.deliverAll();
    QVERIFY(t.lan.net.sentTo(6717).isEmpty());
    // A linkage datagram that does not begin with 1 … 6 is ignored; unlinked palettes ignore all.
    t.lan.net.inject("192.168.1.12", 6717, "192.168.1.11", 6717, "9,x");
    t.lan.net.deliverAll();
    QVERIFY(!t.panes().contains("x"));
    Testing::control<QCheckBox>(*t.b.main, "CheckBox30")->setChecked(false);
    t.lan.net.inject("192.168.1.12", 6717, "192.168.1.11", 6717, "3,y");
    t.lan.net.deliverAll();
    QCOMPARE(t.panes().value(2), QString());
    // Closing the palette ends its linkage and shows "入力をパレットに送信する" again.
    second.close();
    QVERIFY(!Testing::control<QCheckBox>(*t.c.main, "CheckBox30")->isChecked());
    QVERIFY(!Testing::control<QCheckBox>(*t.c.main, "CheckBox21")->isHidden());
}

void PaletteTest::paletteOptionsOnTheMainWindow() {
    Team t;
    Ttalk2e& m = *t.a.main;
    QCOMPARE(Testing::control<QCheckBox>(m, "CheckBox38")->text(), QStringLiteral("未確定も連動"));
    QVERIFY(Testing::control<QCheckBox>(m, "CheckBox38")->isChecked());
    // A typist's station: the link options are hidden with "入力をパレットに送信する".
    QVERIFY(Testing::control<QCheckBox>(m, "CheckBox30")->isHidden() && Testing::control<QCheckBox>(m, "CheckBox38")->isHidden());
    Testing::control<QCheckBox>(m, "CheckBox21")->setChecked(false);
    QVERIFY(!Testing::control<QCheckBox>(m, "CheckBox30")->isHidden() && !Testing::control<QCheckBox>(m, "CheckBox38")->isHidden());
    // The palette's panes fill the page: a sixth each, 20 pixels on a low page.
    TFkakunin& p = t.palette;
    p.resize(410, 360);
    QTest::qWait(0);
    p.LayoutPanes();
    const int page = Testing::control<QWidget>(p, "TabSheet1")->height();
    QCOMPARE(p.pane(2)->height(), page <= 140 ? 20 : (page - 10) / 6);
    QCOMPARE(p.pane(6)->y(), 5 * p.pane(1)->height());
    QCOMPARE(p.pane(3)->width(), Testing::control<QWidget>(p, "TabSheet1")->width());
}

namespace {

struct SubInput : PairedLan {
    TForm14& w = *a.main->subInputWindow();
    SubInput() {
        Testing::control<TextPane>(*a.main, "RichEdit1")->clear();
        Testing::control<TextPane>(*b.main, "RichEdit1")->clear();
        Testing::control<TextPane>(w, "RichEdit1")->clear();
        w.show();
        lan.net.deliverAll();
        lan.net.clearSent();
    }
    void key(int pane, int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(w.pane(pane), Qt::Key(k), m);
        lan.net.deliverAll();
    }
    void type(int pane, const QString& text) {
        for (QChar ch : text) {
            QTest::keyClick(w.pane(pane), ch.toLatin1());
            lan.net.deliverAll();
        }
    }
};

}  // namespace

void PaletteTest::subInputEnterSendsThroughTheSendPath() {
    SubInput s;
    s.type(2, "next");
    s.key(2, Qt::Key_Return);
    QCOMPARE(lastRecordLine(s.b), QStringLiteral("next"));
    auto* richEdit2 = Testing::control<TextPane>(s.w, "RichEdit2");
    QCOMPARE(richEdit2->toPlainText(), QString());
    // Enter in an empty pane sends an empty line.
    s.lan.net.clearSent();
    s.key(1, Qt::Key_Return);
    QCOMPARE(s.lan.payloadsTo(6711), QStringList{QStringLiteral("$改行$")});
    // Ctrl+Enter breaks the line inside the pane; the break travels.
    s.type(1, "ab");
    s.key(1, Qt::Key_Return, Qt::ControlModifier);
    s.type(1, "cd");
    s.key(1, Qt::Key_Return);
    QCOMPARE(s.lan.net.sentTo(6711).last().payload, QByteArray("ab\r\ncd"));
    // With "カーソルより前の文を送る。" the text after the caret stays; the speaker name fills an
    // emptied first line.
    Testing::control<QCheckBox>(*s.a.main, "CheckBox53")->setChecked(true);
    auto* richEdit1 = Testing::control<TextPane>(s.w, "RichEdit1");
    richEdit1->setPlainText(QStringLiteral("send|keep"));
    QTextCursor c = richEdit1->textCursor();
    c.setPosition(5);
    richEdit1->setTextCursor(c);
    s.key(1, Qt::Key_Return);
    QCOMPARE(lastRecordLine(s.b), QStringLiteral("send|"));
    QCOMPARE(richEdit1->toPlainText(), QStringLiteral("keep"));
    Testing::control<QCheckBox>(*s.a.main, "CheckBox53")->setChecked(false);
    Testing::control<QLineEdit>(*s.a.main, "Edit31")->setText(QStringLiteral("司会："));
    s.key(1, Qt::Key_Return);
    QCOMPARE(richEdit1->toPlainText(), QStringLiteral("司会："));
    // A pane holds 254 bytes at most.
    richEdit2->clear();
    richEdit2->setFocus();
    QTest::keyClicks(richEdit2, QString(300, u'x'));
    QCOMPARE(richEdit2->toPlainText().size(), 254);
}

void PaletteTest::subInputLiveTypingUndoAndF12() {
    SubInput s;
    s.type(1, "ab");
    QCOMPARE(s.lan.payloadsTo(6712), (QStringList{"a", "ab"}));
    QCOMPARE(s.lan.payloadsTo(6721), (QStringList{"192.168.1.10,a", "192.168.1.10,ab"}));
    QCOMPARE(Testing::control<TextPane>(*s.b.main, "RichEdit27")->toPlainText(), QStringLiteral("ab"));
    s.lan.net.clearSent();
    s.key(1, Qt::Key_Backspace);
    s.key(1, Qt::Key_Backspace);
    QCOMPARE(s.lan.payloadsTo(6712), (QStringList{"a", "$clear$"}));
    QCOMPARE(s.lan.payloadsTo(6721).last(), QStringLiteral("192.168.1.10,●消去●"));
    s.lan.net.clearSent();
    s.key(2, Qt::Key_Left);
    QCOMPARE(s.lan.payloadsTo(6712), QStringList{"$null$"});
    QCOMPARE(s.lan.payloadsTo(6721), QStringList{QStringLiteral("192.168.1.10,$改行$")});
    // F9 takes the last line back into this pane, logged with the pane's name; the main input
    // pane keeps what was typed there.
    s.type(2, "undo me");
    s.key(2, Qt::Key_Return);
    Testing::control<TextPane>(*s.a.main, "RichEdit1")->setPlainText(QStringLiteral("main"));
    Testing::control<QCheckBox>(*s.a.main, "CheckBox32")->setChecked(true);
    s.lan.net.clearSent();
    s.key(2, Qt::Key_F9);
    QCOMPARE(Testing::control<TextPane>(s.w, "RichEdit2")->toPlainText(), QStringLiteral("undo me"));
    QCOMPARE(Testing::control<TextPane>(*s.a.main, "RichEdit1")->toPlainText(), QStringLiteral("main"));
    QVERIFY(!recordOf(s.b).contains(QStringLiteral("undo me")));
    QCOMPARE(s.lan.payloadsTo(6723), QStringList{"undo"});
    const QString log = Testing::control<QTextEdit>(*s.a.main, "RichEdit3")->toPlainText();
    QVERIFY(log.endsWith(QStringLiteral(",[自分],（Ｕｎｄｏ：サブ入力Ｗ２）")));
    QVERIFY(!log.contains(QStringLiteral(",[自分],（Ｕｎｄｏ）")));
    // F12: a blank line, then the pane's text; with "F12で後ろにも空行を入れる" a blank line after.
    Testing::control<QCheckBox>(*s.a.main, "CheckBox13")->setChecked(true);
    s.lan.net.clearSent();
    s.key(2, Qt::Key_F12);
    QCOMPARE(s.lan.payloadsTo(6711), (QStringList{QStringLiteral("$改行$"), "undo me", QStringLiteral("$改行$")}));
    QVERIFY(Testing::control<QTextEdit>(*s.a.main, "RichEdit3")->toPlainText().endsWith(QStringLiteral(",[自分],（前後空行Ｆ１２）")));
    QCOMPARE(Testing::control<TextPane>(s.w, "RichEdit2")->toPlainText(), QString());
    // ESC cuts the pane to the clipboard; Ctrl+Z brings it back.
    s.type(1, "erase");
    s.key(1, Qt::Key_Escape);
    QCOMPARE(Testing::control<TextPane>(s.w, "RichEdit1")->toPlainText(), QString());
    QCOMPARE(s.a.clipboard.value, QStringLiteral("erase"));
    s.key(1, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Testing::control<TextPane>(s.w, "RichEdit1")->toPlainText(), QStringLiteral("erase"));
}

void PaletteTest::subInputOptionsOfTheSendPath() {
    SubInput s;
    Ttalk2e& m = *s.a.main;
    // The character count: red at the limit, and the automatic send.
    Testing::control<QCheckBox>(m, "CheckBox51")->setChecked(true);
    Testing::control<QLineEdit>(m, "Edit21")->setText(QStringLiteral("5"));
    s.type(1, "abcd");
    QCOMPARE(m.stripColour(), Ttalk2e::StripColour::Normal);
    s.type(1, "e");
    QCOMPARE(m.stripColour(), Ttalk2e::StripColour::Red);
    Testing::control<QCheckBox>(m, "CheckBox54")->setChecked(true);
    Testing::control<TextPane>(s.w, "RichEdit1")->clear();
    s.lan.net.clearSent();
    s.type(1, "12345");
    QCOMPARE(s.lan.payloadsTo(6711), QStringList{"12345"});
    QCOMPARE(Testing::control<TextPane>(s.w, "RichEdit1")->toPlainText(), QString());
    // "桁数": the send path splits the line; checking it turns the position marker off and wrap off.
    Testing::control<QCheckBox>(m, "CheckBox54")->setChecked(false);
    Testing::control<QCheckBox>(m, "CheckBox50")->setChecked(true);
    auto* checkBox45 = Testing::control<QCheckBox>(s.w, "CheckBox45");
    checkBox45->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(m, "CheckBox50")->isChecked());
    auto* checkBox37 = Testing::control<QCheckBox>(s.w, "CheckBox37");
    QVERIFY(checkBox37->isChecked());
    QCOMPARE(s.a.messages.shown.mid(s.a.messages.shown.size() - 2),
             (QStringList{QStringLiteral("「表示１」ページの「入力文の表示位置の表示」のチェックを外しました。"),
                          QStringLiteral("「表示の右端で折り返さない。」のチェックを\n入れる必要があるので、チェックを入れました。")}));
    QVERIFY(!s.w.displayWraps());
    Testing::control<QLineEdit>(s.w, "Edit20")->setText(QStringLiteral("4"));
    QCOMPARE(s.w.fixedWidth(), std::optional<int>(4));
    m.SendLine("abcdefgh");
    QVERIFY(recordOf(s.a).contains(QStringLiteral("abcd\nefgh")));
    // "表示・送受信する。" sets both and clears both; unchecking "桁数" clears it.
    Testing::control<QCheckBox>(m, "CheckBox46")->setChecked(true);
    checkBox45->setChecked(false);
    QVERIFY(!Testing::control<QCheckBox>(m, "CheckBox46")->isChecked());
    QVERIFY(!checkBox37->isChecked());
    Testing::control<QCheckBox>(m, "CheckBox46")->setChecked(true);
    QVERIFY(checkBox45->isChecked() && checkBox37->isChecked());
    checkBox37->setChecked(false);  // wrap on again: "桁数" and ruby exchange go off
    QVERIFY(!checkBox45->isChecked() && !Testing::control<QCheckBox>(m, "CheckBox46")->isChecked());
    QVERIFY(s.w.displayWraps());
}

// The typist is writing in the main input pane while lines go out from the sub-input window (the
// point of it: the next sentence prepared while this one is typed) or from the palette: what is
// written there stays, with its caret, whatever sends the line.
void PaletteTest::otherPanesLeaveTheMainInputPaneAlone() {
    SubInput s;
    Ttalk2e& m = *s.a.main;
    Testing::control<QLineEdit>(m, "Edit31")->setText(QStringLiteral("司会："));
    const QString writing = QStringLiteral("書きかけの文");
    Testing::control<TextPane>(m, "RichEdit1")->setPlainText(writing);
    QTextCursor c = Testing::control<TextPane>(m, "RichEdit1")->textCursor();
    c.setPosition(3);
    Testing::control<TextPane>(m, "RichEdit1")->setTextCursor(c);
    auto mainPaneUntouched = [&] {
        return Testing::control<TextPane>(m, "RichEdit1")->toPlainText() == writing && Testing::control<TextPane>(m, "RichEdit1")->textCursor().position() == 3;
    };
    // Enter, F12 and the automatic send of a sub-input pane.
    s.type(1, "one");
    s.key(1, Qt::Key_Return);
    QCOMPARE(lastRecordLine(s.b), QStringLiteral("one"));
    QVERIFY(mainPaneUntouched());
    s.type(2, "two");
    s.key(2, Qt::Key_F12);
    QCOMPARE(s.lan.payloadsTo(6711).last(), QStringLiteral("two"));
    QVERIFY(mainPaneUntouched());
    Testing::control<QCheckBox>(m, "CheckBox54")->setChecked(true);
    Testing::control<QLineEdit>(m, "Edit21")->setText(QStringLiteral("3"));
    Testing::control<TextPane>(s.w, "RichEdit1")->clear();
    s.type(1, "abc");
    QCOMPARE(lastRecordLine(s.b), QStringLiteral("abc"));
    QVERIFY(mainPaneUntouched());
    Testing::control<QCheckBox>(m, "CheckBox54")->setChecked(false);
    // The time limit sends the sub-input pane that has the keyboard.
    Testing::control<QCheckBox>(m, "CheckBox23")->setChecked(true);  // "自動的にEnterし、表示する"
    s.w.activateWindow();
    auto* richEdit2 = Testing::control<TextPane>(s.w, "RichEdit2");
    richEdit2->setFocus();
    QTRY_VERIFY(QApplication::focusWidget() == richEdit2);
    richEdit2->setPlainText(QStringLiteral("late"));
    m.Timer3Timer();
    s.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(s.b), QStringLiteral("late"));
    QVERIFY(mainPaneUntouched());
    Testing::control<QCheckBox>(m, "CheckBox23")->setChecked(false);
    // The main pane's own Enter still empties it and writes the speaker name.
    Testing::control<TextPane>(m, "RichEdit1")->setFocus();
    QTest::keyClick(Testing::control<TextPane>(m, "RichEdit1"), Qt::Key_Return);
    s.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(s.b), writing);
    QCOMPARE(Testing::control<TextPane>(m, "RichEdit1")->toPlainText(), QStringLiteral("司会："));

    // The corrector's palette sends through the main input pane, which then holds what it held.
    Team t;
    Testing::control<TextPane>(*t.b.main, "RichEdit1")->setPlainText(QStringLiteral("修正係のメモ"));
    t.type(QStringLiteral("届いた文"));
    t.key(1, Qt::Key_Return);
    QCOMPARE(lastRecordLine(t.c), QStringLiteral("届いた文"));
    QCOMPARE(Testing::control<TextPane>(*t.b.main, "RichEdit1")->toPlainText(), QStringLiteral("修正係のメモ"));
}

// The F-keys of the main input pane, in the sub-input panes and the palette panes; the palette reads
// no ruby on F1 and gives F11 no phrase.
void PaletteTest::functionKeysOfTheSubInputAndPalettePanes() {
    Team t;
    Ttalk2e& m = *t.b.main;
    TForm14& sub = *m.subInputWindow();
    sub.show();
    auto subKey = [&](int pane, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(sub.pane(pane), Qt::Key(key), mods);
        t.lan.net.deliverAll();
    };
    Testing::control<QLineEdit>(*m.fkeyMemo(), "Edit45")->setText(QStringLiteral("【Ｆ１】"));
    Testing::control<QLineEdit>(*m.fkeyMemo(), "Edit65")->setText(QStringLiteral("【Ｆ１１】"));
    Testing::control<QCheckBox>(m, "CheckBox58")->setChecked(true);  // F1 inserts the captured reading instead of the phrase
    subKey(1, Qt::Key_F1);
    QCOMPARE(sub.pane(1)->toPlainText(), QString());  // nothing captured yet: nothing
    t.key(1, Qt::Key_F1);
    QCOMPARE(t.panes().value(0), QStringLiteral("【Ｆ１】"));
    Testing::control<QCheckBox>(m, "CheckBox58")->setChecked(false);
    subKey(1, Qt::Key_F1);
    QCOMPARE(sub.pane(1)->toPlainText(), QStringLiteral("【Ｆ１】"));

    // F11 without "Ｄｅｌキー/Clsキーにする。".
    subKey(2, Qt::Key_F11);
    QCOMPARE(sub.pane(2)->toPlainText(), QStringLiteral("【Ｆ１１】"));
    t.key(2, Qt::Key_F11);
    QCOMPARE(t.panes().value(1), QString());

    // F8 with "くくる。" and F7 with the correction key, alike in both.
    Testing::control<QCheckBox>(m, "CheckBox43")->setChecked(true);
    Testing::control<QLineEdit>(m, "Edit31")->setText(QStringLiteral("司会："));
    Testing::control<QCheckBox>(m, "CheckBox52")->setChecked(true);
    for (TextPane* p : {sub.pane(1), t.palette.pane(3)}) {
        p->setPlainText(QStringLiteral("司会：はい"));
        QTest::keyClick(p, Qt::Key_F8);
        QCOMPARE(p->toPlainText(), QStringLiteral("司会：「はい」"));
        QTest::keyClick(p, Qt::Key_F7);
        QCOMPARE(p->toPlainText(), QStringLiteral("訂正：↑の「」は「」です。"));
    }

    // F9 names the sub-input pane on the explanation page.
    Testing::control<QCheckBox>(m, "CheckBox32")->setChecked(true);
    m.SendLine(sj(QStringLiteral("戻す")));
    t.lan.net.deliverAll();
    sub.pane(2)->clear();
    subKey(2, Qt::Key_F9);
    QCOMPARE(sub.pane(2)->toPlainText(), QStringLiteral("戻す"));
    QVERIFY(Testing::control<QTextEdit>(m, "RichEdit3")->toPlainText().endsWith(QStringLiteral(",[自分],（Ｕｎｄｏ：サブ入力Ｗ２）")));
}

void PaletteTest::rubyReceivedAndSent() {
    SubInput s;
    s.a.main->SendLine(sj(QStringLiteral("今日は東京で会議")));
    s.lan.net.deliverAll();
    // Off unless "表示・送受信する。" is on at the receiver.
    s.lan.net.inject("192.168.1.10", 6736, "192.168.1.11", 6736, sj(QStringLiteral("東京,とうきょう")));
    s.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(s.b), QStringLiteral("今日は東京で会議"));
    Testing::control<QCheckBox>(*s.b.main, "CheckBox46")->setChecked(true);
    // Three fields: the first two are base and reading.
    s.lan.net.inject("192.168.1.10", 6736, "192.168.1.11", 6736, sj(QStringLiteral("東京,とうきょう,余分")));
    s.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(s.b), QStringLiteral("今日は`rとうきょう`s東京で会議"));
    // A base that already has a reading ends with exactly one, the new one.
    s.lan.net.inject("192.168.1.10", 6736, "192.168.1.11", 6736, sj(QStringLiteral("東京,トウキョウ")));
    s.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(s.b), QStringLiteral("今日は`rトウキョウ`s東京で会議"));
    // Oversized, or from the sibling loopback while "７ｗに表示" is on: ignored. Otherwise the
    // sibling display gets a copy.
    s.lan.net.inject("192.168.1.10", 6736, "192.168.1.11", 6736, QByteArray(1024, 'x'));
    Testing::control<QCheckBox>(*s.b.main, "CheckBox60")->setChecked(true);
    s.lan.net.inject("127.0.0.1", 6736, "192.168.1.11", 6736, sj(QStringLiteral("会議,かいぎ")));
    s.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(s.b), QStringLiteral("今日は`rトウキョウ`s東京で会議"));
    s.lan.net.inject("192.168.1.10", 6736, "192.168.1.11", 6736, sj(QStringLiteral("会議,かいぎ")));
    s.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(s.b), QStringLiteral("今日は`rトウキョウ`s東京で`rかいぎ`s会議"));
    QCOMPARE(s.lan.net.sentTo(7936).value(0).payload, sj(QStringLiteral("会議,かいぎ")));
    // The visible trigger: base and reading typed on the page "ルビ送信" and sent.
    s.lan.net.clearSent();
    s.a.main->SendLine(sj(QStringLiteral("大阪の天気")));
    s.lan.net.deliverAll();
    Testing::control<QLineEdit>(s.w, "EditBase1")->setText(QStringLiteral("大阪"));
    Testing::control<QLineEdit>(s.w, "EditRuby1")->setText(QStringLiteral("おおさか"));
    Testing::control<QPushButton>(s.w, "ButtonRuby1")->click();
    s.lan.net.deliverAll();
    QCOMPARE(s.lan.payloadsTo(6736), QStringList{QStringLiteral("大阪,おおさか")});
    QCOMPARE(lastRecordLine(s.a), QStringLiteral("`rおおさか`s大阪の天気"));
    QCOMPARE(lastRecordLine(s.b), QStringLiteral("`rおおさか`s大阪の天気"));
    // A comma cannot travel inside base or reading.
    Testing::control<QLineEdit>(s.w, "EditBase2")->setText(QStringLiteral("a,b"));
    Testing::control<QLineEdit>(s.w, "EditRuby2")->setText(QStringLiteral("x"));
    Testing::control<QPushButton>(s.w, "ButtonRuby2")->click();
    QCOMPARE(s.lan.payloadsTo(6736).size(), 1);
    QVERIFY(s.a.messages.shown.last().contains(QStringLiteral("カンマ")));
}

QTEST_MAIN(PaletteTest)
#include "test_prepared_palette.moc"

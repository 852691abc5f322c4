// Typing: the keys of the input pane, the automatic sends, the reading capture, the live typing
// to the partner and to the 8-person monitor (a composition in progress included), the F-key memo
// and the 8-person monitor window.
#include "support/lan.h"

#include "windows/main/strip_alarm.h"
#include "windows/main/input_strip.h"
#include "windows/prepared/preroll_pane.h"
#include "net/datagram_endpoint.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTest>

using namespace Testing;

namespace {
struct Typing : PairedLan {
    Typing() {
        for (TestStation* s : {&a, &b}) {
            s->main->show();
            if (!QTest::qWaitForWindowExposed(s->main.get())) qFatal("the main window was never shown");
            Testing::control<TextPane>(*s->main, "RichEdit1")->clear();  // the instruction line
        }
        Testing::control<TextPane>(*a.main, "RichEdit1")->setFocus();
        lan.net.deliverAll();
        lan.net.clearSent();
    }
    TextPane* pane() { return Testing::control<TextPane>(*a.main, "RichEdit1"); }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(pane(), Qt::Key(k), m);
        lan.net.deliverAll();
    }
    void type(const QString& text) {
        for (QChar c : text) {
            QTest::keyClick(pane(), c.toLatin1());
            lan.net.deliverAll();
        }
    }
    // Commits `word` through the input method, its reading typed first.
    void convert(const QString& reading, const QString& word) {
        QInputMethodEvent preedit(reading, {});
        QCoreApplication::sendEvent(pane(), &preedit);
        QInputMethodEvent commit;
        commit.setCommitString(word);
        QCoreApplication::sendEvent(pane(), &commit);
        lan.net.deliverAll();
    }
    // One key through an input method that composes in place: the method takes the press and
    // shows `preedit` (committing `commit` first); only the release reaches the pane.
    void compose(const QString& preedit, const QString& commit = {}, int released = Qt::Key_A) {
        QInputMethodEvent e(preedit, {{QInputMethodEvent::Cursor, int(preedit.size()), 1}});
        e.setCommitString(commit);
        QCoreApplication::sendEvent(pane(), &e);
        QTest::keyRelease(pane(), Qt::Key(released));
        lan.net.deliverAll();
    }
    QString partnerSees() const { return Testing::control<TextPane>(*b.main, "RichEdit27")->toPlainText(); }
    QString monitorSees() const { return b.main->memberMonitor()->row(1).pane->toPlainText(); }
};
}  // namespace

class InputTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void liveTypingReachesPartnerAndMonitor();
    void liveTypingShowsTheComposition();
    void compositionAtTheCaretAndTheLimit();
    void erasingAndEmptyKeysSendTokens();
    void enterSendsAndCtrlEnterBreaks();
    void f12SendsBlankLines();
    void readingInsertion();
    void punctuationAndLengthSends();
    void bracketsAndCorrectionTemplate();
    void escapeCutsAndCtrlZRestores();
    void timeLimit();
    void memoPhrasesAndDeleteKeys();
    void paneHoldsAtMost254Bytes();
    void noPathOverfillsThePane();
    void fkeyMemoRows();
    void memberMonitorRowsAndOrder();
    void memberMonitorSwapAndButtons();
    void hintsArePlaceholdersNeverText();
};

void InputTest::liveTypingReachesPartnerAndMonitor() {
    Typing t;
    t.type("abc");
    QCOMPARE(t.lan.payloadsTo(6712), (QStringList{"a", "ab", "abc"}));
    QCOMPARE(t.lan.payloadsTo(6721), (QStringList{"192.168.1.10,a", "192.168.1.10,ab", "192.168.1.10,abc"}));
    QCOMPARE(t.lan.net.sentTo(6712)[0].to, QStringLiteral("192.168.1.11"));
    QCOMPARE(Testing::control<TextPane>(*t.b.main, "RichEdit27")->toPlainText(), QStringLiteral("abc"));
    QCOMPARE(t.b.main->memberMonitor()->row(1).pane->toPlainText(), QStringLiteral("abc"));
    // Without "通信ｏｎ（送信する）" the monitor feed stops; the partner still sees the pane.
    Testing::control<QCheckBox>(*t.a.main, "CheckBox12")->setChecked(false);
    t.lan.net.clearSent();
    t.type("d");
    QCOMPARE(t.lan.payloadsTo(6712), QStringList{"abcd"});
    QVERIFY(t.lan.net.sentTo(6721).isEmpty());
    // The receiver's switch closes its side too.
    Testing::control<QCheckBox>(*t.a.main, "CheckBox12")->setChecked(true);
    Testing::control<QCheckBox>(*t.b.main, "CheckBox12")->setChecked(false);
    t.type("e");
    QCOMPARE(t.b.main->memberMonitor()->row(1).pane->toPlainText(), QStringLiteral("abc"));
}

void InputTest::liveTypingShowsTheComposition() {
    Typing t;
    // On an empty pane the composition is typing: no "$null$" / "$改行$".
    t.compose(QStringLiteral("k"));
    t.compose(QStringLiteral("き"));
    t.compose(QStringLiteral("きょう"));
    QCOMPARE(t.lan.payloadsTo(6712), (QStringList{"k", QStringLiteral("き"), QStringLiteral("きょう")}));
    QCOMPARE(t.lan.payloadsTo(6721), (QStringList{"192.168.1.10,k", QStringLiteral("192.168.1.10,き"),
                                                  QStringLiteral("192.168.1.10,きょう")}));
    QCOMPARE(t.partnerSees(), QStringLiteral("きょう"));
    QCOMPARE(t.monitorSees(), QStringLiteral("きょう"));
    QCOMPARE(t.pane()->toPlainText(), QString());  // nothing committed yet
    // Space converts in place; the monitors follow the conversion.
    t.lan.net.clearSent();
    t.compose(QStringLiteral("今日"), {}, Qt::Key_Space);
    QCOMPARE(t.lan.payloadsTo(6712), QStringList{QStringLiteral("今日")});
    QCOMPARE(t.lan.net.sentTo(6712).value(0).payload, sj(u"今日"));  // code page 932 on the wire
    // Enter commits: the pane holds the word, the monitors keep showing it, nothing is sent as a line.
    t.compose(QString(), QStringLiteral("今日"), Qt::Key_Return);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("今日"));
    QCOMPARE(t.lan.payloadsTo(6712).last(), QStringLiteral("今日"));
    QVERIFY(t.lan.net.sentTo(6711).isEmpty());
    // The next word composes after committed text.
    t.compose(QStringLiteral("は"));
    t.compose(QStringLiteral("はれ"));
    QCOMPARE(t.partnerSees(), QStringLiteral("今日はれ"));
    QCOMPARE(t.monitorSees(), QStringLiteral("今日はれ"));
    QCOMPARE(t.lan.payloadsTo(6721).last(), QStringLiteral("192.168.1.10,今日はれ"));
    // Enter reaching the pane mid-composition sends the committed text only.
    t.lan.net.clearSent();
    t.key(Qt::Key_Return);
    QCOMPARE(t.lan.payloadsTo(6711), QStringList{QStringLiteral("今日")});
    QCOMPARE(lastRecordLine(t.b), QStringLiteral("今日"));
    // Without the monitor feed the partner still sees the composition.
    Testing::control<QCheckBox>(*t.a.main, "CheckBox12")->setChecked(false);
    t.lan.net.clearSent();
    t.compose(QStringLiteral("あめ"));
    QCOMPARE(t.lan.payloadsTo(6712), QStringList{QStringLiteral("あめ")});
    QVERIFY(t.lan.net.sentTo(6721).isEmpty());
    // Backspace that deletes the last composed character leaves an erased pane.
    Testing::control<QCheckBox>(*t.a.main, "CheckBox12")->setChecked(true);
    t.compose(QStringLiteral("あ"), {}, Qt::Key_Backspace);
    t.lan.net.clearSent();
    t.compose(QString(), {}, Qt::Key_Backspace);
    QCOMPARE(t.lan.payloadsTo(6712), QStringList{"$clear$"});
    QCOMPARE(t.lan.payloadsTo(6721), QStringList{QStringLiteral("192.168.1.10,●消去●")});
}

void InputTest::compositionAtTheCaretAndTheLimit() {
    Typing t;
    // Composing inside a line and on its second line: the text as the pane shows it.
    t.type("ac");
    t.key(Qt::Key_Left);
    t.lan.net.clearSent();
    t.compose(QStringLiteral("ば"));
    QCOMPARE(t.partnerSees(), QStringLiteral("aばc"));
    t.compose(QString(), QStringLiteral("場"));
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("a場c"));
    QCOMPARE(t.partnerSees(), QStringLiteral("a場c"));
    t.key(Qt::Key_End);
    t.key(Qt::Key_Return, Qt::ControlModifier);
    t.lan.net.clearSent();
    t.compose(QStringLiteral("つぎ"));
    QCOMPARE(t.lan.net.sentTo(6712).value(0).payload, sj(u"a場c\r\nつぎ"));
    // A composition on the second line of a pane whose first line is empty: still "$null$".
    t.pane()->clear();
    t.key(Qt::Key_Return, Qt::ControlModifier);
    t.lan.net.clearSent();
    t.compose(QStringLiteral("つぎ"));
    QCOMPARE(t.lan.payloadsTo(6712), QStringList{"$null$"});
    // The composition counts as far as a commit would fit: 254 bytes at most go out.
    t.pane()->setPlainText(QString(250, u'x'));
    t.pane()->moveCursor(QTextCursor::End);
    t.lan.net.clearSent();
    t.compose(QStringLiteral("きょうは"));
    QCOMPARE(t.lan.net.sentTo(6712).value(0).payload, QByteArray(250, 'x') + sj(u"きょ"));
    QCOMPARE(t.lan.net.sentTo(6721).value(0).payload, "192.168.1.10," + QByteArray(250, 'x') + sj(u"きょ"));
    // The sub-input window's panes feed live typing the same way.
    TForm14& w = *t.a.main->subInputWindow();
    w.show();
    auto* richEdit1 = Testing::control<TextPane>(w, "RichEdit1");
    richEdit1->clear();
    richEdit1->setFocus();
    QTest::keyClick(richEdit1, 'z');
    t.lan.net.clearSent();
    QInputMethodEvent e(QStringLiteral("よてい"), {{QInputMethodEvent::Cursor, 3, 1}});
    QCoreApplication::sendEvent(richEdit1, &e);
    QTest::keyRelease(richEdit1, Qt::Key_I);
    t.lan.net.deliverAll();
    QCOMPARE(t.lan.payloadsTo(6712), QStringList{QStringLiteral("zよてい")});
    QCOMPARE(t.lan.payloadsTo(6721), QStringList{QStringLiteral("192.168.1.10,zよてい")});
    QCOMPARE(t.monitorSees(), QStringLiteral("zよてい"));
    QCOMPARE(richEdit1->toPlainText(), QStringLiteral("z"));
}

void InputTest::erasingAndEmptyKeysSendTokens() {
    Typing t;
    t.type("a");
    t.lan.net.clearSent();
    t.key(Qt::Key_Backspace);
    QCOMPARE(t.lan.payloadsTo(6712), QStringList{"$clear$"});
    QCOMPARE(t.lan.payloadsTo(6721), QStringList{QStringLiteral("192.168.1.10,●消去●")});
    QCOMPARE(Testing::control<TextPane>(*t.b.main, "RichEdit27")->toPlainText(), QStringLiteral("・"));  // the clear message
    QVERIFY(Testing::control<QTimer>(*t.b.main, "Timer4")->isActive());
    QCOMPARE(Testing::control<QTimer>(*t.b.main, "Timer4")->interval(), 500);
    t.b.main->Timer4Timer();
    QCOMPARE(Testing::control<TextPane>(*t.b.main, "RichEdit27")->toPlainText(), QString());
    // The field of that time: emptied it shows its built value again, without a number it counts as that.
    auto* time = Testing::control<QLineEdit>(*t.b.main, "Edit68");
    time->clear();
    QCOMPARE(time->text(), QStringLiteral("500"));
    time->setText(QStringLiteral("800"));
    QCOMPARE(Testing::control<QTimer>(*t.b.main, "Timer4")->interval(), 800);
    time->setText(QStringLiteral("x"));
    QCOMPARE(Testing::control<QTimer>(*t.b.main, "Timer4")->interval(), 500);
    t.b.main->Timer4Timer();
    t.lan.net.clearSent();
    t.key(Qt::Key_Right);  // any other key on an empty pane
    QCOMPARE(t.lan.payloadsTo(6712), QStringList{"$null$"});
    QCOMPARE(t.lan.payloadsTo(6721), QStringList{QStringLiteral("192.168.1.10,$改行$")});
    // The monitor window can show a space instead of the tokens.
    Testing::control<QCheckBox>(*t.b.main->memberMonitor(), "CheckBox1")->setChecked(true);
    t.key(Qt::Key_Left);
    QCOMPARE(t.b.main->memberMonitor()->row(1).pane->toPlainText(), QStringLiteral(" "));
}

void InputTest::enterSendsAndCtrlEnterBreaks() {
    Typing t;
    Testing::control<QCheckBox>(*t.b.main, "CheckBox57")->setChecked(true);
    t.type("ab");
    t.key(Qt::Key_Return, Qt::ControlModifier);
    t.type("cd");
    QCOMPARE(Testing::control<TextPane>(*t.a.main, "RichEdit1")->toPlainText(), QStringLiteral("ab\ncd"));
    QCOMPARE(Testing::control<TextPane>(*t.b.main, "RichEdit27")->toPlainText(), QStringLiteral("ab■cd"));
    QCOMPARE(t.b.main->memberMonitor()->row(1).pane->toPlainText(), QStringLiteral("ab■cd"));  // "改行を「■」で表示"
    t.lan.net.clearSent();
    t.key(Qt::Key_Return);
    QCOMPARE(t.lan.net.sentTo(6711).value(0).payload, QByteArray("ab\r\ncd"));
    QVERIFY(recordOf(t.b).endsWith(QStringLiteral("ab\ncd\n")));
    QCOMPARE(Testing::control<TextPane>(*t.a.main, "RichEdit1")->toPlainText(), QString());
    QCOMPARE(t.lan.payloadsTo(6712), (QStringList{" ", "$null$"}));  // SendLine's space, then the release
    QCOMPARE(t.lan.payloadsTo(6721).last(), QStringLiteral("192.168.1.10,$改行$"));
    // Enter ends correction mode on the way.
    Testing::control<QPushButton>(*t.a.main, "Button12")->click();
    Testing::control<QPushButton>(*t.a.main, "Button12")->click();
    QVERIFY(Testing::control<QCheckBox>(*t.a.main, "CheckBox85")->isChecked());
    Testing::control<TextPane>(*t.a.main, "RichEdit1")->setFocus();
    t.type("x");
    t.key(Qt::Key_Return);
    QVERIFY(!Testing::control<QCheckBox>(*t.a.main, "CheckBox85")->isChecked());
    QCOMPARE(Testing::control<QPushButton>(*t.a.main, "Button12")->text(), QStringLiteral("止"));
}

void InputTest::f12SendsBlankLines() {
    Typing t;
    t.key(Qt::Key_F12);
    QCOMPARE(t.lan.payloadsTo(6711), (QStringList{"$改行$", "$改行$"}));
    t.lan.net.clearSent();
    Testing::control<QCheckBox>(*t.a.main, "CheckBox13")->setChecked(true);
    t.key(Qt::Key_F12);
    QCOMPARE(t.lan.payloadsTo(6711), (QStringList{"$改行$", "$改行$", "$改行$"}));
    // With text: a blank line first, then the text.
    t.lan.net.clearSent();
    Testing::control<QCheckBox>(*t.a.main, "CheckBox13")->setChecked(false);
    t.type("hi");
    t.key(Qt::Key_F12);
    QCOMPARE(t.lan.payloadsTo(6711), (QStringList{"$改行$", "hi"}));
    // With "カーソルより前の文を送る。": the text before the caret; the rest stays.
    t.lan.net.clearSent();
    Testing::control<QCheckBox>(*t.a.main, "CheckBox53")->setChecked(true);
    t.type("abcd");
    t.key(Qt::Key_Left);
    t.key(Qt::Key_Left);
    t.key(Qt::Key_F12);
    QCOMPARE(t.lan.payloadsTo(6711), (QStringList{"$改行$", "ab"}));
    QCOMPARE(Testing::control<TextPane>(*t.a.main, "RichEdit1")->toPlainText(), QStringLiteral("cd"));
    QCOMPARE(Testing::control<TextPane>(*t.a.main, "RichEdit1")->textCursor().position(), 0);
}

void InputTest::readingInsertion() {
    Typing t;
    Testing::control<QCheckBox>(*t.a.main, "CheckBox59")->setChecked(true);
    t.key(Qt::Key_F1);  // nothing captured yet: nothing happens
    QCOMPARE(t.pane()->toPlainText(), QString());
    t.convert(QStringLiteral("かんじ"), QStringLiteral("漢字"));
    QCOMPARE(t.a.main->strip().reading(), QStringLiteral("かんじ"));
    t.key(Qt::Key_F1);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("`rかんじ`s漢字"));
    QCOMPARE(t.pane()->textCursor().position(), int(t.pane()->toPlainText().size()));
    QVERIFY(t.a.main->strip().reading().isEmpty());
    // Katakana, and half-width katakana as the other input methods deliver it.
    Testing::control<QRadioButton>(*t.a.main, "RadioButton2")->setChecked(true);
    t.convert(QStringLiteral("へんかん"), QStringLiteral("変換"));
    t.key(Qt::Key_F1);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("`rかんじ`s漢字`rヘンカン`s変換"));
    Testing::control<QRadioButton>(*t.a.main, "RadioButton1")->setChecked(true);
    t.convert(QStringLiteral("がくせい"), QStringLiteral("学生"));
    t.key(Qt::Key_F1);
    QVERIFY(t.pane()->toPlainText().endsWith(QStringLiteral("`rｶﾞｸｾｲ`s学生")));
    // Bracketed reading at the caret.
    t.pane()->clear();
    Testing::control<QRadioButton>(*t.a.main, "RadioButton3")->setChecked(true);
    Testing::control<QCheckBox>(*t.a.main, "CheckBox58")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(*t.a.main, "CheckBox59")->isChecked());  // the two exclude each other
    t.convert(QStringLiteral("ようやく"), QStringLiteral("要約"));
    t.key(Qt::Key_F1);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("要約（ようやく）"));
    // Both explanations were shown, the station being started.
    QVERIFY(t.a.messages.shown.filter(QStringLiteral("下のカッコ枠で指定した文字で囲んで、")).size() == 1);
    QVERIFY(t.a.messages.shown.filter(QStringLiteral(" 「入力した読み」をルビ記号「‘ｒ」「‘ｓ」で囲い、")).size() == 1);
}

void InputTest::punctuationAndLengthSends() {
    Typing t;
    Testing::control<QCheckBox>(*t.a.main, "CheckBox61")->setChecked(true);
    t.convert(QString(), QStringLiteral("です。"));
    QCOMPARE(t.lan.payloadsTo(6711), QStringList{QStringLiteral("です。")});
    QCOMPARE(t.pane()->toPlainText(), QString());
    Testing::control<QCheckBox>(*t.a.main, "CheckBox61")->setChecked(false);
    t.lan.net.clearSent();
    Testing::control<QLineEdit>(*t.a.main, "Edit21")->setText("5");
    Testing::control<QCheckBox>(*t.a.main, "CheckBox51")->setChecked(true);
    t.type("abcd");
    QCOMPARE(t.a.main->stripColour(), Ttalk2e::StripColour::Normal);
    Testing::control<QCheckBox>(*t.a.main, "CheckBox54")->setChecked(true);
    t.type("e");  // the length limit: the whole pane goes
    QCOMPARE(t.lan.payloadsTo(6711), QStringList{"abcde"});
    QCOMPARE(t.pane()->toPlainText(), QString());
    Testing::control<QCheckBox>(*t.a.main, "CheckBox54")->setChecked(false);
    t.type("vwxyz");
    QCOMPARE(t.a.main->stripColour(), Ttalk2e::StripColour::Red);
    QCOMPARE(Testing::control<QFrame>(*t.a.main, "Panel1")->palette().color(QPalette::Window), QColor(255, 0, 0));
    Testing::control<QCheckBox>(*t.a.main, "CheckBox51")->setChecked(false);
    QCOMPARE(t.a.main->stripColour(), Ttalk2e::StripColour::Normal);
    // A pane refilled by F9 is not sent by these rules until the next line is sent.
    t.pane()->clear();
    Testing::control<QCheckBox>(*t.a.main, "CheckBox61")->setChecked(true);
    t.a.main->SendLine(sj(QStringLiteral("戻す。")));
    t.lan.net.deliverAll();
    t.lan.net.clearSent();
    t.key(Qt::Key_F9);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("戻す。"));
    QVERIFY(t.lan.net.sentTo(6711).isEmpty());
}

void InputTest::bracketsAndCorrectionTemplate() {
    Typing t;
    Testing::control<QCheckBox>(*t.a.main, "CheckBox43")->setChecked(true);
    Testing::control<QLineEdit>(*t.a.main, "Edit31")->setText(QStringLiteral("司会："));
    t.pane()->setPlainText(QStringLiteral("司会：こんにちは\n皆さん"));
    t.key(Qt::Key_F8);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("司会：「こんにちは\n皆さん」"));
    t.pane()->setPlainText(QStringLiteral("歌"));
    t.key(Qt::Key_F8, Qt::ShiftModifier);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("♪歌♪"));
    // F7 with the correction key: the text selected in the record.
    Testing::control<QCheckBox>(*t.a.main, "CheckBox52")->setChecked(true);
    t.a.main->SendLine(sj(QStringLiteral("間違えた文")));
    Testing::control<QPushButton>(*t.a.main, "Button12")->click();  // the word-processor screen
    QTextCursor c(t.a.main->record().document());
    c.movePosition(QTextCursor::End);
    c.movePosition(QTextCursor::PreviousBlock);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    Testing::control<TextPane>(*t.a.main, "RichEdit2")->setTextCursor(c);
    Testing::control<TextPane>(*t.a.main, "RichEdit2")->setFocus();
    QTest::keyClick(Testing::control<TextPane>(*t.a.main, "RichEdit2"), Qt::Key_F7);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("訂正：↑の「間違えた文」は「」です。"));
    QCOMPARE(t.a.main->focusWidget(), t.pane());
}

void InputTest::escapeCutsAndCtrlZRestores() {
    Typing t;
    t.type("erase me");
    t.key(Qt::Key_Escape);
    QCOMPARE(t.pane()->toPlainText(), QString());
    QCOMPARE(t.a.clipboard.value, QStringLiteral("erase me"));
    QCOMPARE(t.lan.payloadsTo(6712).last(), QStringLiteral("$clear$"));
    t.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("erase me"));
}

void InputTest::timeLimit() {
    Typing t;
    Testing::control<QCheckBox>(*t.a.main, "CheckBox15")->setChecked(true);
    Testing::control<QLineEdit>(*t.a.main, "Edit16")->setText("3");
    t.type("slow");
    QVERIFY(Testing::control<QTimer>(*t.a.main, "Timer3")->isActive());
    QCOMPARE(Testing::control<QTimer>(*t.a.main, "Timer3")->interval(), 3000);
    t.a.main->Timer3Timer();
    QCOMPARE(t.a.main->stripColour(), Ttalk2e::StripColour::Red);
    // A thick red frame over the whole strip, not just its thin edges.
    auto* alarm = Testing::control<QFrame>(*t.a.main, "Panel1")->findChild<StripAlarm*>();
    QVERIFY(alarm && alarm->isVisible());
    QCOMPARE(alarm->colour(), QColor(255, 0, 0));
    QCOMPARE(alarm->geometry(), Testing::control<QFrame>(*t.a.main, "Panel1")->rect());
    QVERIFY(t.lan.net.sentTo(6711).isEmpty());  // only red
    t.key(Qt::Key_Return);
    QCOMPARE(t.a.main->stripColour(), Ttalk2e::StripColour::Normal);
    QVERIFY(alarm->isHidden());
    t.lan.net.clearSent();
    Testing::control<QCheckBox>(*t.a.main, "CheckBox23")->setChecked(true);
    t.a.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t.a.main.get()));
    t.pane()->setFocus();
    t.type("late");
    t.a.main->Timer3Timer();  // automatic Enter of the focused pane
    t.lan.net.deliverAll();
    QCOMPARE(t.lan.payloadsTo(6711), QStringList{"late"});
    QCOMPARE(t.a.clipboard.value, QStringLiteral("late"));
    QCOMPARE(t.a.main->stripColour(), Ttalk2e::StripColour::Normal);
    // Typing in the F-key memo: the input pane is not the one with the keyboard, so an empty
    // line goes out and the pane keeps its text.
    t.type("kept");
    t.a.main->fkeyMemo()->show();
    t.a.main->fkeyMemo()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t.a.main->fkeyMemo()));
    Testing::control<QLineEdit>(*t.a.main->fkeyMemo(), "Edit56")->setFocus();
    t.lan.net.clearSent();
    t.a.main->Timer3Timer();
    t.lan.net.deliverAll();
    QCOMPARE(t.lan.payloadsTo(6711), QStringList{QStringLiteral("$改行$")});
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("kept"));
    t.a.main->fkeyMemo()->hide();
    Testing::control<QCheckBox>(*t.a.main, "CheckBox15")->setChecked(false);
    Testing::control<QCheckBox>(*t.a.main, "CheckBox23")->setChecked(false);
    QVERIFY(!Testing::control<QTimer>(*t.a.main, "Timer3")->isActive());
}

void InputTest::memoPhrasesAndDeleteKeys() {
    Typing t;
    Testing::control<QLineEdit>(*t.a.main->fkeyMemo(), "Edit56")->setText(QStringLiteral("（笑）"));
    t.type("a");
    t.key(Qt::Key_F2);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("a（笑）"));
    Testing::control<QCheckBox>(*t.a.main->fkeyMemo(), "CheckBox2")->setChecked(true);
    t.key(Qt::Key_F2);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("（笑）"));
    // F11 deletes the last displayed character, Shift+F11 clears the screen, here and at B.
    t.pane()->clear();
    t.a.main->SendLine("xyz");
    t.lan.net.deliverAll();
    Testing::control<QCheckBox>(*t.a.main, "CheckBox47")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(*t.a.main, "CheckBox40")->isChecked());
    QVERIFY(t.a.messages.shown.last().startsWith(QStringLiteral("「表示２」ページの「Ｕｎｄｏの表示方法」")));
    t.key(Qt::Key_F11);
    QCOMPARE(lastRecordLine(t.a), QStringLiteral("xy"));
    QCOMPARE(lastRecordLine(t.b), QStringLiteral("xy"));
    t.key(Qt::Key_F11, Qt::ShiftModifier);
    QCOMPARE(t.b.main->scroller().shownLine, t.b.main->record().lineCount() + t.b.main->scroller().visibleLines);
    // F9 and Shift+F9 take the newest line back into the pane.
    t.a.main->SendLine("back");
    t.lan.net.deliverAll();
    t.pane()->setPlainText("now");
    t.key(Qt::Key_F9, Qt::ShiftModifier);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("nowback"));
}

void InputTest::paneHoldsAtMost254Bytes() {
    Typing t;
    t.pane()->setPlainText(QString(252, u'x'));
    t.pane()->moveCursor(QTextCursor::End);
    t.type("abc");
    QCOMPARE(t.pane()->toPlainText().size(), 254);
    t.convert(QString(), QStringLiteral("漢"));  // two more bytes do not fit
    QCOMPARE(t.pane()->toPlainText().size(), 254);
    // A long paste is cut where the pane is full, never inside a character.
    t.pane()->setPlainText(QStringLiteral("ab"));
    t.pane()->moveCursor(QTextCursor::End);
    t.a.clipboard.value.clear();
    QMimeData paste;
    paste.setText(QString(5000, u'あ'));
    t.pane()->insertFromMimeData(&paste);
    QCOMPARE(t.pane()->toPlainText(), QStringLiteral("ab") + QString(126, u'あ'));
}

void InputTest::noPathOverfillsThePane() {
    Typing t;
    auto fits = [&] {
        const QByteArray bytes = Cp932::encodeCrLf(t.pane()->toPlainText());
        return bytes.size() <= 254 && Cp932::safeCut(bytes, bytes.size()) == bytes.size();
    };
    // An F-key phrase of 140 full-width characters with its clear-first box on.
    Testing::control<QLineEdit>(*t.a.main->fkeyMemo(), "Edit58")->setText(QString(140, QChar(0x3042)));
    Testing::control<QCheckBox>(*t.a.main->fkeyMemo(), "CheckBox4")->setChecked(true);
    t.key(Qt::Key_F4);
    QCOMPARE(t.pane()->toPlainText(), QString(127, QChar(0x3042)));
    t.lan.net.clearSent();
    t.key(Qt::Key_Return);
    QCOMPARE(t.lan.net.sentTo(6711).value(0).payload.size(), 254);
    // The same phrase inserted into a pane that holds text.
    Testing::control<QCheckBox>(*t.a.main->fkeyMemo(), "CheckBox4")->setChecked(false);
    t.type("abc");
    t.key(Qt::Key_F4);
    QVERIFY(fits());
    // The F7 template around a long selection of the record.
    Testing::control<QCheckBox>(*t.a.main, "CheckBox52")->setChecked(true);
    Testing::control<QLineEdit>(*t.a.main, "Edit94")->setText(QString(60, QChar(0x8A02)));
    t.a.main->SendLine(Cp932::encode(QString(120, QChar(0x304B))));
    Testing::control<QPushButton>(*t.a.main, "Button12")->click();  // the word-processor screen shows the record
    QTextCursor sel(t.a.main->record().document());
    sel.movePosition(QTextCursor::End);
    sel.movePosition(QTextCursor::PreviousBlock);
    sel.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    Testing::control<TextPane>(*t.a.main, "RichEdit2")->setTextCursor(sel);
    t.pane()->setFocus();
    t.key(Qt::Key_F7);
    QVERIFY(fits());
    QVERIFY(t.pane()->toPlainText().startsWith(QString(60, QChar(0x8A02))));
    Testing::control<QPushButton>(*t.a.main, "Button13")->click();
    // Brackets around a pane that is nearly full.
    Testing::control<QCheckBox>(*t.a.main, "CheckBox43")->setChecked(true);
    t.pane()->setPlainText(QString(126, QChar(0x3042)));
    t.key(Qt::Key_F8);
    QVERIFY(fits());
    QVERIFY(t.pane()->toPlainText().startsWith(QStringLiteral("「")));
    // F9 takes back a 300-byte line from the sub-input window into the pane.
    t.pane()->clear();
    t.a.main->SendLine(QByteArray(300, 'w'));
    t.key(Qt::Key_F9);
    QVERIFY(fits());
    QCOMPARE(t.pane()->toPlainText(), QString(254, u'w'));
}

void InputTest::fkeyMemoRows() {
    Typing t;
    TForm5& memo = *t.a.main->fkeyMemo();
    QCOMPARE(memo.size(), QSize(232, 333));
    Testing::control<QPushButton>(*t.a.main, "Button52")->click();
    QCOMPARE(memo.pos(), t.a.main->pos() + QPoint(25, 80));
    QVERIFY(memo.isVisible());
    QVERIFY(Testing::control<QLabel>(memo, "LabelF8")->isHidden());
    Testing::control<QCheckBox>(*t.a.main, "CheckBox43")->setChecked(true);
    QVERIFY(!Testing::control<QLabel>(memo, "LabelF8")->isHidden());
    QVERIFY(Testing::control<QLineEdit>(memo, "Edit62")->isHidden());
    Testing::control<QCheckBox>(*t.a.main, "CheckBox52")->setChecked(true);
    QVERIFY(Testing::control<QLineEdit>(memo, "Edit61")->isHidden() && !Testing::control<QLabel>(memo, "LabelF7")->isHidden());
    Testing::control<QCheckBox>(*t.a.main, "CheckBox59")->setChecked(true);
    QVERIFY(Testing::control<QLineEdit>(memo, "Edit45")->isHidden() && !Testing::control<QLabel>(memo, "LabelF1")->isHidden());
    memo.resize(400, 333);
    QVERIFY(Testing::control<QLineEdit>(memo, "Edit56")->width() > 217);
    // Ctrl+F brings the memo forward while it is shown.
    t.a.main->HotKey(QStringLiteral("hkey_fkeymemo"));
    QVERIFY(memo.isVisible());
}

void InputTest::memberMonitorRowsAndOrder() {
    Lan lan;
    TestStation& me = lan.add(10, "me");
    for (int h = 11; h <= 13; ++h) lan.add(h, QStringLiteral("m%1").arg(h));
    TForm2& mon = *me.main->memberMonitor();
    QCOMPARE(mon.row(2).name->text(), QStringLiteral("m12"));
    // Row height: lines × size × 2 + 2.
    Testing::control<QLineEdit>(*me.main, "Edit20")->setText("9");
    QCOMPARE(mon.rowHeight(), 218);
    QCOMPARE(mon.row(2).pane->height(), 218);
    QCOMPARE(mon.row(3).pane->y(), 2 * (218 + 4));
    Testing::control<QLineEdit>(*me.main, "Edit20")->setText("1");
    QCOMPARE(mon.rowHeight(), 26);
    // A feed with commas arrives whole; an unknown sender is dropped.
    auto feed = [&](int host, const QString& text) {
        lan.net.inject(QStringLiteral("192.168.1.%1").arg(host), 6721, "192.168.1.10", 6721,
                       sj(QStringLiteral("192.168.1.%1,").arg(host) + text));
        lan.net.deliverAll();
    };
    feed(12, "a,b,c");
    QCOMPARE(mon.row(2).pane->toPlainText(), QStringLiteral("a,b,c"));
    feed(99, "stranger");
    feed(12, QStringLiteral("$改行$"));
    for (int k = 1; k <= 8; ++k) QVERIFY(mon.row(k).pane->toPlainText() != QLatin1String("stranger"));
    // Automatic order: the typing member rises to the top, and returns below when idle.
    Testing::control<QCheckBox>(mon, "CheckBox2")->setChecked(true);
    QCOMPARE(mon.rowOrder().mid(0, 3), (QList<int>{1, 2, 3}));
    feed(13, QStringLiteral("typing"));
    QCOMPARE(mon.rowOrder().first(), 3);
    feed(11, QStringLiteral("also"));
    QCOMPARE(mon.rowOrder().mid(0, 2), (QList<int>{3, 1}));
    feed(13, QStringLiteral("$改行$"));
    QCOMPARE(mon.rowOrder().first(), 1);
    QVERIFY(mon.rowOrder().indexOf(3) > 0);
    // A new name empties the row's pane.
    Testing::control<QLineEdit>(*me.main, "Edit36")->setText(QStringLiteral("renamed"));
    QCOMPARE(mon.row(1).name->text(), QStringLiteral("renamed"));
    QCOMPARE(mon.row(1).pane->toPlainText(), QString());
}

void InputTest::memberMonitorSwapAndButtons() {
    Lan lan;
    TestStation& me = lan.add(10, "me");
    for (int h = 11; h <= 13; ++h) lan.add(h, QStringLiteral("m%1").arg(h));
    TForm2& mon = *me.main->memberMonitor();
    mon.show();
    const int top1 = mon.row(1).top, top3 = mon.row(3).top;
    mon.RowClicked(1);
    QVERIFY(mon.row(1).pane->isHidden());
    mon.RowClicked(3);
    QCOMPARE(mon.row(1).top, top3);
    QCOMPARE(mon.row(3).top, top1);
    QVERIFY(!mon.row(1).pane->isHidden());
    // Turning automatic order on while a swap is pending leaves it off and restacks.
    mon.RowClicked(2);
    Testing::control<QCheckBox>(mon, "CheckBox2")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(mon, "CheckBox2")->isChecked());
    QCOMPARE(mon.selectedRow(), 0);
    QCOMPARE(mon.row(1).top, 0);
    // The pairing buttons mirror the slot's and call the same operations.
    lan.net.clearSent();
    mon.row(2).request->click();
    lan.net.deliverAll();
    QCOMPARE(me.main->partnerSlot(), 2);
    QVERIFY(mon.row(2).request->isHidden());
    QVERIFY(!mon.row(2).partner->isHidden());
    mon.row(2).partner->click();
    QCOMPARE(me.main->partnerSlot(), 0);
    QVERIFY(!mon.row(2).request->isHidden());
    // Font and colour apply to every row.
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPointSize(20);
    me.dialogs.fonts.push_back(f);
    Testing::control<QPushButton>(mon, "Button1")->click();
    QCOMPARE(mon.row(5).pane->font().pointSize(), 20);
    QCOMPARE(mon.rowHeight(), 42);
    me.dialogs.colours.push_back(QColor(255, 255, 200));
    Testing::control<QPushButton>(mon, "Button2")->click();
    QCOMPARE(mon.row(8).name->palette().color(QPalette::Base), QColor(255, 255, 200));
    // A right click on a name or a pane picks its colour, and no edit menu opens over it.
    for (QWidget* target : std::initializer_list<QWidget*>{mon.row(3).name, mon.row(3).pane->viewport()}) {
        bool menuSeen = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                menuSeen = true;
                popup->close();
            }
        });
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &menu);
        QCoreApplication::processEvents();
        QVERIFY(!menuSeen);
    }
}

// Every pane that explains itself does so with a hint shown while it is empty: never part of its
// text, so what a typist types there is all that is sent, shown and fed live.
void InputTest::hintsArePlaceholdersNeverText() {
    PairedLan p;
    Ttalk2e& m = *p.a.main;
    TForm14& sub = *m.subInputWindow();
    TForm11& rolls = *m.templateWindow();
    TForm15& notice = *m.noticeWindow();
    struct Hinted {
        QWidget* pane;
        QString text, hint;
    };
    auto hinted = [](QWidget* w) -> Hinted {
        if (auto* e = qobject_cast<QTextEdit*>(w)) return {w, e->toPlainText(), e->placeholderText()};
        if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return {w, e->toPlainText(), e->placeholderText()};
        auto* e = qobject_cast<QLineEdit*>(w);
        return {w, e->text(), e->placeholderText()};
    };
    const QList<std::pair<QWidget*, QString>> panes{
        {Testing::control<TextPane>(m, "RichEdit1"), QStringLiteral("入力部　（Enter：表示に流す、Ctrl+Enter：入力部内で改行、ESC：消去、Ctrl+Z：消去取消）")},
        {Testing::control<TextPane>(sub, "RichEdit1"), QStringLiteral("・フォントの指定は、「表示１」の「モニター部、入力部」で行います。")},
        {Testing::control<TextPane>(sub, "RichEdit3"), QStringLiteral("メモ帳です。ここに書いた文はどこにも送られません。")},
        {Testing::control<PrerollPane>(rolls, "RichEdit1"), QStringLiteral("テンプレート前ロールウィンドは、")},
        {Testing::control<PrerollPane>(rolls, "RichEdit2"), QStringLiteral("これは、前ロール２です。")},
        {Testing::control<PrerollPane>(rolls, "RichEdit3"), QStringLiteral("これは、前ロール３です。")},
        {Testing::control<QLineEdit>(notice, "Edit1"), QStringLiteral("ここにお知らせを入力します。（最大５００文字）")},
    };
    for (const auto& [pane, start] : panes) {
        const Hinted h = hinted(pane);
        QVERIFY2(h.text.isEmpty(), qPrintable(pane->objectName() + u' ' + h.text));
        QVERIFY2(h.hint.startsWith(start), qPrintable(pane->objectName() + u' ' + h.hint));
    }
    p.lan.net.clearSent();

    // The input pane: typed, fed live and sent as typed, the hint back once it is empty again.
    m.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m));
    QTest::mouseClick(Testing::control<TextPane>(m, "RichEdit1")->viewport(), Qt::LeftButton, {}, Testing::control<TextPane>(m, "RichEdit1")->viewport()->rect().center());
    QTest::keyClicks(Testing::control<TextPane>(m, "RichEdit1"), QStringLiteral("hello"));
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.payloadsTo(6712), (QStringList{"h", "he", "hel", "hell", "hello"}));
    QCOMPARE(p.lan.payloadsTo(6721).last(), QStringLiteral("192.168.1.10,hello"));
    QTest::keyClick(Testing::control<TextPane>(m, "RichEdit1"), Qt::Key_Return);
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.payloadsTo(6711), QStringList{"hello"});
    QCOMPARE(lastRecordLine(p.b), QStringLiteral("hello"));
    QVERIFY(Testing::control<TextPane>(m, "RichEdit1")->toPlainText().isEmpty());
    QVERIFY(!Testing::control<TextPane>(m, "RichEdit1")->placeholderText().isEmpty());

    // The sub-input window's first pane, and its memo.
    sub.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sub));
    QTest::keyClicks(Testing::control<TextPane>(sub, "RichEdit1"), QStringLiteral("next"));
    QTest::keyClick(Testing::control<TextPane>(sub, "RichEdit1"), Qt::Key_Return);
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.payloadsTo(6711).last(), QStringLiteral("next"));
    QTest::keyClicks(Testing::control<TextPane>(sub, "RichEdit3"), QStringLiteral("memo"));
    QCOMPARE(Testing::control<TextPane>(sub, "RichEdit3")->toPlainText(), QStringLiteral("memo"));

    // A fresh pre-roll: F1 sends what it holds, never its usage note.
    rolls.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rolls));
    QTest::keyClick(Testing::control<PrerollPane>(rolls, "RichEdit1"), Qt::Key_F1);
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.payloadsTo(6711).last(), QStringLiteral("$改行$"));
    QTest::keyClicks(Testing::control<PrerollPane>(rolls, "RichEdit1"), QStringLiteral("script"));
    Testing::control<PrerollPane>(rolls, "RichEdit1")->moveCursor(QTextCursor::Start);
    QTest::keyClick(Testing::control<PrerollPane>(rolls, "RichEdit1"), Qt::Key_F1);
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.payloadsTo(6711).last(), QStringLiteral("script"));

    // The notice: what is typed is the whole text.
    notice.show();
    QVERIFY(QTest::qWaitForWindowExposed(&notice));
    QTest::keyClicks(Testing::control<QLineEdit>(notice, "Edit1"), QStringLiteral("notice"));
    notice.SendNotice();
    p.lan.net.deliverAll();
    QVERIFY(p.lan.payloadsTo(6731).contains(QStringLiteral("504:notice:表示文字列")));

    // Nothing any pane sent or fed carried a hint.
    for (const QString& payload : p.lan.payloadsTo(6711) + p.lan.payloadsTo(6712) + p.lan.payloadsTo(6721) +
                                      p.lan.payloadsTo(6731))
        for (const auto& [pane, start] : panes) QVERIFY2(!payload.contains(start.left(8)), qPrintable(payload));
}

QTEST_MAIN(InputTest)
#include "test_input.moc"

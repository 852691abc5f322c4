// Prepared text between stations: the pre-roll window (F1 and its options, F9, F12, the telop
// route, the monitor feed, the linkage, loading and saving), the pre-roll monitor, the karaoke
// remote, and the settings keys and defaults of these windows.
#include "support/lan.h"

#include "windows/messaging/notice_window.h"

#include "ui/updown.h"
#include "core/preroll.h"
#include "net/datagram_endpoint.h"
#include "windows/prepared/preroll_pane.h"
#include "settings/line_file.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QScrollBar>
#include <QTest>

using namespace Testing;

namespace {

// Two paired stations with A's pre-roll window shown and a script in pre-roll 1.
struct Rolls : PairedLan {
    TForm11& w = *a.main->templateWindow();
    Rolls() {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Testing::control<TextPane>(*a.main, "RichEdit1")->clear();
        Testing::control<TextPane>(*b.main, "RichEdit1")->clear();
        lan.net.deliverAll();
        lan.net.clearSent();
    }
    void script(const QString& text, int caretLine = 0) {
        Testing::control<PrerollPane>(w, "RichEdit1")->setPlainText(text);
        caret(caretLine);
    }
    void caret(int line, int col = 0) {
        QTextCursor c(Testing::control<PrerollPane>(w, "RichEdit1")->document());
        c.setPosition(Testing::control<PrerollPane>(w, "RichEdit1")->document()->findBlockByNumber(line).position() + col);
        Testing::control<PrerollPane>(w, "RichEdit1")->setTextCursor(c);
    }
    int caretLine() const { return Testing::control<PrerollPane>(w, "RichEdit1")->textCursor().blockNumber(); }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier, PrerollPane* pane = nullptr) {
        QTest::keyClick(pane ? pane : Testing::control<PrerollPane>(w, "RichEdit1"), Qt::Key(k), m);
        lan.net.deliverAll();
    }
};

QStringList lines(const TestStation& s) {
    return recordOf(s).split(u'\n');
}

}  // namespace

class PreparedTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void f1SendsLinesThroughTheSendPath();
    void f1OptionsAndWarnings();
    void f1KeepsALineTheSendPathRefuses();
    void prerollLeavesTheMainInputPaneAlone();
    void f9AndF12();
    void telopRoute();
    void telopRouteThroughTheNoticeWindow();
    void monitorFeedReachesThePartnersMonitor();
    void monitorFeedToThePartnerOnlyAndToSelf();
    void monitorReceiverLimits();
    void linkageFollowsTheCaretLine();
    void loadingAppendsInSlicesAndWarnsOfSize();
    void savingAndHelpMessages();
    void karaokeSliderAndCommands();
    void karaokeModesAndRefusal();
    void karaokeBlocksAndFocus();
    void settingsKeysAndDefaults();
    void panelHeightsWhetherShownOrNot();
};

void PreparedTest::f1SendsLinesThroughTheSendPath() {
    Rolls r;
    r.script(QStringLiteral("<-　コメント行\n最初の行\n\n次の行"));
    r.key(Qt::Key_F1);  // the comment line: nothing sent, on to the next line
    QVERIFY(r.lan.net.sentTo(6711).isEmpty());
    QCOMPARE(r.caretLine(), 1);
    r.key(Qt::Key_F1);
    QCOMPARE(lastRecordLine(r.b), QStringLiteral("最初の行"));
    QCOMPARE(lastRecordLine(r.a), QStringLiteral("最初の行"));
    QCOMPARE(r.caretLine(), 2);
    QCOMPARE(Testing::control<PrerollPane>(r.w, "RichEdit1")->textCursor().selectedText(), QStringLiteral("最初の行") + QChar::ParagraphSeparator);
    r.key(Qt::Key_F1);  // an empty line: a blank line on the display
    QCOMPARE(r.lan.payloadsTo(6711).last(), QStringLiteral("$改行$"));
    r.key(Qt::Key_F1);
    QCOMPARE(r.lan.payloadsTo(6711), (QStringList{QStringLiteral("最初の行"), QStringLiteral("$改行$"),
                                                 QStringLiteral("次の行")}));
    QCOMPARE(lines(r.b).mid(lines(r.b).size() - 4, 3),
             (QStringList{QStringLiteral("最初の行"), QString(), QStringLiteral("次の行")}));
    QCOMPARE(Testing::control<PrerollPane>(r.w, "RichEdit1")->toPlainText(), QStringLiteral("<-　コメント行\n最初の行\n\n次の行"));
    // The same in pre-roll 3, whichever pre-roll is shown.
    Testing::control<QRadioButton>(r.w, "RadioButton5")->setChecked(true);
    Testing::control<PrerollPane>(r.w, "RichEdit3")->setPlainText(QStringLiteral("三番"));
    r.key(Qt::Key_F1, Qt::NoModifier, Testing::control<PrerollPane>(r.w, "RichEdit3"));
    QCOMPARE(lastRecordLine(r.b), QStringLiteral("三番"));
}

void PreparedTest::f1OptionsAndWarnings() {
    Rolls r;
    // A line of 1024 bytes is never sent; the warning is shown, the caret stays.
    r.script(QString(512, u'あ') + QStringLiteral("\n続き"));
    r.caret(0, 3);
    r.key(Qt::Key_F1);
    QVERIFY(r.lan.net.sentTo(6711).isEmpty());
    QCOMPARE(r.a.messages.shown.value(0), Core::Preroll::TooLongWarning());
    auto* richEdit1 = Testing::control<PrerollPane>(r.w, "RichEdit1");
    QCOMPARE(richEdit1->textCursor().position(), 3);
    Testing::control<QCheckBox>(*r.a.main, "CheckBox19")->setChecked(false);  // "メッセージを表示する" off: silently
    r.key(Qt::Key_F1);
    QCOMPARE(r.a.messages.shown.size(), 1);
    Testing::control<QCheckBox>(*r.a.main, "CheckBox19")->setChecked(true);

    // "送った部分は消す。": the last line goes; F1 on the empty pane then sends blank lines.
    auto* checkBox2 = Testing::control<QCheckBox>(r.w, "CheckBox2");
    checkBox2->setChecked(true);
    r.script(QStringLiteral("一\n二"), 1);
    r.key(Qt::Key_F1);
    QCOMPARE(richEdit1->toPlainText(), QStringLiteral("一\n"));
    r.key(Qt::Key_F1);
    QCOMPARE(r.lan.payloadsTo(6711), (QStringList{QStringLiteral("二"), QStringLiteral("$改行$")}));

    // "消文を前行に追加" checks the other two; on line 0 an empty line above takes the sent part.
    checkBox2->setChecked(false);
    Testing::control<QCheckBox>(r.w, "CheckBox22")->setChecked(true);
    QVERIFY(checkBox2->isChecked() && Testing::control<QCheckBox>(r.w, "CheckBox3")->isChecked());
    r.script(QStringLiteral("前半後半\n次"));
    r.caret(0, 2);
    r.lan.net.clearSent();
    r.key(Qt::Key_F1);
    QCOMPARE(r.lan.payloadsTo(6711), QStringList{QStringLiteral("前半")});
    QCOMPARE(richEdit1->toPlainText(), QStringLiteral("前半\n後半\n次"));
    QCOMPARE(richEdit1->textCursor().position(), richEdit1->document()->findBlockByNumber(1).position() + 1);
    // "進める桁数": an empty or negative value becomes "0".
    auto* edit1 = Testing::control<QLineEdit>(r.w, "Edit1");
    edit1->setText(QStringLiteral("-2"));
    QCOMPARE(edit1->text(), QStringLiteral("0"));
    edit1->clear();
    QCOMPARE(edit1->text(), QStringLiteral("0"));
}

// A line of 513 to 1023 bytes passes the pre-roll's own check, but the send path refuses it: it
// must stay in the pre-roll with the caret on it, whatever the options, and nothing is sent.
void PreparedTest::f1KeepsALineTheSendPathRefuses() {
    Rolls r;
    const QString longLine = QString(300, u'い');  // 600 bytes
    const QString script = QStringLiteral("前の行\n") + longLine + QStringLiteral("\n次の行");
    for (const bool remove : {true, false}) {
        Testing::control<QCheckBox>(r.w, "CheckBox2")->setChecked(remove);  // "送った部分は消す。"
        for (const bool part : {false, true}) {
            Testing::control<QCheckBox>(r.w, "CheckBox3")->setChecked(part);  // "ｶｰｿﾙより前を送る。"
            r.script(script, 1);
            r.caret(1, 290);
            const qsizetype shown = r.a.messages.shown.size();
            r.key(Qt::Key_F1);
            r.key(Qt::Key_F1);  // the next F1 takes the same line again
            QVERIFY(r.lan.net.sentTo(6711).isEmpty());
            QCOMPARE(r.a.messages.shown.size(), shown + 2);
            QCOMPARE(r.a.messages.shown.last(), QStringLiteral("全角256字以上の文字を送ろうとした。"));
            QCOMPARE(Testing::control<PrerollPane>(r.w, "RichEdit1")->toPlainText(), script);
            QCOMPARE(r.caretLine(), 1);
            QCOMPARE(Testing::control<PrerollPane>(r.w, "RichEdit1")->textCursor().position(), Testing::control<PrerollPane>(r.w, "RichEdit1")->document()->findBlockByNumber(1).position() + 290);
        }
    }
}

// A pre-roll line sent while the typist writes in the main input pane leaves that pane alone.
void PreparedTest::prerollLeavesTheMainInputPaneAlone() {
    Rolls r;
    Testing::control<QLineEdit>(*r.a.main, "Edit31")->setText(QStringLiteral("司会："));
    Testing::control<TextPane>(*r.a.main, "RichEdit1")->setPlainText(QStringLiteral("打ちかけ"));
    r.script(QStringLiteral("用意した一行\n二行目"));
    r.key(Qt::Key_F1);
    r.key(Qt::Key_F12);
    QCOMPARE(r.lan.payloadsTo(6711), (QStringList{QStringLiteral("用意した一行"), QStringLiteral("$改行$")}));
    QCOMPARE(Testing::control<TextPane>(*r.a.main, "RichEdit1")->toPlainText(), QStringLiteral("打ちかけ"));
    Testing::control<TextPane>(*r.a.main, "RichEdit1")->clear();
    r.key(Qt::Key_F1);
    QCOMPARE(Testing::control<TextPane>(*r.a.main, "RichEdit1")->toPlainText(), QString());  // no speaker name written into it either
}

void PreparedTest::f9AndF12() {
    Rolls r;
    r.script(QStringLiteral("取り消す行\n次"));
    r.key(Qt::Key_F1);
    QCOMPARE(lastRecordLine(r.b), QStringLiteral("取り消す行"));
    Testing::control<TextPane>(*r.a.main, "RichEdit1")->setPlainText(QStringLiteral("打ちかけ"));
    // F9: the line leaves both displays; what the typist is writing in the main input pane stays.
    r.key(Qt::Key_F9);
    QVERIFY(!recordOf(r.b).contains(QStringLiteral("取り消す行")));
    QCOMPARE(r.lan.payloadsTo(6723), QStringList{"undo"});
    QCOMPARE(Testing::control<TextPane>(*r.a.main, "RichEdit1")->toPlainText(), QStringLiteral("打ちかけ"));
    auto* richEdit1 = Testing::control<PrerollPane>(r.w, "RichEdit1");
    QCOMPARE(richEdit1->toPlainText(), QStringLiteral("取り消す行\n次"));
    // With "送った部分は消す。" the taken-back text, and only it, goes back into the pre-roll at the caret.
    Testing::control<QCheckBox>(r.w, "CheckBox2")->setChecked(true);
    r.caret(0);
    r.key(Qt::Key_F1);
    QCOMPARE(richEdit1->toPlainText(), QStringLiteral("次"));
    r.key(Qt::Key_F9);
    QCOMPARE(richEdit1->toPlainText(), QStringLiteral("取り消す行次"));
    QCOMPARE(richEdit1->textCursor().position(), 0);
    QCOMPARE(Testing::control<TextPane>(*r.a.main, "RichEdit1")->toPlainText(), QStringLiteral("打ちかけ"));
    // F12: a blank line.
    r.lan.net.clearSent();
    r.key(Qt::Key_F12);
    QCOMPARE(r.lan.payloadsTo(6711), QStringList{QStringLiteral("$改行$")});
    // F11 with "Ｄｅｌキー/Clsキーにする。": delete, Shift: clear screen.
    Testing::control<QCheckBox>(*r.a.main, "CheckBox47")->setChecked(true);
    r.key(Qt::Key_F11);
    r.key(Qt::Key_F11, Qt::ShiftModifier);
    QCOMPARE(r.lan.payloadsTo(6723), (QStringList{"del", "cls"}));
}

void PreparedTest::telopRoute() {
    Rolls r;
    QList<App::Telop> telops;
    r.w.stationLinks().showTelop = [&](const App::Telop& t) {
        telops << t;
        return true;
    };
    QList<std::pair<bool, bool>> clears;
    r.w.stationLinks().clearTelop = [&](bool lan, bool self) { clears << std::pair{lan, self}; };
    Testing::control<QCheckBox>(r.w, "CheckBox6")->setChecked(true);  // pre-roll 1 to the telop
    Testing::control<QCheckBox>(r.w, "CheckBox13")->setChecked(true);
    Testing::control<QCheckBox>(r.w, "CheckBox4")->setChecked(false);
    r.script(QStringLiteral("お知らせです\n二"));
    r.key(Qt::Key_F1);
    QCOMPARE(telops.size(), 1);
    QCOMPARE(telops[0].text, QStringLiteral("お知らせです"));
    QVERIFY(telops[0].stopAtLeftEdge && !telops[0].toLan && telops[0].toSelf && !telops[0].noticeLine);
    QVERIFY(r.lan.net.sentTo(6711).isEmpty());  // not on the display
    QCOMPARE(r.caretLine(), 1);
    Testing::control<QCheckBox>(r.w, "CheckBox23")->setChecked(true);
    r.key(Qt::Key_F1);
    QVERIFY(telops.last().noticeLine);
    // F9 and F12 do nothing in telop mode; pre-roll 2 still goes to the display.
    r.key(Qt::Key_F12);
    r.key(Qt::Key_F9);
    QVERIFY(r.lan.net.sentTo(6711).isEmpty() && r.lan.net.sentTo(6723).isEmpty());
    Testing::control<QRadioButton>(r.w, "RadioButton4")->setChecked(true);
    Testing::control<PrerollPane>(r.w, "RichEdit2")->setPlainText(QStringLiteral("表示へ"));
    r.key(Qt::Key_F1, Qt::NoModifier, Testing::control<PrerollPane>(r.w, "RichEdit2"));
    QCOMPARE(lastRecordLine(r.b), QStringLiteral("表示へ"));
    Testing::control<QPushButton>(r.w, "Button9")->click();
    QCOMPARE(clears, (QList<std::pair<bool, bool>>{{false, true}}));
    // The notice window's line goes to the end of pre-roll 1.
    r.w.AppendToFirstRoll(QStringLiteral("文,500:10"));
    QCOMPARE(Testing::control<PrerollPane>(r.w, "RichEdit1")->document()->lastBlock().text(), QStringLiteral("文,500:10"));
}

// The same route with the real notice windows: F1 puts the line on the partner's ticker and on
// this station's own; "表示消去" stops both; the notice window writes its line back into pre-roll 1.
void PreparedTest::telopRouteThroughTheNoticeWindow() {
    Rolls r;
    TForm15& mine = *r.a.main->noticeWindow();
    TForm15& theirs = *r.b.main->noticeWindow();
    auto* checkBox12 = Testing::control<QCheckBox>(theirs, "CheckBox12");
    QVERIFY(checkBox12->isChecked() && Testing::control<QCheckBox>(*r.b.main, "CheckBox16")->isChecked());  // notices are off at first
    Testing::control<QCheckBox>(*r.b.main, "CheckBox16")->setChecked(false);
    QVERIFY(!checkBox12->isChecked());
    Testing::control<QCheckBox>(r.w, "CheckBox6")->setChecked(true);
    Testing::control<QCheckBox>(r.w, "CheckBox4")->setChecked(true);  // "LAN流す"
    Testing::control<QCheckBox>(r.w, "CheckBox5")->setChecked(true);  // "自分に表示"
    Testing::control<QCheckBox>(r.w, "CheckBox13")->setChecked(false);
    r.script(QStringLiteral("休憩は十五分です\n次"));
    r.key(Qt::Key_F1);
    QCOMPARE(Testing::control<QLineEdit>(mine, "Edit1")->text(), QStringLiteral("休憩は十五分です"));
    QVERIFY(mine.isVisible());
    QVERIFY(Testing::control<QCheckBox>(mine, "CheckBox5")->isChecked() && !Testing::control<QCheckBox>(mine, "CheckBox11")->isChecked() && !Testing::control<QCheckBox>(mine, "CheckBox8")->isChecked());
    QVERIFY(!r.lan.net.sentTo(6731).isEmpty());
    QCOMPARE(Testing::control<QLineEdit>(theirs, "Edit1")->text(), QStringLiteral("休憩は十五分です"));
    QVERIFY(r.lan.net.sentTo(6711).isEmpty());  // never on the caption display
    r.lan.net.clearSent();
    Testing::control<QPushButton>(r.w, "Button9")->click();  // "表示消去"
    r.lan.net.deliverAll();
    QVERIFY(!r.lan.net.sentTo(6731).isEmpty());
    QVERIFY(Testing::control<QCheckBox>(mine, "CheckBox5")->isChecked() && !Testing::control<QCheckBox>(mine, "CheckBox8")->isChecked());
    // A line the notice window refuses (too many colons for the receivers) stays in the pre-roll,
    // with "送った部分は消す。" too, and the caret stays on it.
    Testing::control<QCheckBox>(r.w, "CheckBox2")->setChecked(true);
    r.script(QStringLiteral("1:2:3:4:5:6:7:8:9\n次"));
    r.lan.net.clearSent();
    r.key(Qt::Key_F1);
    QCOMPARE(Testing::control<PrerollPane>(r.w, "RichEdit1")->toPlainText(), QStringLiteral("1:2:3:4:5:6:7:8:9\n次"));
    QCOMPARE(r.caretLine(), 0);
    QVERIFY(r.a.messages.shown.last().startsWith(QStringLiteral("テロップ文の半角カンマの数が多すぎます。")));
    Testing::control<QCheckBox>(r.w, "CheckBox2")->setChecked(false);
    // "前ロールにする" of the notice window: its comma line at the end of pre-roll 1.
    mine.NoticeToPreroll();
    QCOMPARE(Testing::control<PrerollPane>(r.w, "RichEdit1")->document()->lastBlock().text(), mine.NoticeLine());
    // "テロップを受信しない" shows on the main window too.
    checkBox12->setChecked(true);
    QVERIFY(Testing::control<QCheckBox>(*r.b.main, "CheckBox16")->isChecked());
}

void PreparedTest::monitorFeedReachesThePartnersMonitor() {
    Rolls r;
    QStringList script;
    for (int i = 0; i < 30; ++i) script << QStringLiteral("行%1").arg(i);
    script[5].clear();
    r.script(script.join(u'\n'), 0);
    Testing::control<QCheckBox>(r.w, "CheckBox9")->setChecked(true);  // "班全員に送信"
    r.key(Qt::Key_Down);
    QCOMPARE(r.lan.payloadsTo(6734), (QStringList{QStringLiteral("$消去$"), "行1", "行2", "行3", "行4",
                                                 QStringLiteral("$改行$")}));
    QCOMPARE(r.lan.payloadsTo(6735), (QStringList{QStringLiteral("$消去$"), " ", "行0"}));
    QCOMPARE(r.lan.net.sentTo(6734)[0].to, QStringLiteral("192.168.1.11"));
    // B's pre-roll monitor shows them, hidden or not.
    const TForm3& mon = *r.b.main->prerollMonitor();
    QVERIFY(!mon.isVisible());
    QCOMPARE(mon.lines(App::MonitorPart::Upper), (QStringList{" ", "行0"}));
    QCOMPARE(mon.lines(App::MonitorPart::Lower), (QStringList{"行1", "行2", "行3", "行4", QString()}));
    QCOMPARE(Testing::control<QPlainTextEdit>(mon, "RichEdit1")->toPlainText(), QStringLiteral("行1\n行2\n行3\n行4\n"));
    // Doubled: four lines above, ten from the caret line on; 14 lines and two clears.
    Testing::control<QCheckBox>(*r.a.main, "CheckBox48")->setChecked(true);
    r.lan.net.clearSent();
    r.caret(12);
    r.key(Qt::Key_Right);
    QCOMPARE(r.lan.net.sentTo(6734).size(), 11);
    QCOMPARE(r.lan.payloadsTo(6735), (QStringList{QStringLiteral("$消去$"), "行8", "行9", "行10", "行11"}));
    QCOMPARE(mon.lines(App::MonitorPart::Lower).last(), QStringLiteral("行21"));
    // Shown at its default size, ten lines do not fit: the caret line stays the lower part's top
    // line, and the upper part shows the line just above it.
    r.b.main->prerollMonitor()->show();
    r.key(Qt::Key_Right);
    QCOMPARE(mon.lines(App::MonitorPart::Lower).first(), QStringLiteral("行12"));
    QVERIFY(Testing::control<QPlainTextEdit>(mon, "RichEdit1")->verticalScrollBar()->maximum() > 0);
    QCOMPARE(Testing::control<QPlainTextEdit>(mon, "RichEdit1")->verticalScrollBar()->value(), 0);
    QCOMPARE(Testing::control<QPlainTextEdit>(mon, "RichEdit2")->verticalScrollBar()->value(), Testing::control<QPlainTextEdit>(mon, "RichEdit2")->verticalScrollBar()->maximum());
    // Nothing is fed while no target is chosen.
    Testing::control<QCheckBox>(r.w, "CheckBox9")->setChecked(false);
    r.lan.net.clearSent();
    r.key(Qt::Key_Down);
    QVERIFY(r.lan.net.sentTo(6734).isEmpty() && r.lan.net.sentTo(6735).isEmpty());
}

void PreparedTest::monitorFeedToThePartnerOnlyAndToSelf() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    TestStation& b = lan.add(11, "B");
    lan.add(12, "C");
    Testing::control<QPushButton>(*a.main, "Button26")->click();  // pair with B
    lan.net.deliverAll();
    QVERIFY(a.main->hasPartner());
    TForm11& w = *a.main->templateWindow();
    w.show();
    auto* richEdit2 = Testing::control<PrerollPane>(w, "RichEdit2");
    richEdit2->setPlainText(QStringLiteral("x\ny"));
    Testing::control<QRadioButton>(w, "RadioButton2")->setChecked(true);
    // "ﾊﾟｰﾄﾅｰのみ" and "班全員に送信" exclude each other; pre-roll 2 feeds the partner too.
    Testing::control<QCheckBox>(w, "CheckBox9")->setChecked(true);
    Testing::control<QCheckBox>(w, "CheckBox11")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(w, "CheckBox9")->isChecked());
    lan.net.clearSent();
    QTest::keyClick(richEdit2, Qt::Key_End);
    lan.net.deliverAll();
    QSet<QString> to;
    for (const auto& d : lan.net.sentTo(6734)) to << d.to;
    QCOMPARE(to, QSet<QString>{"192.168.1.11"});
    QCOMPARE(b.main->prerollMonitor()->lines(App::MonitorPart::Lower), (QStringList{"x", "y"}));
    QCOMPARE(lan[2].main->prerollMonitor()->lines(App::MonitorPart::Lower), QStringList());
    // To the own monitor only: nothing leaves the station.
    Testing::control<QCheckBox>(w, "CheckBox11")->setChecked(false);
    Testing::control<QCheckBox>(w, "CheckBox10")->setChecked(true);
    lan.net.clearSent();
    QTest::keyClick(richEdit2, Qt::Key_Down);
    lan.net.deliverAll();
    QVERIFY(lan.net.sentTo(6734).isEmpty());
    QCOMPARE(a.main->prerollMonitor()->lines(App::MonitorPart::Lower), QStringList{"y"});
    QCOMPARE(a.main->prerollMonitor()->lines(App::MonitorPart::Upper), (QStringList{" ", "x"}));
}

void PreparedTest::monitorReceiverLimits() {
    PairedLan p;
    const TForm3& mon = *p.b.main->prerollMonitor();
    auto feed = [&](quint16 port, const QByteArray& text) {
        p.lan.net.inject("192.168.1.10", port, "192.168.1.11", port, text);
        p.lan.net.deliverAll();
    };
    feed(6734, QByteArray(1023, 'a'));
    feed(6734, QByteArray(1024, 'b'));  // at the limit: ignored
    QCOMPARE(mon.lines(App::MonitorPart::Lower), QStringList{QString(1023, u'a')});
    // The lower part holds 2048 bytes: once the next line would pass them it takes no more.
    feed(6734, QByteArray(1000, 'c'));
    feed(6734, QByteArray(30, 'd'));
    QCOMPARE(mon.lines(App::MonitorPart::Lower).size(), 2);
    feed(6734, sj(QStringLiteral("$消去$")));
    feed(6734, "after");
    QCOMPARE(mon.lines(App::MonitorPart::Lower), QStringList{"after"});
    // The upper part holds 5120 bytes.
    for (int i = 0; i < 6; ++i) feed(6735, QByteArray(1000, 'u'));
    QCOMPARE(mon.lines(App::MonitorPart::Upper).size(), 5);
    // The wrap option switches both parts.
    Testing::control<QCheckBox>(*p.b.main->prerollMonitor(), "CheckBox1")->setChecked(true);
    QCOMPARE(Testing::control<QPlainTextEdit>(mon, "RichEdit1")->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(Testing::control<QPlainTextEdit>(mon, "RichEdit2")->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

void PreparedTest::linkageFollowsTheCaretLine() {
    Rolls r;
    TForm11& bw = *r.b.main->templateWindow();
    QStringList script;
    for (int i = 0; i < 40; ++i) script << QStringLiteral("台本%1").arg(i);
    r.script(script.join(u'\n'));
    auto* richEdit1 = Testing::control<PrerollPane>(bw, "RichEdit1");
    richEdit1->setPlainText(script.join(u'\n'));
    bw.show();
    Testing::control<QCheckBox>(bw, "CheckBox20")->setChecked(true);
    Testing::control<QRadioButton>(bw, "RadioButton12")->setChecked(true);
    QCOMPARE(r.b.messages.shown.size(), 1);  // its help
    Testing::control<QCheckBox>(r.w, "CheckBox19")->setChecked(true);
    Testing::control<QRadioButton>(r.w, "RadioButton9")->setChecked(true);
    r.caret(7);
    r.key(Qt::Key_Down);
    QCOMPARE(r.lan.payloadsTo(6720), QStringList{"8"});
    QCOMPARE(richEdit1->textCursor().blockNumber(), 8);
    QCOMPARE(richEdit1->textCursor().positionInBlock(), 0);
    QCOMPARE(richEdit1->toPlainText(), script.join(u'\n'));  // nothing edited
    // Not a decimal integer, or 256 bytes: ignored.
    for (const QByteArray& bad : {QByteArray("3x"), QByteArray("-2"), QByteArray(" 5"), QByteArray(256, '1')}) {
        r.lan.net.inject("192.168.1.10", 6720, "192.168.1.11", 6720, bad);
        r.lan.net.deliverAll();
        QCOMPARE(richEdit1->textCursor().blockNumber(), 8);
    }
    // A number beyond the end goes to the last line.
    r.lan.net.inject("192.168.1.10", 6720, "192.168.1.11", 6720, "500");
    r.lan.net.deliverAll();
    QCOMPARE(richEdit1->textCursor().blockNumber(), 39);
    // Pre-roll 1 not shown on B ("２"): a linkage number changes nothing.
    Testing::control<QRadioButton>(bw, "RadioButton2")->setChecked(true);
    r.caret(20);
    r.key(Qt::Key_Right);
    QCOMPARE(richEdit1->textCursor().blockNumber(), 39);
    // Only the pre-roll chosen under "送" sends; only while "受" is on and the window shown.
    Testing::control<QRadioButton>(bw, "RadioButton5")->setChecked(true);
    r.lan.net.clearSent();
    Testing::control<QRadioButton>(r.w, "RadioButton10")->setChecked(true);
    r.key(Qt::Key_Up);
    QVERIFY(r.lan.net.sentTo(6720).isEmpty());
    Testing::control<QRadioButton>(r.w, "RadioButton9")->setChecked(true);
    bw.hide();
    r.caret(3);
    r.key(Qt::Key_Right);
    QCOMPARE(r.lan.payloadsTo(6720), QStringList{"3"});
    QCOMPARE(richEdit1->textCursor().blockNumber(), 39);
    bw.show();
    Testing::control<QCheckBox>(bw, "CheckBox20")->setChecked(false);
    r.key(Qt::Key_Right);
    QCOMPARE(richEdit1->textCursor().blockNumber(), 39);
    // 6720 stays 6720 in every channel.
    QCOMPARE(Testing::control<Net::DatagramEndpoint>(r.w, "NMUDP5")->channelPort(), 6720);
}

void PreparedTest::loadingAppendsInSlicesAndWarnsOfSize() {
    Rolls r;
    const QString path = r.a.folder.filePath(QStringLiteral("script.txt"));
    QList<QByteArray> file;
    for (int i = 0; i < 4000; ++i) file << sj(QStringLiteral("読み込んだ台本の%1行目です。").arg(i));
    QVERIFY(Settings::writeLines(path, file));
    // Without "追加" the file replaces pre-roll 2, and the view switches to it alone.
    r.a.dialogs.openNames.push_back(path);
    Testing::control<QPushButton>(r.w, "Button48")->click();
    QVERIFY(Testing::control<QRadioButton>(r.w, "RadioButton2")->isChecked());
    auto* richEdit1 = Testing::control<PrerollPane>(r.w, "RichEdit1");
    QVERIFY(!richEdit1->isVisible());
    QCOMPARE(Testing::control<PrerollPane>(r.w, "RichEdit2")->document()->blockCount(), 4000);
    const qsizetype bytes = Core::Preroll::ByteLength(*Testing::control<PrerollPane>(r.w, "RichEdit2")->document());
    QVERIFY(bytes >= 20000);
    QVERIFY(r.a.messages.shown.value(0).startsWith(QStringLiteral("読み込んだ前ロールは、　%1Ｋバイトです。").arg(bytes / 1024)));
    // With "追加" the lines are appended in slices between the window's events.
    Testing::control<QCheckBox>(r.w, "CheckBox1")->setChecked(true);
    r.script(QStringLiteral("既にある行\n二行目"));
    r.a.dialogs.openNames.push_back(path);
    r.a.messages.shown.clear();
    Testing::control<QPushButton>(r.w, "Button36")->click();
    QVERIFY(r.w.loading());
    QVERIFY(Testing::control<QTimer>(r.w, "Timer1")->isActive());
    QVERIFY(r.a.messages.shown.isEmpty());  // the size is told at the end
    int slices = 0;
    while (r.w.loading()) {
        r.w.Timer1Timer();
        ++slices;
    }
    QVERIFY(slices >= 1);
    QVERIFY(!Testing::control<QTimer>(r.w, "Timer1")->isActive());
    QCOMPARE(richEdit1->document()->blockCount(), 2 + 4000);
    QCOMPARE(richEdit1->document()->firstBlock().text(), QStringLiteral("既にある行"));
    QCOMPARE(richEdit1->document()->lastBlock().text(), QStringLiteral("読み込んだ台本の3999行目です。"));
    QCOMPARE(r.a.messages.shown.size(), 1);
    // A small file says nothing; a cancelled dialog changes nothing.
    QVERIFY(Settings::writeLines(path, {"short"}));
    Testing::control<QCheckBox>(r.w, "CheckBox1")->setChecked(false);
    r.a.dialogs.openNames.push_back(path);
    Testing::control<QPushButton>(r.w, "Button49")->click();
    QCOMPARE(Testing::control<PrerollPane>(r.w, "RichEdit3")->toPlainText(), QStringLiteral("short"));
    Testing::control<QPushButton>(r.w, "Button49")->click();
    QCOMPARE(Testing::control<PrerollPane>(r.w, "RichEdit3")->toPlainText(), QStringLiteral("short"));
    QCOMPARE(r.a.messages.shown.size(), 1);
}

void PreparedTest::savingAndHelpMessages() {
    Rolls r;
    Testing::control<PrerollPane>(r.w, "RichEdit3")->setPlainText(QStringLiteral("保存する\n二行目"));
    const QString path = r.a.folder.filePath(QStringLiteral("saved"));
    r.a.dialogs.saveNames.push_back(path);
    Testing::control<QPushButton>(r.w, "Button5")->click();
    const auto saved = Settings::readLines(path + QStringLiteral(".txt"));
    QVERIFY(saved);
    QCOMPARE(*saved, (QList<QByteArray>{sj(QStringLiteral("保存する")), sj(QStringLiteral("二行目"))}));
    Testing::control<QPushButton>(r.w, "Button8")->click();
    QVERIFY(Testing::control<PrerollPane>(r.w, "RichEdit3")->toPlainText().isEmpty());
    // Help texts of the options (start-up is over here; before it the settings load them quietly).
    r.a.messages.shown.clear();
    Testing::control<QCheckBox>(r.w, "CheckBox10")->setChecked(true);
    Testing::control<QCheckBox>(r.w, "CheckBox23")->setChecked(true);
    Testing::control<QCheckBox>(r.w, "CheckBox19")->setChecked(true);
    QCOMPARE(r.a.messages.shown.size(), 3);
    QVERIFY(r.a.messages.shown[0].startsWith(QStringLiteral("「自分に表示」のチェックを入れると")));
    QVERIFY(r.a.messages.shown[1].startsWith(QStringLiteral("テロップ文の後に")));
    QVERIFY(r.a.messages.shown[2].startsWith(QStringLiteral("「送」(送信)のチェック")));
    // The scroll speed goes to the partner as a settings transfer; an empty field becomes "1".
    QList<QByteArray> transfer;
    r.w.stationLinks().sendSettingsLine = [&](const QByteArray& l) { transfer << l; };
    auto* edit3 = Testing::control<QLineEdit>(r.w, "Edit3");
    edit3->setText(QStringLiteral("5"));
    QCOMPARE(transfer, (QList<QByteArray>{"$set$" + sj(QStringLiteral("999:＜番号付き表示設定ファイル２＞")),
                                          sj(QStringLiteral("$set$620:5:スクロール速度即変更")), "$end$"}));
    QCOMPARE(Testing::control<UpDown>(r.w, "UpDown2")->position(), 5);
    edit3->clear();
    QCOMPARE(edit3->text(), QStringLiteral("1"));
}

namespace {

// A paired station with the karaoke remote shown, recording what the partner receives.
struct Remote : PairedLan {
    TFmojikara& k = *a.main->karaokeRemote();
    Remote() {
        a.finishStartup();
        lan.net.deliverAll();
        k.show();
        lan.net.clearSent();
    }
    void key(int key, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(Testing::control<QSlider>(k, "TrackBar1"), Qt::Key(key), m);
        lan.net.deliverAll();
    }
};

}  // namespace

void PreparedTest::karaokeSliderAndCommands() {
    Remote r;
    // Neither mode box on: moving the slider sends nothing.
    r.key(Qt::Key_Right);
    auto* trackBar1 = Testing::control<QSlider>(r.k, "TrackBar1");
    QCOMPARE(trackBar1->value(), 5);
    QVERIFY(r.lan.net.sent().isEmpty());
    {
        const QSignalBlocker quiet(trackBar1);
        trackBar1->setValue(0);
    }
    Testing::control<QCheckBox>(r.k, "CheckBox59")->setChecked(true);
    QCOMPARE(Testing::control<Net::DatagramEndpoint>(r.k, "NMUDP1")->channelPort(), 6716);
    r.lan.net.clearSent();
    // "最大" 20, step 1: each → advances by 5 and sends the position; column reached shown.
    r.key(Qt::Key_Right);
    r.key(Qt::Key_Right);
    QCOMPARE(r.lan.payloadsTo(6716), (QStringList{"5", "10"}));
    QCOMPARE(Testing::control<QLineEdit>(r.k, "Edit5")->text(), QStringLiteral("2"));
    QCOMPARE(r.lan.net.sentTo(6716)[0].to, QStringLiteral("192.168.1.11"));
    r.key(Qt::Key_Right, Qt::ShiftModifier);  // Shift: step 2 → 10
    QCOMPARE(trackBar1->value(), 20);
    // Up to 100: sends "100", then "1" as the slider jumps back.
    trackBar1->setValue(95);
    r.lan.net.clearSent();
    r.key(Qt::Key_Right);
    QCOMPARE(r.lan.payloadsTo(6716), (QStringList{"100", "1"}));
    QCOMPARE(trackBar1->value(), 1);
    // Back past 0: "0", then 99.
    r.lan.net.clearSent();
    r.key(Qt::Key_Left);
    QCOMPARE(r.lan.payloadsTo(6716), (QStringList{"0", "99"}));
    // ↓: the slider to 1 (sent, as it was not 1), then "$next$"; ↑ at 1: only "$befor$".
    r.lan.net.clearSent();
    r.key(Qt::Key_Down);
    r.key(Qt::Key_Up);
    QCOMPARE(r.lan.payloadsTo(6716), (QStringList{"1", "$next$", "$befor$"}));
    // "最大" 100 moves by 1; Alt leaves the key to the slider itself.
    Testing::control<QLineEdit>(r.k, "Edit4")->setText(QStringLiteral("100"));
    r.key(Qt::Key_Right);
    QCOMPARE(trackBar1->value(), 2);
    QCOMPARE(Testing::control<QLineEdit>(r.k, "Edit5")->text(), QStringLiteral("2"));
    // A step of 0 typed in becomes 1.
    Testing::control<QLineEdit>(r.k, "Edit2")->setText(QStringLiteral("0"));
    QCOMPARE(Testing::control<QLineEdit>(r.k, "Edit2")->text(), QStringLiteral("1"));
    // The sibling display gets the same payload on its port while "７ｗに表示" is on.
    Testing::control<QCheckBox>(*r.a.main, "CheckBox60")->setChecked(true);
    r.lan.net.clearSent();
    r.key(Qt::Key_Right);
    QCOMPARE(r.lan.net.sentTo(7916).value(0).payload, QByteArray("3"));
    QCOMPARE(r.lan.net.sentTo(7916).value(0).to, QStringLiteral("127.0.0.1"));
}

void PreparedTest::karaokeModesAndRefusal() {
    Remote r;
    Testing::control<QCheckBox>(r.k, "CheckBox1")->setChecked(true);  // "ｶﾗｵｹ": 6728, the column group hidden
    QVERIFY(!Testing::control<QCheckBox>(r.k, "CheckBox59")->isChecked());
    QVERIFY(Testing::control<QGroupBox>(r.k, "GroupBox2")->isHidden());
    auto* kNMUDP1 = Testing::control<Net::DatagramEndpoint>(r.k, "NMUDP1");
    QCOMPARE(kNMUDP1->channelPort(), 6728);
    r.key(Qt::Key_Right);
    QCOMPARE(r.lan.payloadsTo(6728), QStringList{"5"});
    Testing::control<QCheckBox>(*r.a.main, "CheckBox60")->setChecked(true);
    r.key(Qt::Key_Down);
    QCOMPARE(r.lan.net.sentTo(7928).size(), 2);
    // The channel moves the remote with the rest; the change also ends the partnership, so the
    // other mode is now refused.
    Testing::control<QComboBox>(*r.a.main, "ComboBox2")->setCurrentIndex(1);
    QCOMPARE(kNMUDP1->channelPort(), 6828);
    QVERIFY(!r.a.main->hasPartner());
    Testing::control<QCheckBox>(r.k, "CheckBox59")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(r.k, "CheckBox59")->isChecked() && Testing::control<QCheckBox>(r.k, "CheckBox1")->isChecked());
    QCOMPARE(kNMUDP1->channelPort(), 6828);
    // Without a partner, after start-up, a mode box is refused with the message.
    Lan lan;
    TestStation& alone = lan.add(20, "alone");
    alone.finishStartup();
    TFmojikara& k = *alone.main->karaokeRemote();
    k.show();
    Testing::control<QCheckBox>(k, "CheckBox59")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(k, "CheckBox59")->isChecked());
    QCOMPARE(alone.messages.shown.last(),
             QStringLiteral("「カラオケ送信リモコン」は、パートナーに送信します。\nパートナーが指名されていません。"));
    QCOMPARE(Testing::control<Net::DatagramEndpoint>(k, "NMUDP1")->channelPort(), 6716);
}

void PreparedTest::karaokeBlocksAndFocus() {
    Remote r;
    QList<QByteArray> transfer;
    r.k.stationLinks().sendSettingsLine = [&](const QByteArray& l) { transfer << l; };
    const QByteArray header = "$set$" + sj(QStringLiteral("999:＜番号付き表示設定ファイル２＞"));
    r.a.dialogs.colours.push_back(QColor(0, 128, 255));
    Testing::control<QPushButton>(r.k, "Button1")->click();  // "変化色" "文字ｶﾗ"
    QVERIFY(Testing::control<QCheckBox>(r.k, "CheckBox59")->isChecked());
    QCOMPARE(r.k.changeColour(), 0xFF8000);
    QVERIFY(r.a.messages.shown.last().startsWith(QStringLiteral("バックコート＋英字で")));
    QCOMPARE(transfer, (QList<QByteArray>{header, sj(QStringLiteral("$set$450:16744448:「文字カラオケ」ウインドの変化色")),
                                          "$set$619:true:" + sj(QStringLiteral("再描画")), "$end$"}));
    transfer.clear();
    r.a.dialogs.colours.push_back(QColor(255, 0, 0));
    Testing::control<QPushButton>(r.k, "Button2")->click();
    QVERIFY(Testing::control<QCheckBox>(r.k, "CheckBox1")->isChecked() && !Testing::control<QCheckBox>(r.k, "CheckBox59")->isChecked());
    QCOMPARE(transfer.value(1), sj(QStringLiteral("$set$184:255:「文字カラオケ」ウインドの変化色")));
    Testing::control<QPushButton>(r.k, "Button2")->click();  // cancelled: nothing
    QCOMPARE(transfer.size(), 4);
    transfer.clear();
    Testing::control<QPushButton>(r.k, "Button5")->click();
    Testing::control<QPushButton>(r.k, "Button4")->click();
    QCOMPARE(transfer, (QList<QByteArray>{header, sj(QStringLiteral("$set$174:on:「色変わり」表示する")),
                                          sj(QStringLiteral("$set$176:on:「色変わり」受信する")), "$end$", header,
                                          sj(QStringLiteral("$set$441:false:「文字カラオケ」ウインドの「自分の色を変える」のチェック")),
                                          sj(QStringLiteral("$set$443:false:「文字カラオケ」ウインドの「受信する」のチェック")),
                                          "$end$"}));
    // The slider has the focus whenever the window becomes active.
    Testing::control<QLineEdit>(r.k, "Edit2")->setFocus();
    r.k.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&r.k));
    QApplication::sendEvent(&r.k, new QEvent(QEvent::WindowActivate));
    QVERIFY(Testing::control<QSlider>(r.k, "TrackBar1")->hasFocus());
    // Without a partner the on/off buttons say so first.
    r.a.main->team().dropPartner();
    r.a.messages.shown.clear();
    Testing::control<QPushButton>(r.k, "Button6")->click();
    QCOMPARE(r.a.messages.shown, QStringList{QStringLiteral("パートナーが指名されていません。")});
}

void PreparedTest::settingsKeysAndDefaults() {
    Net::MemoryNetwork net;
    TestStation a(net, "192.168.1.10"), b(net, "192.168.1.11");
    // Values written by A are applied to B.
    TForm11& w = *a.main->templateWindow();
    Testing::control<QCheckBox>(w, "CheckBox2")->setChecked(true);
    Testing::control<QCheckBox>(w, "CheckBox9")->setChecked(true);
    Testing::control<QCheckBox>(w, "CheckBox23")->setChecked(true);
    Testing::control<QLineEdit>(w, "Edit1")->setText(QStringLiteral("3"));
    w.paneLook().setBackground(Settings::Colour::kGreen);
    QFont f = w.paneLook().font();
    f.setBold(true);
    w.paneLook().setFont(f);
    w.show();
    Testing::control<QCheckBox>(*a.main->prerollMonitor(), "CheckBox1")->setChecked(true);
    a.main->prerollMonitor()->paneLook().setTextColour(Settings::Colour::kBlue);
    Testing::control<QLineEdit>(*a.main->karaokeRemote(), "Edit4")->setText(QStringLiteral("40"));
    a.main->karaokeRemote()->setChangeColour(32896);
    a.main->correctionPalette()->move(33, 44);
    a.main->correctionMonitor()->paneLook().setBackground(Settings::Colour::kOlive);
    b.main->ApplySettings(a.main->WriteSettings());
    QVERIFY(b.messages.shown.isEmpty());  // no help texts while the settings are applied at start-up
    TForm11& bw = *b.main->templateWindow();
    QVERIFY(Testing::control<QCheckBox>(bw, "CheckBox2")->isChecked() && Testing::control<QCheckBox>(bw, "CheckBox9")->isChecked() && Testing::control<QCheckBox>(bw, "CheckBox23")->isChecked());
    QCOMPARE(Testing::control<QLineEdit>(bw, "Edit1")->text(), QStringLiteral("3"));
    QCOMPARE(bw.paneLook().background(), Settings::Colour::kGreen);
    QVERIFY(bw.paneLook().font().bold());
    QCOMPARE(Testing::control<PrerollPane>(bw, "RichEdit2")->font().bold(), true);
    QVERIFY(bw.isVisible());
    QVERIFY(Testing::control<QCheckBox>(*b.main->prerollMonitor(), "CheckBox1")->isChecked());
    QCOMPARE(b.main->prerollMonitor()->paneLook().textColour(), Settings::Colour::kBlue);
    QCOMPARE(Testing::control<QLineEdit>(*b.main->karaokeRemote(), "Edit4")->text(), QStringLiteral("40"));
    QCOMPARE(b.main->karaokeRemote()->changeColour(), 32896);
    QCOMPARE(b.main->correctionPalette()->x(), 33);
    QCOMPARE(b.main->correctionMonitor()->paneLook().background(), Settings::Colour::kOlive);
    // A system colour is written back as its negative value.
    const QList<QByteArray> written = a.main->WriteSettings();
    QVERIFY(written.contains(sj(QStringLiteral("228:-2147483640:テンプレート前ロールのフォントの色"))));
    QVERIFY(written.contains(sj(QStringLiteral("226:on:テンプレート前ロールウィンド表示"))));
    QVERIFY(written.contains(sj(QStringLiteral("235:on:テンプレート前ロール送った部分は消す"))));

    // "初期値に戻す": the table of defaults.
    Testing::control<QCheckBox>(*b.main->karaokeRemote(), "CheckBox59")->setChecked(true);
    b.main->subInputWindow()->show();
    Testing::control<QCheckBox>(*b.main, "CheckBox10")->setChecked(false);
    Testing::control<QCheckBox>(*b.main, "CheckBox21")->setChecked(true);
    b.main->ResetToDefaults();
    QVERIFY(!bw.isVisible() && !Testing::control<QCheckBox>(bw, "CheckBox2")->isChecked() && !Testing::control<QCheckBox>(bw, "CheckBox9")->isChecked());
    QVERIFY(Testing::control<QCheckBox>(bw, "CheckBox4")->isChecked() && Testing::control<QCheckBox>(bw, "CheckBox5")->isChecked() && Testing::control<QRadioButton>(bw, "RadioButton1")->isChecked());
    QCOMPARE(Testing::control<QLineEdit>(bw, "Edit1")->text(), QStringLiteral("1"));
    QCOMPARE(bw.paneLook().background(), Settings::Colour::kWindow);
    QCOMPARE(bw.paneLook().font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    QVERIFY(!bw.paneLook().font().bold());
    QVERIFY(Testing::control<QCheckBox>(*b.main, "CheckBox10")->isChecked());
    QCOMPARE(bw.size(), QSize(720, 380));
    QVERIFY(!Testing::control<QCheckBox>(*b.main->prerollMonitor(), "CheckBox1")->isChecked());
    QCOMPARE(b.main->prerollMonitor()->size(), QSize(520, 250));
    QCOMPARE(Testing::control<QLineEdit>(*b.main->karaokeRemote(), "Edit4")->text(), QStringLiteral("20"));
    QCOMPARE(b.main->karaokeRemote()->changeColour(), 255);
    QVERIFY(!Testing::control<QCheckBox>(*b.main->karaokeRemote(), "CheckBox59")->isChecked());
    QCOMPARE(b.main->karaokeRemote()->size(), QSize(690, 218));
    QVERIFY(!b.main->subInputWindow()->isVisible());
    QCOMPARE(b.main->subInputWindow()->size(), QSize(544, 153));
    QCOMPARE(b.main->subInputWindow()->firstPaneHeight(), 63);
    QVERIFY(!Testing::control<QCheckBox>(*b.main, "CheckBox21")->isChecked() && !Testing::control<QCheckBox>(*b.main, "CheckBox21")->isHidden());
    QCOMPARE(b.main->correctionPalette()->size(), QSize(410, 360));
    QCOMPARE(b.main->correctionMonitor()->pos(), QPoint(10, 10));
    QCOMPARE(b.main->correctionMonitor()->paneLook().background(), Settings::Colour::kWindow);
}

// The value of `key` in written settings lines.
static int valueOf(const QList<QByteArray>& lines, int key) {
    const QByteArray prefix = QByteArray::number(key).rightJustified(3, '0') + ':';
    for (const QByteArray& l : lines)
        if (l.startsWith(prefix)) return l.mid(4).split(':').value(0).toInt();
    return -1;
}

// Drags a splitter's first handle by `dy` pixels, as the mouse does.
static void dragHandle(QSplitter* splitter, int index, int dy) {
    QWidget* handle = splitter->handle(index);
    const QPoint middle = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, middle);
    QTest::mouseMove(handle, middle + QPoint(0, dy));  // the handle follows: one step only
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, middle);
}

// The panel heights of the pre-roll window (225, 711) and the pre-roll monitor (794, 795) are
// written as set or last shown, whether the window is on screen or not; a file's height that
// would squash a panel is not applied.
void PreparedTest::panelHeightsWhetherShownOrNot() {
    Net::MemoryNetwork net;
    TestStation a(net, "192.168.1.10"), b(net, "192.168.1.11");
    TForm11& t = *a.main->templateWindow();
    TForm3& m = *a.main->prerollMonitor();
    // Never shown: the heights they are made with, as high as their rows need and never lower
    // than the design's 121 and 57.
    QList<QByteArray> lines = a.main->WriteSettings();
    const int madeTop = valueOf(lines, 225), madeMonitorTop = valueOf(lines, 794);
    QVERIFY(madeTop >= 121 && madeTop >= Testing::control<QTabWidget>(t, "PageControl1")->sizeHint().height());
    QCOMPARE(valueOf(lines, 711), madeTop);
    QVERIFY(madeMonitorTop >= 57 && madeMonitorTop >= Testing::control<QWidget>(m, "Panel1")->layout()->totalHeightForWidth(m.width()));
    QCOMPARE(valueOf(lines, 795), 45);
    // Shown, the splitters dragged, hidden again: the heights last shown.
    for (QWidget* w : {static_cast<QWidget*>(&t), static_cast<QWidget*>(&m)}) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    auto* tPanel3 = Testing::control<QWidget>(t, "Panel3");
    auto* mPanel1 = Testing::control<QWidget>(m, "Panel1");
    auto* mPanel2 = Testing::control<QWidget>(m, "Panel2");
    // Opened, the parts have the sizes made for them, not scaled down by the splitter handles.
    QCOMPARE(tPanel3->height(), madeTop);
    QCOMPARE(Testing::control<QSplitter>(t, "Splitter3")->sizes().value(0), valueOf(lines, 712));
    QCOMPARE(mPanel1->height(), madeMonitorTop);
    QCOMPARE(mPanel2->height(), 45);
    dragHandle(Testing::control<QSplitter>(t, "Splitter1"), 1, 30);
    dragHandle(Testing::control<QSplitter>(m, "Splitter1"), 1, 12);
    dragHandle(Testing::control<QSplitter>(m, "Splitter1"), 2, 20);
    const int top = tPanel3->height(), monitorTop = mPanel1->height(), upper = mPanel2->height();
    QCOMPARE(top, madeTop + 30);
    QCOMPARE(monitorTop, madeMonitorTop + 12);
    QCOMPARE(upper, 53);
    t.hide();
    m.hide();
    lines = a.main->WriteSettings();
    QCOMPARE(valueOf(lines, 225), top);
    QCOMPARE(valueOf(lines, 711), top);
    QCOMPARE(valueOf(lines, 794), monitorTop);
    QCOMPARE(valueOf(lines, 795), upper);
    // Another station opens its windows with those heights.
    b.main->ApplySettings(lines);
    TForm11& bt = *b.main->templateWindow();
    TForm3& bm = *b.main->prerollMonitor();
    bt.show();
    bm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bt) && QTest::qWaitForWindowExposed(&bm));
    QCOMPARE(Testing::control<QWidget>(bt, "Panel3")->height(), top);
    QCOMPARE(Testing::control<QWidget>(bm, "Panel1")->height(), monitorTop);
    QCOMPARE(Testing::control<QWidget>(bm, "Panel2")->height(), upper);
    // Heights that squash a panel, as an earlier version wrote for hidden windows, or that no
    // screen holds, are not applied; the panels keep what they had.
    for (const char* bad : {"2", "0", "-40", "99999"}) {
        QList<QByteArray> file{lines.first()};
        for (int key : {225, 711, 794, 795}) file << QByteArray::number(key) + ':' + bad + ":x";
        b.main->ApplySettings(file);
        QCOMPARE(Testing::control<QWidget>(bt, "Panel3")->height(), top);
        QCOMPARE(Testing::control<QWidget>(bm, "Panel1")->height(), monitorTop);
        QCOMPARE(Testing::control<QWidget>(bm, "Panel2")->height(), upper);
    }
    QVERIFY(b.messages.shown.isEmpty());
}

QTEST_MAIN(PreparedTest)
#include "test_prepared.moc"

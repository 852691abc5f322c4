// The team through the windows of whole stations on one LAN: the partner page's buttons and
// guards, captions, group and channel changes, start-up and closing.
#include "support/lan.h"

#include "windows/main/member_monitor.h"
#include "net/datagram_endpoint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Testing;

namespace {
int slotOf(const TestStation& s, const QString& address) { return s.main->team().findMember(address); }
}  // namespace

class TeamTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void pairingAndRepairing();
    void restingStationLeavesAndStaysSilent();
    void groupChangeTellsTheOldMembers();
    void channelChangeRebuildsTheTeam();
    void ownAddressAndNameGuards();
    void slotAddressGuard();
    void startupRequestsTheOnlyMember();
    void closingTellsPartnerAndMembers();
    void addressToolsSpeakOfLinux();
    void partnerPageReadsAsATypistWould();
    void oneDatagramCannotTakeTheStationOver();
};

void TeamTest::pairingAndRepairing() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    lan.add(11, "B");
    lan.add(12, "C");
    lan.add(13, "D");
    TestStation& b = lan[1];
    TestStation& d = lan[3];
    QCOMPARE(slotOf(a, "192.168.1.11"), 1);
    QCOMPARE(slotOf(a, "192.168.1.13"), 3);
    lan.net.clearSent();
    Testing::control<QPushButton>(*a.main, "Button26")->click();  // "なってよ！" of slot #1
    lan.net.deliverAll();
    QCOMPARE(lan.payloadsTo(6719), (QStringList{"192.168.1.10,192.168.1.11,A,Req-Partner,Req",
                                                "192.168.1.11,192.168.1.10,B,Req-Partner,Ans"}));
    QVERIFY(a.main->hasPartner() && b.main->hasPartner());
    QCOMPARE(a.main->partnerSlot(), 1);
    QCOMPARE(a.main->windowTitle(), QStringLiteral("Quelta7r1(ctrl+d)  <B>"));
    QCOMPARE(b.main->windowTitle(), QStringLiteral("Quelta7r1(ctrl+d)  <A>"));
    QCOMPARE(a.main->subInputWindow()->windowTitle(), QStringLiteral("サブ入力ウィンド(ctrl+i)  <B>"));
    QVERIFY(!Testing::control<QPushButton>(*a.main, "Button22")->isHidden());
    QVERIFY(Testing::control<QPushButton>(*a.main, "Button26")->isHidden());
    QCOMPARE(a.main->team().partnerAddress(), QStringLiteral("192.168.1.11"));
    // Slot #3 becomes partner: slot #1 hears "Can-Partner" first.
    lan.net.clearSent();
    Testing::control<QPushButton>(*a.main, "Button30")->click();
    lan.net.deliverAll();
    const QStringList p = lan.payloadsTo(6719);
    QCOMPARE(p.value(0), QStringLiteral("192.168.1.10,192.168.1.11,A,Can-Partner,Ans"));
    QCOMPARE(p.value(1), QStringLiteral("192.168.1.10,192.168.1.13,A,Req-Partner,Req"));
    QVERIFY(!b.main->hasPartner());
    QCOMPARE(b.main->windowTitle(), QStringLiteral("Quelta7r1(ctrl+d)"));
    QVERIFY(a.main->hasPartner() && d.main->hasPartner());
    QCOMPARE(a.main->partnerSlot(), 3);
    QVERIFY(Testing::control<QPushButton>(*a.main, "Button22")->isHidden());
    QVERIFY(!Testing::control<QPushButton>(*a.main, "Button25")->isHidden());
    // "パートナー" of the slot ends it.
    lan.net.clearSent();
    Testing::control<QPushButton>(*a.main, "Button25")->click();
    lan.net.deliverAll();
    QCOMPARE(lan.payloadsTo(6719).value(0), QStringLiteral("192.168.1.10,192.168.1.13,A,Can-Partner,Ans"));
    QVERIFY(!a.main->hasPartner() && !d.main->hasPartner());
    // A pairing datagram from a stranger ends the partnership and makes none.
    Testing::control<QPushButton>(*a.main, "Button26")->click();
    lan.net.deliverAll();
    QVERIFY(a.main->hasPartner());
    lan.net.inject("192.168.1.99", 6719, "192.168.1.10", 6719, "192.168.1.99,192.168.1.10,X,Req-Partner,Req");
    lan.net.deliverAll();
    QVERIFY(!a.main->hasPartner());
    QCOMPARE(a.main->partnerSlot(), 0);
}

void TeamTest::restingStationLeavesAndStaysSilent() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    TestStation& b = lan.add(11, "B");
    lan.net.clearSent();
    Testing::control<QPushButton>(*a.main, "Button53")->click();  // "お休み"
    lan.net.deliverAll();
    QCOMPARE(lan.payloadsTo(6724), QStringList{QStringLiteral("192.168.1.10,A,離脱")});
    QVERIFY(Testing::control<QCheckBox>(*a.main, "CheckBox6")->isChecked());
    QCOMPARE(a.main->team().firstFreeSlot(), 1);
    QCOMPARE(slotOf(b, "192.168.1.10"), 0);  // B took A off its list
    lan.net.clearSent();
    Testing::control<QPushButton>(*b.main, "Button47")->click();
    lan.net.deliverAll();
    QVERIFY(lan.net.sentTo(6718).isEmpty());  // no answer from the resting station
    QCOMPARE(slotOf(a, "192.168.1.11"), 0);
    // "メンバーを捜す" brings it back.
    Testing::control<QPushButton>(*a.main, "Button47")->click();
    lan.net.deliverAll();
    QVERIFY(!Testing::control<QCheckBox>(*a.main, "CheckBox6")->isChecked());
    QCOMPARE(slotOf(a, "192.168.1.11"), 1);
    QCOMPARE(slotOf(b, "192.168.1.10"), 1);
}

void TeamTest::groupChangeTellsTheOldMembers() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    TestStation& b = lan.add(11, "B");
    lan.net.clearSent();
    Testing::control<QRadioButton>(*a.main, "RadioButton8")->setChecked(true);  // "Ｃ班"
    lan.net.deliverAll();
    QCOMPARE(a.main->groupNumber(), 3);
    QCOMPARE(lan.payloadsTo(6724), QStringList{QStringLiteral("192.168.1.10,A,離脱")});
    QCOMPARE(lan.payloadsTo(6722), QStringList{"192.168.1.10,A,Req,3"});
    QVERIFY(lan.net.sentTo(6718).isEmpty());  // B is in group 1
    QCOMPARE(slotOf(b, "192.168.1.10"), 0);
    QCOMPARE(a.main->team().firstFreeSlot(), 1);
    // "Ｇ班" … "Ｚ班" through the combo.
    Testing::control<QComboBox>(*a.main, "ComboBox1")->setCurrentIndex(19);
    Testing::control<QRadioButton>(*a.main, "RadioButton12")->setChecked(true);
    QCOMPARE(a.main->groupNumber(), 26);
    QCOMPARE(lan.payloadsTo(6722).last(), QStringLiteral("192.168.1.10,A,Req,26"));
    lan.net.clearSent();
    Testing::control<QComboBox>(*a.main, "ComboBox1")->setCurrentIndex(0);
    QCOMPARE(lan.payloadsTo(6722).value(0), QStringLiteral("192.168.1.10,A,Req,7"));
}

void TeamTest::channelChangeRebuildsTheTeam() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    TestStation& b = lan.add(11, "B");
    Testing::control<QPushButton>(*a.main, "Button26")->click();
    lan.net.deliverAll();
    lan.net.clearSent();
    Testing::control<QComboBox>(*a.main, "ComboBox2")->setCurrentIndex(1);  // "2ch"
    lan.net.deliverAll();
    const auto sent = lan.net.sent();
    QVERIFY(sent.size() >= 3);
    QCOMPARE(sent[0].toPort, 6719);  // the cancel goes out on the old channel
    QCOMPARE(sent[1].toPort, 6724);  // and the leave notice
    QCOMPARE(sent[2].toPort, 6822);  // the search on the new one
    QVERIFY(!b.main->hasPartner());
    QCOMPARE(slotOf(b, "192.168.1.10"), 0);
    QCOMPARE(a.main->team().firstFreeSlot(), 1);
    QCOMPARE(a.main->windowTitle(), QStringLiteral("2 : Quelta7r1(ctrl+d)"));
    // B follows to channel 2: they find each other again there.
    Testing::control<QComboBox>(*b.main, "ComboBox2")->setCurrentIndex(1);
    lan.net.deliverAll();
    QCOMPARE(slotOf(a, "192.168.1.11"), 1);
    Testing::control<QPushButton>(*a.main, "Button26")->click();
    lan.net.deliverAll();
    QCOMPARE(a.main->windowTitle(), QStringLiteral("2 : Quelta7r1(ctrl+d)  <B>"));
}

void TeamTest::ownAddressAndNameGuards() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    a.finishStartup();
    a.messages.shown.clear();
    Testing::control<QLineEdit>(*a.main, "Edit35")->setText("192.168.0.2");
    Testing::control<QLineEdit>(*a.main, "Edit35")->setFocus();
    Testing::control<QLineEdit>(*a.main, "Edit35")->end(false);
    QTest::keyClick(Testing::control<QLineEdit>(*a.main, "Edit35"), Qt::Key_Backspace);  // 192.168.0. : invalid at once
    QCOMPARE(Testing::control<QLineEdit>(*a.main, "Edit35")->text(), QStringLiteral("10.14.1.1"));
    QCOMPARE(a.messages.shown.size(), 1);
    QVERIFY(a.messages.shown[0].startsWith(QStringLiteral("入力したＩＰアドレスが間違っていたので\n１０．１４．１．１に書き換えました。")));
    Testing::control<QCheckBox>(*a.main, "CheckBox19")->setChecked(false);
    Testing::control<QLineEdit>(*a.main, "Edit35")->setText("bad");
    QCOMPARE(Testing::control<QLineEdit>(*a.main, "Edit35")->text(), QStringLiteral("10.14.1.1"));
    QCOMPARE(a.messages.shown.size(), 1);  // silent without messages
    Testing::control<QCheckBox>(*a.main, "CheckBox19")->setChecked(true);

    // Renaming: the notice on leaving the field, once.
    a.main->show();
    a.main->pages()->setCurrentIndex(2);
    QVERIFY(QTest::qWaitForWindowExposed(a.main.get()));
    a.messages.shown.clear();
    Testing::control<QLineEdit>(*a.main, "Edit30")->setFocus();
    QTest::keyClicks(Testing::control<QLineEdit>(*a.main, "Edit30"), "2");
    Testing::control<QLineEdit>(*a.main, "Edit36")->setFocus();
    QCOMPARE(a.messages.shown.size(), 1);
    QVERIFY(a.messages.shown[0].startsWith(QStringLiteral("「自分のパソコン」の「名前」を変えた時は、")));
    Testing::control<QLineEdit>(*a.main, "Edit30")->setFocus();
    Testing::control<QLineEdit>(*a.main, "Edit36")->setFocus();
    QCOMPARE(a.messages.shown.size(), 1);
}

void TeamTest::slotAddressGuard() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    for (int h : {11, 12, 13}) lan.add(h, QStringLiteral("m%1").arg(h));
    QVERIFY(Testing::control<QCheckBox>(*a.main, "CheckBox3")->isChecked());
    Testing::control<QLineEdit>(*a.main, "Edit14")->clear();  // slot #3's address
    QVERIFY(!Testing::control<QCheckBox>(*a.main, "CheckBox3")->isChecked());
    Testing::control<QLineEdit>(*a.main, "Edit14")->setText("192.168.1.13");
    QVERIFY(!Testing::control<QCheckBox>(*a.main, "CheckBox3")->isChecked());  // setting the flag is left to the user
    lan.net.clearSent();
    a.main->SendLine("x");
    QCOMPARE(lan.net.sentTo(6711).size(), 2);
    for (const auto& d : lan.net.sentTo(6711)) QVERIFY(d.to != QLatin1String("192.168.1.13"));
}

void TeamTest::startupRequestsTheOnlyMember() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    TestStation& b = lan.add(11, "B");
    lan.net.clearSent();
    b.finishStartup();
    lan.net.deliverAll();
    QCOMPARE(lan.payloadsTo(6719).value(0), QStringLiteral("192.168.1.11,192.168.1.10,B,Req-Partner,Req"));
    QVERIFY(a.main->hasPartner() && b.main->hasPartner());
    // With two members there is no automatic request.
    lan.add(12, "C");
    lan.net.clearSent();
    lan[2].finishStartup();
    QVERIFY(lan.net.sentTo(6719).isEmpty());
}

void TeamTest::closingTellsPartnerAndMembers() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    TestStation& b = lan.add(11, "B");
    lan.add(12, "C");
    Testing::control<QPushButton>(*a.main, "Button26")->click();
    lan.net.deliverAll();
    lan.net.clearSent();
    a.main->close();
    lan.net.deliverAll();
    // The cancel, and B's own cancel back (every pairing datagram first ends B's partnership).
    QCOMPARE(lan.payloadsTo(6719), (QStringList{"192.168.1.10,192.168.1.11,A,Can-Partner,Ans",
                                                "192.168.1.11,192.168.1.10,B,Can-Partner,Ans"}));
    QCOMPARE(lan.payloadsTo(6724).size(), 2);  // both members
    QVERIFY(!b.main->hasPartner());
    QCOMPARE(slotOf(b, "192.168.1.10"), 0);
    QCOMPARE(slotOf(lan[2], "192.168.1.10"), 0);
}

void TeamTest::addressToolsSpeakOfLinux() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    auto* list = Testing::control<QPushButton>(*a.main, "Button36");
    auto* howTo = Testing::control<QPushButton>(*a.main, "Button38");
    QCOMPARE(list->text(), QStringLiteral("ＩＰ一覧"));
    QCOMPARE(howTo->text(), QStringLiteral("ＩＰの調べ方"));
    QStringList& shown = a.messages.shown;
    shown.clear();
    list->click();
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown[0].startsWith(QStringLiteral("「ＩＰ一覧」は、このパソコンのＩＰアドレスを")));
    QCOMPARE(shown[1], QStringLiteral("このパソコンのＩＰアドレス\n\n") + a.hostTools.report);
    howTo->click();
    QCOMPARE(shown.size(), 3);
    QVERIFY(shown[2].contains(QStringLiteral("「ip -4 addr」")));
    QVERIFY(shown[2].contains(QStringLiteral("ネットワーク設定")));
    for (const QString& text : shown)
        QVERIFY2(!text.contains(QStringLiteral("Windows")) && !text.contains(QStringLiteral(".exe")), qPrintable(text));
    // Without "メッセージを表示する" the list's explanation goes; the addresses and the asked-for how-to stay.
    Testing::control<QCheckBox>(*a.main, "CheckBox19")->setChecked(false);
    list->click();
    QCOMPARE(shown.size(), 4);
    QCOMPARE(shown[3], QStringLiteral("このパソコンのＩＰアドレス\n\n") + a.hostTools.report);
    howTo->click();
    QCOMPARE(shown.size(), 5);
    QCOMPARE(shown[4], shown[2]);
    // Nothing read: said so, never an empty box.
    a.hostTools.report.clear();
    list->click();
    QCOMPARE(shown.size(), 6);
    QVERIFY(shown[5].startsWith(QStringLiteral("このパソコンのＩＰアドレスを読み取れませんでした。")));
}

// What a typist reads on the page: the other groups captioned with a group shown, the routed
// addresses numbered as their messages count them, the password masked until asked for.
void TeamTest::partnerPageReadsAsATypistWould() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    QCOMPARE(Testing::control<QRadioButton>(*a.main, "RadioButton12")->text(), QStringLiteral("その他"));
    auto* others = Testing::control<QComboBox>(*a.main, "ComboBox1");
    QCOMPARE(others->currentText(), QStringLiteral("Ｇ班"));
    QCOMPARE(a.main->groupNumber(), 1);  // shown, not in force
    const char* fields[] = {"Edit98", "Edit99", "Edit100"};
    const QString ordinals[] = {QStringLiteral("１番目"), QStringLiteral("２番目"), QStringLiteral("３番目")};
    for (int i = 0; i < 3; ++i) {
        auto* field = Testing::control<QLineEdit>(*a.main, fields[i]);
        QString caption;
        for (const QLabel* l : a.main->findChildren<QLabel*>())
            if (l->buddy() == field) caption = l->text();
        QCOMPARE(caption, ordinals[i]);
    }
    auto* password = Testing::control<QLineEdit>(*a.main, "Edit1");
    auto* show = Testing::control<QPushButton>(*a.main, "ButtonShowPassword");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(show->text(), QStringLiteral("表示"));
    show->click();
    QCOMPARE(password->echoMode(), QLineEdit::Normal);
    QCOMPARE(show->text(), QStringLiteral("隠す"));
    show->click();
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(show->text(), QStringLiteral("表示"));
    QCOMPARE(password->text(), QStringLiteral("既定の共有合言葉その一番"));
}

// The take-overs of one forged datagram: the own address moved to where the team's lines never
// arrive, a member dropped or a partnership ended in another station's name.
void TeamTest::oneDatagramCannotTakeTheStationOver() {
    PairedLan p;
    TestStation& a = p.a;
    QVERIFY(a.main->hasPartner());
    p.lan.net.inject("192.168.1.99", 6718, "192.168.1.10", 6718, "192.168.1.99,192.168.1.200,X,Ans");
    p.lan.net.inject("192.168.1.99", 6724, "192.168.1.10", 6724, sj(u"192.168.1.11,B,離脱"));
    p.lan.net.inject("192.168.1.99", 6719, "192.168.1.10", 6719, "192.168.1.11,192.168.1.10,B,Can-Partner,Ans");
    p.lan.net.deliverAll();
    QCOMPARE(Testing::control<QLineEdit>(*a.main, "Edit35")->text(), QStringLiteral("192.168.1.10"));
    QCOMPARE(slotOf(a, "192.168.1.11"), 1);
    QVERIFY(a.main->hasPartner());
    p.lan.net.clearSent();
    a.main->SendLine("still heard");
    p.lan.net.deliverAll();
    QCOMPARE(lastRecordLine(p.b), QStringLiteral("still heard"));
    QVERIFY(Testing::control<QTextEdit>(*a.main, "RichEdit3")->toPlainText().contains(QStringLiteral("不正ＩＰ受信：192.168.1.200（このパソコンのアドレスではありません）")));
}

QTEST_MAIN(TeamTest)
#include "test_team.moc"

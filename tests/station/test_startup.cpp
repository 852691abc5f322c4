// Start-up of a whole station: creation order, the two phases, the own address, the port plan,
// the channel change, the hot keys and the window buttons.
#include "support/test_station.h"

#include "app/desktop_cover.h"
#include "app/member_monitor.h"
#include "app/splash.h"
#include "app/wastop_monitor.h"
#include "messaging/contact_window.h"
#include "messaging/fkey_memo.h"
#include "net/datagram_endpoint.h"
#include "prepared/karaoke_remote.h"
#include "prepared/subinput_window.h"
#include "prepared/template_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QTest>
#include <algorithm>

using Testing::TestStation;

namespace {
QList<quint16> sortedPorts(const Net::MemoryHost& h) {
    QList<quint16> p = h.boundPorts();
    std::sort(p.begin(), p.end());
    return p;
}
QList<quint16> channelPorts(int c) {
    QList<quint16> out;
    for (quint16 p : Net::Ports::kChannelOnePorts) out << (p == 6720 ? p : quint16(p + 100 * c));
    std::sort(out.begin(), out.end());
    return out;
}
}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void windowsAreCreatedInOrderAndHidden();
    void controlNamesAreUniqueInTheirWindow();
    void phaseTwoRunsOnlyWhenItsTimerFires();
    void unreadableAddressNeverSchedulesPhaseTwo();
    void severalAddressesAskTheUserToChoose();
    void everyEndpointIsBoundOnChannelOne();
    void secondCopyOnTheSameHostBindsNothing();
    void channelThreeMovesEveryShiftedPort();
    void channelChangeWithInvalidAddressMovesNothing();
    void sendToMembersGoesToCheckedSlotsInOrder();
    void loopbackLinesAreDroppedWhileSiblingCopyIsOn();
    void hotKeysFollowTheVisibilityRules();
    void hotKeysWinOverTextPanes();
    void lanSwitchCaptionTurnsRedWhenOff();
    void auxiliaryButtonsOpenTheirWindows();
    void closingRunsTheCloseHandlerOnce();
    void qtSpeaksJapanese();
};

void StartupTest::windowsAreCreatedInOrderAndHidden() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    const QStringList expected{"talk2e", "TForm6", "TForm11", "TForm15", "TForm2", "TForm5", "TForm8",
                               "TForm3", "TForm9", "TForm14", "TFkakunin", "TFmojikara", "TFshusei_moni"};
    QStringList names;
    for (QWidget* w : s.main->allWindows()) {
        names << w->objectName();
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }
    QCOMPARE(names, expected);
    QCOMPARE(s.main->windowTitle(), QStringLiteral("Quelta7r1(ctrl+d)"));
    QCOMPARE(s.main->Form2->windowTitle(), QStringLiteral("８人モニター(ctrl+8)"));
    QCOMPARE(s.main->Form14->windowTitle(), QStringLiteral("サブ入力ウィンド(ctrl+i)"));
    const QStringList pages{"表示・入力", "補助Ｗ", "ﾊﾟｰﾄﾅｰ", "表示１", "表示２", "入力１", "入力２", "保存", "説明"};
    for (int i = 0; i < pages.size(); ++i) QCOMPARE(s.main->PageControl1->tabText(i), pages[i]);
    QCOMPARE(s.main->PageControl1->count(), pages.size());
    // Initial layout.
    QCOMPARE(s.main->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(s.main->size(), QSize(640, 480));
    QVERIFY(Testing::control<QPushButton>(*s.main, "Button14")->isHidden());
    QVERIFY(Testing::control<QLineEdit>(*s.main, "Edit77")->isHidden());
    QVERIFY(Testing::control<TextPane>(*s.main, "RichEdit1")->toPlainText().isEmpty());  // the instruction is a hint, not text
    QVERIFY(Testing::control<TextPane>(*s.main, "RichEdit1")->placeholderText().startsWith(QStringLiteral("入力部　（Enter：表示に流す")));
    QCOMPARE(Testing::control<TextPane>(*s.main, "RichEdit27")->toPlainText(), QStringLiteral("モニター部"));
    QCOMPARE(Testing::control<TextPane>(*s.main, "RichEdit27")->x(), 50);
    QCOMPARE(Testing::control<TextPane>(*s.main, "RichEdit1")->height(), 24);
    QCOMPARE(Testing::control<QPushButton>(*s.main, "Button13")->height(), 27);  // 24 + the strip's top margin
    QCOMPARE(s.main->Form8->pos(), QPoint(0, 0));
    QCOMPARE(s.main->Form8->size(), QSize(300, 300));
}

// Tests and the settings rows find a control by its designer name within its window.
void StartupTest::controlNamesAreUniqueInTheirWindow() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    for (QWidget* w : s.main->allWindows()) {
        QSet<QString> seen;
        for (QObject* o : w->findChildren<QObject*>()) {
            const QString name = o->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
            QVERIFY2(!seen.contains(name), qPrintable(w->objectName() + QLatin1Char(' ') + name));
            seen.insert(name);
        }
    }
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit68")->text(), QStringLiteral("500"));
}

void StartupTest::phaseTwoRunsOnlyWhenItsTimerFires() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    QCOMPARE(s.main->Edit30->text(), QStringLiteral("alpha"));
    QCOMPARE(s.main->Edit35->text(), QStringLiteral("192.168.1.10"));
    QVERIFY(s.main->Timer2->isActive());
    QCOMPARE(s.main->Timer2->interval(), 5000);
    QVERIFY(s.main->Timer2->isSingleShot());
    QVERIFY(!s.main->isStarted());
    QVERIFY(s.messages.shown.isEmpty());

    auto* splash = new TForm12();
    splash->show();
    QPointer<TForm12> watch(splash);
    // A station with a splash: phase 2 closes (and frees) it.
    Net::MemoryNetwork lan2;
    auto& host = lan2.addHost("10.0.0.5", "beta");
    App::Station st{host, s.clock, s.messages, s.dialogs, s.clipboard, s.hostTools, s.station.programFolder};
    auto withSplash = App::createStationWindows(st, splash);
    withSplash->Timer2Timer();
    QVERIFY(withSplash->isStarted());
    QVERIFY(!withSplash->Timer2->isActive());
    QVERIFY(withSplash->isVisible());
    QTRY_VERIFY(watch.isNull());
    QCOMPARE(withSplash->programFolder(), s.station.programFolder);
    QVERIFY(s.messages.shown.isEmpty());  // one address, periodic clear on: nothing to say
}

void StartupTest::unreadableAddressNeverSchedulesPhaseTwo() {
    Net::MemoryNetwork lan;
    TestStation s(lan, QStringList{}, "lonely");
    QCOMPARE(s.main->Edit35->text(), QStringLiteral("読込み失敗"));
    QCOMPARE(s.messages.shown,
             QStringList{QStringLiteral("ＩＰアドレスの読込に失敗しました。\n他のパソコンと通信できません。")});
    QVERIFY(!s.main->Timer2->isActive());
    QVERIFY(!s.main->isStarted());
    QVERIFY(!s.main->ListBox2->isHidden());
    QCOMPARE(s.main->ListBox2->item(0)->text(), QStringLiteral("0 またはDHCPサーバ"));
    QVERIFY(s.main->addressListIsRed());
    QVERIFY(s.main->Button39->isHidden());
    QVERIFY(lan.sent().isEmpty());  // no member search went out
    // The station still runs: the ports are bound and a channel change is refused silently.
    QCOMPARE(sortedPorts(s.host), channelPorts(0));
    s.main->ComboBox2->setCurrentIndex(4);
    QCOMPARE(sortedPorts(s.host), channelPorts(0));

    // Without the message switch the failure is silent.
    Net::MemoryNetwork lan2;
    auto& host = lan2.addHost(QStringList{}, "quiet");
    Testing::RecordingMessages quiet;
    App::Station st{host, s.clock, quiet, s.dialogs, s.clipboard, s.hostTools, s.station.programFolder};
    Ttalk2e w(st);
    QCOMPARE(quiet.shown.size(), 1);  // the check box is on by design default
}

void StartupTest::severalAddressesAskTheUserToChoose() {
    Net::MemoryNetwork lan;
    TestStation s(lan, QStringList{"192.168.1.10", "10.0.0.3"}, "two");
    QCOMPARE(s.main->Edit35->text(), QStringLiteral("192.168.1.10"));  // the first until the user picks
    QCOMPARE(s.main->ListBox2->count(), 2);
    QVERIFY(s.main->addressListIsRed());
    QVERIFY(s.main->Button39->isHidden());
    Testing::control<QCheckBox>(*s.main, "CheckBox19")->setChecked(false);  // this message comes whatever the switch says
    s.finishStartup();
    QCOMPARE(s.main->PageControl1->currentIndex(), 2);
    QCOMPARE(s.messages.shown.size(), 1);
    QVERIFY(s.messages.shown[0].startsWith(QStringLiteral("複数のＩＰアドレスが見つかりました。")));
    // A click on a line takes that address.
    QListWidgetItem* second = s.main->ListBox2->item(1);
    emit s.main->ListBox2->itemClicked(second);
    QCOMPARE(s.main->Edit35->text(), QStringLiteral("10.0.0.3"));
    QVERIFY(s.main->ListBox2->isHidden());
    QVERIFY(!s.main->Button39->isHidden());
}

void StartupTest::everyEndpointIsBoundOnChannelOne() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    QCOMPARE(sortedPorts(s.host), channelPorts(0));
    for (Net::DatagramEndpoint* e : s.main->channelEndpoints()) {
        QVERIFY(e->isBound());
        QCOMPARE(e->channelPort(), e->basePort());
    }
}

void StartupTest::secondCopyOnTheSameHostBindsNothing() {
    Net::MemoryNetwork lan;
    TestStation first(lan, "192.168.1.10");
    App::Station st{first.host, first.clock, first.messages, first.dialogs, first.clipboard, first.hostTools,
                    first.station.programFolder};
    auto second = App::createStationWindows(st, nullptr);
    for (Net::DatagramEndpoint* e : second->channelEndpoints()) QVERIFY(!e->isBound());
    QVERIFY(!second->Form11->NMUDP5->isBound());
    QVERIFY(first.main->NMUDP1->isBound());
    second->Timer2Timer();  // and it runs on, silently
    QVERIFY(second->isStarted());
    QVERIFY(first.messages.shown.isEmpty());
}

void StartupTest::channelThreeMovesEveryShiftedPort() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    s.main->Fmojikara->CheckBox1->setChecked(true);  // "ｶﾗｵｹに送信": 6728 instead of 6716 (refused once started without a partner)
    s.finishStartup();
    s.main->Fmojikara->NMUDP1->setEntry(Net::Ports::RemoteKaraoke);
    QList<quint16> order;
    for (Net::DatagramEndpoint* e : s.main->channelEndpoints()) order << e->basePort();
    QCOMPARE(order, (QList<quint16>{6711, 6712, 6713, 6717, 6718, 6719, 6721, 6722, 6723, 6724, 6727, 6728, 6730,
                                    6731, 6732, 6734, 6735, 6736}));

    s.main->ComboBox2->setCurrentIndex(2);  // "3ch"
    QList<quint16> expected;
    for (quint16 p : order) expected << quint16(p + 200);
    expected << 6720;  // the template window's third stream stays; the remote left 6716 behind
    std::sort(expected.begin(), expected.end());
    QCOMPARE(sortedPorts(s.host), expected);
    QCOMPARE(s.main->NMUDP1->channelPort(), 6911);
    QCOMPARE(s.main->windowTitle(), QStringLiteral("3 : Quelta7r1(ctrl+d)"));
    QCOMPARE(s.main->Form14->windowTitle(), QStringLiteral("3 : サブ入力ウィンド(ctrl+i)"));
    QCOMPARE(s.main->Form2->windowTitle(), QStringLiteral("3 : ８人モニター(ctrl+8)"));
    QCOMPARE(s.main->Fkakunin->windowTitle(), QStringLiteral("3 :確認修正パレット(ctrl+s)"));
    QCOMPARE(s.main->Form3->windowTitle(), QStringLiteral("3 : テンプレート前ロールモニタ"));
    QCOMPARE(s.main->Form8->windowTitle(), QStringLiteral("3 : ワ停止モニター"));
    QCOMPARE(s.main->Fshusei_moni->windowTitle(), QStringLiteral("3 :確認修正モニター"));
    // Datagrams on the new ports arrive; the old ones are gone.
    QSignalSpy spy(s.main->NMUDP1, &Net::DatagramEndpoint::received);
    lan.inject("192.168.1.20", 1, "192.168.1.10", 6711, "old");
    lan.inject("192.168.1.20", 1, "192.168.1.10", 6911, "new");
    lan.deliverAll();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy[0][0].toByteArray(), QByteArray("new"));
}

void StartupTest::channelChangeWithInvalidAddressMovesNothing() {
    Net::MemoryNetwork lan;
    TestStation s(lan, QStringList{}, "nonet");  // the own address could not be read
    s.main->ComboBox2->setCurrentIndex(5);
    QCOMPARE(s.main->ComboBox2->currentText(), QStringLiteral("6ch"));  // the combo shows the new channel
    QCOMPARE(sortedPorts(s.host), channelPorts(0));
    QCOMPARE(s.main->windowTitle(), QStringLiteral("Quelta7r1(ctrl+d)"));
}

void StartupTest::sendToMembersGoesToCheckedSlotsInOrder() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    lan.clearSent();
    s.main->SendToMembers(Net::Ports::MainLines, "nobody");
    QVERIFY(lan.sent().isEmpty());

    const int order[] = {5, 2, 8};
    for (int k : order) {
        s.main->slot(k).address->setText(QStringLiteral("192.168.1.%1").arg(20 + k));
        s.main->slot(k).mate->setChecked(true);
    }
    s.main->slot(3).address->setText(QStringLiteral("192.168.1.23"));  // listed, but not a mate
    s.main->SendToMembers(Net::Ports::MainLines, "line");
    const auto sent = lan.sent();
    QCOMPARE(sent.size(), 3);
    QCOMPARE(sent[0].to, QStringLiteral("192.168.1.22"));
    QCOMPARE(sent[1].to, QStringLiteral("192.168.1.25"));
    QCOMPARE(sent[2].to, QStringLiteral("192.168.1.28"));
    for (const auto& d : sent) {
        QCOMPARE(d.toPort, 6711);
        QCOMPARE(d.payload, QByteArray("line"));
    }
}

void StartupTest::loopbackLinesAreDroppedWhileSiblingCopyIsOn() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    QSignalSpy lines(s.main->NMUDP1, &Net::DatagramEndpoint::received);
    QSignalSpy contact(s.main->Form6->NMUDP1, &Net::DatagramEndpoint::received);
    s.main->CheckBox60->setChecked(true);
    s.main->NMUDP3->sendTo(QStringLiteral("127.0.0.1"), 6711, "looped");
    s.main->NMUDP3->sendTo(QStringLiteral("127.0.0.1"), 6727, "looped");
    lan.deliverAll();
    QCOMPARE(lines.size(), 0);
    QCOMPARE(contact.size(), 0);
    s.main->CheckBox60->setChecked(false);
    s.main->NMUDP3->sendTo(QStringLiteral("127.0.0.1"), 6711, "looped");
    lan.deliverAll();
    QCOMPARE(lines.size(), 1);
    // "入力をＬＡＮに流す。" off closes the line port.
    s.main->CheckBox22->setChecked(false);
    lan.inject("192.168.1.20", 1, "192.168.1.10", 6711, "x");
    lan.deliverAll();
    QCOMPARE(lines.size(), 1);
}

void StartupTest::hotKeysFollowTheVisibilityRules() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    s.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.main.get()));
    QAction* fkey = s.main->findChild<QAction*>(QStringLiteral("hkey_fkeymemo"));
    QVERIFY(fkey);
    fkey->trigger();
    QVERIFY(!s.main->Form5->isVisible());  // hidden: Ctrl+F does nothing
    s.main->findChild<QAction*>(QStringLiteral("hkeyslide1"))->trigger();
    for (QWidget* w : s.main->allWindows())
        if (w != s.main.get()) QVERIFY(!w->isVisible());

    s.main->findChild<QAction*>(QStringLiteral("hkeyinput1"))->trigger();  // sub-input hidden: the main window
    QVERIFY(!s.main->Form14->isVisible());
    QVERIFY(s.main->isVisible());

    // Every window carries the same ten items.
    for (QWidget* w : s.main->allWindows()) {
        const auto actions = w->findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(actions.size(), 10);
    }
    QCOMPARE(s.main->Form6->findChild<QAction*>(QStringLiteral("hkey8nin1"))->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_8));

    // Ctrl+D from another window brings the main window back.
    s.main->Form6->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.main->Form6.get()));
    s.main->hide();
    s.main->Form6->findChild<QAction*>(QStringLiteral("hkey_main"))->trigger();
    QVERIFY(s.main->isVisible());
}

void StartupTest::hotKeysWinOverTextPanes() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    s.main->show();
    s.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.main.get()));
    s.main->Fmojikara->show();
    s.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.main.get()));
    QAction* remote = s.main->findChild<QAction*>(QStringLiteral("hkeymojikara1"));
    QSignalSpy spy(remote, &QAction::triggered);
    s.main->Edit30->setFocus();
    QTest::keyClick(s.main->Edit30, Qt::Key_K, Qt::ControlModifier);  // Ctrl+K would delete to the end
    QCOMPARE(spy.size(), 1);
    QCOMPARE(s.main->Edit30->text(), QStringLiteral("pc"));
}

void StartupTest::lanSwitchCaptionTurnsRedWhenOff() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    QVERIFY(s.main->CheckBox22->isChecked());
    s.main->CheckBox22->setChecked(false);
    QCOMPARE(s.main->CheckBox22->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    s.main->CheckBox22->setChecked(true);
    QCOMPARE(s.main->CheckBox22->palette().color(QPalette::WindowText),
             QApplication::palette().color(QPalette::WindowText));
}

void StartupTest::auxiliaryButtonsOpenTheirWindows() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    s.main->show();
    s.main->PageControl1->setCurrentIndex(1);
    Testing::control<QPushButton>(*s.main, "ButtonTemplate")->click();
    QVERIFY(s.main->Form11->isVisible());
    QCOMPARE(s.main->PageControl1->currentIndex(), 0);
    QVERIFY(s.main->Form11->windowFlags() & Qt::WindowStaysOnTopHint);
    Testing::control<QCheckBox>(*s.main, "CheckBox10")->setChecked(false);
    QVERIFY(!(s.main->Form11->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(s.main->Form11->isVisible());

    Testing::control<QCheckBox>(*s.main, "CheckBox12")->setChecked(false);
    Testing::control<QPushButton>(*s.main, "Button45")->click();
    QVERIFY(s.main->Form2->isVisible());
    QVERIFY(Testing::control<QCheckBox>(*s.main, "CheckBox12")->isChecked());

    Testing::control<QCheckBox>(*s.main, "CheckBox21")->setChecked(true);
    Testing::control<QPushButton>(*s.main, "ButtonPalette")->click();
    QVERIFY(s.main->Fkakunin->isVisible());
    QVERIFY(!Testing::control<QCheckBox>(*s.main, "CheckBox21")->isChecked());
    QVERIFY(Testing::control<QCheckBox>(*s.main, "CheckBox21")->isHidden());

    Testing::control<QPushButton>(*s.main, "ButtonSubInput")->click();
    QVERIFY(s.main->Form14->isVisible());
    QCOMPARE(s.main->Form14->width(), s.main->width() * 4 / 5);
    QCOMPARE(s.main->Form14->height(), s.main->Form14->firstPaneHeight() * 2 + 60);

    s.main->Form8->addLine(QStringLiteral("held"));
    Testing::control<QPushButton>(*s.main, "Button5")->click();
    QVERIFY(s.main->Form8->isVisible());
    QVERIFY(s.main->Form8->lines().isEmpty());

    Testing::control<QPushButton>(*s.main, "Button52")->click();
    QVERIFY(s.main->Form5->isVisible());

    // The desktop cover: a colour, the whole screen, the main window in front.
    s.dialogs.colours.push_back(QColor(0, 0, 128));
    Testing::control<QPushButton>(*s.main, "Button8")->click();
    Testing::control<QCheckBox>(*s.main, "CheckBox9")->setChecked(true);
    QVERIFY(s.main->Form9->isVisible());
    QCOMPARE(s.main->Form9->pos(), QPoint(0, 0));
    QCOMPARE(s.main->Form9->Image1->picture().pixelColor(5, 5), QColor(0, 0, 128));
    Testing::control<QCheckBox>(*s.main, "CheckBox9")->setChecked(false);
    QVERIFY(!s.main->Form9->isVisible());

    // All thirteen windows take the page colour.
    s.dialogs.colours.push_back(QColor(200, 230, 200));
    Testing::control<QPushButton>(*s.main, "Button69")->click();
    for (QWidget* w : s.main->allWindows()) QCOMPARE(w->palette().color(QPalette::Window), QColor(200, 230, 200));
}

void StartupTest::closingRunsTheCloseHandlerOnce() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    s.main->show();
    s.main->Form2->show();
    QSignalSpy closed(s.main.get(), &Ttalk2e::closed);
    s.main->close();
    QCOMPARE(closed.size(), 1);
    QVERIFY(!s.main->Form2->isVisible());  // closing the main window ends the program's windows
}

void StartupTest::qtSpeaksJapanese() {
    QVERIFY(App::installTranslations(*qApp));
    // The standard buttons of message boxes and file dialogs, and the edit menus of text fields.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "Select All"), QStringLiteral("すべてを選択"));
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"

// Start-up of a whole station: creation order, the two phases, the own address, the port plan,
// the channel change, the hot keys and the window buttons.
#include "support/test_station.h"
#include "support/wording.h"

#include "support/port_table.h"

#include "windows/main/desktop_cover.h"
#include "windows/main/member_monitor.h"
#include "windows/main/splash.h"
#include "windows/main/wastop_monitor.h"
#include "windows/messaging/contact_window.h"
#include "windows/messaging/fkey_memo.h"
#include "net/datagram_endpoint.h"
#include "windows/prepared/karaoke_remote.h"
#include "windows/prepared/subinput_window.h"
#include "windows/messaging/notice_window.h"
#include "windows/prepared/correction_palette.h"
#include "windows/prepared/template_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
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
    void eachHotKeyBringsItsOwnWindowForward();
    void lanSwitchCaptionTurnsRedWhenOff();
    void auxiliaryButtonsOpenTheirWindows();
    void windowsComingForwardHaveTheKeyboardInTheirPane();
    void closingRunsTheCloseHandlerOnce();
    void qtSpeaksJapanese();
    void captionsAndHelpTextsCarryNoSlips();
    void everyWindowShowsTheProgramIcon();
};

void StartupTest::windowsAreCreatedInOrderAndHidden() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    const QStringList expected{"talk2e", "TForm6", "TForm11", "TForm15", "TForm2", "TForm5", "TForm8",
                               "TForm3", "TForm9", "TForm14", "TFkakunin", "TFmojikara", "TFshusei_moni"};
    QStringList names;
    for (QWidget* w : s.main->windows().all()) {
        names << w->objectName();
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }
    QCOMPARE(names, expected);
    QCOMPARE(s.main->windowTitle(), QStringLiteral("Quelta7r1(ctrl+d)"));
    QCOMPARE(s.main->memberMonitor()->windowTitle(), QStringLiteral("８人モニター(ctrl+8)"));
    QCOMPARE(s.main->subInputWindow()->windowTitle(), QStringLiteral("サブ入力ウィンド(ctrl+i)"));
    const QStringList pages{"表示・入力", "補助Ｗ", "ﾊﾟｰﾄﾅｰ", "表示１", "表示２", "入力１", "入力２", "保存", "説明"};
    for (int i = 0; i < pages.size(); ++i) QCOMPARE(s.main->pages()->tabText(i), pages[i]);
    QCOMPARE(s.main->pages()->count(), pages.size());
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
    QCOMPARE(s.main->wastopMonitor()->pos(), QPoint(0, 0));
    QCOMPARE(s.main->wastopMonitor()->size(), QSize(300, 300));
}

// Tests and the settings rows find a control by its designer name within its window.
void StartupTest::controlNamesAreUniqueInTheirWindow() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    for (QWidget* w : s.main->windows().all()) {
        QSet<QString> seen;
        for (QObject* o : w->findChildren<QObject*>()) {
            const QString name = o->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
            if (qobject_cast<QTabBar*>(o->parent())) continue;  // a tab bar names its own scroll buttons
            QVERIFY2(!seen.contains(name), qPrintable(w->objectName() + QLatin1Char(' ') + name));
            seen.insert(name);
        }
    }
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit68")->text(), QStringLiteral("500"));
}

void StartupTest::phaseTwoRunsOnlyWhenItsTimerFires() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit30")->text(), QStringLiteral("alpha"));
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit35")->text(), QStringLiteral("192.168.1.10"));
    QVERIFY(Testing::control<QTimer>(*s.main, "Timer2")->isActive());
    QCOMPARE(Testing::control<QTimer>(*s.main, "Timer2")->interval(), 5000);
    QVERIFY(Testing::control<QTimer>(*s.main, "Timer2")->isSingleShot());
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
    QVERIFY(!Testing::control<QTimer>(*withSplash, "Timer2")->isActive());
    QVERIFY(withSplash->isVisible());
    QTRY_VERIFY(watch.isNull());
    QCOMPARE(withSplash->programFolder(), s.station.programFolder);
    QVERIFY(s.messages.shown.isEmpty());  // one address, periodic clear on: nothing to say
}

void StartupTest::unreadableAddressNeverSchedulesPhaseTwo() {
    Net::MemoryNetwork lan;
    TestStation s(lan, QStringList{}, "lonely");
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit35")->text(), QStringLiteral("読込み失敗"));
    QCOMPARE(s.messages.shown,
             QStringList{QStringLiteral("ＩＰアドレスの読込に失敗しました。\n他のパソコンと通信できません。")});
    QVERIFY(!Testing::control<QTimer>(*s.main, "Timer2")->isActive());
    QVERIFY(!s.main->isStarted());
    QVERIFY(!Testing::control<QListWidget>(*s.main, "ListBox2")->isHidden());
    QCOMPARE(Testing::control<QListWidget>(*s.main, "ListBox2")->item(0)->text(), QStringLiteral("0 またはDHCPサーバ"));
    QVERIFY(s.main->addressListIsRed());
    QVERIFY(Testing::control<QPushButton>(*s.main, "Button39")->isHidden());
    QVERIFY(lan.sent().isEmpty());  // no member search went out
    // The station still runs: the ports are bound and a channel change is refused silently.
    QCOMPARE(sortedPorts(s.host), PortTable::boundPorts(0));
    Testing::control<QComboBox>(*s.main, "ComboBox2")->setCurrentIndex(4);
    QCOMPARE(sortedPorts(s.host), PortTable::boundPorts(0));

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
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit35")->text(), QStringLiteral("192.168.1.10"));  // the first until the user picks
    QCOMPARE(Testing::control<QListWidget>(*s.main, "ListBox2")->count(), 2);
    QVERIFY(s.main->addressListIsRed());
    QVERIFY(Testing::control<QPushButton>(*s.main, "Button39")->isHidden());
    Testing::control<QCheckBox>(*s.main, "CheckBox19")->setChecked(false);  // this message comes whatever the switch says
    s.finishStartup();
    QCOMPARE(s.main->pages()->currentIndex(), 2);
    QCOMPARE(s.messages.shown.size(), 1);
    QVERIFY(s.messages.shown[0].startsWith(QStringLiteral("複数のＩＰアドレスが見つかりました。")));
    // A click on a line takes that address.
    QListWidgetItem* second = Testing::control<QListWidget>(*s.main, "ListBox2")->item(1);
    emit Testing::control<QListWidget>(*s.main, "ListBox2")->itemClicked(second);
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit35")->text(), QStringLiteral("10.0.0.3"));
    QVERIFY(Testing::control<QListWidget>(*s.main, "ListBox2")->isHidden());
    QVERIFY(!Testing::control<QPushButton>(*s.main, "Button39")->isHidden());
}

void StartupTest::everyEndpointIsBoundOnChannelOne() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    QCOMPARE(sortedPorts(s.host), PortTable::boundPorts(0));
    for (Net::DatagramEndpoint* e : s.main->endpoints().channelEndpoints()) {
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
    for (Net::DatagramEndpoint* e : second->endpoints().channelEndpoints()) QVERIFY(!e->isBound());
    QVERIFY(!Testing::control<Net::DatagramEndpoint>(*second->templateWindow(), "NMUDP5")->isBound());
    QVERIFY(first.main->linesEndpoint()->isBound());
    second->Timer2Timer();  // and it runs on, silently
    QVERIFY(second->isStarted());
    QVERIFY(first.messages.shown.isEmpty());
}

void StartupTest::channelThreeMovesEveryShiftedPort() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    Testing::control<QCheckBox>(*s.main->karaokeRemote(), "CheckBox1")->setChecked(true);  // "ｶﾗｵｹに送信": 6728 instead of 6716 (refused once started without a partner)
    s.finishStartup();
    Testing::control<Net::DatagramEndpoint>(*s.main->karaokeRemote(), "NMUDP1")->setEntry(Net::Ports::RemoteKaraoke);
    QList<quint16> order;
    for (Net::DatagramEndpoint* e : s.main->endpoints().channelEndpoints()) order << e->basePort();
    QCOMPARE(order, (QList<quint16>{6711, 6712, 6713, 6717, 6718, 6719, 6721, 6722, 6723, 6724, 6727, 6728, 6730,
                                    6731, 6732, 6734, 6735, 6736}));

    Testing::control<QComboBox>(*s.main, "ComboBox2")->setCurrentIndex(2);  // "3ch"
    QList<quint16> expected;
    for (quint16 p : order) expected << quint16(p + 200);
    expected << 6720;  // the template window's third stream stays; the remote left 6716 behind
    std::sort(expected.begin(), expected.end());
    QCOMPARE(sortedPorts(s.host), expected);
    QCOMPARE(s.main->linesEndpoint()->channelPort(), 6911);
    QCOMPARE(s.main->windowTitle(), QStringLiteral("3 : Quelta7r1(ctrl+d)"));
    QCOMPARE(s.main->subInputWindow()->windowTitle(), QStringLiteral("3 : サブ入力ウィンド(ctrl+i)"));
    QCOMPARE(s.main->memberMonitor()->windowTitle(), QStringLiteral("3 : ８人モニター(ctrl+8)"));
    QCOMPARE(s.main->correctionPalette()->windowTitle(), QStringLiteral("3 :確認修正パレット(ctrl+s)"));
    QCOMPARE(s.main->prerollMonitor()->windowTitle(), QStringLiteral("3 : テンプレート前ロールモニタ"));
    QCOMPARE(s.main->wastopMonitor()->windowTitle(), QStringLiteral("3 : ワ停止モニター"));
    QCOMPARE(s.main->correctionMonitor()->windowTitle(), QStringLiteral("3 :確認修正モニター"));
    // Datagrams on the new ports arrive; the old ones are gone.
    QSignalSpy spy(s.main->linesEndpoint(), &Net::DatagramEndpoint::received);
    lan.inject("192.168.1.20", 1, "192.168.1.10", 6711, "old");
    lan.inject("192.168.1.20", 1, "192.168.1.10", 6911, "new");
    lan.deliverAll();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy[0][0].toByteArray(), QByteArray("new"));
}

void StartupTest::channelChangeWithInvalidAddressMovesNothing() {
    Net::MemoryNetwork lan;
    TestStation s(lan, QStringList{}, "nonet");  // the own address could not be read
    Testing::control<QComboBox>(*s.main, "ComboBox2")->setCurrentIndex(5);
    QCOMPARE(Testing::control<QComboBox>(*s.main, "ComboBox2")->currentText(), QStringLiteral("6ch"));  // the combo shows the new channel
    QCOMPARE(sortedPorts(s.host), PortTable::boundPorts(0));
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
        Testing::slotAddress(*s.main, k)->setText(QStringLiteral("192.168.1.%1").arg(20 + k));
        Testing::slotMate(*s.main, k)->setChecked(true);
    }
    Testing::control<QLineEdit>(*s.main, "Edit14")->setText(QStringLiteral("192.168.1.23"));  // listed, but not a mate
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
    QSignalSpy lines(s.main->linesEndpoint(), &Net::DatagramEndpoint::received);
    QSignalSpy contact(Testing::control<Net::DatagramEndpoint>(*s.main->contactWindow(), "NMUDP1"), &Net::DatagramEndpoint::received);
    Testing::control<QCheckBox>(*s.main, "CheckBox60")->setChecked(true);
    s.main->correctionsEndpoint()->sendTo(QStringLiteral("127.0.0.1"), 6711, "looped");
    s.main->correctionsEndpoint()->sendTo(QStringLiteral("127.0.0.1"), 6727, "looped");
    lan.deliverAll();
    QCOMPARE(lines.size(), 0);
    QCOMPARE(contact.size(), 0);
    Testing::control<QCheckBox>(*s.main, "CheckBox60")->setChecked(false);
    s.main->correctionsEndpoint()->sendTo(QStringLiteral("127.0.0.1"), 6711, "looped");
    lan.deliverAll();
    QCOMPARE(lines.size(), 1);
    // "入力をＬＡＮに流す。" off closes the line port.
    Testing::control<QCheckBox>(*s.main, "CheckBox22")->setChecked(false);
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
    QVERIFY(!s.main->fkeyMemo()->isVisible());  // hidden: Ctrl+F does nothing
    s.main->findChild<QAction*>(QStringLiteral("hkeyslide1"))->trigger();
    for (QWidget* w : s.main->windows().all())
        if (w != s.main.get()) QVERIFY(!w->isVisible());

    s.main->findChild<QAction*>(QStringLiteral("hkeyinput1"))->trigger();  // sub-input hidden: the main window
    QVERIFY(!s.main->subInputWindow()->isVisible());
    QVERIFY(s.main->isVisible());

    // Every window carries the same ten items.
    for (QWidget* w : s.main->windows().all()) {
        const auto actions = w->findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(actions.size(), 10);
    }
    QCOMPARE(s.main->contactWindow()->findChild<QAction*>(QStringLiteral("hkey8nin1"))->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_8));

    // Ctrl+D from another window brings the main window back.
    s.main->contactWindow()->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.main->contactWindow()));
    s.main->hide();
    s.main->contactWindow()->findChild<QAction*>(QStringLiteral("hkey_main"))->trigger();
    QVERIFY(s.main->isVisible());
}

void StartupTest::eachHotKeyBringsItsOwnWindowForward() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    const QList<std::pair<const char*, QWidget*>> items{
        {"hkey_fkeymemo", s.main->fkeyMemo()}, {"hkeyrenraku1", s.main->contactWindow()},
        {"hekytempm1", s.main->templateWindow()},   {"hkey8nin1", s.main->memberMonitor()},
        {"hkeyinput1", s.main->subInputWindow()},   {"hkeyterop1", s.main->noticeWindow()},
        {"hkeykakunin1", s.main->correctionPalette()}, {"hkeymojikara1", s.main->karaokeRemote()},
        {"hkey_main", s.main.get()}};
    for (const auto& [item, window] : items) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    for (const auto& [item, window] : items) {
        s.main->wastopMonitor()->show();  // another window in front first
        s.main->wastopMonitor()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(s.main->wastopMonitor()));
        s.main->contactWindow()->findChild<QAction*>(QString::fromLatin1(item))->trigger();
        QTRY_COMPARE(QApplication::activeWindow(), window);
    }
}

void StartupTest::hotKeysWinOverTextPanes() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    s.main->show();
    s.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.main.get()));
    s.main->karaokeRemote()->show();
    s.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.main.get()));
    QAction* remote = s.main->findChild<QAction*>(QStringLiteral("hkeymojikara1"));
    QSignalSpy spy(remote, &QAction::triggered);
    Testing::control<QLineEdit>(*s.main, "Edit30")->setFocus();
    QTest::keyClick(Testing::control<QLineEdit>(*s.main, "Edit30"), Qt::Key_K, Qt::ControlModifier);  // Ctrl+K would delete to the end
    QCOMPARE(spy.size(), 1);
    QCOMPARE(Testing::control<QLineEdit>(*s.main, "Edit30")->text(), QStringLiteral("pc"));
}

void StartupTest::lanSwitchCaptionTurnsRedWhenOff() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    QVERIFY(Testing::control<QCheckBox>(*s.main, "CheckBox22")->isChecked());
    Testing::control<QCheckBox>(*s.main, "CheckBox22")->setChecked(false);
    QCOMPARE(Testing::control<QCheckBox>(*s.main, "CheckBox22")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    Testing::control<QCheckBox>(*s.main, "CheckBox22")->setChecked(true);
    QCOMPARE(Testing::control<QCheckBox>(*s.main, "CheckBox22")->palette().color(QPalette::WindowText),
             QApplication::palette().color(QPalette::WindowText));
}

// A typist's hands stay on the keys: a window brought forward by its button or hot key takes the
// keys in the pane one writes in, not in the button or check box last clicked.
void StartupTest::windowsComingForwardHaveTheKeyboardInTheirPane() {
    using Testing::control;
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    s.main->show();
    auto forward = [&](const char* hotKey) {
        QApplication::setActiveWindow(s.main.get());  // the typist was in the main window
        QApplication::processEvents();
        s.main->HotKey(QString::fromLatin1(hotKey));
        QApplication::processEvents();
    };
    auto typeIn = [](QWidget* pane) {  // the typist clicks into a pane of that window
        QApplication::setActiveWindow(pane->window());
        pane->setFocus(Qt::MouseFocusReason);
    };
    control<QPushButton>(*s.main, "ButtonTemplate")->click();
    TForm11& roll = *s.main->templateWindow();
    QCOMPARE(roll.focusWidget(), control<QWidget>(roll, "RichEdit1"));
    control<QWidget>(roll, "CheckBox2")->setFocus();
    forward("hekytempm1");
    QCOMPARE(roll.focusWidget(), control<QWidget>(roll, "RichEdit1"));
    // Three pre-rolls shown, the typist wrote in the second: it gets the keys back.
    control<QRadioButton>(roll, "RadioButton5")->setChecked(true);
    typeIn(control<QWidget>(roll, "RichEdit2"));
    control<QWidget>(roll, "Button4")->setFocus();
    forward("hekytempm1");
    QCOMPARE(roll.focusWidget(), control<QWidget>(roll, "RichEdit2"));

    control<QPushButton>(*s.main, "ButtonSubInput")->click();
    TForm14& sub = *s.main->subInputWindow();
    QCOMPARE(sub.focusWidget(), control<QWidget>(sub, "RichEdit1"));
    typeIn(control<QWidget>(sub, "RichEdit2"));
    sub.findChildren<QCheckBox*>().first()->setFocus();
    forward("hkeyinput1");
    QCOMPARE(sub.focusWidget(), control<QWidget>(sub, "RichEdit2"));

    control<QPushButton>(*s.main, "ButtonPalette")->click();
    TFkakunin& palette = *s.main->correctionPalette();
    QCOMPARE(palette.focusWidget(), control<QWidget>(palette, "RichEdit1"));
    typeIn(control<QWidget>(palette, "RichEdit4"));
    palette.findChildren<QPushButton*>().first()->setFocus();
    forward("hkeykakunin1");
    QCOMPARE(palette.focusWidget(), control<QWidget>(palette, "RichEdit4"));

    control<QPushButton>(*s.main, "ButtonNotice")->click();
    TForm15& notice = *s.main->noticeWindow();
    QCOMPARE(notice.focusWidget(), control<QWidget>(notice, "Edit1"));
    // Another field the typist chose keeps the keys.
    QLineEdit* other = nullptr;
    for (QLineEdit* e : notice.findChildren<QLineEdit*>())
        if (e->objectName() != QLatin1String("Edit1") && e->isVisibleTo(&notice) && !e->isReadOnly()) other = e;
    QVERIFY(other);
    typeIn(other);
    forward("hkeyterop1");
    QCOMPARE(notice.focusWidget(), other);
}

void StartupTest::auxiliaryButtonsOpenTheirWindows() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    s.main->show();
    s.main->pages()->setCurrentIndex(1);
    Testing::control<QPushButton>(*s.main, "ButtonTemplate")->click();
    QVERIFY(s.main->templateWindow()->isVisible());
    QCOMPARE(s.main->pages()->currentIndex(), 0);
    QVERIFY(s.main->templateWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
    Testing::control<QCheckBox>(*s.main, "CheckBox10")->setChecked(false);
    QVERIFY(!(s.main->templateWindow()->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(s.main->templateWindow()->isVisible());

    Testing::control<QCheckBox>(*s.main, "CheckBox12")->setChecked(false);
    Testing::control<QPushButton>(*s.main, "Button45")->click();
    QVERIFY(s.main->memberMonitor()->isVisible());
    QVERIFY(Testing::control<QCheckBox>(*s.main, "CheckBox12")->isChecked());

    Testing::control<QCheckBox>(*s.main, "CheckBox21")->setChecked(true);
    Testing::control<QPushButton>(*s.main, "ButtonPalette")->click();
    QVERIFY(s.main->correctionPalette()->isVisible());
    QVERIFY(!Testing::control<QCheckBox>(*s.main, "CheckBox21")->isChecked());
    QVERIFY(Testing::control<QCheckBox>(*s.main, "CheckBox21")->isHidden());

    Testing::control<QPushButton>(*s.main, "ButtonSubInput")->click();
    QVERIFY(s.main->subInputWindow()->isVisible());
    QCOMPARE(s.main->subInputWindow()->width(), s.main->width() * 4 / 5);
    QCOMPARE(s.main->subInputWindow()->height(), s.main->subInputWindow()->firstPaneHeight() * 2 + 60);

    s.main->wastopMonitor()->addLine(QStringLiteral("held"));
    Testing::control<QPushButton>(*s.main, "Button5")->click();
    QVERIFY(s.main->wastopMonitor()->isVisible());
    QVERIFY(s.main->wastopMonitor()->lines().isEmpty());

    Testing::control<QPushButton>(*s.main, "Button52")->click();
    QVERIFY(s.main->fkeyMemo()->isVisible());

    // The desktop cover: a colour, the whole screen, the main window in front.
    s.dialogs.colours.push_back(QColor(0, 0, 128));
    Testing::control<QPushButton>(*s.main, "Button8")->click();
    Testing::control<QCheckBox>(*s.main, "CheckBox9")->setChecked(true);
    QVERIFY(s.main->desktopCover()->isVisible());
    QCOMPARE(s.main->desktopCover()->pos(), QPoint(0, 0));
    QCOMPARE(Testing::control<Canvas>(*s.main->desktopCover(), "Image1")->picture().pixelColor(5, 5), QColor(0, 0, 128));
    Testing::control<QCheckBox>(*s.main, "CheckBox9")->setChecked(false);
    QVERIFY(!s.main->desktopCover()->isVisible());

    // All thirteen windows take the page colour.
    s.dialogs.colours.push_back(QColor(200, 230, 200));
    Testing::control<QPushButton>(*s.main, "Button69")->click();
    for (QWidget* w : s.main->windows().all()) QCOMPARE(w->palette().color(QPalette::Window), QColor(200, 230, 200));
}

void StartupTest::closingRunsTheCloseHandlerOnce() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10");
    s.main->show();
    s.main->memberMonitor()->show();
    QSignalSpy closed(s.main.get(), &Ttalk2e::closed);
    s.main->close();
    QCOMPARE(closed.size(), 1);
    QVERIFY(!s.main->memberMonitor()->isVisible());  // closing the main window ends the program's windows
}

void StartupTest::qtSpeaksJapanese() {
    QVERIFY(App::installTranslations(*qApp));
    // The standard buttons of message boxes and file dialogs, and the edit menus of text fields.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "Select All"), QStringLiteral("すべてを選択"));
}

// What the windows and their help boxes say reads as a typist expects: no slip of the pen in any
// caption, and the help texts name the controls as they are captioned.
void StartupTest::captionsAndHelpTextsCarryNoSlips() {
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    s.finishStartup();
    auto window = [&](const char* name) {
        for (QWidget* w : s.main->windows().all())
            if (w->objectName() == QLatin1String(name)) return w;
        return static_cast<QWidget*>(nullptr);
    };
    auto box = [&](const char* windowName, const char* name) {
        QWidget* w = window(windowName);
        return w ? w->findChild<QCheckBox*>(QLatin1String(name)) : nullptr;
    };

    int captions = 0;
    for (QWidget* w : s.main->windows().all()) {
        QStringList texts{w->windowTitle()};
        for (const QAbstractButton* b : w->findChildren<QAbstractButton*>()) texts << b->text();
        for (const QLabel* l : w->findChildren<QLabel*>()) texts << l->text();
        for (const QGroupBox* g : w->findChildren<QGroupBox*>()) texts << g->title();
        for (const QLineEdit* e : w->findChildren<QLineEdit*>()) texts << e->placeholderText();
        for (const QTabWidget* t : w->findChildren<QTabWidget*>())
            for (int i = 0; i < t->count(); ++i) texts << t->tabText(i);
        for (const QComboBox* c : w->findChildren<QComboBox*>())
            for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
        for (const QString& text : std::as_const(texts)) {
            const QStringList faults = Testing::wordingFaults(text);
            QVERIFY2(faults.isEmpty(), qPrintable(w->objectName() + QStringLiteral(": ") + text + QStringLiteral(" — ") + faults.join(QStringLiteral(", "))));
            captions += !text.isEmpty();
        }
    }
    QVERIFY(captions > 500);
    QCOMPARE(box("TForm11", "CheckBox9")->text(), QStringLiteral("班全員に送信"));
    QCOMPARE(box("talk2e", "CheckBox16")->text(), QStringLiteral("  お知らせ（テロップ）を受信しない。"));

    // Every help box an option or button of the partner page and the template window shows.
    s.messages.shown.clear();
    for (const char* name : {"CheckBox42", "CheckBox71", "CheckBox72", "CheckBox60"}) box("talk2e", name)->setChecked(true);
    for (const char* name : {"Button36", "Button38"}) s.main->findChild<QPushButton*>(QLatin1String(name))->click();
    for (const char* name : {"CheckBox9", "CheckBox11", "CheckBox10", "CheckBox19", "CheckBox20", "CheckBox23"})
        box("TForm11", name)->setChecked(true);
    QCOMPARE(s.messages.shown.size(), 13);  // "ＩＰ一覧" also shows the addresses
    for (const QString& text : std::as_const(s.messages.shown)) {
        const QStringList faults = Testing::wordingFaults(text);
        QVERIFY2(faults.isEmpty(), qPrintable(text + QStringLiteral(" — ") + faults.join(QStringLiteral(", "))));
    }
    const QString all = s.messages.shown.join(u'\n');
    QVERIFY(all.contains(QStringLiteral("「メンバーを捜す」ボタンを")));                // as the button reads
    QVERIFY(all.contains(QStringLiteral("「送信」ページの\n「前ロールにする」で作ります。")));  // the notice window's button
    QVERIFY(all.contains(QStringLiteral("「仮置き」します。")));
    QVERIFY(all.contains(QStringLiteral("「ＩＰの調べ方」のボタン")));  // as the button reads
}

// The window manager shows the program's icon on every window (the title bar, the task bar), built in
// so that a program run from its build folder has it too; the desktop matches the windows to the
// installed desktop entry by its name.
void StartupTest::everyWindowShowsTheProgramIcon() {
    const QIcon icon = App::applicationIcon();
    QList<QSize> sizes;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) sizes << QSize(size, size);
    QCOMPARE(icon.availableSizes(), sizes);
    for (const QSize& size : sizes) QCOMPARE(icon.pixmap(size).size(), size);

    App::presentApplication(*qApp);
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("io.github.quelta.Quelta"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Quelta"));
    Net::MemoryNetwork lan;
    TestStation s(lan, "192.168.1.10", "alpha");
    QList<QWidget*> windows = s.main->windows().all();
    std::unique_ptr<TForm12> splash(App::showSplash());
    windows << splash.get();
    for (QWidget* w : std::as_const(windows)) QVERIFY2(w->windowIcon().availableSizes() == sizes, qPrintable(w->objectName()));
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"

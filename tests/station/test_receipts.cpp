// What a datagram may do to a station's screen and log: boxes shown on receipt (group full, a
// greeting in a settings transfer) are never stacked and never block the handler; datagrams that a
// flood makes the station refuse are counted once a minute on the explanation page, not one by one;
// a flood on one port does not keep a member's line from the display.
#include "support/lan.h"

#include "app/desktop_station.h"
#include "ui/message_box.h"
#include "net/caption_protocol.h"
#include "net/datagram_endpoint.h"
#include "settings/settings_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QWindow>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QTest>
#include <memory>
#include <vector>

using namespace Testing;

namespace {

QByteArray groupFull(const QString& from, const QString& to, const QString& name) {
    return sj(from + u',' + to + u',' + name + QStringLiteral(",Ful"));
}

int countOf(const QString& haystack, const QString& needle) { return int(haystack.count(needle)); }

QList<App::MessageBox*> openBoxes() {
    QList<App::MessageBox*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<App::MessageBox*>(w); box && box->isVisible()) out << box;
    return out;
}

}  // namespace

class ReceiptsTest : public QObject {
    Q_OBJECT
private slots:
    void groupFullBoxesAreNotStacked();
    void greetingsAreNotStackedAndKindsStayApart();
    void desktopReceiptBoxesNeverBlock();
    void desktopBoxesStayAboveAndKeepTheirLines();
    void refusedDatagramsAreReportedOncePerMinute();
    void aFloodDoesNotKeepALineFromTheDisplay();
};

void ReceiptsTest::groupFullBoxesAreNotStacked() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    a.messages.shown.clear();
    for (int i = 0; i < 3; ++i)
        lan.net.inject("192.168.1.20", 6718, "192.168.1.10", 6718, groupFull("192.168.1.20", "192.168.1.10", "Zeta"));
    lan.net.deliverAll();
    // One box; the other two answers put no box over it, and are counted on the explanation page
    // (one line a minute for a message a stranger can repeat at will).
    QCOMPARE(a.messages.shownOnReceipt.size(), 1);
    QVERIFY(a.messages.shownOnReceipt[0].startsWith(QStringLiteral("Zeta(192.168.1.20)です。")));
    QCOMPARE(a.messages.notStacked.size(), 2);
    QCOMPARE(countOf(Testing::control<QTextEdit>(*a.main, "RichEdit3")->toPlainText(), QStringLiteral("満員通知受信：")), 1);
    a.clock.time = a.clock.time.addSecs(60);
    a.main->TimerDropReportTimer();
    QVERIFY(Testing::control<QTextEdit>(*a.main, "RichEdit3")->toPlainText().contains(QStringLiteral("満員通知受信：ほか2件（同じ記録は1分に1行）")));
    QVERIFY(a.main->groupFull());
    // A box of the user's own doing is shown while the receipt box is open.
    Testing::control<QPushButton>(*a.main, "Button18")->click();  // "合わせる" without a partner
    QCOMPARE(a.messages.shown.last(), QStringLiteral("パートナーが指名されていません。"));
    // Once the user has closed it, the next answer shows a box again.
    a.messages.closeReceiptBoxes();
    lan.net.inject("192.168.1.21", 6718, "192.168.1.10", 6718, groupFull("192.168.1.21", "192.168.1.10", "Yuki"));
    lan.net.deliverAll();
    QCOMPARE(a.messages.shownOnReceipt.size(), 2);
    QVERIFY(a.messages.shownOnReceipt[1].startsWith(QStringLiteral("Yuki(192.168.1.21)です。")));
    // Without "メッセージを表示する" nothing is shown at all.
    a.messages.closeReceiptBoxes();
    Testing::control<QCheckBox>(*a.main, "CheckBox19")->setChecked(false);
    lan.net.inject("192.168.1.21", 6718, "192.168.1.10", 6718, groupFull("192.168.1.21", "192.168.1.10", "Yuki"));
    lan.net.deliverAll();
    QCOMPARE(a.messages.shownOnReceipt.size(), 2);
    QCOMPARE(a.messages.notStacked.size(), 2);
}

void ReceiptsTest::greetingsAreNotStackedAndKindsStayApart() {
    PairedLan p;
    auto greet = [&](const QString& text) {
        p.a.main->transfer().SendSettingsTransfer({Net::Wire::SettingsStart() + sj(QStringLiteral("603:") + text + QStringLiteral(":挨拶"))});
    };
    greet(QStringLiteral("こんにちは"));
    greet(QStringLiteral("こんばんは"));
    p.lan.net.deliverAll();
    QCOMPARE(p.b.messages.shownOnReceipt, QStringList{QStringLiteral("こんにちは")});
    QCOMPARE(p.b.messages.notStacked, QStringList{QStringLiteral("こんばんは")});
    // The second transfer was applied all the same: only its box was left out.
    QVERIFY(Testing::control<QTextEdit>(*p.b.main, "RichEdit3")->toPlainText().contains(QStringLiteral("表示設定受信：$set$603:こんばんは:挨拶")));
    // A group-full answer is another kind: its box is shown beside the greeting.
    p.lan.net.inject("192.168.1.30", 6718, "192.168.1.11", 6718, groupFull("192.168.1.30", "192.168.1.11", "Zeta"));
    p.lan.net.deliverAll();
    QCOMPARE(p.b.messages.shownOnReceipt.size(), 2);
    QVERIFY(p.b.messages.shownOnReceipt[1].startsWith(QStringLiteral("Zeta(")));
    // Closed, the next greeting is shown.
    p.b.messages.closeReceiptBoxes();
    greet(QStringLiteral("さようなら"));
    p.lan.net.deliverAll();
    QCOMPARE(p.b.messages.shownOnReceipt.last(), QStringLiteral("さようなら"));
}

void ReceiptsTest::desktopReceiptBoxesNeverBlock() {
    Net::MemoryNetwork lan;
    Net::MemoryHost& host = lan.addHost("192.168.1.10", "pc");
    auto messages = std::make_unique<App::DesktopMessages>(&host);
    Net::DatagramEndpoint answers(host, Net::Ports::MainSearchAnswers), partner(host, Net::Ports::MainPartner);
    answers.bindChannel(0);
    partner.bindChannel(0);
    int handled = 0;
    for (auto* e : {&answers, &partner})
        connect(e, &Net::DatagramEndpoint::received, [&](const QByteArray& text) {
            messages->information(QString::fromLatin1(text));
            ++handled;  // reached at once: a modal box would hold the handler here
        });
    for (int i = 0; i < 5; ++i) lan.inject("192.168.1.20", 6718, "192.168.1.10", 6718, "full " + QByteArray::number(i));
    lan.deliverAll();
    QCOMPARE(handled, 5);
    QCOMPARE(openBoxes().size(), 1);
    QCOMPARE(openBoxes()[0]->text(), QStringLiteral("full 0"));
    QVERIFY(!openBoxes()[0]->isModal());
    QVERIFY(openBoxes()[0]->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    lan.inject("192.168.1.20", 6712, "192.168.1.10", 6712, "greeting");
    lan.deliverAll();
    QCOMPARE(openBoxes().size(), 2);
    QCOMPARE(messages->openReceiptBoxes(), 2);
    // The user clicks OK on the first: its kind may show a box again.
    for (App::MessageBox* box : openBoxes())
        if (box->text() == QLatin1String("full 0")) box->okButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(messages->openReceiptBoxes(), 1);
    lan.inject("192.168.1.20", 6718, "192.168.1.10", 6718, "full again");
    lan.deliverAll();
    QCOMPARE(openBoxes().size(), 2);
    // The station going away takes its boxes with it.
    messages.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(openBoxes().size(), 0);
}

// Every box of the program, the crash box of start-up included, opens above the program's
// stay-on-top windows (the template window, the 8-person monitor), over the window in use, and shows
// a peer's words as they are, never as markup. Its lines are kept whole (test_layout).
void ReceiptsTest::desktopBoxesStayAboveAndKeepTheirLines() {
    QWidget inUse;
    inUse.setWindowFlag(Qt::WindowStaysOnTopHint);
    inUse.resize(300, 200);
    inUse.show();
    QApplication::setActiveWindow(&inUse);
    QVERIFY(QTest::qWaitForWindowActive(&inUse));

    const QString text = QStringLiteral("インターネットや学校・会社などで<b>Ｑｕｅｌｔａ</b>を使う場合、");
    std::vector<std::unique_ptr<App::MessageBox>> boxes;
    for (auto kind : {App::MessageBox::Kind::Information, App::MessageBox::Kind::Question, App::MessageBox::Kind::Critical}) {
        boxes.push_back(std::make_unique<App::MessageBox>(kind, QStringLiteral("Quelta"), text));
        boxes.back()->placeAboveTheWindowInUse();  // each placed while the window is in use
    }
    for (const auto& box : boxes) {
        QVERIFY(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QCOMPARE(box->windowHandle()->transientParent(), inUse.windowHandle());
        QCOMPARE(box->textLabel()->textFormat(), Qt::PlainText);
        QCOMPARE(box->textLabel()->text(), text);  // "<b>" shown, not taken for markup
    }
    QVERIFY(!boxes[0]->noButton() && boxes[1]->noButton() && !boxes[2]->noButton());  // only a question asks
}

void ReceiptsTest::refusedDatagramsAreReportedOncePerMinute() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    QVERIFY(Testing::control<QTimer>(*a.main, "TimerDropReport"));
    QVERIFY(Testing::control<QTimer>(*a.main, "TimerDropReport")->isActive());
    QCOMPARE(Testing::control<QTimer>(*a.main, "TimerDropReport")->interval(), 60000);
    const int capacity = a.host.receiveQueue().limits().senderCapacity;  // what one stranger may hold
    const int shownBefore = int(a.messages.shown.size());
    for (int i = 0; i < capacity + 123; ++i)
        lan.net.inject("192.168.1.99", 6721, "192.168.1.10", 6721, "192.168.1.99,flood");
    for (int i = 0; i < capacity + 7; ++i) lan.net.inject("192.168.1.99", 6727, "192.168.1.10", 6727, "chat");
    lan.net.deliverAll();
    QCOMPARE(a.messages.shown.size(), shownBefore);  // never a box for it
    QVERIFY(!Testing::control<QTextEdit>(*a.main, "RichEdit3")->toPlainText().contains(QStringLiteral("受信過多")));  // not per datagram
    a.clock.time = a.clock.time.addSecs(60);
    a.main->TimerDropReportTimer();
    const QString page = Testing::control<QTextEdit>(*a.main, "RichEdit3")->toPlainText();
    QCOMPARE(countOf(page, QStringLiteral("受信過多：")), 2);
    // With the sender who sent them.
    QVERIFY(page.contains(QStringLiteral(",[自分],受信過多：ポート6721で123件を破棄しました（送信元 192.168.1.99：123件）")));
    QVERIFY(page.contains(QStringLiteral(",[自分],受信過多：ポート6727で7件を破棄しました（送信元 192.168.1.99：7件）")));
    QVERIFY(page.contains(QStringLiteral("10:16:30:7,[自分],受信過多：")));  // the log's time stamp
    // A quiet minute adds nothing; the next flood is counted from zero.
    a.main->TimerDropReportTimer();
    QCOMPARE(countOf(Testing::control<QTextEdit>(*a.main, "RichEdit3")->toPlainText(), QStringLiteral("受信過多：")), 2);
    // On another channel the port of that channel is named.
    Testing::control<QComboBox>(*a.main, "ComboBox2")->setCurrentIndex(2);
    lan.net.deliverAll();
    for (int i = 0; i < capacity + 5; ++i)
        lan.net.inject("192.168.1.99", 6921, "192.168.1.10", 6921, "192.168.1.99,flood");
    lan.net.deliverAll();
    a.main->TimerDropReportTimer();
    QVERIFY(Testing::control<QTextEdit>(*a.main, "RichEdit3")->toPlainText().contains(QStringLiteral("受信過多：ポート6921で5件を破棄しました")));
    QCOMPARE(countOf(Testing::control<QTextEdit>(*a.main, "RichEdit3")->toPlainText(), QStringLiteral("受信過多：")), 3);
}

void ReceiptsTest::aFloodDoesNotKeepALineFromTheDisplay() {
    Lan lan;
    TestStation& a = lan.add(10, "A");
    TestStation& b = lan.add(11, "B");
    const int capacity = a.host.receiveQueue().limits().capacity;
    // A stranger floods the partner channel and the monitor feed; a member sends a line meanwhile.
    for (int i = 0; i < 2 * capacity; ++i) {
        lan.net.inject("192.168.1.99", 6712, "192.168.1.10", 6712, "noise");
        lan.net.inject("192.168.1.99", 6721, "192.168.1.10", 6721, "192.168.1.99,noise");
    }
    QCOMPARE(b.main->SendLine(sj(u"洪水の中の一行")), 0);
    for (int i = 0; i < capacity; ++i) lan.net.inject("192.168.1.99", 6712, "192.168.1.10", 6712, "noise");
    lan.net.deliverAll();
    QCOMPARE(lastRecordLine(a), QStringLiteral("洪水の中の一行"));
    QCOMPARE(a.host.receiveQueue().queued(), 0);
    const auto dropped = a.host.receiveQueue().takeDropped();
    QVERIFY(dropped.value(6712).total > 0);
    QVERIFY(dropped.value(6721).total > 0);
    QCOMPARE(dropped.value(6711).total, 0);
}

QTEST_MAIN(ReceiptsTest)
#include "test_receipts.moc"

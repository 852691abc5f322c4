// Values a stranger controls, bounded where they enter: repeated warnings on the explanation page,
// window geometry from files and transfers.
#include "core/repeat_gate.h"
#include "settings/geometry.h"

#include <QtTest>

class HostileValuesTest : public QObject {
    Q_OBJECT
private slots:
    void repeatedWarningsAreCountedOnceAMinute();
    void geometryIsTakenWithinTheScreens();
};

void HostileValuesTest::repeatedWarningsAreCountedOnceAMinute() {
    Core::RepeatGate gate;
    const QDateTime t0(QDate(2026, 12, 8), QTime(10, 0, 0));
    const QString invalid = QStringLiteral("不正ＩＰ受信："), refused = QStringLiteral("表示設定受信拒否：");
    // The first of a kind is written; the rest of its minute is counted. Kinds count apart.
    QVERIFY(gate.admit(invalid, t0));
    for (int i = 1; i <= 1000; ++i) QVERIFY(!gate.admit(invalid, t0.addMSecs(i * 50)));
    QVERIFY(gate.admit(refused, t0.addSecs(10)));
    QVERIFY(gate.takeOverdue(t0.addSecs(59)).isEmpty());  // not yet a minute
    // When the minute is over, the count comes out once, and the next message is written again.
    const auto overdue = gate.takeOverdue(t0.addSecs(60));
    QCOMPARE(overdue, (QList<std::pair<QString, qint64>>{{invalid, 1000}}));
    QVERIFY(gate.takeOverdue(t0.addSecs(61)).isEmpty());
    QVERIFY(gate.admit(invalid, t0.addSecs(61)));
    QVERIFY(!gate.admit(invalid, t0.addSecs(62)));
    // A minute without repeats ends without a count; a clock set back ends the minute too.
    QVERIFY(gate.takeOverdue(t0.addSecs(71)).isEmpty());
    QCOMPARE(gate.kinds(), 1);  // the refused kind's minute ended quietly and was forgotten
    QCOMPARE(gate.takeOverdue(t0), (QList<std::pair<QString, qint64>>{{invalid, 1}}));
    QCOMPARE(gate.kinds(), 0);
}

void HostileValuesTest::geometryIsTakenWithinTheScreens() {
    using Settings::Extent;
    using Settings::FitExtent;
    const QRect screens(-1280, 0, 1280 + 1920, 1080);  // a second screen on the left
    const QSize smallest = Settings::kSmallestMainWindow;
    QCOMPARE(FitExtent(Extent::Height, 2147483647, screens, smallest), 1080);
    QCOMPARE(FitExtent(Extent::Width, 20000, screens, smallest), 3200);
    QCOMPARE(FitExtent(Extent::Width, 0, screens, smallest), smallest.width());  // never shown, before
    QCOMPARE(FitExtent(Extent::Height, -5, screens, smallest), smallest.height());
    QCOMPARE(FitExtent(Extent::Height, 480, screens, smallest), 480);
    // A place keeps the window's top-left part on the screens.
    QCOMPARE(FitExtent(Extent::Left, -1000, screens, smallest), -1000);
    QCOMPARE(FitExtent(Extent::Left, -5000, screens, smallest), -1280);
    QCOMPARE(FitExtent(Extent::Left, 1920, screens, smallest), 1919 - Settings::kReachable);
    QCOMPARE(FitExtent(Extent::Top, -2147483648LL, screens, smallest), 0);
    QCOMPARE(FitExtent(Extent::Top, 5000, screens, smallest), 1079 - Settings::kReachable);
    // Screens smaller than the smallest window: the screens win.
    QCOMPARE(FitExtent(Extent::Width, 10, QRect(0, 0, 200, 150), smallest), 200);
    QVERIFY(Settings::BeyondScreens(Extent::Width, 3201, screens));
    QVERIFY(!Settings::BeyondScreens(Extent::Width, 3200, screens));
    QVERIFY(Settings::BeyondScreens(Extent::Top, -1, screens));
    QVERIFY(!Settings::BeyondScreens(Extent::None, 2147483647, screens));
}

QTEST_GUILESS_MAIN(HostileValuesTest)
#include "test_hostile_values.moc"

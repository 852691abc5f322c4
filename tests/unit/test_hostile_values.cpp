// Values a stranger controls, bounded where they enter: repeated warnings on the explanation page.
#include "core/repeat_gate.h"

#include <QtTest>

class HostileValuesTest : public QObject {
    Q_OBJECT
private slots:
    void repeatedWarningsAreCountedOnceAMinute();
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

QTEST_GUILESS_MAIN(HostileValuesTest)
#include "test_hostile_values.moc"

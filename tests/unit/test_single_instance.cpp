// The single-instance lock and the two answers to the question it raises.
#include "app/single_instance.h"
#include "ui/station.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
class Answers final : public App::MessageSink {
public:
    void information(const QString& t) override { shown << t; }
    bool askYesNo(const QString& t) override {
        asked << t;
        return yes;
    }
    QStringList shown, asked;
    bool yes = false;
};
}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void firstCopyRunsWithoutAsking() {
        QTemporaryDir dir;
        App::InstanceLock lock(dir.path());
        Answers a;
        QVERIFY(App::passSingleInstanceGate(lock, a));
        QVERIFY(lock.held());
        QVERIFY(a.asked.isEmpty() && a.shown.isEmpty());
    }
    void answerYesEndsTheSecondCopy() {
        QTemporaryDir dir;
        App::InstanceLock first(dir.path());
        QVERIFY(first.acquire());
        App::InstanceLock second(dir.path());
        Answers a;
        a.yes = true;
        QVERIFY(!App::passSingleInstanceGate(second, a));
        QCOMPARE(a.asked, QStringList{App::kAlreadyRunningQuestion});
        QVERIFY(a.shown.isEmpty());
        QVERIFY(a.asked[0].startsWith(QStringLiteral("もう起動されています。\n")));
    }
    void answerNoRunsASecondCopyAfterTheNotice() {
        QTemporaryDir dir;
        App::InstanceLock first(dir.path());
        QVERIFY(first.acquire());
        App::InstanceLock second(dir.path());
        Answers a;
        QVERIFY(App::passSingleInstanceGate(second, a));
        QCOMPARE(a.shown, QStringList{App::kSecondCopyNotice});
        QVERIFY(!second.held());
    }
    void releaseLetsTheNextCopyIn() {
        QTemporaryDir dir;
        App::InstanceLock first(dir.path());
        QVERIFY(first.acquire());
        App::InstanceLock second(dir.path());
        QVERIFY(!second.acquire());
        first.release();
        QVERIFY(second.acquire());
    }
};

QTEST_APPLESS_MAIN(SingleInstanceTest)
#include "test_single_instance.moc"

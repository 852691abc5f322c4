// The real program in a private network namespace: every endpoint of the port plan is bound on
// channel 1, and a second copy in the same namespace binds none of them and keeps running.
#include "netns.h"
#include "support/port_table.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace SystemTest;

class PortsSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = programUnavailable();
        if (!why.isEmpty()) QSKIP(qPrintable(why));
    }

    void everyEndpointBoundAndSecondCopyBindsNone() {
        Namespace ns(QStringLiteral("qsys%1p").arg(QCoreApplication::applicationPid()), "10.88.0.1");
        QVERIFY(ns.addLonelyInterface());
        QTemporaryDir runA, runB;
        const QStringList base{"QT_QPA_PLATFORM=offscreen"};

        // Started from the build folder, the program keeps its files in the data folder: a private one.
        QProcess* first = ns.start(QUELTA_BINARY, base + QStringList{"XDG_RUNTIME_DIR=" + runA.path(), "XDG_DATA_HOME=" + runA.path()}, this);
        QSet<int> expected;
        for (quint16 p : PortTable::boundPorts(0)) expected << p;
        QSet<int> bound;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000 && bound != expected) {
            QTest::qWait(200);
            bound = ns.udpPortsOf(first->processId());
        }
        QCOMPARE(bound, expected);

        QProcess* second = ns.start(QUELTA_BINARY, base + QStringList{"XDG_RUNTIME_DIR=" + runB.path(), "XDG_DATA_HOME=" + runB.path()}, this);
        QTest::qWait(7000);  // past the second phase of its start-up
        QCOMPARE(second->state(), QProcess::Running);
        QSet<int> secondPorts = ns.udpPortsOf(second->processId());
        secondPorts.intersect(expected);
        QVERIFY2(secondPorts.isEmpty(), "the second copy bound a port of the plan");
        QCOMPARE(ns.udpPortsOf(first->processId()), expected);

        // SIGTERM closes each copy the normal way.
        for (QProcess* p : {second, first}) {
            ::kill(pid_t(p->processId()), SIGTERM);
            QVERIFY(p->waitForFinished(10000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(PortsSystemTest)
#include "test_ports_system.moc"

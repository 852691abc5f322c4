// The real program killed (SIGKILL) at random moments while it saves, again and again: every file
// it writes must afterwards be whole, and be either the version before the save that was cut or
// the one that save was writing.
//
// The program runs with the save loop of the test-only executable quelta_save_loop (whenever idle).
// Each step adds the line "保存ループ<n>" to the display and to the contact history, sets the own
// name to it (the last line of a settings file), saves the start-up settings, the display text and
// the contact history through the program's own writer, and then prints "saved <n>". So when the
// last "saved" line read before the kill says n, each file must hold step n or step n + 1, complete.
#include "netns.h"
#include "text/cp932.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace SystemTest;

namespace {

constexpr int kKills = 25;
const QString kSettings = QStringLiteral("自動読込表示設定.dp9");
const QString kDisplay = QStringLiteral("保存ループ表示.txt");
const QString kContact = QStringLiteral("保存ループ連絡文.txt");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The lines of a file, or nullopt when it is missing, empty or its last line is not ended (cut).
std::optional<QStringList> wholeLines(const QByteArray& bytes) {
    if (!bytes.endsWith("\r\n")) return std::nullopt;
    QStringList out;
    for (const QByteArray& l : bytes.chopped(2).split('\n')) out << Cp932::decode(l.endsWith('\r') ? l.chopped(1) : l);
    return out;
}

// The steps named in `lines` ("保存ループ<k>" anywhere in a line), in order.
QList<int> stepsIn(const QStringList& lines) {
    static const QRegularExpression mark(QStringLiteral("保存ループ(\\d+)"));
    QList<int> out;
    for (const QString& l : lines)
        if (const auto m = mark.match(l); m.hasMatch()) out << m.captured(1).toInt();
    return out;
}

struct Run {
    int committed = 0;  // the last step the program said it had saved
    bool killed = false;
};

}  // namespace

class CrashSafeSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = programUnavailable();
        if (!why.isEmpty()) QSKIP(qPrintable(why));
        if (!QFile::exists(QStringLiteral(SAVE_LOOP_BINARY))) QSKIP("no program at " SAVE_LOOP_BINARY);
    }
    void killedWhileSavingLeavesWholeFiles();

private:
    // Starts the program with the save loop, lets it save, and kills it `delayMs` after its first
    // save (or closes it normally when `delayMs` is negative).
    Run runOnce(Namespace& ns, const QString& program, const QString& runDir, int delayMs);
};

Run CrashSafeSystemTest::runOnce(Namespace& ns, const QString& program, const QString& runDir, int delayMs) {
    Run r;
    QProcess* p = ns.start(program, {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runDir}, this);
    QByteArray out;
    auto readSteps = [&] {
        out += p->readAllStandardOutput();
        static const QRegularExpression saved(QStringLiteral("^saved (\\d+)$"), QRegularExpression::MultilineOption);
        for (auto it = saved.globalMatch(QString::fromLatin1(out)); it.hasNext();) r.committed = it.next().captured(1).toInt();
    };
    QElapsedTimer t;
    t.start();
    while (r.committed == 0 && t.elapsed() < 20000 && p->state() == QProcess::Running) {
        p->waitForReadyRead(50);
        readSteps();
    }
    if (r.committed == 0) {
        p->kill();
        p->waitForFinished(5000);
        delete p;
        return r;
    }
    if (delayMs >= 0) {
        QElapsedTimer d;
        d.start();
        while (d.elapsed() < delayMs) {
            p->waitForReadyRead(qMax<qint64>(1, delayMs - d.elapsed()));
        }
        ::kill(pid_t(p->processId()), SIGKILL);
        r.killed = true;
    } else {
        ::kill(pid_t(p->processId()), SIGTERM);  // the program closes its windows and ends
    }
    p->waitForFinished(10000);
    readSteps();
    delete p;
    return r;
}

void CrashSafeSystemTest::killedWhileSavingLeavesWholeFiles() {
    const qint64 pid = QCoreApplication::applicationPid();
    Namespace ns(QStringLiteral("qsys%1k").arg(pid), "10.75.0.1");
    QVERIFY(ns.addLonelyInterface());
    QTemporaryDir folder, runDir;
    const QString program = folder.filePath(QStringLiteral("quelta"));
    QVERIFY(QFile::copy(QStringLiteral(SAVE_LOOP_BINARY), program));
    QVERIFY(QFile::setPermissions(program, QFile::permissions(QStringLiteral(SAVE_LOOP_BINARY))));
    const QString settingsPath = folder.filePath(kSettings), displayPath = folder.filePath(kDisplay),
                  contactPath = folder.filePath(kContact);

    // A run that ends normally gives the shape of a whole settings file: its keys, in order.
    const Run clean = runOnce(ns, program, runDir.path(), -1);
    QVERIFY2(clean.committed > 0, "the program did not save");
    const auto reference = wholeLines(readAll(settingsPath));
    QVERIFY(reference);
    QVERIFY(reference->first().startsWith(QStringLiteral("999:")));
    auto keysOf = [](const QStringList& lines) {
        QStringList keys;
        for (const QString& l : lines) keys << l.section(u':', 0, 0);
        return keys;
    };
    const QStringList referenceKeys = keysOf(*reference);

    QRandomGenerator random{quint32(pid)};
    int kills = 0, settingsBefore = 0, settingsAfter = 0;
    for (int i = 0; i < kKills; ++i) {
        const Run r = runOnce(ns, program, runDir.path(), int(random.bounded(400)));
        QVERIFY2(r.committed > 0, "the program did not save");
        QVERIFY(r.killed);
        ++kills;
        const QString where = QStringLiteral("kill %1 after step %2: ").arg(i + 1).arg(r.committed);
        auto allowed = [&](int step) { return step == r.committed || step == r.committed + 1; };

        // The settings: every key of a whole file, in order, and the own name of step n or n + 1.
        const auto settings = wholeLines(readAll(settingsPath));
        QVERIFY2(settings, qPrintable(where + QStringLiteral("settings file cut")));
        QCOMPARE(keysOf(*settings), referenceKeys);
        const QList<int> nameSteps = stepsIn({settings->last()});
        QVERIFY2(nameSteps.size() == 1 && allowed(nameSteps[0]), qPrintable(where + settings->last()));
        (nameSteps[0] == r.committed ? settingsBefore : settingsAfter)++;

        // The display and the contact history: the steps of this run, 1 … n or 1 … n + 1, each line whole.
        for (const QString& path : {displayPath, contactPath}) {
            const auto lines = wholeLines(readAll(path));
            QVERIFY2(lines, qPrintable(where + path + QStringLiteral(" cut")));
            const QList<int> steps = stepsIn(*lines);
            QVERIFY2(!steps.isEmpty() && allowed(steps.size()), qPrintable(where + path));
            for (int k = 0; k < steps.size(); ++k) QCOMPARE(steps[k], k + 1);
            for (const QString& l : *lines)
                if (l.contains(QStringLiteral("保存ループ")))
                    QVERIFY2(QRegularExpression(QStringLiteral("保存ループ\\d+$")).match(l).hasMatch(), qPrintable(where + l));
        }
    }
    // Leftovers of saves that were cut: temporary files beside the real ones, never read back.
    const QStringList leftovers =
        QDir(folder.path()).entryList({QStringLiteral("*.dp9.*"), QStringLiteral("*.txt.*")}, QDir::Files);
    qInfo("%d kills; the settings file held the last step said saved %d times, the step being written %d times; "
          "%d temporary files left by cut saves",
          kills, settingsBefore, settingsAfter, int(leftovers.size()));
}

QTEST_MAIN(CrashSafeSystemTest)
#include "test_crash_safe_system.moc"

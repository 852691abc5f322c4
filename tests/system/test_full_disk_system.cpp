// A bad day for the saved texts, with the real program (the probe build of it: tests/system/
// quelta_saving_probe, which reads and answers its message boxes): its folder is a small tmpfs,
// mounted in a private mount namespace inside a network namespace of the test's own, then filled
// up (a full disk) or made read-only. A session of 40 lines, then the periodic clear, the start-up
// settings, the save at exit: each save fails, says why in Japanese, and changes nothing: no line
// of the display is cleared, the start-up file keeps its bytes, no file appears. Closing the window
// offers another place and, declined, stays open when asked to; a termination signal then saves
// the display into the user's data folder ($XDG_DATA_HOME/Quelta), and the next start says so.
#include "netns.h"
#include "text/cp932.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace SystemTest;

namespace {

const QString kStartupFile = QStringLiteral("自動読込表示設定.dp9");

// Mounts a tmpfs on $1 (a little larger than the program), copies the program ($2) and the
// start-up file ($3) into it, fills it up (mode "full"), runs the program with the environment
// given after the mode, and when it has ended copies out what the folder holds into $4: the
// listing and every text and settings file. (A folder that is read-only when the program starts
// is not its folder: it keeps its files in the data folder then. The test makes it read-only
// once the program runs, as a USB stick that the system remounts read-only after an error.)
const char* const kScript = R"(
set -e
dir=$1; bin=$2; startup=$3; out=$4; mode=$5; shift 5
kb=$(( $(stat -c %s "$bin") / 1024 + 256 ))
mount -t tmpfs -o size=${kb}k tmpfs "$dir"
cp "$bin" "$dir/quelta"
cp "$startup" "$dir/"
if [ "$mode" = full ]; then dd if=/dev/zero of="$dir/filler" bs=1k 2>/dev/null || true; fi
env "$@" "$dir/quelta" &
pid=$!
echo "pid $pid"
wait $pid || true
ls -A "$dir" > "$out/listing"
for f in "$dir"/*.dp9 "$dir"/*.txt; do if [ -e "$f" ]; then cp "$f" "$out/"; fi; done
)";

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The program's standard output, read line by line as it comes.
class Output {
public:
    explicit Output(QProcess* p) : p_(p) {}
    // The first line that starts with `prefix`, whenever it came; "" when none came in `ms`.
    QString waitFor(const QString& prefix, int ms = 30000) {
        QElapsedTimer t;
        t.start();
        for (;;) {
            read();
            for (const QString& l : std::as_const(lines_))
                if (l.startsWith(prefix)) return l;
            if (t.elapsed() > ms || p_->state() != QProcess::Running) return {};
            p_->waitForReadyRead(100);
        }
    }
    QStringList all() {
        read();
        return lines_;
    }
    QStringList starting(const QString& prefix) {
        QStringList out;
        for (const QString& l : all())
            if (l.startsWith(prefix)) out << l.mid(prefix.size());
        return out;
    }

private:
    void read() {
        buffer_ += p_->readAllStandardOutput();
        qsizetype end;
        while ((end = buffer_.indexOf('\n')) >= 0) {
            lines_ << QString::fromUtf8(buffer_.left(end));
            buffer_.remove(0, end + 1);
        }
    }
    QProcess* p_;
    QByteArray buffer_;
    QStringList lines_;
};

}  // namespace

class FullDiskSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = programUnavailable({"unshare", "nsenter", "mount"});
        if (!why.isEmpty()) QSKIP(qPrintable(why));
        if (!QFile::exists(QStringLiteral(PROBE_BINARY))) QSKIP("no program at " PROBE_BINARY);
    }
    void aFailedSaveChangesNothing_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << "full" << QStringLiteral("ディスクがいっぱいです（空き容量がありません）。");
        QTest::newRow("read-only") << "readonly" << QStringLiteral("保存先は読み取り専用で、書き込めません。");
    }
    void aFailedSaveChangesNothing();
};

void FullDiskSystemTest::aFailedSaveChangesNothing() {
    QFETCH(QString, mode);
    QFETCH(QString, reason);
    const qint64 pid = QCoreApplication::applicationPid();
    Namespace ns(QStringLiteral("qsys%1f").arg(pid), "10.75.0.1");
    QVERIFY(ns.addLonelyInterface());
    QTemporaryDir mountPoint, staging, out, data, runDir;
    const QByteArray startupBytes = Cp932::encode(QStringLiteral("999:＜番号付き表示設定ファイル２＞\r\n"
                                                                 "039:前の設定:発言者名\r\n"
                                                                 "166:局:自分のパソコンのホスト名（最後に書く）\r\n"));
    {
        QFile f(staging.filePath(kStartupFile));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(startupBytes) == startupBytes.size());
    }
    const QStringList env{"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runDir.path(), "XDG_DATA_HOME=" + data.path()};
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start("ip", QStringList{"netns", "exec", ns.name(), "unshare", "-m", "sh", "-c", QString::fromLatin1(kScript), "sh",
                              mountPoint.path(), QStringLiteral(PROBE_BINARY), staging.filePath(kStartupFile), out.path(), mode} +
                      env + QStringList{"QUELTA_PROBE_SESSION=1", "QUELTA_PROBE_ANSWER=yes"});
    QVERIFY(p.waitForStarted(5000));
    Output o(&p);
    const QString pidLine = o.waitFor(QStringLiteral("pid "));
    QVERIFY2(!pidLine.isEmpty(), qPrintable(o.all().join(u'\n')));
    const qint64 programPid = pidLine.mid(4).toLongLong();
    QVERIFY(!o.waitFor(QStringLiteral("created")).isEmpty());
    if (mode == QLatin1String("readonly"))  // the session begins at the end of start-up, seconds later
        QVERIFY(run({"nsenter", "-t", QString::number(programPid), "-m", "mount", "-o", "remount,ro", mountPoint.path()}));
    QVERIFY2(!o.waitFor(QStringLiteral("open")).isEmpty(), qPrintable(o.all().join(u'\n')));
    const QStringList boxes = o.starting(QStringLiteral("box: "));
    const QStringList lines = o.starting(QStringLiteral("lines "));

    // Nothing of the display cleared.
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("60"));
    QCOMPARE(lines[1], lines[0]);
    // Each failure said, with the reason in the typist's words and no English.
    QCOMPARE(boxes.size(), 4);
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    for (const QString& b : boxes) {
        QVERIFY2(b.contains(reason) || b == boxes[3], qPrintable(b));
        QString words = b;
        words.remove(QRegularExpression(QStringLiteral("/\\S*"))).remove(QStringLiteral("Ｑｕｅｌｔａ"));
        QVERIFY2(!words.contains(latin), qPrintable(b));
    }
    QVERIFY(boxes[0].startsWith(QStringLiteral("ファイルを保存できませんでした。")));
    QVERIFY(boxes[0].endsWith(QStringLiteral("表示文は消去せずに、そのまま残しています。")));
    QVERIFY(boxes[1].startsWith(QStringLiteral("設定ファイルを保存できませんでした。")));
    QVERIFY(boxes[2].startsWith(QStringLiteral("表示文を保存できませんでした。")));
    QVERIFY(boxes[2].endsWith(QStringLiteral("別の保存先（ＵＳＢメモリなど）を選んでください。")));
    QVERIFY(boxes[3].startsWith(QStringLiteral("表示文はまだ保存されていません。 / Ｑｕｅｌｔａを終了せずに、このまま開いておきますか？")));
    QCOMPARE(o.starting(QStringLiteral("dialog")).size(), 1);

    // No one answers a termination signal: the display goes to the user's data folder.
    QVERIFY(::kill(pid_t(programPid), SIGTERM) == 0);
    QVERIFY(p.waitForFinished(20000));
    const QString rescue = data.filePath(QStringLiteral("Quelta"));
    const QStringList rescued = QDir(rescue).entryList({QStringLiteral("*.txt")});
    QCOMPARE(rescued.size(), 2);  // the display and the note
    const QString note = QStringLiteral("終了時保存の報告.txt");
    QVERIFY(rescued.contains(note));
    const QString displayFile = rescued[rescued[0] == note ? 1 : 0];
    const QByteArray display = readAll(rescue + u'/' + displayFile);
    QVERIFY(display.contains(Cp932::encode(QStringLiteral("字幕の0行目\r\n"))));
    QVERIFY(display.endsWith(Cp932::encode(QStringLiteral("字幕の39行目\r\n---Ｑｕｅｌｔａ終了時自動保存---\r\n"))));

    // The program's folder holds what it held: the start-up file byte for byte, nothing new.
    QCOMPARE(readAll(out.filePath(kStartupFile)), startupBytes);
    QStringList held = QString::fromUtf8(readAll(out.filePath(QStringLiteral("listing")))).split(u'\n', Qt::SkipEmptyParts);
    held.sort();
    QStringList expected{kStartupFile, QStringLiteral("quelta")};
    if (mode == QLatin1String("full")) expected << QStringLiteral("filler");
    expected.sort();
    QCOMPARE(held, expected);

    // The next start says where the display went, in a box and on the page "説明".
    QTemporaryDir again;
    const QString program = again.filePath(QStringLiteral("quelta"));
    QVERIFY(QFile::copy(QStringLiteral(PROBE_BINARY), program));
    QVERIFY(QFile::setPermissions(program, QFile::permissions(QStringLiteral(PROBE_BINARY))));
    QProcess* next = ns.start(program, env, this);
    Output n(next);
    const QString report = n.waitFor(QStringLiteral("box: "));
    QVERIFY2(report.startsWith(QStringLiteral("box: 前回Ｑｕｅｌｔａが終了したときの自動保存について：")), qPrintable(report));
    QVERIFY2(report.contains(reason.chopped(1) + QStringLiteral("）。代わりに ") + rescue + u'/' + displayFile +
                             QStringLiteral(" に保存しました。")),
             qPrintable(report));
    QVERIFY(!n.waitFor(QStringLiteral("started")).isEmpty());
    QVERIFY(!n.waitFor(QStringLiteral("log: ")).isEmpty());
    QVERIFY(n.starting(QStringLiteral("log: ")).join(u'\n').contains(QStringLiteral("に保存しました。")));
    QVERIFY(!QFile::exists(rescue + u'/' + note));
    ::kill(pid_t(next->processId()), SIGTERM);
    QVERIFY(next->waitForFinished(10000));
    delete next;
}

QTEST_GUILESS_MAIN(FullDiskSystemTest)
#include "test_full_disk_system.moc"

// Values a stranger controls, bounded where they enter: repeated warnings on the explanation page,
// window geometry from files and transfers, the transfer buffer, and the lines of a transfer that
// would take the station from its typist.
#include "core/repeat_gate.h"
#include "net/caption_protocol.h"
#include "settings/geometry.h"
#include "settings/settings_file.h"
#include "settings/transfer.h"
#include "text/cp932.h"

#include <QTest>

class HostileValuesTest : public QObject {
    Q_OBJECT
private slots:
    void repeatedWarningsAreCountedOnceAMinute();
    void geometryIsTakenWithinTheScreens();
    void aTransferThatNeverEndsKeepsItsNewestLines();
    void aTransferCannotTakeTheStationFromItsTypist();
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

void HostileValuesTest::aTransferThatNeverEndsKeepsItsNewestLines() {
    Settings::TransferBuffer buffer;
    const QByteArray set = Net::Wire::SettingsStart();
    for (int i = 0; i < Settings::TransferBuffer::kMaxLines + 500; ++i)
        QVERIFY(!buffer.take(set + "004:" + QByteArray::number(i) + ":x"));
    QCOMPARE(buffer.size(), Settings::TransferBuffer::kMaxLines);
    const auto lines = buffer.take(Net::Wire::SettingsEnd());
    QVERIFY(lines);
    QCOMPARE(lines->size(), Settings::TransferBuffer::kMaxLines);
    QCOMPARE(lines->first(), QByteArray("004:500:x"));  // prefix gone, the oldest dropped
    QCOMPARE(buffer.size(), 0);
    // A short one whole, the header first.
    buffer.take(set + Settings::headerLine());
    buffer.take(set);  // "$set$" alone: an empty line
    QCOMPARE(*buffer.take(Net::Wire::SettingsEnd()), (QList<QByteArray>{Settings::headerLine(), QByteArray()}));
}

void HostileValuesTest::aTransferCannotTakeTheStationFromItsTypist() {
    Settings::KeyTable table;
    auto add = [&table](int key, Settings::Kind kind, Settings::Extent extent = Settings::Extent::None) {
        Settings::Entry e;
        e.key = key;
        e.kind = kind;
        e.extent = extent;
        e.apply = [](QByteArrayView) {};
        table.add(e);
    };
    add(1, Settings::Kind::Int, Settings::Extent::Width);
    add(3, Settings::Kind::Int, Settings::Extent::Left);
    add(4, Settings::Kind::Int);
    add(8, Settings::Kind::Colour);
    add(10, Settings::Kind::Colour);
    add(17, Settings::Kind::Int, Settings::Extent::Height);
    add(801, Settings::Kind::Int);
    add(802, Settings::Kind::Int);
    Settings::StationNow now;
    now.channel = 0;
    now.group = 1;
    now.displayInk = 0x000000;
    now.displayPaper = 0xFFFFFF;
    now.screens = QRect(0, 0, 1920, 1080);
    now.shown = [](qint32 v) { return v == -2147483643 ? 0xFFFFFFu : quint32(v); };  // a system colour: white
    const QByteArray header = Settings::headerLine();
    auto keptOf = [&](const QList<QByteArray>& lines) { return Settings::ScreenTransfer(table, lines, now).lines; };

    // The ordinary "合わせる" answer goes through whole.
    const QList<QByteArray> fit{header, "001:1280:x", "004:8:x", "017:60:x", "003:0:x"};
    QCOMPARE(keptOf(fit), fit);
    // Channel, group, a window beyond the screens: held back, each with its reason; the rest applies.
    const Settings::Screened s = Settings::ScreenTransfer(
        table, {header, "801:5:x", "004:9:x", "802:3:x", "001:20000:x", "017:2147483647:x", "003:-50:x"}, now);
    QCOMPARE(s.lines, (QList<QByteArray>{header, "004:9:x"}));
    QCOMPARE(s.held.size(), 5);
    QCOMPARE(s.held[0].line, QByteArray("801:5:x"));
    QVERIFY(s.held[0].reason.contains(QStringLiteral("チャンネル")));
    QVERIFY(s.held[1].reason.contains(QStringLiteral("入力班")));
    QVERIFY(s.held[2].reason.contains(QStringLiteral("画面")));
    // The channel and group it is in already: left out without a note (no team rebuilt for nothing).
    const Settings::Screened same = Settings::ScreenTransfer(table, {header, "801:0:x", "802:1:x"}, now);
    QCOMPARE(same.lines, QList<QByteArray>{header});
    QVERIFY(same.held.isEmpty());
    // Caption text the colour of its background, by one key or both, by value or system colour.
    for (const QList<QByteArray>& hide : {QList<QByteArray>{header, "008:16777215:x"},
                                          QList<QByteArray>{header, "008:255:x", "010:255:x", "004:7:x"},
                                          QList<QByteArray>{header, "010:0:x"},
                                          QList<QByteArray>{header, "008:-2147483643:x"}}) {
        const Settings::Screened h = Settings::ScreenTransfer(table, hide, now);
        QVERIFY(!h.lines.contains(QByteArray("008:255:x")));
        for (const QByteArray& l : h.lines) QVERIFY2(!l.startsWith("008:") && !l.startsWith("010:"), l.constData());
        QVERIFY(!h.held.isEmpty());
        QVERIFY(h.held[0].reason.contains(QStringLiteral("字幕が見えなくなる")));
    }
    QCOMPARE(keptOf({header, "008:255:x", "010:65280:x"}), (QList<QByteArray>{header, "008:255:x", "010:65280:x"}));
    // Whatever the header, the screening leaves applying to judge it.
    QCOMPARE(keptOf({"bad header", "004:3:x"}), (QList<QByteArray>{"bad header", "004:3:x"}));
}

QTEST_GUILESS_MAIN(HostileValuesTest)
#include "test_hostile_values.moc"

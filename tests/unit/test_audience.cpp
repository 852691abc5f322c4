// The audience page's logic without sockets: ruby markup, the record mirror and the event stream
// a page builds its lines from, catch-up after a reconnect, the timed transcript on a fake clock,
// saving it, and the QR code.
#include "audience/clock.h"
#include "audience/event_log.h"
#include "audience/qr_code.h"
#include "audience/record_mirror.h"
#include "audience/ruby_text.h"
#include "audience/service.h"
#include "audience/transcript.h"
#include "core/record.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTest>

using namespace Audience;

namespace {

const QString kStart = QStringLiteral("文先頭　\n") + QString(19, u'\n');

class FakeClock final : public Clock {
public:
    QDateTime now() const override { return t; }
    void at(qint64 ms) { t = base.addMSecs(ms); }
    QDateTime base = QDateTime(QDate(2024, 5, 1), QTime(13, 0));
    QDateTime t = base;
};

QString plainOf(const QJsonArray& r) {
    QString s;
    for (const QJsonValue& v : r) s += v.isString() ? v.toString() : v[0].toString() + u'（' + v[1].toString() + u'）';
    return s;
}

// What a browser makes of the stream: the page's lines, built from the events alone.
struct Page {
    QList<std::pair<qint64, QString>> lines;
    QList<qint64> clearedAfter;
    QList<qint64> highlighted;
    QStringList kinds;

    void take(const QByteArray& bytes) {
        for (const QByteArray& record : bytes.split('\n')) {
            if (!record.startsWith("data: ")) continue;
            apply(QJsonDocument::fromJson(record.mid(6)).object());
        }
    }
    qsizetype find(qint64 id) const {
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i].first == id) return i;
        return -1;
    }
    void apply(const QJsonObject& e) {
        const QString t = e["t"].toString();
        kinds << t;
        const qint64 id = e["id"].toInteger();
        if (t == "snap") {
            lines.clear();
            clearedAfter.clear();
            for (const QJsonValue& l : e["lines"].toArray()) {
                lines.append({l["id"].toInteger(), plainOf(l["r"].toArray())});
                if (l["cls"].toBool()) clearedAfter << l["id"].toInteger();
            }
        } else if (t == "add") {
            QVERIFY(find(id) < 0);
            lines.append({id, plainOf(e["r"].toArray())});
        } else if (t == "set") {
            QVERIFY(find(id) >= 0);
            lines[find(id)].second = plainOf(e["r"].toArray());
        } else if (t == "del") {
            QVERIFY(find(id) >= 0);
            lines.removeAt(find(id));
        } else if (t == "cls") {
            clearedAfter << id;
        } else if (t == "fix") {
            for (const QJsonValue& v : e["del"].toArray()) {
                QVERIFY(find(v.toInteger()) >= 0);
                lines.removeAt(find(v.toInteger()));
            }
            for (const QJsonValue& v : e["ids"].toArray()) highlighted << v.toInteger();
        } else {
            QFAIL(qPrintable("unknown event " + t));
        }
    }
    QStringList texts() const {
        QStringList s;
        for (const auto& l : lines) s << l.second;
        return s;
    }
};

// A record with its mirror, event log and a page that has followed the stream from the start.
struct Rig {
    QTextDocument doc;
    Core::Record record{&doc};
    std::unique_ptr<RecordMirror> mirror;
    std::unique_ptr<EventLog> log;
    Page page;
    explicit Rig(const QString& start = kStart) {
        record.setText(start);
        mirror = std::make_unique<RecordMirror>(record);
        log = std::make_unique<EventLog>(*mirror);
        page.take(log->catchUp({}));
        QObject::connect(log.get(), &EventLog::event, [this](const QByteArray& b) { page.take(b); });
    }
    // A page that connects now sees the same lines as the one that followed.
    QStringList fresh() const {
        Page p;
        p.take(log->catchUp({}));
        return p.texts();
    }
    // What the mirror says is shown, in plain text.
    QStringList shown() const {
        QStringList s;
        for (const RecordMirror::Line& l : mirror->shownTail(EventLog::kSnapshotLines))
            s << rubyToPlain(parseRuby(l.text));
        return s;
    }
};

}  // namespace

class AudienceTest : public QObject {
    Q_OBJECT
private slots:
    void rubyMarkup_data();
    void rubyMarkup();
    void rubyForms();

    void streamFollowsLinesUndoDeleteAndJoin();
    void screenClearKeepsTheLines();
    void correctionReplacesTheSupersededLines();
    void positionMarkerIsNotCaptionText();
    void headTrimIsNotReported();
    void equalLinesAreCountedRight();
    void editInsideTheScreenIsAChange();
    void unrecognisableRecordStartsOver();
    void mirrorStaysBounded();

    void reconnectGetsOnlyWhatItMissed();
    void snapshotHoldsTheLastTwoHundredLines();

    void cueTimesFollowTheClock();
    void correctedCuesTakeTheOldTimes();
    void transcriptFormats();
    void saveWritesBothFilesOrNothing();

    void qrCodeHasItsFinderPatterns();
};

void AudienceTest::rubyMarkup_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("plain");
    QTest::newRow("kanji word") << "`rきょう`s今日は晴れ" << "今日（きょう）は晴れ";
    QTest::newRow("okurigana left off") << "空が`rはれる`s晴れるでしょう" << "空が晴（は）れるでしょう";
    QTest::newRow("katakana word") << "`rこんぴゅーた`sコンピューターで" << "コンピューター（こんぴゅーた）で";
    QTest::newRow("latin word") << "`rえーあい`sAIです" << "AI（えーあい）です";
    QTest::newRow("other markup has no width") << "赤`c字`b" << "赤字";
    QTest::newRow("later reading wins") << "`rあ`s`rにち`s日" << "日（にち）";
    QTest::newRow("unclosed reading unseen") << "本文`rよみ" << "本文";
    QTest::newRow("reading at the end dropped") << "本文`rよみ`s" << "本文";
    QTest::newRow("no markup") << "そのまま" << "そのまま";
}

void AudienceTest::rubyMarkup() {
    QFETCH(QString, line);
    QFETCH(QString, plain);
    QCOMPARE(rubyToPlain(parseRuby(line)), plain);
}

void AudienceTest::rubyForms() {
    const QList<RubySegment> s = parseRuby(QStringLiteral("a<b & `rきょう`s今日"));
    QCOMPARE(s.size(), 2);
    QCOMPARE(s[0], (RubySegment{QStringLiteral("a<b & "), {}}));
    QCOMPARE(s[1], (RubySegment{QStringLiteral("今日"), QStringLiteral("きょう")}));
    QCOMPARE(rubyToVtt(s), QStringLiteral("a&lt;b &amp; <ruby>今日<rt>きょう</rt></ruby>"));
    QCOMPARE(rubyToJson(s), (QJsonArray{QStringLiteral("a<b & "), QJsonArray{QStringLiteral("今日"), QStringLiteral("きょう")}}));
}

void AudienceTest::streamFollowsLinesUndoDeleteAndJoin() {
    Rig rig;
    QCOMPARE(rig.page.texts(), QStringList());  // the record's leading filler is not caption text
    rig.record.addLine(QStringLiteral("おはようございます"));
    rig.record.addLine(QStringLiteral("`rきょう`s今日は`rはれ`s晴れです。"));
    rig.record.addLine(QString());  // an empty line is a line of the display
    rig.record.addLine(QStringLiteral("取り消す行"));
    QCOMPARE(rig.page.texts(), (QStringList{"おはようございます", "今日（きょう）は晴（は）れです。", "", "取り消す行"}));

    rig.record.removeLastLine();  // undo
    rig.record.removeLastLine();
    QCOMPARE(rig.page.texts(), (QStringList{"おはようございます", "今日（きょう）は晴（は）れです。"}));
    rig.record.removeLastCharOfLastLine();  // del
    rig.record.appendToLastLine(QStringLiteral("ね、はい"));  // blank-line-only mode joins
    QCOMPARE(rig.page.texts(), (QStringList{"おはようございます", "今日（きょう）は晴（は）れですね、はい"}));
    // undo of the joined part: bytes from the end of the last line
    rig.record.removeBytes(rig.record.byteLength() - 2 - 8, 8);
    QCOMPARE(rig.page.texts(), (QStringList{"おはようございます", "今日（きょう）は晴（は）れです"}));

    QCOMPARE(rig.page.kinds, (QStringList{"snap", "add", "add", "add", "add", "del", "del", "set", "set", "set"}));
    QCOMPARE(rig.page.texts(), rig.shown());
    QCOMPARE(rig.fresh(), rig.page.texts());
}

void AudienceTest::screenClearKeepsTheLines() {
    Rig rig;
    rig.record.addLine(QStringLiteral("一"));
    rig.record.addLine(QStringLiteral("二"));
    const qint64 two = rig.mirror->lastShownId();
    rig.mirror->screenCleared();
    rig.record.addLine(QStringLiteral("三"));
    QCOMPARE(rig.page.texts(), (QStringList{"一", "二", "三"}));
    QCOMPARE(rig.page.clearedAfter, QList<qint64>{two});
    Page fresh;
    fresh.take(rig.log->catchUp({}));
    QCOMPARE(fresh.clearedAfter, QList<qint64>{two});
    // In blank-line-only mode the station adds an empty line before clearing.
    rig.record.addLine(QString());
    rig.mirror->screenCleared();
    QCOMPARE(rig.page.clearedAfter.size(), 2);
    QCOMPARE(rig.page.clearedAfter.last(), rig.mirror->lastShownId());
}

void AudienceTest::correctionReplacesTheSupersededLines() {
    Rig rig;
    for (const char* l : {"前の行", "誤りの行", "次の行", "最後の行"}) rig.record.addLine(QString::fromUtf8(l));
    const QList<RecordMirror::Line> before = rig.mirror->shownTail(3);
    // A correction batch appends the corrected screenful below; the old lines stay in the record.
    for (const char* l : {"正しい行", "次の行", "最後の行です"}) rig.record.addLine(QString::fromUtf8(l));
    rig.mirror->corrected(3, 3);
    QCOMPARE(rig.page.texts(), (QStringList{"前の行", "正しい行", "次の行", "最後の行です"}));
    QCOMPARE(rig.page.highlighted.size(), 3);
    QCOMPARE(rig.fresh(), rig.page.texts());
    // The superseded lines stay in the copy (the record still has them), so the next line places right.
    rig.record.addLine(QStringLiteral("続き"));
    QCOMPARE(rig.page.texts().last(), QStringLiteral("続き"));
    QCOMPARE(rig.page.texts().size(), 5);
    for (const RecordMirror::Line& l : before) QVERIFY(rig.page.find(l.id) < 0);
    // An undo after it takes the newest line, not a superseded one.
    rig.record.removeLastLine();
    QCOMPARE(rig.page.texts(), (QStringList{"前の行", "正しい行", "次の行", "最後の行です"}));
}

void AudienceTest::positionMarkerIsNotCaptionText() {
    Rig rig;
    const QString lineMarker = QStringLiteral("■"), endMarker = QStringLiteral("◆");
    // Marker as a line of its own: each send removes the marker line, adds the text, adds the marker.
    rig.record.addLine(lineMarker);
    for (const char* l : {"一行目", "二行目"}) {
        rig.record.removeLastLine();
        rig.record.addLine(QString::fromUtf8(l));
        rig.record.addLine(lineMarker);
    }
    QCOMPARE(rig.page.texts(), (QStringList{"一行目", "二行目"}));
    // Blank-line-only mode: "◆" at the end of the last line, text joined before it.
    rig.record.removeLastLine();
    rig.record.addLine(QStringLiteral("三") + endMarker);
    rig.record.removeLastCharOfLastLine();
    rig.record.appendToLastLine(QStringLiteral("行目"));
    rig.record.appendToLastLine(endMarker);
    QCOMPARE(rig.page.texts(), (QStringList{"一行目", "二行目", "三行目"}));
    // A correction with the line marker: its line is left empty above the corrected lines, so the
    // station counts it among the superseded ones.
    rig.record.removeLastCharOfLastLine();
    rig.record.addLine(lineMarker);
    rig.record.removeLastCharOfLastLine();  // the marker's two bytes go, its line stays
    rig.record.addLine(QStringLiteral("二行目だ"));
    rig.record.addLine(QStringLiteral("三行目だ"));
    rig.record.addLine(lineMarker);
    rig.mirror->corrected(3, 2);
    QCOMPARE(rig.page.texts(), (QStringList{"一行目", "二行目だ", "三行目だ"}));
    QCOMPARE(rig.fresh(), rig.page.texts());
}

void AudienceTest::headTrimIsNotReported() {
    Rig rig;
    QStringList all;
    for (int i = 0; i < 30; ++i) {
        all << QStringLiteral("行%1").arg(i);
        rig.record.addLine(all.last());
    }
    const int events = rig.page.kinds.size();
    // The periodic clear: "継続保存", 20 empty lines and the last 10 lines.
    rig.record.setText(QStringLiteral("継続保存\n") + QString(20, u'\n') + all.mid(20).join(u'\n') + u'\n');
    // ... or a plain trim of the head.
    rig.record.removeBytes(0, 12);
    QCOMPARE(rig.page.kinds.size(), events);
    QCOMPARE(rig.page.texts(), all);
    rig.record.addLine(QStringLiteral("行30"));
    rig.record.removeLastCharOfLastLine();
    QCOMPARE(rig.page.texts().last(), QStringLiteral("行3"));
    QCOMPARE(rig.page.texts().size(), 31);
}

void AudienceTest::equalLinesAreCountedRight() {
    Rig rig;
    rig.record.addLine(QStringLiteral("話の区切り"));
    for (int i = 0; i < 12; ++i) rig.record.addLine(QString());  // a run of blank sends
    QCOMPARE(rig.page.texts().size(), 13);
    rig.record.removeLastLine();
    rig.record.removeLastLine();
    QCOMPARE(rig.page.texts().size(), 11);
    rig.record.appendToLastLine(QStringLiteral("続き"));
    QCOMPARE(rig.page.texts().last(), QStringLiteral("続き"));
    // More equal lines with text than are compared: only the change in the count tells.
    for (int i = 0; i < 2 * RecordMirror::kMatchDepth; ++i) rig.record.addLine(QStringLiteral("（拍手）"));
    QCOMPARE(rig.page.texts().size(), 11 + 2 * RecordMirror::kMatchDepth);
    rig.record.removeLastLine();
    QCOMPARE(rig.page.texts().size(), 10 + 2 * RecordMirror::kMatchDepth);
    QCOMPARE(rig.page.texts(), rig.shown());
}

void AudienceTest::editInsideTheScreenIsAChange() {
    Rig rig;
    for (int i = 0; i < 6; ++i) rig.record.addLine(QStringLiteral("行%1").arg(i));
    // The word-processor screen: a line above the last one edited in place.
    QTextCursor c(rig.record.document()->findBlockByNumber(rig.record.recordLineCount() - 3));
    c.movePosition(QTextCursor::EndOfBlock);
    c.insertText(QStringLiteral("（訂正）"));
    QCOMPARE(rig.page.texts(), (QStringList{"行0", "行1", "行2", "行3（訂正）", "行4", "行5"}));
    QCOMPARE(rig.page.kinds.last(), QStringLiteral("set"));
}

void AudienceTest::unrecognisableRecordStartsOver() {
    Rig rig;
    rig.record.addLine(QStringLiteral("古い行"));
    QStringList fresh;
    for (int i = 0; i < 80; ++i) fresh << QStringLiteral("新%1").arg(i);
    rig.record.setText(fresh.join(u'\n') + u'\n');
    QCOMPARE(rig.page.kinds.last(), QStringLiteral("snap"));
    QCOMPARE(rig.page.texts(), fresh);
    rig.record.addLine(QStringLiteral("次"));
    QCOMPARE(rig.page.texts().size(), 81);
}

void AudienceTest::mirrorStaysBounded() {
    Rig rig;
    for (int i = 0; i < RecordMirror::kCapacity + 50; ++i) rig.record.addLine(QStringLiteral("行%1").arg(i));
    QCOMPARE(int(rig.mirror->lines().size()), RecordMirror::kCapacity);
    QCOMPARE(rig.mirror->lines().back().text, QStringLiteral("行%1").arg(RecordMirror::kCapacity + 49));
    rig.record.removeLastLine();
    QCOMPARE(rig.page.texts().last(), QStringLiteral("行%1").arg(RecordMirror::kCapacity + 48));
}

void AudienceTest::reconnectGetsOnlyWhatItMissed() {
    Rig rig;
    rig.record.addLine(QStringLiteral("一"));
    const QByteArray seen = rig.log->lastEventId();
    rig.record.addLine(QStringLiteral("二"));
    rig.record.removeLastCharOfLastLine();
    rig.record.appendToLastLine(QStringLiteral("三"));

    Page back;  // a reader that had seen up to "一"
    back.lines = {{rig.mirror->shownTail(2)[0].id, QStringLiteral("一")}};
    const QByteArray missed = rig.log->catchUp(seen);
    QVERIFY(missed.startsWith("retry: "));
    back.take(missed);
    QCOMPARE(back.kinds, (QStringList{"add", "set", "set"}));
    QCOMPARE(back.texts(), rig.page.texts());

    Page other;  // an id of another run of the station, or one that was never given
    other.take(rig.log->catchUp("xyz-1"));
    QCOMPARE(other.kinds, QStringList{"snap"});
    QCOMPARE(other.texts(), rig.page.texts());
    Page future;
    future.take(rig.log->catchUp(rig.log->session() + "-999999"));
    QCOMPARE(future.kinds, QStringList{"snap"});
    // Up to date: nothing but the retry advice.
    QCOMPARE(rig.log->catchUp(rig.log->lastEventId()), QByteArray("retry: 3000\n\n"));
}

void AudienceTest::snapshotHoldsTheLastTwoHundredLines() {
    Rig rig;
    const QByteArray first = rig.log->lastEventId();
    for (int i = 0; i < EventLog::kBacklog + 5; ++i) rig.record.addLine(QStringLiteral("行%1").arg(i));
    Page p;
    p.take(rig.log->catchUp(first));  // too long ago: the backlog has moved on
    QCOMPARE(p.kinds, QStringList{"snap"});
    QCOMPARE(p.lines.size(), EventLog::kSnapshotLines);
    QCOMPARE(p.texts().last(), QStringLiteral("行%1").arg(EventLog::kBacklog + 4));
    QCOMPARE(p.texts().first(), QStringLiteral("行%1").arg(EventLog::kBacklog + 5 - EventLog::kSnapshotLines));
}

void AudienceTest::cueTimesFollowTheClock() {
    QTextDocument doc;
    Core::Record record(&doc);
    record.setText(kStart);
    FakeClock clock;
    RecordMirror mirror(record);
    Transcript t(mirror, clock);
    QVERIFY(t.isEmpty());
    clock.at(5000);
    record.addLine(QString());  // empty lines before the first caption set no origin
    clock.at(7000);
    record.addLine(QStringLiteral("一"));
    clock.at(8500);
    record.addLine(QStringLiteral("二"));
    clock.at(30000);  // a long pause: "二" leaves the screen 10 s after it came
    record.addLine(QStringLiteral("三四"));
    clock.at(31000);
    record.removeLastCharOfLastLine();  // del: what was taken back is not in the transcript
    clock.at(32000);
    record.addLine(QStringLiteral("取り消し"));
    clock.at(33000);
    record.removeLastLine();  // undo
    clock.at(40000);
    record.addLine(QStringLiteral("五"));
    clock.at(42000);
    mirror.screenCleared();  // ends the cue on the screen; the line stays
    clock.at(50000);
    record.addLine(QString());  // an empty line ends the cue before it
    clock.at(51000);
    record.addLine(QStringLiteral("六"));
    clock.at(52000);
    record.appendToLastLine(QStringLiteral("七"));  // joined: the 10 s run from the last change

    const QList<Transcript::Cue> cues = t.cues();
    QCOMPARE(cues.size(), 5);
    auto check = [&](int i, qint64 start, qint64 end, const char* text) {
        QCOMPARE(cues[i].startMs, start);
        QCOMPARE(cues[i].endMs, end);
        QCOMPARE(cues[i].text, QString::fromUtf8(text));
    };
    check(0, 0, 1500, "一");
    check(1, 1500, 11500, "二");
    check(2, 23000, 33000, "三");  // the line taken back in between is gone: it ends when "五" came
    check(3, 33000, 35000, "五");
    check(4, 44000, 55000, "六七");

    t.clear();
    QVERIFY(t.isEmpty());
    clock.at(60000);
    record.addLine(QStringLiteral("新しい会"));
    QCOMPARE(t.cues().first().startMs, 0);
}

void AudienceTest::correctedCuesTakeTheOldTimes() {
    QTextDocument doc;
    Core::Record record(&doc);
    record.setText(kStart);
    FakeClock clock;
    RecordMirror mirror(record);
    Transcript t(mirror, clock);
    clock.at(0);
    record.addLine(QStringLiteral("甲"));
    clock.at(2000);
    record.addLine(QStringLiteral("乙の誤り"));
    clock.at(4000);
    record.addLine(QStringLiteral("丙の誤り"));
    clock.at(9000);
    record.addLine(QStringLiteral("乙"));
    record.addLine(QStringLiteral("丙"));
    mirror.corrected(2, 2);
    QList<Transcript::Cue> cues = t.cues();
    QCOMPARE(cues.size(), 3);
    QCOMPARE(cues[1].text, QStringLiteral("乙"));
    QCOMPARE(cues[1].startMs, 2000);
    QCOMPARE(cues[1].endMs, 4000);
    QCOMPARE(cues[2].text, QStringLiteral("丙"));
    QCOMPARE(cues[2].startMs, 4000);
    QCOMPARE(cues[2].endMs, 14000);  // as if typed right: 10 s, with no line after it
    QCOMPARE(cues[0].endMs, 2000);

    // Three corrected lines for two old ones share the old lines' time on the screen.
    clock.at(20000);
    record.addLine(QStringLiteral("戊の誤り"));
    clock.at(22000);
    record.addLine(QStringLiteral("己の誤り"));
    clock.at(30000);
    for (const char* l : {"戊", "己", "庚"}) record.addLine(QString::fromUtf8(l));
    mirror.corrected(2, 3);
    cues = t.cues();
    QCOMPARE(cues.size(), 6);
    QCOMPARE(cues[2].endMs, 14000);
    QCOMPARE(cues[3].text, QStringLiteral("戊"));
    QCOMPARE(cues[3].startMs, 20000);
    QCOMPARE(cues[4].startMs, 23333);
    QCOMPARE(cues[5].startMs, 26666);
    QCOMPARE(cues[4].endMs, 26666);
    QCOMPARE(cues[5].text, QStringLiteral("庚"));
    QCOMPARE(cues[5].endMs, 36666);
}

void AudienceTest::transcriptFormats() {
    QTextDocument doc;
    Core::Record record(&doc);
    record.setText(kStart);
    FakeClock clock;
    RecordMirror mirror(record);
    Transcript t(mirror, clock);
    clock.at(1000);
    record.addLine(QStringLiteral("`rきょう`s今日は<晴れ>"));
    clock.at(3725250);  // past the hour
    record.addLine(QStringLiteral("A & B"));
    QCOMPARE(t.toWebVtt(), QStringLiteral("WEBVTT\n\n"
                                          "1\n00:00:00.000 --> 00:00:10.000\n<ruby>今日<rt>きょう</rt></ruby>は&lt;晴れ&gt;\n\n"
                                          "2\n01:02:04.250 --> 01:02:14.250\nA &amp; B\n"));
    QCOMPARE(t.toSubRip(), QStringLiteral("1\r\n00:00:00,000 --> 00:00:10,000\r\n今日（きょう）は<晴れ>\r\n\r\n"
                                          "2\r\n01:02:04,250 --> 01:02:14,250\r\nA & B\r\n"));
    QCOMPARE(t.toText(), QStringLiteral("[0:00:00] 今日（きょう）は<晴れ>\n[1:02:04] A & B\n"));
}

void AudienceTest::saveWritesBothFilesOrNothing() {
    QTextDocument doc;
    Core::Record record(&doc);
    record.setText(kStart);
    FakeClock clock;
    Service service(record, clock);
    record.addLine(QStringLiteral("保存する行"));
    QTemporaryDir dir;
    QCOMPARE(service.saveTranscript(dir.path(), QStringLiteral("講演")), QString());
    QFile vtt(dir.filePath(QStringLiteral("講演.vtt"))), srt(dir.filePath(QStringLiteral("講演.srt")));
    QVERIFY(vtt.open(QIODevice::ReadOnly) && srt.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(vtt.readAll()), service.transcript().toWebVtt());
    QCOMPARE(QString::fromUtf8(srt.readAll()), service.transcript().toSubRip());
    vtt.close();
    srt.close();

    // The .srt cannot be written (a folder stands in its way): neither file changes.
    record.addLine(QStringLiteral("次の行"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("b.srt")));
    QFile old(dir.filePath(QStringLiteral("b.vtt")));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    const QString error = service.saveTranscript(dir.path(), QStringLiteral("b"));
    QVERIFY(error.startsWith(QStringLiteral("字幕記録を保存できません")));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
    QVERIFY(!service.saveTranscript(dir.filePath(QStringLiteral("無い/フォルダ")), QStringLiteral("c")).isEmpty());
}

void AudienceTest::qrCodeHasItsFinderPatterns() {
    const int px = 3;
    const QImage img = QrCode(QStringLiteral("http://192.168.10.21:8711/"), px);
    QVERIFY(!img.isNull());
    QCOMPARE(img.width(), img.height());
    const int modules = img.width() / px;
    QCOMPARE(img.width() % px, 0);
    QCOMPARE((modules - 8 - 21) % 4, 0);  // a QR symbol is 21 + 4k modules, plus the quiet zone
    auto dark = [&](int mx, int my) { return qGray(img.pixel(mx * px + 1, my * px + 1)) < 128; };
    // The quiet zone is white all round.
    for (int i = 0; i < modules; ++i)
        for (int q = 0; q < 4; ++q) QVERIFY(!dark(i, q) && !dark(q, i) && !dark(i, modules - 1 - q));
    // A finder pattern: a dark 7×7 ring, a light ring, a dark 3×3 core, in three corners.
    const int n = modules - 8;
    for (auto [ox, oy] : {std::pair{4, 4}, {4 + n - 7, 4}, {4, 4 + n - 7}}) {
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 7; ++x) {
                const int ring = qMin(qMin(x, y), qMin(6 - x, 6 - y));
                QCOMPARE(dark(ox + x, oy + y), ring != 1);
            }
        }
    }
    QVERIFY(QrCode(QString()).isNull());
}

QTEST_MAIN(AudienceTest)
#include "test_audience.moc"

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
#include "settings/line_file.h"
#include "support/file_size_limit.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
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
    void fillerOfARecordFilledLaterIsNoCaption();
    void linesOfOneChangeAreOneCaption();

    void reconnectGetsOnlyWhatItMissed();
    void snapshotHoldsTheLastTwoHundredLines();

    void cueTimesFollowTheClock();
    void correctedCuesTakeTheOldTimes();
    void transcriptFormats();
    void transcriptPlaysInFfmpeg();
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

// A station makes its audience page before it fills the record with its filler: the filler and
// the empty lines before the first caption are no captions, however the record got them.
void AudienceTest::fillerOfARecordFilledLaterIsNoCaption() {
    QTextDocument doc;
    Core::Record record(&doc);
    RecordMirror mirror(record);
    EventLog log(mirror);
    QSignalSpy added(&mirror, &RecordMirror::lineAdded);
    record.setText(kStart);
    record.addLine(QString());  // blank sends before anything was said
    record.addLine(QString());
    QCOMPARE(added.size(), 0);
    QVERIFY(mirror.shownTail(EventLog::kSnapshotLines).isEmpty());
    Page page;
    page.take(log.catchUp({}));
    QCOMPARE(page.texts(), QStringList());
    record.addLine(QStringLiteral("最初の字幕"));
    record.addLine(QString());  // after a caption an empty line is a line of the display
    QCOMPARE(added.size(), 2);
    Page later;
    later.take(log.catchUp({}));
    QCOMPARE(later.texts(), (QStringList{"最初の字幕", ""}));
    // Text joined to a leading empty line (blank-line-only mode) makes it a caption after all.
    QTextDocument doc2;
    Core::Record joined(&doc2);
    RecordMirror mirror2(joined);
    joined.setText(kStart);
    QSignalSpy added2(&mirror2, &RecordMirror::lineAdded);
    joined.appendToLastLine(QStringLiteral("続けて"));
    QCOMPARE(added2.size(), 1);
    QCOMPARE(added2[0][1].toString(), QStringLiteral("続けて"));
}

// The record lines one change adds (a line typed with Ctrl+Enter breaks) are one caption; lines
// joined to the last line in the same change belong to its caption.
void AudienceTest::linesOfOneChangeAreOneCaption() {
    Rig rig;
    QSignalSpy added(rig.mirror.get(), &RecordMirror::lineAdded);
    rig.record.addLine(QStringLiteral("一行目"));
    rig.record.addLine(QStringLiteral("上の行\n中の行\n下の行"));
    rig.record.addLine(QStringLiteral("次の字幕"));
    QCOMPARE(added.size(), 5);
    auto caption = [&](int i) { return added[i][2].toLongLong(); };
    QCOMPARE(caption(0), added[0][0].toLongLong());
    QCOMPARE(caption(1), added[1][0].toLongLong());
    QCOMPARE(caption(2), caption(1));
    QCOMPARE(caption(3), caption(1));
    QCOMPARE(caption(4), added[4][0].toLongLong());
    rig.record.appendToLastLine(QStringLiteral("の続き\n改行の後"));
    QCOMPARE(added.size(), 6);
    QCOMPARE(caption(5), caption(4));
    QCOMPARE(rig.page.texts().mid(1), (QStringList{"上の行", "中の行", "下の行", "次の字幕の続き", "改行の後"}));
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
    FakeClock clock;
    RecordMirror mirror(record);
    Transcript t(mirror, clock);
    record.setText(kStart);  // as a station does: filled after the transcript is made
    QVERIFY(t.isEmpty());
    clock.at(5000);
    record.addLine(QString());  // empty lines before the first caption set no origin
    clock.at(7000);
    record.addLine(QStringLiteral("一"));  // time zero
    clock.at(8500);
    record.addLine(QStringLiteral("二"));  // before "一" could be read: they overlap
    clock.at(30000);  // a long pause: "二" stays, as on the display, until the next caption
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
    record.addLine(QString());  // an empty line is no cue
    clock.at(51000);
    record.addLine(QStringLiteral("六"));
    clock.at(52000);
    record.appendToLastLine(QStringLiteral("七"));  // joined: readable from the last change on
    clock.at(60000);
    record.addLine(QStringLiteral("あいうえおかきくけこ"));  // a burst: each stays its reading time
    clock.at(60300);
    record.addLine(QStringLiteral("さ"));
    clock.at(60600);
    record.addLine(QStringLiteral("上の行\n\n下の行"));  // typed with breaks: one cue, no empty line in it
    clock.at(70000);
    record.addLine(QString(120, u'長'));
    clock.at(70100);
    mirror.screenCleared();  // too soon to have been read: it stays its reading time

    const QList<Transcript::Cue> cues = t.cues();
    QCOMPARE(cues.size(), 9);
    auto check = [&](int i, qint64 start, qint64 end, const QString& text) {
        QCOMPARE(cues[i].startMs, start);
        QCOMPARE(cues[i].endMs, end);
        QCOMPARE(cues[i].text, text);
    };
    check(0, 0, 1600, QStringLiteral("一"));
    check(1, 1500, 23000, QStringLiteral("二"));
    check(2, 23000, 33000, QStringLiteral("三"));  // the caption taken back in between is gone
    check(3, 33000, 35000, QStringLiteral("五"));
    check(4, 44000, 53000, QStringLiteral("六七"));  // read by 46.5 s, on the screen until the next
    check(5, 53000, 55500, QStringLiteral("あいうえおかきくけこ"));
    check(6, 53300, 54900, QStringLiteral("さ"));
    check(7, 53600, 63000, QStringLiteral("上の行\n下の行"));
    check(8, 63000, 70000, QString(120, u'長'));  // seven seconds at most
    for (const Transcript::Cue& c : cues) QVERIFY(c.endMs > c.startMs);

    t.clear();
    QVERIFY(t.isEmpty());
    clock.at(90000);
    record.addLine(QStringLiteral("新しい会"));
    QCOMPARE(t.cues().first().startMs, 0);
    QCOMPARE(Transcript::readingMs(QStringLiteral("`rきょう`s今日")), 1500 + 100 * 7);  // 今日（きょう）
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
    QCOMPARE(cues[0].endMs, 2000);
    QCOMPARE(cues[1].text, QStringLiteral("乙"));
    QCOMPARE(cues[1].startMs, 2000);
    QCOMPARE(cues[1].endMs, 4000);
    QCOMPARE(cues[2].text, QStringLiteral("丙"));
    QCOMPARE(cues[2].startMs, 4000);
    QCOMPARE(cues[2].endMs, 5600);  // as if typed right: its reading time, with nothing after it

    // Three corrected lines for two old ones share the time from the first old one to the correction.
    clock.at(20000);
    record.addLine(QStringLiteral("戊の誤り"));
    clock.at(22000);
    record.addLine(QStringLiteral("己の誤り"));
    clock.at(30000);
    for (const char* l : {"戊", "己", "庚"}) record.addLine(QString::fromUtf8(l));
    mirror.corrected(2, 3);
    cues = t.cues();
    QCOMPARE(cues.size(), 6);
    QCOMPARE(cues[2].endMs, 20000);
    QCOMPARE(cues[3].text, QStringLiteral("戊"));
    QCOMPARE(cues[3].startMs, 20000);
    QCOMPARE(cues[4].startMs, 23333);
    QCOMPARE(cues[5].startMs, 26666);
    QCOMPARE(cues[4].endMs, 26666);
    QCOMPARE(cues[5].text, QStringLiteral("庚"));
    QCOMPARE(cues[5].endMs, 28266);

    // A caption typed with a break, corrected as two display lines: two cues in its place.
    clock.at(40000);
    record.addLine(QStringLiteral("上の誤り\n下の行"));
    clock.at(45000);
    record.addLine(QStringLiteral("上の行"));
    record.addLine(QStringLiteral("下の行"));
    mirror.corrected(2, 2);
    cues = t.cues();
    QCOMPARE(cues.size(), 8);
    QCOMPARE(cues[6].text, QStringLiteral("上の行"));
    QCOMPARE(cues[6].startMs, 40000);
    QCOMPARE(cues[7].startMs, 42500);
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
    clock.at(3726250);
    record.addLine(QStringLiteral("上の行\n下の行"));
    QCOMPARE(t.toWebVtt(), QStringLiteral("WEBVTT\n\n"
                                          "1\n00:00:00.000 --> 01:02:04.250\n<ruby>今日<rt>きょう</rt></ruby>は&lt;晴れ&gt;\n\n"
                                          "2\n01:02:04.250 --> 01:02:06.250\nA &amp; B\n\n"
                                          "3\n01:02:05.250 --> 01:02:07.350\n上の行\n下の行\n"));
    QCOMPARE(t.toSubRip(), QStringLiteral("1\r\n00:00:00,000 --> 01:02:04,250\r\n今日（きょう）は＜晴れ＞\r\n\r\n"
                                          "2\r\n01:02:04,250 --> 01:02:06,250\r\nA & B\r\n\r\n"
                                          "3\r\n01:02:05,250 --> 01:02:07,350\r\n上の行\r\n下の行\r\n"));
    QCOMPARE(t.toText(), QStringLiteral("[0:00:00] 今日（きょう）は<晴れ>\n[1:02:04] A & B\n[1:02:05] 上の行\n下の行\n"));
}

// The files as a video tool reads them: ffmpeg takes both without a complaint and finds every cue
// at its time, with its text and line breaks.
void AudienceTest::transcriptPlaysInFfmpeg() {
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) QSKIP("ffmpeg is not installed (scripts/install-deps brings it)");
    QTextDocument doc;
    Core::Record record(&doc);
    FakeClock clock;
    Service service(record, clock);
    record.setText(kStart);
    const QList<std::pair<qint64, QString>> lines{
        {3000, QStringLiteral("本日は`rけんしゅう`s研修にお越しいただき")},
        {3200, QStringLiteral("ありがとうございます。")},  // a burst: the cues overlap
        {3400, QStringLiteral("上の行\n下の行")},
        {9000, QStringLiteral("A < B & C --> D")},
        {3700000, QStringLiteral("一時間の後")},
    };
    for (const auto& [ms, text] : lines) {
        clock.at(ms);
        record.addLine(text);
    }
    const QList<Transcript::Cue> cues = service.transcript().cues();
    QCOMPARE(cues.size(), 5);
    QTemporaryDir dir;
    QCOMPARE(service.saveTranscript(dir.path(), QStringLiteral("字幕")), QString());

    // ffmpeg turns each file into SubRip on stdout; what it reads back must be what we wrote.
    auto convert = [&](const QString& file) {
        QProcess p;
        p.start(ffmpeg, {"-nostdin", "-v", "error", "-i", dir.filePath(file), "-f", "srt", "-"});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) return QStringLiteral("failed: ") + QString::fromUtf8(p.readAllStandardError());
        const QByteArray errors = p.readAllStandardError();
        if (!errors.isEmpty()) return QStringLiteral("complained: ") + QString::fromUtf8(errors);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    auto stamp = [](qint64 ms) {
        return QStringLiteral("%1:%2:%3,%4")
            .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
            .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
            .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
            .arg(ms % 1000, 3, 10, QLatin1Char('0'));
    };
    for (const QString& file : {QStringLiteral("字幕.vtt"), QStringLiteral("字幕.srt")}) {
        const QString srt = convert(file);
        QStringList blocks = srt.split(QRegularExpression(QStringLiteral("\\r?\\n\\r?\\n")), Qt::SkipEmptyParts);
        QCOMPARE(blocks.size(), cues.size());
        for (int i = 0; i < cues.size(); ++i) {
            const QStringList rows = blocks[i].split(QRegularExpression(QStringLiteral("\\r?\\n")));
            QCOMPARE(rows.value(1), stamp(cues[i].startMs) + QStringLiteral(" --> ") + stamp(cues[i].endMs));
            QCOMPARE(rows.size(), 2 + int(cues[i].text.count(u'\n')) + 1);  // the line breaks are kept
        }
        QVERIFY2(srt.contains(QStringLiteral("本日は研修")) || srt.contains(QStringLiteral("本日は研修（けんしゅう）")), qPrintable(srt));
        // No markup where the text has none: angle brackets stay text.
        QVERIFY2(srt.contains(QStringLiteral("B & C --")) && !srt.contains(QStringLiteral("<b>")), qPrintable(srt));
    }
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

    // A full disk (a file size limit stands in for it) under Qt's buffer: said in Japanese, and
    // both earlier files stay as they were.
    QCOMPARE(service.saveTranscript(dir.path(), QStringLiteral("d")), QString());
    const QString vttBefore = service.transcript().toWebVtt();
    record.addLine(QStringLiteral("満杯のときの行"));
    QString full;
    {
        Testing::FileSizeLimit limit(16);
        full = service.saveTranscript(dir.path(), QStringLiteral("d"));
    }
    QVERIFY(full.startsWith(QStringLiteral("字幕記録を保存できません")));
    QVERIFY(full.endsWith(Settings::writeFailureText(EFBIG)));
    QFile d(dir.filePath(QStringLiteral("d.vtt")));
    QVERIFY(d.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(d.readAll()), vttBefore);
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

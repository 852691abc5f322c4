#pragma once
// The timed transcript: every line that reaches the display, with the time it arrived, so that a
// recording of the lecture can be captioned afterwards. Times are relative to the first line of
// the session; a cue ends when the next line arrives, at most 10 s after its last change, or when
// the screen is cleared. Lines taken back (undo, delete) leave it; lines replaced by a correction
// hand their times to the corrected ones. A screen clear takes no line back: what was shown stays.
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

namespace Core { class Clock; }

namespace Audience {

using Clock = Core::Clock;
class RecordMirror;

class Transcript : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxCueMs = 10000;

    struct Cue {
        qint64 startMs = 0;  // from the first line of the session
        qint64 endMs = 0;
        QString text;        // record text, ruby markup included
    };

    Transcript(RecordMirror& mirror, const Clock& clock, QObject* parent = nullptr);

    // The cues as they stand now (empty lines only end the cue before them and are left out).
    QList<Cue> cues() const;
    QString toWebVtt() const;
    QString toSubRip() const;   // CR LF line breaks, as subtitle tools expect
    QString toText() const;     // "[H:MM:SS] text" per line, for reading
    bool isEmpty() const;

    // A new session: forget every line (the next line is time 0).
    void clear();

private:
    struct Entry {
        qint64 id = 0;
        QDateTime start;
        QDateTime lastChange;
        QDateTime clearedAt;  // set when the screen was cleared while this line was the newest
        QString text;
    };
    void lineAdded(qint64 id, const QString& text);
    void lineChanged(qint64 id, const QString& text);
    void lineRemoved(qint64 id);
    void cleared(qint64 afterId);
    void linesCorrected(const QList<qint64>& superseded, const QList<qint64>& replacements);
    qsizetype indexOf(qint64 id) const;
    QDateTime endOf(qsizetype index) const;  // when entry `index` leaves the screen

    const Clock& clock_;
    QList<Entry> entries_;  // in order of arrival
    QDateTime origin_;      // arrival of the session's first line
};

}  // namespace Audience

#pragma once
// The timed transcript: every caption that reaches the display, with the time it appeared, so that
// a recording of the lecture can be captioned afterwards. Time zero is the first caption of the
// session. One cue per caption as the display shows it: a line typed with line breaks is one cue
// with line breaks. A cue lasts until the next caption comes or until it could be read (1.5 s
// plus 0.1 s a character, at most 7 s), whichever is later, so a burst of lines overlaps on the
// screen instead of flashing by; a screen clear ends it sooner, though never before it could be
// read. Empty lines and the record's filler are no cues. Captions taken back (undo, delete) leave
// it; captions replaced by a correction hand their times to the corrected ones.
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace Core { class Clock; }

namespace Audience {

using Clock = Core::Clock;
class RecordMirror;

class Transcript : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kBaseReadingMs = 1500;
    static constexpr qint64 kReadingMsPerChar = 100;
    static constexpr qint64 kLongestReadingMs = 7000;

    struct Cue {
        qint64 startMs = 0;  // from the first caption of the session
        qint64 endMs = 0;
        QString text;        // record text, ruby markup included; lines joined by "\n"
    };

    Transcript(RecordMirror& mirror, const Clock& clock, QObject* parent = nullptr);

    // The cues as they stand now, in order of their start.
    QList<Cue> cues() const;
    QString toWebVtt() const;
    QString toSubRip() const;   // CR LF line breaks, as subtitle tools expect
    QString toText() const;     // "[H:MM:SS] text" per caption, for reading
    bool isEmpty() const;

    // How long a text takes to read on the screen.
    static qint64 readingMs(const QString& text);

    // A new session: forget every caption (the next one is time 0).
    void clear();

private:
    // One caption. Nearly all are one line: the ids of further lines live apart, so that a
    // session of hours costs one string and a few numbers a caption.
    struct Entry {
        qint64 first = 0;                           // id of its first record line
        std::unique_ptr<std::vector<qint64>> more;  // ids of its further lines, if any
        QString lines;                              // its record lines, joined by "\n"
        QDateTime start;                            // when it first had text to read; invalid before
        QDateTime lastChange;
        QDateTime clearedAt;                        // the screen was cleared while this was the newest
        qsizetype lineOf(qint64 id) const;          // -1: not one of its lines
        void add(qint64 id, const QString& text);
        void set(qsizetype line, const QString& text);
        bool remove(qsizetype line);                // false: no line left
        QString text() const;                       // the lines with text, joined by "\n"
    };
    void lineAdded(qint64 id, const QString& text, qint64 caption);
    void removeEntry(qsizetype index);
    void lineChanged(qint64 id, const QString& text);
    void lineRemoved(qint64 id);
    void cleared(qint64 afterId);
    void linesCorrected(const QList<qint64>& superseded, const QList<qint64>& replacements);
    void touched(Entry& e, const QDateTime& now);
    qsizetype indexOf(qint64 id) const;
    QDateTime endOf(qsizetype index) const;  // when entry `index` leaves the screen

    const Clock& clock_;
    std::vector<Entry> entries_;  // in order of their start
    QDateTime origin_;      // the session's first caption
};

}  // namespace Audience

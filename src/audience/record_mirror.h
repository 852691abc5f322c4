#pragma once
// Follows the display record for the audience: after every change of the record it compares the
// record's last lines with its own copy of them and reports what happened to the lines the
// audience sees (added, changed, removed), plus the two things the record cannot show by itself:
// a screen clear and a correction batch (the station reports those).
//
// The copy is bounded (the last few hundred record lines), so a long session costs the same as a
// short one. The record's head may be trimmed (the periodic clear) without any report: the
// audience keeps what it has read. The position marker at the end of the record ("■" as a line of
// its own, "◆" at the end of the last line) is not caption text and is left out.
#include <QList>
#include <QObject>
#include <QString>
#include <deque>

namespace Core { class Record; }

namespace Audience {

class RecordMirror : public QObject {
    Q_OBJECT
public:
    enum class Shown { Yes, Filler, Superseded };
    struct Line {
        qint64 id = 0;
        QString text;              // as in the record, ruby markup included
        Shown shown = Shown::Yes;  // leading filler and lines replaced by a correction are not shown
        bool clearedAfter = false; // the screen was cleared after this line
        // The first line of the caption this line belongs to: one change of the record that adds
        // several lines (a line typed with Ctrl+Enter breaks) is one caption.
        qint64 caption = 0;
    };

    static constexpr int kCapacity = 400;  // record lines kept
    static constexpr int kMatchDepth = 8;  // lines with text compared to place the record's tail on the copy
    static constexpr int kMaxChange = 64;  // lines one change may touch before the copy starts over

    explicit RecordMirror(Core::Record& record, QObject* parent = nullptr);

    const std::deque<Line>& lines() const { return lines_; }
    // The newest `count` shown lines, oldest first.
    QList<Line> shownTail(int count) const;
    // Id of the newest shown line, 0 when none.
    qint64 lastShownId() const;

public slots:
    // The station cleared the screen: the record is unchanged, the next lines start on an empty screen.
    void screenCleared();
    // The last `newLines` record lines are the corrected versions of the `supersededLines` before them.
    void corrected(int supersededLines, int newLines);
    // Compare again now (also run after every change of the record).
    void sync();

signals:
    // A line the audience sees from now on; `caption` is the id of the first line of its caption.
    void lineAdded(qint64 id, const QString& text, qint64 caption);
    void lineChanged(qint64 id, const QString& text);
    void lineRemoved(qint64 id);
    void cleared(qint64 afterId);  // 0: before any line
    void linesCorrected(const QList<qint64>& superseded, const QList<qint64>& replacements);
    // The record changed beyond recognition: the copy was read anew (readers need a new snapshot).
    void reset();

private:
    class Tail;
    void readAll(Tail& tail, int n);
    void apply(Tail& tail, int removed, int added);
    void markLeadingFiller();
    bool onlyFillerBefore(std::size_t index) const;
    void trim();
    void emitShown(Line& line, const QString& text);

    Core::Record& record_;
    std::deque<Line> lines_;
    int recordLines_ = 0;  // record lines (marker left out) at the last comparison
    qint64 nextId_ = 1;
};

}  // namespace Audience

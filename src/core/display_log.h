#pragma once
// The display log: the record of everything shown, how lines are appended to it (the two line-break
// policies and the position marker, the fixed-width split), and what undo needs: the byte sizes of
// the last changes, the last texts shown and the range of the newest entry.
#include "core/record.h"

#include <QByteArray>
#include <QObject>
#include <array>
#include <functional>

class QTextDocument;

namespace Core {

// The display options every append and undo reads at the moment of use.
struct DisplayMode {
    bool marker = false;         // "表示する。" (position marker)
    bool blankLineOnly = false;  // "空行のみ改行"
};

class DisplayLog : public QObject {
    Q_OBJECT
public:
    explicit DisplayLog(QTextDocument* document, QObject* parent = nullptr);

    Record& record() { return record_; }
    const Record& record() const { return record_; }

    // The last five texts put on the display, newest first.
    const std::array<QByteArray, 5>& history() const { return history_; }
    void pushHistory(const QByteArray& text);
    void popHistory();
    // Byte sizes of the last 15 changes of the record, newest first.
    const std::array<qsizetype, 15>& changeLengths() const { return changes_; }
    qsizetype lastRecordLength() const { return lastLength_; }
    void setUndoInProgress(bool on) { undoInProgress_ = on; }
    // Forget every change and text: the next undo does nothing until new text arrives.
    void resetUndoState();
    // A change of the record's head (old lines trimmed, filler taken out or put in) that is not a
    // change for undo: the change entries keep describing the newest text at the end.
    void editHead(const std::function<void(Record&)>& change);

    // A line of code page 932 text (empty: an empty line). `endCheck` first makes sure the record
    // ends with a line break when the marker is on.
    void appendLine(const QByteArray& text, bool endCheck, DisplayMode mode);
    // One piece of the fixed-width split: into the history, then appended without marker.
    void appendPiece(const QByteArray& piece, DisplayMode mode);
    // The text split into lines of `width` columns after the record's last line.
    void showSplit(const QByteArray& text, int width, DisplayMode mode);

    // The marker at the end of the last line ("■" line or "◆" after text), if it is there.
    void removeMarker(DisplayMode mode);
    // Only the marker's two bytes before the final line break, in either line-break mode.
    void removeMarkerChars();
    void putMarkerBack(DisplayMode mode);

    // The byte range of the newest display entry and how many change entries it made.
    struct UndoRange {
        qsizetype start = 0;
        qsizetype length = 0;
        int entries = 1;
    };
    UndoRange newestEntryRange(DisplayMode mode) const;
    // Removes the newest entry from the end of the record; false (nothing done) when no change is
    // recorded. The history is the caller's to pop.
    bool removeNewestEntry(DisplayMode mode);
    // The last character of the record, with the marker kept in place.
    void deleteLastChar(DisplayMode mode);

signals:
    // After the bookkeeping has taken in a change of the record.
    void changed();

private:
    void recordChanged();
    void dropChangeEntries(int entries);

    Record record_;
    std::array<QByteArray, 5> history_;
    std::array<qsizetype, 15> changes_{};
    qsizetype lastLength_ = 0;
    bool undoInProgress_ = false;
};

}  // namespace Core

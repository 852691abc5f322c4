#pragma once
// The display record: every caption line shown so far, in one QTextDocument that the word-processor
// screen shows and edits, wrapped at the display width into display lines. The record keeps, per
// block, its byte length in code page 932 and its display lines, so a change costs the changed
// blocks and never the whole record. Line breaks count two bytes (CR LF), as in saved files.
#include <QFont>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QTextCursor;
class QTextDocument;

namespace Core {

class Record : public QObject {
    Q_OBJECT
public:
    explicit Record(QTextDocument* document, QObject* parent = nullptr);

    QTextDocument* document() const { return doc_; }

    // While the record is only painted line by line, its document keeps no layout of its own: a
    // layout of hundreds of kilobytes redone on every appended line is what made long sessions
    // slow. The word-processor screen asks for the full layout while it shows the record.
    void setFullLayout(bool on);

    // Font and width the display lines are wrapped at (the display area's).
    void setWrap(const QFont& font, int width);
    int wrapWidth() const { return width_; }

    // Bytes of the whole text with CR LF breaks.
    qsizetype byteLength() const { return bytes_ + 2 * qsizetype(blocks_.size() - 1); }
    // Display lines, not counting the empty position after the last line break.
    int lineCount() const;
    // Text of display line `index` (0-based); empty outside the record.
    QString displayLine(int index) const;

    // Record lines (between CR LF breaks).
    bool endsWithLineBreak() const;
    int recordLineCount() const;   // lines, without the empty position after the last break
    QString lastLine() const;      // the last record line (before the final break), or ""
    QString line(int index) const; // record line `index`, or "" outside the record
    QStringList lines() const;     // every record line

    // Each of these is one change of the record.
    void setText(const QString& text);
    void addLine(const QString& text);            // a new last line (after a break if needed)
    void appendToLastLine(const QString& text);   // joined to the last line, before its break
    void appendLineBreak();                       // the record ends with a break afterwards
    // Removes `length` bytes starting at byte `start`; the cut is widened to whole characters.
    void removeBytes(qsizetype start, qsizetype length);
    // Removes the last character of the last line (its break stays). False when there is none.
    bool removeLastCharOfLastLine();
    // Removes the last record line with its break.
    void removeLastLine();
    // Removes `count` record lines from line `first` on, with their breaks.
    void removeLines(int first, int count);
    // Inserts `lines`, each with its break, before record line `before` (at the top for 0).
    void insertLines(int before, const QStringList& lines);

    // Document position of a byte offset, and the byte offset of a position.
    int positionOfByte(qsizetype byteOffset) const;
    qsizetype byteOfPosition(int position) const;

signals:
    // After the bookkeeping has taken in a change (one per edit block).
    void changed();

private:
    struct BlockInfo {
        int bytes = 0;
        int lines = 1;
        std::vector<int> lineStarts;  // character offsets of the display lines after the first
    };
    void onContentsChange(int position, int removed, int added);
    BlockInfo measure(const QString& text) const;
    void rebuild();
    void edit(const std::function<void(QTextCursor&)>& change);

    QTextDocument* doc_;
    bool fullLayout_ = false;
    QFont font_;
    int width_ = 0;
    std::vector<BlockInfo> blocks_;  // parallel to the document's blocks
    qsizetype bytes_ = 0;            // text bytes of all blocks, breaks not included
    qsizetype lines_ = 0;            // display lines of all blocks
};

}  // namespace Core

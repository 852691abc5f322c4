#include "core/display_log.h"

#include "core/columns.h"
#include "text/cp932.h"

#include <algorithm>

namespace Core {
namespace {

const QString kSquare = QStringLiteral("■");
const QString kDiamond = QStringLiteral("◆");

void appendPlain(Record& r, bool blankOnly, const QString& text) {
    if (blankOnly) {
        if (text.isEmpty()) r.addLine(QString());
        else r.appendToLastLine(text);
    } else {
        r.addLine(text);
    }
}

}  // namespace

DisplayLog::DisplayLog(QTextDocument* document, QObject* parent) : QObject(parent), record_(document) {
    connect(&record_, &Record::changed, this, &DisplayLog::recordChanged);
    lastLength_ = record_.byteLength();
}

void DisplayLog::recordChanged() {
    const qsizetype length = record_.byteLength();
    if (!undoInProgress_) {
        std::move_backward(changes_.begin(), changes_.end() - 1, changes_.end());
        changes_[0] = length - lastLength_;
        lastLength_ = length;
    }
    emit changed();
}

void DisplayLog::editHead(const std::function<void(Record&)>& change) {
    const bool during = undoInProgress_;
    undoInProgress_ = true;
    change(record_);
    undoInProgress_ = during;
    lastLength_ = record_.byteLength();
}

void DisplayLog::pushHistory(const QByteArray& text) {
    std::move_backward(history_.begin(), history_.end() - 1, history_.end());
    history_[0] = text;
}

void DisplayLog::popHistory() {
    std::move(history_.begin() + 1, history_.end(), history_.begin());
    history_.back().clear();
}

void DisplayLog::resetUndoState() {
    changes_.fill(0);
    lastLength_ = record_.byteLength();
    undoInProgress_ = false;
    for (QByteArray& h : history_) h.clear();
}

// The marker sits either as a line of its own ("■") or at the end of the last line ("◆", or "■"
// in blank-line-only mode). It is removed only where it really is, so a caption is never taken
// for a marker.
void DisplayLog::removeMarker(DisplayMode mode) {
    const QString last = record_.lastLine();
    if (!mode.blankLineOnly && last == kSquare) record_.removeLastLine();
    else if (last.endsWith(kDiamond) || last.endsWith(kSquare)) record_.removeLastCharOfLastLine();
}

void DisplayLog::removeMarkerChars() {
    const QString last = record_.lastLine();
    if (last.endsWith(kSquare) || last.endsWith(kDiamond)) record_.removeLastCharOfLastLine();
}

void DisplayLog::putMarkerBack(DisplayMode mode) {
    if (mode.blankLineOnly) record_.appendToLastLine(kDiamond);
    else record_.addLine(kSquare);
}

void DisplayLog::appendLine(const QByteArray& bytes, bool endCheck, DisplayMode mode) {
    const QString text = Cp932::decode(bytes);
    if (!mode.marker) {
        appendPlain(record_, mode.blankLineOnly, text);
        return;
    }
    if (endCheck && !record_.endsWithLineBreak() && record_.recordLineCount() > 0) record_.appendLineBreak();
    removeMarker(mode);
    if (mode.blankLineOnly) {
        if (text.isEmpty()) record_.addLine(kSquare);
        else record_.appendToLastLine(text + kDiamond);
    } else {
        record_.addLine(text);
        record_.addLine(kSquare);
    }
}

void DisplayLog::appendPiece(const QByteArray& piece, DisplayMode mode) {
    pushHistory(piece);
    appendPlain(record_, mode.blankLineOnly, Cp932::decode(piece));
}

void DisplayLog::showSplit(const QByteArray& text, int width, DisplayMode mode) {
    const QByteArray last = Cp932::encode(record_.lastLine());
    for (const QByteArray& piece : SplitFixedWidth(last, text, width, mode.blankLineOnly)) appendPiece(piece, mode);
}

DisplayLog::UndoRange DisplayLog::newestEntryRange(DisplayMode mode) const {
    // The record counts a line break as two bytes everywhere, so each shown text is exactly its
    // recorded changes: the text, and with the marker the marker's removal and return.
    const qsizetype L = record_.byteLength();
    const qsizetype e0 = changes_[0], e1 = changes_[1];
    UndoRange r;
    if (mode.marker && mode.blankLineOnly) {
        r.length = e0 - 2;  // the text, without the "◆" that came with it
        r.start = L - r.length - 4;
        r.entries = 2;
    } else if (mode.marker) {
        r.length = e1;  // the text line, above the "■" line
        r.start = L - r.length - e0;
        r.entries = 3;
    } else if (mode.blankLineOnly) {
        r.length = e0;
        r.start = L - r.length - 2;
    } else {
        r.length = e0;
        r.start = L - r.length;
    }
    r.start = qBound<qsizetype>(0, r.start, L);
    r.length = qBound<qsizetype>(0, r.length, L - r.start);
    return r;
}

void DisplayLog::dropChangeEntries(int entries) {
    auto& c = changes_;
    if (entries == 1) {
        std::move(c.begin() + 1, c.begin() + 5, c.begin());
        c[4] = 0;
    } else if (entries == 2) {
        std::move(c.begin() + 2, c.begin() + 10, c.begin());
        c[8] = c[9] = 0;
    } else {
        std::move(c.begin() + 3, c.end(), c.begin());
        c[12] = c[13] = c[14] = 0;
    }
}

bool DisplayLog::removeNewestEntry(DisplayMode mode) {
    undoInProgress_ = true;
    if (changes_[0] <= 0) return false;
    const UndoRange r = newestEntryRange(mode);
    dropChangeEntries(r.entries);
    record_.removeBytes(r.start, r.length);
    lastLength_ = record_.byteLength();
    return true;
}

void DisplayLog::deleteLastChar(DisplayMode mode) {
    resetUndoState();
    if (mode.marker) removeMarker(mode);
    // The last character of the record; an empty last line goes as a whole, so the record keeps
    // ending with its line break.
    if (!record_.removeLastCharOfLastLine() && record_.recordLineCount() > 0) record_.removeLastLine();
    if (mode.marker) record_.appendToLastLine(kDiamond);
    resetUndoState();
}

}  // namespace Core

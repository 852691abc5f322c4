#pragma once
// The pre-roll: a plain-text document sent line by line with F1. What F1 takes, how the pane is
// edited afterwards and where the caret lands, the lines around the caret that feed the partners'
// pre-roll monitors, and the line a received linkage number points at. All of it works on the
// pane's QTextDocument, so the window only hands over its caret and sets it back.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <functional>

class QTextDocument;

namespace Core::Preroll {

// A line of this many bytes or more is never sent; the monitor feed shows the warning instead.
inline constexpr qsizetype kLineLimit = 1024;
const QString& TooLongWarning();  // "［警告］前ロールの１行の文字数が１０２４バイト以上です。"

// A line whose first two characters are the half-width "<-" is a comment: F1 passes over it.
bool IsCommentLine(QStringView line);

struct SendOptions {
    bool beforeCaret = false;       // "ｶｰｿﾙより前を送る。"
    bool removeSent = false;        // "送った部分は消す。"
    bool appendToPrevious = false;  // "消文を前行に追加"
    int advance = 1;                // "進める桁数", in bytes (a line end counts 2)
};

enum class Taken {
    Comment,  // nothing sent; the comment line is selected and the caret is on the next line
    TooLong,  // nothing sent, nothing moved
    Refused,  // the send path refused the text (it said why): the pane unchanged, the caret where it was
    Sent,
};

// The pane's selection after F1: the caret is `position`, the selection runs from `anchor`.
struct Caret {
    int anchor = 0;
    int position = 0;
};

struct F1Result {
    Taken taken = Taken::Sent;
    Caret caret;
    bool scrollLine = false;  // the pane scrolls one line on
};

// F1 with the caret at document position `caret`. `send` gets the text (code page 932, without a
// line break) after it was taken and before the pane is edited, as the send path runs first; it
// answers false when it refused the text, which then stays in the pane.
using Send = std::function<bool(const QByteArray&)>;
F1Result SendCaretLine(QTextDocument& doc, int caret, const SendOptions& options, const Send& send);

// Index of the line (block) holding document position `position`.
int LineAt(const QTextDocument& doc, int position);

// Start of line `line`, or of the last line when the pane has fewer lines.
int LineStart(const QTextDocument& doc, int line);

// The pre-roll monitor's two parts for the caret line L (k = 2 with doubling, else 1): the lower
// part is line L and the lines after it, 5k at most, stopping at the last line; the upper part the
// 2k lines above L, top first, " " standing for a line above the first. Lines of kLineLimit bytes
// or more are replaced by the warning. Texts are code page 932; an empty line stays empty here.
struct MonitorLines {
    QList<QByteArray> lower;
    QList<QByteArray> upper;
};
MonitorLines MonitorFeed(const QTextDocument& doc, int caretLine, bool doubled);

// The lines of a file appended to a pane in slices: each call appends lines until `budgetMs` have
// passed (at least one line), so the window returns to its events between slices.
class Appender {
public:
    Appender(QTextDocument& doc, QList<QString> lines);
    // True while lines are left.
    bool step(int budgetMs);
    bool done() const { return next_ >= lines_.size(); }
    qsizetype appended() const { return next_; }

private:
    QTextDocument& doc_;
    QList<QString> lines_;
    qsizetype next_ = 0;
};

// Bytes of the document's text with CR LF line ends.
qsizetype ByteLength(const QTextDocument& doc);

}  // namespace Core::Preroll

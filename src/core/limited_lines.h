#pragma once
// A read-only pane fed line by line under a byte limit (the pre-roll monitor's parts): once the
// next line would pass the limit, the pane takes no more text until it is cleared.
#include <QByteArray>
#include <QList>

namespace Core {

class LimitedLines {
public:
    explicit LimitedLines(qsizetype limit) : limit_(limit) {}

    // False (nothing changed) when the line with its CR LF would pass the limit.
    bool append(const QByteArray& line);
    void clear();
    const QList<QByteArray>& lines() const { return lines_; }
    qsizetype bytes() const { return bytes_; }
    qsizetype limit() const { return limit_; }

private:
    qsizetype limit_;
    qsizetype bytes_ = 0;
    QList<QByteArray> lines_;
};

}  // namespace Core

#pragma once
// Keeps a flood of one kind of message off the explanation page: the first message of a kind is
// written, the ones that follow within the minute are only counted, and once the minute is over the
// count is written as one line. A stranger sending a thousand invalid addresses a second thus adds
// two lines a minute to the page, and the typist still sees that it happens and how often.
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <utility>

namespace Core {

class RepeatGate {
public:
    static constexpr qint64 kWindowMs = 60000;

    // Whether a message of `kind` arriving at `now` is written; false: it is counted instead.
    // Take the overdue counts first, so that a count is written before the next message.
    bool admit(const QString& kind, const QDateTime& now);
    // The kinds whose minute is over at `now` and that had messages left out, with how many; their
    // count starts again (the next message of the kind is written).
    QList<std::pair<QString, qint64>> takeOverdue(const QDateTime& now);
    // Kinds being counted now (at most the handful of kinds the program has).
    qsizetype kinds() const { return windows_.size(); }

private:
    struct Window {
        QDateTime since;
        qint64 left = 0;  // messages counted, not written
    };
    static bool over(const Window& w, const QDateTime& now);
    QMap<QString, Window> windows_;
};

}  // namespace Core

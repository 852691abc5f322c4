#pragma once
// The scheduled notices of the contact window ("定時連絡"): every N minutes a notice, and 30
// seconds before it an advance notice. The schedule keeps its next moment as an absolute time,
// so a schedule that runs past midnight fires when it is due instead of a day late.
#include <QDateTime>
#include <QString>
#include <optional>

namespace Core {

class ContactSchedule {
public:
    static constexpr qint64 kAdvanceMs = 30000;

    // "定時連絡" checked: the first notice is `minutes` from now, its advance notice pending.
    void start(const QDateTime& now, int minutes);
    // Unchecked: nothing pending.
    void stop();
    bool running() const { return running_; }

    // The interval was changed while the schedule runs: the next notice is `minutes` from now.
    void restart(const QDateTime& now, int minutes);

    // What one tick of the one-second timer asks for, in this order: the notice (after which the
    // next one is due `minutes` later), then the advance notice. An interval below one minute asks
    // for nothing.
    struct Tick {
        bool notice = false;
        bool advance = false;
    };
    Tick tick(const QDateTime& now, int minutes, bool advanceOn);

    // Milliseconds until the next notice (negative when it is overdue).
    qint64 remainingMs(const QDateTime& now) const;
    QDateTime next() const;

private:
    qint64 next_ = 0;  // milliseconds since the epoch
    bool advancePending_ = false;
    bool running_ = false;
};

// "定時連絡：＜停止中＞"
QString ScheduleStoppedText();
// "残り時間：　" whole minutes "分　" seconds (0 … 59) "秒"
QString RemainingText(qint64 ms);
// The time line added to a notice: "（" hour "時" minute "分" second "秒)".
QString NoticeTimeLine(const QTime& time);

// The interval field typed by hand: nullopt when it holds an integer, otherwise its replacement
// ("0" for an empty field, "5" for anything else).
std::optional<QString> CorrectedInterval(const QString& text);
// The minutes of an interval field (0 when it holds no integer).
int IntervalMinutes(const QString& text);

}  // namespace Core

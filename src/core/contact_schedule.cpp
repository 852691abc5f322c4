#include "core/contact_schedule.h"

namespace Core {

namespace {
constexpr qint64 kMinuteMs = 60000;

// A decimal integer as the field must hold it: an optional sign and ASCII digits.
std::optional<int> integerOf(const QString& text) {
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    if (i == text.size()) return std::nullopt;
    for (qsizetype k = i; k < text.size(); ++k)
        if (text[k] < u'0' || text[k] > u'9') return std::nullopt;
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}
}  // namespace

void ContactSchedule::start(const QDateTime& now, int minutes) {
    running_ = true;
    next_ = now.toMSecsSinceEpoch() + minutes * kMinuteMs;
    advancePending_ = true;
}

void ContactSchedule::stop() {
    running_ = false;
    advancePending_ = false;
}

void ContactSchedule::restart(const QDateTime& now, int minutes) {
    if (running_) next_ = now.toMSecsSinceEpoch() + minutes * kMinuteMs;
}

ContactSchedule::Tick ContactSchedule::tick(const QDateTime& now, int minutes, bool advanceOn) {
    Tick t;
    // Without an interval (the field emptied to "0" while typing a new one) nothing is due: a
    // notice every second to every member would be the result.
    if (!running_ || minutes < 1) return t;
    const qint64 ms = now.toMSecsSinceEpoch();
    if (ms >= next_) {
        t.notice = true;
        next_ += minutes * kMinuteMs;
        advancePending_ = true;
    }
    if (advanceOn && advancePending_ && ms >= next_ - kAdvanceMs) {
        advancePending_ = false;
        t.advance = true;
    }
    return t;
}

qint64 ContactSchedule::remainingMs(const QDateTime& now) const { return next_ - now.toMSecsSinceEpoch(); }

QDateTime ContactSchedule::next() const { return QDateTime::fromMSecsSinceEpoch(next_); }

QString ScheduleStoppedText() { return QStringLiteral("定時連絡：＜停止中＞"); }

QString RemainingText(qint64 ms) {
    const qint64 seconds = ms / 1000;
    return QStringLiteral("残り時間：　%1分　%2秒").arg(seconds / 60).arg(seconds % 60);
}

QString NoticeTimeLine(const QTime& time) {
    return QStringLiteral("（%1時%2分%3秒）").arg(time.hour()).arg(time.minute()).arg(time.second());
}

std::optional<QString> CorrectedInterval(const QString& text) {
    if (text.isEmpty()) return QStringLiteral("0");
    if (integerOf(text)) return std::nullopt;
    return QStringLiteral("5");
}

int IntervalMinutes(const QString& text) { return integerOf(text).value_or(0); }

}  // namespace Core

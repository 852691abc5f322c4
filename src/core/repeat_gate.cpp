#include "core/repeat_gate.h"

namespace Core {

bool RepeatGate::admit(const QString& kind, const QDateTime& now) {
    auto it = windows_.find(kind);
    if (it != windows_.end() && !over(*it, now)) {
        ++it->left;
        return false;
    }
    windows_[kind] = {now, 0};  // a window over with a count still in it was taken first
    return true;
}

bool RepeatGate::over(const Window& w, const QDateTime& now) {
    return now < w.since || w.since.msecsTo(now) >= kWindowMs;  // a clock set back ends it too
}

QList<std::pair<QString, qint64>> RepeatGate::takeOverdue(const QDateTime& now) {
    QList<std::pair<QString, qint64>> out;
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (!over(*it, now)) {
            ++it;
            continue;
        }
        if (it->left > 0) out.append({it.key(), it->left});
        it = windows_.erase(it);
    }
    return out;
}

}  // namespace Core

#pragma once
// The time the audience side stamps lines with. Injected so that a test can move time by hand.
#include <QDateTime>

namespace Audience {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

}  // namespace Audience

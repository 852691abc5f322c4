#pragma once
// The time the audience side stamps lines with: the station's clock, so a test can move it by hand.
#include "core/clock.h"

namespace Audience {

using Clock = Core::Clock;

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

}  // namespace Audience

#pragma once
// Time of day with milliseconds, and the date: the system clock in the program, a settable one in
// tests.
#include <QDateTime>

namespace Core {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

}  // namespace Core

#include "core/typing_rate.h"

#include <algorithm>
#include <numeric>

namespace Core {

void TypingRate::start(qsizetype recordBytes) {
    minutes_.fill(0);
    lastHalf_ = recordBytes / 2;
    figures_ = {};
}

TypingRate::Figures TypingRate::tick(qsizetype recordBytes) {
    std::move_backward(minutes_.begin(), minutes_.end() - 1, minutes_.end());
    const qsizetype half = recordBytes / 2;
    minutes_[0] = int(half - lastHalf_);
    figures_.now = minutes_[0];
    figures_.maxMinute = std::max(figures_.maxMinute, figures_.now);
    figures_.average = std::accumulate(minutes_.begin(), minutes_.end(), 0) / 10;
    figures_.maxAverage = std::max(figures_.maxAverage, figures_.average);
    lastHalf_ = half;
    return figures_;
}

}  // namespace Core

#pragma once
// Typing-rate statistics: once a minute, how many characters reached the display record. A
// character is two bytes of the record, so two half-width characters count as one.
#include <QtGlobal>
#include <array>

namespace Core {

class TypingRate {
public:
    struct Figures {
        int now = 0;         // the last minute
        int maxMinute = 0;   // the largest minute since switching on
        int average = 0;     // the last ten minutes, unmeasured minutes as 0
        int maxAverage = 0;  // the largest average since switching on
    };

    // Switching on: every figure zero, the record as it is now as the baseline.
    void start(qsizetype recordBytes);
    // The minute is over: the figures with the record as it is now.
    Figures tick(qsizetype recordBytes);
    // The record lost `bytes` from its head (the periodic clear); what was typed in this minute
    // still counts.
    void headRemoved(qsizetype bytes) { lastHalf_ -= bytes / 2; }
    // Over a limit of characters per minute: strictly more than it.
    bool over(int limit) const { return limit < figures_.now; }

    const Figures& figures() const { return figures_; }
    const std::array<int, 10>& minutes() const { return minutes_; }

private:
    std::array<int, 10> minutes_{};  // newest first
    qsizetype lastHalf_ = 0;
    Figures figures_;
};

}  // namespace Core

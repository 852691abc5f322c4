#pragma once
// The karaoke remote's arithmetic: the slider runs over 0 … 100 percent of the current line, a
// key moves it by whole columns of a line of `columns` columns, and a line that is complete starts
// again at the left. All divisions are integer divisions.
#include <optional>

namespace Core::Karaoke {

inline constexpr int kMaximum = 100;

// Percent moved by `step` columns of a line of `columns` columns.
constexpr int StepPercent(int step, int columns) { return columns > 0 ? step * 100 / columns : 0; }

// The column reached at `position` percent.
constexpr int ColumnReached(int position, int columns) { return position * columns / 100; }

// Where the slider jumps after reaching `position`: at 100 or more the line is complete and the
// next stroke starts at 1; at 0 or less it goes to 99; otherwise it stays.
constexpr std::optional<int> WrapAfter(int position) {
    if (position >= kMaximum) return 1;
    if (position <= 0) return kMaximum - 1;
    return std::nullopt;
}

// A step field's value as used: a value below 1 (or none) counts as 1.
constexpr int StepValue(std::optional<int> typed) { return typed && *typed >= 1 ? *typed : 1; }

}  // namespace Core::Karaoke

#pragma once
// The smooth screen's arithmetic: which display lines are drawn where on each tick, and when a
// line has finished scrolling in. The step counter, not wall time, drives the motion, so a busy
// machine scrolls slower rather than skipping.
#include <algorithm>
#include <climits>
#include <vector>

namespace Core {

struct SmoothScroller {
    int lineCount = 0;        // display lines of the record, as last seen
    int shownLine = 0;        // the line brought in at the bottom
    int visibleLines = 6;     // "表示行数"
    int lineSpacing = 60;     // "行間", pixels
    int scrollStep = 2;       // "ｽｸﾛｰﾙ・移動量", pixels per tick
    int stepsPerLine = 30;    // ticks per line
    int scrollInterval = 30;  // "ｽｸﾛｰﾙ・間隔", ms
    int stepCounter = 0;      // ticks done for the current line
    int latchedSpacing = 60, latchedStep = 2, latchedSteps = 30;
    int baseStep = 2;         // the user's step, restored after acceleration
    int accelerateAfter = 5;
    int accelerationFactor = 2;
    bool accelerating = false;
    int correctionLines = 6;

    struct Placed {
        int line;  // display line index (may lie outside the record: drawn empty)
        int y;     // top of the line on the canvas
    };

    void latch() {
        latchedSpacing = lineSpacing;
        latchedStep = scrollStep;
        latchedSteps = stepsPerLine;
    }

    // No screen holds more lines than this; a line count from a settings file or a partner's
    // transfer may be anything, a negative one included.
    static constexpr int kMostVisibleLines = 1000;

    // Lines i = 0 … visibleLines at the current offset (none for a count below zero).
    std::vector<Placed> placement() const {
        const int n = std::clamp(visibleLines, -1, kMostVisibleLines);
        std::vector<Placed> out;
        out.reserve(size_t(n + 1));
        for (int i = 0; i <= n; ++i) {
            const long long y = 1LL * i * latchedSpacing - 1LL * stepCounter * latchedStep;
            out.push_back({shownLine - (n - i), int(std::clamp<long long>(y, INT_MIN, INT_MAX))});
        }
        return out;
    }

    // The bookkeeping after a tick has drawn; true while the timer must keep running.
    bool advance() {
        if (shownLine < lineCount) {
            if (stepCounter < latchedSteps) {
                ++stepCounter;
                return true;
            }
            ++shownLine;
        }
        stepCounter = 0;
        return shownLine < lineCount;
    }

    // Jump to the newest lines (redraw after "再", F2, undo and corrections).
    void jumpToEnd(int recordLines) {
        lineCount = recordLines;
        shownLine = recordLines;
        stepCounter = 0;
    }
};

}  // namespace Core

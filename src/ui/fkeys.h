#pragma once
// F1 … F12 of a pane that types caption lines: the main input pane, the two sub-input panes and
// the six palette panes follow one set of rules; what a pane does differently is given by its owner.
#include <QString>
#include <functional>

class QKeyEvent;
class TextPane;

namespace App {

struct PaneKeyLinks;

struct FKeyActions {
    std::function<void(int fkey)> insertMemo;  // the F-key memo's phrase (F1 … F8, F11)
    // F1: the captured reading instead of the phrase while a reading option is on (unset: never).
    std::function<bool()> readingOn;
    std::function<void()> insertReading;
    std::function<bool()> correctionTemplate;  // F7: true when the pane took the template
    std::function<bool(bool shift)> brackets;  // F8: true when the pane was bracketed
    std::function<void(bool shift)> undo;      // F9
    std::function<bool()> delClsKeys;          // F11 and Shift+F11 delete and clear
    std::function<void(bool shift)> deleteKey;
    bool memoOnF11 = true;  // F11 without those keys: the phrase (or nothing)
    std::function<void()> f12;
};

// The actions of a pane of another window, through the keys the main input pane lends it; `undoTag`
// is the log entry of its F9. F1 inserts the phrase, F12 is the owner's to set.
FKeyActions LinkedFKeyActions(TextPane* pane, const PaneKeyLinks& links, const QString& undoTag);

// One of F1 … F12 pressed in a pane: true when handled (F10 is not).
bool FKeyDown(const FKeyActions& pane, const QKeyEvent* event);

}  // namespace App

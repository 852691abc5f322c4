#pragma once
// The numbered settings file's key table: one entry per key, contributed by the window that owns
// the control (its rows, settings/rows.h, and hooks for values it holds itself). Reader and writer
// see only these entries, so they stay free of widgets; binders in the windows fill `read` and `apply`.
#include "settings/geometry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <array>
#include <functional>
#include <vector>

namespace Settings {

// How a value is written and read. `Unused` is key 030, written as the bare line "030:未使用".
enum class Kind { Int, Colour, FontName, OnOff, TrueFalse, FontStyle, Word, Text, Digit, Command, Unused };

struct Entry {
    int key = -1;
    QByteArray comment, commentOff;             // exact code page 932 bytes; commentOff for two-comment keys
    Kind kind = Kind::Text;
    std::function<QByteArray()> read;           // control -> value (absent: never written)
    std::function<void(QByteArrayView)> apply;  // through the control's setter, so its handler runs
    QByteArray commentThird;                    // Digit (868) only: the comment of the value "1"
    bool valueToLastColon = false;              // the value runs to the line's last colon (a web address)
    Extent extent = Extent::None;               // a window's (or pane's) height, width or place
};

// Keys live in 000…998 (999 is the header). A key may be added once: a second entry for it is
// refused and remembered, so a test over the assembled table can name every offender.
class KeyTable {
public:
    KeyTable();

    bool add(Entry entry);                          // false (table unchanged) on a duplicate or bad key
    const Entry* find(int key) const;               // nullptr for a key the table does not hold
    const std::vector<Entry>& entries() const { return entries_; }  // in the order they were added
    const QList<int>& rejectedKeys() const { return rejected_; }
    qsizetype size() const { return qsizetype(entries_.size()); }

private:
    static constexpr int kKeyCount = 999;
    std::vector<Entry> entries_;
    std::array<int, kKeyCount> index_;  // key -> position in entries_, -1 when absent
    QList<int> rejected_;
};

}  // namespace Settings

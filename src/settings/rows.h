#pragma once
// Declarative rows of the numbered settings file: one row per key a control shows, as plain data
// (the key, the control's designer name, the kind, the comments, the value the window is built
// with and the value "初期値に戻す" applies). A window lists its rows once, in the order of its
// reset; one generic binder ties each row to its control by name and one resetter applies the
// reset values. A row without a key is a control only the reset sets, or a step of the reset (a
// member function of the window) that no single value expresses.
#include "settings/key_table.h"

#include <span>

namespace Settings {

template <class Owner>
struct Row {
    int key = -1;                      // -1: no key (a control or a step of the reset alone)
    const char* control = nullptr;     // objectName of a check box or an edit field (a radio button
                                       // for a row without a key) within the window
    Kind kind = Kind::Text;            // OnOff or TrueFalse for a check box; Int or Text for an edit field
    const char16_t* comment = nullptr;
    const char16_t* commentOff = nullptr;  // the comment of the unchecked state of a two-comment key
    const char16_t* design = nullptr;  // the value as the window is built, in the file's words
    const char16_t* reset = nullptr;   // the value "初期値に戻す" applies when it is not `design`
    bool kept = false;                 // the reset leaves the control as it is
    void (Owner::*step)() = nullptr;   // run by the reset after the row's value
    bool valueToLastColon = false;     // a web address: the value runs to the line's last colon

    // The value the reset applies, or nullptr.
    const char16_t* resetValue() const { return kept ? nullptr : reset ? reset : design; }
};

template <class Owner>
using Rows = std::span<const Row<Owner>>;

// The row of `control`, or nullptr.
template <class Owner>
const Row<Owner>* rowOf(Rows<Owner> rows, QByteArrayView control) {
    for (const Row<Owner>& r : rows)
        if (r.control && control == r.control) return &r;
    return nullptr;
}

}  // namespace Settings

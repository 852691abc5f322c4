#pragma once
// Binders of the numbered settings file: each one ties a key of the table to a control or a
// property of a window, with the control's own setter on reading, so that its handler runs as if
// the user had changed it. They are the only settings code that touches widgets.
#include "settings/key_table.h"
#include "settings/rows.h"
#include "settings/values.h"

#include <QFont>
#include <QMultiHash>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringView>
#include <functional>

class QWidget;

namespace Bind {

using Settings::Kind;
using Settings::KeyTable;

// Code page 932 bytes of a comment.
QByteArray comment(QStringView text);

// A word kept elsewhere than in an edit field (the item chosen in a list, say).
void choice(KeyTable& t, int key, QStringView text, std::function<QString()> get, std::function<void(const QString&)> set);
// A number kept elsewhere than in an edit field.
void number(KeyTable& t, int key, QStringView text, std::function<int()> get, std::function<void(int)> set);
// A Windows colour value (0x00BBGGRR, negative for a system colour).
void colour(KeyTable& t, int key, QStringView text, std::function<qint32()> get, std::function<void(qint32)> set);
// A font's face name, point size and styles, read from `get` and applied by changing that
// property of the font and handing it to `set`.
void fontName(KeyTable& t, int key, QStringView text, std::function<QFont()> get, std::function<void(const QFont&)> set);
void fontSize(KeyTable& t, int key, QStringView text, std::function<QFont()> get, std::function<void(const QFont&)> set);
void fontStyle(KeyTable& t, int key, Settings::FontStyle style, QStringView on, QStringView off,
               std::function<QFont()> get, std::function<void(const QFont&)> set);
// Whether a window is shown: as on/off or true/false with two comments, or as a word.
void visible(KeyTable& t, int key, QWidget* window, Kind kind, QStringView on, QStringView off);
void word(KeyTable& t, int key, QWidget* window, QStringView shown, QStringView hidden, QStringView text);
// A window's height, width, top and left under four keys (in that order of meaning), taken within
// the screens and no smaller than `smallest` (Settings::FitExtent): a file or a transfer may hold
// any number.
struct Geometry {
    int height, width, top, left;
};
void geometry(KeyTable& t, QWidget* window, Geometry keys, QStringView height, QStringView width, QStringView top,
              QStringView left, QSize smallest = Settings::kSmallestWindow);
// A widget's height or width alone, likewise within the screens.
void height(KeyTable& t, int key, QWidget* w, QStringView text);
void width(KeyTable& t, int key, QWidget* w, QStringView text);
// The bounding box of every screen's available area.
QRect screensArea();
// A key that is read but never written (071, 072, 139).
void readOnly(KeyTable& t, int key, Kind kind, std::function<void(QByteArrayView)> apply);

// The named descendants of a window, found in one walk of it for all its rows. A name that is
// missing or not unique is a fault of the window's build and stops the program at once.
class Controls {
public:
    explicit Controls(QWidget* window);
    QWidget* named(const char* name) const;
    // The control as its class; another class is a fault of the build, like a missing name.
    template <class T>
    T* named(const char* name) const {
        T* control = qobject_cast<T*>(named(name));
        if (!control) wrongClass(name);
        return control;
    }

private:
    [[noreturn]] void wrongClass(const char* name) const;

    QWidget* window_;
    QMultiHash<QString, QWidget*> byName_;
};

// The control `name` of a window: a check box as "on"/"off" or "true"/"false" (`off`, when not
// empty, the comment of the unchecked state), an edit field's text or number (written as the field
// holds it), or a web address whose value runs to the line's last colon.
void control(KeyTable& t, const Controls& controls, int key, const char* name, Kind kind, QStringView on, QStringView off,
             bool valueToLastColon);
// Sets that control (or a radio button, for a row without a key) to `value` (the file's words)
// through its own setter, as reading the file does.
void setControl(const Controls& controls, const char* name, Kind kind, QByteArrayView value);

// Every row that names a control and a key, the controls found among `controls` (a window's, found
// once for its rows and its other bindings) or among `window`'s.
template <class Owner>
void rows(KeyTable& t, const Controls& controls, Settings::Rows<Owner> list) {
    for (const Settings::Row<Owner>& r : list)
        if (r.control && r.key >= 0) control(t, controls, r.key, r.control, r.kind, r.comment, r.commentOff, r.valueToLastColon);
}
template <class Owner>
void rows(KeyTable& t, Owner* window, Settings::Rows<Owner> list) {
    rows<Owner>(t, Controls(window), list);
}

// "初期値に戻す": each row's reset value and then its step, in the rows' order.
template <class Owner>
void reset(Owner& window, Settings::Rows<Owner> rows) {
    const Controls controls(&window);
    for (const Settings::Row<Owner>& r : rows) {
        if (r.control && r.resetValue()) setControl(controls, r.control, r.kind, comment(r.resetValue()));
        if (r.step) (window.*r.step)();
    }
}

}  // namespace Bind

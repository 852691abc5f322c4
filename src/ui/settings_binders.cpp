#include "ui/settings_binders.h"

#include "ui/fonts.h"
#include "text/cp932.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QLineEdit>
#include <QWidget>

namespace Bind {
namespace {

using Settings::Entry;

// Two-comment keys write the comment of the state they hold.
Entry entry(int key, Kind kind, QStringView on, QStringView off = {}) {
    Entry e;
    e.key = key;
    e.kind = kind;
    e.comment = comment(on);
    if (!off.isNull()) e.commentOff = comment(off);
    return e;
}

bool positive(Kind kind, QByteArrayView v) { return kind == Kind::TrueFalse ? Settings::isTrue(v) : Settings::isOn(v); }
QByteArray state(Kind kind, bool on) { return kind == Kind::TrueFalse ? Settings::trueFalse(on) : Settings::onOff(on); }

}  // namespace

QByteArray comment(QStringView text) { return Cp932::encode(text); }

void choice(KeyTable& t, int key, QStringView text, std::function<QString()> get, std::function<void(const QString&)> set) {
    Entry e = entry(key, Kind::Text, text);
    e.read = [get] { return Cp932::encode(get()); };
    e.apply = [set](QByteArrayView v) { set(Cp932::decode(v)); };
    t.add(std::move(e));
}

void number(KeyTable& t, int key, QStringView text, std::function<int()> get, std::function<void(int)> set) {
    Entry e = entry(key, Kind::Int, text);
    e.read = [get] { return Settings::fromInt(get()); };
    e.apply = [set](QByteArrayView v) { set(Settings::intValue(v)); };
    t.add(std::move(e));
}

void colour(KeyTable& t, int key, QStringView text, std::function<qint32()> get, std::function<void(qint32)> set) {
    Entry e = entry(key, Kind::Colour, text);
    e.read = [get] { return Settings::fromInt(get()); };
    e.apply = [set](QByteArrayView v) { set(Settings::intValue(v)); };
    t.add(std::move(e));
}

void fontName(KeyTable& t, int key, QStringView text, std::function<QFont()> get,
              std::function<void(const QFont&)> set) {
    Entry e = entry(key, Kind::FontName, text);
    e.read = [get] { return Cp932::encode(get().family()); };
    e.apply = [get, set](QByteArrayView v) {
        QFont f = get();
        f.setFamily(Cp932::decode(v));
        set(f);
    };
    t.add(std::move(e));
}

void fontSize(KeyTable& t, int key, QStringView text, std::function<QFont()> get,
              std::function<void(const QFont&)> set) {
    Entry e = entry(key, Kind::Int, text);
    e.read = [get] { return Settings::fromInt(Fonts::points(get())); };
    e.apply = [get, set](QByteArrayView v) {
        QFont f = get();
        Fonts::setPoints(f, Settings::intValue(v, Fonts::points(f)));
        set(f);
    };
    t.add(std::move(e));
}

void fontStyle(KeyTable& t, int key, Settings::FontStyle style, QStringView on, QStringView off,
               std::function<QFont()> get, std::function<void(const QFont&)> set) {
    using Settings::FontStyle;
    Entry e = entry(key, Kind::FontStyle, on, off);
    auto has = [style](const QFont& f) {
        return style == FontStyle::Bold ? f.bold() : style == FontStyle::Italic ? f.italic() : f.underline();
    };
    e.read = [get, style, has] { return Settings::fontStyleWord(style, has(get())); };
    e.apply = [get, set, style](QByteArrayView v) {
        QFont f = get();
        const bool on = Settings::fontStyleSet(style, v);
        if (style == FontStyle::Bold) f.setBold(on);
        else if (style == FontStyle::Italic) f.setItalic(on);
        else f.setUnderline(on);
        set(f);
    };
    t.add(std::move(e));
}

void visible(KeyTable& t, int key, QWidget* window, Kind kind, QStringView on, QStringView off) {
    Entry e = entry(key, kind, on, off);
    e.read = [window, kind] { return state(kind, window->isVisible()); };
    e.apply = [window, kind](QByteArrayView v) { window->setVisible(positive(kind, v)); };
    t.add(std::move(e));
}

void word(KeyTable& t, int key, QWidget* window, QStringView shown, QStringView hidden, QStringView text) {
    Entry e = entry(key, Kind::Word, text);
    const QByteArray yes = comment(shown), no = comment(hidden);
    e.read = [window, yes, no] { return window->isVisible() ? yes : no; };
    e.apply = [window, yes](QByteArrayView v) { window->setVisible(v == yes); };
    t.add(std::move(e));
}

QRect screensArea() {
    QRect area;
    for (const QScreen* s : QGuiApplication::screens()) area |= s->availableGeometry();
    return area.isValid() ? area : QRect(0, 0, 640, 480);
}

namespace {

// A number kept by a widget's geometry, taken within the screens whatever the file says.
void extent(KeyTable& t, int key, QStringView text, Settings::Extent extent, QSize smallest, std::function<int()> get,
            std::function<void(int)> set) {
    Entry e = entry(key, Kind::Int, text);
    e.extent = extent;
    e.read = [get] { return Settings::fromInt(get()); };
    e.apply = [set, extent, smallest](QByteArrayView v) {
        set(Settings::FitExtent(extent, Settings::intValue(v), screensArea(), smallest));
    };
    t.add(std::move(e));
}

}  // namespace

void geometry(KeyTable& t, QWidget* w, Geometry keys, QStringView height, QStringView width, QStringView top,
              QStringView left, QSize smallest) {
    using Settings::Extent;
    extent(t, keys.height, height, Extent::Height, smallest, [w] { return w->height(); },
           [w](int v) { w->resize(w->width(), v); });
    extent(t, keys.width, width, Extent::Width, smallest, [w] { return w->width(); },
           [w](int v) { w->resize(v, w->height()); });
    extent(t, keys.top, top, Extent::Top, smallest, [w] { return w->y(); }, [w](int v) { w->move(w->x(), v); });
    extent(t, keys.left, left, Extent::Left, smallest, [w] { return w->x(); }, [w](int v) { w->move(v, w->y()); });
}

void height(KeyTable& t, int key, QWidget* w, QStringView text) {
    extent(t, key, text, Settings::Extent::Height, Settings::kSmallestPane, [w] { return w->height(); },
           [w](int v) { w->resize(w->width(), v); });
}

void width(KeyTable& t, int key, QWidget* w, QStringView text) {
    extent(t, key, text, Settings::Extent::Width, Settings::kSmallestPane, [w] { return w->width(); },
           [w](int v) { w->resize(v, w->height()); });
}

namespace {

void check(KeyTable& t, int key, QCheckBox* box, Kind kind, QStringView on, QStringView off) {
    Entry e = entry(key, kind, on, off);
    e.read = [box, kind] { return state(kind, box->isChecked()); };
    e.apply = [box, kind](QByteArrayView v) { box->setChecked(positive(kind, v)); };  // toggled runs its handler
    t.add(std::move(e));
}

// A web address's value runs to the line's last colon, so its own colons stay in it.
void edit(KeyTable& t, int key, QLineEdit* field, Kind kind, QStringView text, bool valueToLastColon) {
    Entry e = entry(key, kind, text);
    e.valueToLastColon = valueToLastColon;
    e.read = [field] { return Cp932::encode(field->text()); };
    e.apply = [field](QByteArrayView v) { field->setText(Cp932::decode(v)); };
    t.add(std::move(e));
}

[[noreturn]] void notBindable(const char* name) { qFatal("control %s is neither a button to check nor an edit field", name); }

}  // namespace

Controls::Controls(QWidget* window) : window_(window) {
    for (QWidget* w : window->findChildren<QWidget*>())
        if (!w->objectName().isEmpty()) byName_.insert(w->objectName(), w);
}

QWidget* Controls::named(const char* name) const {
    const QList<QWidget*> found = byName_.values(QString::fromLatin1(name));
    if (found.size() != 1)
        qFatal("%lld controls named %s in %s", static_cast<long long>(found.size()), name, qPrintable(window_->objectName()));
    return found.first();
}

void Controls::wrongClass(const char* name) const {
    qFatal("control %s in %s is not of the class its binding needs", name, qPrintable(window_->objectName()));
}

void control(KeyTable& t, const Controls& controls, int key, const char* name, Kind kind, QStringView on, QStringView off,
             bool valueToLastColon) {
    QWidget* w = controls.named(name);
    if (auto* box = qobject_cast<QCheckBox*>(w)) check(t, key, box, kind, on, off);
    else if (auto* field = qobject_cast<QLineEdit*>(w)) edit(t, key, field, kind, on, valueToLastColon);
    else notBindable(name);
}

void setControl(const Controls& controls, const char* name, Kind kind, QByteArrayView value) {
    QWidget* w = controls.named(name);
    if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable())
        button->setChecked(positive(kind, value));
    else if (auto* field = qobject_cast<QLineEdit*>(w)) field->setText(Cp932::decode(value));
    else notBindable(name);
}

void readOnly(KeyTable& t, int key, Kind kind, std::function<void(QByteArrayView)> apply) {
    Entry e;
    e.key = key;
    e.kind = kind;
    e.apply = std::move(apply);
    t.add(std::move(e));
}

}  // namespace Bind

#include "ui/hot_keys.h"

#include "ui/window_context.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

struct Item {
    const char* name;
    QKeySequence key;
};

// The menu's items and their keys; a window names the item that brings it forward when it registers
// with the station's windows (hkeyslide1 brings none).
const Item kItems[] = {
    {"hkey_main", QKeySequence(Qt::CTRL | Qt::Key_D)},     {"hkey_fkeymemo", QKeySequence(Qt::CTRL | Qt::Key_F)},
    {"hkeyrenraku1", QKeySequence(Qt::CTRL | Qt::Key_R)},  {"hekytempm1", QKeySequence(Qt::CTRL | Qt::Key_N)},
    {"hkey8nin1", QKeySequence(Qt::CTRL | Qt::Key_8)},     {"hkeyinput1", QKeySequence(Qt::CTRL | Qt::Key_I)},
    {"hkeyterop1", QKeySequence(Qt::CTRL | Qt::Key_O)},    {"hkeykakunin1", QKeySequence(Qt::CTRL | Qt::Key_S)},
    {"hkeyslide1", QKeySequence(Qt::CTRL | Qt::Key_L)},    {"hkeymojikara1", QKeySequence(Qt::CTRL | Qt::Key_K)},
};

}  // namespace

HotKeyMenu::HotKeyMenu(QWidget& window, App::HotKeyTarget& target) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("hotKeyMenu"));
    App::HotKeyTarget* m = &target;
    for (const Item& it : kItems) {
        auto* a = new QAction(&window);
        a->setObjectName(QString::fromLatin1(it.name));
        a->setShortcut(it.key);
        a->setShortcutContext(Qt::WindowShortcut);
        window.addAction(a);
        const QString name = QString::fromLatin1(it.name);
        connect(a, &QAction::triggered, this, [m, name] { m->HotKey(name); });
    }
    qApp->installEventFilter(this);
}

QAction* HotKeyMenu::item(const char* name) const {
    return window_.findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

bool HotKeyMenu::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != &window_) return false;
    const auto* k = static_cast<QKeyEvent*>(event);
    const QKeySequence seq(k->keyCombination());
    for (const Item& it : kItems) {
        if (it.key == seq) {
            event->ignore();  // not claimed by the focused pane: the shortcut runs
            return true;
        }
    }
    return false;
}

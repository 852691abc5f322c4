#include "ui/window_registry.h"

namespace App {

void WindowRegistry::add(QWidget* window, const char* hotKey) {
    entries_.append({window, hotKey ? QString::fromLatin1(hotKey) : QString()});
}

QList<QWidget*> WindowRegistry::all() const {
    QList<QWidget*> out;
    for (const Entry& e : entries_)
        if (e.window) out << e.window.data();
    return out;
}

QWidget* WindowRegistry::withHotKey(const QString& item) const {
    for (const Entry& e : entries_)
        if (e.window && !e.hotKey.isEmpty() && e.hotKey == item) return e.window.data();
    return nullptr;
}

}  // namespace App

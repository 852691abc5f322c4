#pragma once
// The station's windows, each registered once as it is created, with the hidden-menu item that
// brings it to the front if it has one: whatever walks every window (captions, colours, closing,
// settings) and the hot keys read this one list.
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace App {

class WindowRegistry {
public:
    // `hotKey`: the item of the hot-key menu (hkeyrenraku1, …) that brings the window forward.
    void add(QWidget* window, const char* hotKey = nullptr);
    // In creation order, the main window first.
    QList<QWidget*> all() const;
    // The window the item brings forward; none for an item that brings none.
    QWidget* withHotKey(const QString& item) const;

private:
    struct Entry {
        QPointer<QWidget> window;
        QString hotKey;
    };
    QList<Entry> entries_;
};

}  // namespace App

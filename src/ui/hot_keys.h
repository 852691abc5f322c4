#pragma once
// The hidden menu of hot keys that every window carries, so that the keys work whichever window
// has the focus.
#include <QObject>

class QAction;
class QWidget;
namespace App { class HotKeyTarget; }

class HotKeyMenu : public QObject {
    Q_OBJECT
public:
    HotKeyMenu(QWidget& window, App::HotKeyTarget& target);
    // One of the menu's items by name (hkey_main, …).
    QAction* item(const char* name) const;

protected:
    // Text panes claim some of these keys for themselves (Ctrl+K deletes to the line end); the
    // hot keys win, as they do in every window of the program.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
};

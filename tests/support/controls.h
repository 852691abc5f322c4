#pragma once
// Tests find a window's controls by their designer names, never through the window's members, so
// that a page may move a control without the tests noticing.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtGlobal>

namespace Testing {

// The control `name` of type T among the descendants of `root`. A missing or mistyped control
// stops the test at once with its name, rather than failing later on a null pointer.
template <typename T = QObject>
T* control(const QObject& root, const char* name) {
    const QString key = QString::fromLatin1(name);
    const QList<T*> found = root.findChildren<T*>(key, Qt::FindChildrenRecursively);
    if (found.isEmpty())
        qFatal("no control %s of the wanted type under %s", name, qPrintable(root.objectName()));
    if (found.size() > 1)
        qFatal("%lld controls named %s under %s", static_cast<long long>(found.size()), name,
               qPrintable(root.objectName()));
    return found.first();
}

template <typename T = QObject>
T* control(const QObject* root, const char* name) {
    if (!root) qFatal("no window to look for %s in", name);
    return control<T>(*root, name);
}

}  // namespace Testing

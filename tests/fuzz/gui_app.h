#pragma once
// One application per process, created on first use under the offscreen platform and kept until
// the process ends. App must be QGuiApplication (text layout) or QApplication (windows).
#include <QtGlobal>

namespace Fuzz {

template <typename App>
App& application() {
    static int argc = 1;
    static char name[] = "quelta-fuzz";
    static char* argv[] = {name, nullptr};
    static App* instance = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new App(argc, argv);
    }();
    return *instance;
}

}  // namespace Fuzz

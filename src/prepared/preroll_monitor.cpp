#include "prepared/preroll_monitor.h"

TForm3::TForm3(const App::WindowContext& context)
    : AuxWindow(context, "TForm3", QStringLiteral("テンプレート前ロールモニター"),
                QStringLiteral(" : テンプレート前ロールモニタ")) {
    resize(400, 240);
}

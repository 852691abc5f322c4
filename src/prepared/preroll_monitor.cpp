#include "prepared/preroll_monitor.h"

TForm3::TForm3(Ttalk2e& main)
    : AuxWindow(main, "TForm3", QStringLiteral("テンプレート前ロールモニター"),
                QStringLiteral(" : テンプレート前ロールモニタ")) {
    resize(400, 240);
}

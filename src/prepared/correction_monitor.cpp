#include "prepared/correction_monitor.h"

TFshusei_moni::TFshusei_moni(const App::WindowContext& context)
    : AuxWindow(context, "TFshusei_moni", QStringLiteral("確認修正モニター"), QStringLiteral(" :確認修正モニター")) {
    resize(400, 300);
}

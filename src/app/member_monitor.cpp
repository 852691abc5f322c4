#include "app/member_monitor.h"

TForm2::TForm2(Ttalk2e& main)
    : AuxWindow(main, "TForm2", QStringLiteral("８人モニター(ctrl+8)"), QStringLiteral(" : ８人モニター(ctrl+8)")) {
    resize(520, 300);
}

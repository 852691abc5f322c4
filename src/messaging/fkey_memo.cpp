#include "messaging/fkey_memo.h"

TForm5::TForm5(Ttalk2e& main)
    : AuxWindow(main, "TForm5", QStringLiteral("Ｆキー・メモ(ctrl+f)"), QStringLiteral(" : Ｆキー・メモ(ctrl+f)")) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    resize(217, 333);
}

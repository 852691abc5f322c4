#pragma once
// TForm3: the pre-roll monitor, a partner's pre-roll around its caret.
#include "app/aux_window.h"

class TForm3 : public AuxWindow {
    Q_OBJECT
public:
    explicit TForm3(const App::WindowContext& context);
};

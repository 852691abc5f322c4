#pragma once
// TFshusei_moni: the correction monitor, the six panes of a corrector's palette.
#include "app/aux_window.h"

class TFshusei_moni : public AuxWindow {
    Q_OBJECT
public:
    explicit TFshusei_moni(const App::WindowContext& context);
};

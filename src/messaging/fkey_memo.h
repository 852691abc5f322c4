#pragma once
// TForm5: the F-key memo, prepared phrases for the function keys of the input pane.
#include "app/aux_window.h"

class TForm5 : public AuxWindow {
    Q_OBJECT
public:
    explicit TForm5(Ttalk2e& main);
};

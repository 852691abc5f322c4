#pragma once
// TForm2: the 8-person monitor, the live typing of every member of the group, row by row.
#include "app/aux_window.h"

class TForm2 : public AuxWindow {
    Q_OBJECT
public:
    explicit TForm2(Ttalk2e& main);
};

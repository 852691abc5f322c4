// The main window's keys of the numbered settings file and its rows of the table of defaults.
#include "app/main_window.h"

#include "app/aux_window.h"
#include "app/settings_binders.h"

void Ttalk2e::addSettings(Settings::KeyTable&) {}

void Ttalk2e::ResetToDefaults() {
    for (QWidget* w : allWindows())
        if (auto* aux = qobject_cast<AuxWindow*>(w)) aux->resetToDefaults();
}

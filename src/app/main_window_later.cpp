// Steps of subsystems that are not built yet, each named where the main window calls it:
// the numbered settings file, saving and the periodic clear, typing-rate statistics.
#include "app/main_window.h"

void Ttalk2e::PeriodicClear() {}               // save and clear the record past its limits
void Ttalk2e::Timer7Timer() {}                 // one-minute typing-rate figures
void Ttalk2e::SaveOnExit() {}                  // the record and the contact log, when configured

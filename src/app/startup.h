#pragma once
// Process entry in its order: single-instance gate, splash, creation of the windows, message loop.
#include "app/station.h"

#include <functional>
#include <memory>

class QCoreApplication;
class Ttalk2e;
class TForm12;

namespace App {

// Maps the display font name the settings use to the Japanese gothic fonts of this system.
void installFontSubstitutions();

// Loads Qt's own Japanese texts, so that standard dialogs, buttons and menus speak Japanese.
// False when the translation files are not installed.
bool installTranslations(QCoreApplication& app);

// Shows the splash and paints it at once.
TForm12* showSplash();

// Creates the main window (which runs its creation step) and then the windows 2 … 13.
std::unique_ptr<Ttalk2e> createStationWindows(Station& station, TForm12* splash);

// The whole program. `afterCreation`, when given, runs once the windows exist (benchmarks use it).
int runQuelta(int argc, char** argv, const std::function<void(Ttalk2e&)>& afterCreation = {});

}  // namespace App

#pragma once
// Process entry in its order: single-instance gate, splash, creation of the windows, message loop.
#include "ui/station.h"

#include <functional>
#include <memory>

class QCoreApplication;
class QGuiApplication;
class QIcon;
class Ttalk2e;
class TForm12;

namespace App {

// The program's component id: the name of its desktop entry, AppStream description and icons.
inline constexpr char kComponentId[] = "io.github.quelta.Quelta";

// The program's icon in every size it is drawn in, built into the program.
QIcon applicationIcon();

// Names the program to the desktop (application name, desktop entry) and gives every window its icon.
void presentApplication(QGuiApplication& app);

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

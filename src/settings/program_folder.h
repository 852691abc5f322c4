#pragma once
// The folder the program writes its own files into (settings, saved texts): its own folder when
// that is a folder of the user's own for it (a portable copy), else the user's data folder. Never a
// folder that is not writable, a build tree that `make clean` removes whole, or a folder programs
// are installed into (root may write /usr/bin, but an installed program must not).
#include <QString>

namespace Settings {

// True when `folder` is a CMake build tree or lies inside one (a folder on the way up holds
// CMakeCache.txt).
bool isInBuildTree(const QString& folder);

// True when `folder` is where installed programs live: inside a system folder (/usr, /opt, /bin,
// /snap …), or a folder named bin, sbin or libexec (~/.local/bin is shared by many programs).
bool isInstallFolder(const QString& folder);

// `executableFolder` when the program may keep its files there, else `dataFolder` (created when
// missing); with a trailing "/".
QString chooseProgramFolder(const QString& executableFolder, const QString& dataFolder);

}  // namespace Settings

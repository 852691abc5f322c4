#pragma once
// The folder the program writes its own files into (settings, saved texts): its own folder, unless
// that is not writable or is a build tree that `make clean` removes whole; then the user's data
// folder.
#include <QString>

namespace Settings {

// True when `folder` is a CMake build tree or lies inside one (a folder on the way up holds
// CMakeCache.txt).
bool isInBuildTree(const QString& folder);

// `executableFolder` when the program may keep its files there, else `dataFolder` (created when
// missing); with a trailing "/".
QString chooseProgramFolder(const QString& executableFolder, const QString& dataFolder);

}  // namespace Settings

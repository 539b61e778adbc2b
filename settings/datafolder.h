#pragma once

#include <QString>

// The folder for the program's files that users keep (settings, tally): the program's own
// folder, where a portable install shares them with the lobby; where that folder cannot be
// written (a system-wide install), the fallback, which is created when needed.
QString chooseDataFolder(const QString& programFolder, const QString& fallbackFolder);

// The same for this program: beside the executable, else the per-user configuration folder.
QString dataFolder();

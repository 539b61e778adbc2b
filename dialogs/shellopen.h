#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Opens a file as the desktop would on a double click: a program is started with the
// arguments, anything else goes to the program the desktop associates with it (the
// arguments are then lost, as there is nobody to give them to).
namespace ShellOpen {

using Opener = std::function<bool(const QString& file, const QStringList& arguments)>;

// False when nothing could be started.
bool open(const QString& file, const QStringList& arguments = {});

// How files are opened; the platform's way unless tests say otherwise.
Opener& opener();

} // namespace ShellOpen

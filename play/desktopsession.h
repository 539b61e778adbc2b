#pragma once

#include <QString>

// A name for a system-wide marker that is unique to this user's desktop session, so that two
// users (or two sessions of one user) on one machine each have their own copy of the game.
QString sessionScopedName(const QString& identifier);

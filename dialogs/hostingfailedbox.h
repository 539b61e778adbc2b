#pragma once

#include <QString>

class QWidget;

// What the player would do when this program cannot host on its port.
enum class AfterHostingFailed { Retry, JoinGameHere, PlayWithOthers };

// Says why hosting failed and offers Retry, "Play with Others" and, when a Pinfall game holds
// the port, "Join the game on this machine". Closing the box is "Play with Others": the
// program stays either way.
AfterHostingFailed askAfterHostingFailed(QWidget* parent, const QString& why, bool gameHoldsIt);

#pragma once

#include <QString>

class GameSession;
class TServer;

// A game hosted by this program: the host listens on `port` ("0" takes a free one) and the
// session joins it over loopback as the hosting player, an ordinary participant.
void hostGame(TServer& host, GameSession& session, const QString& port, const QString& playerName);

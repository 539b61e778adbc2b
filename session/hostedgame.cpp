#include "hostedgame.h"

#include "gamesession.h"
#include "tserver.h"

void hostGame(TServer& host, GameSession& session, const QString& port, const QString& playerName)
{
    host.startListening(port);
    session.connectTo(QStringLiteral("127.0.0.1"), QString::number(host.listeningPort()), playerName, true);
}

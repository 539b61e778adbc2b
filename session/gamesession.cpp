#include "gamesession.h"

#include "colortext.h"
#include "faultreport.h"
#include "joinattempt.h"
#include "messages.h"

#include <QRandomGenerator>

namespace {

constexpr quint32 kNoColour = 0x0000FF; // red: a relayed line without a colour of its own
constexpr int kTimeSoundFrom = 10;      // the clock sounds every second from here down

bool isPlayerSlot(int slot)
{
    return slot >= 1 && slot <= Rules::kPlayerSlots;
}

QString fromWire(const QByteArray& text)
{
    return QString::fromLatin1(text);
}

} // namespace

GameSession::GameSession(QString version, QObject* parent)
    : QObject(parent),
      version_(std::move(version)),
      queue_(std::chrono::milliseconds(1))
{
    connect(&clock_, &QTimer::timeout, this, [this] { FaultReport::guard([this] { tick(); }); });
    answerTimer_.setSingleShot(true);
    connect(&answerTimer_, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("the host did not answer")); });
    sock_.OnInfo = [this](TSock*, TSocketInfo kind, const QString& text) { connectionInfo(kind, text); };
    sock_.OnRead = [this](TSock*, qsizetype) { readArrived(); };

    const auto handle = [this](const char* command, auto read, auto handler) {
        queue_.setHandler(command, [this, read, handler](FieldReader& fields, TSock*) {
            (this->*handler)(read(fields));
            Q_EMIT boardChanged();
        });
    };
    using namespace FromHost;
    handle(CMD_sendlogininfo, slot, &GameSession::logIn);
    handle(CMD_newplayerinfo, slotName, &GameSession::arrived);
    handle(CMD_existingplayers, slotName, &GameSession::arrived);
    handle(CMD_playerdisconnected, slotName, &GameSession::left);
    handle(CMD_justwatching, watching, &GameSession::watchingChanged);
    handle(CMD_startgame, gameStart, &GameSession::started);
    handle(CMD_theletters, letters, &GameSession::dealt);
    handle(CMD_nextplayer, FromHost::nextPlayer, &GameSession::nextPlayer);
    handle(CMD_goodword, goodWord, &GameSession::accepted);
    handle(CMD_worderror, slot, &GameSession::refused);
    handle(CMD_postscores, postScores, &GameSession::scoresPosted);
    handle(CMD_winner, FromHost::winners, &GameSession::won);
    handle(CMD_loadstats, loadStats, &GameSession::caughtUp);
    handle(CMD_chat, chatLine, &GameSession::chatArrived);
    handle(CMD_action, chatLine, &GameSession::chatArrived);
    handle(CMD_playeraway, slotName, &GameSession::away);
    handle(CMD_seattoken, seatToken, &GameSession::tokenGiven);
    handle(CMD_backinframe, backInFrame, &GameSession::resumed);
    queue_.setHandler(CMD_gameclosed, [this](FieldReader&, TSock*) { game_.closedByHost = true; });
    queue_.setHandler(CMD_seatgone, [this](FieldReader&, TSock*) {
        if (return_ == Return::No)
            return;
        return_ = Return::No;
        seatToken_.clear();
        Q_EMIT seatGone();
    });
    queue_.setHandler(CMD_timeisup, [this](FieldReader&, TSock*) {
        timeIsUp();
        Q_EMIT boardChanged();
    });
    queue_.setHandler(CMD_havewrongversion, [this](FieldReader& fields, TSock*) {
        notice(fromWire(fields.rest()) + QStringLiteral(" has a different version of the game then you."));
    });
    queue_.setHandler(CMD_wrongversion, [this](FieldReader&, TSock*) {
        notice(QStringLiteral("You have a differnt version of the game then the host."));
    });
    queue_.setHandler(CMD_full, [this](FieldReader&, TSock*) {
        game_.turnedAway = true;
        Q_EMIT gameFull();
    });
}

GameSession::~GameSession()
{
    if (game_.loggedIn)
        send(ToHost::leaving(game_.localSlot));
}

void GameSession::connectTo(const QString& address, const QString& port, const QString& playerName,
                            bool hosting)
{
    playerName_ = playerName.left(Rules::kLongestName);
    hostAddress_ = address;
    port_ = port;
    gameName_.clear();
    isHost_ = hosting;
    Q_EMIT rosterChanged();
    open();
}

void GameSession::joinOver(StreamTransport* stream, const QString& playerName, const QString& gameName)
{
    playerName_ = playerName.left(Rules::kLongestName);
    gameName_ = gameName;
    isHost_ = false;
    closed_ = false;
    sock_.adoptConnected(stream);
    answerTimer_.start(answerTimeout);
    Q_EMIT rosterChanged();
}

void GameSession::joinThrough(JoinAttempt& attempt, const QString& playerName)
{
    hostAddress_ = attempt.address();
    port_ = attempt.port();
    joinOver(attempt.takeConnection(), playerName, attempt.gameName());
    if (!queue_.receive(&sock_, attempt.received()))
        sock_.close();
}

void GameSession::retry()
{
    if (!game_.loggedIn && closed_)
        open();
}

void GameSession::leave()
{
    if (game_.loggedIn)
        send(ToHost::leaving(game_.localSlot)); // the host need not keep the seat
    closed_ = true;                             // the close below is the player's own, not news from the host
    answerTimer_.stop();
    clock_.stop();
    sock_.close();
    queue_.dropFrom(&sock_);
    queue_.forget(&sock_);
    game_ = {};
    seatToken_.clear();
    return_ = Return::No;
    Q_EMIT rosterChanged();
    Q_EMIT boardChanged();
}

void GameSession::prepareReturn()
{
    if (seatToken_.isEmpty())
        return;
    clock_.stop();
    queue_.dropFrom(&sock_);
    queue_.forget(&sock_);
    game_.loggedIn = false; // on the connection to come, not yet
    game_.currentPlayer = 0;
    return_ = Return::Asking;
    Q_EMIT boardChanged();
}

bool GameSession::mayReturn() const
{
    return !seatToken_.isEmpty() && game_.gameRunning && !isHost_ && !game_.removed && !game_.closedByHost &&
           isPlayerSlot(game_.localSlot);
}

void GameSession::open()
{
    closed_ = false;
    try {
        sock_.setHostName(hostAddress_);
        sock_.setPortName(port_);
        sock_.open();
    } catch (const ESockException& error) {
        fail(QString::fromStdString(error.what()));
        return;
    }
    answerTimer_.start(answerTimeout);
}

void GameSession::fail(const QString& reason)
{
    if (closed_)
        return;
    closed_ = true;
    answerTimer_.stop();
    sock_.close(); // its "Socket Closed" finds the session closed already
    const QString why = gameName_.isEmpty() ? JoinAttempt::failure(hostAddress_, port_, reason)
                                            : JoinAttempt::failure(gameName_, reason);
    // Told after the socket's handler that found out, never inside it.
    QMetaObject::invokeMethod(
        this, [this, why] { Q_EMIT connectionFailed(why); }, Qt::QueuedConnection);
}

const Seat& GameSession::seat(int slot) const
{
    static const Seat kNoSeat;
    return isPlayerSlot(slot) ? game_.seats[static_cast<std::size_t>(slot - 1)] : kNoSeat;
}

QString GameSession::nameOf(int slot) const
{
    return seat(slot).taken ? seat(slot).name : QStringLiteral("<Waiting>");
}

QStringList GameSession::opponentNames() const
{
    QStringList names;
    for (int slot = 1; slot <= kPlayerSlots; ++slot) {
        if (slot != game_.localSlot && seat(slot).taken)
            names << seat(slot).name;
    }
    return names;
}

bool GameSession::allPlacesTaken() const
{
    for (int slot = 2; slot <= kPlayerSlots; ++slot) {
        if (!seat(slot).taken)
            return false;
    }
    return true;
}

void GameSession::send(const QByteArray& message)
{
    // Once the host has gone there is nobody left to tell; the session closes on its own.
    if (sock_.isOpen())
        sock_.send(message);
}

void GameSession::readArrived()
{
    // A host that sends 64 KiB without ending its message is broken: the game cannot go on.
    if (!queue_.receive(&sock_, sock_.receive()))
        sock_.close();
}

void GameSession::connectionInfo(TSocketInfo kind, const QString& text)
{
    // Before log-in an error means the host cannot be reached; after it the close that
    // follows says everything.
    if (kind == TSocketInfo::Error && !game_.loggedIn) {
        fail(text);
        return;
    }
    if (text != QStringLiteral("Socket Closed") || closed_)
        return;
    closed_ = true;
    // The close may be reported from inside a send of a player's action: it is handled after it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            // What the host said before it closed still counts: "Game is full" above all.
            while (queue_.size() > 0)
                queue_.dispatchNext();
            if (game_.turnedAway)
                return;
            if (game_.loggedIn && mayReturn()) {
                Q_EMIT connectionLost();
            } else if (game_.loggedIn) {
                Q_EMIT connectionClosed();
            } else {
                closed_ = false; // so that fail() reports it
                fail(QStringLiteral("the host closed the connection"));
            }
        },
        Qt::QueuedConnection);
}

void GameSession::setStatus(const QString& text)
{
    game_.status = text;
}

void GameSession::boardActionStarts(const QString& status)
{
    game_.refusalShown = false;
    setStatus(status);
}

// The host's messages.

void GameSession::logIn(int slot)
{
    answerTimer_.stop();
    if (return_ == Return::Asking) {
        // A slot for a newcomer: the seat kept is asked for instead.
        send(ToHost::returning(slot, seatToken_));
        return_ = Return::Asked;
        answerTimer_.start(answerTimeout);
        return;
    }
    if (return_ == Return::Asked) {
        // Back in the seat: the host tells the roster anew.
        return_ = Return::Seated;
        for (Seat& seat : game_.seats) {
            seat.taken = false;
            seat.away = false;
        }
        game_.spectators.clear();
    }
    game_.localSlot = slot;
    game_.loggedIn = true;
    send(ToHost::logininfo(game_.localSlot, version_.toLatin1(), playerName_.toLatin1()));
    Q_EMIT rosterChanged();
}

void GameSession::arrived(const FromHost::SlotName& message)
{
    const int slot = message.slot;
    const QString name = fromWire(message.name);
    const bool back = seat(slot).away;
    if (slot == game_.localSlot && return_ == Return::Seated) {
        return_ = Return::No;
        notice(QStringLiteral("Back in the game."));
        Q_EMIT returned();
    } else if (slot == game_.localSlot) {
        notice(QStringLiteral("You are Connected."));
        Q_EMIT seated();
    } else {
        notice(name + (back ? QStringLiteral(" is back in the game.") : QStringLiteral(" is Connected.")));
    }
    if (isPlayerSlot(slot)) {
        Seat& seat = game_.seats[static_cast<std::size_t>(slot - 1)];
        seat.taken = true;
        seat.away = false;
        seat.name = name;
    } else {
        game_.spectators.append({slot, name});
        notice(slot == game_.localSlot ? QStringLiteral("You are spying.")
                                       : name + QStringLiteral(" is spying."));
    }
    Q_EMIT sound(QStringLiteral("entered"));
    Q_EMIT rosterChanged();
}

void GameSession::left(const FromHost::SlotName& message)
{
    const int slot = message.slot;
    if (slot == game_.localSlot && game_.loggedIn) {
        game_.removed = true; // the host says so before it closes the connection
        return;
    }
    if (isPlayerSlot(slot)) {
        Seat& seat = game_.seats[static_cast<std::size_t>(slot - 1)];
        if (seat.taken)
            notice(seat.name + QStringLiteral(" disconnected."));
        seat.taken = false;
        seat.away = false;
        seat.name.clear();
        seat.watching = false;
    } else if (game_.spectators.removeOne(Spectator{slot, fromWire(message.name)})) {
        notice(fromWire(message.name) + QStringLiteral(" has left."));
    }
    Q_EMIT rosterChanged();
}

void GameSession::watchingChanged(const FromHost::Watching& message)
{
    if (!isPlayerSlot(message.slot))
        return;
    notice(nameOf(message.slot) + (message.watching ? QStringLiteral(" is just watching")
                                                    : QStringLiteral(" is now playing again")));
    game_.seats[static_cast<std::size_t>(message.slot - 1)].watching = message.watching;
    Q_EMIT rosterChanged();
}

void GameSession::started(const FromHost::GameStart& message)
{
    clock_.stop();
    game_.secondsLeft = 0;
    game_.refusalShown = false;
    game_.sitsOutFrame = false;
    game_.gameRunning = true;
    game_.frame = 0;
    game_.scoredFrame = 0;
    game_.winners.clear();
    game_.sheet.reset();
    game_.rack.dealt();
    game_.wordsLine.clear();
    // The host has set everybody playing again.
    for (Seat& seat : game_.seats) {
        seat.watching = false;
        seat.score = 0;
        seat.words = {};
    }
    game_.teamGame = message.teamGame;
    game_.secondsPerTurn = message.secondsPerTurn;
    notice(fromWire(message.starter) + QStringLiteral(" has started a game."));
    Q_EMIT rosterChanged();
    Q_EMIT gameStarted();
}

void GameSession::dealt(const FromHost::Letters& message)
{
    game_.rack.dealt();
    for (const FromHost::Letters::Tile& tile : message.tiles)
        game_.rack.deal(tile.position, tile.letter);
    if (message.slot == 0)
        game_.frameLetters = game_.rack.standingLetters();
    if (message.slot == game_.localSlot && message.slot != 0) {
        game_.currentPlayer = message.slot; // a bonus set of frame 10: go on
        Q_EMIT newTiles();
    }
}

void GameSession::nextPlayer(const FromHost::NextPlayer& message)
{
    if (message.frame < 1 || message.frame > Rules::kFrames)
        return; // a broken host: no such frame to play
    const int slot = message.slot;
    game_.frame = message.frame;
    game_.wordsLine = game_.lastWords;
    game_.sitsOutFrame = false;
    game_.refusalShown = false;
    game_.currentPlayer = slot;
    for (Seat& seat : game_.seats)
        seat.words = {};
    if (slot == game_.localSlot) {
        game_.ownRolls = {};
        setStatus(QStringLiteral("Create a word."));
        Q_EMIT sound(options.newTurnSound ? QStringLiteral("turnnew") : QStringLiteral("turn"));
    } else if (isPlayerSlot(slot)) {
        setStatus(nameOf(slot) + QStringLiteral("'s turn."));
    }
    game_.secondsLeft = std::max(1, game_.secondsPerTurn);
    startClock();
    Q_EMIT rosterChanged();
    if (slot == game_.localSlot)
        Q_EMIT newTiles();
}

void GameSession::accepted(const FromHost::GoodWord& message)
{
    const int slot = message.slot;
    const int frame = message.frame;
    const int word = message.word;
    const int pins = message.pins;
    if (slot != game_.localSlot || !isPlayerSlot(slot) || frame < 1 || frame > Rules::kFrames || word < 1 ||
        word > Rules::kMostWords)
        return;
    TFrameScore rolls = game_.sheet.frame(slot, frame);
    Rules::setRoll(rolls, word, pins);
    game_.sheet.setRolls(slot, frame, rolls);
    Rules::setRoll(game_.ownRolls, word, pins);

    const auto strike = [this] {
        Q_EMIT sound(QStringLiteral("strike"));
        Q_EMIT ownStrike();
    };
    switch (Rules::resultOf(frame, word, rolls)) {
    case Rules::WordResult::Strike:
        setStatus(QStringLiteral("You got a Strike!"));
        strike();
        break;
    case Rules::WordResult::Spare:
        setStatus(QStringLiteral("You got a Spare!"));
        Q_EMIT sound(QStringLiteral("goodword"));
        break;
    case Rules::WordResult::BonusSpare:
        Q_EMIT sound(QStringLiteral("goodword"));
        break;
    case Rules::WordResult::BonusStrike:
        strike();
        break;
    case Rules::WordResult::Pins:
        Q_EMIT sound(QStringLiteral("goodword"));
        setStatus(QStringLiteral("You knocked down %1 pins.").arg(pins));
        break;
    }

    if (Rules::afterWord(frame, word, rolls) == Rules::Next::SameSet) {
        game_.rack.startAnotherWord();
        game_.currentPlayer = slot;
    }
    game_.rack.knockDown(pins, word == 1);
}

void GameSession::refused(int slot)
{
    if (slot != game_.localSlot)
        return;
    game_.currentPlayer = game_.localSlot;
    Q_EMIT sound(QStringLiteral("badword"));
    setStatus(QStringLiteral("Invalid Word"));
    if (options.showRefusedWord)
        game_.refusalShown = true;
    if (options.clearRefusedWord)
        game_.rack.takeBackAll();
}

void GameSession::timeIsUp()
{
    setStatus(QStringLiteral("Time is Up!"));
    clock_.stop();
    game_.secondsLeft = 0;
    Q_EMIT sound(QStringLiteral("timeup"));
}

void GameSession::startClock()
{
    clock_.start(second);
    sinceTick_.start();
}

void GameSession::tick()
{
    // A tick long overdue: the computer slept, and cannot trust its connection any more. The
    // host may have given the seat up, or may not yet know that this end went away; the seat
    // is asked for again.
    constexpr std::chrono::milliseconds kSleptAfter{15000};
    const bool slept = clock_.isActive() && sinceTick_.isValid() &&
                       std::chrono::milliseconds(sinceTick_.restart()) > std::max(kSleptAfter, 15 * second);
    if (slept && game_.loggedIn && mayReturn()) {
        sock_.close();
        return;
    }
    // This tick ends the turn when at most a second was left. Asked before counting down: the
    // host may have set the clock to any count, the lowest included.
    if (game_.secondsLeft <= 1) {
        clock_.stop();
        game_.currentPlayer = 0;
        game_.secondsLeft = 0;
        setStatus(QStringLiteral("Time is Up"));
        Q_EMIT clockTicked();
        Q_EMIT boardChanged(); // the turn is over
        return;
    }
    --game_.secondsLeft;
    if (game_.secondsLeft == 20 || game_.secondsLeft == 15 || game_.secondsLeft <= kTimeSoundFrom)
        Q_EMIT sound(QStringLiteral("time"));
    Q_EMIT clockTicked(); // only the clock: the board is not drawn again every second
}

void GameSession::scoresPosted(const FromHost::PostScores& message)
{
    clock_.stop();
    setStatus(QStringLiteral("Posting Scores.. Please Wait."));
    const auto dealWord = [&message](int k) { return fromWire(message.dealWords.value(k)).toUpper(); };
    if (message.frame == Rules::kFrames) {
        game_.wordsLine =
            QStringLiteral("Original Words: %1 / %2 / %3").arg(dealWord(0), dealWord(1), dealWord(2));
        game_.lastWords.clear();
    } else {
        game_.wordsLine = QStringLiteral("Original Word: ") + dealWord(0);
        game_.lastWords = QStringLiteral("Last Word: ") + dealWord(0);
    }
    game_.rack.showAnswer(message.answer);
    for (const FromHost::PlayerScores& player : message.players) {
        if (!isPlayerSlot(player.slot))
            continue; // no such row on the sheet
        Seat& seat = game_.seats[static_cast<std::size_t>(player.slot - 1)];
        seat.score = player.score;
        game_.sheet.setRolls(player.slot, message.frame, player.rolls);
        for (std::size_t line = 0; line < seat.words.size(); ++line)
            seat.words[line] = fromWire(player.words[line]);
        for (const auto& [frame, total] : player.totals)
            game_.sheet.setTotal(player.slot, frame, total);
    }
    Q_EMIT rosterChanged();
    if (message.frame != game_.scoredFrame) {
        game_.scoredFrame = message.frame;
        Q_EMIT frameEnded();
    }
}

void GameSession::won(const QList<int>& winners)
{
    game_.currentPlayer = 0;
    game_.gameRunning = false;
    game_.winners.clear();
    QString text;
    bool plural = false;
    for (const int slot : winners) {
        if (!isPlayerSlot(slot))
            continue;
        game_.winners << slot;
        const QString who = slot == game_.localSlot ? QStringLiteral("You") : nameOf(slot);
        if (text.isEmpty()) {
            text = who;
            plural = slot == game_.localSlot;
        } else {
            plural = true;
            text += QStringLiteral(" and ") + who;
        }
    }
    Q_EMIT sound(QStringLiteral("gameover"));
    setStatus(text + (plural ? QStringLiteral(" have Won the Game!") : QStringLiteral(" has Won the Game!")));
    notice(game_.status);
    if (game_.teamGame) {
        // Teams are slots 1 and 3 against 2 and 4; the sheet's bottom line keeps the result.
        // A host may send any number, so the sums are 64-bit.
        const auto total = [this](int first, int second) {
            return qint64{seat(first).score} + seat(second).score;
        };
        game_.wordsLine =
            QStringLiteral("Slots 1 and 3: %1 / Slots 2 and 4: %2").arg(total(1, 3)).arg(total(2, 4));
        notice(game_.wordsLine);
    }
    Q_EMIT rosterChanged();
    if (!isPlayerSlot(game_.localSlot))
        return;
    GameResult result;
    result.winners = winners;
    result.ownSlot = game_.localSlot;
    result.ownTotal = seat(game_.localSlot).score;
    if (winners.size() == 1 && isPlayerSlot(winners.front()))
        result.soleWinnerName = nameOf(winners.front());
    Q_EMIT gameEnded(result);
}

void GameSession::caughtUp(const FromHost::LoadStats& message)
{
    if (message.slot != game_.localSlot)
        return;
    for (int slot = 1; slot <= kPlayerSlots; ++slot)
        game_.seats[static_cast<std::size_t>(slot - 1)].score =
            message.scores[static_cast<std::size_t>(slot - 1)];
    game_.secondsPerTurn = message.secondsPerTurn;
    game_.secondsLeft = message.countdown;
    // The newcomer cannot play the frame in progress.
    // A clock that runs already goes on: with no time left, its next tick ends the turn.
    if (message.countdown > 4) {
        startClock();
        game_.sitsOutFrame = isPlayerSlot(game_.localSlot);
    }
    game_.teamGame = message.teamFlag == "t";
    Q_EMIT rosterChanged();
    Q_EMIT gameStarted();
}

void GameSession::away(const FromHost::SlotName& message)
{
    if (!isPlayerSlot(message.slot) || message.slot == game_.localSlot)
        return;
    Seat& seat = game_.seats[static_cast<std::size_t>(message.slot - 1)];
    seat.away = true;
    notice(fromWire(message.name) + QStringLiteral("'s connection dropped; the seat is kept for a minute."));
    Q_EMIT rosterChanged();
}

void GameSession::tokenGiven(const FromHost::SeatToken& message)
{
    if (message.slot == game_.localSlot && isPlayerSlot(message.slot))
        seatToken_ = message.token;
}

void GameSession::resumed(const FromHost::BackInFrame& message)
{
    const int frame = message.frame;
    if (message.slot != game_.localSlot || !isPlayerSlot(message.slot) || frame < 1 || frame > Rules::kFrames)
        return;
    game_.frame = frame;
    game_.sitsOutFrame = false;
    game_.refusalShown = false;
    game_.frameLetters = message.deal.left(Rack::kTiles);
    game_.rack.dealt();
    for (int position = 1; position <= Rack::kTiles; ++position) {
        const char tile = position <= message.tiles.size() ? message.tiles.at(position - 1) : '-';
        game_.rack.deal(position, tile == '-' ? '\0' : tile);
    }
    game_.ownRolls = message.rolls;
    game_.sheet.setRolls(message.slot, frame, message.rolls);
    if (message.rolls.roll1 > 0 && message.rolls.roll2 < 0)
        game_.rack.knockDown(message.rolls.roll1, true);
    game_.currentPlayer = message.slot;
    setStatus(QStringLiteral("Create a word."));
    game_.secondsLeft = std::max(1, message.secondsLeft);
    startClock();
    Q_EMIT rosterChanged();
    Q_EMIT newTiles();
}

void GameSession::chatArrived(const FromHost::ChatLine& message)
{
    const std::optional<quint32> colour =
        message.colour.isEmpty() ? std::nullopt : ColorText::toColor(fromWire(message.colour));
    Q_EMIT lineAdded(fromWire(message.text), colour.value_or(kNoColour));
}

// What the player does.

void GameSession::pressTile(int position, bool lay)
{
    if (!myTurn())
        return;
    boardActionStarts(QStringLiteral("Create a word."));
    const int chosen = game_.rack.chosen();
    if (lay && chosen == 0) {
        if (game_.rack.lay(position))
            Q_EMIT sound(QStringLiteral("puttile"));
    } else if (chosen > 0) {
        if (position != chosen) {
            game_.rack.swapPlaces(position, chosen);
            Q_EMIT sound(QStringLiteral("swap"));
        }
        game_.rack.unchoose();
    } else {
        game_.rack.choose(position);
    }
    Q_EMIT boardChanged();
}

void GameSession::typeLetter(char letter)
{
    if (const int position = game_.rack.positionOf(letter); position != 0)
        pressTile(position, true);
}

void GameSession::takeBack(int place)
{
    if (!myTurn())
        return;
    boardActionStarts(QStringLiteral("Create a word."));
    if (game_.rack.laidCount() != 0 && place == game_.rack.laidCount() && game_.rack.takeBackLast())
        Q_EMIT sound(QStringLiteral("unselect"));
    Q_EMIT boardChanged();
}

void GameSession::clearWord()
{
    boardActionStarts(QStringLiteral("Create a word."));
    if (game_.rack.takeBackAll())
        Q_EMIT sound(QStringLiteral("clear"));
    Q_EMIT boardChanged();
}

void GameSession::shuffle()
{
    if (!myTurn())
        return;
    for (int position = 1; position <= Rack::kTiles; ++position) {
        const int other = QRandomGenerator::global()->bounded(1, Rack::kTiles + 1);
        game_.rack.swapPlaces(position, other);
    }
    game_.rack.unchoose();
    Q_EMIT boardChanged();
}

void GameSession::sendWord()
{
    if (!myTurn())
        return;
    boardActionStarts(QStringLiteral("Checking Word.."));
    if (game_.rack.laidCount() > 0) {
        const std::array<int, Rack::kTiles> laid = game_.rack.laidPositions();
        if (game_.loggedIn)
            send(ToHost::sendword(game_.localSlot,
                                  QList<int>(laid.begin(), laid.begin() + game_.rack.laidCount())));
        game_.currentPlayer = 0;
    }
    Q_EMIT boardChanged();
}

bool GameSession::pressKey(int key)
{
    if (!myTurn())
        return false;
    if (key == Qt::Key_Tab) {
        options.typeWords = !options.typeWords;
        Q_EMIT optionsChanged();
        return true;
    }
    if (!options.typeWords)
        return false;
    game_.refusalShown = false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        sendWord();
    else if (key == Qt::Key_Backspace && game_.rack.laidCount() >= 1)
        takeBack(game_.rack.laidCount());
    else if (key == Qt::Key_1)
        clearWord();
    else if (key == Qt::Key_6 || (key == Qt::Key_Space && options.spaceShuffles))
        shuffle();
    else if (key >= Qt::Key_A && key <= Qt::Key_Z)
        typeLetter(static_cast<char>(key - Qt::Key_A + 'a'));
    Q_EMIT boardChanged();
    return true;
}

void GameSession::dismissRefusal()
{
    boardActionStarts(QStringLiteral("Create a word."));
    Q_EMIT boardChanged();
}

void GameSession::startGame(const QByteArray& secondsPerTurn, bool teamGame)
{
    send(ToHost::startgame(playerName_.toLatin1(), secondsPerTurn, teamGame));
}

void GameSession::remove(int slot)
{
    if (leads() && game_.loggedIn)
        send(ToHost::kickhim(game_.localSlot, slot));
}

void GameSession::setWatching(int slot, bool watching)
{
    if (game_.loggedIn && isPlayerSlot(slot))
        send(ToHost::justwatch(slot, watching));
}

void GameSession::say(const QString& text, quint32 colour)
{
    if (game_.loggedIn)
        send(ToHost::chat(game_.localSlot, text.toLatin1(), ColorText::fromColor(colour).toLatin1()));
}

void GameSession::act(const QString& text, quint32 colour)
{
    send(ToHost::action(game_.localSlot, text.toLatin1(), ColorText::fromColor(colour).toLatin1()));
}

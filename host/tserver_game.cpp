// The host's game: starting, dealing, the game clock, judging words, scoring and the winner.
#include "bowlingscore.h"
#include "gamerules.h"
#include "messages.h"
#include "tserver.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kFrameRunning = 2;
constexpr int kPause = 1;
constexpr int kLastFrame = Rules::kFrames;
constexpr int kDefaultSecondsPerTurn = 90;
constexpr int kExtraSeconds = 4; // the frame clock runs a little longer than the players' clocks

int secondsOrDefault(const QByteArray& text)
{
    try {
        return parseDecimal(text);
    } catch (const ProtocolError&) {
        return kDefaultSecondsPerTurn;
    }
}

// The tiles in position order: the order of the deal would spell the word to find.
QList<DealtTile> inPositionOrder(const LetterSet& set)
{
    QList<DealtTile> tiles;
    for (int position = 1; position <= static_cast<int>(set.size()); ++position)
        tiles.append({position, set[static_cast<std::size_t>(position - 1)]});
    return tiles;
}

} // namespace

void TServer::startgame(const FromClient::StartGame& request, TSock* from)
{
    if (slotOf(from) != 1)
        return;
    const QByteArray& name = request.name;
    const QByteArray& seconds = request.secondsPerTurn;
    const QByteArray& teamFlag = request.teamFlag;

    timer1.stop();
    gameon = true;
    secondsperturn = secondsOrDefault(seconds);
    teamgame = teamFlag == "t";
    sendToAll(ToClient::startgame(name, secondsperturn, teamFlag));
    for (int slot = 1; slot <= playerslots; ++slot) {
        TPlayer& player = players[slot];
        player.score = 0;
        player.watching = false;
        player.words = {};
        player.frames.fill(TFrameScore{});
    }
    dealSet(2, bonusword2);
    dealSet(3, bonusword3);
    currentframe = 0;
    startround();
}

void TServer::dealSet(int set, QByteArray& word)
{
    word = dealer.drawWord();
    LetterSet& master = masterletters[set - 1];
    master.fill(kNoTile);
    for (const char letter : word) {
        int position = 0;
        do {
            position = dealer.Random(10) + 1;
        } while (master[position - 1] != kNoTile);
        master[position - 1] = letter;
        for (int slot = 1; slot <= playerslots; ++slot)
            players[slot].letters[set - 1][position - 1] = letter;
    }
}

void TServer::startround()
{
    ++currentframe;
    if (currentframe > kLastFrame) {
        checkforwin();
        return;
    }
    for (int slot = 1; slot <= playerslots; ++slot)
        players[slot].words = {};
    dealSet(1, dealword);
    for (int slot = 1; slot <= playerslots; ++slot) {
        players[slot].letterset = 1;
        players[slot].answer = dealword;
    }
    sendToAll(ToClient::theletters(0, inPositionOrder(masterletters[0])));
    findplayer();
}

void TServer::findplayer()
{
    for (int slot = 1; slot <= playerslots; ++slot) {
        TPlayer& player = players[slot];
        if (!player.connected || player.watching) {
            player.finishFrame(); // sits this frame out
        } else {
            player.rolls = 0;
        }
    }
    for (int slot = 1; slot <= slotcount; ++slot)
        sendTo(slot, ToClient::nextplayer(slot <= playerslots ? slot : 1, currentframe));
    const int frameSeconds = secondsperturn > std::numeric_limits<int>::max() - kExtraSeconds
                                 ? std::numeric_limits<int>::max()
                                 : secondsperturn + kExtraSeconds;
    startClock(kFrameRunning, frameSeconds);
}

void TServer::resumeFrame(int slot)
{
    if (timer1Tag != kFrameRunning || !timer1.isActive() || currentframe < 1 || currentframe > kLastFrame)
        return; // between frames: the next deal counts the player in
    TPlayer& player = players[slot];
    if (player.finishedFrame()) {
        // Away when the frame was dealt: it is the player's to play, unless played already.
        if (!player.words[0].isEmpty() || player.watching)
            return;
        player.rolls = 0;
        player.letterset = 1;
    }
    if (player.letterset < 1 || player.letterset > 3)
        return;
    FrameInPlay frame;
    frame.frame = currentframe;
    frame.secondsLeft = std::max(1, countdown - kExtraSeconds);
    frame.rolls = player.frames[currentframe - 1];
    for (const char tile : player.letters[player.letterset - 1])
        frame.tiles += tile == kNoTile ? '-' : tile;
    frame.deal = QByteArray(masterletters[0].data(), static_cast<qsizetype>(masterletters[0].size()));
    sendTo(slot, ToClient::backinframe(slot, frame));
}

void TServer::startClock(int tag, int seconds)
{
    timer1.stop();
    timer1Tag = tag;
    countdown = seconds;
    timer1.start();
}

void TServer::timer1Timer()
{
    const Turn turn(*this);
    --countdown;
    if (countdown > 0)
        return;
    timer1.stop();
    if (timer1Tag == kPause)
        startround();
    else if (timer1Tag == kFrameRunning)
        timeup();
}

void TServer::timeup()
{
    closeFrames(Rules::Closing::TimeUp);
    sendToAll(ToClient::timeisup());
    postheirscores();
}

void TServer::closeFrames(Rules::Closing why)
{
    for (int slot = 1; slot <= playerslots; ++slot)
        Rules::closeFrame(players[slot].frames[currentframe - 1], currentframe == kLastFrame, why);
}

void TServer::checkforwin()
{
    const std::array<qint32, Rules::kPlayerSlots> scores{players[1].score, players[2].score, players[3].score,
                                                         players[4].score};
    sendToAll(ToClient::winner(Rules::winners(scores, teamgame)));
    gameon = false;
}

void TServer::sendword(const FromClient::SendWord& sent, TSock* from)
{
    const int slot = sent.slot;
    if (slot < 1 || slot > playerslots || slot != slotOf(from))
        return;
    TPlayer& player = players[slot];
    const int set = player.letterset;
    if (set < 1 || set > 3)
        return;
    player.answer = set == 1 ? dealword : set == 2 ? bonusword2 : bonusword3;
    // Between games the sets are closed to the frame records; a word then has no frame to count in.
    if (currentframe < 1 || currentframe > kLastFrame)
        return;

    LetterSet& tiles = player.letters[set - 1];
    QByteArray word;
    for (const int position : sent.positions) {
        if (position < 1 || position > 10 || tiles[position - 1] == kNoTile) {
            refuseWord(slot, tiles, set);
            return;
        }
        char& tile = tiles[position - 1];
        word += tile; // a tile taken twice shows as "*", which no word contains
        tile = kTakenTile;
    }
    const bool accepted = word == "i" || word == "a" || spell.wordexists(word);
    if (!accepted) {
        refuseWord(slot, tiles, set);
        return;
    }

    const int pins = static_cast<int>(word.size());
    auto freeWord = std::find_if(player.words.begin(), player.words.end(),
                                 [](const QByteArray& w) { return w.isEmpty(); });
    if (freeWord == player.words.end())
        freeWord = player.words.end() - 1;
    *freeWord = word.left(10);
    std::replace(tiles.begin(), tiles.end(), kTakenTile, kNoTile);
    ++player.rolls;
    Rules::setRoll(player.frames[currentframe - 1], player.rolls, pins);
    sendTo(slot, ToClient::goodword(slot, currentframe, player.score, player.rolls, pins));
    afterGoodWord(slot);
}

void TServer::refuseWord(int slot, LetterSet& tiles, int set)
{
    sendTo(slot, ToClient::worderror(slot));
    const LetterSet& master = masterletters[set - 1];
    for (std::size_t k = 0; k < tiles.size(); ++k) {
        if (tiles[k] == kTakenTile)
            tiles[k] = master[k];
    }
}

void TServer::afterGoodWord(int slot)
{
    TPlayer& player = players[slot];
    switch (Rules::afterWord(currentframe, player.rolls, player.frames[currentframe - 1])) {
    case Rules::Next::SameSet:
        break;
    case Rules::Next::BonusSet2:
        sendBonusSet(slot, 2);
        break;
    case Rules::Next::BonusSet3:
        sendBonusSet(slot, 3);
        break;
    case Rules::Next::FrameOver:
        player.finishFrame();
        endFrameIfAllDone();
        break;
    case Rules::Next::Inconsistent:
        report(QStringLiteral("error in rolling"));
        player.letterset = 2;
        break;
    }
}

void TServer::sendBonusSet(int slot, int set)
{
    TPlayer& player = players[slot];
    player.letterset = set;
    sendTo(slot, ToClient::theletters(slot, inPositionOrder(player.letters[set - 1])));
}

void TServer::endFrameIfAllDone()
{
    for (int slot = 1; slot <= playerslots; ++slot) {
        if (players[slot].connected && !players[slot].finishedFrame())
            return;
    }
    timer1.stop();
    closeFrames(Rules::Closing::NoWord);
    postheirscores();
}

void TServer::postheirscores()
{
    std::array<PlayerReport, 4> reports;
    const auto reportError = [this](const QString& text) { report(text); };
    for (int slot = 1; slot <= playerslots; ++slot) {
        TPlayer& player = players[slot];
        BowlingScore::computeTotals(player.frames, currentframe, reportError);
        player.score = BowlingScore::runningScore(player.frames, currentframe);
        TFrameScore& frame = player.frames[currentframe - 1];
        if (!player.connected)
            Rules::closeFrame(frame, currentframe == kLastFrame, Rules::Closing::NoPlayer);
        PlayerReport& out = reports[slot - 1];
        out.slot = slot;
        out.score = player.score;
        out.frame = frame;
        out.words = player.words;
        for (std::size_t j = 0; j < out.totals.size(); ++j)
            out.totals[j] = player.frames[j].total;
    }
    const QList<QByteArray> dealWords = currentframe == kLastFrame
                                            ? QList<QByteArray>{dealword, bonusword2, bonusword3}
                                            : QList<QByteArray>{dealword};
    for (int slot = 1; slot <= slotcount; ++slot) {
        const QByteArray& answer = slot <= playerslots ? players[slot].answer : dealword;
        sendTo(slot, ToClient::postscores(currentframe, answer, dealWords, reports));
    }
    startClock(kPause, settings_.pauseBetweenFrames ? settings_.pauseBetweenFrames() : 10);
}

// How strong each computer level is: whole games of 60-second turns played by the turn planner
// on a virtual clock, a player alone (opponents do not change a player's score). Prints each
// level's mean score and its 10th and 90th percentiles.
// Usage: bench_levels [games per level, 200 unless given] [seconds per turn, 60 unless given]
#include "bowlingscore.h"
#include "dealwords.h"
#include "turnplanner.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

class Game {
public:
    Game(TurnPlanner& planner, const DealWords& deal, QRandomGenerator& random, double turn)
        : planner_(planner),
          deal_(deal),
          random_(random),
          turn_(turn)
    {}

    int play()
    {
        BowlingScore::Frames frames;
        for (int frame = 1; frame <= Rules::kFrames; ++frame) {
            TFrameScore& rolls = frames[static_cast<std::size_t>(frame - 1)];
            rolls = frame < Rules::kFrames ? ordinaryFrame() : lastFrame();
        }
        BowlingScore::computeTotals(frames, Rules::kFrames, {});
        return frames.back().total;
    }

private:
    QByteArray rack()
    {
        QByteArray letters = deal_.GetString(random_.bounded(deal_.count()));
        std::shuffle(letters.begin(), letters.end(), random_);
        return letters;
    }

    TFrameScore ordinaryFrame()
    {
        const std::vector<TimedWord> words = planner_.plan(rack(), 2, 0, turn_);
        TFrameScore rolls{0, 0, -1, -1};
        if (!words.empty())
            rolls.roll1 = static_cast<int>(words[0].word.size());
        if (words.size() > 1)
            rolls.roll2 = static_cast<int>(words[1].word.size());
        if (rolls.roll1 == Rules::kPins)
            rolls.roll2 = -1;
        return rolls;
    }

    // A strike brings set 2 for two more words, a second strike or a spare set 3 for one.
    TFrameScore lastFrame()
    {
        TFrameScore rolls{0, 0, 0, -1};
        const auto pins = [](const TimedWord& word) { return static_cast<qint32>(word.word.size()); };
        std::vector<TimedWord> words = planner_.plan(rack(), 2, 0, turn_);
        if (words.empty())
            return rolls;
        rolls.roll1 = pins(words[0]);
        double now = words[0].at;
        if (rolls.roll1 == Rules::kPins) {
            words = planner_.plan(rack(), 2, now, turn_);
            if (words.empty())
                return rolls;
            rolls.roll2 = pins(words[0]);
            now = words[0].at;
            if (rolls.roll2 != Rules::kPins) {
                rolls.roll3 = words.size() > 1 ? pins(words[1]) : 0;
                return rolls;
            }
        } else {
            if (words.size() < 2)
                return rolls;
            rolls.roll2 = pins(words[1]);
            now = words[1].at;
            if (!Rules::makeTen(rolls.roll1, rolls.roll2))
                return rolls;
        }
        words = planner_.plan(rack(), 1, now, turn_);
        rolls.roll3 = words.empty() ? 0 : pins(words[0]);
        return rolls;
    }

    TurnPlanner& planner_;
    const DealWords& deal_;
    QRandomGenerator& random_;
    double turn_;
};

int percentile(std::vector<int> scores, int percent)
{
    std::sort(scores.begin(), scores.end());
    return scores[scores.size() * static_cast<std::size_t>(percent) / 100];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int games = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    const double turn = argc > 2 ? std::max(5, atoi(argv[2])) : 60;
    const DealWords deal;
    const Solver solver;
    std::printf("%-8s %6s %6s %5s %5s\n", "level", "games", "mean", "p10", "p90");
    for (const LevelTraits& level : Levels::all()) {
        TurnPlanner planner(level, solver, 1);
        QRandomGenerator random(7);
        std::vector<int> scores;
        for (int game = 0; game < games; ++game)
            scores.push_back(Game(planner, deal, random, turn).play());
        const double mean = std::accumulate(scores.begin(), scores.end(), 0.0) / games;
        std::printf("%-8s %6d %6.1f %5d %5d\n", qPrintable(Levels::nameOf(level.level)), games, mean,
                    percentile(scores, 10), percentile(scores, 90));
    }
    return 0;
}

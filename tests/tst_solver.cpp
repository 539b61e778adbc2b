// The solver against a plain scan of the dictionary: the same words, the same best play.
#include "dealwords.h"
#include "missedwords.h"
#include "solver.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <array>

namespace {

using Counts = std::array<int, 26>;

Counts countsOf(QByteArrayView letters)
{
    Counts counts{};
    for (const char c : letters)
        ++counts[static_cast<std::size_t>(c - 'a')];
    return counts;
}

bool fits(const Counts& word, const Counts& rack)
{
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] > rack[i])
            return false;
    }
    return true;
}

Counts minus(Counts rack, const Counts& word)
{
    for (std::size_t i = 0; i < word.size(); ++i)
        rack[i] -= word[i];
    return rack;
}

// Every word of the dictionary file, for the scan to look through.
class PlainScan {
public:
    PlainScan()
    {
        QFile file(QStringLiteral(PINFALL_WORD_LIST));
        if (!file.open(QIODevice::ReadOnly))
            return;
        for (const QByteArray& word : file.readAll().split('\n')) {
            if (!word.isEmpty() && word.size() <= WordIndex::kLongestWord)
                words_.push_back({word, countsOf(word)});
        }
    }

    bool loaded() const { return !words_.empty(); }

    QSet<QByteArray> wordsIn(const Counts& rack) const
    {
        QSet<QByteArray> found;
        for (const auto& [word, counts] : words_) {
            if (fits(counts, rack))
                found.insert(word);
        }
        return found;
    }

    // The most pins two words can take from the rack.
    int bestPins(const Counts& rack) const
    {
        const QSet<QByteArray> words = wordsIn(rack);
        int best = 0;
        for (const QByteArray& first : words) {
            const Counts rest = minus(rack, countsOf(first));
            int second = 0;
            for (const QByteArray& other : words) {
                if (other.size() > second && fits(countsOf(other), rest))
                    second = static_cast<int>(other.size());
            }
            best = std::max(best, static_cast<int>(first.size()) + second);
        }
        return best;
    }

private:
    std::vector<std::pair<QByteArray, Counts>> words_;
};

// Racks near real deals: a deal word shuffled, with `changed` of its letters replaced.
QByteArray rackNear(const QByteArray& dealWord, int changed, QRandomGenerator& random)
{
    QByteArray rack = dealWord;
    for (int i = 0; i < changed; ++i)
        rack[random.bounded(rack.size())] = static_cast<char>('a' + random.bounded(26));
    std::shuffle(rack.begin(), rack.end(), random);
    return rack;
}

} // namespace

class TestSolver : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void findsWhatAPlainScanFinds();
    void everyDealWordStrikes();
    void bestPlayIsTheMostPinsLongerFirstOnATie_data();
    void bestPlayIsTheMostPinsLongerFirstOnATie();
    void shortRacksAndStrayLetters();
    void missedWordsAfterAFrame_data();
    void missedWordsAfterAFrame();

private:
    PlainScan scan_;
    Solver solver_;
    DealWords deal_;
};

void TestSolver::findsWhatAPlainScanFinds()
{
    QVERIFY(scan_.loaded());
    QRandomGenerator random(11);
    for (int round = 0; round < 120; ++round) {
        const QByteArray rack = rackNear(deal_.GetString(random.bounded(deal_.count())), round % 4, random);
        const RackWords found = solver_.wordsIn(rack);
        QSet<QByteArray> words;
        for (const FoundWord& word : found.words) {
            QVERIFY2(!words.contains(word.word.toByteArray()), word.word.data());
            words.insert(word.word.toByteArray());
            // The tiles a word takes spell it.
            QByteArray letters = found.lettersOf(word.tiles);
            QByteArray sorted = word.word.toByteArray();
            std::sort(sorted.begin(), sorted.end());
            QCOMPARE(letters, sorted);
        }
        QCOMPARE(words, scan_.wordsIn(countsOf(rack)));
        // The longest word of all the tiles, repeated letters included.
        const LongestWords within = Solver::longestWithin(found, [](const FoundWord&) { return true; });
        const auto longest =
            std::max_element(words.begin(), words.end(),
                             [](const QByteArray& a, const QByteArray& b) { return a.size() < b.size(); });
        QCOMPARE(within[found.allTiles()] < 0
                     ? 0
                     : found.words[static_cast<std::size_t>(within[found.allTiles()])].word.size(),
                 longest == words.end() ? 0 : longest->size());
        if (round % 3 == 0)
            QCOMPARE(solver_.bestPlay(rack).pins(), scan_.bestPins(countsOf(rack)));
    }
}

void TestSolver::everyDealWordStrikes()
{
    QRandomGenerator random(5);
    for (int id = 0; id < deal_.count(); ++id) {
        QByteArray rack = deal_.GetString(id);
        std::shuffle(rack.begin(), rack.end(), random);
        const Play play = solver_.bestPlay(rack);
        QVERIFY2(play.first.size() == WordIndex::kLongestWord && play.second.isEmpty(), rack.constData());
        QCOMPARE(countsOf(play.first), countsOf(rack));
    }
}

void TestSolver::bestPlayIsTheMostPinsLongerFirstOnATie_data()
{
    QTest::addColumn<QByteArray>("rack");
    QTest::addColumn<bool>("strike");
    QTest::newRow("a deal word") << QByteArray("gnitacidba") << true;
    QTest::newRow("one letter off a deal word") << QByteArray("gnitacidbz") << false;
    QTest::newRow("few vowels") << QByteArray("bcdfghjkla") << false;
    QTest::newRow("no vowel, no word") << QByteArray("bcdfghjklm") << false;
    // Repeated letters: the second word needs the copies the first leaves.
    QTest::newRow("pairs") << QByteArray("eessttrrao") << false;
    QTest::newRow("a triple") << QByteArray("eeessnttdr") << false;
}

void TestSolver::bestPlayIsTheMostPinsLongerFirstOnATie()
{
    QFETCH(QByteArray, rack);
    QFETCH(bool, strike);
    const Play play = solver_.bestPlay(rack);
    QCOMPARE(play.first.size() == WordIndex::kLongestWord, strike);
    QCOMPARE(play.pins(), scan_.bestPins(countsOf(rack)));
    // Shuffled, the rack plays as well; the first word is never the shorter of the two.
    QByteArray shuffled = rack;
    std::reverse(shuffled.begin(), shuffled.end());
    QCOMPARE(solver_.bestPlay(shuffled).pins(), play.pins());
    QVERIFY(play.first.size() >= play.second.size());
    QVERIFY(fits(countsOf(play.first + play.second), countsOf(rack)));
}

void TestSolver::shortRacksAndStrayLetters()
{
    // What is left of a rack after a first word, and letters a peer might send.
    QCOMPARE(solver_.bestPlay("CAT").pins(), 3);
    QCOMPARE(solver_.wordsIn("c-a*t\xFF 9").letters, QByteArray("act"));
    QCOMPARE(solver_.bestPlay("").pins(), 0);
    QCOMPARE(solver_.wordsIn("abcdefghijklmnop").letters.size(), WordIndex::kLongestWord);
}

void TestSolver::missedWordsAfterAFrame_data()
{
    QTest::addColumn<QByteArray>("letters");
    QTest::addColumn<QList<QByteArray>>("played");
    QTest::addColumn<QString>("bestPlay");
    QTest::newRow("an open frame") << QByteArray("gnitacidba") << QList<QByteArray>{"bat", "acid"}
                                   << QStringLiteral("Best play: ABDICATING, a strike.");
    QTest::newRow("the strike found") << QByteArray("gnitacidba") << QList<QByteArray>{"abdicating"}
                                      << QStringLiteral("Best play: ABDICATING, a strike.");
    QTest::newRow("nothing played, no strike")
        << QByteArray("lrtsaeiouq") << QList<QByteArray>{} << QString();
    QTest::newRow("no word at all") << QByteArray("bcdfghjklm") << QList<QByteArray>{} << QString();
}

void TestSolver::missedWordsAfterAFrame()
{
    QFETCH(QByteArray, letters);
    QFETCH(QList<QByteArray>, played);
    QFETCH(QString, bestPlay);
    const MissedWords missed = MissedWords::of(solver_, letters, played);
    const QString line = missed.line();
    if (!bestPlay.isEmpty())
        QVERIFY2(line.startsWith(bestPlay), qPrintable(line));
    QCOMPARE(line.isEmpty(), missed.best.pins() == 0);
    QCOMPARE(missed.best.pins(), scan_.bestPins(countsOf(letters)));
    // The longest words the rack had that were neither played nor named as the best play.
    QList<QByteArray> others;
    for (const QByteArray& word : scan_.wordsIn(countsOf(letters))) {
        if (!played.contains(word) && word != missed.best.first && word != missed.best.second)
            others << word;
    }
    std::sort(others.begin(), others.end(),
              [](const QByteArray& a, const QByteArray& b) { return a.size() > b.size(); });
    QCOMPARE(missed.missed.size(), std::min<qsizetype>(others.size(), MissedWords::kLongestShown));
    for (qsizetype i = 0; i < missed.missed.size(); ++i) {
        QCOMPARE(missed.missed[i].size(), others[i].size());
        QVERIFY(!played.contains(missed.missed[i]));
        QVERIFY2(line.contains(QString::fromLatin1(missed.missed[i]).toUpper()), qPrintable(line));
    }
}

QTEST_GUILESS_MAIN(TestSolver)
#include "tst_solver.moc"

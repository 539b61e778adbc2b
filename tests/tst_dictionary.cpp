// The dictionary and the deal words, on the built-in lists and on working files of our own.
#include "dealwords.h"
#include "tdictn.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <bit>

namespace {

QByteArray builtInRecords()
{
    QFile list(QStringLiteral(":/TEXT_DEMO"));
    return list.open(QIODevice::ReadOnly) ? list.readAll() : QByteArray();
}

QByteArray record(QByteArrayView word, char count = 0x1E)
{
    QByteArray bytes(1, count);
    bytes += word;
    bytes.resize(15, ' ');
    return bytes;
}

struct Reports {
    QStringList messages;
    TDictn::Reporter sink()
    {
        return [this](const QString& message) { messages << message; };
    }
};

} // namespace

class TestDictionary : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void builtInListIsSortedRecords();
    void findsWordsWhateverTheirCaseAndBlanks();
    void blankTextIsNotLookedUp();
    void onlyTheFirst14LettersAreStored();
    void lookupReadsFewRecords();
    void everyDealWordIsAWord();
    void dealWordsAreAStringTable();
    void existingWorkingFileIsUsedAndDeleted();
    void missingListIsReportedOnce();
    void unwritableFolderFallsBack();

private:
    std::unique_ptr<QTemporaryDir> folder_;
    DictionaryPlaces places() const
    {
        DictionaryPlaces places;
        places.workingFolder = folder_->path();
        places.fallbackFolder = folder_->filePath(QStringLiteral("cache"));
        return places;
    }
};

void TestDictionary::init()
{
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
}

void TestDictionary::builtInListIsSortedRecords()
{
    const QByteArray records = builtInRecords();
    QCOMPARE(records.size() % TDictn::kRecordSize, 0);
    QCOMPARE(records.size() / TDictn::kRecordSize, 274137);
    QVERIFY(!records.contains('\0'));
    const QRegularExpression shape(QStringLiteral("^[A-Z]{2,14} *$"));
    QByteArrayView previous;
    for (qsizetype at = 0; at < records.size(); at += TDictn::kRecordSize) {
        const QByteArrayView entry = QByteArrayView(records).sliced(at, TDictn::kRecordSize);
        QCOMPARE(entry[0], '\x1E');
        const QByteArrayView word = entry.sliced(1);
        if (!shape.match(QString::fromLatin1(word)).hasMatch())
            QFAIL(qPrintable(QStringLiteral("bad record %1").arg(QString::fromLatin1(word))));
        if (word < previous)
            QFAIL(
                qPrintable(QStringLiteral("%1 sorts before its predecessor").arg(QString::fromLatin1(word))));
        previous = word;
    }
}

void TestDictionary::findsWordsWhateverTheirCaseAndBlanks()
{
    Reports reports;
    TDictn spell(reports.sink(), places());
    QVERIFY(spell.isOpen());
    QVERIFY(reports.messages.isEmpty());
    for (const char* text : {"cat", "CAT", "cAt", "  cat", "cat   ", "aa", "zzzs", "abdominoplasty"})
        QVERIFY2(spell.wordexists(text), text);
    for (const char* text : {"a", "i", "c at", "catx", "qqqq", "cat\xFF", "caT!"})
        QVERIFY2(!spell.wordexists(text), text);

    // Only the first 255 characters count, so blanks beyond them do not spoil a word...
    QVERIFY(spell.wordexists(QByteArray("cat") + QByteArray(300, ' ')));
    // ...but a word that starts beyond them is not seen.
    QVERIFY(!spell.wordexists(QByteArray(300, ' ') + "cat"));
}

void TestDictionary::blankTextIsNotLookedUp()
{
    TDictn spell({}, places());
    for (const QByteArray& text : {QByteArray(), QByteArray("   "), QByteArray(3, '\0')}) {
        QVERIFY(!spell.wordexists(text));
        QCOMPARE(spell.lastLookupReads(), 0);
    }
}

void TestDictionary::onlyTheFirst14LettersAreStored()
{
    TDictn spell({}, places());
    QVERIFY(spell.wordexists("ABSENTMINDEDNE"));
    QVERIFY(spell.wordexists("absentmindedne"));
    QVERIFY(!spell.wordexists("absentmindedness"));
    QVERIFY(!spell.wordexists("absentmindedn"));
}

void TestDictionary::lookupReadsFewRecords()
{
    TDictn spell({}, places());
    const QByteArray records = builtInRecords();
    const auto count = static_cast<unsigned>(records.size() / TDictn::kRecordSize);
    // A binary search over n records reads at most floor(log2 n) + 1 of them: 19 for this list.
    const int bound = std::bit_width(count);
    QCOMPARE(bound, 19);
    int most = 0;
    for (unsigned index = 0; index < count; index += 37) {
        const QByteArray word = records.mid(qsizetype(index) * TDictn::kRecordSize + 1, 14);
        QVERIFY(spell.wordexists(word));
        most = std::max(most, spell.lastLookupReads());
        QVERIFY(!spell.wordexists(word.trimmed() + "QX"));
        most = std::max(most, spell.lastLookupReads());
    }
    QVERIFY(most <= bound);
    QVERIFY(most >= bound - 1);
}

void TestDictionary::everyDealWordIsAWord()
{
    TDictn spell({}, places());
    const DealWords deal;
    QCOMPARE(deal.count(), 12970);
    for (int id = 0; id < deal.count(); ++id) {
        const QByteArray word = deal.GetString(id);
        if (!spell.wordexists(word))
            QFAIL(word.constData());
    }
}

void TestDictionary::dealWordsAreAStringTable()
{
    const DealWords deal;
    const QRegularExpression tenLetters(QStringLiteral("^[a-z]{10}$"));
    for (int id = 0; id < 12970; ++id) {
        QVERIFY(tenLetters.match(QString::fromLatin1(deal.GetString(id))).hasMatch());
        if (id > 0)
            QVERIFY(deal.GetString(id - 1) < deal.GetString(id));
    }
    for (int id : {12970, 13000, DealWords::kIdentifiers - 1, DealWords::kIdentifiers, -1})
        QCOMPARE(deal.GetString(id), QByteArray());
}

void TestDictionary::existingWorkingFileIsUsedAndDeleted()
{
    const QString path = QDir(folder_->path()).filePath(QStringLiteral("English"));
    QFile mine(path);
    QVERIFY(mine.open(QIODevice::WriteOnly));
    // A count byte below 14 limits the word: "DOGGY" counts as "DOG".
    mine.write(record("CAT") + record("DOGGY", 3) + record("EMU"));
    mine.close();
    {
        Reports reports;
        TDictn spell(reports.sink(), places());
        QCOMPARE(spell.workingFile(), path);
        QVERIFY(spell.wordexists("cat"));
        QVERIFY(spell.wordexists("dog"));
        QVERIFY(spell.wordexists("emu"));
        QVERIFY(!spell.wordexists("doggy"));
        QVERIFY(!spell.wordexists("aardvark")); // the built-in list is not there
        QVERIFY(reports.messages.isEmpty());
    }
    QVERIFY(!QFile::exists(path));
}

void TestDictionary::missingListIsReportedOnce()
{
    Reports reports;
    DictionaryPlaces nowhere = places();
    nowhere.builtInList = QStringLiteral(":/no-such-list");
    {
        TDictn spell(reports.sink(), nowhere);
        QVERIFY(!spell.isOpen());
        QVERIFY(!spell.wordexists("cat"));
        QCOMPARE(spell.lastLookupReads(), 0);
    }
    QCOMPARE(reports.messages, QStringList{"English.dic dictionary not found!"});
    QVERIFY(QDir(folder_->path()).isEmpty());
}

void TestDictionary::unwritableFolderFallsBack()
{
    // A folder below a plain file can never be written, not even by root.
    QFile blocker(folder_->filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    DictionaryPlaces places = this->places();
    places.workingFolder = blocker.fileName() + QStringLiteral("/folder");

    const QString fallback = QDir(places.fallbackFolder).filePath(QStringLiteral("English"));
    {
        TDictn spell({}, places);
        QCOMPARE(spell.workingFile(), fallback);
        QVERIFY(QFile::exists(fallback));
        QVERIFY(spell.wordexists("zymurgy"));
    }
    QVERIFY(!QFile::exists(fallback));
}

QTEST_GUILESS_MAIN(TestDictionary)
#include "tst_dictionary.moc"

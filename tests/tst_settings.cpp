// The settings file shared with the lobby, colour text, and where the files go.
#include "colortext.h"
#include "datafolder.h"
#include "gamesettings.h"
#include "inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void missingFileGivesDefaults();
    void namesMatchWithoutCaseFirstWins();
    void writeKeepsEverythingElse();
    void writeAddsKeysAndSections();
    void colourNamesAndNumbers();
    void colourTextRoundTrips();
    void unwritableProgramFolderFallsBack();
    void eachKeyReadsByItsRuleAndWritesBack_data();
    void eachKeyReadsByItsRuleAndWritesBack();

private:
    std::unique_ptr<QTemporaryDir> folder_;
    QString path() const { return folder_->filePath(QStringLiteral("varolobby.ini")); }
};

void TestSettings::init()
{
    folder_ = std::make_unique<QTemporaryDir>();
}

void TestSettings::missingFileGivesDefaults()
{
    const IniFile ini(path());
    QCOMPARE(ini.readString("Pinfall", "Textcolor", "clblack"), QStringLiteral("clblack"));
    QCOMPARE(ini.readInteger("Pinfall", "Top", 3), 3);
    QVERIFY(!QFile::exists(path()));
}

void TestSettings::namesMatchWithoutCaseFirstWins()
{
    writeFile(
        path(),
        "[Lobby]\r\nTop=99\r\n[pinfall]\r\n  TOP =  120  \r\nTop=7\r\nWidth=wide\r\n[Pinfall]\r\nLeft=5\r\n");
    const IniFile ini(path());
    QCOMPARE(ini.readInteger("Pinfall", "top", 3), 120);
    QCOMPARE(ini.readInteger("Pinfall", "Width", 581), 581); // not a number: the default
    QCOMPARE(ini.readInteger("Pinfall", "Left", 3), 3);      // only the first section of a name counts
    QCOMPARE(ini.readString("LOBBY", "top", {}), QStringLiteral("99"));
}

void TestSettings::writeKeepsEverythingElse()
{
    const QByteArray before = "; the lobby's own settings\n"
                              "[Lobby]\n"
                              "Server = lobby.example   \n"
                              "\n"
                              "[Pinfall]\n"
                              "top=10\n"
                              "  Phrase1=Hi there  \n"
                              "\n"
                              "[Other Game]\n"
                              "Top=1\n";
    writeFile(path(), before);
    const IniFile ini(path());
    QVERIFY(ini.writeString("Pinfall", "Top", "250"));
    QCOMPARE(contents(path()), QByteArray(before).replace("top=10", "Top=250"));
    QCOMPARE(ini.readString("Pinfall", "Phrase1", {}), QStringLiteral("Hi there"));
}

void TestSettings::writeAddsKeysAndSections()
{
    writeFile(path(), "[Pinfall]\r\nTop=1\r\n\r\n[Lobby]\r\nX=2\r\n");
    const IniFile ini(path());
    QVERIFY(ini.writeString("Pinfall", "Width", "600"));
    QVERIFY(ini.writeString("Tally", "Games", "3"));
    QCOMPARE(contents(path()),
             QByteArray("[Pinfall]\r\nTop=1\r\nWidth=600\r\n\r\n[Lobby]\r\nX=2\r\n[Tally]\r\nGames=3\r\n"));

    const IniFile fresh(folder_->filePath(QStringLiteral("new.ini")));
    QVERIFY(fresh.writeString("Pinfall", "Type", "true"));
    QCOMPARE(fresh.readString("pinfall", "type", "false"), QStringLiteral("true"));
}

void TestSettings::colourNamesAndNumbers()
{
    QCOMPARE(ColorText::toColor(u"clBlack"), std::optional<quint32>(0));
    QCOMPARE(ColorText::toColor(u"clblack"), std::optional<quint32>(0));
    QCOMPARE(ColorText::toColor(u"CLRED"), std::optional<quint32>(0x0000FF));
    QCOMPARE(ColorText::toColor(u"clBlue"), std::optional<quint32>(0xFF0000));
    QCOMPARE(ColorText::toColor(u"clMoneyGreen"), std::optional<quint32>(0xC0DCC0));
    QCOMPARE(ColorText::toColor(u"clBtnFace"), std::optional<quint32>(0xFF00000F));
    QCOMPARE(ColorText::toColor(u"$00FF8040"), std::optional<quint32>(0x00FF8040));
    QCOMPARE(ColorText::toColor(u"255"), std::optional<quint32>(255));
    for (const char16_t* notAColour : {u"", u"b", u"$", u"$xyz", u"clPink", u"12a"})
        QCOMPARE(ColorText::toColor(notAColour), std::optional<quint32>());
}

void TestSettings::colourTextRoundTrips()
{
    QCOMPARE(ColorText::fromColor(0x000000), QStringLiteral("clBlack"));
    QCOMPARE(ColorText::fromColor(0x808080), QStringLiteral("clGray"));
    QCOMPARE(ColorText::fromColor(0xFF000005), QStringLiteral("clWindow"));
    QCOMPARE(ColorText::fromColor(0x00FF8040), QStringLiteral("$00FF8040"));
    for (const quint32 colour : {0x000000u, 0x0000FFu, 0x123456u, 0xFFFFFFu, 0xFF000012u, 0x00ABCDEFu})
        QCOMPARE(ColorText::toColor(ColorText::fromColor(colour)), std::optional<quint32>(colour));
}

void TestSettings::unwritableProgramFolderFallsBack()
{
    QCOMPARE(chooseDataFolder(folder_->path(), folder_->filePath("fallback")), folder_->path());
    // A folder below a plain file can never be written, not even by root.
    writeFile(folder_->filePath("file"), "x");
    const QString fallback = folder_->filePath(QStringLiteral("config/pinfall"));
    QCOMPARE(chooseDataFolder(folder_->filePath("file/bin"), fallback), fallback);
    QVERIFY(QFileInfo(fallback).isDir());
}

void TestSettings::eachKeyReadsByItsRuleAndWritesBack_data()
{
    QTest::addColumn<QByteArray>("stored"); // the lines of the section "Pinfall"
    QTest::addColumn<GameSettings>("read");
    QTest::addColumn<QByteArray>("written"); // lines a fresh file holds once `read` is written

    QTest::newRow("nothing stored")
        << QByteArray() << GameSettings{}
        << QByteArray("[Pinfall]\r\nTop=3\r\nLeft=3\r\nWidth=581\r\nHeight=576\r\n"
                      "Textsize=8\r\nTextcolor=clBlack\r\nActioncolor=clBlack\r\n"
                      "Timeperturn=1\r\nTurnsound=0\r\nTimebetween=10\r\nType=false\r\n"
                      "Usespace=false\r\nShowbadword=true\r\nClearwords=false\r\n"
                      "Playsounds=true\r\nShowmissedwords=true\r\nComputerPlayers=\r\nComputerLevel=\r\n"
                      "PlayerName=\r\nJoinAddress=\r\nHostHere=false\r\nLobbyAddress=\r\nPhrase1=\r\n");
    QTest::newRow("numbers") << QByteArray("Top=120\r\nLeft=-5\r\nWidth=wide\r\nHeight=\r\nTextsize=11")
                             << GameSettings{.top = 120, .left = -5, .textSize = 11}
                             << QByteArray(
                                    "Top=120\r\nLeft=-5\r\nWidth=581\r\nHeight=576\r\nTextsize=11\r\n");
    QTest::newRow("colours") << QByteArray("Textcolor=CLRED\r\nActioncolor=$00FF8040")
                             << GameSettings{.textColour = 0x0000FF, .actionColour = 0xFF8040}
                             << QByteArray("Textcolor=clRed\r\nActioncolor=$00FF8040\r\n");
    QTest::newRow("no colour") << QByteArray("Textcolor=pink\r\nActioncolor=") << GameSettings{}
                               << QByteArray("Textcolor=clBlack\r\nActioncolor=clBlack\r\n");
    QTest::newRow("time per turn") << QByteArray("Timeperturn=500") << GameSettings{.timePerTurn = 500}
                                   << QByteArray("Timeperturn=500\r\n");
    QTest::newRow("time per turn no number")
        << QByteArray("Timeperturn=soon") << GameSettings{.timePerTurn = std::nullopt}
        << QByteArray("Timeperturn=\r\n");
    QTest::newRow("time per turn empty")
        << QByteArray("Timeperturn=") << GameSettings{.timePerTurn = std::nullopt}
        << QByteArray("Timeperturn=\r\n");
    QTest::newRow("computer players")
        << QByteArray("ComputerPlayers=2\r\nComputerLevel=expert")
        << GameSettings{.computerPlayers = 2, .computerLevel = QStringLiteral("expert")}
        << QByteArray("ComputerPlayers=2\r\nComputerLevel=expert\r\n");
    QTest::newRow("playing with others")
        << QByteArray("PlayerName=Ann Lee\r\nJoinAddress=games.example.org:7773\r\nHostHere=true\r\n"
                      "LobbyAddress=lobby.example.org")
        << GameSettings{.playerName = QStringLiteral("Ann Lee"),
                        .joinAddress = QStringLiteral("games.example.org:7773"),
                        .hostHere = true,
                        .lobbyAddress = QStringLiteral("lobby.example.org")}
        << QByteArray("PlayerName=Ann Lee\r\nJoinAddress=games.example.org:7773\r\nHostHere=true\r\n"
                      "LobbyAddress=lobby.example.org\r\n");
    QTest::newRow("computer players no number")
        << QByteArray("ComputerPlayers=two") << GameSettings{} << QByteArray("ComputerPlayers=\r\n");
    QTest::newRow("choices") << QByteArray("Turnsound=1\r\nTimebetween=15")
                             << GameSettings{.turnSound = 1, .secondsBetweenRounds = 15}
                             << QByteArray("Turnsound=1\r\nTimebetween=15\r\n");
    QTest::newRow("short pause") << QByteArray("Timebetween=5") << GameSettings{.secondsBetweenRounds = 5}
                                 << QByteArray("Timebetween=5\r\n");
    QTest::newRow("no such choice") << QByteArray("Turnsound=2\r\nTimebetween=05") << GameSettings{}
                                    << QByteArray("Turnsound=0\r\nTimebetween=10\r\n");
    QTest::newRow("flags not at their default")
        << QByteArray("Type=true\r\nUsespace=true\r\nShowbadword=false\r\nClearwords=true\r\nPlaysounds="
                      "false\r\nShowmissedwords=false")
        << GameSettings{.typeWords = true,
                        .spaceSorts = true,
                        .showBadWord = false,
                        .clearBadWords = true,
                        .playSounds = false,
                        .showMissedWords = false}
        << QByteArray("Type=true\r\nUsespace=true\r\nShowbadword=false\r\nClearwords=true\r\nPlaysounds="
                      "false\r\nShowmissedwords=false\r\n");
    QTest::newRow("flags in other words")
        << QByteArray("Type=TRUE\r\nUsespace=1\r\nShowbadword=FALSE\r\nClearwords=yes\r\nPlaysounds=0")
        << GameSettings{}
        << QByteArray(
               "Type=false\r\nUsespace=false\r\nShowbadword=true\r\nClearwords=false\r\nPlaysounds=true\r\n");
    QTest::newRow("phrases") << QByteArray("Phrase3=Hello all\r\nPhrase10=/me bows\r\nPhrase2=")
                             << GameSettings{.phrases = {"", "", "Hello all", "", "", "", "", "", "",
                                                         "/me bows"}}
                             << QByteArray("Phrase2=\r\nPhrase3=Hello all\r\n");
}

void TestSettings::eachKeyReadsByItsRuleAndWritesBack()
{
    QFETCH(QByteArray, stored);
    QFETCH(GameSettings, read);
    QFETCH(QByteArray, written);
    writeFile(path(), "[Pinfall]\r\n" + stored + "\r\n");
    QCOMPARE(readGameSettings(IniFile(path())), read);

    const IniFile fresh(folder_->filePath(QStringLiteral("fresh.ini")));
    writeGameSettings(fresh, read);
    writePhrases(fresh, read.phrases);
    QVERIFY2(contents(fresh.path()).contains(written), contents(fresh.path()).constData());
    QCOMPARE(readGameSettings(fresh), read);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"

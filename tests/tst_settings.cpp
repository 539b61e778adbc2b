// The settings file shared with the lobby, colour text, and where the files go.
#include "colortext.h"
#include "datafolder.h"
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

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"

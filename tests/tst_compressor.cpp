// The tally's compressed container: exact bytes of the LZRW1/KH coder, both methods round
// trip, and every broken input fails cleanly.
#include "lzhuf.h"
#include "lzrw1.h"
#include "lzrw1kh.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = static_cast<char>(generator.bounded(256));
    return bytes;
}

QByteArray wordsText(qsizetype size)
{
    QByteArray text;
    const QList<QByteArray> words{"strike ", "spare ", "gutter ", "frame ", "pin ", "lane\n", "ball "};
    for (int i = 0; text.size() < size; ++i)
        text += words[(i * 7 + i / 3) % words.size()];
    return text.left(size);
}

// The LZH coder keeps the ring's first 59 bytes a second time after its end, so that a string
// starting near the end compares in one piece. Here a letter and 58 zeros (what a stale copy
// reads) start at the ring's last place in its fourth round, followed by a one; `gap` bytes
// away the same 59 are followed by a zero. A coder whose copy lags takes one for the other.
QByteArray stringAcrossTheRingsEnd(qsizetype gap)
{
    constexpr qsizetype kRing = 4096;
    constexpr qsizetype kAtRingsEnd = 59 + 3 * kRing; // the first byte goes 60 places before the end
    QByteArray input = randomBytes(5 * kRing, 5);
    const QByteArray head = 'Z' + QByteArray(58, '\0');
    input.replace(kAtRingsEnd, 60, head + '\1');
    input.replace(kAtRingsEnd + gap, 60, head + '\0');
    return input;
}

QByteArray compressed(const QByteArray& input, Tlzrw1::Mode mode = Tlzrw1::Mode::Fast)
{
    return Tlzrw1::compressBytes(input, mode);
}

QByteArray restored(const QByteArray& container)
{
    QByteArray output;
    Tlzrw1::decompressBytes(container, output);
    return output;
}

// The coded blocks of an LZRW1/KH container.
QList<QByteArray> blocksOf(const QByteArray& container)
{
    QList<QByteArray> blocks;
    for (qsizetype at = 8; at + 2 <= container.size();) {
        const quint16 length = qFromLittleEndian<quint16>(container.constData() + at);
        blocks << container.mid(at + 2, length);
        at += 2 + length;
    }
    return blocks;
}

QString failure(const QByteArray& container)
{
    try {
        restored(container);
    } catch (const ELzrw1Exception& e) {
        return QString::fromUtf8(e.what());
    }
    return QStringLiteral("no failure");
}

QByteArray container(quint32 identifier, qint32 size, const QByteArray& payload)
{
    QByteArray bytes(8, '\0');
    qToLittleEndian(identifier, bytes.data());
    qToLittleEndian(size, bytes.data() + 4);
    return bytes + payload;
}

QByteArray block(const QByteArray& coded)
{
    QByteArray length(2, '\0');
    qToLittleEndian<quint16>(static_cast<quint16>(coded.size()), length.data());
    return length + coded;
}

} // namespace

class TestCompressor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyInputIsElevenBytes();
    void fullBlockIsFollowedByAnEmptyOne();
    void runsAreCodedAsRuns();
    void copiesReachBack();
    void incompressibleBlocksAreStored();
    void blocksFollowTheInput();
    void bothMethodsRoundTrip_data();
    void bothMethodsRoundTrip();
    void lzhContainerGivesExactlyItsSize();
    void shortLzhInputsMeetTheRingsZeros_data();
    void shortLzhInputsMeetTheRingsZeros();
    void adviseChoosesByRatio();
    void brokenInputsFail_data();
    void brokenInputsFail();
    void failedFileOperationLeavesNoOutput();
    void commandLineTool();
};

void TestCompressor::emptyInputIsElevenBytes()
{
    const QByteArray out = compressed({});
    QCOMPARE(out, QByteArray("WRZL\0\0\0\0\x01\0\x80", 11));
    QCOMPARE(restored(out), QByteArray());
}

void TestCompressor::fullBlockIsFollowedByAnEmptyOne()
{
    const QList<QByteArray> blocks = blocksOf(compressed(QByteArray(Lzrw1kh::kBlockSize, 'x')));
    QCOMPARE(blocks.size(), 2);
    QCOMPARE(blocks[1], QByteArray("\x80"));
}

void TestCompressor::runsAreCodedAsRuns()
{
    const QByteArray hundred = compressed(QByteArray(100, 'A'));
    QCOMPARE(blocksOf(hundred), QList<QByteArray>{QByteArray("\x40\x80\x00\x00\x00\x54\x41", 7)});
    // 4 096 equal bytes: a run of 4 095 and a literal.
    QCOMPARE(blocksOf(compressed(QByteArray(4096, 'A'))),
             QList<QByteArray>{QByteArray("\x40\x80\x00\x00\x0F\xEF\x41\x41", 8)});
    QCOMPARE(restored(hundred), QByteArray(100, 'A'));
}

void TestCompressor::copiesReachBack()
{
    // Three literals, then one copy of 17 bytes from 3 back, overlapping what it writes.
    Lzrw1kh::HashTable hash;
    const QByteArray coded = Lzrw1kh::compressBlock("abcabcabcabcabcabcab", hash);
    QCOMPARE(coded, QByteArray("\x40\x10\x00"
                               "abc"
                               "\x00\x3E",
                               8));
    QCOMPARE(Lzrw1kh::decompressBlock(coded), QByteArray("abcabcabcabcabcabcab"));
    QCOMPARE(Lzrw1kh::decompressBlock(QByteArray("\x40\x10\x00"
                                                 "abc"
                                                 "\x00\x33",
                                                 8)),
             QByteArray("abcabcabc"));
}

void TestCompressor::incompressibleBlocksAreStored()
{
    const QList<QByteArray> blocks = blocksOf(compressed(randomBytes(2 * Lzrw1kh::kBlockSize + 10, 7)));
    QCOMPARE(blocks.size(), 3);
    QCOMPARE(blocks[0].size(), Lzrw1kh::kBlockSize + 1);
    QCOMPARE(blocks[0][0], '\x80');
    QCOMPARE(blocks[2].size(), 11);
}

void TestCompressor::blocksFollowTheInput()
{
    QList<qsizetype> sizes;
    for (const QByteArray& coded : blocksOf(compressed(wordsText(70000))))
        sizes << Lzrw1kh::decompressBlock(coded).size();
    QCOMPARE(sizes, (QList<qsizetype>{32768, 32768, 4464}));
}

void TestCompressor::bothMethodsRoundTrip_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("one byte") << QByteArray("z");
    QTest::newRow("text") << wordsText(100000);
    QTest::newRow("block less one") << wordsText(32767);
    QTest::newRow("block and one") << wordsText(32769);
    QTest::newRow("two blocks") << randomBytes(65536, 3);
    QTest::newRow("random") << randomBytes(50000, 11);
    QTest::newRow("runs and noise") << QByteArray(5000, '\0') + randomBytes(300, 5) +
                                           QByteArray(70000, '\xFF');
    QByteArray pattern;
    for (int i = 0; i < 60000; ++i)
        pattern += static_cast<char>((qint64{i} * i) % 251);
    QTest::newRow("pattern") << pattern;
    QTest::newRow("string met again before the ring's end") << stringAcrossTheRingsEnd(-1000);
    QTest::newRow("string met again after the ring's end") << stringAcrossTheRingsEnd(1000);
    QFile records(QStringLiteral(":/TEXT_DEMO"));
    if (records.open(QIODevice::ReadOnly))
        QTest::newRow("dictionary records") << records.read(400000);
}

void TestCompressor::bothMethodsRoundTrip()
{
    QFETCH(QByteArray, input);
    for (const Tlzrw1::Mode mode : {Tlzrw1::Mode::Fast, Tlzrw1::Mode::Good}) {
        const QByteArray out = compressed(input, mode);
        QCOMPARE(out.left(4), mode == Tlzrw1::Mode::Fast ? QByteArray("WRZL") : QByteArray("!HZL"));
        QCOMPARE(qFromLittleEndian<qint32>(out.constData() + 4), qint32(input.size()));
        const QByteArray back = restored(out);
        QCOMPARE(back.size(), input.size());
        QVERIFY(back == input);
    }
}

// The ring starts with 4,036 blanks and zeros after them. An input shorter than the longest
// match leaves some of those zeros in the look-ahead, where they steer which earlier string a
// match is taken from; a ring of blanks throughout gave other bytes for these.
void TestCompressor::shortLzhInputsMeetTheRingsZeros_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("coded");
    QTest::addColumn<QByteArray>("codedByBlanksThroughout"); // what files written before hold
    QTest::newRow("five blanks") << QByteArray("     ") << QByteArray::fromHex("8e0000")
                                 << QByteArray::fromHex("8e1d80");
    QTest::newRow("a letter and blanks")
        << QByteArray("a          ") << QByteArray::fromHex("f6c98280") << QByteArray::fromHex("f6c98f00");
    QTest::newRow("a word and blanks")
        << QByteArray("start") + QByteArray(50, ' ') << QByteArray::fromHex("ff807b7fd8976360")
        << QByteArray::fromHex("ff807b7fd8976400");
}

void TestCompressor::shortLzhInputsMeetTheRingsZeros()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, coded);
    QFETCH(QByteArray, codedByBlanksThroughout);
    QCOMPARE(Lzhuf::compress(input).toHex(), coded.toHex());
    QCOMPARE(Lzhuf::decompress(coded, input.size()), input);
    QCOMPARE(Lzhuf::decompress(codedByBlanksThroughout, input.size()), input);
}

void TestCompressor::lzhContainerGivesExactlyItsSize()
{
    const QByteArray text = wordsText(20000);
    const QByteArray good = compressed(text, Tlzrw1::Mode::Good);
    QVERIFY(good.size() < text.size() / 3);
    QCOMPARE(restored(good), text);
    // The stream has no length of its own: the header's size says where to stop.
    QByteArray nothing = good;
    qToLittleEndian<qint32>(0, nothing.data() + 4);
    QCOMPARE(restored(nothing), QByteArray());
}

void TestCompressor::adviseChoosesByRatio()
{
    QByteArray small = wordsText(98303);
    QBuffer device(&small);
    device.open(QIODevice::ReadOnly);
    Tlzrw1 doit;
    doit.UseStream = true;
    doit.setStreams(&device, nullptr);
    QCOMPARE(doit.Advise(), Tlzrw1::Mode::Good);
    QByteArray large = QByteArray(200000, 'q');
    QBuffer largeDevice(&large);
    largeDevice.open(QIODevice::ReadOnly);
    doit.setStreams(&largeDevice, nullptr);
    QCOMPARE(doit.Advise(), Tlzrw1::Mode::Fast);
    QByteArray noise = randomBytes(200000, 2);
    QBuffer noiseDevice(&noise);
    noiseDevice.open(QIODevice::ReadOnly);
    doit.setStreams(&noiseDevice, nullptr);
    QCOMPARE(doit.Advise(), Tlzrw1::Mode::Good);
    // Auto uses the advice.
    QCOMPARE(compressed(large, Tlzrw1::Mode::Auto).left(4), QByteArray("WRZL"));
}

void TestCompressor::brokenInputsFail_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("message");
    const QString corrupt = QStringLiteral("Lzrw1 decompression : the input stream is corrupt !");
    const QString reading = QStringLiteral("Lzrw1 : Error reading from input stream !");
    const QString fastSizes =
        QStringLiteral("Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
    const quint32 fast = Tlzrw1::kLzrw1Identifier;
    const quint32 good = Tlzrw1::kLzhIdentifier;
    const QByteArray text = wordsText(40000);

    QTest::newRow("no header") << QByteArray("PKZIP\0\0\0\0\0", 10)
                               << QStringLiteral(
                                      "Lzrw1 decompression : input stream contains no valid header !");
    QTest::newRow("empty file") << QByteArray()
                                << QStringLiteral(
                                       "Lzrw1 decompression : input stream contains no valid header !");
    QTest::newRow("short header") << QByteArray("WRZL\x05", 5) << reading;
    QTest::newRow("missing block") << container(fast, 5, {}) << reading;
    QTest::newRow("cut block") << container(fast, 5,
                                            QByteArray("\x06\x00\x80"
                                                       "ab",
                                                       5))
                               << reading;
    QTest::newRow("copy before start") << container(fast, 5,
                                                    block(QByteArray("\x40\x40\x00"
                                                                     "a"
                                                                     "\x00\x51",
                                                                     6)))
                                       << corrupt;
    QTest::newRow("item cut short") << container(fast, 5, block(QByteArray("\x40\x80\x00\x00", 4)))
                                    << corrupt;
    QByteArray nineRuns("\x40\xFF\x80", 3); // nine runs of 4 111 bytes: more than a block holds
    for (int i = 0; i < 9; ++i)
        nineRuns += QByteArray("\x00\x0F\xFF\x41", 4);
    QTest::newRow("run past block") << container(fast, 40000, block(nineRuns)) << corrupt;
    QTest::newRow("stored too long") << container(fast, 40000,
                                                  block(QByteArray(1, '\x80') + QByteArray(32769, 'a')))
                                     << corrupt;
    QTest::newRow("size too small") << container(fast, 3,
                                                 block("\x80"
                                                       "abcd"))
                                    << fastSizes;
    QTest::newRow("size too large") << container(fast, 9,
                                                 block("\x80"
                                                       "abcd"))
                                    << fastSizes;
    QTest::newRow("negative size") << container(fast, -1,
                                                block("\x80"
                                                      "abcd"))
                                   << fastSizes;
    QByteArray lzh = compressed(text, Tlzrw1::Mode::Good);
    QTest::newRow("lzh cut") << lzh.left(lzh.size() / 2) << corrupt;
    QByteArray bigger = lzh;
    qToLittleEndian<qint32>(text.size() + 500, bigger.data() + 4);
    QTest::newRow("lzh size too large") << bigger << corrupt;
    QTest::newRow("lzh negative size") << container(good, -5, {}) << corrupt;
    QTest::newRow("lzh nothing") << container(good, 10, {}) << corrupt;
}

void TestCompressor::brokenInputsFail()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, message);
    QCOMPARE(failure(input), message);
}

void TestCompressor::failedFileOperationLeavesNoOutput()
{
    QTemporaryDir folder;
    const QString bad = folder.filePath(QStringLiteral("bad.tld"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(container(Tlzrw1::kLzrw1Identifier, 5,
                         block(QByteArray("\x40\x40\x00"
                                          "a"
                                          "\x00\x51",
                                          6))));
    file.close();
    Tlzrw1 doit;
    doit.InputFile = bad;
    doit.OutputFile = folder.filePath(QStringLiteral("out.txt"));
    QVERIFY_THROWS_EXCEPTION(ELzrw1Exception, doit.Decompress());
    QVERIFY(!QFile::exists(doit.OutputFile));

    doit.InputFile = folder.filePath(QStringLiteral("missing"));
    try {
        doit.Compress();
        QFAIL("no exception");
    } catch (const ELzrw1Exception& e) {
        QCOMPARE(QString::fromUtf8(e.what()),
                 "Lzrw1 compression : Failed to obtain the size of : " + doit.InputFile);
    }
    doit.InputFile = bad;
    doit.OutputFile = folder.filePath(QStringLiteral("no/such/folder/out"));
    try {
        doit.Decompress();
        QFAIL("no exception");
    } catch (const ELzrw1Exception& e) {
        QCOMPARE(QString::fromUtf8(e.what()),
                 "Lzrw1 (de)compression : Failed to open output file : " + doit.OutputFile);
    }
}

void TestCompressor::commandLineTool()
{
    QTemporaryDir folder;
    const QString plain = folder.filePath(QStringLiteral("plain"));
    QFile file(plain);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(wordsText(5000));
    file.close();
    for (const QStringList& method : {QStringList{}, QStringList{"--good"}}) {
        QProcess tool;
        tool.start(QStringLiteral(PINFALL_LZRW1_PATH),
                   QStringList{"c"} + method + QStringList{plain, plain + ".lz"});
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), 0);
        tool.start(QStringLiteral(PINFALL_LZRW1_PATH), {"d", plain + ".lz", plain + ".back"});
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), 0);
        QFile back(plain + ".back");
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), wordsText(5000));
    }
    QProcess tool;
    tool.start(QStringLiteral(PINFALL_LZRW1_PATH), {"d", plain, plain + ".out"});
    QVERIFY(tool.waitForFinished());
    QCOMPARE(tool.exitCode(), 1);
    QCOMPARE(QString::fromLocal8Bit(tool.readAllStandardError()).trimmed(),
             plain + " : Lzrw1 decompression : this file has no valid header !");
    QVERIFY(!QFile::exists(plain + ".out"));
}

QTEST_GUILESS_MAIN(TestCompressor)
#include "tst_compressor.moc"

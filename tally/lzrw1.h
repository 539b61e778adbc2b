#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <array>
#include <stdexcept>

// Every failure of the compressor, with a message for the user.
class ELzrw1Exception : public std::runtime_error {
public:
    explicit ELzrw1Exception(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The compressed file container of the tally: an 8-byte header (method identifier, then the
// uncompressed size, little-endian) and the payload of one of two methods: LZRW1/KH blocks
// (fast) or one LZHUF stream (good). Decompression takes the method from the header.
//
// It works file to file (InputFile, OutputFile) or, with UseStream, device to device. An
// error while writing removes the unfinished output file; the input file is always closed.
class Tlzrw1 {
public:
    enum class Mode { Good, Fast, Auto };

    static constexpr quint32 kLzrw1Identifier = 0x4C5A5257; // "WRZL" on disk
    static constexpr quint32 kLzhIdentifier = 0x4C5A4821;   // "!HZL" on disk

    QString InputFile;
    QString OutputFile;
    Mode CompressMode = Mode::Good;
    bool UseStream = false;
    int Threshold = 40; // percent, for Advise

    // The devices of the stream form; the caller opens them.
    void setStreams(QIODevice* input, QIODevice* output)
    {
        input_ = input;
        output_ = output;
    }

    // The stream form over bytes in memory. Throw ELzrw1Exception like Compress and Decompress;
    // decompressing fills `output` as far as it gets before a failure.
    static QByteArray compressBytes(const QByteArray& input, Mode mode);
    static qint64 decompressBytes(const QByteArray& packed, QByteArray& output);

    // Returns the bytes written, header included. Throws ELzrw1Exception.
    qint64 Compress();
    // Returns the bytes written. Throws ELzrw1Exception.
    qint64 Decompress();
    // Good for an input of at most 98 303 bytes; for a larger one, Fast when two sampled
    // blocks compress below Threshold percent with LZRW1/KH.
    Mode Advise();

private:
    struct Devices;
    Devices open(bool compressing);
    static Mode adviseFor(const QByteArray& input, int threshold, std::array<int, 4096>& hash);

    QIODevice* input_ = nullptr;
    QIODevice* output_ = nullptr;
    std::array<int, 4096> hash_{}; // the LZRW1/KH hash table, kept for the component's life
};

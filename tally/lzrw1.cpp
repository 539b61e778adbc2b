#include "lzrw1.h"

#include "lzhuf.h"
#include "lzrw1kh.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <limits>
#include <memory>

namespace {

constexpr qint64 kGoodUpTo = 98303;

} // namespace

// The two devices of one operation, and what to say when they fail.
struct Tlzrw1::Devices {
    std::unique_ptr<QFile> inputFile;
    std::unique_ptr<QFile> outputFile;
    QIODevice* in = nullptr;
    QIODevice* out = nullptr;
    bool stream = false;
    QString inputFileName;

    // Closes the output and removes it when it is a file of ours: it is unfinished.
    void abandonOutput()
    {
        if (outputFile) {
            outputFile->close();
            outputFile->remove();
        }
    }

    QString readError(const QString& method = {}) const
    {
        const QString suffix = method.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(method);
        return stream ? QStringLiteral("Lzrw1 : Error reading from input stream !") + suffix
                      : QStringLiteral("Lzrw1 : Error reading from input file : ") + inputFileName + suffix;
    }
};

Tlzrw1::Devices Tlzrw1::open(bool compressing)
{
    Devices devices;
    devices.stream = UseStream;
    devices.inputFileName = InputFile;
    if (UseStream) {
        if (input_ == nullptr || !input_->isReadable())
            throw ELzrw1Exception(
                QStringLiteral("Lzrw1 (de)compression : Failed to initialize input stream !"));
        if (output_ == nullptr || !output_->isWritable())
            throw ELzrw1Exception(
                QStringLiteral("Lzrw1 (de)compression : Failed to initialize output stream !"));
        devices.in = input_;
        devices.out = output_;
        return devices;
    }
    if (compressing && !QFileInfo(InputFile).isFile())
        throw ELzrw1Exception(QStringLiteral("Lzrw1 compression : Failed to obtain the size of : ") +
                              InputFile);
    devices.inputFile = std::make_unique<QFile>(InputFile);
    if (!devices.inputFile->open(QIODevice::ReadOnly))
        throw ELzrw1Exception(QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ") +
                              InputFile);
    devices.outputFile = std::make_unique<QFile>(OutputFile);
    if (!devices.outputFile->open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ELzrw1Exception(QStringLiteral("Lzrw1 (de)compression : Failed to open output file : ") +
                              OutputFile);
    devices.in = devices.inputFile.get();
    devices.out = devices.outputFile.get();
    return devices;
}

qint64 Tlzrw1::Compress()
{
    Devices devices = open(true);
    const auto write = [&devices](const QByteArray& bytes) {
        if (devices.out->write(bytes) != bytes.size()) {
            throw ELzrw1Exception(devices.stream ? QStringLiteral("Lzrw1 : Error writing to output stream !")
                                                 : QStringLiteral("Lzrw1 : Error writing to output file : ") +
                                                       devices.outputFile->fileName());
        }
    };
    try {
        const QByteArray input = devices.in->readAll();
        if (input.size() > std::numeric_limits<qint32>::max())
            throw ELzrw1Exception(
                devices.stream
                    ? QStringLiteral("Lzrw1 compression : Failed to obtain the size of the input stream !")
                    : QStringLiteral("Lzrw1 compression : Failed to obtain the size of : ") + InputFile);
        const Mode mode = CompressMode == Mode::Auto ? adviseFor(input, Threshold, hash_) : CompressMode;
        QByteArray header(8, '\0');
        qToLittleEndian<quint32>(mode == Mode::Fast ? kLzrw1Identifier : kLzhIdentifier, header.data());
        qToLittleEndian<qint32>(static_cast<qint32>(input.size()), header.data() + 4);
        write(header);
        qint64 written = header.size();
        if (mode == Mode::Fast) {
            // Blocks of 32 768 bytes; an input that fills its last block ends with an empty one.
            for (qsizetype at = 0;; at += Lzrw1kh::kBlockSize) {
                const QByteArrayView piece =
                    QByteArrayView(input).sliced(at, std::min(Lzrw1kh::kBlockSize, input.size() - at));
                const QByteArray block = Lzrw1kh::compressBlock(piece, hash_);
                QByteArray length(2, '\0');
                qToLittleEndian<quint16>(static_cast<quint16>(block.size()), length.data());
                write(length);
                write(block);
                written += length.size() + block.size();
                if (piece.size() < Lzrw1kh::kBlockSize)
                    break;
            }
        } else {
            const QByteArray stream = Lzhuf::compress(input);
            write(stream);
            written += stream.size();
        }
        if (devices.outputFile)
            devices.outputFile->close();
        return written;
    } catch (...) {
        devices.abandonOutput();
        throw;
    }
}

qint64 Tlzrw1::Decompress()
{
    Devices devices = open(false);
    const auto read = [&devices](qint64 count) {
        QByteArray bytes = devices.in->read(count);
        if (bytes.size() != count)
            throw ELzrw1Exception(devices.readError());
        return bytes;
    };
    const auto write = [&devices](const QByteArray& bytes) {
        if (devices.out->write(bytes) != bytes.size()) {
            throw ELzrw1Exception(devices.stream ? QStringLiteral("Lzrw1 : Error writing to output stream !")
                                                 : QStringLiteral("Lzrw1 : Error writing to output file : ") +
                                                       devices.outputFile->fileName());
        }
    };
    const QString corrupt = devices.stream
                                ? QStringLiteral("Lzrw1 decompression : the input stream is corrupt !")
                                : QStringLiteral("Lzrw1 decompression : this file is corrupt : ") + InputFile;
    try {
        const QByteArray header = devices.in->read(8);
        const quint32 identifier = header.size() >= 4 ? qFromLittleEndian<quint32>(header.constData()) : 0;
        if (identifier != kLzrw1Identifier && identifier != kLzhIdentifier) {
            throw ELzrw1Exception(
                devices.stream
                    ? QStringLiteral("Lzrw1 decompression : input stream contains no valid header !")
                    : InputFile + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !"));
        }
        if (header.size() != 8)
            throw ELzrw1Exception(devices.readError());
        const qint32 size = qFromLittleEndian<qint32>(header.constData() + 4);
        qint64 written = 0;
        if (identifier == kLzrw1Identifier) {
            const QString mismatch = QStringLiteral(
                "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
            for (;;) {
                const QByteArray length = read(2);
                const QByteArray block = read(qFromLittleEndian<quint16>(length.constData()));
                const QByteArray piece = Lzrw1kh::decompressBlock(block);
                written += piece.size();
                if (written > size)
                    throw ELzrw1Exception(mismatch); // no need to read on: it cannot end well
                write(piece);
                if (piece.size() < Lzrw1kh::kBlockSize)
                    break;
            }
            if (written != size)
                throw ELzrw1Exception(mismatch);
        } else {
            const QByteArray stream = devices.in->readAll();
            const QByteArray output = Lzhuf::decompress(stream, size);
            write(output);
            written = output.size();
            if (written != size)
                throw ELzrw1Exception(QStringLiteral(
                    "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !"));
        }
        if (devices.outputFile)
            devices.outputFile->close();
        return written;
    } catch (const CorruptData&) {
        devices.abandonOutput();
        throw ELzrw1Exception(corrupt);
    } catch (...) {
        devices.abandonOutput();
        throw;
    }
}

namespace {

// Runs one operation of a stream-form component from one byte array into another.
template <typename Operation>
void overBytes(QByteArray input, QByteArray& output, Tlzrw1::Mode mode, Operation operation)
{
    QBuffer in(&input);
    QBuffer out(&output);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    Tlzrw1 doit;
    doit.UseStream = true;
    doit.CompressMode = mode;
    doit.setStreams(&in, &out);
    operation(doit);
}

} // namespace

QByteArray Tlzrw1::compressBytes(const QByteArray& input, Mode mode)
{
    QByteArray output;
    overBytes(input, output, mode, [](Tlzrw1& doit) { doit.Compress(); });
    return output;
}

qint64 Tlzrw1::decompressBytes(const QByteArray& packed, QByteArray& output)
{
    qint64 written = 0;
    overBytes(packed, output, Mode::Fast, [&written](Tlzrw1& doit) { written = doit.Decompress(); });
    return written;
}

Tlzrw1::Mode Tlzrw1::Advise()
{
    QByteArray input;
    if (UseStream) {
        if (input_ == nullptr)
            return Mode::Good;
        const qint64 start = input_->pos();
        input = input_->readAll();
        input_->seek(start);
    } else {
        QFile file(InputFile);
        if (!file.open(QIODevice::ReadOnly))
            throw ELzrw1Exception(QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ") +
                                  InputFile);
        input = file.readAll();
    }
    return adviseFor(input, Threshold, hash_);
}

Tlzrw1::Mode Tlzrw1::adviseFor(const QByteArray& input, int threshold, std::array<int, 4096>& hash)
{
    const qint64 size = input.size();
    if (size <= kGoodUpTo)
        return Mode::Good;
    qint64 sampled = 0;
    qint64 coded = 0;
    for (const qint64 third : {size / 3, 2 * size / 3}) {
        const qint64 start = third / Lzrw1kh::kBlockSize * Lzrw1kh::kBlockSize;
        const QByteArrayView piece =
            QByteArrayView(input).sliced(start, std::min<qint64>(Lzrw1kh::kBlockSize, size - start));
        sampled += piece.size();
        coded += Lzrw1kh::compressBlock(piece, hash).size();
    }
    return coded * 100 < sampled * threshold ? Mode::Fast : Mode::Good;
}

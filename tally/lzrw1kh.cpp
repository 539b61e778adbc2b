#include "lzrw1kh.h"

namespace Lzrw1kh {
namespace {

constexpr unsigned char kStored = 0x80;
constexpr unsigned char kCoded = 0x40;
constexpr int kMaxRun = 4095;
constexpr int kMinRun = 16;
constexpr int kMaxCopy = 18;
constexpr int kMinCopy = 3;
constexpr int kWindow = 4096;

// Bytes after the piece count as 0: they only pick which earlier position is tried.
unsigned byteAt(QByteArrayView piece, qsizetype at)
{
    return at < piece.size() ? static_cast<unsigned char>(piece[at]) : 0u;
}

unsigned hashAt(QByteArrayView piece, qsizetype x)
{
    const quint32 key = (((byteAt(piece, x) << 4) ^ byteAt(piece, x + 1)) << 4) ^ byteAt(piece, x + 2);
    return ((key * 40543u) >> 4) & 0xFFFu;
}

// Writes items and their control words into a growing block.
class BlockWriter {
public:
    explicit BlockWriter(qsizetype capacity)
    {
        out_.reserve(capacity + 16);
        out_.append(static_cast<char>(kCoded));
        reserveControl();
    }

    void item(bool copyOrRun, std::initializer_list<unsigned> bytes)
    {
        if (bits_ == 16) {
            storeControl();
            reserveControl();
        }
        for (const unsigned b : bytes)
            out_.append(static_cast<char>(b));
        control_ = static_cast<quint16>(control_ << 1 | (copyOrRun ? 1 : 0));
        ++bits_;
    }

    qsizetype size() const { return out_.size(); }

    QByteArray finish()
    {
        control_ = static_cast<quint16>(control_ << (16 - bits_));
        storeControl();
        return std::move(out_);
    }

private:
    void reserveControl()
    {
        controlAt_ = out_.size();
        out_.append(2, '\0');
        control_ = 0;
        bits_ = 0;
    }
    void storeControl()
    {
        out_[controlAt_] = static_cast<char>(control_ >> 8);
        out_[controlAt_ + 1] = static_cast<char>(control_ & 0xFF);
    }

    QByteArray out_;
    qsizetype controlAt_ = 0;
    quint16 control_ = 0;
    int bits_ = 0;
};

} // namespace

QByteArray compressBlock(QByteArrayView piece, HashTable& hash)
{
    const qsizetype n = piece.size();
    hash.fill(-1);
    BlockWriter out(n);
    qsizetype x = 0;
    while (x < n && out.size() <= n) {
        qsizetype run = 1;
        while (x + run < n && run < kMaxRun && piece[x + run] == piece[x])
            ++run;
        if (run >= kMinRun) {
            const unsigned extra = static_cast<unsigned>(run - kMinRun);
            out.item(true, {0, extra >> 8, extra & 0xFF, byteAt(piece, x)});
            x += run;
            continue;
        }
        const unsigned slot = hashAt(piece, x);
        const int candidate = hash[slot];
        hash[slot] = static_cast<int>(x);
        if (candidate >= 0 && x - candidate < kWindow) {
            qsizetype length = 0;
            while (length < kMaxCopy && x + length < n && piece[candidate + length] == piece[x + length])
                ++length;
            if (length >= kMinCopy) {
                const auto distance = static_cast<unsigned>(x - candidate);
                out.item(true,
                         {distance >> 4, (distance & 0xF) << 4 | static_cast<unsigned>(length - kMinCopy)});
                x += length;
                continue;
            }
        }
        out.item(false, {byteAt(piece, x)});
        ++x;
    }
    QByteArray coded = out.finish();
    if (coded.size() > n) {
        coded = QByteArray(1, static_cast<char>(kStored));
        coded += piece;
    }
    return coded;
}

QByteArray decompressBlock(QByteArrayView block)
{
    const qsizetype length = block.size();
    if (length <= 1)
        return {};
    if (static_cast<unsigned char>(block[0]) == kStored) {
        if (length - 1 > kBlockSize)
            throw CorruptData("a stored block holds more than 32768 bytes");
        return block.sliced(1).toByteArray();
    }
    const auto byte = [&block](qsizetype at) {
        return static_cast<unsigned>(static_cast<unsigned char>(block[at]));
    };
    const auto need = [length](qsizetype end) {
        if (end > length)
            throw CorruptData("a block ends in the middle of an item");
    };
    const auto room = [](qsizetype produced, qsizetype more) {
        if (produced + more > kBlockSize)
            throw CorruptData("a block decodes to more than 32768 bytes");
    };

    QByteArray out;
    out.reserve(kBlockSize);
    need(3);
    unsigned control = byte(1) << 8 | byte(2);
    int bitsLeft = 16;
    qsizetype at = 3;
    while (at < length) {
        if (bitsLeft == 0) {
            need(at + 2);
            control = byte(at) << 8 | byte(at + 1);
            at += 2;
            bitsLeft = 16;
            continue;
        }
        const bool special = (control & 0x8000) != 0;
        control <<= 1;
        --bitsLeft;
        if (!special) {
            room(out.size(), 1);
            out.append(block[at++]);
            continue;
        }
        need(at + 2);
        const unsigned distance = byte(at) << 4 | byte(at + 1) >> 4;
        if (distance != 0) {
            const qsizetype count = (byte(at + 1) & 0xF) + kMinCopy;
            if (distance > static_cast<unsigned>(out.size()))
                throw CorruptData("a copy reaches before the start of its block");
            room(out.size(), count);
            // One byte at a time: an overlapping copy repeats its pattern.
            for (qsizetype i = 0; i < count; ++i)
                out.append(out[out.size() - distance]);
            at += 2;
        } else {
            need(at + 4);
            const qsizetype count = (byte(at + 1) << 8 | byte(at + 2)) + kMinRun;
            room(out.size(), count);
            out.append(count, block[at + 3]);
            at += 4;
        }
    }
    return out;
}

} // namespace Lzrw1kh

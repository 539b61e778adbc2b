#include "lzrw1kh.h"

#include <QSysInfo>

#include <bit>
#include <cstring>

namespace Lzrw1kh {
namespace {

constexpr unsigned char kStored = 0x80;
constexpr unsigned char kCoded = 0x40;
constexpr int kMaxRun = 4095;
constexpr int kMinRun = 16;
constexpr int kMaxCopy = 18;
constexpr int kMinCopy = 3;
constexpr int kWindow = 4096;

// A block that opens with this many literals and nothing else is taken for incompressible
// (random or already compressed bytes) and stored at once instead of being coded to the end.
constexpr qsizetype kProbe = 256;

// Kept out of line, so the decoder's loop stays small.
[[noreturn]] Q_DECL_COLD_FUNCTION Q_NEVER_INLINE void corrupt(const char* what)
{
    throw CorruptData(what);
}

// How many bytes from `a` and `b` on are equal, at most `limit`; eight at a time where it can.
qsizetype commonLength(const unsigned char* a, const unsigned char* b, qsizetype limit)
{
    qsizetype length = 0;
    while (length + 8 <= limit) {
        quint64 wordA = 0;
        quint64 wordB = 0;
        std::memcpy(&wordA, a + length, 8);
        std::memcpy(&wordB, b + length, 8);
        if (const quint64 differ = wordA ^ wordB; differ != 0) {
            // The first differing byte is the lowest one on a little-endian machine, the highest otherwise.
            const int bit = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? std::countr_zero(differ)
                                                                          : std::countl_zero(differ);
            return length + bit / 8;
        }
        length += 8;
    }
    while (length < limit && a[length] == b[length])
        ++length;
    return length;
}

} // namespace

QByteArray compressBlock(QByteArrayView piece, HashTable& hash)
{
    const qsizetype n = piece.size();
    const auto* in = reinterpret_cast<const unsigned char*>(piece.data());
    // The hash looks up to two bytes past the piece; those count as 0 (they only pick which
    // earlier position is tried, and every match is checked).
    const auto at = [in, n](qsizetype i) { return i < n ? unsigned{in[i]} : 0u; };
    hash.fill(-1);

    QByteArray coded(n + 16, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(coded.data());
    out[0] = kCoded;
    qsizetype controlAt = 1;
    qsizetype o = 3;
    unsigned control = 0;
    int bits = 0;
    bool anythingButLiterals = false;
    qsizetype x = 0;
    while (x < n && o <= n) {
        if (bits == 16) {
            out[controlAt] = static_cast<unsigned char>(control >> 8);
            out[controlAt + 1] = static_cast<unsigned char>(control);
            controlAt = o;
            o += 2;
            control = 0;
            bits = 0;
        }
        ++bits;
        qsizetype run = 1;
        if (x + 1 < n && in[x + 1] == in[x])
            run = 1 + commonLength(in + x, in + x + 1, std::min<qsizetype>(kMaxRun - 1, n - x - 1));
        if (run >= kMinRun) {
            const auto extra = static_cast<unsigned>(run - kMinRun);
            out[o] = 0;
            out[o + 1] = static_cast<unsigned char>(extra >> 8);
            out[o + 2] = static_cast<unsigned char>(extra);
            out[o + 3] = in[x];
            o += 4;
            x += run;
            control = control << 1 | 1u;
            anythingButLiterals = true;
            continue;
        }
        const quint32 key = ((in[x] << 4 ^ at(x + 1)) << 4) ^ at(x + 2);
        const unsigned slot = ((key * 40543u) >> 4) & 0xFFFu;
        const int candidate = hash[slot];
        hash[slot] = static_cast<int>(x);
        if (candidate >= 0 && x - candidate < kWindow) {
            const qsizetype length =
                commonLength(in + candidate, in + x, std::min<qsizetype>(kMaxCopy, n - x));
            if (length >= kMinCopy) {
                const auto distance = static_cast<unsigned>(x - candidate);
                out[o] = static_cast<unsigned char>(distance >> 4);
                out[o + 1] = static_cast<unsigned char>((distance & 0xF) << 4 |
                                                        static_cast<unsigned>(length - kMinCopy));
                o += 2;
                x += length;
                control = control << 1 | 1u;
                anythingButLiterals = true;
                continue;
            }
        }
        out[o++] = in[x++];
        control <<= 1;
        if (x == kProbe && !anythingButLiterals)
            break;
    }
    if (x < n || o > n) {
        coded[0] = static_cast<char>(kStored);
        if (n > 0)
            std::memcpy(coded.data() + 1, piece.data(), static_cast<std::size_t>(n));
        coded.resize(n + 1);
        return coded;
    }
    control <<= (16 - bits);
    out[controlAt] = static_cast<unsigned char>(control >> 8);
    out[controlAt + 1] = static_cast<unsigned char>(control);
    coded.resize(o);
    return coded;
}

QByteArray decompressBlock(QByteArrayView block)
{
    const qsizetype length = block.size();
    if (length <= 1)
        return {};
    const auto* in = reinterpret_cast<const unsigned char*>(block.data());
    if (in[0] == kStored) {
        if (length - 1 > kBlockSize)
            throw CorruptData("a stored block holds more than 32768 bytes");
        return block.sliced(1).toByteArray();
    }
    const auto need = [length](qsizetype end) {
        if (end > length) [[unlikely]]
            corrupt("a block ends in the middle of an item");
    };
    const auto room = [](qsizetype produced, qsizetype more) {
        if (produced + more > kBlockSize) [[unlikely]]
            corrupt("a block decodes to more than 32768 bytes");
    };

    QByteArray decoded(kBlockSize + kMaxCopy, Qt::Uninitialized); // slack for whole-word copies
    auto* out = reinterpret_cast<unsigned char*>(decoded.data());
    qsizetype o = 0;
    need(3);
    unsigned control = unsigned{in[1]} << 8 | in[2];
    int bitsLeft = 16;
    qsizetype i = 3;
    while (i < length) {
        if (bitsLeft == 0) {
            need(i + 2);
            control = unsigned{in[i]} << 8 | in[i + 1];
            i += 2;
            bitsLeft = 16;
            continue;
        }
        if ((control & 0x8000u) == 0) {
            // A stretch of literals is copied in one go.
            int literals = std::min(bitsLeft, std::countl_zero(static_cast<quint16>(control)));
            literals = static_cast<int>(std::min<qsizetype>(literals, length - i));
            room(o, literals);
            if (i + 16 <= length)
                std::memcpy(out + o, in + i, 16); // a fixed size copies fastest; the slack takes the rest
            else
                std::memcpy(out + o, in + i, static_cast<std::size_t>(literals));
            o += literals;
            i += literals;
            control <<= literals;
            bitsLeft -= literals;
            continue;
        }
        control <<= 1;
        --bitsLeft;
        need(i + 2);
        const unsigned distance = unsigned{in[i]} << 4 | unsigned{in[i + 1]} >> 4;
        if (distance != 0) {
            const qsizetype count = (in[i + 1] & 0xF) + kMinCopy;
            if (distance > static_cast<unsigned>(o)) [[unlikely]]
                corrupt("a copy reaches before the start of its block");
            room(o, count);
            const unsigned char* from = out + o - distance;
            if (distance >= static_cast<unsigned>(kMaxCopy)) {
                std::memcpy(out + o, from, kMaxCopy); // whole items at once; the slack takes the rest
            } else if (distance >= 8) {
                // Eight bytes at a time: each piece is written before it is read again.
                for (qsizetype k = 0; k < count; k += 8)
                    std::memcpy(out + o + k, from + k, 8);
            } else {
                // An overlapping copy repeats its pattern, one byte at a time.
                for (qsizetype k = 0; k < count; ++k)
                    out[o + k] = from[k];
            }
            o += count;
            i += 2;
        } else {
            need(i + 4);
            const qsizetype count = (unsigned{in[i + 1]} << 8 | in[i + 2]) + kMinRun;
            room(o, count);
            std::memset(out + o, in[i + 3], static_cast<std::size_t>(count));
            o += count;
            i += 4;
        }
    }
    decoded.resize(o);
    return decoded;
}

} // namespace Lzrw1kh

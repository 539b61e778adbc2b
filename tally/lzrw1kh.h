#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <stdexcept>

// A block that breaks the coded format: the file is corrupt.
class CorruptData : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// LZRW1/KH: a fast byte-oriented LZ77 coder over independent blocks of at most 32 768 bytes.
// A coded block is a flag byte (0x80 stored, anything else coded), then 16-bit control words,
// high byte first, each followed by up to 16 items: a literal byte (bit 0), a copy of 3 to 18
// bytes from 1 to 4 095 bytes back (bit 1, two bytes), or a run of 16 to 4 095 equal bytes
// (bit 1, four bytes 0, h, l, value).
namespace Lzrw1kh {

inline constexpr qsizetype kBlockSize = 32768;
using HashTable = std::array<int, 4096>;

// Codes one piece of at most kBlockSize bytes. The table is working space only.
QByteArray compressBlock(QByteArrayView piece, HashTable& hash);

// Decodes one block. Throws CorruptData for a block that would produce more than
// kBlockSize bytes, a copy that reaches before the start of the block, or a block that ends
// in the middle of an item.
QByteArray decompressBlock(QByteArrayView block);

} // namespace Lzrw1kh

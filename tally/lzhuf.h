#pragma once

#include <QByteArray>
#include <QByteArrayView>

// LZHUF: LZSS over a 4 096-byte ring buffer (matches of 3 to 60 bytes found with a binary
// search tree) with an adaptive Huffman coder for the 314 symbols (256 literals and the match
// lengths) and a fixed prefix code for the upper six bits of each match position. The stream
// holds no length: the reader is told how many bytes to produce.
namespace Lzhuf {

QByteArray compress(QByteArrayView input);

// Produces exactly `size` bytes. Throws CorruptData (lzrw1kh.h) for a stream that ends early
// or a match that would run past `size`.
QByteArray decompress(QByteArrayView stream, qint64 size);

} // namespace Lzhuf

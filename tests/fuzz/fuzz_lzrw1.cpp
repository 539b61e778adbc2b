// Feeds arbitrary bytes to the compressor's decompression, as if they were a tally file.
// Whatever the bytes, it must either restore something or say the file is broken.
#include "lzrw1.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray output;
    try {
        const QByteArray packed(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        if (Tlzrw1::decompressBytes(packed, output) != output.size())
            __builtin_trap(); // a success that does not match what was written
    } catch (const ELzrw1Exception&) {
        // a broken file, said so: fine
    }
    return 0;
}

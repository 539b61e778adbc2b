// Feeds arbitrary bytes to the compressor's decompression, as if they were a tally file.
// Whatever the bytes, it must either restore something or say the file is broken.
#include "lzrw1.h"

#include <QBuffer>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QByteArray output;
    QBuffer in(&input);
    QBuffer out(&output);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    Tlzrw1 doit;
    doit.UseStream = true;
    doit.setStreams(&in, &out);
    try {
        const qint64 written = doit.Decompress();
        if (written != output.size())
            __builtin_trap(); // a success that does not match what was written
    } catch (const ELzrw1Exception&) {
        // a broken file, said so: fine
    }
    return 0;
}

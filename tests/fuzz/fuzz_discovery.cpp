// Feeds arbitrary datagrams to the discovery reader, as a stranger on the local network could.
// Whatever they hold, a datagram reads as nothing or as a message that, written again, reads
// back the same.
#include "announcement.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray datagram(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<Discovery::Datagram> read = Discovery::read(datagram);
    if (!read)
        return 0;
    const QByteArray again = std::visit(
        [](const auto& message) {
            using Message = std::decay_t<decltype(message)>;
            if constexpr (std::is_same_v<Message, GameAnnouncement>)
                return Discovery::announcement(message);
            else if constexpr (std::is_same_v<Message, GameGone>)
                return Discovery::goodbye(message.instance);
            else
                return Discovery::query();
        },
        *read);
    if (Discovery::read(again) != read)
        __builtin_trap(); // a message accepted that cannot travel as it was read
    return 0;
}

#pragma once

#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

// Most of what a host can get wrong is in the numbers it sends, and byte mutations seldom make
// a number at the end of its range. So now and then one whole decimal field of a host's
// message becomes such a number; otherwise libFuzzer mutates as it always does. A target's
// LLVMFuzzerCustomMutator hands its arguments on to this.
inline std::size_t mutateNumberFields(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                      unsigned int seed)
{
    static constexpr std::array<std::string_view, 7> kNumbers{
        "-2147483648", "2147483647", "-1000000000", "1000000000", "-1", "0", "11"};
    std::minstd_rand random(seed);
    if (random() % 4 != 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto endsField = [&text](std::size_t at) {
        return at == text.size() || std::string_view("+*#\xFF").find(text[at]) != std::string_view::npos;
    };
    std::vector<std::pair<std::size_t, std::size_t>> fields; // where a number starts, its length
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at > 0 && !endsField(at - 1))
            continue;
        std::size_t end = at < text.size() && text[at] == '-' ? at + 1 : at;
        const std::size_t digits = end;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0)
            ++end;
        if (end > digits && endsField(end))
            fields.emplace_back(at, end - at);
    }
    if (fields.empty())
        return LLVMFuzzerMutate(data, size, maxSize);
    const auto [at, length] = fields[random() % fields.size()];
    const std::string_view number = kNumbers[random() % kNumbers.size()];
    if (size - length + number.size() > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::memmove(data + at + number.size(), data + at + length, size - at - length);
    std::memcpy(data + at, number.data(), number.size());
    return size - length + number.size();
}

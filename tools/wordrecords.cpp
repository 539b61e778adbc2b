// Turns the plain word list (one lower-case word a line) into the dictionary's record file:
// 15-byte records, a count byte 0x1E and the word in capitals cut to 14 letters and padded
// with blanks, in ascending byte order. Run by the build; no Qt so it builds first and fast.
#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kWordWidth = 14;
constexpr char kCountByte = 0x1E;

using Record = std::array<char, kWordWidth + 1>;

Record toRecord(const std::string& word)
{
    Record record;
    record.fill(' ');
    record[0] = kCountByte;
    const std::size_t length = std::min(word.size(), kWordWidth);
    for (std::size_t i = 0; i < length; ++i)
        record[i + 1] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[i])));
    return record;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: wordrecords WORDS.txt RECORDS\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "wordrecords: cannot read " << argv[1] << '\n';
        return 1;
    }
    std::vector<Record> records;
    for (std::string word; in >> word;)
        records.push_back(toRecord(word));
    std::stable_sort(records.begin(), records.end());

    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    for (const Record& record : records)
        out.write(record.data(), static_cast<std::streamsize>(record.size()));
    out.close();
    if (!out) {
        std::cerr << "wordrecords: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}

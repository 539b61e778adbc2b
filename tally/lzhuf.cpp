#include "lzhuf.h"

#include "lzrw1kh.h"

#include <array>
#include <vector>

namespace Lzhuf {
namespace {

constexpr int N = 4096;                     // ring buffer
constexpr int F = 60;                       // longest match
constexpr int THRESHOLD = 2;                // a match must be longer than this
constexpr int NIL = N;                      // no node of the tree
constexpr int N_CHAR = 256 - THRESHOLD + F; // literals, then the match lengths 3 to 60
constexpr int T = N_CHAR * 2 - 1;           // nodes of the Huffman tree
constexpr int R = T - 1;                    // its root
constexpr unsigned MAX_FREQ = 0x8000;       // the tree is rebuilt when the root reaches it
// The coder keeps the ring's first bytes a second time after its end, so that a string starting
// at any place compares as F bytes in a row: the last place needs F - 1 more.
constexpr int MIRRORED = F - 1;

// The fixed prefix code of a match position's upper six bits: lengths by value, and the codes
// assigned in increasing order (000, 0010, 0011, 0100, 01010, ...), kept top-aligned in a byte.
struct PositionCode {
    std::array<int, 64> length{};
    std::array<unsigned, 64> code{};
    std::array<int, 256> valueOf{};  // by the next eight bits of the stream
    std::array<int, 256> lengthOf{}; // prefix length of that value

    PositionCode()
    {
        constexpr std::array<std::pair<int, int>, 6> kGroups{
            {{3, 1}, {4, 3}, {5, 8}, {6, 12}, {7, 24}, {8, 16}}};
        unsigned next = 0;
        int value = 0;
        int previousLength = kGroups[0].first;
        for (const auto& [bits, count] : kGroups) {
            next <<= (bits - previousLength);
            previousLength = bits;
            for (int i = 0; i < count; ++i, ++value, ++next) {
                length[value] = bits;
                code[value] = next << (8 - bits);
                for (unsigned low = 0; low < (1u << (8 - bits)); ++low) {
                    valueOf[code[value] | low] = value;
                    lengthOf[code[value] | low] = bits;
                }
            }
        }
    }
};

const PositionCode& positionCode()
{
    static const PositionCode table;
    return table;
}

// The adaptive Huffman tree shared by coder and decoder: leaves are the symbols, every
// symbol coded makes its leaf more frequent and keeps the tree ordered by frequency.
class HuffmanTree {
public:
    HuffmanTree()
    {
        for (int i = 0; i < N_CHAR; ++i) {
            freq_[i] = 1;
            son_[i] = i + T;
            parent_[i + T] = i;
        }
        for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
            freq_[j] = freq_[i] + freq_[i + 1];
            son_[j] = i;
            parent_[i] = parent_[i + 1] = j;
        }
        freq_[T] = 0xFFFF; // a guard above every real frequency
        parent_[R] = 0;
    }

    // The bits of a symbol's code, from the root down.
    std::vector<bool> codeOf(int symbol) const
    {
        std::vector<bool> reversed; // from the leaf up
        int node = parent_[symbol + T];
        do {
            reversed.push_back((node & 1) != 0); // odd places hold right children
            node = parent_[node];
        } while (node != R);
        return {reversed.rbegin(), reversed.rend()};
    }

    int root() const { return son_[R]; }
    // Follows one bit from a node; returns the next node, or a leaf as T + symbol.
    int child(int node, bool bit) const { return son_[node + (bit ? 1 : 0)]; }

    void update(int symbol)
    {
        if (freq_[R] == MAX_FREQ)
            rebuild();
        int c = parent_[symbol + T];
        do {
            const unsigned k = ++freq_[c];
            int l = c + 1;
            if (k > freq_[l]) {
                while (k > freq_[++l]) {
                }
                --l;
                freq_[c] = freq_[l];
                freq_[l] = k;
                const int i = son_[c];
                parent_[i] = l;
                if (i < T)
                    parent_[i + 1] = l;
                const int j = son_[l];
                son_[l] = i;
                parent_[j] = c;
                if (j < T)
                    parent_[j + 1] = c;
                son_[c] = j;
                c = l;
            }
            c = parent_[c];
        } while (c != 0);
    }

private:
    // Halves every frequency and builds the tree anew.
    void rebuild()
    {
        int j = 0;
        for (int i = 0; i < T; ++i) {
            if (son_[i] >= T) {
                freq_[j] = (freq_[i] + 1) / 2;
                son_[j] = son_[i];
                ++j;
            }
        }
        for (int i = 0, k = N_CHAR; k < T; i += 2, ++k) {
            const unsigned f = freq_[i] + freq_[i + 1];
            freq_[k] = f;
            int at = k - 1;
            while (f < freq_[at])
                --at;
            ++at;
            std::move_backward(freq_.begin() + at, freq_.begin() + k, freq_.begin() + k + 1);
            freq_[at] = f;
            std::move_backward(son_.begin() + at, son_.begin() + k, son_.begin() + k + 1);
            son_[at] = i;
        }
        for (int i = 0; i < T; ++i) {
            const int k = son_[i];
            if (k >= T) {
                parent_[k] = i;
            } else {
                parent_[k] = parent_[k + 1] = i;
            }
        }
    }

    std::array<unsigned, T + 1> freq_{};
    std::array<int, T + N_CHAR> parent_{};
    std::array<int, T> son_{};
};

class BitWriter {
public:
    void put(bool bit)
    {
        current_ = static_cast<unsigned char>(current_ << 1 | (bit ? 1 : 0));
        if (++used_ == 8) {
            out_.append(static_cast<char>(current_));
            used_ = 0;
            current_ = 0;
        }
    }
    void put(unsigned bits, int count) // the top `count` bits of an 8-bit or 6-bit value, MSB first
    {
        for (int i = count - 1; i >= 0; --i)
            put(((bits >> i) & 1u) != 0);
    }
    QByteArray finish()
    {
        if (used_ > 0)
            out_.append(static_cast<char>(current_ << (8 - used_)));
        return std::move(out_);
    }

private:
    QByteArray out_;
    unsigned char current_ = 0;
    int used_ = 0;
};

class BitReader {
public:
    explicit BitReader(QByteArrayView in) : in_(in) {}
    bool bit()
    {
        if (at_ >= in_.size() * 8)
            throw CorruptData("the LZH stream ends early");
        const bool value = (static_cast<unsigned char>(in_[at_ / 8]) >> (7 - at_ % 8) & 1u) != 0;
        ++at_;
        return value;
    }
    unsigned bits(int count)
    {
        unsigned value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 1 | (bit() ? 1u : 0u);
        return value;
    }

private:
    QByteArrayView in_;
    qsizetype at_ = 0;
};

// The coder's binary search tree over the ring buffer, as in LZSS.
class MatchTree {
public:
    explicit MatchTree(const std::vector<unsigned char>& text) : text_(text)
    {
        right_.fill(NIL);
        parent_.fill(NIL);
        left_.fill(NIL);
    }

    int matchLength = 0;
    int matchPosition = 0; // distance - 1

    void insert(int r)
    {
        int cmp = 1;
        const unsigned char* key = &text_[static_cast<std::size_t>(r)];
        int p = N + 1 + key[0];
        right_[r] = left_[r] = NIL;
        matchLength = 0;
        for (;;) {
            if (cmp >= 0) {
                if (right_[p] == NIL) {
                    right_[p] = r;
                    parent_[r] = p;
                    return;
                }
                p = right_[p];
            } else {
                if (left_[p] == NIL) {
                    left_[p] = r;
                    parent_[r] = p;
                    return;
                }
                p = left_[p];
            }
            int i = 1;
            for (; i < F; ++i) {
                cmp = key[i] - text_[static_cast<std::size_t>(p) + static_cast<std::size_t>(i)];
                if (cmp != 0)
                    break;
            }
            if (i > THRESHOLD) {
                const int position = ((r - p) & (N - 1)) - 1;
                if (i > matchLength) {
                    matchPosition = position;
                    matchLength = i;
                    if (matchLength >= F)
                        break;
                } else if (i == matchLength && position < matchPosition) {
                    matchPosition = position;
                }
            }
        }
        // A full-length match: the new string takes the old one's place in the tree.
        parent_[r] = parent_[p];
        left_[r] = left_[p];
        right_[r] = right_[p];
        parent_[left_[p]] = r;
        parent_[right_[p]] = r;
        if (right_[parent_[p]] == p)
            right_[parent_[p]] = r;
        else
            left_[parent_[p]] = r;
        parent_[p] = NIL;
    }

    void remove(int p)
    {
        if (parent_[p] == NIL)
            return;
        int q = 0;
        if (right_[p] == NIL) {
            q = left_[p];
        } else if (left_[p] == NIL) {
            q = right_[p];
        } else {
            q = left_[p];
            if (right_[q] != NIL) {
                do {
                    q = right_[q];
                } while (right_[q] != NIL);
                right_[parent_[q]] = left_[q];
                parent_[left_[q]] = parent_[q];
                left_[q] = left_[p];
                parent_[left_[p]] = q;
            }
            right_[q] = right_[p];
            parent_[right_[p]] = q;
        }
        parent_[q] = parent_[p];
        if (right_[parent_[p]] == p)
            right_[parent_[p]] = q;
        else
            left_[parent_[p]] = q;
        parent_[p] = NIL;
    }

private:
    const std::vector<unsigned char>& text_;
    std::array<int, N + 1> left_{};
    std::array<int, N + 257> right_{}; // N + 1 .. N + 256: the roots, one per first byte
    std::array<int, N + 1> parent_{};
};

} // namespace

QByteArray compress(QByteArrayView input)
{
    HuffmanTree tree;
    BitWriter out;
    const PositionCode& positions = positionCode();
    const auto putSymbol = [&](int symbol) {
        for (const bool bit : tree.codeOf(symbol))
            out.put(bit);
        tree.update(symbol);
    };

    // The ring starts with blanks in the places before the look-ahead and zeros after, as in
    // every other coder of this method: a short input is matched against those zeros, so the
    // containers come out the same.
    std::vector<unsigned char> text(N + MIRRORED, 0);
    std::fill(text.begin(), text.begin() + (N - F), ' ');
    MatchTree matches(text);
    qsizetype next = 0; // the next input byte to read
    const auto read = [&](int& c) {
        if (next >= input.size())
            return false;
        c = static_cast<unsigned char>(input[next++]);
        return true;
    };

    int s = 0;
    int r = N - F;
    int len = 0;
    for (int c = 0; len < F && read(c); ++len)
        text[static_cast<std::size_t>(r) + static_cast<std::size_t>(len)] = static_cast<unsigned char>(c);
    for (int i = 1; i <= F; ++i)
        matches.insert(r - i);
    matches.insert(r);
    while (len > 0) {
        if (matches.matchLength > len)
            matches.matchLength = len;
        if (matches.matchLength <= THRESHOLD) {
            matches.matchLength = 1;
            putSymbol(text[static_cast<std::size_t>(r)]);
        } else {
            putSymbol(255 - THRESHOLD + matches.matchLength);
            const auto position = static_cast<unsigned>(matches.matchPosition);
            out.put(positions.code[position >> 6] >> (8 - positions.length[position >> 6]),
                    positions.length[position >> 6]);
            out.put(position & 0x3F, 6);
        }
        const int lastMatchLength = matches.matchLength;
        int i = 0;
        for (int c = 0; i < lastMatchLength && read(c); ++i) {
            matches.remove(s);
            text[static_cast<std::size_t>(s)] = static_cast<unsigned char>(c);
            if (s < MIRRORED)
                text[static_cast<std::size_t>(s) + N] = static_cast<unsigned char>(c);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            matches.insert(r);
        }
        while (i++ < lastMatchLength) {
            matches.remove(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len > 0)
                matches.insert(r);
        }
    }
    return out.finish();
}

QByteArray decompress(QByteArrayView stream, qint64 size)
{
    if (size < 0)
        throw CorruptData("a negative size");
    HuffmanTree tree;
    BitReader in(stream);
    const PositionCode& positions = positionCode();
    std::array<unsigned char, N> text{};
    std::fill(text.begin(), text.begin() + (N - F), ' ');
    int r = N - F;
    QByteArray out;
    out.reserve(static_cast<qsizetype>(std::min<qint64>(size, 1 << 16)));
    while (out.size() < size) {
        int node = tree.root();
        while (node < T)
            node = tree.child(node, in.bit());
        const int symbol = node - T;
        tree.update(symbol);
        if (symbol < 256) {
            out.append(static_cast<char>(symbol));
            text[static_cast<std::size_t>(r)] = static_cast<unsigned char>(symbol);
            r = (r + 1) & (N - 1);
            continue;
        }
        const unsigned lead = in.bits(8);
        const int prefix = positions.lengthOf[lead];
        const unsigned low = (lead << (prefix - 2) | in.bits(prefix - 2)) & 0x3F;
        const auto position = static_cast<int>(static_cast<unsigned>(positions.valueOf[lead]) << 6 | low);
        const int from = (r - position - 1) & (N - 1);
        const int count = symbol - 255 + THRESHOLD;
        if (out.size() + count > size)
            throw CorruptData("an LZH match runs past the end");
        for (int k = 0; k < count; ++k) {
            const unsigned char c = text[static_cast<std::size_t>((from + k) & (N - 1))];
            out.append(static_cast<char>(c));
            text[static_cast<std::size_t>(r)] = c;
            r = (r + 1) & (N - 1);
        }
    }
    return out;
}

} // namespace Lzhuf

#include "list/ListFind.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace lintervale {

namespace {

// The lower case of a code point in the alphabets finding knows; any other as it is.
char32_t Lower(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    return c;
}

// ASCII letters in lower case; every other byte as it is.
constexpr std::array<unsigned char, 256> kLowerByte = [] {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        table[static_cast<std::size_t>(b)] =
            static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + 0x20 : b);
    }
    return table;
}();

unsigned char LowerByte(char c) {
    return kLowerByte[static_cast<unsigned char>(c)];
}

// Eight bytes at a time: a word's bytes with ASCII letters lowered, and the bytes of a word
// that are zero (their top bits set, exactly).
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kTops = 0x8080808080808080ULL;

std::uint64_t LowerWord(std::uint64_t word) {
    const std::uint64_t low = word & ~kTops;
    const std::uint64_t fromA = low + kOnes * (0x80 - 'A');
    const std::uint64_t pastZ = low + kOnes * (0x80 - 'Z' - 1);
    const std::uint64_t upper = fromA & ~pastZ & ~word & kTops;
    return word | (upper >> 2);
}

std::uint64_t ZeroBytes(std::uint64_t word) {
    const std::uint64_t nonzeroLow = (word & ~kTops) + ~kTops;
    return ~(nonzeroLow | word | ~kTops);
}

// The place in its word of the byte that the lowest top bit of Bits marks.
std::size_t ByteOf(std::uint64_t bits) {
    const auto byte = static_cast<std::size_t>(std::countr_zero(bits) / 8);
    return std::endian::native == std::endian::little ? byte : 7 - byte;
}

// Finds a folded text in the cells of rows without copying them. An ASCII text is looked for
// byte by byte with ASCII letters lowered (folding turns two-byte characters into two-byte
// characters, so no byte of one can match an ASCII byte either way): the places of its first
// byte eight bytes at a time, then the rest there. Any other text is looked for in the folded
// cell.
class TMatcher {
public:
    explicit TMatcher(std::string_view text) : m_Needle(FoldedForFinding(text)) {
        m_Ascii = std::all_of(m_Needle.begin(), m_Needle.end(),
                              [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    }
    bool Holds(const TTorrentGrid::TRow& row) {
        return Contains(row[TTorrentGrid::ColName]) || Contains(row[TTorrentGrid::ColHash]) ||
               Contains(row[TTorrentGrid::ColTrackers]);
    }
    bool Empty() const { return m_Needle.empty(); }

private:
    bool Contains(std::string_view cell) {
        if (cell.size() < m_Needle.size()) {
            return false;
        }
        if (!m_Ascii) {
            m_Cell.clear();
            AppendFoldedForFinding(cell, m_Cell);
            return m_Cell.find(m_Needle) != std::string::npos;
        }
        const std::size_t lastStart = cell.size() - m_Needle.size();
        const std::uint64_t first = kOnes * static_cast<unsigned char>(m_Needle[0]);
        std::size_t at = 0;
        for (; at + 8 <= cell.size() && at <= lastStart; at += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, cell.data() + at, sizeof word);
            for (std::uint64_t hits = ZeroBytes(LowerWord(word) ^ first); hits != 0;
                 hits &= hits - 1) {
                const std::size_t place = at + ByteOf(hits);
                if (place <= lastStart && RestMatchesAt(cell, place)) {
                    return true;
                }
            }
        }
        for (; at <= lastStart; ++at) {
            if (LowerByte(cell[at]) == static_cast<unsigned char>(m_Needle[0]) &&
                RestMatchesAt(cell, at)) {
                return true;
            }
        }
        return false;
    }
    bool RestMatchesAt(std::string_view cell, std::size_t place) const {
        for (std::size_t j = 1; j < m_Needle.size(); ++j) {
            if (LowerByte(cell[place + j]) != static_cast<unsigned char>(m_Needle[j])) {
                return false;
            }
        }
        return true;
    }

    std::string m_Needle;
    bool m_Ascii = true;
    std::string m_Cell;
};

} // namespace

void AppendFoldedForFinding(std::string_view Text, std::string& Out) {
    // Folding keeps every character's length, so the folded text takes the room of the text.
    const std::size_t start = Out.size();
    Out.resize(start + Text.size());
    char* out = Out.data() + start;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(Text[i]);
        // Two-byte characters are the only ones these alphabets need; others stay bytes.
        if (byte >= 0xC2 && byte <= 0xDF && i + 1 < Text.size() &&
            (static_cast<unsigned char>(Text[i + 1]) & 0xC0) == 0x80) {
            const char32_t c = Lower((static_cast<char32_t>(byte & 0x1F) << 6) |
                                     (static_cast<unsigned char>(Text[i + 1]) & 0x3F));
            out[i] = static_cast<char>(0xC0 | (c >> 6));
            out[i + 1] = static_cast<char>(0x80 | (c & 0x3F));
            ++i;
            continue;
        }
        out[i] = static_cast<char>(LowerByte(Text[i]));
    }
}

std::string FoldedForFinding(std::string_view Text) {
    std::string folded;
    AppendFoldedForFinding(Text, folded);
    return folded;
}

TFound FindRow(const TTorrentGrid& Grid, std::string_view Text, TFindFrom From) {
    TMatcher matcher(Text);
    TFound found;
    const int rows = Grid.RowCount() - 1;
    if (matcher.Empty() || rows < 1) {
        return found;
    }
    const int current = Grid.Row();
    // Every row is looked at once, to count; the one wanted is the first after (or before)
    // the current row in the direction asked for, and its place follows from the counts of
    // the matches before the current row and up to it.
    int first = 0;       // first match of all
    int firstFrom = 0;   // first match at the current row or after it (Here), after it (Next)
    int lastBefore = 0;  // last match before the current row (Previous)
    int lastAny = 0;     // last match of all
    int before = 0;      // matches before the current row
    int upToCurrent = 0; // matches up to the current row, it included
    for (int r = 1; r <= rows; ++r) {
        if (!matcher.Holds(Grid.RowCells(r))) {
            continue;
        }
        ++found.Count;
        first = first == 0 ? r : first;
        lastAny = r;
        const bool after = From == TFindFrom::Here ? r >= current : r > current;
        if (after && firstFrom == 0) {
            firstFrom = r;
        }
        if (r < current) {
            lastBefore = r;
            ++before;
        }
        if (r <= current) {
            ++upToCurrent;
        }
    }
    if (found.Count == 0) {
        return found;
    }
    if (From == TFindFrom::Previous) {
        found.Row = lastBefore != 0 ? lastBefore : lastAny;
        found.Index = lastBefore != 0 ? before : found.Count;
    } else if (firstFrom != 0) {
        found.Row = firstFrom;
        found.Index = (From == TFindFrom::Here ? before : upToCurrent) + 1;
    } else {
        found.Row = first;
        found.Index = 1;
    }
    return found;
}

int FindNamePrefix(const TTorrentGrid& Grid, std::string_view Prefix, int Row) {
    const std::string prefix = FoldedForFinding(Prefix);
    const int rows = Grid.RowCount() - 1;
    if (prefix.empty() || rows < 1) {
        return 0;
    }
    std::string name;
    for (int step = 1; step <= rows; ++step) {
        const int r = (Row - 1 + step) % rows + 1;
        // The name's start, one byte more so that a character cut there folds whole.
        const std::string& cell = Grid.Cell(TTorrentGrid::ColName, r);
        name.clear();
        AppendFoldedForFinding(std::string_view(cell).substr(0, prefix.size() + 1), name);
        if (name.compare(0, prefix.size(), prefix) == 0) {
            return r;
        }
    }
    return 0;
}

} // namespace lintervale

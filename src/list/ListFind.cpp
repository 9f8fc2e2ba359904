#include "list/ListFind.h"

#include <array>

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

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Folds Text into Out (which it empties first), reusing Out's room.
void Fold(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out += static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + 0x20 : byte);
            continue;
        }
        // Two-byte characters are the only ones these alphabets need; others stay bytes.
        if (byte >= 0xC2 && byte <= 0xDF && i + 1 < text.size() &&
            (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            const char32_t c = (static_cast<char32_t>(byte & 0x1F) << 6) |
                               (static_cast<unsigned char>(text[i + 1]) & 0x3F);
            AppendUtf8(out, Lower(c));
            ++i;
            continue;
        }
        out += text[i];
    }
}

class TMatcher {
public:
    explicit TMatcher(std::string_view text) : m_Needle(FoldedForFinding(text)) {}
    bool Holds(const TTorrentGrid::TRow& row) {
        for (const int column :
             {TTorrentGrid::ColName, TTorrentGrid::ColHash, TTorrentGrid::ColTrackers}) {
            Fold(row[column], m_Cell);
            if (m_Cell.find(m_Needle) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    bool Empty() const { return m_Needle.empty(); }

private:
    std::string m_Needle;
    std::string m_Cell;
};

} // namespace

std::string FoldedForFinding(std::string_view Text) {
    std::string folded;
    Fold(Text, folded);
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
    // the current row in the direction asked for.
    int firstFrom = 0;  // first match at or after the start (Here) or after the current row
    int lastBefore = 0; // last match before the current row (Previous)
    int lastAny = 0;
    int first = 0;
    std::vector<int> places;
    for (int r = 1; r <= rows; ++r) {
        if (!matcher.Holds(Grid.RowCells(r))) {
            continue;
        }
        ++found.Count;
        places.push_back(r);
        first = first == 0 ? r : first;
        lastAny = r;
        const bool after = From == TFindFrom::Here ? r >= current : r > current;
        if (after && firstFrom == 0) {
            firstFrom = r;
        }
        if (r < current) {
            lastBefore = r;
        }
    }
    if (found.Count == 0) {
        return found;
    }
    if (From == TFindFrom::Previous) {
        found.Row = lastBefore != 0 ? lastBefore : lastAny;
    } else {
        found.Row = firstFrom != 0 ? firstFrom : first;
    }
    found.Index = static_cast<int>(std::lower_bound(places.begin(), places.end(), found.Row) -
                                   places.begin()) +
                  1;
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
        Fold(Grid.Cell(TTorrentGrid::ColName, r), name);
        if (name.compare(0, prefix.size(), prefix) == 0) {
            return r;
        }
    }
    return 0;
}

} // namespace lintervale

#include "list/ListOrder.h"

#include "list/ListFind.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace lintervale {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number a count or size cell starts with ("1234 MB"), if any.
std::optional<std::int64_t> NumberIn(const std::string& cell) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    if (error != std::errc() || end == cell.data()) {
        return std::nullopt;
    }
    return value;
}

// Appends what identifies a row for an order: its hash, or its cells when it has none.
void AppendIdentity(const TTorrentGrid::TRow& row, std::string& identity) {
    if (!row[TTorrentGrid::ColHash].empty()) {
        identity += 'h';
        identity += row[TTorrentGrid::ColHash];
        return;
    }
    identity += 'c';
    for (const std::string& cell : row) {
        identity += cell;
        identity += '\n';
    }
}

// Appends the sort key of a folded text: the accents of Latin-1 letters taken off ("été" as
// "ete", "ß" as "ss"), so that they sort with their letters, and each run of digits written as
// a mark byte ('0'), its length without leading zeros (four bytes, highest first) and those
// digits, so that comparing two keys byte by byte orders the texts as people do: numbers by
// value, the rest by bytes. The mark is a digit, so a number meets another character as its
// first digit would (no other character lies between '0' and '9').
void AppendSortKey(std::string_view folded, std::string& key) {
    static constexpr const char* kBase[32] = {
        "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
        "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "y"};
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (IsDigit(folded[i])) {
            std::size_t start = i;
            while (start < folded.size() && folded[start] == '0') {
                ++start;
            }
            std::size_t end = start;
            while (end < folded.size() && IsDigit(folded[end])) {
                ++end;
            }
            const auto length = static_cast<std::uint32_t>(end - start);
            key += '0';
            for (int shift = 24; shift >= 0; shift -= 8) {
                key += static_cast<char>((length >> shift) & 0xFF);
            }
            key.append(folded, start, end - start);
            i = end - 1;
            continue;
        }
        if (byte == 0xC3 && i + 1 < folded.size()) {
            const auto next = static_cast<unsigned char>(folded[i + 1]);
            if (next == 0x9F) { // ß
                key += "ss";
                ++i;
                continue;
            }
            if (next >= 0xA0 && next <= 0xBF && kBase[next - 0xA0] != nullptr) {
                key += kBase[next - 0xA0];
                ++i;
                continue;
            }
        }
        key += folded[i];
    }
}

// The texts of one column in the form sorting compares, all in two buffers: each row's key
// and, to settle ties between keys, its folded text with the accents.
class TSortKeys {
public:
    TSortKeys(const TTorrentGrid& grid, int column) {
        const int rows = grid.RowCount() - 1;
        m_Entries.reserve(static_cast<std::size_t>(rows));
        std::size_t bytes = 0;
        for (int r = 1; r <= rows; ++r) {
            bytes += grid.Cell(column, r).size();
        }
        m_Folded.reserve(bytes);
        m_Keys.reserve(bytes + bytes / 4);
        for (int r = 1; r <= rows; ++r) {
            TEntry entry;
            entry.Row = r;
            entry.Folded = static_cast<std::uint32_t>(m_Folded.size());
            AppendFoldedForFinding(grid.Cell(column, r), m_Folded);
            entry.Key = static_cast<std::uint32_t>(m_Keys.size());
            AppendSortKey(std::string_view(m_Folded).substr(entry.Folded), m_Keys);
            entry.KeyLength = static_cast<std::uint32_t>(m_Keys.size() - entry.Key);
            entry.FoldedLength = static_cast<std::uint32_t>(m_Folded.size() - entry.Folded);
            // The key's first eight bytes as a number (zeros after a shorter key): most
            // comparisons end there, without reading the keys.
            for (std::uint32_t k = 0; k < 8; ++k) {
                entry.Head =
                    (entry.Head << 8) |
                    (k < entry.KeyLength ? static_cast<unsigned char>(m_Keys[entry.Key + k]) : 0U);
            }
            m_Entries.push_back(entry);
        }
    }

    // The rows in the order of their texts, equal texts in their present order.
    std::vector<int> Order(bool descending) {
        std::sort(m_Entries.begin(), m_Entries.end(), [&](const TEntry& a, const TEntry& b) {
            const int compared = Compare(a, b);
            if (compared != 0) {
                return descending ? compared > 0 : compared < 0;
            }
            return a.Row < b.Row;
        });
        std::vector<int> order;
        order.reserve(m_Entries.size());
        for (const TEntry& entry : m_Entries) {
            order.push_back(entry.Row);
        }
        return order;
    }

private:
    struct TEntry {
        std::uint64_t Head = 0;
        std::uint32_t Key = 0;
        std::uint32_t KeyLength = 0;
        std::uint32_t Folded = 0;
        std::uint32_t FoldedLength = 0;
        int Row = 0;
    };

    int Compare(const TEntry& a, const TEntry& b) const {
        if (a.Head != b.Head) {
            return a.Head < b.Head ? -1 : 1;
        }
        const std::string_view keys(m_Keys);
        if (const int compared =
                keys.substr(a.Key, a.KeyLength).compare(keys.substr(b.Key, b.KeyLength));
            compared != 0) {
            return compared;
        }
        const std::string_view folded(m_Folded);
        return folded.substr(a.Folded, a.FoldedLength)
            .compare(folded.substr(b.Folded, b.FoldedLength));
    }

    std::vector<TEntry> m_Entries;
    std::string m_Keys;
    std::string m_Folded;
};

} // namespace

int CompareForPeople(const std::string& A, const std::string& B) {
    std::string folded;
    std::string a;
    std::string b;
    AppendFoldedForFinding(A, folded);
    AppendSortKey(folded, a);
    folded.clear();
    AppendFoldedForFinding(B, folded);
    AppendSortKey(folded, b);
    const int compared = a.compare(b);
    return compared < 0 ? -1 : compared > 0 ? 1 : 0;
}

std::vector<int> SortedOrder(const TTorrentGrid& Grid, int Column, bool Descending) {
    const int rows = Grid.RowCount() - 1;
    std::vector<int> order(static_cast<std::size_t>(rows));
    for (int r = 1; r <= rows; ++r) {
        order[static_cast<std::size_t>(r - 1)] = r;
    }
    if (Column == TTorrentGrid::ColFiles || Column == TTorrentGrid::ColSize) {
        std::vector<std::optional<std::int64_t>> values(static_cast<std::size_t>(rows) + 1);
        for (int r = 1; r <= rows; ++r) {
            values[static_cast<std::size_t>(r)] = NumberIn(Grid.Cell(Column, r));
        }
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
            const auto& a = values[static_cast<std::size_t>(x)];
            const auto& b = values[static_cast<std::size_t>(y)];
            if (a.has_value() != b.has_value()) {
                return a.has_value(); // no number goes last, either way
            }
            return a && (Descending ? *a > *b : *a < *b);
        });
        return order;
    }
    // Texts are folded once, not at every comparison.
    return TSortKeys(Grid, Column).Order(Descending);
}

bool SortRows(TTorrentGrid& Grid, int Column, bool Descending) {
    const std::vector<int> order = SortedOrder(Grid, Column, Descending);
    bool changed = false;
    for (std::size_t k = 0; k < order.size(); ++k) {
        changed = changed || order[k] != static_cast<int>(k) + 1;
    }
    if (changed) {
        Grid.Reorder(order);
    }
    // The current torrent stays current, and alone selected.
    Grid.Select(Grid.Row(), Grid.Row());
    return changed;
}

TRowOrder TRowOrder::Of(const TTorrentGrid& Grid) {
    TRowOrder order;
    order.m_Ends.reserve(static_cast<std::size_t>(Grid.RowCount() - 1));
    for (int r = 1; r < Grid.RowCount(); ++r) {
        AppendIdentity(Grid.RowCells(r), order.m_Identities);
        order.m_Ends.push_back(order.m_Identities.size());
    }
    return order;
}

bool TRowOrder::Restore(TTorrentGrid& Grid) const {
    std::unordered_map<std::string_view, std::size_t> place;
    place.reserve(m_Ends.size());
    for (std::size_t i = 0, begin = 0; i < m_Ends.size(); begin = m_Ends[i], ++i) {
        place.emplace(std::string_view(m_Identities).substr(begin, m_Ends[i] - begin), i);
    }
    // The grid rows the order knows, in the order it knows them, go into the places those rows
    // take now; the others stay.
    std::vector<int> known;
    std::vector<std::pair<std::size_t, int>> ranked;
    std::string identity;
    for (int r = 1; r < Grid.RowCount(); ++r) {
        identity.clear();
        AppendIdentity(Grid.RowCells(r), identity);
        const auto found = place.find(identity);
        if (found != place.end()) {
            known.push_back(r);
            ranked.emplace_back(found->second, r);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end());
    std::vector<int> order(static_cast<std::size_t>(Grid.RowCount() - 1));
    for (std::size_t k = 0; k < order.size(); ++k) {
        order[k] = static_cast<int>(k) + 1;
    }
    bool moved = false;
    for (std::size_t i = 0; i < known.size(); ++i) {
        order[static_cast<std::size_t>(known[i] - 1)] = ranked[i].second;
        moved = moved || known[i] != ranked[i].second;
    }
    if (moved) {
        Grid.Reorder(order);
    }
    return moved;
}

} // namespace lintervale

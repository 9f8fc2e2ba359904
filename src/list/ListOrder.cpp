#include "list/ListOrder.h"

#include "list/ListFind.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
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

// What identifies a row for an order: its hash, or its cells when it has none.
std::string IdentityOf(const TTorrentGrid::TRow& row) {
    if (!row[TTorrentGrid::ColHash].empty()) {
        return "h" + row[TTorrentGrid::ColHash];
    }
    std::string identity = "c";
    for (const std::string& cell : row) {
        identity += cell;
        identity += '\n';
    }
    return identity;
}

// Folded text with the accents of Latin-1 letters taken off ("été" as "ete"), so that they
// sort with their letters; ties are settled by the text with its accents.
std::string BaseLetters(const std::string& folded) {
    static constexpr const char* kBase[32] = {
        "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
        "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "y"};
    std::string base;
    base.reserve(folded.size());
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (byte == 0xC3 && i + 1 < folded.size()) {
            const auto next = static_cast<unsigned char>(folded[i + 1]);
            if (next == 0x9F) { // ß
                base += "ss";
                ++i;
                continue;
            }
            if (next >= 0xA0 && next <= 0xBF && kBase[next - 0xA0] != nullptr) {
                base += kBase[next - 0xA0];
                ++i;
                continue;
            }
        }
        base += folded[i];
    }
    return base;
}

} // namespace

namespace {

// CompareForPeople on texts folded already.
int CompareFolded(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            // Runs of digits: the longer number (leading zeros aside) is the larger.
            std::size_t ai = i;
            std::size_t bj = j;
            while (ai < a.size() && a[ai] == '0') {
                ++ai;
            }
            while (bj < b.size() && b[bj] == '0') {
                ++bj;
            }
            std::size_t ae = ai;
            std::size_t be = bj;
            while (ae < a.size() && IsDigit(a[ae])) {
                ++ae;
            }
            while (be < b.size() && IsDigit(b[be])) {
                ++be;
            }
            if (ae - ai != be - bj) {
                return ae - ai < be - bj ? -1 : 1;
            }
            if (const int digits = a.compare(ai, ae - ai, b, bj, be - bj); digits != 0) {
                return digits;
            }
            i = ae;
            j = be;
            continue;
        }
        if (a[i] != b[j]) {
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
        }
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size()) {
        return i < a.size() ? 1 : -1;
    }
    return 0;
}

} // namespace

int CompareForPeople(const std::string& A, const std::string& B) {
    return CompareFolded(BaseLetters(FoldedForFinding(A)), BaseLetters(FoldedForFinding(B)));
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
    std::vector<std::string> keys(static_cast<std::size_t>(rows) + 1);
    std::vector<std::string> accented(static_cast<std::size_t>(rows) + 1);
    for (int r = 1; r <= rows; ++r) {
        accented[static_cast<std::size_t>(r)] = FoldedForFinding(Grid.Cell(Column, r));
        keys[static_cast<std::size_t>(r)] = BaseLetters(accented[static_cast<std::size_t>(r)]);
    }
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        const auto a = static_cast<std::size_t>(x);
        const auto b = static_cast<std::size_t>(y);
        int compared = CompareFolded(keys[a], keys[b]);
        if (compared == 0) {
            compared = accented[a].compare(accented[b]);
        }
        return Descending ? compared > 0 : compared < 0;
    });
    return order;
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
    for (int r = 1; r < Grid.RowCount(); ++r) {
        order.m_Rows.push_back(IdentityOf(Grid.RowCells(r)));
    }
    return order;
}

bool TRowOrder::Restore(TTorrentGrid& Grid) const {
    std::unordered_map<std::string, std::size_t> place;
    for (std::size_t i = 0; i < m_Rows.size(); ++i) {
        place.emplace(m_Rows[i], i);
    }
    // The grid rows the order knows, in the order it knows them, go into the places those rows
    // take now; the others stay.
    std::vector<int> known;
    std::vector<std::pair<std::size_t, int>> ranked;
    for (int r = 1; r < Grid.RowCount(); ++r) {
        const auto found = place.find(IdentityOf(Grid.RowCells(r)));
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

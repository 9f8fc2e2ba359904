// Sorting the list by a column and finding rows that hold a text: the order people expect
// (case, accents and numbers), the places found, and both against plain definitions on many
// random texts.

#include "list/ListOrder.h"

#include "list/ListFind.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace lintervale;
using G = TTorrentGrid;

namespace {

// A grid of rows given as name, hash, tracker cell, file count, size.
G GridOf(const std::vector<std::array<std::string, 5>>& Rows) {
    G grid;
    grid.SetRowCount(static_cast<int>(Rows.size()) + 1);
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        for (int c = 0; c < 5; ++c) {
            grid.SetCell(c + 1, r, Rows[i][static_cast<std::size_t>(c)]);
        }
    }
    return grid;
}

std::vector<std::string> NamesOf(const G& Grid) {
    std::vector<std::string> names;
    for (int r = 1; r < Grid.RowCount(); ++r) {
        names.push_back(Grid.Cell(G::ColName, r));
    }
    return names;
}

const std::vector<std::array<std::string, 5>> kRows = {
    {"part 10", "aa", "\"udp://x/a\"", "3", "47104 MB"},
    {"Part 2", "bb", "", "12", "5 MB"},
    {"\xC3\x89t\xC3\xA9", "cc", "\"http://Tracker.Example/a\"", "1", "0 MB"},
    {"from a link", "dd", "", "", ""},
    {"alpha", "ee", "", "3", "700 MB"},
};

} // namespace

TEST(ListOrder, SortsByValueKeepsTheCurrentTorrentAndUndoes) {
    struct Case {
        int Column;
        bool Descending;
        std::vector<std::string> Names;
    };
    const Case cases[] = {
        {G::ColName, false, {"alpha", "\xC3\x89t\xC3\xA9", "from a link", "Part 2", "part 10"}},
        {G::ColName, true, {"part 10", "Part 2", "from a link", "\xC3\x89t\xC3\xA9", "alpha"}},
        {G::ColSize, false, {"\xC3\x89t\xC3\xA9", "Part 2", "alpha", "part 10", "from a link"}},
        {G::ColSize, true, {"part 10", "alpha", "Part 2", "\xC3\x89t\xC3\xA9", "from a link"}},
        {G::ColFiles, false, {"\xC3\x89t\xC3\xA9", "part 10", "alpha", "Part 2", "from a link"}},
        {G::ColHash, true, {"alpha", "from a link", "\xC3\x89t\xC3\xA9", "Part 2", "part 10"}},
    };
    for (const Case& c : cases) {
        G grid = GridOf(kRows);
        grid.Select(2, 4); // "Part 2" .. "from a link", "from a link" current
        const TRowOrder before = TRowOrder::Of(grid);
        SortRows(grid, c.Column, c.Descending);
        EXPECT_EQ(NamesOf(grid), c.Names) << c.Column << c.Descending;
        EXPECT_EQ(grid.Cell(G::ColName, grid.Row()), "from a link");
        EXPECT_EQ(grid.Anchor(), grid.Row());
        // Undo: a row added since stays where it is; the others take their old order back.
        grid.InsertRow(1);
        grid.SetCell(G::ColName, 1, "added since");
        grid.SetCell(G::ColHash, 1, "ff");
        EXPECT_TRUE(before.Restore(grid));
        std::vector<std::string> restored = {"added since"};
        for (const auto& row : kRows) {
            restored.push_back(row[0]);
        }
        EXPECT_EQ(NamesOf(grid), restored);
    }
}

TEST(ListFind, RowsThatHoldTheTextIgnoringCase) {
    G grid = GridOf(kRows);
    struct Case {
        const char* Text;
        int Current;
        TFindFrom From;
        TFound Found;
    };
    const Case cases[] = {
        {"PART", 1, TFindFrom::Here, {1, 1, 2}},
        {"part", 1, TFindFrom::Next, {2, 2, 2}},
        {"part", 2, TFindFrom::Next, {1, 1, 2}},              // round the end
        {"part", 1, TFindFrom::Previous, {2, 2, 2}},          // round the start
        {"\xC3\xa9T\xC3\x89", 1, TFindFrom::Here, {3, 1, 1}}, // "éTÉ" finds "Été"
        {"tracker.example", 5, TFindFrom::Here, {3, 1, 1}},   // in the tracker cell
        {"BB", 1, TFindFrom::Here, {2, 1, 1}},                // in the hash
        {"/A\"", 4, TFindFrom::Here, {1, 1, 2}},              // a cell's last bytes, round
        {"/a\"", 3, TFindFrom::Previous, {1, 1, 2}},
        {"ART 1", 1, TFindFrom::Here, {1, 1, 1}},              // across eight bytes' end
        {"\xC3\x89t\xC3\xA9 ", 1, TFindFrom::Here, {0, 0, 0}}, // longer than the cell
        {"nothing", 1, TFindFrom::Here, {0, 0, 0}},
        {"", 1, TFindFrom::Here, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        grid.Select(c.Current, c.Current);
        const TFound found = FindRow(grid, c.Text, c.From);
        EXPECT_EQ(found.Row, c.Found.Row) << c.Text;
        EXPECT_EQ(found.Index, c.Found.Index) << c.Text;
        EXPECT_EQ(found.Count, c.Found.Count) << c.Text;
    }
    // Type-ahead: the next name that starts with the letters.
    EXPECT_EQ(FindNamePrefix(grid, "pa", 1), 2);
    EXPECT_EQ(FindNamePrefix(grid, "pa", 2), 1);
    EXPECT_EQ(FindNamePrefix(grid, "\xC3\xa9", 1), 3);
    EXPECT_EQ(FindNamePrefix(grid, "zz", 1), 0);
}

TEST(ListOrder, PairsInTheOrderPeopleExpectEitherWay) {
    struct Case {
        std::string First;
        std::string Second;
        bool Equal = false; // the same place: the rows keep their order
    };
    const std::string nines(299, '9');
    const std::string ones(300, '1');
    const std::array cases = {
        Case{.First = "a/", .Second = "a0"},    // a character below the digits
        Case{.First = "a5", .Second = "a:"},    // and one above them
        Case{.First = "a9", .Second = "a10"},   // numbers by value
        Case{.First = "x9y", .Second = "x010"}, // leading zeros aside
        Case{.First = "a05", .Second = "a5"},   // the same number: the texts settle it
        Case{.First = "a5", .Second = "a05b"},  // a text before its longer one
        Case{.First = "n" + nines, .Second = "n" + ones},
        Case{.First = "n" + std::string(255, '7'), .Second = "n" + std::string(256, '1')},
        Case{.First = "e", .Second = "\xC3\xA9"},  // "e" before "é"
        Case{.First = "\xC3\xA9", .Second = "f"},  // "é" with the e's
        Case{.First = "ss", .Second = "\xC3\x9F"}, // "ß" as "ss"
        Case{.First = "\xC3\x9F", .Second = "st"},
        Case{.First = "\xC3\x84"
                      "b",
             .Second = "ac"}, // "Äb" as "ab"
        Case{.First = "abcdefg", .Second = "abcdefg\x01"},
        Case{.First = "abcdefgh1", .Second = "abcdefgh01x"},
        Case{.First = "\xD0\xB6", .Second = "\xD0\xAF"}, // "ж" before "Я"
        Case{.First = "Part 2", .Second = "part 2", .Equal = true},
        Case{.First = "\xD0\x94\xD0\xBE\xD0\xBC",
             .Second = "\xD0\xB4\xD0\x9E\xD0\x9C",
             .Equal = true},
    };
    for (const Case& c : cases) {
        for (const bool swapped : {false, true}) {
            for (const bool descending : {false, true}) {
                G grid;
                grid.SetRowCount(3);
                grid.SetCell(G::ColName, 1, swapped ? c.Second : c.First);
                grid.SetCell(G::ColName, 2, swapped ? c.First : c.Second);
                const bool firstOnTop = c.Equal ? !swapped : !descending;
                const std::vector<int> expected =
                    firstOnTop == !swapped ? std::vector<int>{1, 2} : std::vector<int>{2, 1};
                EXPECT_EQ(SortedOrder(grid, G::ColName, descending), expected)
                    << c.First << " / " << c.Second << (swapped ? " swapped" : "")
                    << (descending ? " descending" : "");
            }
        }
    }
}

namespace {

// The order of names written out plainly, one comparison at a time: letters folded, "é" and
// "É" as "e", "ß" as "ss", "æ" as "ae", runs of digits by value; equal ones by folded text.
int PlainCompare(const std::string& A, const std::string& B) {
    const auto base = [](const std::string& text) {
        std::string folded = FoldedForFinding(text);
        for (const auto& [from, to] : {std::pair<std::string, std::string>{"\xC3\xA9", "e"},
                                       {"\xC3\x9F", "ss"},
                                       {"\xC3\xA6", "ae"}}) {
            for (std::size_t at = folded.find(from); at != std::string::npos;
                 at = folded.find(from, at)) {
                folded.replace(at, from.size(), to);
            }
        }
        return folded;
    };
    const std::string a = base(A);
    const std::string b = base(B);
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t ie = i;
            std::size_t je = j;
            while (ie < a.size() && digit(a[ie])) {
                ++ie;
            }
            while (je < b.size() && digit(b[je])) {
                ++je;
            }
            std::string x = a.substr(i, ie - i);
            std::string y = b.substr(j, je - j);
            x.erase(0, std::min(x.find_first_not_of('0'), x.size()));
            y.erase(0, std::min(y.find_first_not_of('0'), y.size()));
            if (x.size() != y.size()) {
                return x.size() < y.size() ? -1 : 1;
            }
            if (x != y) {
                return x < y ? -1 : 1;
            }
            i = ie;
            j = je;
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
    const std::string fa = FoldedForFinding(A);
    const std::string fb = FoldedForFinding(B);
    return fa < fb ? -1 : fa > fb ? 1 : 0;
}

// Random texts of the pieces given, up to Longest pieces each.
std::vector<std::string> RandomTexts(std::mt19937& Random, const std::vector<std::string>& Pieces,
                                     int Count, int Longest) {
    std::vector<std::string> texts;
    for (int n = 0; n < Count; ++n) {
        std::string text;
        for (auto k = Random() % static_cast<unsigned>(Longest + 1); k > 0; --k) {
            text += Pieces[Random() % Pieces.size()];
        }
        texts.push_back(text);
    }
    return texts;
}

G NameGrid(const std::vector<std::string>& Names) {
    G grid;
    grid.SetRowCount(static_cast<int>(Names.size()) + 1);
    for (std::size_t i = 0; i < Names.size(); ++i) {
        grid.SetCell(G::ColName, static_cast<int>(i) + 1, Names[i]);
    }
    return grid;
}

} // namespace

TEST(ListOrder, RandomNamesSortAsThePlainOrderHasThem) {
    std::mt19937 random(22);
    const std::vector<std::string> pieces = {
        "a", "A", "b", "e", "\xC3\xA9", "\xC3\x89", "s",        "\xC3\x9F", "\xC3\xA6", "0",
        "1", "9", " ", "/", ":",        "\xD0\xB4", "\xD0\x94", "part ",    "Part "};
    const std::vector<std::string> names = RandomTexts(random, pieces, 3000, 8);
    const G grid = NameGrid(names);
    for (const bool descending : {false, true}) {
        std::vector<int> expected(names.size());
        for (std::size_t k = 0; k < expected.size(); ++k) {
            expected[k] = static_cast<int>(k) + 1;
        }
        std::stable_sort(expected.begin(), expected.end(), [&](int x, int y) {
            const int compared = PlainCompare(names[static_cast<std::size_t>(x - 1)],
                                              names[static_cast<std::size_t>(y - 1)]);
            return descending ? compared > 0 : compared < 0;
        });
        EXPECT_EQ(SortedOrder(grid, G::ColName, descending), expected) << descending;
    }
}

TEST(ListFind, RandomTextsAreFoundAsInTheFoldedCells) {
    std::mt19937 random(3);
    // Letters of each alphabet in both cases, "Ѐ" whose lower case has another first byte.
    const std::vector<std::string> pieces = {"a",        "B",        "c",        "0",
                                             "\xC3\x89", "\xC3\xA9", "\xD0\x94", "\xD0\xB4",
                                             "\xD0\x80", "\xD1\x90", "\xCE\xA3", "\xCF\x83",
                                             " ",        ".",        "xyzw",     "Tracker"};
    const std::vector<std::string> cells = RandomTexts(random, pieces, 3 * 400, 12);
    G grid;
    grid.SetRowCount(401);
    for (int r = 1; r <= 400; ++r) {
        for (int c = 0; c < 3; ++c) {
            grid.SetCell(G::ColName + c, r, cells[static_cast<std::size_t>(3 * (r - 1) + c)]);
        }
    }
    const std::vector<std::string> texts = RandomTexts(random, pieces, 300, 3);
    for (const std::string& text : texts) {
        const std::string needle = FoldedForFinding(text);
        std::vector<int> rows; // the rows that hold the text
        for (int r = 1; r <= 400 && !needle.empty(); ++r) {
            for (int c = 0; c < 3; ++c) {
                if (FoldedForFinding(grid.Cell(G::ColName + c, r)).find(needle) !=
                    std::string::npos) {
                    rows.push_back(r);
                    break;
                }
            }
        }
        const int current = static_cast<int>(random() % 400) + 1;
        grid.Select(current, current);
        const TFound found = FindRow(grid, text, TFindFrom::Next);
        const auto after = std::upper_bound(rows.begin(), rows.end(), current);
        const auto place = after != rows.end() ? after : rows.begin();
        EXPECT_EQ(found.Count, static_cast<int>(rows.size())) << text;
        EXPECT_EQ(found.Row, rows.empty() ? 0 : *place) << text;
        EXPECT_EQ(found.Index, rows.empty() ? 0 : static_cast<int>(place - rows.begin()) + 1)
            << text;
    }
}

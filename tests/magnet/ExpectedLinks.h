#pragma once

// The fixtures' tables of expected outcomes (tests/fixtures/README.md): one line per fixture
// torrent with its outcome, its info hash and the magnet link of its row.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace lintervale::testing {

// The table in force.
inline constexpr const char* kExpectedLinksTable = "expected-links.tsv";

struct TExpectedLink {
    std::string file;
    bool ok = false;
    std::string hash;
    std::string link;
};

inline std::vector<TExpectedLink> ReadExpected(const std::string& Table) {
    std::ifstream in(std::filesystem::path(LINTERVALE_FIXTURES) / Table);
    std::vector<TExpectedLink> rows;
    std::string line;
    std::getline(in, line); // headings
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        TExpectedLink row;
        std::string outcome;
        std::getline(fields, row.file, '\t');
        std::getline(fields, outcome, '\t');
        std::getline(fields, row.hash, '\t');
        std::getline(fields, row.link, '\t');
        row.ok = outcome == "ok";
        rows.push_back(row);
    }
    return rows;
}

// The links of a torrent read whole (the --magnet command, a row with its stored .torrent):
// the table in force, with the rows of "expected-complete-links.tsv" in place of its own and
// after them. A hybrid's link carries both hashes there, and web seeds come after the trackers.
inline std::vector<TExpectedLink> ReadCompleteExpected() {
    std::vector<TExpectedLink> rows = ReadExpected(kExpectedLinksTable);
    for (const TExpectedLink& complete : ReadExpected("expected-complete-links.tsv")) {
        bool replaced = false;
        for (TExpectedLink& row : rows) {
            if (row.file == complete.file) {
                row = complete;
                replaced = true;
            }
        }
        if (!replaced) {
            rows.push_back(complete);
        }
    }
    return rows;
}

} // namespace lintervale::testing

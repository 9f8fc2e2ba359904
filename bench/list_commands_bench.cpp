// Times the list's commands on a list of 100,000 rows: finding as the user types (each
// keystroke counts every row that holds the text), sorting by name and by size, and taking
// back a sort and an add of 10,000 rows (and doing it again) on top of them.
// list_commands_bench [ROWS]. Prints the slowest keystroke, the median sort of 5, the sort as
// the window's command makes it (with the orders kept for its undo) and its undo, and the undo
// and redo of the add.

#include "list/ListDeltas.h"
#include "list/ListFind.h"
#include "list/ListOrder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace lintervale;
using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::time_point Since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - Since).count();
}

TTorrentGrid MakeList(int Rows) {
    std::mt19937 random(7);
    const char* words[] = {"Linux",  "Debian", "Album",      "Live",    "Concert", "Documentary",
                           "Ubuntu", "Season", "Collection", "Archive", "Lecture", "Demo"};
    TTorrentGrid grid;
    grid.SetRowCount(Rows + 1);
    for (int r = 1; r <= Rows; ++r) {
        std::string name;
        for (int w = 0; w < 4; ++w) {
            name += words[random() % 12];
            name += ' ';
        }
        name += std::to_string(random() % 100000);
        char hash[41];
        std::snprintf(hash, sizeof hash, "%08x%08x%08x%08x%08x", static_cast<unsigned>(random()),
                      static_cast<unsigned>(random()), static_cast<unsigned>(random()),
                      static_cast<unsigned>(random()), static_cast<unsigned>(r));
        grid.SetCell(TTorrentGrid::ColName, r, name);
        grid.SetCell(TTorrentGrid::ColHash, r, hash);
        grid.SetCell(TTorrentGrid::ColTrackers, r,
                     "\"udp://tracker.opentrackr.org:1337/announce\"|\"http://tracker.example.org:"
                     "6969/announce\"");
        grid.SetCell(TTorrentGrid::ColFiles, r, std::to_string(random() % 5000));
        grid.SetCell(TTorrentGrid::ColSize, r, std::to_string(random() % 100000) + " MB");
    }
    return grid;
}

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    TTorrentGrid grid = MakeList(rows);
    double slowest = 0;
    const std::string typed = "concert live 4";
    for (std::size_t n = 1; n <= typed.size(); ++n) {
        const auto start = Clock::now();
        const TFound found = FindRow(grid, typed.substr(0, n), TFindFrom::Here);
        slowest = std::max(slowest, Milliseconds(start));
        if (n == typed.size()) {
            std::printf("\"%s\": %d rows\n", typed.c_str(), found.Count);
        }
    }
    std::vector<double> byName;
    std::vector<double> bySize;
    for (int round = 0; round < 5; ++round) {
        auto start = Clock::now();
        SortRows(grid, round % 2 == 0 ? TTorrentGrid::ColName : TTorrentGrid::ColHash, false);
        if (round % 2 == 0) {
            byName.push_back(Milliseconds(start));
        }
        start = Clock::now();
        SortRows(grid, TTorrentGrid::ColSize, round % 2 == 1);
        bySize.push_back(Milliseconds(start));
    }
    // The sort as the window's command makes it: the order before and after kept for its undo.
    auto start = Clock::now();
    const TRowOrder before = TRowOrder::Of(grid);
    SortRows(grid, TTorrentGrid::ColName, true);
    const TRowOrder after = TRowOrder::Of(grid);
    const double command = Milliseconds(start);
    start = Clock::now();
    before.Restore(grid);
    const double sortUndo = Milliseconds(start);
    std::printf("sort command by name %.0f ms (%s), its undo %.0f ms\n", command,
                before == after ? "no change" : "reordered", sortUndo);
    // The newest 10,000 rows (on top) as one add, taken back and done again.
    std::vector<std::string> added;
    for (int r = 1; r <= std::min(10000, rows); ++r) {
        added.push_back(grid.Cell(TTorrentGrid::ColHash, r));
    }
    TRowAddition addition(std::move(added));
    start = Clock::now();
    const int undone = addition.Undo(grid);
    const double undo = Milliseconds(start);
    start = Clock::now();
    addition.Redo(grid);
    const double redo = Milliseconds(start);
    std::printf("undo of an add of %d rows %.0f ms, redo %.0f ms\n", undone, undo, redo);
    std::sort(byName.begin(), byName.end());
    std::sort(bySize.begin(), bySize.end());
    std::printf("%d rows: slowest keystroke of find %.1f ms (target 50), sort by name %.0f ms, "
                "by size %.0f ms (target 300)\n",
                rows, slowest, byName[byName.size() / 2], bySize[bySize.size() / 2]);
    return slowest <= 50 && byName[byName.size() / 2] <= 300 && bySize[bySize.size() / 2] <= 300
               ? 0
               : 1;
}

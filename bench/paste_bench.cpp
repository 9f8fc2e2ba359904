// Times the reading of pasted magnet links into rows: paste_bench LINKS_FILE [REPEATS].
// Prints the number of rows and the best time of the repetitions in seconds.

#include "list/MagnetRows.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: paste_bench LINKS_FILE [REPEATS]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
    double best = std::numeric_limits<double>::infinity();
    std::size_t rows = 0;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const lintervale::TMagnetRows result = lintervale::MagnetRowsOfText(text);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        rows = result.Rows.size();
    }
    std::printf("%zu %.6f\n", rows, best);
    return 0;
}

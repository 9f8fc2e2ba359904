#pragma once

// CHECK(condition): an invariant of a fuzz target; a broken one aborts, which libFuzzer
// reports with the input that broke it.

#include <cstdio>
#include <cstdlib>

#define CHECK(condition) ::lintervale::fuzz::Check((condition), #condition, __LINE__)

namespace lintervale::fuzz {

inline void Check(bool condition, const char* text, int line) {
    if (!condition) {
        std::fprintf(stderr, "Check failed at line %d: %s\n", line, text);
        std::abort();
    }
}

} // namespace lintervale::fuzz

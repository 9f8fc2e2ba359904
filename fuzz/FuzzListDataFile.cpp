// Bytes in as a list data file: reading must end (a grid or "Invalid numeric input") with no
// more rows than the bytes have lines, and the grid read must survive writing and reading
// again unchanged but for control characters, which the writer turns into spaces.

#include "FuzzCheck.h"
#include "ListFileRoundTrip.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    const std::string fault = lintervale::fuzz::ListFileRoundTripFault(bytes);
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
    }
    CHECK(fault.empty());
    return 0;
}

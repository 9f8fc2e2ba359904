// Bytes in as the text of a tracker cell: reading must never fail, and whatever the writer
// makes of the list must read back as that list.

#include "FuzzCheck.h"
#include "TrackerCellRoundTrip.h"
#include "magnet/MagnetLink.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

using namespace lintervale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view cell(reinterpret_cast<const char*>(Data), Size);
    const std::string fault = fuzz::TrackerCellFault(cell);
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
    }
    CHECK(fault.empty());

    const std::string link = MagnetLinkOfRow("name", std::string(40, '0'), cell);
    CHECK(link.starts_with("magnet:?xt=urn:btih:" + std::string(40, '0') + "&dn=name&tr="));
    return 0;
}

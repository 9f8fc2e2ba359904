// Bytes in as the text of a tracker cell: reading must never fail, and whatever the writer
// makes of the list must read back as that list.

#include "FuzzCheck.h"
#include "magnet/MagnetLink.h"
#include "trackers/TrackerCell.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace lintervale;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view cell(reinterpret_cast<const char*>(Data), Size);
    const std::vector<std::string> trackers = ReadTrackerCell(cell);

    // A NUL ends the text, and every item but a trailing empty one takes at least one byte.
    const std::size_t textSize = std::min(cell.find('\0'), cell.size());
    CHECK(trackers.size() <= textSize + 1);
    for (const std::string& tracker : trackers) {
        CHECK(tracker.find('\0') == std::string::npos);
    }

    // The writer doubles no quote, so only a list without quotes in its items survives it;
    // blanks, control characters and "|" are safe inside the quotes.
    const bool quoted = std::any_of(trackers.begin(), trackers.end(), [](const std::string& t) {
        return t.find('"') != std::string::npos;
    });
    if (!quoted) {
        CHECK(ReadTrackerCell(WriteTrackerCell(trackers)) == trackers);
        std::vector<std::string> nonEmpty;
        std::copy_if(trackers.begin(), trackers.end(), std::back_inserter(nonEmpty),
                     [](const std::string& t) { return !t.empty(); });
        CHECK(ReadTrackerCell(WriteTrackerCellNonEmpty(trackers)) == nonEmpty);
    }

    const std::string link = MagnetLinkOfRow("name", std::string(40, '0'), cell);
    CHECK(link.starts_with("magnet:?xt=urn:btih:" + std::string(40, '0') + "&dn=name&tr="));
    return 0;
}

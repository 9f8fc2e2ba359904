#pragma once

// The tracker cell's reading and writing, for the fuzz target and the test suite's replay of
// its inputs: reading never fails and no item holds a NUL; a list without a double quote in
// its items reads back unchanged after WriteTrackerCell, and without its empty items after
// WriteTrackerCellNonEmpty; a text that CheckTrackerAddress takes as a tracker address reads
// back from a written cell as that one tracker.

#include "trackers/TrackerAddress.h"
#include "trackers/TrackerCell.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale::fuzz {

// What breaks the rules for the cell text Cell, or the empty text when nothing does.
inline std::string TrackerCellFault(std::string_view Cell) {
    if (CheckTrackerAddress(Cell) == TTrackerFault::None &&
        ReadTrackerCell(WriteTrackerCell({std::string(Cell)})) !=
            std::vector<std::string>{std::string(Cell)}) {
        return "a tracker address does not read back as one tracker";
    }
    const std::vector<std::string> trackers = ReadTrackerCell(Cell);
    // A NUL ends the text, and every item but a trailing empty one takes at least one byte.
    const std::size_t textSize = std::min(Cell.find('\0'), Cell.size());
    if (trackers.size() > textSize + 1) {
        return std::to_string(trackers.size()) + " items from " + std::to_string(textSize) +
               " characters";
    }
    for (const std::string& tracker : trackers) {
        if (tracker.find('\0') != std::string::npos) {
            return "an item holds a NUL";
        }
    }
    // The writer doubles no quote, so only a list without quotes in its items survives it;
    // blanks, control characters and "|" are safe inside the quotes.
    const bool quoted = std::any_of(trackers.begin(), trackers.end(), [](const std::string& t) {
        return t.find('"') != std::string::npos;
    });
    if (quoted) {
        return {};
    }
    if (ReadTrackerCell(WriteTrackerCell(trackers)) != trackers) {
        return "the written list reads back otherwise";
    }
    std::vector<std::string> nonEmpty;
    std::copy_if(trackers.begin(), trackers.end(), std::back_inserter(nonEmpty),
                 [](const std::string& t) { return !t.empty(); });
    if (ReadTrackerCell(WriteTrackerCellNonEmpty(trackers)) != nonEmpty) {
        return "the list written without empty items reads back otherwise";
    }
    return {};
}

} // namespace lintervale::fuzz

#pragma once

// The merge of a tracker-search service's answer into a row's tracker cell.
//
// The merge list starts with the cell's trackers (read form) and is kept sorted by the
// caller's comparison; an item that compares equal to one already in the list is dropped.
// The answer is read line by line (lines end at LF; a CR just before the LF is not part of
// the line):
// - the line "Not Found" stops the reading and is reported;
// - a line starting with "http://" or "udp://" (case-sensitive) is added, unless it holds a
//   double quote, a "|" or a NUL character, any of which would break the cell's format;
// - every other line is ignored.
// The result is the merge list in its sorted order, written with empty items kept.

#include <functional>
#include <string>
#include <string_view>

namespace lintervale {

inline constexpr std::string_view kNotFoundLine = "Not Found";

// Orders two trackers: negative, zero or positive as A sorts before, equal to or after B.
using TTrackerCompare = std::function<int(std::string_view A, std::string_view B)>;

struct TTrackerMergeResult {
    std::string Cell;      // the new cell text
    bool NotFound = false; // whether the answer held the line "Not Found"
};

TTrackerMergeResult MergeTrackerAnswer(std::string_view Cell, std::string_view Answer,
                                       const TTrackerCompare& Compare);

// Whether an answer line is taken as a tracker.
bool IsFetchedTracker(std::string_view Line);

} // namespace lintervale

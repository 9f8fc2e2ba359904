#pragma once

// The merge of fetched trackers into a row's tracker cell: from a tracker-search service's
// answer for one hash, or from a public list of trackers.
//
// The merge list starts with the cell's trackers (read form) and is kept sorted by the
// caller's comparison; an item that compares equal to one already in the list is dropped.
// An answer or a list is read line by line (lines end at LF; a CR just before the LF is not
// part of the line):
// - in a service's answer, the line "Not Found" stops the reading and is reported; in a
//   list it is a line like any other;
// - a line starting with "http://" or "udp://" (case-sensitive) is a tracker, unless it holds
//   a double quote, a "|" or a NUL character, any of which would break the cell's format;
// - every other line is ignored.
// The result is the merge list in its sorted order, written with empty items kept.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

inline constexpr std::string_view kNotFoundLine = "Not Found";

// Orders two trackers: negative, zero or positive as A sorts before, equal to or after B.
using TTrackerCompare = std::function<int(std::string_view A, std::string_view B)>;

struct TTrackerMergeResult {
    std::string Cell;      // the new cell text
    bool NotFound = false; // whether the answer held the line "Not Found"
};

struct TTrackerAnswer {
    std::vector<std::string> Trackers; // in the order of the lines
    bool NotFound = false;
};

// The trackers of a service's answer, up to a "Not Found" line.
TTrackerAnswer ReadTrackerAnswer(std::string_view Answer);
// The trackers of a list.
std::vector<std::string> ReadTrackerList(std::string_view List);

// The cell's trackers and the fetched ones, merged.
std::string MergeTrackers(std::string_view Cell, const std::vector<std::string>& Fetched,
                          const TTrackerCompare& Compare);
// ReadTrackerAnswer and MergeTrackers in one.
TTrackerMergeResult MergeTrackerAnswer(std::string_view Cell, std::string_view Answer,
                                       const TTrackerCompare& Compare);

// Whether an answer line is taken as a tracker.
bool IsFetchedTracker(std::string_view Line);

} // namespace lintervale

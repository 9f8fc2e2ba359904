#pragma once

// The merge of fetched trackers into a row's tracker cell: from a tracker-search service's
// answer for one hash, or from a public list of trackers merged into many rows.
//
// An answer or a list is read once (ReadTrackerAnswer, ReadTrackerList), line by line (lines
// end at LF; a CR just before the LF or at the very end is not part of the line):
// - in a service's answer, the line "Not Found" stops the reading and is reported; in a list
//   it is a line like any other;
// - a line starting with "http://" or "udp://" (case-sensitive), and in a list also
//   "https://", is a tracker line; it is
//   taken when it is a tracker address the cell can carry (CheckTrackerAddress), and left
//   out and counted otherwise (invalid UTF-8, a double quote or "|", a blank or control
//   character, longer than kMaxTrackerBytes);
// - every other line is ignored.
// Of the tracker lines, the first kMaxTrackersPerCell distinct ones are kept (a later line
// equal to an earlier one by the caller's comparison is dropped); the lines after them are
// left out and counted, since no row could take more.
//
// MergeFetched then merges what was read into one cell, in time bounded by the limits
// whatever the answer: the merge list starts with the cell's trackers (read form), kept
// sorted by the caller's comparison, an item equal to one already there dropped; fetched
// trackers are added in the answer's order while the cell stays within kMaxTrackersPerCell
// trackers and kMaxTrackerCellBytes bytes, and the rest are counted as left out. The result
// is the merge list in its sorted order, written with empty items kept.

#include "trackers/TrackerLimits.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

inline constexpr std::string_view kNotFoundLine = "Not Found";

// Orders two trackers: negative, zero or positive as A sorts before, equal to or after B.
using TTrackerCompare = std::function<int(std::string_view A, std::string_view B)>;

// An answer or a list, read once.
struct TTrackerAnswer {
    // The trackers taken, in the order of the lines, each once, at most kMaxTrackersPerCell.
    std::vector<std::string> Trackers;
    // Indexes into Trackers in the comparison's order.
    std::vector<std::size_t> Sorted;
    bool NotFound = false;   // a "Not Found" line ended a service's answer
    bool HasText = false;    // some line holds more than blanks
    std::size_t Invalid = 0; // tracker lines left out as no address the cell can carry
    std::size_t OverCap = 0; // tracker lines left out after kMaxTrackersPerCell distinct ones
};

// The trackers of a service's answer, up to a "Not Found" line.
TTrackerAnswer ReadTrackerAnswer(std::string_view Answer, const TTrackerCompare& Compare);
// The trackers of a list.
TTrackerAnswer ReadTrackerList(std::string_view List, const TTrackerCompare& Compare);

struct TTrackerMerge {
    std::string Cell;        // the new cell text
    std::size_t LeftOut = 0; // fetched trackers the cell had no room for
};

// The cell's trackers and the fetched ones, merged.
TTrackerMerge MergeFetched(std::string_view Cell, const TTrackerAnswer& Fetched,
                           const TTrackerCompare& Compare);

// Whether a service's answer line is a tracker line (not yet whether it is taken).
bool IsFetchedTrackerLine(std::string_view Line);

} // namespace lintervale

#pragma once

// How much one row's tracker cell holds, stated once for every writer that takes trackers
// from outside the torrent: the tracker editor and the fetch of trackers.
//
// - kMaxTrackerBytes: one tracker address is at most this many bytes of UTF-8; a longer line
//   is no tracker address (CheckTrackerAddress).
// - kMaxTrackersPerCell: a fetch adds trackers to a row only while it holds fewer than this;
//   the editor saves at most this many.
// - kMaxTrackerCellBytes: a fetch adds a tracker only while the cell's text stays within this
//   many bytes; the editor saves no longer cell.
//
// A fetch never takes away a tracker the row already has, also when the row holds more than
// these allow (from a pasted link, say): it adds none then. What a fetch leaves out is
// counted and shown on the status line. With these, a fetch into 10,000 rows adds at most
// about 160 MiB to the list, whatever the answer.

#include <cstddef>

namespace lintervale {

inline constexpr std::size_t kMaxTrackerBytes = 2000;
inline constexpr std::size_t kMaxTrackersPerCell = 200;
inline constexpr std::size_t kMaxTrackerCellBytes = 16 * 1024;

} // namespace lintervale

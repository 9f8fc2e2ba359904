#include "trackers/TrackerMerge.h"

#include "trackers/TrackerAddress.h"
#include "trackers/TrackerCell.h"

#include <algorithm>
#include <set>

namespace lintervale {

namespace {

// The strict order of the merge list: two items are the same when neither sorts first.
struct TLess {
    const TTrackerCompare* Compare;
    bool operator()(const std::string& A, const std::string& B) const {
        return (*Compare)(A, B) < 0;
    }
};

// The bytes a tracker takes in a cell: its quotes, and the "|" before it unless it is first.
std::size_t CellBytes(const std::string& Tracker, std::size_t Before) {
    return Tracker.size() + (Before == 0 ? 2 : 3);
}

TTrackerAnswer ReadLines(std::string_view Text, bool FromList, const TTrackerCompare& Compare) {
    TTrackerAnswer result;
    // The distinct trackers so far; each line is compared with at most kMaxTrackersPerCell.
    std::set<std::string, TLess> taken(TLess{&Compare});
    std::size_t start = 0;
    while (start <= Text.size()) {
        const std::size_t end = Text.find('\n', start);
        std::string_view line = Text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!FromList && line == kNotFoundLine) {
            result.NotFound = true;
            break;
        }
        result.HasText = result.HasText || line.find_first_not_of(" \t\r\f\v") != line.npos;
        if (IsFetchedTrackerLine(line) || (FromList && line.starts_with("https://"))) {
            if (CheckTrackerAddress(line) != TTrackerFault::None) {
                ++result.Invalid;
            } else if (result.Trackers.size() == kMaxTrackersPerCell) {
                ++result.OverCap;
            } else if (taken.emplace(line).second) {
                result.Trackers.emplace_back(line);
            }
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    result.Sorted.resize(result.Trackers.size());
    for (std::size_t i = 0; i < result.Sorted.size(); ++i) {
        result.Sorted[i] = i;
    }
    std::stable_sort(result.Sorted.begin(), result.Sorted.end(), [&](std::size_t A, std::size_t B) {
        return Compare(result.Trackers[A], result.Trackers[B]) < 0;
    });
    return result;
}

} // namespace

bool IsFetchedTrackerLine(std::string_view Line) {
    return Line.starts_with("http://") || Line.starts_with("udp://");
}

TTrackerAnswer ReadTrackerAnswer(std::string_view Answer, const TTrackerCompare& Compare) {
    return ReadLines(Answer, false, Compare);
}

TTrackerAnswer ReadTrackerList(std::string_view List, const TTrackerCompare& Compare) {
    return ReadLines(List, true, Compare);
}

TTrackerMerge MergeFetched(std::string_view Cell, const TTrackerAnswer& Fetched,
                           const TTrackerCompare& Compare) {
    // The cell's own trackers, sorted, each once (the first of equals stays).
    std::vector<std::string> own = ReadTrackerCell(Cell);
    std::stable_sort(own.begin(), own.end(), TLess{&Compare});
    own.erase(
        std::unique(own.begin(), own.end(),
                    [&](const std::string& A, const std::string& B) { return Compare(A, B) == 0; }),
        own.end());

    // Where each of the cell's trackers stands among the fetched ones, and which fetched ones
    // it holds already: a binary search each, so a row costs about log n comparisons per
    // tracker it has.
    const std::vector<std::string>& fetched = Fetched.Trackers;
    const std::vector<std::size_t>& sorted = Fetched.Sorted;
    std::vector<std::size_t> place(own.size());
    std::vector<char> skip(fetched.size(), 0);
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < own.size(); ++i) {
        bytes += CellBytes(own[i], i);
        const auto at = std::lower_bound(
            sorted.begin(), sorted.end(), own[i],
            [&](std::size_t F, const std::string& O) { return Compare(fetched[F], O) < 0; });
        place[i] = static_cast<std::size_t>(at - sorted.begin());
        if (at != sorted.end() && Compare(fetched[*at], own[i]) == 0) {
            skip[*at] = 1;
        }
    }

    // The fetched trackers that fit, in the answer's order.
    TTrackerMerge result;
    std::size_t count = own.size();
    for (std::size_t f = 0; f < fetched.size(); ++f) {
        if (skip[f] != 0) {
            continue;
        }
        const std::size_t more = CellBytes(fetched[f], count);
        if (count >= kMaxTrackersPerCell || bytes + more > kMaxTrackerCellBytes) {
            skip[f] = 1;
            ++result.LeftOut;
            continue;
        }
        bytes += more;
        ++count;
    }

    std::vector<std::string> merged;
    merged.reserve(count);
    std::size_t next = 0;
    for (std::size_t s = 0; s <= sorted.size(); ++s) {
        while (next < own.size() && place[next] == s) {
            merged.push_back(std::move(own[next++]));
        }
        if (s < sorted.size() && skip[sorted[s]] == 0) {
            merged.push_back(fetched[sorted[s]]);
        }
    }
    result.Cell = WriteTrackerCell(merged);
    return result;
}

} // namespace lintervale

#include "trackers/TrackerMerge.h"

#include "trackers/TrackerCell.h"

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

// Reads the lines of an answer or a list: the trackers it names, and whether a "Not Found"
// line ended the reading (only when StopAtNotFound).
TTrackerAnswer ReadLines(std::string_view Text, bool StopAtNotFound) {
    TTrackerAnswer result;
    std::size_t start = 0;
    while (start <= Text.size()) {
        const std::size_t end = Text.find('\n', start);
        std::string_view line = Text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (end != std::string_view::npos && line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (StopAtNotFound && line == kNotFoundLine) {
            result.NotFound = true;
            break;
        }
        if (IsFetchedTracker(line)) {
            result.Trackers.emplace_back(line);
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return result;
}

} // namespace

bool IsFetchedTracker(std::string_view Line) {
    if (!Line.starts_with("http://") && !Line.starts_with("udp://")) {
        return false;
    }
    return Line.find_first_of(std::string_view("\"|\0", 3)) == std::string_view::npos;
}

TTrackerAnswer ReadTrackerAnswer(std::string_view Answer) {
    return ReadLines(Answer, true);
}

std::vector<std::string> ReadTrackerList(std::string_view List) {
    return ReadLines(List, false).Trackers;
}

std::string MergeTrackers(std::string_view Cell, const std::vector<std::string>& Fetched,
                          const TTrackerCompare& Compare) {
    // A set keeps a long answer's merge at n log n comparisons; insert drops an item that
    // compares equal to one already present, as the merge list does.
    std::set<std::string, TLess> merged(TLess{&Compare});
    for (std::string& tracker : ReadTrackerCell(Cell)) {
        merged.insert(std::move(tracker));
    }
    merged.insert(Fetched.begin(), Fetched.end());
    return WriteTrackerCell(std::vector<std::string>(merged.begin(), merged.end()));
}

TTrackerMergeResult MergeTrackerAnswer(std::string_view Cell, std::string_view Answer,
                                       const TTrackerCompare& Compare) {
    const TTrackerAnswer answer = ReadTrackerAnswer(Answer);
    return {MergeTrackers(Cell, answer.Trackers, Compare), answer.NotFound};
}

} // namespace lintervale

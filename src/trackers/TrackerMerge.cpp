#include "trackers/TrackerMerge.h"

#include "trackers/TrackerCell.h"

#include <set>
#include <vector>

namespace lintervale {

namespace {

// The strict order of the merge list: two items are the same when neither sorts first.
struct TLess {
    const TTrackerCompare* Compare;
    bool operator()(const std::string& A, const std::string& B) const {
        return (*Compare)(A, B) < 0;
    }
};

} // namespace

bool IsFetchedTracker(std::string_view Line) {
    if (!Line.starts_with("http://") && !Line.starts_with("udp://")) {
        return false;
    }
    return Line.find_first_of(std::string_view("\"|\0", 3)) == std::string_view::npos;
}

TTrackerMergeResult MergeTrackerAnswer(std::string_view Cell, std::string_view Answer,
                                       const TTrackerCompare& Compare) {
    // A set keeps a long answer's merge at n log n comparisons; insert drops an item that
    // compares equal to one already present, as the merge list does.
    std::set<std::string, TLess> merged(TLess{&Compare});
    for (std::string& tracker : ReadTrackerCell(Cell)) {
        merged.insert(std::move(tracker));
    }

    TTrackerMergeResult result;
    std::size_t start = 0;
    while (start <= Answer.size()) {
        const std::size_t end = Answer.find('\n', start);
        std::string_view line = Answer.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (end != std::string_view::npos && line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line == kNotFoundLine) {
            result.NotFound = true;
            break;
        }
        if (IsFetchedTracker(line)) {
            merged.emplace(line);
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }

    result.Cell = WriteTrackerCell(std::vector<std::string>(merged.begin(), merged.end()));
    return result;
}

} // namespace lintervale

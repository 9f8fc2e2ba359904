#include "trackers/TrackerMerge.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

using namespace lintervale;

namespace {

// A plain ASCII case-insensitive order, standing in for the window's locale collation.
int CompareNoCase(std::string_view A, std::string_view B) {
    const std::size_t common = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int a = std::tolower(static_cast<unsigned char>(A[i]));
        const int b = std::tolower(static_cast<unsigned char>(B[i]));
        if (a != b) {
            return a < b ? -1 : 1;
        }
    }
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

struct Case {
    const char* what;
    std::string cell;
    std::string answer;
    std::string merged;
    bool notFound;
};

TEST(TrackerMerge, Table) {
    const Case cases[] = {
        {"three fetched, one a duplicate in other letter case", "\"http://b.example/announce\"",
         "http://B.example/announce\nudp://a.example:80\nhttp://c.example/announce\n",
         "\"http://b.example/announce\"|\"http://c.example/announce\"|\"udp://a.example:80\"",
         false},
        {"the cell's own trackers come first among equals", "\"HTTP://x/A\"", "http://x/a\n",
         "\"HTTP://x/A\"", false},
        {"only http:// and udp:// lines, case-sensitive, are taken", "",
         "https://s/a\nHTTP://u/a\nUDP://u/b\nftp://f\nhttp://ok/a\nudp://ok/b\n",
         "\"http://ok/a\"|\"udp://ok/b\"", false},
        {"other lines are ignored", "",
         "\n# comment\n  http://lead/space\nhttp:/short\nhttp://\nudp://\n",
         "\"http://\"|\"udp://\"", false},
        {"Not Found first: nothing is added, the cell comes back sorted",
         "\"udp://z\"|\"http://y\"|\"udp://Z\"", "Not Found\nhttp://after/a\n",
         "\"http://y\"|\"udp://z\"", true},
        {"Not Found in the middle stops the reading", "\"udp://z\"",
         "http://before/a\nNot Found\nhttp://after/a\n", "\"http://before/a\"|\"udp://z\"", true},
        {"Not Found last", "", "http://a/1\nudp://b/2\nNot Found", "\"http://a/1\"|\"udp://b/2\"",
         true},
        {"Not Found is a whole line, case-sensitive", "",
         "not found\nNot Found.\n Not Found\nhttp://a/1\n", "\"http://a/1\"", false},
        {"Not Found before a CR LF", "", "http://a/1\r\nNot Found\r\nhttp://b/2\r\n",
         "\"http://a/1\"", true},
        {"a CR before LF is dropped, a CR elsewhere stays", "", "http://a/1\r\nhttp://b/2\r",
         "\"http://a/1\"|\"http://b/2\r\"", false},
        {"two double quotes only: an empty first item", "\"\"", "http://a/1\nudp://b/2\n",
         "\"\"|\"http://a/1\"|\"udp://b/2\"", false},
        {"empty answer leaves the cell sorted", "\"udp://b\"|\"http://a\"", "",
         "\"http://a\"|\"udp://b\"", false},
        {"empty answer and empty cell", "", "", "", false},
        {"a line with a double quote or a bar is dropped", "",
         "http://a/\"x\nudp://b|c\nhttp://ok/a\nhttp://\"\n", "\"http://ok/a\"", false},
        {"a line with a NUL character is dropped", "", std::string("http://a/\0b\nhttp://c\n", 21),
         "\"http://c\"", false},
        {"duplicates inside the answer are dropped", "", "udp://a\nUDP://a\nudp://A\nudp://a\n",
         "\"udp://a\"", false},
    };
    for (const Case& c : cases) {
        const TTrackerMergeResult result = MergeTrackerAnswer(c.cell, c.answer, CompareNoCase);
        EXPECT_EQ(result.Cell, c.merged) << c.what;
        EXPECT_EQ(result.NotFound, c.notFound) << c.what;
    }
}

TEST(TrackerMerge, AcceptedLines) {
    EXPECT_TRUE(IsFetchedTracker("http://a"));
    EXPECT_TRUE(IsFetchedTracker("udp://a"));
    EXPECT_TRUE(IsFetchedTracker("http://a b"));
    EXPECT_FALSE(IsFetchedTracker("https://a"));
    EXPECT_FALSE(IsFetchedTracker("Http://a"));
    EXPECT_FALSE(IsFetchedTracker("udp:/a"));
    EXPECT_FALSE(IsFetchedTracker("http://a|b"));
    EXPECT_FALSE(IsFetchedTracker("udp://\"a\""));
    EXPECT_FALSE(IsFetchedTracker(""));
}

TEST(TrackerMerge, APublicListIsReadOnceAndMergedIntoEachCell) {
    // One tracker a line with blank lines between, as public lists come; "Not Found" means
    // nothing there.
    const std::string list =
        "udp://b.example:1337/announce\n\nhttp://a.example/announce\r\n\n"
        "Not Found\nhttps://s.example/announce\nudp://B.example:1337/announce\n"
        "http://q\"uote/a\n\nudp://c.example:6969/announce";
    const std::vector<std::string> trackers = ReadTrackerList(list);
    EXPECT_EQ(trackers, (std::vector<std::string>{
                            "udp://b.example:1337/announce", "http://a.example/announce",
                            "udp://B.example:1337/announce", "udp://c.example:6969/announce"}));
    const std::pair<std::string, std::string> cells[] = {
        {"", "\"http://a.example/announce\"|\"udp://b.example:1337/announce\"|"
             "\"udp://c.example:6969/announce\""},
        {"\"udp://C.EXAMPLE:6969/announce\"|\"http://z/a\"",
         "\"http://a.example/announce\"|\"http://z/a\"|\"udp://b.example:1337/announce\"|"
         "\"udp://C.EXAMPLE:6969/announce\""},
        {"\"\"", "\"\"|\"http://a.example/announce\"|\"udp://b.example:1337/announce\"|"
                 "\"udp://c.example:6969/announce\""},
    };
    for (const auto& [cell, merged] : cells) {
        EXPECT_EQ(MergeTrackers(cell, trackers, CompareNoCase), merged) << cell;
    }

    // The same text as a service's answer stops at "Not Found".
    const TTrackerAnswer answer = ReadTrackerAnswer(list);
    EXPECT_TRUE(answer.NotFound);
    EXPECT_EQ(answer.Trackers.size(), 2u);
}

TEST(TrackerMerge, FollowsTheCallersOrder) {
    // A descending order gives a descending cell.
    const auto descending = [](std::string_view A, std::string_view B) {
        return -CompareNoCase(A, B);
    };
    EXPECT_EQ(MergeTrackerAnswer("\"udp://a\"", "http://b\nudp://c\n", descending).Cell,
              "\"udp://c\"|\"udp://a\"|\"http://b\"");
}

TEST(TrackerMerge, LongAnswersStayCheap) {
    std::string answer;
    for (int i = 0; i < 100000; ++i) {
        answer += "udp://t" + std::to_string(i) + "\n";
    }
    int comparisons = 0;
    const auto counting = [&](std::string_view A, std::string_view B) {
        ++comparisons;
        return CompareNoCase(A, B);
    };
    const TTrackerMergeResult result = MergeTrackerAnswer("", answer, counting);
    EXPECT_EQ(std::count(result.Cell.begin(), result.Cell.end(), '|'), 99999);
    EXPECT_LT(comparisons, 100000 * 40) << "about n log n comparisons";
}

} // namespace

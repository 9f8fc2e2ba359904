#include "trackers/TrackerMerge.h"

#include "trackers/TrackerAddress.h"
#include "trackers/TrackerCell.h"
#include "trackers/TrackerMessages.h"

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

// Answer lines udp://t<First>/a ... for Count trackers, each Padding bytes longer.
std::string Lines(int First, int Count, std::size_t Padding = 0) {
    std::string text;
    for (int i = First; i < First + Count; ++i) {
        text += "udp://t" + std::to_string(i) + "/" + std::string(Padding, 'p') + "a\n";
    }
    return text;
}

TEST(TrackerMerge, Table) {
    struct Case {
        const char* what;
        std::string cell;
        std::string answer;
        std::string merged;
        bool notFound = false;
        std::size_t invalid = 0;
    };
    const Case cases[] = {
        {"three fetched, one a duplicate in other letter case", "\"http://b.example/announce\"",
         "http://B.example/announce\nudp://a.example:80\nhttp://c.example/announce\n",
         "\"http://b.example/announce\"|\"http://c.example/announce\"|\"udp://a.example:80\""},
        {"the cell's own trackers come first among equals", "\"HTTP://x/A\"", "http://x/a\n",
         "\"HTTP://x/A\""},
        {"only http:// and udp:// lines, case-sensitive, are taken", "",
         "https://s/a\nHTTP://u/a\nUDP://u/b\nftp://f\nhttp://ok/a\nudp://ok/b\n",
         "\"http://ok/a\"|\"udp://ok/b\""},
        {"other lines are ignored; a scheme alone is left out", "",
         "\n# comment\n  http://lead/space\nhttp:/short\nhttp://\nudp://\n", "", false, 2},
        {"Not Found first: nothing is added, the cell comes back sorted",
         "\"udp://z\"|\"http://y\"|\"udp://Z\"", "Not Found\nhttp://after/a\n",
         "\"http://y\"|\"udp://z\"", true},
        {"Not Found in the middle stops the reading", "\"udp://z\"",
         "http://before/a\nNot Found\nhttp://after/a\n", "\"http://before/a\"|\"udp://z\"", true},
        {"Not Found last", "", "http://a/1\nudp://b/2\nNot Found", "\"http://a/1\"|\"udp://b/2\"",
         true},
        {"Not Found is a whole line, case-sensitive", "",
         "not found\nNot Found.\n Not Found\nhttp://a/1\n", "\"http://a/1\""},
        {"Not Found before a CR LF", "", "http://a/1\r\nNot Found\r\nhttp://b/2\r\n",
         "\"http://a/1\"", true},
        {"a CR before LF or at the end is dropped, a CR elsewhere is left out", "",
         "http://a/1\r\nhttp://b/2\rx\nhttp://c/3\r", "\"http://a/1\"|\"http://c/3\"", false, 1},
        {"two double quotes only: an empty first item", "\"\"", "http://a/1\nudp://b/2\n",
         "\"\"|\"http://a/1\"|\"udp://b/2\""},
        {"empty answer leaves the cell sorted", "\"udp://b\"|\"http://a\"", "",
         "\"http://a\"|\"udp://b\""},
        {"empty answer and empty cell", "", "", ""},
        {"a line with a double quote or a bar is left out", "",
         "http://a/\"x\nudp://b|c\nhttp://ok/a\nhttp://\"\n", "\"http://ok/a\"", false, 3},
        {"a line with a NUL, a space or a tab is left out", "",
         std::string("http://a/\0b\nhttp://c\nhttp://d e\nudp://f\tg\n", 41), "\"http://c\"", false,
         3},
        {"overlong forms, surrogates and 0xFF are left out, valid UTF-8 is taken", "",
         "http://a/\xC0\xAF\nhttp://b/\xED\xA0\x80\nudp://c/\xFF\nhttp://d/\xE0\x80\xAF\n"
         "udp://e/\xF4\x90\x80\x80\nhttp://cut/\xC3\nhttp://\xC3\xA9t\xC3\xA9/a\n",
         "\"http://\xC3\xA9t\xC3\xA9/a\"", false, 6},
        {"an address of 2000 bytes is taken, of 2001 left out", "",
         "udp://" + std::string(1994, 'x') + "\nudp://" + std::string(1995, 'y') + "\n",
         "\"udp://" + std::string(1994, 'x') + "\"", false, 1},
        {"duplicates inside the answer are dropped", "", "udp://a\nUDP://a\nudp://A\nudp://a\n",
         "\"udp://a\""},
    };
    for (const Case& c : cases) {
        const TTrackerAnswer answer = ReadTrackerAnswer(c.answer, CompareNoCase);
        const TTrackerMerge merged = MergeFetched(c.cell, answer, CompareNoCase);
        EXPECT_EQ(merged.Cell, c.merged) << c.what;
        EXPECT_EQ(answer.NotFound, c.notFound) << c.what;
        EXPECT_EQ(answer.Invalid, c.invalid) << c.what;
        EXPECT_EQ(merged.LeftOut, 0u) << c.what;
    }
}

TEST(TrackerMerge, AListAlsoGivesHttpsTrackersAndReadsPastNotFound) {
    const std::string text = "https://a/announce\nNot Found\nudp://b:1/announce\nhttps:/c\n";
    const TTrackerAnswer list = ReadTrackerList(text, CompareNoCase);
    EXPECT_EQ(list.Trackers, (std::vector<std::string>{"https://a/announce", "udp://b:1/announce"}));
    // A service's answer keeps to http and udp.
    EXPECT_TRUE(ReadTrackerAnswer(text, CompareNoCase).Trackers.empty());
    EXPECT_EQ(MergeFetched("\"http://own/a\"", list, CompareNoCase).Cell,
              "\"http://own/a\"|\"https://a/announce\"|\"udp://b:1/announce\"");
}

TEST(TrackerMerge, AnAnswerTellsWhetherItHoldsText) {
    // A page sent instead of an answer holds text but no tracker; an empty answer holds none.
    EXPECT_TRUE(ReadTrackerAnswer("<html>\n<p>Sign in</p>\n", CompareNoCase).HasText);
    EXPECT_FALSE(ReadTrackerAnswer(" \r\n\n\t\n", CompareNoCase).HasText);
    EXPECT_FALSE(ReadTrackerAnswer("Not Found\n<html>\n", CompareNoCase).HasText);
}

TEST(TrackerMerge, ACellHoldsWhatTheLimitsAllow) {
    struct Case {
        const char* what;
        std::string cell;
        std::string answer;
        std::size_t taken;    // trackers kept from the answer
        std::size_t overCap;  // answer lines after the kept ones
        std::size_t trackers; // in the merged cell
        std::size_t leftOut;  // fetched trackers the cell had no room for
    };
    std::string ownTen, ownFiveFetched, ownTooMany;
    for (int i = 0; i < 10; ++i) {
        ownTen += "|\"http://own" + std::to_string(i) + "/a\"";
        ownFiveFetched += "|\"" +
                          (i < 5 ? "UDP://T" + std::to_string(i) + "/A"
                                 : "http://own" + std::to_string(i) + "/a") +
                          "\"";
    }
    for (int i = 0; i < 250; ++i) {
        ownTooMany += "|\"http://own" + std::to_string(i) + "/a\"";
    }
    const Case cases[] = {
        {"an answer past the cap", "", Lines(0, 250), 200, 50, 200, 0},
        {"duplicates do not count against the cap", "",
         Lines(0, 150) + Lines(0, 150) + Lines(150, 100), 200, 50, 200, 0},
        {"a cell of ten", ownTen.substr(1), Lines(0, 200), 200, 0, 200, 10},
        {"a cell holding five of the answer", ownFiveFetched.substr(1), Lines(0, 200), 200, 0, 200,
         5},
        {"a cell past the cap keeps its own and takes none", ownTooMany.substr(1), Lines(0, 20), 20,
         0, 250, 20},
        {"long addresses stop at the cell's bytes", "", Lines(0, 200, 90), 200, 0, 157, 43},
        {"addresses of about 2000 bytes", "", Lines(0, 20, 1980), 20, 0, 8, 12},
    };
    for (const Case& c : cases) {
        const TTrackerAnswer answer = ReadTrackerList(c.answer, CompareNoCase);
        EXPECT_EQ(answer.Trackers.size(), c.taken) << c.what;
        EXPECT_EQ(answer.OverCap, c.overCap) << c.what;
        const TTrackerMerge merged = MergeFetched(c.cell, answer, CompareNoCase);
        const std::vector<std::string> trackers = ReadTrackerCell(merged.Cell);
        EXPECT_EQ(trackers.size(), c.trackers) << c.what;
        EXPECT_EQ(merged.LeftOut, c.leftOut) << c.what;
        if (c.cell.size() <= kMaxTrackerCellBytes) {
            EXPECT_LE(merged.Cell.size(), kMaxTrackerCellBytes) << c.what;
        }
        EXPECT_TRUE(std::is_sorted(
            trackers.begin(), trackers.end(),
            [](const std::string& A, const std::string& B) { return CompareNoCase(A, B) < 0; }))
            << c.what;
        // The cell's own trackers all stay.
        for (const std::string& own : ReadTrackerCell(c.cell)) {
            EXPECT_TRUE(std::find(trackers.begin(), trackers.end(), own) != trackers.end())
                << c.what << ": " << own;
        }
    }
}

TEST(TrackerMerge, TheFirstTrackersOfTheAnswerGetIn) {
    // The answer's order says which trackers fit; the cell is sorted all the same.
    std::string cell;
    for (int i = 0; i < 198; ++i) {
        cell += "|\"http://own" + std::to_string(i) + "/a\"";
    }
    const TTrackerAnswer answer =
        ReadTrackerAnswer("udp://zz/1\nudp://aa/2\nudp://mm/3\n", CompareNoCase);
    const TTrackerMerge merged = MergeFetched(cell.substr(1), answer, CompareNoCase);
    EXPECT_EQ(merged.LeftOut, 1u);
    EXPECT_NE(merged.Cell.find("\"udp://aa/2\"|\"udp://zz/1\""), std::string::npos);
    EXPECT_EQ(merged.Cell.find("udp://mm/3"), std::string::npos);
}

TEST(TrackerMerge, FollowsTheCallersOrder) {
    // A descending order gives a descending cell.
    const auto descending = [](std::string_view A, std::string_view B) {
        return -CompareNoCase(A, B);
    };
    const TTrackerAnswer answer = ReadTrackerAnswer("http://b\nudp://c\n", descending);
    EXPECT_EQ(MergeFetched("\"udp://a\"", answer, descending).Cell,
              "\"udp://c\"|\"udp://a\"|\"http://b\"");
}

TEST(TrackerMerge, AnAnswerIsReadOnceAndEachMergeIsBounded) {
    // A 1 MiB answer: read once, with a bounded number of comparisons; each row's merge then
    // costs a few comparisons per tracker the row has, not per line of the answer.
    std::string answer;
    for (int i = 0; answer.size() < 1024 * 1024; ++i) {
        answer += "udp://t" + std::to_string(i) + "\n";
    }
    int comparisons = 0;
    const auto counting = [&](std::string_view A, std::string_view B) {
        ++comparisons;
        return CompareNoCase(A, B);
    };
    const TTrackerAnswer read = ReadTrackerList(answer, counting);
    EXPECT_EQ(read.Trackers.size(), kMaxTrackersPerCell);
    EXPECT_GT(read.OverCap, 60000u);
    EXPECT_LT(comparisons, 10000);
    comparisons = 0;
    const TTrackerMerge merged =
        MergeFetched("\"udp://own/1\"|\"udp://own/2\"|\"udp://T5\"", read, counting);
    EXPECT_EQ(merged.LeftOut, 2u);
    EXPECT_EQ(ReadTrackerCell(merged.Cell).size(), kMaxTrackersPerCell);
    EXPECT_LT(comparisons, 60);
}

TEST(TrackerAddress, Table) {
    struct Case {
        std::string line;
        TTrackerFault fault;
    };
    const Case cases[] = {
        {"udp://tracker.example:6969/announce", TTrackerFault::None},
        {"https://t.example/announce?passkey=a+b&uid=7#x", TTrackerFault::None},
        {"wss://t.example", TTrackerFault::None},
        {"x-y.z+1://h", TTrackerFault::None},
        {"http://\xC3\xA9t\xC3\xA9\xF0\x9F\x8E\xB5", TTrackerFault::None},
        {"udp://" + std::string(1994, 'a'), TTrackerFault::None},
        {"", TTrackerFault::Empty},
        {"udp://" + std::string(1995, 'a'), TTrackerFault::TooLong},
        {"r", TTrackerFault::NoScheme},
        {"tracker.example:6969", TTrackerFault::NoScheme},
        {"://h", TTrackerFault::NoScheme},
        {"1http://h", TTrackerFault::NoScheme},
        {"ht_tp://h", TTrackerFault::NoScheme},
        {"http://", TTrackerFault::NoScheme},
        {"bad\"tra|cker", TTrackerFault::CellCharacter},
        {"http://a|b", TTrackerFault::CellCharacter},
        {"http://a\"b", TTrackerFault::CellCharacter},
        {"http://a b", TTrackerFault::Blank},
        {std::string("http://a\0b", 10), TTrackerFault::Blank},
        {"http://a\x7F", TTrackerFault::Blank},
        {"http://a\r", TTrackerFault::Blank},
        {"http://\xC0\xAF", TTrackerFault::NotUtf8},
        {"http://\xE0\x80\xAF", TTrackerFault::NotUtf8},
        {"http://\xED\xA0\x80", TTrackerFault::NotUtf8},
        {"http://\xF4\x90\x80\x80", TTrackerFault::NotUtf8},
        {"http://\xFF", TTrackerFault::NotUtf8},
        {"http://\xC3", TTrackerFault::NotUtf8},
        {"http://\xE2\x82", TTrackerFault::NotUtf8},
        {"http://\xC3\x28", TTrackerFault::NotUtf8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckTrackerAddress(c.line), c.fault) << c.line;
        // What the check takes reads back from the cell as one tracker, unchanged.
        if (c.fault == TTrackerFault::None) {
            EXPECT_EQ(ReadTrackerCell(WriteTrackerCell({c.line})), std::vector{c.line});
        }
    }
}

TEST(TrackerMessages, LinesAreNamedAndCut) {
    EXPECT_EQ(TrackerLineRefusal(2, "bad\"tra|cker", TTrackerFault::CellCharacter).English(),
              "Line 2 holds a double quote or a \"|\", which would split it into several "
              "trackers: bad\"tra|cker");
    EXPECT_EQ(TrackerLineRefusal(1, "r", TTrackerFault::NoScheme).English(),
              "Line 1 is not a tracker address with a scheme, such as "
              "udp://tracker.example:6969/announce: r");
    // Cut at 200 bytes, never inside a character.
    const std::string long2 = std::string(199, 'a') + "\xC3\xA9" + std::string(50, 'b');
    EXPECT_EQ(QuotedLine(long2), std::string(199, 'a') + "\xE2\x80\xA6");
    EXPECT_EQ(QuotedLine(std::string(200, 'a')), std::string(200, 'a'));
    EXPECT_EQ(TrackerListRefusal(200, 16384).English(), "");
    EXPECT_EQ(TrackerListRefusal(201, 900).English(),
              "The list holds 201 trackers in 900 bytes; a torrent holds at most 200 trackers "
              "in 16 KiB.");
    EXPECT_EQ(FetchLeftOutMessage("n", 0, 0).English(), "");
    EXPECT_EQ(FetchLeftOutMessage("n", 1, 70000).English(),
              "Trackers fetched for \"n\": 1 line left out, not a valid address of at most 2000 "
              "bytes without a blank, a double quote or a \"|\". 70000 trackers left out, as a "
              "torrent holds at most 200 trackers in 16 KiB.");
}

} // namespace

#include "trackers/TrackerCell.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lintervale;

namespace {

using List = std::vector<std::string>;

TEST(TrackerCell, ReadForm) {
    struct Case {
        std::string cell;
        List trackers;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"\"http://a/announce\"", {"http://a/announce"}},
        {"\"\"", {""}},
        {"\"a\"|\"b\"", {"a", "b"}},
        {"a b", {"a", "b"}},
        {"\"a\"|", {"a", ""}},
        {"\"a\"|  ", {"a"}},
        {"\"a|b c\"", {"a|b c"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"a\" | \"b\"", {"a", "b"}},
        {"\"a\"\"b", {"a\"b"}},         // a missing closing quote runs to the end
        {"\"ab\"cd\"", {"ab", "cd\""}}, // a lone quote ends the item
        {"|", {"", ""}},
        {"a||b", {"a", "", "b"}},
        {"\"a\"\"\"", {"a\""}},
        {std::string("\"a\"|\"b\"\0|\"c\"", 13), {"a", "b"}}, // NUL ends the text
        {"\t\"x\"\r\n", {"x"}},
        {"\"dup\"|\"dup\"", {"dup", "dup"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadTrackerCell(c.cell), c.trackers) << "cell [" << c.cell << "]";
    }
}

TEST(TrackerCell, WrittenFormRoundTrips) {
    const List trackers = {"udp://a:80/announce", "http://b/x?y=1&z=a b", ""};
    const std::string cell = WriteTrackerCell(trackers);
    EXPECT_EQ(cell, "\"udp://a:80/announce\"|\"http://b/x?y=1&z=a b\"|\"\"");
    EXPECT_EQ(ReadTrackerCell(cell), trackers);
    EXPECT_EQ(WriteTrackerCellNonEmpty(trackers),
              "\"udp://a:80/announce\"|\"http://b/x?y=1&z=a b\"");
    EXPECT_EQ(WriteTrackerCell({}), "");
    EXPECT_EQ(WriteTrackerCellNonEmpty({"", ""}), "");
}

} // namespace

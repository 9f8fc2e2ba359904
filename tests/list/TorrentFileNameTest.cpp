#include "list/TorrentFileName.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

using namespace lintervale;

namespace {

const std::string kHash = "0123456789abcdef0123456789abcdef01234567";

TEST(TorrentFileName, NamesAreMadeFitForAFileName) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        std::string name;
        std::string stem;
    };
    const std::array cases = {
        Case{
            .what = "a plain name", .name = "Ubuntu 24.04 desktop", .stem = "Ubuntu 24.04 desktop"},
        Case{.what = "UTF-8", .name = "Überblick – 日本", .stem = "Überblick – 日本"},
        Case{.what = "a slash", .name = "AC/DC", .stem = "AC_DC"},
        Case{.what = "a path", .name = "../../etc/passwd", .stem = ".._.._etc_passwd"},
        Case{.what = "NUL", .name = "a\0b"s, .stem = "a_b"},
        Case{.what = "control characters", .name = "a\tb\nc\rd\x1b", .stem = "a_b_c_d_"},
        Case{.what = "DEL", .name = "x\x7fy", .stem = "x_y"},
        Case{.what = "a slash alone", .name = "/", .stem = "_"},
        Case{.what = "a hidden name", .name = ".hidden", .stem = ".hidden"},
        Case{.what = "three dots", .name = "...", .stem = "..."},
        Case{.what = "empty", .name = "", .stem = kHash},
        Case{.what = "a dot", .name = ".", .stem = kHash},
        Case{.what = "two dots", .name = "..", .stem = kHash},
        Case{.what = "blanks", .name = "   ", .stem = kHash},
        Case{.what = "too long", .name = std::string(300, 'a'), .stem = std::string(230, 'a')},
        Case{.what = "too long, cut before a character that would not fit whole",
             .name = std::string(229, 'a') + "éé",
             .stem = std::string(229, 'a')},
        Case{.what = "too long, a character that fits whole kept",
             .name = std::string(228, 'a') + "éé",
             .stem = std::string(228, 'a') + "é"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string stem = TorrentFileStem(c.name, kHash);
        EXPECT_EQ(stem, c.stem);
        EXPECT_LE(TorrentFileName(stem, 99999).size(), 255u);
    }
    EXPECT_EQ(TorrentFileName("Name"), "Name.torrent");
    EXPECT_EQ(TorrentFileName("Name", 2), "Name (2).torrent");
}

} // namespace

#include "magnet/MagnetLink.h"
#include "magnet/URLEncoder.h"

#include <gtest/gtest.h>
#include <string>

using namespace lintervale;

namespace {

TEST(URLEncode, KeepsOnlyTheKeptSet) {
    struct Case {
        std::string input;
        std::string encoded;
    };
    const Case cases[] = {
        {"", ""},
        {"a b", "a%20b"},
        {"100%", "100%25"},
        {"x_y~z", "x%5Fy%7Ez"},
        {"\t", "%09"},
        {"\xE9", "%E9"},
        {"caf\xC3\xA9", "caf%C3%A9"},
        {std::string("\0\x1F\x7F\xFF", 4), "%00%1F%7F%FF"},
        {"\"%<>[\\]^_`{|}~", "%22%25%3C%3E%5B%5C%5D%5E%5F%60%7B%7C%7D%7E"},
        {"udp://host:80/a?b=c&d=e#f+g", "udp://host:80/a?b=c&d=e#f+g"},
        {"!#$&'()*+,-./:;=?@", "!#$&'()*+,-./:;=?@"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(URLEncode(c.input), c.encoded) << c.input;
    }
    // Exactly 80 of the 256 byte values are kept.
    int kept = 0;
    for (int b = 0; b < 256; ++b) {
        kept += URLEncode(std::string(1, static_cast<char>(b))).size() == 1;
    }
    EXPECT_EQ(kept, 80);
}

TEST(MagnetLinkOfRow, JoinsHashNameAndTrackers) {
    struct Case {
        const char* what;
        std::string name;
        std::string hash;
        std::string cell;
        std::string link;
    };
    const Case cases[] = {
        {"two trackers", "N x", "H", "\"udp://a/b\"|\"http://c d\"",
         "magnet:?xt=urn:btih:H&dn=N%20x&tr=udp://a/b&tr=http://c%20d"},
        {"empty cell", "N", "H", "", "magnet:?xt=urn:btih:H&dn=N&tr="},
        {"an empty tracker", "N", "H", "\"\"", "magnet:?xt=urn:btih:H&dn=N&tr="},
        {"empty row", "", "", "", "magnet:?xt=urn:btih:&dn=&tr="},
        {"cell with a trailing bar", "N", "H", "\"a\"|", "magnet:?xt=urn:btih:H&dn=N&tr=a&tr="},
        {"unquoted with a space", "N", "H", "a b", "magnet:?xt=urn:btih:H&dn=N&tr=a&tr=b"},
        {"a v2 hash", "N", std::string(64, 'f'), "\"t\"",
         "magnet:?xt=urn:btmh:1220" + std::string(64, 'f') + "&dn=N&tr=t"},
        {"63 digits are no v2 hash", "N", std::string(63, 'f'), "",
         "magnet:?xt=urn:btih:" + std::string(63, 'f') + "&dn=N&tr="},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MagnetLinkOfRow(c.name, c.hash, c.cell), c.link) << c.what;
    }
}

} // namespace

#include "magnet/MagnetParse.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lintervale;

namespace {

using Texts = std::vector<std::string>;

const std::string kHex = "ab80abf537543bb8008b1122155d60e2338369a8";
const std::string kBase32 = "VOAKX5JXKQ53QAELCERBKXLA4IZYG2NI"; // the same 20 bytes
const std::string kV2 = "0c2b6f51192dad881e6be2c1cc5ab53496afca74316b8c0416851ff6a96684ee";

std::string Upper(std::string S) {
    for (char& c : S) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return S;
}

std::string Lower(std::string S) {
    for (char& c : S) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return S;
}

Texts Links(std::string_view Text) {
    Texts links;
    std::size_t pos = 0;
    for (std::string_view link = NextMagnetLink(Text, pos); !link.empty();
         link = NextMagnetLink(Text, pos)) {
        links.emplace_back(link);
    }
    EXPECT_EQ(pos, Text.size());
    return links;
}

TEST(ParseMagnetLink, TableOfLinks) {
    struct Case {
        const char* what;
        std::string link;
        bool usable = true;
        std::string hash = kHex;
        std::string name = "n";
        Texts trackers = {};
        std::optional<std::int64_t> length = std::nullopt;
        std::string hashV2 = {};
        Texts peers = {};
    };
    const std::string btih = "magnet:?xt=urn:btih:";
    const Case cases[] = {
        {.what = "hex", .link = btih + kHex + "&dn=n&tr=udp://a:1/b", .trackers = {"udp://a:1/b"}},
        {.what = "upper-case hex", .link = btih + Upper(kHex) + "&dn=n"},
        {.what = "base32", .link = btih + kBase32 + "&dn=n"},
        {.what = "lower-case base32", .link = btih + Lower(kBase32) + "&dn=n"},
        {.what = "btmh",
         .link = "magnet:?xt=urn:btmh:1220" + Upper(kV2) + "&dn=n",
         .hash = kV2,
         .hashV2 = kV2},
        {.what = "btih wins over btmh, whatever the order",
         .link = "magnet:?xt.1=urn:btmh:1220" + kV2 + "&xt.2=urn:btih:" + kHex + "&dn=n",
         .hashV2 = kV2},
        {.what = "a hybrid's btmh after its btih, the first usable one",
         .link = btih + kHex + "&xt=urn:btmh:1220" + kV2.substr(1) + "&xt=urn:btmh:1220" + kV2 +
                 "&xt=urn:btmh:1220" + std::string(64, '0') + "&dn=n",
         .hashV2 = kV2},
        {.what = "x.pe: each once, in order, empties left out",
         .link =
             btih + kHex + "&dn=n&x.pe=1.2.3.4:5&X.PE=%5B::1%5D:6&x.pe=&x.pe=1.2.3.4:5&x.pe=h:7",
         .peers = {"1.2.3.4:5", "[::1]:6", "h:7"}},
        {.what = "the first usable btih",
         .link =
             btih + "123&xt=urn:btih:" + kHex + "&xt=urn:btih:" + std::string(40, '0') + "&dn=n"},
        {.what = "upper-case keys and scheme",
         .link = "MAGNET:?XT=URN:BTIH:" + kHex + "&DN=n&Tr=t&XL=7",
         .trackers = {"t"},
         .length = 7},
        {.what = "an escaped urn", .link = "magnet:?xt=urn%3Abtih%3A" + kHex + "&dn=n"},
        {.what = "no dn: the hash names the row", .link = btih + kHex, .name = kHex},
        {.what = "an empty dn: the hash names the row", .link = btih + kHex + "&dn=", .name = kHex},
        {.what = "an empty dn before a name", .link = btih + kHex + "&dn=&dn=n"},
        {.what = "the first dn", .link = btih + kHex + "&dn=n&dn=other"},
        {.what = "repeated tr, each once, in order, empties left out",
         .link = btih + kHex + "&dn=n&tr=b&tr=a&tr=b&tr=&tr.1=c&tr=a&tr.x=d&tr=%62",
         .trackers = {"b", "a", "c"}},
        {.what = "decoding",
         .link = btih + kHex + "&dn=a%20b+c%2B%26%23%C3%a9%80%ff&tr=http://t/a?x=1%26y=2%2B3",
         .name = "a b c+&#\xC3\xA9\x80\xFF",
         .trackers = {"http://t/a?x=1&y=2+3"}},
        {.what = "bad percent escapes stay as they are",
         .link = btih + kHex + "&dn=100%&tr=%zz%4&tr=%%41%4",
         .name = "100%",
         .trackers = {"%zz%4", "%A%4"}},
        {.what = "control bytes as they are",
         .link = btih + kHex + "&dn=a%00b%1Fc%7Fd%0D%0Ae&tr=u%09v&tr=u v",
         .name = std::string("a\0b\x1F"
                             "c\x7F"
                             "d\r\ne",
                             10),
         .trackers = {"u\tv", "u v"}},
        {.what = "xl", .link = btih + kHex + "&dn=n&xl=1048576", .length = 1048576},
        {.what = "the first whole xl",
         .link = btih + kHex +
                 "&dn=n&xl=-1&xl=1e3&xl=&xl=99999999999999999999&xl=9223372036854775807&xl=5",
         .length = INT64_MAX},
        {.what = "pairs without a value", .link = btih + kHex + "&&dn&dn=n&=x&"},
        {.what = "missing xt", .link = "magnet:?dn=n&tr=t", .usable = false},
        {.what = "another urn",
         .link = "magnet:?xt=urn:sha1:" + kBase32 + "&dn=n",
         .usable = false},
        {.what = "39 hex digits", .link = btih + kHex.substr(1), .usable = false},
        {.what = "41 hex digits", .link = btih + kHex + "0", .usable = false},
        {.what = "hex with a non-digit", .link = btih + "g" + kHex.substr(1), .usable = false},
        {.what = "base32 with a 1", .link = btih + "1" + kBase32.substr(1), .usable = false},
        {.what = "btmh of another hash function",
         .link = "magnet:?xt=urn:btmh:1114" + kV2,
         .usable = false},
        {.what = "btmh one digit short",
         .link = "magnet:?xt=urn:btmh:1220" + kV2.substr(1),
         .usable = false},
        {.what = "xt without a value", .link = "magnet:?xt=&dn=n", .usable = false},
        {.what = "just the scheme", .link = "magnet:?", .usable = false},
        {.what = "not a magnet link", .link = "http://x/?xt=urn:btih:" + kHex, .usable = false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<TMagnetLink> link = ParseMagnetLink(c.link);
        ASSERT_EQ(link.has_value(), c.usable);
        if (!link) {
            continue;
        }
        EXPECT_EQ(link->Hash, c.hash);
        EXPECT_EQ(link->Name, c.name);
        EXPECT_EQ(link->Trackers, c.trackers);
        EXPECT_EQ(link->Length, c.length);
        EXPECT_EQ(link->HashV2, c.hashV2);
        EXPECT_EQ(link->Peers, c.peers);
    }
}

TEST(NextMagnetLink, FindsLinksBetweenAnyWhitespace) {
    const std::string a = "magnet:?xt=urn:btih:" + kHex + "&dn=a";
    const std::string b = "magnet:?xt=urn:btih:" + kBase32 + "&dn=b";
    const std::string c = "MAGNET:?dn=no-hash";
    struct Case {
        const char* what;
        std::string text;
        Texts links;
    };
    const Case cases[] = {
        {"nothing", "", {}},
        {"no link", "just some text, magnet without a query: magnet:", {}},
        {"one link alone", a, {a}},
        {"ASCII whitespace", "\t" + a + "\r\n" + b + "\f\v" + c + " \n", {a, b, c}},
        {"control bytes", a + std::string(1, '\0') + b + "\x1F" + c + "\x7F", {a, b, c}},
        {"Unicode spaces",
         a + "\xC2\xA0" + b + "\xE3\x80\x80" + c + "\xE2\x80\xA8" + a + "\xE2\x80\x8A" + b +
             "\xE2\x81\x9F" + c + "\xC2\x85" + a + "\xE1\x9A\x80" + b,
         {a, b, c, a, b, c, a, b}},
        {"text around links", "Here: " + a + " and here " + b + ". Thanks!", {a, b + "."}},
        {"a prefix in the same word", "link:" + a + " (" + b, {a, b}},
        {"HTML", "<a href=\"" + a + "\">x</a><" + b + ">", {a, b}},
        {"two links in one word make one", a + b, {a + b}},
        {"a non-space UTF-8 character stays in the link", a + "\xC3\xA9" + b, {a + "\xC3\xA9" + b}},
        {"a cut UTF-8 space at the end", a + "\xE2\x80", {a + "\xE2\x80"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Links(c.text), c.links);
    }
}

TEST(MagnetParse, HugeInputsStayLinear) {
    constexpr std::size_t huge = std::size_t{16} << 20;
    // One word of almost-schemes: no link.
    EXPECT_TRUE(Links(std::string(huge, 'm')).empty());
    std::string almost;
    while (almost.size() < huge) {
        almost += "magnet:";
    }
    EXPECT_TRUE(Links(almost).empty());

    // A link of 200,000 distinct trackers and as many repeats.
    std::string link = "magnet:?xt=urn:btih:" + kHex + "&dn=n";
    for (int i = 0; i < 200000; ++i) {
        link += "&tr=" + std::to_string(i) + "&tr=" + std::to_string(i / 2);
    }
    const auto parsed = ParseMagnetLink(link);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->Trackers.size(), 200000u);
    EXPECT_EQ(parsed->Trackers[0], "0");
    EXPECT_EQ(parsed->Trackers[199999], "199999");

    // A name of 16 MiB of bad escapes, and as many xt pairs as fit.
    const auto escapes =
        ParseMagnetLink("magnet:?xt=urn:btih:" + kHex + "&dn=" + std::string(huge, '%'));
    ASSERT_TRUE(escapes);
    EXPECT_EQ(escapes->Name.size(), huge);
    std::string xts = "magnet:?";
    while (xts.size() < huge) {
        xts += "xt=urn:btih:&";
    }
    EXPECT_FALSE(ParseMagnetLink(xts));
}

} // namespace

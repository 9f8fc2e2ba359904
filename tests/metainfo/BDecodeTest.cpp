#include "metainfo/BDecode.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lintervale;

namespace {

using namespace std::string_literals;

// A compact rendering of a decoded document: s:bytes, i:number, [..], {key=value,...} with
// every member in the order of the data, and "null" when nothing was decoded.
std::string Show(const TBDocument& document, std::uint32_t index) {
    switch (document.KindOf(index)) {
    case TValueKind::String:
        return "s:" + std::string(document.Text(index));
    case TValueKind::Integer:
        return "i:" + std::to_string(document.Number(index));
    case TValueKind::List: {
        std::string text = "[";
        for (std::uint32_t i = document.First(index); i != document.End(index);
             i = document.Next(i)) {
            text += (text.size() > 1 ? "," : "") + Show(document, i);
        }
        return text + "]";
    }
    default: {
        std::string text = "{";
        for (std::uint32_t key = document.First(index); key != document.End(index);) {
            const std::uint32_t value = document.Next(key);
            text += (text.size() > 1 ? "," : "") + std::string(document.Text(key)) + "=" +
                    Show(document, value);
            key = document.Next(value);
        }
        return text + "}";
    }
    }
}

std::string Decode(const std::string& bytes) {
    TBDocument document;
    document.Decode(bytes, 0);
    return document.Size() == 0 ? "null" : Show(document, 0);
}

TEST(BDecode, LenientGrammar) {
    struct Case {
        std::string input;
        std::string shown;
    };
    const Case cases[] = {
        {"d3:cow3:mooe", "{cow=s:moo}"},
        {"l4:spami3ee", "[s:spam,i:3]"},
        {"ie", "i:0"},
        {"i-e", "i:0"},
        {"i1-2e", "i:-12"},
        {"i-0e", "i:0"},
        {"i12", "i:12"},
        {"i9223372036854775807e", "i:9223372036854775807"},
        {"i-9223372036854775808e", "i:-9223372036854775808"},
        {"i18446744073709551617e", "i:1"}, // wraps modulo 2^64
        {"3Xabc", "s:abc"},                // the separator is not examined
        {"0:", "s:"},
        {"d4:spamXe", "{}"},                 // X starts no value: the member is dropped
        {"d0:i1ee", "{=i:1}"},               // the empty key is a member like any other
        {"d1:ai1e1:ai2ee", "{a=i:1,a=i:2}"}, // a repeated key stays (Find takes the last)
        {"l1:a", "[s:a]"},                   // cut off by the end of the data
        {"d", "{}"},                         // a dictionary cut off before any key
        {"x", "null"},
        {"", "null"},
        {"l", "[]"},
        {"lxi1ee", "[i:1]"},
        {"d1:k", "{}"}, // a key without a value
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decode(c.input), c.shown) << "input " << c.input;
    }
}

TEST(BDecode, InfoMarkersGiveTheValuesExactBytes) {
    const std::string bytes = "d4:infod1:ai1eee";
    TBDocument document;
    document.Decode(bytes, 0);
    ASSERT_GT(document.Size(), 0u);
    const auto start = document.Number(document.Find(0, "_info_start"));
    const auto length = document.Number(document.Find(0, "_info_length"));
    EXPECT_EQ(start, 7);
    EXPECT_EQ(length, 8);
    EXPECT_EQ(bytes.substr(start, length), "d1:ai1ee");
    EXPECT_EQ(Decode(bytes), "{info={a=i:1},_info_start=i:7,_info_length=i:8}");

    // A member named like a marker before "info" is outweighed by the marker, one after it
    // outweighs the marker: a look-up takes the last.
    const std::pair<std::string, std::int64_t> moved[] = {
        {"d11:_info_starti99e4:infoi5ee", 25},
        {"d4:infoi5e11:_info_starti99ee", 99},
    };
    for (const auto& [input, marker] : moved) {
        document.Decode(input, 0);
        EXPECT_EQ(document.Number(document.Find(0, "_info_start")), marker) << input;
    }
    // The markers come even when the value is nothing.
    EXPECT_EQ(Decode("d4:infoXe"), "{_info_start=i:7,_info_length=i:1}");
}

TEST(BDecode, RefusesWhatWouldHurt) {
    const std::pair<std::string, TCauseCode> cases[] = {
        {"dxe", TCauseCode::KeyNotString},
        {"d8:announce999999999:http", TCauseCode::StringPastEnd},
        {"5:abc", TCauseCode::StringPastEnd},
        {"99999999999999999999999999:x", TCauseCode::StringPastEnd},
        {std::string(101, 'l') + std::string(101, 'e'), TCauseCode::NestingTooDeep},
        {"d1:a" + std::string(200, 'l'), TCauseCode::NestingTooDeep},
    };
    for (const auto& [input, code] : cases) {
        TBDocument document;
        try {
            document.Decode(input, 0);
            ADD_FAILURE() << input.substr(0, 40) << ": decoded";
        } catch (const EBDecodeError& e) {
            EXPECT_EQ(e.Cause().Code, code) << input.substr(0, 40);
            EXPECT_EQ(e.what(), DescribeCause(e.Cause()));
            EXPECT_EQ(document.Size(), 0u) << "nothing decoded is kept";
        }
    }
    // The limit itself is still fine.
    EXPECT_EQ(Decode(std::string(100, 'l') + std::string(100, 'e')).size(), 200u);
}

TEST(BDocument, RecordsPointIntoTheData) {
    const std::string bytes = "xd1:ai1e1:bl1:x02:yyi-3ee1:ai7e4:infoi5e0:0:e";
    TBDocument document;
    EXPECT_EQ(document.Decode(bytes, 1), bytes.size()) << "the position after the value";
    ASSERT_GT(document.Size(), 0u);
    EXPECT_EQ(document.KindOf(0), TValueKind::Dictionary);
    EXPECT_EQ(document[0].Offset(), 1u);
    EXPECT_EQ(document.End(0), document.Size());

    // The last member with a key wins; the list is stepped over whole.
    EXPECT_EQ(document.Number(document.Find(0, "a")), 7);
    const std::uint32_t list = document.Find(0, "b");
    ASSERT_EQ(document.KindOf(list), TValueKind::List);
    std::vector<std::string> items;
    for (std::uint32_t i = document.First(list); i != document.End(list); i = document.Next(i)) {
        items.push_back(document.KindOf(i) == TValueKind::String
                            ? std::string(document.Text(i))
                            : "i" + std::to_string(document.Number(i)));
    }
    EXPECT_EQ(items, (std::vector<std::string>{"x", "yy", "i-3"})) << "leading zeros allowed";
    EXPECT_EQ(document.Find(0, "c"), TBDocument::kNone);

    // "info" brings its markers; an empty key is a member like any other.
    EXPECT_EQ(document.Number(document.Find(0, "_info_start")), 37);
    EXPECT_EQ(document.Number(document.Find(0, "_info_length")), 3);
    EXPECT_EQ(document.KindOf(document.Find(0, "_info_start")), TValueKind::Integer);
    EXPECT_EQ(document.Text(document.Find(0, "")), "");
    EXPECT_NE(document.Find(0, ""), TBDocument::kNone);

    EXPECT_EQ(document.Decode("zz", 0), 1u) << "a byte that starts nothing is consumed";
    EXPECT_EQ(document.Size(), 0u);
}

} // namespace

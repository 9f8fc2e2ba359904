#include "metainfo/BDecode.h"
#include "metainfo/Cause.h"
#include "metainfo/TorrentFile.h"
#include "tests/metainfo/TorrentBytes.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

using namespace lintervale;
using namespace lintervale::testing;

namespace {

TEST(LoadCause, NumbersHaveThousandsSeparators) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {1234, "1,234"},
        {123456, "123,456"},
        {1234567, "1,234,567"},
        {-1234, "-1,234"},
        {INT64_MIN, "-9,223,372,036,854,775,808"},
    };
    for (const auto& [number, text] : cases) {
        EXPECT_EQ(WithThousands(number), text) << number;
    }
}

TEST(LoadCause, FollowsTheMessageInParentheses) {
    TLoadCause cause;
    EXPECT_EQ(MessageWithCause("Refused.", cause), "Refused.") << "no cause, no parentheses";
    cause.Code = TCauseCode::NestingTooDeep;
    cause.Limit = 100;
    EXPECT_EQ(MessageWithCause("Refused.", cause), "Refused. (nesting deeper than 100)");
    cause = TLoadCause{.Code = TCauseCode::TooLarge, .Limit = std::int64_t{256} << 20};
    EXPECT_EQ(DescribeCause(cause), "the file is larger than 256 MiB");
    cause = TLoadCause{.Code = TCauseCode::OutOfMemory};
    EXPECT_EQ(DescribeCause(cause), "not enough memory");
}

TEST(LoadCause, EveryRefusalGivesTheOneMessageAndItsCause) {
    struct Case {
        const char* what;
        std::string data;
        std::string cause; // in words; {at} stands for " at byte " and the offset of marker
        std::string marker = "";
    };
    const std::string filesInfo = "e4:name1:n12:piece lengthi1e6:pieces0:";
    const Case cases[] = {
        {"empty file", "", "the file is empty"},
        {"text", "hello", "not bencoded data at byte 0"},
        {"top-level list", "l1:ai1ee", "the top level is a list, not a dictionary"},
        {"top-level string", "4:spam", "the top level is a string, not a dictionary"},
        {"top-level integer", "i42e", "the top level is an integer, not a dictionary"},
        {"neither announce nor info", "de", "no info dictionary"},
        {"dictionary announce", Torrent(SingleInfo(), "d8:announced1:ai1ee"),
         "the announce value at byte 11 is a dictionary, not a string"},
        {"list announce", Torrent(SingleInfo(), "d8:announcel1:xe"),
         "the announce value at byte 11 is a list, not a string"},
        {"no info", "d8:announce1:xe", "no info dictionary"},
        {"info not a dictionary", "d8:announce1:x4:infoi1ee",
         "the info value at byte 20 is an integer, not a dictionary"},
        {"no name", Torrent("6:lengthi1e12:piece lengthi1e6:pieces0:"),
         "the info dictionary has no name"},
        {"name a list", Torrent("4:namel1:ne12:piece lengthi1e6:pieces0:6:lengthi1e"),
         "the name value{at} is a list, not a string", "l1:ne"},
        {"no piece length", Torrent("6:lengthi1e4:name1:n6:pieces0:"),
         "the info dictionary has no piece length"},
        {"no pieces", Torrent("6:lengthi1e4:name1:n12:piece lengthi1e"),
         "the info dictionary has no pieces"},
        {"no length, no files", Torrent("4:name1:n12:piece lengthi1e6:pieces0:"),
         "the info dictionary has neither length nor files"},
        {"files not a list", Torrent("5:filesi1e4:name1:n12:piece lengthi1e6:pieces0:"),
         "the files value{at} is an integer, not a list", "i1e4:name"},
        {"file not a dictionary",
         Torrent("5:filesl"
                 "d6:lengthi1e4:pathl1:aee"
                 "l1:xe" +
                 filesInfo),
         "file 1{at} is a list, not a dictionary", "l1:xe"},
        {"files[3] without length",
         Torrent("5:filesl"
                 "d6:lengthi1e4:pathl1:aee"
                 "d6:lengthi1e4:pathl1:bee"
                 "d6:lengthi1e4:pathl1:cee"
                 "d4:pathl1:dee" +
                 filesInfo),
         "file 3 has no length"},
        {"file length a list", Torrent("5:filesld6:lengthli1ee4:pathl1:aee" + filesInfo),
         "the length of file 0{at} is a list, not an integer", "li1ee"},
        {"file without path", Torrent("5:filesld6:lengthi1ee" + filesInfo), "file 0 has no path"},
        {"path not a list", Torrent("5:filesld6:lengthi1e4:path1:ae" + filesInfo),
         "the path of file 0{at} is a string, not a list", "1:ae"},
        {"path element a list", Torrent("5:filesld6:lengthi1e4:pathlleee" + filesInfo),
         "an element of the path of file 0{at} is a list, not a string", "leee"},
        {"bad key", "d8:announce1:x4:infodxee", "the dictionary key at byte 21 is not a string"},
        {"marker past the end",
         Torrent(SingleInfo()).insert(Torrent(SingleInfo()).size() - 1, "12:_info_lengthi99999e"),
         "the info value's position lies outside the file"},
        {"marker a list",
         Torrent(SingleInfo()).insert(Torrent(SingleInfo()).size() - 1, "11:_info_startli1ee"),
         "the _info_start value{at} is a list, not an integer", "li1ee"},
        {"huge declared string", "d8:announce999999999:http://x",
         "the string at byte 11 runs past the end of the file"},
        {"a string far on", "d1:a1226:" + std::string(1226, 'x') + "1:b99:short",
         "the string at byte 1,238 runs past the end of the file"},
        {"deep nesting", "d1:a" + std::string(101, 'l'), "nesting deeper than 100"},
    };
    std::set<std::string> causes;
    for (const Case& c : cases) {
        std::string cause = c.cause;
        if (const auto at = cause.find("{at}"); at != std::string::npos) {
            cause.replace(at, 4, AtByteOf(c.data, c.marker));
        }
        EXPECT_EQ(CauseOf(c.data), cause) << c.what;
        causes.insert(CauseOf(c.data));
    }
    // Differently broken files are told apart (two cases are missing "info" alike).
    EXPECT_EQ(causes.size(), std::size(cases) - 1);
}

TEST(LoadCause, TooManyValuesAreRefused) {
    std::string data = "l";
    for (std::int64_t i = 0; i <= TBDecodeLimits::kMaxItems; ++i) {
        data += "ie";
    }
    EXPECT_EQ(CauseOf(data), "more than 8,000,000 values");
}

TEST(LoadCause, RefusedFixturesSayWhy) {
    const std::pair<const char*, const char*> cases[] = {
        {"announce-list-type.torrent", "the announce value at byte 11 is a list, not a string"},
        {"deep-nesting.torrent", "nesting deeper than 100"},
        {"empty-file.torrent", "the file is empty"},
        {"file3-missing-length.torrent", "file 3 has no length"},
        {"huge-declared-string.torrent", "the string at byte 11 runs past the end of the file"},
        {"missing-info.torrent", "no info dictionary"},
        {"text-file.torrent", "not bencoded data at byte 0"},
        {"top-level-list.torrent", "the top level is a list, not a dictionary"},
    };
    for (const auto& [file, cause] : cases) {
        std::ifstream in(std::filesystem::path(LINTERVALE_FIXTURES) / file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        EXPECT_EQ(CauseOf(bytes.str()), cause) << file;
    }
}

TEST(LoadCause, OffsetsCountFromTheStartOfTheData) {
    const std::string bytes = "junk?hello";
    TByteStream stream(bytes);
    stream.Seek(4);
    TTorrentFile torrent;
    try {
        torrent.Load(stream);
        ADD_FAILURE() << "loaded";
    } catch (const ETorrentFileError& e) {
        EXPECT_EQ(DescribeCause(e.Cause()), "not bencoded data at byte 4");
    }
}

} // namespace

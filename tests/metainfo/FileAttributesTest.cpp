// File entries marked by their "attr" (BEP 47): padding counts for nothing, a symbolic link
// needs no length.

#include "list/TorrentRow.h"
#include "metainfo/TorrentDetails.h"
#include "metainfo/TorrentFile.h"
#include "tests/metainfo/TorrentBytes.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

using namespace lintervale;
using namespace lintervale::testing;

namespace {

std::string FilesTorrent(const std::string& entries) {
    return Torrent("5:filesl" + entries + "e4:name1:n12:piece lengthi16384e6:pieces0:");
}

TEST(FileAttributes, PaddingAndLinksCountAsTheySay) {
    struct Case {
        const char* what;
        std::string entries;
        std::int32_t count;
        std::int64_t length;
    };
    const Case cases[] = {
        {"padding between files",
         "d6:lengthi100e4:pathl1:aeed4:attr1:p6:lengthi28e4:pathl4:.pad2:28eed6:lengthi5e4:pathl1:"
         "bee",
         2, 105},
        {"padding without a path", "d6:lengthi7e4:pathl1:aeed4:attr1:p6:lengthi9ee", 1, 7},
        {"padding with a broken path", "d4:attr1:p6:lengthi9e4:pathi3eed6:lengthi1e4:pathl1:aee", 1,
         1},
        {"only padding", "d4:attr1:p6:lengthi9ee", 0, 0},
        {"a link without a length", "d4:attr1:l4:pathl1:le12:symlink pathl1:aee", 1, 0},
        {"a link with a length", "d4:attr1:l6:lengthi3e4:pathl1:lee", 1, 3},
        {"other attributes count", "d4:attr2:hx6:lengthi4e4:pathl1:hee", 1, 4},
        {"attributes that are no string", "d4:attri1e6:lengthi4e4:pathl1:hee", 1, 4},
        {"the last attr wins", "d4:attr1:p4:attr0:6:lengthi4e4:pathl1:hee", 1, 4},
    };
    for (const Case& c : cases) {
        const std::string data = FilesTorrent(c.entries);
        TTorrentFile torrent;
        ASSERT_NO_THROW(torrent.Load(data)) << c.what;
        EXPECT_EQ(torrent.Count(), c.count) << c.what;
        EXPECT_EQ(torrent.Length(), c.length) << c.what;
        // The details view lists what the row counts, and marks the padding.
        std::int32_t listed = 0;
        VisitContents(torrent, [&](const TContentFile& file) { listed += file.Padding() ? 0 : 1; });
        EXPECT_EQ(listed, c.count) << c.what;
    }

    const std::pair<const char*, std::string> refused[] = {
        {"padding without a length", "d4:attr1:p4:pathl1:pee"},
        {"a file without a path", "d4:attr1:x6:lengthi1ee"},
        {"a plain file without a length", "d4:attr0:4:pathl1:aee"},
    };
    for (const auto& [what, entries] : refused) {
        TTorrentFile torrent;
        EXPECT_THROW(torrent.Load(FilesTorrent(entries)), ETorrentFileError) << what;
    }
}

std::string Contents(const std::string& name) {
    std::ifstream in(std::filesystem::path(LINTERVALE_FIXTURES) / name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(FileAttributes, FixturesGiveTheirRows) {
    struct Case {
        const char* file;
        const char* hash;
        const char* files; // the "# Files" cell
        std::int64_t length;
    };
    const Case cases[] = {
        {"padding-files.torrent", "fd3564a64bd30ff39ce9a111b642ed3ff7ca2539", "3", 3548},
        {"symlink-files.torrent", "9ebbb26fa3ecec3bf8dd7f9952fd78b9ccca686b", "3", 10},
        {"v2-symlink.torrent", "8c132f6e5b56ddd49c94ad50a30e011dc936af5d326c1b54d0b5d033302640ed",
         "2", 5},
    };
    for (const Case& c : cases) {
        const std::string bytes = Contents(c.file);
        TTorrentFile torrent;
        ASSERT_NO_THROW(torrent.Load(bytes)) << c.file;
        const TTorrentRow row = MakeTorrentRow(torrent);
        EXPECT_EQ(row.Hash, c.hash) << c.file;
        EXPECT_EQ(row.Files, c.files) << c.file;
        EXPECT_EQ(torrent.Length(), c.length) << c.file;
        EXPECT_EQ(row.Size, "0 MB") << c.file;
    }
}

} // namespace

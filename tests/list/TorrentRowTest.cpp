#include "list/TorrentRow.h"

#include "list/BatchLoader.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

using namespace lintervale;
using namespace std::string_literals;

namespace {

TEST(SizeText, RoundsToWholeMebibytesHalfToEven) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 MB"},
        {524287, "0 MB"},
        {524288, "0 MB"},
        {524289, "1 MB"},
        {1048576, "1 MB"},
        {1572864, "2 MB"},
        {2621440, "2 MB"},
        {3670016, "4 MB"},
        {1717977088, "1638 MB"},
        {-1572864, "-2 MB"},
        {-1, "0 MB"},
        {std::numeric_limits<std::int64_t>::max(), "8796093022208 MB"},
    };
    for (const auto& [length, text] : cases) {
        EXPECT_EQ(SizeText(length), text) << length;
    }
}

TEST(MakeTorrentRow, TrackerCellHoldsEveryTrackerOnce) {
    const std::pair<std::string, std::string> cases[] = {
        {"d8:announce1:a13:announce-listll1:a1:bel1:cee", "\"a\"|\"b\"|\"c\""},
        {"d", ""},
        {"d8:announce0:", ""},
        {"d8:announce3:a b", "\"a b\""},
        // Control bytes become spaces; trackers that differed only in them are one.
        {"d8:announce3:a\x01"
         "b13:announce-listll3:a\x1F"
         "bel3:a\0bel5:\x7F\tx\r\nee"s,
         "\"a b\"|\"  x  \""},
    };
    for (const auto& [before, cell] : cases) {
        TTorrentFile torrent;
        torrent.Load(before + "4:infod6:lengthi1e4:name1:n12:piece lengthi1e6:pieces0:ee");
        EXPECT_EQ(MakeTorrentRow(torrent).Trackers, cell) << before;
    }
}

TEST(MakeTorrentRow, ControlBytesInTheNameBecomeSpaces) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\r\nb\nc", "a  b c"},
        {"\0\x01\x08\t\x0B\x0C\x1A\x1F\x7F"s, std::string(9, ' ')},
        {"keep \x20 ~ \x80\xFF caf\xC3\xA9", "keep \x20 ~ \x80\xFF caf\xC3\xA9"},
    };
    for (const auto& [name, shown] : cases) {
        TTorrentFile torrent;
        torrent.Load("d4:infod6:lengthi1e4:name" + std::to_string(name.size()) + ":" + name +
                     "12:piece lengthi1e6:pieces0:ee");
        EXPECT_EQ(MakeTorrentRow(torrent).Name, shown) << name;
    }
}

TEST(MakeTorrentRow, CellsOfANewRow) {
    TTorrentFile torrent;
    torrent.Load("d8:announce9:udp://t/a4:infod6:lengthi1572864e4:name6:a\r\nb\nc12:piece lengthi1e"
                 "6:pieces0:ee");
    const TTorrentRow row = MakeTorrentRow(torrent);
    EXPECT_EQ(row.Name, "a  b c") << "line breaks in a name become spaces";
    EXPECT_EQ(row.Hash.size(), 40u);
    EXPECT_EQ(row.Trackers, "\"udp://t/a\"");
    EXPECT_EQ(row.Files, "1");
    EXPECT_EQ(row.Size, "2 MB");
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = std::filesystem::temp_directory_path() /
                ("lintervale-row-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_Dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_Dir); }
    std::filesystem::path m_Dir;
};

TEST_F(TempDir, ReadWholeFileNamesTheFileAndTheReason) {
    const std::string missing = (m_Dir / "missing.torrent").string();
    try {
        ReadWholeFile(missing);
        FAIL() << "read a missing file";
    } catch (const EFileReadError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + missing + "\". No such file or directory");
    }
    EXPECT_THROW(ReadWholeFile(m_Dir.string()), EFileReadError);

    const std::string file = (m_Dir / "x.bin").string();
    std::string bytes(200000, 'x');
    bytes[100] = '\0';
    std::ofstream(file, std::ios::binary) << bytes;
    EXPECT_EQ(ReadWholeFile(file), bytes);
}

TEST_F(TempDir, OversizedFilesAreRefusedAsMetainfoWithoutBeingRead) {
    const std::string file = (m_Dir / "big.torrent").string();
    { std::ofstream out(file, std::ios::binary); }
    std::filesystem::resize_file(file, static_cast<std::uintmax_t>(kMaxTorrentFileSize) + 1);
    try {
        LoadTorrentRow(file);
        FAIL() << "loaded an oversized file";
    } catch (const ETorrentFileError& e) {
        EXPECT_EQ(std::string(e.what()), kCorruptMetainfo);
        EXPECT_EQ(DescribeCause(e.Cause()), "the file is larger than 256 MiB");
    }
}

TEST_F(TempDir, TheListsReadBufferGivesALargeFilesRoomBack) {
    const std::string large = (m_Dir / "large.torrent").string();
    const std::string small = (m_Dir / "small.torrent").string();
    std::ofstream(large, std::ios::binary) << std::string(3 << 20, 'x');
    std::ofstream(small, std::ios::binary) << "d4:infod6:lengthi1e4:name1:n12:piece lengthi1e"
                                              "6:pieces0:ee";
    TFileBuffer buffer;
    buffer.ReadWholeFile(large);
    EXPECT_GE(buffer.Capacity(), std::size_t{3} << 20);
    buffer.Trim();
    EXPECT_EQ(buffer.Capacity(), 0u);
    EXPECT_EQ(buffer.View().size(), 0u);

    // Loading for the list trims after every file, failed or not: a small file's room stays
    // for the next one, a large file's goes.
    EXPECT_TRUE(LoadForList(small, buffer).Loaded);
    const std::size_t kept = buffer.Capacity();
    EXPECT_GT(kept, 0u);
    EXPECT_TRUE(LoadForList(small, buffer).Loaded);
    EXPECT_EQ(buffer.Capacity(), kept);
    const TLoadResult refused = LoadForList(large, buffer);
    EXPECT_FALSE(refused.Loaded);
    EXPECT_EQ(DescribeCause(refused.Cause), "not bencoded data at byte 0");
    EXPECT_LE(buffer.Capacity(), kKeptBufferCapacity);
}

} // namespace

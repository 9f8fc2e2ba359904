#include "list/ListDataFile.h"

#include "list/TorrentList.h"
#include "tests/list/RecordingHost.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace lintervale;
using G = TTorrentGrid;

namespace {

G::TRow Torrent(const std::string& name) {
    return {"", name, std::string(40, name[0]), "\"http://t/" + name + "\"", "1", "0 MB"};
}

std::string Slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ListDataFile, TheLineLayout) {
    lintervale::testing::TRecordingHost host;
    TTorrentList list(host);
    list.WriteHeadings();
    EXPECT_EQ(GridToText(list.Grid()), "6\r\n2\r\n"
                                       "\r\n\r\n"
                                       "Torrent\r\n\r\n"
                                       "Hash\r\n\r\n"
                                       "Announce\r\n\r\n"
                                       "# Files\r\n\r\n"
                                       "Filesize\r\n\r\n");

    list.Grid().SetRowCount(3);
    list.Grid().SetRowCells(1, Torrent("a"));
    list.Grid().SetRowCells(2, Torrent("b"));
    const std::string text = GridToText(list.Grid());
    std::istringstream lines(text);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) {
        all.push_back(line);
    }
    ASSERT_EQ(all.size(), 20u);
    EXPECT_EQ(all[5], "Torrent\r");
    EXPECT_EQ(all[6], "a\r");
    EXPECT_EQ(all[7], "b\r");
    EXPECT_EQ(all[12], "\"http://t/a\"\r");
}

TEST(ListDataFile, RoundTripAndLineBreaksInCells) {
    TTorrentGrid grid;
    grid.SetRowCount(4);
    grid.SetRowCells(1, Torrent("x"));
    grid.SetRowCells(2, Torrent("y"));
    grid.SetRowCells(3, Torrent("z"));
    grid.SetCell(G::ColName, 2, "two\r\nlines\nhere");
    grid.SetCell(G::ColName, 3, "caf\xC3\xA9 \xE6\x97\xA5");
    TTorrentGrid back;
    TextToGrid(GridToText(grid), back);
    ASSERT_EQ(back.RowCount(), 4);
    EXPECT_EQ(back.Cell(G::ColName, 2), "two  lines here");
    EXPECT_EQ(back.Cell(G::ColName, 3), "caf\xC3\xA9 \xE6\x97\xA5");
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < G::kColumns; ++c) {
            if (!(c == G::ColName && r == 2)) {
                EXPECT_EQ(back.Cell(c, r), grid.Cell(c, r)) << c << "," << r;
            }
        }
    }
}

TEST(ListDataFile, OddFilesAreReadAsTheyCome) {
    struct Case {
        const char* what;
        std::string text;
        int rows;
        std::vector<std::string> names; // column 1 of the data rows
    };
    const Case cases[] = {
        {"empty file", "", 2, {""}},
        {"short file", "6\r\n3\r\n\r\n\r\n\r\nT\r\nn1\r\n", 3, {"n1", ""}},
        {"LF only", "6\n2\n\n\nT\nn1\n", 2, {"n1"}},
        {"Ctrl-Z ends the file", "6\r\n2\r\n\r\n\r\nT\r\nn1\x1A\r\nmore\r\n", 2, {"n1"}},
        {"fewer columns", "1\r\n3\r\nh\r\na\r\nb\r\n", 3, {"", ""}},
        {"more columns", "7\r\n2\r\n" + std::string(12, '\n') + "x\ny\n", 2, {""}},
        {"one row", "6\r\n1\r\n", 2, {""}},
        {"a huge count in a tiny file", "6\r\n2000000000\r\n\r\n", 2, {""}},
        {"blanks around counts", "  6  \r\n\t2\r\n\r\n\r\nT\r\nn\r\n", 2, {"n"}},
    };
    for (const Case& c : cases) {
        TTorrentGrid grid;
        ASSERT_NO_THROW(TextToGrid(c.text, grid)) << c.what;
        EXPECT_EQ(grid.RowCount(), c.rows) << c.what;
        std::vector<std::string> names;
        for (int r = 1; r < grid.RowCount(); ++r) {
            names.push_back(grid.Cell(G::ColName, r));
        }
        EXPECT_EQ(names, c.names) << c.what;
    }
}

TEST(ListDataFile, CountsThatAreNoNumbers) {
    for (const std::string text : {"6\r\nabc\r\n", "x\r\n", "6\r\n3x\r\n", "6\r\n--1\r\n"}) {
        TTorrentGrid grid;
        try {
            TextToGrid(text, grid);
            ADD_FAILURE() << text;
        } catch (const EListFileError& e) {
            EXPECT_STREQ(e.what(), "Invalid numeric input");
        }
        EXPECT_EQ(grid.RowCount(), 2);
    }
}

class ListFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = std::filesystem::temp_directory_path() /
                ("lintervale-datafile-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_Dir);
    }
    void TearDown() override {
        if (std::filesystem::exists(m_Dir)) {
            std::filesystem::permissions(m_Dir, std::filesystem::perms::owner_all);
            std::filesystem::remove_all(m_Dir);
        }
    }
    std::filesystem::path m_Dir;
};

TEST_F(ListFileOnDisk, SavingReplacesTheFileWhole) {
    const std::string file = (m_Dir / "sub" / kListFileName).string();
    TTorrentGrid grid;
    grid.SetRowCells(1, Torrent("first"));
    SaveGridFile(grid, file); // makes the missing folders
    grid.SetRowCount(3);
    grid.SetRowCells(2, Torrent("second"));
    SaveGridFile(grid, file);
    EXPECT_EQ(Slurp(file), GridToText(grid));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_Dir / "sub"),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left behind";
    TTorrentGrid back;
    LoadGridFile(back, file);
    EXPECT_EQ(back.Cell(G::ColName, 2), "second");
}

TEST_F(ListFileOnDisk, AFailedSaveKeepsTheOldFileAndSaysWhy) {
    if (::geteuid() == 0) {
        // root writes into read-only folders; a folder in place of the file still fails.
        const std::string file = (m_Dir / kListFileName).string();
        std::filesystem::create_directories(std::filesystem::path(file) / "blocker");
        TTorrentGrid grid;
        try {
            SaveGridFile(grid, file);
            FAIL() << "saved over a folder";
        } catch (const EListFileError& e) {
            EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
        }
        EXPECT_TRUE(std::filesystem::is_directory(file));
        return;
    }
    const std::string file = (m_Dir / kListFileName).string();
    TTorrentGrid grid;
    grid.SetRowCells(1, Torrent("old"));
    SaveGridFile(grid, file);
    const std::string before = Slurp(file);
    std::filesystem::permissions(m_Dir, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::owner_exec);
    grid.SetRowCells(1, Torrent("new"));
    EXPECT_THROW(SaveGridFile(grid, file), EListFileError);
    EXPECT_EQ(Slurp(file), before);
}

TEST_F(ListFileOnDisk, AMissingFileCannotBeLoaded) {
    TTorrentGrid grid;
    EXPECT_THROW(LoadGridFile(grid, (m_Dir / "none.dat").string()), EListFileError);
}

} // namespace

#include "list/ListDataFile.h"

#include "fuzz/ListFileRoundTrip.h"
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
        // Row 2's lines are missing: it would be empty, and is not made.
        {"short file", "6\r\n3\r\n\r\n\r\n\r\nT\r\nn1\r\n", 2, {"n1"}},
        {"a row with one line", "6\r\n3\r\n\r\n\r\n\r\nT\r\nn1\r\nn2\r\n", 3, {"n1", "n2"}},
        {"empty rows at the bottom", "6\r\n4\r\n\r\n\r\n\r\n\r\nT\r\nn1\r\n\r\n\r\n", 2, {"n1"}},
        {"an empty row above a filled one",
         "6\r\n4\r\n\r\n\r\n\r\n\r\nT\r\n\r\n\r\nn3\r\n",
         4,
         {"", "", "n3"}},
        {"LF only", "6\n2\n\n\nT\nn1\n", 2, {"n1"}},
        {"Ctrl-Z ends the file", "6\r\n2\r\n\r\n\r\nT\r\nn1\x1A\r\nmore\r\n", 2, {"n1"}},
        {"fewer columns", "1\r\n3\r\nh\r\na\r\nb\r\n", 3, {"", ""}},
        {"more columns", "7\r\n2\r\n" + std::string(12, '\n') + "x\ny\n", 2, {""}},
        {"one row", "6\r\n1\r\n", 2, {""}},
        {"a huge count in a tiny file", "6\r\n2000000000\r\n\r\n", 2, {""}},
        // Laid out for the count, all three lines fall into column 0 and make rows 0 to 2.
        {"a count above the lines", "6\r\n1000\r\na\r\nb\r\nc\r\n", 3, {"", ""}},
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

TEST(ListDataFile, GridsComeBackAsTheyWereWritten) {
    // Cells of every kind the list holds, and the bytes that once ended or shifted the file.
    const std::string pieces[] = {"",
                                  "a",
                                  "caf\xC3\xA9",
                                  "\xE6\x97\xA5\xE6\x9C\xAC",
                                  "\"http://t/a\"|\"udp://u:80\"",
                                  "  ",
                                  "|",
                                  "\"",
                                  "x\r\ny",
                                  "\x1A",
                                  std::string("\0", 1),
                                  "\x7F",
                                  "\t",
                                  "\xFF\xFE",
                                  std::string(300, 'w'),
                                  "end\r"};
    unsigned seed = 1;
    const auto next = [&seed](unsigned bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % bound;
    };
    for (int round = 0; round < 300; ++round) {
        TTorrentGrid grid;
        grid.SetRowCount(2 + static_cast<int>(next(12)));
        for (int r = 0; r < grid.RowCount(); ++r) {
            for (int c = 0; c < G::kColumns; ++c) {
                std::string cell;
                for (unsigned n = next(4); n > 0; --n) {
                    cell += pieces[next(std::size(pieces))];
                }
                grid.SetCell(c, r, cell);
            }
        }
        // A grid the program holds ends with a row that holds something (or is the empty
        // first row).
        grid.SetCell(G::ColHash, grid.RowCount() - 1, std::string(40, 'f'));
        const std::string text = GridToText(grid);
        TTorrentGrid back;
        TextToGrid(text, back);
        ASSERT_EQ(back.RowCount(), grid.RowCount()) << round;
        for (int r = 0; r < grid.RowCount(); ++r) {
            EXPECT_EQ(back.RowCells(r), fuzz::CellsAsWritten(grid.RowCells(r)))
                << round << "," << r;
        }
        EXPECT_EQ(fuzz::ListFileRoundTripFault(text), "") << round;
    }
}

TEST(ListDataFile, LinesBeyondWhatTheCountsAllowMakeNoRows) {
    // A quarter of a gigabyte of bare line breaks after the counts, with a name on the tenth
    // line or none: rows up to the last one that gets text are made, none beyond.
    const struct {
        std::string head;
        int rows;
    } cases[] = {
        {"", 2},
        {"6\r\n2000000000\r\n", 2},
        {"6\r\n3\r\n", 2},
        {"6\r\n2000000000\r\n" + std::string(9, '\n') + "x\n", 10},
    };
    std::string text(std::size_t{256} << 20, '\n');
    for (const auto& c : cases) {
        std::copy(c.head.begin(), c.head.end(), text.begin());
        TTorrentGrid grid;
        TextToGrid(text, grid);
        EXPECT_EQ(grid.RowCount(), c.rows) << c.head;
        EXPECT_EQ(grid.Cell(G::ColFixed, grid.RowCount() - 1), c.rows == 10 ? "x" : "") << c.head;
        std::fill_n(text.begin(), c.head.size(), '\n');
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

TEST_F(ListFileOnDisk, ControlBytesInACellNeitherEndNorShiftTheFile) {
    const std::string file = (m_Dir / kListFileName).string();
    TTorrentGrid grid;
    grid.SetRowCount(5);
    for (int r = 1; r < 5; ++r) {
        grid.SetRowCells(r, Torrent(std::string(1, static_cast<char>('a' + r))));
    }
    const std::string controls = std::string("\x1A|\0|\x7F", 5);
    grid.SetCell(G::ColName, 2, "bad" + controls + "name");
    grid.SetCell(G::ColTrackers, 2, "\"http://t/" + controls + "\"|\"udp://u\"");
    grid.SetCell(G::ColTrackers, 3, "\"udp://" + controls + "\"");
    TTorrentGrid saved = grid;
    // Saved and loaded twice, as two restarts with "Save on exit" ticked do.
    for (int restart = 0; restart < 2; ++restart) {
        SaveGridFile(saved, file);
        TTorrentGrid loaded;
        LoadGridFile(loaded, file);
        ASSERT_EQ(loaded.RowCount(), 5) << restart;
        for (int r = 1; r < 5; ++r) {
            for (const int c : {G::ColHash, G::ColFiles, G::ColSize}) {
                EXPECT_EQ(loaded.Cell(c, r), grid.Cell(c, r)) << restart << "," << r;
            }
        }
        EXPECT_EQ(loaded.Cell(G::ColName, 2), "bad | | name");
        EXPECT_EQ(loaded.Cell(G::ColTrackers, 2), "\"http://t/ | | \"|\"udp://u\"");
        EXPECT_EQ(loaded.Cell(G::ColTrackers, 3), "\"udp:// | | \"");
        EXPECT_EQ(loaded.Cell(G::ColTrackers, 4), grid.Cell(G::ColTrackers, 4));
        saved = loaded;
    }
}

TEST_F(ListFileOnDisk, AMissingFileCannotBeLoaded) {
    TTorrentGrid grid;
    EXPECT_THROW(LoadGridFile(grid, (m_Dir / "none.dat").string()), EListFileError);
}

} // namespace

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
        int rows = 0;                        // 0: refused as cut short
        std::vector<std::string> names = {}; // column 1 of the data rows
    };
    const std::string empty12 = std::string(12, '\n');
    const Case cases[] = {
        {.what = "empty file", .text = ""},
        {.what = "only the column count", .text = "6\r\n"},
        {.what = "a row count without its line break", .text = "6\r\n2"},
        {.what = "short file", .text = "6\r\n3\r\n\r\n\r\n\r\nT\r\nn1\r\n"},
        {.what = "the last line without its line break",
         .text = "6\r\n2\r\n" + std::string(11, '\n') + "x"},
        {.what = "one row lays out two", .text = "6\r\n1\r\n" + std::string(11, '\n')},
        {.what = "a huge count in a tiny file", .text = "6\r\n2000000000\r\n\r\n"},
        {.what = "a count above the lines", .text = "6\r\n1000\r\na\r\nb\r\nc\r\n"},
        {.what = "Ctrl-Z ends the file before its lines",
         .text = "6\r\n2\r\n\r\n\r\nT\r\nn1\x1A" + empty12},
        {.what = "columns beyond any count",
         .text = "9223372036854775807\r\n9223372036854775807\r\n\r\n"},
        {.what = "empty rows at the bottom",
         .text = "6\r\n4\r\n\r\n\r\n\r\n\r\nT\r\nn1\r\n\r\n\r\n" + std::string(16, '\n'),
         .rows = 2,
         .names = {"n1"}},
        {.what = "an empty row above a filled one",
         .text = "6\r\n4\r\n\r\n\r\n\r\n\r\nT\r\n\r\n\r\nn3\r\n" + std::string(16, '\n'),
         .rows = 4,
         .names = {"", "", "n3"}},
        {.what = "LF only",
         .text = "6\n2\n\n\nT\nn1\n" + std::string(8, '\n'),
         .rows = 2,
         .names = {"n1"}},
        {.what = "Ctrl-Z after the lines",
         .text = "6\r\n2\r\n\r\n\r\nT\r\nn1\r\n" + std::string(8, '\n') + "\x1A\r\nmore\r\n",
         .rows = 2,
         .names = {"n1"}},
        {.what = "fewer columns",
         .text = "1\r\n3\r\nh\r\na\r\nb\r\n",
         .rows = 3,
         .names = {"", ""}},
        {.what = "more columns",
         .text = "7\r\n2\r\n" + empty12 + "x\ny\n",
         .rows = 2,
         .names = {""}},
        {.what = "no columns", .text = "0\r\n2000000000\r\n", .rows = 2, .names = {""}},
        {.what = "blanks around counts",
         .text = "  6  \r\n\t2\r\n\r\n\r\nT\r\nn\r\n" + std::string(8, '\n'),
         .rows = 2,
         .names = {"n"}},
        {.what = "lines beyond the counts",
         .text = "6\r\n2\r\n\r\n\r\nT\r\nn\r\n" + std::string(8, '\n') + "more\r\nand",
         .rows = 2,
         .names = {"n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TTorrentGrid grid;
        if (c.rows == 0) {
            grid.SetRowCount(3);
            grid.SetCell(G::ColName, 2, "kept");
            EXPECT_THROW(TextToGrid(c.text, grid), EListFileError);
            EXPECT_EQ(grid.Cell(G::ColName, 2), "kept") << "a refused file changes nothing";
            continue;
        }
        ASSERT_NO_THROW(TextToGrid(c.text, grid));
        EXPECT_EQ(grid.RowCount(), c.rows);
        std::vector<std::string> names;
        for (int r = 1; r < grid.RowCount(); ++r) {
            names.push_back(grid.Cell(G::ColName, r));
        }
        EXPECT_EQ(names, c.names);
    }
}

// The file is column by column, so a file cut anywhere has lost the last cells of its rows
// (their sizes first, then file counts, trackers...), and no row of it can be told whole
// from the text alone: a cut file is refused, whatever the place of the cut. Only the whole
// file, or more, reads, and then with exactly its rows.
TEST(ListDataFile, ACutFileIsRefusedWherever) {
    TTorrentGrid grid;
    grid.SetRowCount(41);
    for (int r = 1; r < grid.RowCount(); ++r) {
        grid.SetRowCells(
            r, Torrent(std::string(1, static_cast<char>('a' + r % 26)) + std::to_string(r)));
    }
    const std::string text = GridToText(grid);
    const auto lineStart = [&](int line) {
        std::size_t at = 0;
        for (int l = 0; l < line; ++l) {
            at = text.find('\n', at) + 1;
        }
        return at;
    };
    const std::size_t countsEnd = lineStart(2);
    const std::size_t sizesStart = lineStart(2 + 5 * grid.RowCount());
    const struct {
        const char* what;
        std::size_t cut;
    } cuts[] = {
        {"nothing left", 0},
        {"inside the column count", 1},
        {"between the counts' CR and LF", 2},
        {"after the column count", 3},
        {"inside the row count", 4},
        {"before the row count's line break", countsEnd - 2},
        {"after the counts", countsEnd},
        {"inside a name", lineStart(2 + grid.RowCount() + 7) + 1},
        {"at a line end in the trackers", lineStart(2 + 3 * grid.RowCount() + 20)},
        {"about halfway", text.size() * 45 / 100},
        {"before the sizes", sizesStart},
        {"inside the first size", sizesStart + 2},
        {"before the last line", lineStart(1 + 6 * grid.RowCount())},
        {"before the last CR", text.size() - 2},
        {"before the last LF", text.size() - 1},
    };
    for (const auto& [what, cut] : cuts) {
        ASSERT_LT(cut, text.size()) << what;
        TTorrentGrid back;
        EXPECT_THROW(TextToGrid(std::string_view(text).substr(0, cut), back), EListFileError)
            << what << " at " << cut;
        EXPECT_EQ(back.RowCount(), 2) << what;
    }
    // Every other cut as well, a byte at a time.
    for (std::size_t cut = 0; cut < text.size(); ++cut) {
        TTorrentGrid back;
        ASSERT_THROW(TextToGrid(std::string_view(text).substr(0, cut), back), EListFileError)
            << cut;
    }
    TTorrentGrid back;
    TextToGrid(text, back);
    ASSERT_EQ(back.RowCount(), grid.RowCount());
    for (int r = 0; r < grid.RowCount(); ++r) {
        EXPECT_EQ(back.RowCells(r), grid.RowCells(r)) << r;
    }
    try {
        TextToGrid(std::string_view(text).substr(0, sizesStart), back);
    } catch (const EListFileError& e) {
        EXPECT_STREQ(e.what(),
                     "The list file is cut short: it holds 207 of the 248 lines its counts "
                     "call for.");
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
        int rows; // 0: refused, more rows than lines
    } cases[] = {
        {"6\r\n2000000000\r\n", 0},
        {"6\r\n3\r\n", 2},
        {"6\r\n40000000\r\n" + std::string(9, '\n') + "x\n", 10},
    };
    std::string text(std::size_t{256} << 20, '\n');
    for (const auto& c : cases) {
        std::copy(c.head.begin(), c.head.end(), text.begin());
        TTorrentGrid grid;
        if (c.rows == 0) {
            EXPECT_THROW(TextToGrid(text, grid), EListFileError);
        } else {
            TextToGrid(text, grid);
            EXPECT_EQ(grid.RowCount(), c.rows) << c.head;
            EXPECT_EQ(grid.Cell(G::ColFixed, grid.RowCount() - 1), c.rows == 10 ? "x" : "")
                << c.head;
        }
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
              2)
        << "the list file and its backup; no temporary file is left behind";
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

// The one limit holds both ways: a list the reader would refuse is never written.
TEST_F(ListFileOnDisk, AListTooLargeToReadBackIsNotSaved) {
    const std::string file = (m_Dir / kListFileName).string();
    TTorrentGrid grid;
    grid.SetRowCells(1, Torrent("old"));
    SaveGridFile(grid, file);
    const std::string before = Slurp(file);
    grid.SetRowCount(3);
    grid.SetRowCells(2, Torrent("new"));
    const std::int64_t size = GridTextSize(grid);
    EXPECT_EQ(size, static_cast<std::int64_t>(GridToText(grid).size()));

    // Exactly at the limit the file is written, and reads back under the same limit.
    SaveGridFile(grid, file, size);
    TTorrentGrid back;
    LoadGridFile(back, file, size);
    EXPECT_EQ(back.RowCount(), 3);
    EXPECT_THROW(LoadGridFile(back, file, size - 1), EListFileError);

    grid.SetCell(G::ColName, 2, "newer");
    const std::string saved = Slurp(file);
    try {
        SaveGridFile(grid, file, size);
        FAIL() << "saved a list past the limit";
    } catch (const EListFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The list is too large to be saved: its file would be larger than " +
                      std::to_string(size) +
                      " bytes, more than can be read back. The list file \"" + file +
                      "\" is kept as it was saved before.");
    }
    EXPECT_EQ(Slurp(file), saved);
    EXPECT_EQ(Slurp(file + ".bak"), before);
}

// Each save keeps the file saved before as the backup, one generation, and the list file is
// never missing meanwhile.
TEST_F(ListFileOnDisk, EachSaveKeepsThePreviousFileAsTheBackup) {
    const std::string file = (m_Dir / kListFileName).string();
    const std::string backup = file + ".bak";
    TTorrentGrid grid;
    grid.SetRowCells(1, Torrent("first"));
    SaveGridFile(grid, file);
    EXPECT_FALSE(std::filesystem::exists(backup)) << "nothing saved before";
    const std::string first = Slurp(file);
    grid.SetRowCells(1, Torrent("second"));
    SaveGridFile(grid, file);
    EXPECT_EQ(Slurp(backup), first);
    const std::string second = Slurp(file);
    grid.SetRowCells(1, Torrent("third"));
    SaveGridFile(grid, file);
    EXPECT_EQ(Slurp(backup), second) << "one generation";
    EXPECT_EQ(Slurp(file), GridToText(grid));
    EXPECT_EQ(std::filesystem::status(backup).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_Dir),
                            std::filesystem::directory_iterator()),
              2)
        << "the list file and its backup, nothing else";

    // A backup that cannot be made stops the save: the list file stays as it was.
    std::filesystem::remove(backup);
    std::filesystem::create_directories(std::filesystem::path(backup) / "blocker");
    grid.SetRowCells(1, Torrent("fourth"));
    try {
        SaveGridFile(grid, file);
        FAIL() << "saved without a backup";
    } catch (const EListFileError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot keep the list saved before as \"" + backup),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(Slurp(file), GridToText([&] {
                  TTorrentGrid third;
                  third.SetRowCells(1, Torrent("third"));
                  return third;
              }()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_Dir),
                            std::filesystem::directory_iterator()),
              2)
        << "no temporary file is left behind";
}

TEST_F(ListFileOnDisk, AMissingFileOrADeviceCannotBeLoaded) {
    TTorrentGrid grid;
    EXPECT_THROW(LoadGridFile(grid, (m_Dir / "none.dat").string()), EListFileError);
    // A device in the list file's place is not read for ever.
    std::filesystem::create_directories(m_Dir);
    const std::string device = (m_Dir / kListFileName).string();
    std::filesystem::create_symlink("/dev/zero", device);
    try {
        LoadGridFile(grid, device);
        FAIL() << "read a device";
    } catch (const EListFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + device + "\". (a device, not a regular file)");
    }
}

} // namespace

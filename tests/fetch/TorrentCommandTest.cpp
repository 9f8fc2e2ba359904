// `lintervale --torrent` through the program itself, against seeds on the loopback interface.

#include "list/BatchLoader.h"
#include "tests/fetch/LoopbackSeeder.h"

#include <array>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace lintervale;
using namespace lintervale::testing;

namespace {

namespace fs = std::filesystem;

struct TRun {
    int Status = -1;
    std::string Out = {};
    std::string Err = {};
};

std::string Slurp(const fs::path& File) {
    std::ifstream in(File, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Spit(const fs::path& File, const std::string& Text) {
    std::ofstream(File, std::ios::binary) << Text;
}

// A folder of the test's own, gone with it.
class TFolder {
public:
    TFolder() {
        static int count = 0;
        m_Path = fs::temp_directory_path() /
                 ("torrent-command-" + std::to_string(::getpid()) + "-" + std::to_string(++count));
        fs::remove_all(m_Path);
        fs::create_directories(m_Path);
    }
    ~TFolder() {
        std::error_code ignored;
        fs::remove_all(m_Path, ignored);
    }
    const fs::path& Path() const { return m_Path; }
    std::string operator/(const std::string& Name) const { return (m_Path / Name).string(); }

private:
    fs::path m_Path;
};

// Runs the program with Input as its standard input; its output streams are read back.
TRun RunProgram(const TFolder& Folder, std::vector<std::string> Arguments,
                const std::string& Input = {}) {
    const std::string in = Folder / ".in";
    const std::string out = Folder / ".out";
    const std::string err = Folder / ".err";
    Spit(in, Input);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    Arguments.insert(Arguments.begin(), LINTERVALE_BINARY);
    std::vector<char*> argv;
    for (std::string& argument : Arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    TRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, LINTERVALE_BINARY, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.Out = Slurp(out);
    run.Err = Slurp(err);
    for (const std::string& file : {in, out, err}) {
        fs::remove(file);
    }
    return run;
}

// The command with the options that keep it on the loopback interface.
std::vector<std::string> Command(const TFolder& Folder, std::vector<std::string> Links,
                                 const std::string& Seconds = "60") {
    std::vector<std::string> words = {"--torrent", "--no-dht", "--timeout",
                                      Seconds,     "-o",       Folder.Path().string()};
    words.insert(words.end(), Links.begin(), Links.end());
    return words;
}

// What the file holds: the seed's contents, and its name and hash as the list reads them.
void ExpectTheSeedsTorrent(const std::string& Path, const TLoopbackSeeder& Seeder) {
    const std::string bytes = Slurp(Path);
    EXPECT_EQ(bytes, "d4:info" + Seeder.Info() + "e") << Path;
    const TLoadResult loaded = LoadBytesForList(bytes);
    ASSERT_TRUE(loaded.Loaded) << Path;
    EXPECT_EQ(loaded.Row.Hash, Seeder.HashV1().empty() ? Seeder.HashV2() : Seeder.HashV1());
}

TEST(TorrentCommand, WritesEachLinksTorrentAndPrintsItsPathInTheLinksOrder) {
    const TLoopbackSeeder v1(TTorrentKind::V1, 3, "First seed");
    const TLoopbackSeeder hybrid(TTorrentKind::Hybrid, 2, "Second seed");
    const TFolder folder;
    const TRun run = RunProgram(folder, Command(folder, {v1.Link(), hybrid.Link()}));
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out,
              folder / "First seed.torrent" + "\n" + folder / "Second seed.torrent" + "\n");
    ExpectTheSeedsTorrent(folder / "First seed.torrent", v1);
    ExpectTheSeedsTorrent(folder / "Second seed.torrent", hybrid);
    // Nothing else is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 2);
}

TEST(TorrentCommand, NeverOverwritesAFile) {
    const TLoopbackSeeder seeder(TTorrentKind::V1, 2, "Seed");
    const TFolder folder;
    Spit(folder / "Seed.torrent", "the user's own");
    for (const char* name : {"Seed (2).torrent", "Seed (3).torrent"}) {
        const TRun run = RunProgram(folder, Command(folder, {seeder.Link()}));
        EXPECT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, folder / name + "\n");
        ExpectTheSeedsTorrent(folder / name, seeder);
    }
    EXPECT_EQ(Slurp(folder / "Seed.torrent"), "the user's own");
}

TEST(TorrentCommand, ReadsLinksFromStandardInputOneALine) {
    const TLoopbackSeeder first(TTorrentKind::V1, 2, "One");
    const TLoopbackSeeder second(TTorrentKind::V1, 3, "Two");
    const TLoopbackSeeder third(TTorrentKind::V1, 4, "Three");
    const TFolder folder;
    const TRun run = RunProgram(folder, Command(folder, {first.Link(), "-"}),
                                "\n  " + second.Link() + " \r\n\n" + third.Link());
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, folder / "One.torrent" + "\n" + folder / "Two.torrent" + "\n" +
                           folder / "Three.torrent" + "\n");
    ExpectTheSeedsTorrent(folder / "Three.torrent", third);
}

TEST(TorrentCommand, FailuresAreNamedWithTheirCauseAndTheOtherLinksStillGiveFiles) {
    const TLoopbackSeeder seeder(TTorrentKind::V1, 2, "Seed");
    const TFolder folder;
    const std::string unknown = "magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567";
    const TRun run =
        RunProgram(folder, Command(folder, {unknown, "not a link", seeder.Link()}, "2"));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, folder / "Seed.torrent" + "\n");
    EXPECT_EQ(run.Err, unknown + ": no peer sent the contents within 2 seconds\n" +
                           "not a link: not a magnet link with an info hash\n");
}

TEST(TorrentCommand, WrongCommandLinesAndFoldersFailBeforeFetching) {
    struct Case {
        const char* what;
        std::vector<std::string> words;
        int status;
        std::string err;
    };
    const TFolder folder;
    Spit(folder / "file", "");
    const std::string link = "magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567";
    const std::array cases = {
        Case{.what = "no link",
             .words = {"--torrent"},
             .status = 2,
             .err = "lintervale: --torrent needs at least one link\n"},
        Case{.what = "a bad time limit",
             .words = {"--torrent", "--timeout=0", link},
             .status = 2,
             .err = "lintervale: bad value in '--timeout=0'\n"},
        Case{.what = "no such folder",
             .words = {"--torrent", "--no-dht", "-o", folder / "none", link},
             .status = 1,
             .err = "lintervale: cannot write into " + folder / "none" +
                    ": No such file or directory\n"},
        Case{.what = "a file for a folder",
             .words = {"--torrent", "--no-dht", "-o", folder / "file", link},
             .status = 1,
             .err = "lintervale: cannot write into " + folder / "file" + ": not a folder\n"},
        Case{.what = "nothing on standard input",
             .words = {"--torrent", "--no-dht", "-"},
             .status = 1,
             .err = "lintervale: standard input holds no link\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TRun run = RunProgram(folder, c.words);
        EXPECT_EQ(run.Status, c.status);
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err.substr(0, c.err.size()), c.err);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

} // namespace

#include "tests/magnet/ExpectedLinks.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the real program with its output in files of the test's temporary folder.
Result RunProgram(const std::vector<std::string>& args) {
    // ctest runs tests side by side: every run gets files of its own.
    static int runs = 0;
    const std::string tag = std::to_string(::getpid()) + "-" + std::to_string(++runs);
    const fs::path dir = fs::temp_directory_path();
    const fs::path out = dir / ("lintervale-out-" + tag);
    const fs::path err = dir / ("lintervale-err-" + tag);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> all = {LINTERVALE_BINARY};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    Result result;
    if (posix_spawn(&pid, LINTERVALE_BINARY, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = Slurp(out);
    result.err = Slurp(err);
    fs::remove(out);
    fs::remove(err);
    return result;
}

using Expected = lintervale::testing::TExpectedLink;
using lintervale::testing::ReadExpected;

const char* const kExpectedTable = lintervale::testing::kExpectedLinksTable;
const std::string kRefused =
    "Something bad happened while trying to load the file, probably corrupt metainfo.";

TEST(MagnetCommand, EveryFixtureGivesItsExpectedLine) {
    const std::vector<Expected> rows = ReadExpected(kExpectedTable);
    ASSERT_GE(rows.size(), 31u);
    for (const Expected& row : rows) {
        const std::string path = (fs::path(LINTERVALE_FIXTURES) / row.file).string();
        const Result result = RunProgram({"--magnet", path});
        if (row.ok) {
            EXPECT_EQ(result.status, 0) << row.file;
            EXPECT_EQ(result.out, row.link + "\n") << row.file;
            EXPECT_EQ(result.err, "") << row.file;
        } else {
            EXPECT_EQ(result.status, 1) << row.file;
            EXPECT_EQ(result.out, "") << row.file;
            EXPECT_EQ(result.err, path + ": " + kRefused + "\n") << row.file;
        }
    }
}

TEST(MagnetCommand, ManyFilesKeepTheirOrderAndFailuresDoNotStopTheRest) {
    const std::vector<Expected> rows = ReadExpected(kExpectedTable);
    std::vector<std::string> args = {"--magnet"};
    std::string links;
    std::string errors;
    for (const Expected& row : rows) {
        const std::string path = (fs::path(LINTERVALE_FIXTURES) / row.file).string();
        args.push_back(path);
        if (row.ok) {
            links += row.link + "\n";
        } else {
            errors += path + ": " + kRefused + "\n";
        }
    }
    const std::string missing = (fs::temp_directory_path() / "no-such.torrent").string();
    args.push_back(missing);
    errors += missing + ": Cannot open file \"" + missing + "\". No such file or directory\n";
    const Result result = RunProgram(args);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, links);
    EXPECT_EQ(result.err, errors);
}

TEST(MagnetCommand, CommandLineWithoutFiles) {
    const Result help = RunProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--magnet"), std::string::npos);

    const Result bare = RunProgram({"--magnet"});
    EXPECT_EQ(bare.status, 2);
    EXPECT_NE(bare.err.find("--magnet"), std::string::npos);
}

} // namespace

#include "metainfo/Cause.h"
#include "metainfo/TorrentFile.h"
#include "tests/list/PipeGuard.h"
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

// Where the program's standard streams go besides the test's own files.
struct Streams {
    std::string in = "/dev/null";
    std::string out; // empty: a file of the test's, read back into Result::out
};

// Runs the real program with its output in files of the test's temporary folder.
Result RunProgram(const std::vector<std::string>& args, const Streams& streams = {}) {
    // ctest runs tests side by side: every run gets files of its own.
    static int runs = 0;
    const std::string tag = std::to_string(::getpid()) + "-" + std::to_string(++runs);
    const fs::path dir = fs::temp_directory_path();
    const fs::path out = dir / ("lintervale-out-" + tag);
    const fs::path err = dir / ("lintervale-err-" + tag);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, streams.in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1,
                                     streams.out.empty() ? out.c_str() : streams.out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
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

const std::string kRefused =
    "Something bad happened while trying to load the file, probably corrupt metainfo.";

// The line a refused file gives: the message, then the loader's cause in parentheses.
std::string RefusalLine(const std::string& path) {
    lintervale::TTorrentFile torrent;
    try {
        torrent.Load(Slurp(path));
    } catch (const lintervale::ETorrentFileError& e) {
        return path + ": " + kRefused + " (" + lintervale::DescribeCause(e.Cause()) + ")\n";
    }
    return "(loaded)";
}

TEST(MagnetCommand, ARefusalSaysWhy) {
    const std::string path = (fs::path(LINTERVALE_FIXTURES) / "file3-missing-length.torrent");
    const Result result = RunProgram({"--magnet", path});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, path + ": " + kRefused + " (file 3 has no length)\n");
}

TEST(MagnetCommand, EveryFixtureGivesItsExpectedLine) {
    const std::vector<Expected> rows = lintervale::testing::ReadCompleteExpected();
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
            EXPECT_EQ(result.err, RefusalLine(path)) << row.file;
        }
    }
}

TEST(MagnetCommand, ManyFilesKeepTheirOrderAndFailuresDoNotStopTheRest) {
    const std::vector<Expected> rows = lintervale::testing::ReadCompleteExpected();
    std::vector<std::string> args = {"--magnet"};
    std::string links;
    std::string errors;
    for (const Expected& row : rows) {
        const std::string path = (fs::path(LINTERVALE_FIXTURES) / row.file).string();
        args.push_back(path);
        if (row.ok) {
            links += row.link + "\n";
        } else {
            errors += RefusalLine(path);
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

TEST(MagnetCommand, HelpVersionAndWrongCommandLines) {
    const std::string sample = (fs::path(LINTERVALE_FIXTURES) / "single.torrent").string();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string outStart; // what standard output begins with
        std::string err;      // a part of standard error
    };
    const Case cases[] = {
        {{"--help"}, 0, "Usage: lintervale", ""},
        {{sample, "--bogus", "--help"}, 0, "Usage: lintervale", ""},
        {{"--magnet", sample, "-h"}, 0, "Usage: lintervale", ""},
        {{"--version"}, 0, "lintervale " LINTERVALE_VERSION "\n", ""},
        {{sample, "--version", "--help"}, 0, "lintervale " LINTERVALE_VERSION "\n", ""},
        {{"--magnet"}, 2, "", "--magnet needs at least one file"},
        {{"--magnet", sample, "--bogus"}, 2, "", "unknown option '--bogus'\n\nUsage:"},
        {{"--magnet", "-", "-"}, 2, "", "standard input (-) can be read only once"},
        {{"--magnet", "--", "--help"}, 1, "", "--help: Cannot open file"},
    };
    for (const Case& c : cases) {
        const Result result = RunProgram(c.args);
        const std::string what = ::testing::PrintToString(c.args);
        EXPECT_EQ(result.status, c.status) << what;
        EXPECT_EQ(result.out.substr(0, c.outStart.size()), c.outStart) << what;
        if (c.outStart.empty()) {
            EXPECT_EQ(result.out, "") << what;
        }
        EXPECT_NE(result.err.find(c.err), std::string::npos) << what << ": " << result.err;
    }
}

TEST(MagnetCommand, StandardInputIsReadAsOneFile) {
    const std::vector<Expected> rows = lintervale::testing::ReadCompleteExpected();
    const Expected& single = rows.front();
    const std::string path = (fs::path(LINTERVALE_FIXTURES) / single.file).string();
    ASSERT_TRUE(single.ok);

    const Result piped = RunProgram({"--magnet", path, "-"}, {.in = path, .out = ""});
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.out, single.link + "\n" + single.link + "\n");

    const Result empty = RunProgram({"--magnet", "-"});
    EXPECT_EQ(empty.status, 1);
    const std::string refusal = "/dev/stdin: " + kRefused;
    EXPECT_EQ(empty.err.substr(0, refusal.size()), refusal);
}

TEST(MagnetCommand, NamedPipesAndDevicesAreRefusedWithoutWaiting) {
    const std::vector<Expected> rows = lintervale::testing::ReadCompleteExpected();
    const std::string sample = (fs::path(LINTERVALE_FIXTURES) / rows.front().file).string();
    const lintervale::testing::TPipeGuard pipe(fs::temp_directory_path() /
                                               ("lintervale-pipe-" + std::to_string(::getpid())));
    const std::string refusals = pipe.Name() + ": Cannot open file \"" + pipe.Name() +
                                 "\". (a named pipe, not a regular file)\n"
                                 "/dev/zero: Cannot open file \"/dev/zero\". (a device, not a "
                                 "regular file)\n";
    for (const char* command : {"--magnet", "--show"}) {
        const Result result = RunProgram({command, pipe.Name(), "/dev/zero", sample});
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_EQ(result.err, refusals) << command;
        EXPECT_NE(result.out.find(rows.front().link + "\n"), std::string::npos) << command;
    }
}

TEST(MagnetCommand, AFullDiskIsNamedAndFails) {
    const std::string sample = (fs::path(LINTERVALE_FIXTURES) / "single.torrent").string();
    const std::string missing = (fs::temp_directory_path() / "no-such.torrent").string();
    // Enough links to fill the output buffer several times over, so that writes fail before
    // the last flush as well as at it.
    std::vector<std::string> many = {"--magnet"};
    many.insert(many.end(), 5000, sample);
    many.push_back(missing);
    const std::vector<std::vector<std::string>> commands = {
        {"--magnet", sample}, many, {"--help"}, {"--version"}};
    for (const std::vector<std::string>& args : commands) {
        const Result result = RunProgram(args, {.in = "/dev/null", .out = "/dev/full"});
        const std::string what = ::testing::PrintToString(args.front()) + " with " +
                                 std::to_string(args.size()) + " words";
        EXPECT_EQ(result.status, 1) << what;
        const std::string cause = "lintervale: cannot write the output: No space left on device\n";
        EXPECT_NE(result.err.find(cause), std::string::npos) << what << ": " << result.err;
        EXPECT_EQ(result.err.find(cause), result.err.rfind(cause)) << "named once: " << what;
    }
    // The refusal of the missing file still reaches stderr.
    EXPECT_NE(RunProgram(many, {.in = "/dev/null", .out = "/dev/full"})
                  .err.find(missing + ": Cannot open"),
              std::string::npos);
}

} // namespace

namespace {

// What each setting of a link's contents does, on the command line of --magnet and --show.
TEST(MagnetCommand, LinkContentsFollowTheOptions) {
    const std::string v1 = "magnet:?xt=urn:btih:4a3ee6ce4d0c1abef12841ff60391ae5040a6c9c";
    const std::string hybrid =
        "magnet:?xt=urn:btih:24d6a1822cd5af37e70e7db7c65cdfc8a8ddce1e&xt=urn:btmh:"
        "1220aa42e1fe9de5e518253aa710c8d01f365593935aa539862f31e68a33300285ad";
    const std::string multiTrackers = "&tr=udp://tracker.example.net:1337/announce";
    const std::string multiSeeds = "&ws=http://seed-one.example/files/"
                                   "&ws=http://seed-two.example/get?a=1%26b=2"
                                   "&ws=ftp://seed-three.example/pub/";
    struct Case {
        std::vector<std::string> Options;
        std::string File;
        std::string Link;
    };
    const Case cases[] = {
        {{}, "webseed-multi.torrent", v1 + "&dn=Photos" + multiTrackers + multiSeeds},
        {{"--no-name"}, "webseed-multi.torrent", v1 + multiTrackers + multiSeeds},
        {{"--no-web-seeds"}, "webseed-multi.torrent", v1 + "&dn=Photos" + multiTrackers},
        {{"--trackers=none", "--no-web-seeds", "--no-name"}, "webseed-multi.torrent", v1},
        {{"--exact-length"},
         "webseed-multi.torrent",
         v1 + "&dn=Photos" + multiTrackers + multiSeeds + "&xl=7000"},
        {{"--peer=127.0.0.1:6881", "--peer=[::1]:51413", "--peer=peer.example:1"},
         "webseed-multi.torrent",
         v1 + "&dn=Photos" + multiTrackers + multiSeeds +
             "&x.pe=127.0.0.1:6881&x.pe=[::1]:51413&x.pe=peer.example:1"},
        {{"--trackers=first"},
         "hybrid-webseed.torrent",
         hybrid + "&dn=hybrid-seeded&tr=http://tracker.example.org:6969/announce"
                  "&ws=http://webseed.example/hybrid/"},
        {{"--trackers=all"},
         "hybrid-webseed.torrent",
         hybrid + "&dn=hybrid-seeded&tr=http://tracker.example.org:6969/announce"
                  "&tr=udp://backup.example:6969/announce&ws=http://webseed.example/hybrid/"},
        // A torrent without trackers: every tracker asked for still ends with "&tr=", none
        // asked for leaves it out.
        {{},
         "trackerless.torrent",
         "magnet:?xt=urn:btih:c72897a2dd9a305f4bef6c71b0b56b4a72f38c33&dn=trackerless&tr="},
        {{"--trackers=none"},
         "trackerless.torrent",
         "magnet:?xt=urn:btih:c72897a2dd9a305f4bef6c71b0b56b4a72f38c33&dn=trackerless"},
    };
    for (const Case& c : cases) {
        const std::string path = (fs::path(LINTERVALE_FIXTURES) / c.File).string();
        std::vector<std::string> args = c.Options;
        args.insert(args.begin(), "--magnet");
        args.push_back(path);
        const Result magnet = RunProgram(args);
        const std::string what = ::testing::PrintToString(args);
        EXPECT_EQ(magnet.status, 0) << what;
        EXPECT_EQ(magnet.out, c.Link + "\n") << what;
        args.front() = "--show";
        const Result show = RunProgram(args);
        EXPECT_NE(show.out.find("Magnet link: " + c.Link + "\n"), std::string::npos) << what;
    }

    // The window's "Link contents" hold for the headless commands too; the command line
    // overrides them.
    const fs::path config =
        fs::temp_directory_path() / ("lintervale-links-" + std::to_string(::getpid()));
    fs::create_directories(config / "Lintervale");
    std::ofstream(config / "Lintervale" / "Lintervale.conf")
        << "[General]\nQuietMode=1\nLinkName=0\nLinkWebSeeds=0\nLinkPeers=10.0.0.1:6881\n";
    const char* before = std::getenv("XDG_CONFIG_HOME");
    const std::string kept = before != nullptr ? before : "";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const std::string multi = (fs::path(LINTERVALE_FIXTURES) / "webseed-multi.torrent").string();
    const Result chosen = RunProgram({"--magnet", multi});
    const Result overridden = RunProgram({"--magnet", "--trackers=none", multi});
    ::setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
    fs::remove_all(config);
    EXPECT_EQ(chosen.out, v1 + multiTrackers + "&x.pe=10.0.0.1:6881\n");
    EXPECT_EQ(overridden.out, v1 + "&x.pe=10.0.0.1:6881\n");

    // Values that are no good, and options without a command that makes links.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--magnet", "--trackers=some", "a"},
          {"--magnet", "--peer=host", "a"},
          {"--magnet", "--peer=host:0", "a"},
          {"--magnet", "--peer=[::1:80", "a"},
          {"--magnet", "--peer=a b:80", "a"},
          {"--no-name", "a.torrent"}}) {
        EXPECT_EQ(RunProgram(bad).status, 2) << ::testing::PrintToString(bad);
    }
}

} // namespace

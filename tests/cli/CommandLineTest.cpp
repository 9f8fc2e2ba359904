#include "cli/CommandLine.h"

#include <gtest/gtest.h>

using namespace lintervale;

namespace {

using TWords = std::vector<std::string>;

TEST(CommandLine, ActionsOperandsAndErrors) {
    struct Case {
        TWords words;
        TCommandLine::TAction action;
        TWords operands;
        std::string error;
    };
    const Case cases[] = {
        {{}, TCommandLine::Window, {}, ""},
        {{"-hidden", "a.torrent"}, TCommandLine::Window, {"-hidden", "a.torrent"}, ""},
        // Single-dash words are the window's (Qt's own options among them).
        {{"-platform", "offscreen", "-x"},
         TCommandLine::Window,
         {"-platform", "offscreen", "-x"},
         ""},
        {{"a", "--", "--b", "-hidden"}, TCommandLine::Window, {"a", "--b", "-hidden"}, ""},
        {{"a", "--help", "--bogus"}, TCommandLine::Help, {}, ""},
        {{"--bogus", "-h"}, TCommandLine::Help, {}, ""},
        {{"--version", "--help"}, TCommandLine::Version, {}, ""},
        {{"--magnet", "--version"}, TCommandLine::Version, {}, ""},
        {{"--", "--help"}, TCommandLine::Window, {"--help"}, ""},
        {{"--magnet", "a", "b"}, TCommandLine::Magnet, {"a", "b"}, ""},
        {{"a", "--magnet", "b"}, TCommandLine::Magnet, {"a", "b"}, ""},
        {{"--magnet", "-", "a"}, TCommandLine::Magnet, {kStandardInput, "a"}, ""},
        {{"--magnet", "--", "-", "--version"},
         TCommandLine::Magnet,
         {kStandardInput, "--version"},
         ""},
        {{"--magnet", "-hidden"}, TCommandLine::Magnet, {"-hidden"}, ""},
        {{"--magnet"}, TCommandLine::UsageError, {}, "--magnet needs at least one file"},
        {{"--magnet", "--"}, TCommandLine::UsageError, {}, "--magnet needs at least one file"},
        {{"--magnet", "-", "--", "-"},
         TCommandLine::UsageError,
         {},
         "standard input (-) can be read only once"},
        {{"a.torrent", "--hidden"}, TCommandLine::UsageError, {}, "unknown option '--hidden'"},
        {{"--magnet=a.torrent"},
         TCommandLine::UsageError,
         {},
         "unknown option '--magnet=a.torrent'"},
    };
    for (const Case& c : cases) {
        const TCommandLine line = ParseCommandLine(c.words);
        const std::string what = ::testing::PrintToString(c.words);
        EXPECT_EQ(line.Action, c.action) << what;
        EXPECT_EQ(line.Operands, c.operands) << what;
        EXPECT_EQ(line.Error, c.error) << what;
    }
}

TEST(CommandLine, TheTorrentCommandsOptions) {
    struct Case {
        TWords words;
        TCommandLine::TAction action = TCommandLine::Torrent;
        TWords operands = {};
        std::string error = {};
        std::string folder = ".";
        int seconds = 120;
        bool dht = true;
    };
    const Case cases[] = {
        {.words = {"--torrent", "magnet:?a", "-"}, .operands = {"magnet:?a", "-"}},
        {.words = {"-o", "out", "--torrent", "--timeout", "5", "--no-dht", "m"},
         .operands = {"m"},
         .folder = "out",
         .seconds = 5,
         .dht = false},
        {.words = {"--torrent", "--timeout=86400", "-o", "-x", "m"},
         .operands = {"m"},
         .folder = "-x",
         .seconds = 86400},
        // After "--" a word is a link whatever it looks like.
        {.words = {"--torrent", "--", "-o", "--timeout"}, .operands = {"-o", "--timeout"}},
        // "-o" is the window's own without --torrent.
        {.words = {"-o", "x"}, .action = TCommandLine::Window, .operands = {"-o", "x"}},
        {.words = {"--torrent"},
         .action = TCommandLine::UsageError,
         .error = "--torrent needs at least one link"},
        {.words = {"--torrent", "-", "-"},
         .action = TCommandLine::UsageError,
         .error = "standard input (-) can be read only once"},
        {.words = {"--torrent", "m", "-o"},
         .action = TCommandLine::UsageError,
         .error = "-o needs a value"},
        {.words = {"--torrent", "m", "--timeout", "--", "5"},
         .action = TCommandLine::UsageError,
         .error = "--timeout needs a value"},
        {.words = {"--torrent", "m", "--timeout", "0"},
         .action = TCommandLine::UsageError,
         .error = "bad value in '--timeout 0'"},
        {.words = {"--torrent", "m", "--timeout=86401"},
         .action = TCommandLine::UsageError,
         .error = "bad value in '--timeout=86401'"},
        {.words = {"--torrent", "m", "--timeout=-3"},
         .action = TCommandLine::UsageError,
         .error = "bad value in '--timeout=-3'"},
        {.words = {"--torrent", "m", "--timeout", "2m"},
         .action = TCommandLine::UsageError,
         .error = "bad value in '--timeout 2m'"},
        {.words = {"--magnet", "a", "--torrent", "m"},
         .action = TCommandLine::UsageError,
         .error = "--magnet and --torrent cannot be given together"},
        {.words = {"--torrent", "m", "--show"},
         .action = TCommandLine::UsageError,
         .error = "--show and --torrent cannot be given together"},
        {.words = {"--torrent", "m", "--no-name"},
         .action = TCommandLine::UsageError,
         .error = "the link options go with --magnet or --show"},
        {.words = {"--torrent", "m", "--json"},
         .action = TCommandLine::UsageError,
         .error = "--json goes with --show"},
        {.words = {"--magnet", "a", "--no-dht", "--timeout=3"},
         .action = TCommandLine::UsageError,
         .error = "--no-dht goes with --torrent"},
        {.words = {"a", "--timeout", "3"},
         .action = TCommandLine::UsageError,
         .error = "--timeout goes with --torrent"},
    };
    for (const Case& c : cases) {
        const TCommandLine line = ParseCommandLine(c.words);
        const std::string what = ::testing::PrintToString(c.words);
        EXPECT_EQ(line.Action, c.action) << what;
        EXPECT_EQ(line.Operands, c.operands) << what;
        EXPECT_EQ(line.Error, c.error) << what;
        if (c.action == TCommandLine::Torrent) {
            EXPECT_EQ(line.OutputFolder, c.folder) << what;
            EXPECT_EQ(line.TimeoutSeconds, c.seconds) << what;
            EXPECT_EQ(line.Dht, c.dht) << what;
        }
    }
}

} // namespace

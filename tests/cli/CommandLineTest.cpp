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

} // namespace

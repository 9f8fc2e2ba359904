// What --show writes: text and JSON that stay valid UTF-8 whatever bytes a torrent holds,
// and the facts of the shared fixtures, field by field.

#include "cli/ShowCommand.h"
#include "cli/Utf8Output.h"
#include "metainfo/TorrentDetails.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace lintervale;

namespace {

std::string Fixture(const std::string& name) {
    return std::string(LINTERVALE_FIXTURES) + "/" + name;
}

std::string Slurp(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ShowOutput, BytesBecomeValidUtf8) {
    struct Case {
        std::string Bytes;
        std::string Plain;
        std::string Json;
    };
    const std::string fffd = "\xEF\xBF\xBD";
    const Case cases[] = {
        {.Bytes = "plain", .Plain = "plain", .Json = "\"plain\""},
        {.Bytes = "caf\xC3\xA9 \xF0\x9F\x8E\xB5",
         .Plain = "caf\xC3\xA9 \xF0\x9F\x8E\xB5",
         .Json = "\"caf\xC3\xA9 \xF0\x9F\x8E\xB5\""},
        // Latin-1 and stray bytes: one replacement each.
        {.Bytes = "caf\xE9 \xFF\x80",
         .Plain = "caf" + fffd + " " + fffd + fffd,
         .Json = "\"caf" + fffd + " " + fffd + fffd + "\""},
        // Overlong forms, surrogates and code points past U+10FFFF are no UTF-8.
        {.Bytes = "\xC0\xAF\xE0\x80\xAF",
         .Plain = fffd + fffd + fffd + fffd + fffd,
         .Json = "\"" + fffd + fffd + fffd + fffd + fffd + "\""},
        {.Bytes = "\xED\xA0\x80",
         .Plain = fffd + fffd + fffd,
         .Json = "\"" + fffd + fffd + fffd + "\""},
        {.Bytes = "\xF4\x90\x80\x80",
         .Plain = fffd + fffd + fffd + fffd,
         .Json = "\"" + fffd + fffd + fffd + fffd + "\""},
        // A sequence cut short is one replacement, and the next character stays.
        {.Bytes = "\xE2\x82"
                  "A",
         .Plain = fffd + "A",
         .Json = "\"" + fffd + "A\""},
        {.Bytes = "\xF0\x9F\x8E", .Plain = fffd, .Json = "\"" + fffd + "\""},
        // Control characters: spaces for people (no terminal escapes), escapes in JSON.
        {.Bytes = "a\nb\x1B[2J\x7F\xC2\x9B"
                  "c",
         .Plain = "a b [2J  c",
         .Json = "\"a\\nb\\u001b[2J\x7F\xC2\x9B"
                 "c\""},
        {.Bytes = std::string("q\"b\\s\t\0", 7),
         .Plain = "q\"b\\s  ",
         .Json = "\"q\\\"b\\\\s\\t\\u0000\""},
    };
    for (const Case& c : cases) {
        std::string plain;
        std::string json;
        AppendPlainText(plain, c.Bytes);
        AppendJsonString(json, c.Bytes);
        EXPECT_EQ(plain, c.Plain) << ::testing::PrintToString(c.Bytes);
        EXPECT_EQ(json, c.Json) << ::testing::PrintToString(c.Bytes);
    }
}

TEST(ShowOutput, DetailsOfTheFixtures) {
    struct Case {
        const char* File;
        std::string HashV1 = {};
        std::string HashV2 = {};
        std::int64_t Total = 0;
        std::int64_t PieceLength = 0;
        std::int64_t PieceCount = 0;
        int Files = 0; // entries as the torrent lists them, padding included
        bool Private = false;
        std::vector<std::vector<std::string>> Tiers = {};
        std::vector<std::string> WebSeeds = {};
        std::vector<std::string> Nodes = {};
    };
    const Case cases[] = {
        {.File = "details.torrent",
         .HashV1 = "5f959e46d8d19382d4c637a2265b0b966b4940a2",
         .Total = 41234,
         .PieceLength = 32768,
         .PieceCount = 3,
         .Files = 4,
         .Private = true,
         .Tiers = {{"http://tier1a.example/announce", "udp://tier1b.example:6969"},
                   {"http://tier2.example/announce"}},
         .WebSeeds = {"http://seed.example/files/", "http://seed2.example/a&b/"},
         .Nodes = {"router.example:6881", "10.0.0.1:51413"}},
        {.File = "single.torrent",
         .HashV1 = "ab80abf537543bb8008b1122155d60e2338369a8",
         .Total = 3670016,
         .PieceLength = 16384,
         .PieceCount = 224,
         .Files = 1,
         .Tiers = {{"http://tracker.example.org:6969/announce"}}},
        {.File = "hybrid.torrent",
         .HashV1 = "b3073425a70f035b8f4ddfa682e5de778a4f9a2d",
         .HashV2 = "cecedb08bff73316de229b406d6605c75d0d1f027c56db40aee8820b25de9225",
         .Total = 100,
         .PieceLength = 16384,
         .PieceCount = 1,
         .Files = 1,
         .Tiers = {{"http://tracker.example.org:6969/announce"}}},
        {.File = "v2-only.torrent",
         .HashV2 = "0c2b6f51192dad881e6be2c1cc5ab53496afca74316b8c0416851ff6a96684ee",
         .Total = 600,
         .PieceLength = 16384,
         .PieceCount = 3,
         .Files = 3,
         .Tiers = {{"http://tracker.example.org:6969/announce"}}},
        {.File = "padding-files.torrent",
         .HashV1 = "fd3564a64bd30ff39ce9a111b642ed3ff7ca2539",
         .Total = 3548,
         .PieceLength = 16384,
         .PieceCount = 1,
         .Files = 5,
         .Tiers = {{"http://tracker.example/announce"}}},
        {.File = "trackerless.torrent",
         .HashV1 = "c72897a2dd9a305f4bef6c71b0b56b4a72f38c33",
         .Total = 4096,
         .PieceLength = 16384,
         .PieceCount = 1,
         .Files = 1,
         .Tiers = {},
         .Nodes = {"router.example.org:6881"}},
    };
    for (const Case& c : cases) {
        const std::string bytes = Slurp(Fixture(c.File));
        TTorrentFile torrent;
        ASSERT_TRUE(torrent.Load(bytes)) << c.File;
        const TTorrentDetails d = ReadDetails(torrent);
        EXPECT_EQ(d.HashV1, c.HashV1) << c.File;
        EXPECT_EQ(d.HashV2, c.HashV2) << c.File;
        EXPECT_EQ(d.TotalSize, c.Total) << c.File;
        EXPECT_EQ(d.PieceLength, c.PieceLength) << c.File;
        EXPECT_EQ(d.PieceCount, c.PieceCount) << c.File;
        EXPECT_EQ(d.Private, c.Private) << c.File;
        EXPECT_EQ(d.TrackerTiers, c.Tiers) << c.File;
        EXPECT_EQ(d.WebSeeds, c.WebSeeds) << c.File;
        EXPECT_EQ(d.DhtNodes, c.Nodes) << c.File;
        int files = 0;
        VisitContents(torrent, [&](const TContentFile&) { ++files; });
        EXPECT_EQ(files, c.Files) << c.File;
    }
}

// What the text form says of a torrent with every field, and how it ends.
TEST(ShowOutput, TextFormOneFieldALineFilesLast) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_EQ(RunShowCommand({Fixture("details.torrent"), Fixture("missing-info.torrent")}, false,
                             {}, out, err),
              1);
    const auto read = [](std::FILE* file) {
        std::rewind(file);
        std::string text;
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
            text.append(chunk, n);
        }
        std::fclose(file);
        return text;
    };
    const std::string text = read(out);
    const std::string errors = read(err);
    for (const char* line :
         {"Name: Album\n", "Private: yes\n", "Created by: mktorrent 1.1\n",
          "Creation date: 2023-11-14 22:13:20 UTC\n", "Comment: Recorded live. Second line.\n",
          "Source: Example Mirror\n", "  Tier 2:\n    http://tier2.example/announce\n",
          "Web seeds:\n  http://seed.example/files/\n  http://seed2.example/a&b/\n",
          "DHT nodes:\n  router.example:6881\n",
          "Magnet link: magnet:?xt=urn:btih:5f959e46d8d19382d4c637a2265b0b966b4940a2&dn=Album"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_TRUE(text.ends_with("Content:\n  CD 1/01 Intro.flac (40000 bytes)\n"
                               "  .pad/25536 (25536 bytes) [padding]\n"
                               "  cover.jpg (1234 bytes)\n"
                               "  current (0 bytes) [link to CD 1/01 Intro.flac]\n"))
        << text;
    EXPECT_EQ(errors, Fixture("missing-info.torrent") +
                          ": Something bad happened while trying to load the file, probably "
                          "corrupt metainfo. (no info dictionary)\n");
}

} // namespace

// The fetching session against peers on the loopback interface: libtorrent seeds made from
// temporary folders, a peer that leaves half-way, and no peer at all.

#include "fetch/FetchRequest.h"
#include "list/BatchLoader.h"
#include "magnet/MagnetParse.h"
#include "tests/fetch/LoopbackSeeder.h"

#include <array>
#include <gtest/gtest.h>

using namespace lintervale;
using namespace lintervale::testing;
using TKind = TFetchEvent::TKind;
using TClock = std::chrono::steady_clock;

namespace {

const std::string kOtherHash = "0123456789abcdef0123456789abcdef01234567";

double SecondsSince(TClock::time_point Start) {
    return std::chrono::duration<double>(TClock::now() - Start).count();
}

TEST(ContentsFetch, FetchesFromALoopbackSeed) {
    struct Case {
        const char* what;
        TTorrentKind kind;
        int files;
    };
    const std::array cases = {
        Case{.what = "v1", .kind = TTorrentKind::V1, .files = 3},
        Case{.what = "hybrid", .kind = TTorrentKind::Hybrid, .files = 3},
        Case{.what = "v2 only", .kind = TTorrentKind::V2, .files = 2},
        Case{.what = "10,000 files", .kind = TTorrentKind::V1, .files = 10000},
    };
    TEventLog log;
    auto session = MakeTestSession(log);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TLoopbackSeeder seeder(c.kind, c.files, std::string("Seed ") + c.what);
        const std::optional<TMagnetLink> link = ParseMagnetLink(seeder.Link());
        ASSERT_TRUE(link);
        const TFetchId id = session->Start(FetchRequestOf(*link));
        const std::optional<TFetchEvent> end = log.WaitEnd(id);
        ASSERT_TRUE(end);
        ASSERT_EQ(end->Kind, TKind::Done) << FetchFailureMessage(*end).English();
        EXPECT_EQ(end->Progress.PartsPerMillion, 1000000);
        // The contents as the seed has them, and no tracker, as the link has none.
        EXPECT_EQ(end->Torrent, "d4:info" + seeder.Info() + "e");

        const TLoadResult fetched = LoadBytesForList(end->Torrent);
        const TLoadResult made = LoadBytesForList(seeder.Torrent());
        ASSERT_TRUE(fetched.Loaded) << fetched.Message.English();
        ASSERT_TRUE(made.Loaded);
        EXPECT_EQ(fetched.Row.Hash, link->Hash);
        EXPECT_EQ(fetched.Row.Name, std::string("Seed ") + c.what);
        EXPECT_EQ(fetched.Row.Files, std::to_string(c.files));
        EXPECT_EQ(fetched.Row.Size, made.Row.Size);
    }
}

TEST(ContentsFetch, TheLinksTrackersAreWrittenAsAnnounceAndAnnounceList) {
    const TLoopbackSeeder seeder(TTorrentKind::V1, 2);
    TEventLog log;
    auto session = MakeTestSession(log);
    const std::vector<std::string> trackers = {"http://127.0.0.1:9/announce",
                                               "udp://127.0.0.1:9/announce"};
    TFetchRequest request = seeder.Request();
    request.Trackers = trackers;
    const TFetchId two = session->Start(request);
    request.Trackers = {trackers[0]};
    const TFetchId one = session->Start(request);

    const std::optional<TFetchEvent> withTwo = log.WaitEnd(two);
    const std::optional<TFetchEvent> withOne = log.WaitEnd(one);
    ASSERT_TRUE(withTwo && withOne);
    ASSERT_EQ(withTwo->Kind, TKind::Done);
    ASSERT_EQ(withOne->Kind, TKind::Done);
    EXPECT_EQ(withTwo->Torrent, "d8:announce27:http://127.0.0.1:9/announce13:announce-listl"
                                "l27:http://127.0.0.1:9/announceel26:udp://127.0.0.1:9/announcee"
                                "e4:info" +
                                    seeder.Info() + "e");
    EXPECT_EQ(withOne->Torrent,
              "d8:announce27:http://127.0.0.1:9/announce4:info" + seeder.Info() + "e");
    const TLoadResult loaded = LoadBytesForList(withTwo->Torrent);
    ASSERT_TRUE(loaded.Loaded);
    EXPECT_EQ(loaded.Row.Hash, seeder.HashV1());
}

TEST(ContentsFetch, WithoutAPeerTheTimeLimitEndsIt) {
    TEventLog log;
    auto session = MakeTestSession(log);
    const TClock::time_point start = TClock::now();
    const TFetchId id = session->Start({.HashV1 = kOtherHash, .TimeLimitSeconds = 1});
    const std::optional<TFetchEvent> end = log.WaitEnd(id);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->Kind, TKind::Failed);
    EXPECT_EQ(end->Failure, TFetchFailure::TimeLimit);
    EXPECT_EQ(end->TimeLimitSeconds, 1);
    EXPECT_GE(SecondsSince(start), 1.0);
    EXPECT_LT(SecondsSince(start), 10.0);
    EXPECT_EQ(FetchFailureMessage(*end).English(), "no peer sent the contents within 1 second");
}

TEST(ContentsFetch, AHashThatNoPeerHasEndsAtTheTimeLimit) {
    const TLoopbackSeeder seeder(TTorrentKind::V1, 2);
    TEventLog log;
    auto session = MakeTestSession(log);
    const TFetchId id =
        session->Start({.HashV1 = kOtherHash, .Peers = {seeder.Peer()}, .TimeLimitSeconds = 2});
    const std::optional<TFetchEvent> end = log.WaitEnd(id);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->Kind, TKind::Failed);
    EXPECT_EQ(end->Failure, TFetchFailure::TimeLimit);
    EXPECT_TRUE(end->Torrent.empty());
}

// Contents of several pieces of 16 KiB, so that one piece is part of them.
constexpr int kFilesForPieces = 2000;

TEST(ContentsFetch, APeerThatLeavesMidwayGivesNoContents) {
    TLoopbackSeeder seeder(TTorrentKind::V1, kFilesForPieces);
    seeder.Leave();
    ASSERT_GT(seeder.Info().size(), 2u * 16 * 1024);
    THalfPeer half(seeder.Info(), seeder.HashV1(), 1);
    TEventLog log;
    auto session = MakeTestSession(log);
    TFetchRequest request = seeder.Request(6);
    request.Peers = {half.Peer()};
    const TFetchId id = session->Start(request);
    ASSERT_TRUE(half.WaitSent(std::chrono::seconds(30)));
    // The piece that came is reported, with the peer that sent it.
    EXPECT_TRUE(log.WaitFor(
        [id](const TFetchEvent& event) {
            return event.Id == id && event.Progress.Peers == 1 &&
                   event.Progress.PartsPerMillion > 0 && event.Progress.PartsPerMillion < 1000000;
        },
        std::chrono::seconds(5)));
    half.Leave();
    const std::optional<TFetchEvent> end = log.WaitEnd(id);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->Kind, TKind::Failed);
    EXPECT_EQ(end->Failure, TFetchFailure::TimeLimit);
    EXPECT_LT(end->Progress.PartsPerMillion, 1000000);
}

TEST(ContentsFetch, APeerThatStaysMakesUpForOneThatLeaves) {
    const TLoopbackSeeder seeder(TTorrentKind::V1, kFilesForPieces);
    THalfPeer half(seeder.Info(), seeder.HashV1(), 1);
    TEventLog log;
    auto session = MakeTestSession(log);
    TFetchRequest request = seeder.Request();
    request.Peers = {half.Peer(), seeder.Peer()};
    const TFetchId id = session->Start(request);
    half.Leave();
    const std::optional<TFetchEvent> end = log.WaitEnd(id);
    ASSERT_TRUE(end);
    ASSERT_EQ(end->Kind, TKind::Done) << FetchFailureMessage(*end).English();
    EXPECT_EQ(end->Torrent, "d4:info" + seeder.Info() + "e");
}

TEST(ContentsFetch, CancelEndsOneFetchAndCancelAllTheRest) {
    TEventLog log;
    auto session = MakeTestSession(log);
    const TFetchId first = session->Start({.HashV1 = kOtherHash, .TimeLimitSeconds = 600});
    const TFetchId second =
        session->Start({.HashV2 = std::string(64, 'a'), .TimeLimitSeconds = 600});
    const TFetchId third =
        session->Start({.HashV1 = std::string(40, 'b'), .TimeLimitSeconds = 600});
    session->Cancel(second);
    session->Cancel(second + 100); // no such fetch: nothing happens
    const std::optional<TFetchEvent> cancelled = log.WaitEnd(second);
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(cancelled->Kind, TKind::Failed);
    EXPECT_EQ(cancelled->Failure, TFetchFailure::Cancelled);
    EXPECT_FALSE(log.WaitEnd(first, std::chrono::seconds(0)));

    session->CancelAll();
    for (const TFetchId id : {first, third}) {
        const std::optional<TFetchEvent> end = log.WaitEnd(id);
        ASSERT_TRUE(end);
        EXPECT_EQ(end->Failure, TFetchFailure::Cancelled);
    }
    // Each fetch ended once.
    int ends = 0;
    for (const TFetchEvent& event : log.All()) {
        ends += event.Kind != TKind::Progress;
    }
    EXPECT_EQ(ends, 3);
}

TEST(ContentsFetch, ShuttingDownEndsEveryFetchPromptly) {
    const TLoopbackSeeder seeder(TTorrentKind::V1, kFilesForPieces);
    THalfPeer half(seeder.Info(), seeder.HashV1(), 1);
    TEventLog log;
    auto session = MakeTestSession(log);
    TFetchRequest halfway = seeder.Request(600);
    halfway.Peers = {half.Peer()};
    const std::vector<TFetchId> ids = {
        session->Start(halfway),
        session->Start({.HashV1 = kOtherHash,
                        .Trackers = {"http://127.0.0.1:9/announce"},
                        .TimeLimitSeconds = 600}),
        session->Start({.HashV1 = std::string(40, 'c'), .TimeLimitSeconds = 600}),
    };
    EXPECT_TRUE(half.WaitSent(std::chrono::seconds(30)));
    const TClock::time_point start = TClock::now();
    session->Shutdown();
    EXPECT_LT(SecondsSince(start), 5.0);
    const std::size_t events = log.All().size();
    for (const TFetchId id : ids) {
        const std::optional<TFetchEvent> end = log.WaitEnd(id, std::chrono::seconds(0));
        ASSERT_TRUE(end) << id;
        EXPECT_EQ(end->Failure, TFetchFailure::ShutDown);
    }
    EXPECT_EQ(session->Start(seeder.Request()), 0u);
    session->Cancel(ids[0]);
    session->CancelAll();
    session.reset();
    EXPECT_EQ(log.All().size(), events);
}

TEST(ContentsFetch, DestroyingTheSessionWhileItFetchesEndsItPromptly) {
    TEventLog log;
    auto session = MakeTestSession(log);
    const TFetchId id = session->Start({.HashV1 = kOtherHash, .TimeLimitSeconds = 600});
    const TClock::time_point start = TClock::now();
    session.reset();
    EXPECT_LT(SecondsSince(start), 5.0);
    const std::optional<TFetchEvent> end = log.WaitEnd(id, std::chrono::seconds(0));
    ASSERT_TRUE(end);
    EXPECT_EQ(end->Failure, TFetchFailure::ShutDown);
}

TEST(ContentsFetch, RequestsThatCannotBeFetchedFailAtOnce) {
    struct Case {
        const char* what;
        TFetchRequest request;
    };
    const std::array cases = {
        Case{.what = "no hash", .request = {.Name = "n"}},
        Case{.what = "a v1 hash one digit short", .request = {.HashV1 = kOtherHash.substr(1)}},
        Case{.what = "a v1 hash in capitals",
             .request = {.HashV1 = "0123456789ABCDEF0123456789ABCDEF01234567"}},
        Case{.what = "a v2 hash of 40 digits", .request = {.HashV2 = kOtherHash}},
        Case{.what = "no time", .request = {.HashV1 = kOtherHash, .TimeLimitSeconds = 0}},
    };
    TEventLog log;
    auto session = MakeTestSession(log);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<TFetchEvent> end = log.WaitEnd(session->Start(c.request));
        ASSERT_TRUE(end);
        EXPECT_EQ(end->Kind, TKind::Failed);
        EXPECT_EQ(end->Failure, TFetchFailure::BadRequest);
        EXPECT_FALSE(end->Detail.empty());
    }
}

} // namespace

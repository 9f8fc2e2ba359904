// Fetching trackers from a public list, while no service is set, against a small HTTP server
// on the loopback address inside the test.

#include "list/TorrentList.h"
#include "network/TrackerFetcher.h"
#include "tests/network/LoopbackServer.h"
#include "trackers/TrackerCell.h"
#include "trackers/TrackerLimits.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>

using namespace lintervale;
using lintervale::testing::TestServer;

namespace {

using Texts = std::vector<std::string>;

const QByteArray kListPath = "/trackers_best.txt";
// One tracker a line, blank lines between, as public lists come; some lines are no tracker
// the merge may take.
const QByteArray kList = "udp://b.example:1337/announce\n\nhttp://a.example/announce\n\n"
                         "https://s.example/announce\n\nhttp://q\"uote/a\n\nNot Found\n\n"
                         "udp://c.example:6969/announce\n";
// A list's https trackers are taken too (a service's answer gives only http and udp ones).
const std::string kMerged = "\"http://a.example/announce\"|\"https://s.example/announce\"|"
                            "\"udp://b.example:1337/announce\"|\"udp://c.example:6969/announce\"";
const std::string kQuoteLeftOut =
    ": 1 line left out, not a valid address of at most 2000 bytes without a blank, a double "
    "quote or a \"|\".";

std::string Failed(const std::string& Reason) {
    return "Could not fetch trackers: " + Reason;
}

} // namespace

class TrackerListTest : public lintervale::testing::FetcherTestBase {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void theCaptionNamesTheListsHost();
    void fetchedOncePerRunAndMergedIntoEveryRow();
    void failuresAreReportedOnceAndTheNextFetchTriesAgain();
    void theServiceWhenSetTheListOtherwise();
    void aListChangedDuringItsFetchIsNotKept();
    void aLongListFillsEveryRowToItsLimitsOnly();

private:
    // Rows named a, b, c ... from row 1 down, with hashes of the digits A, B, C ...
    void rows(const std::vector<std::string>& Cells) {
        for (int i = static_cast<int>(Cells.size()) - 1; i >= 0; --i) {
            const char digit = static_cast<char>('A' + i);
            m_List->AddRow(TTorrentRow{std::string(1, static_cast<char>('a' + i)),
                                       std::string(40, digit), Cells[i], "1", "1 MB"});
        }
    }
    void serve(const QByteArray& Path, const QByteArray& Response,
               TestServer::Mode How = TestServer::Mode::Answer) {
        m_Server->Answers.insert(Path, {Response, How, 0});
    }
    QString url(const QByteArray& Path) const { return m_Server->base() + QString(Path); }
    bool fetched() {
        fetchAll();
        return waitIdle();
    }
    void forget() {
        m_Host.Notices.clear();
        m_Host.StatusHistory.clear();
        m_Server->Paths.clear();
    }
};

void TrackerListTest::init() {
    QVERIFY(start());
    m_Fetcher->setService("", "");
    m_Fetcher->setTrackerList(url(kListPath));
}

void TrackerListTest::cleanup() {
    stop();
}

void TrackerListTest::theCaptionNamesTheListsHost() {
    QVERIFY(m_Fetcher->usesTrackerList());
    QCOMPARE(m_Fetcher->menuCaption(), QString("&Get trackers from 127.0.0.1"));
    QSignalSpy changed(m_Fetcher.get(), &TrackerFetcher::sourcesChanged);
    m_Fetcher->setTrackerList(
        "https://raw.githubusercontent.com/ngosang/trackerslist/master/trackers_best.txt");
    QCOMPARE(m_Fetcher->menuCaption(), QString("&Get trackers from raw.githubusercontent.com"));
    // A service address of blanks is no service.
    m_Fetcher->setService("  ", "Unused");
    QVERIFY(m_Fetcher->usesTrackerList());
    QCOMPARE(m_Fetcher->menuCaption(), QString("&Get trackers from raw.githubusercontent.com"));
    m_Fetcher->setService("http://service.example/api", "");
    QCOMPARE(m_Fetcher->menuCaption(), QString("&Get trackers from service.example"));
    QCOMPARE(changed.count(), 3);
}

void TrackerListTest::fetchedOncePerRunAndMergedIntoEveryRow() {
    // Reached through a redirect, as a moved list would be.
    m_Fetcher->setTrackerList(url("/moved"));
    serve("/moved", TestServer::redirect(kListPath));
    serve(kListPath, TestServer::ok(kList));
    rows({"\"udp://B.example:1337/announce\"|\"http://z/a\"", "", "\"\""});
    QSignalSpy idle(m_Fetcher.get(), &TrackerFetcher::idle);
    QVERIFY(fetched());
    QCOMPARE(m_Server->Paths, QByteArrayList({"/moved", kListPath}));
    QCOMPARE(idle.count(), 1);
    QCOMPARE(cell(1), std::string("\"http://a.example/announce\"|\"http://z/a\"|"
                                  "\"https://s.example/announce\"|"
                                  "\"udp://B.example:1337/announce\"|"
                                  "\"udp://c.example:6969/announce\""));
    QCOMPARE(cell(2), kMerged);
    QCOMPARE(cell(3), "\"\"|" + kMerged);
    // The list's line with a double quote is left out and counted: for the row it was fetched
    // for, then for the last row served from memory.
    QCOMPARE(m_Host.StatusHistory,
             Texts({"Fetching trackers for: a", "Trackers fetched for \"a\"" + kQuoteLeftOut,
                    "Trackers fetched for \"c\"" + kQuoteLeftOut}));
    QVERIFY(m_Host.Notices.empty());

    // Later fetches, of new rows too, are served from memory.
    forget();
    m_List->AddRow(TTorrentRow{"d", std::string(40, 'D'), "\"udp://d/1\"", "1", "1 MB"});
    m_List->Grid().SetCell(TTorrentGrid::ColTrackers, 3, "");
    QVERIFY(fetched());
    QVERIFY(m_Server->Paths.isEmpty());
    QCOMPARE(m_Host.StatusHistory, Texts({"Trackers fetched for \"c\"" + kQuoteLeftOut}));
    QCOMPARE(cell(1), kMerged + "|\"udp://d/1\"");
    QCOMPARE(cell(3), kMerged);
}

void TrackerListTest::failuresAreReportedOnceAndTheNextFetchTriesAgain() {
    rows({"\"http://a\"", "", "\"udp://c\""});
    struct Case {
        const char* What;
        QByteArray Path;
        QByteArray Response;
        std::string Reason;
        TestServer::Mode How = TestServer::Mode::Answer;
    };
    const Case cases[] = {
        {"not there", "/missing", TestServer::status("404 Not Found"),
         "the server answered 404 Not Found."},
        {"a page without trackers", "/page", TestServer::ok("<html>Sign in</html>\n"),
         "the list names no tracker."},
        {"over the size limit", "/big",
         TestServer::streamed("udp://big/1\n" + QByteArray(TrackerFetcher::kMaxAnswerBytes, '#')),
         "the file is larger than 1 MiB."},
        {"a redirect elsewhere than http", "/away", TestServer::redirect("ftp://127.0.0.1/x"),
         "it was sent on to ftp://127.0.0.1/x, which is not an http or https address."},
        {"nothing comes", "/silent", QByteArray(), "nothing came for 0.3 seconds.",
         TestServer::Mode::Held},
    };
    m_Fetcher->setTimeLimits(300, 60000);
    for (const Case& c : cases) {
        forget();
        serve(c.Path, c.Response, c.How);
        m_Fetcher->setTrackerList(url(c.Path));
        QVERIFY2(fetched(), c.What);
        QCOMPARE(m_Server->Paths.first(), c.Path);
        QCOMPARE(m_Host.Notices, Texts({Failed(c.Reason)}));
        QCOMPARE(m_Host.StatusHistory, Texts({"Fetching trackers for: a", Failed(c.Reason)}));
        QCOMPARE(cell(1), std::string("\"http://a\""));
        QCOMPARE(cell(2), std::string());
        QCOMPARE(cell(3), std::string("\"udp://c\""));
    }

    // An address that is no http(s) is never asked; in quiet mode only the status line tells.
    forget();
    m_Host.Quiet = true;
    m_Fetcher->setTrackerList("ftp://127.0.0.1:1/trackers.txt");
    QVERIFY(fetched());
    QVERIFY(m_Server->Paths.isEmpty());
    QVERIFY(m_Host.Notices.empty());
    QCOMPARE(m_Host.StatusHistory,
             Texts({"Fetching trackers for: a",
                    Failed("only http and https addresses can be downloaded.")}));

    // A failure is not kept: the next fetch asks again, and then the list comes.
    m_Fetcher->setTrackerList(url("/missing"));
    QVERIFY(fetched());
    serve("/missing", TestServer::ok(kList));
    forget();
    QVERIFY(fetched());
    QCOMPARE(m_Server->Paths, QByteArrayList({"/missing"}));
    QCOMPARE(cell(2), kMerged);
}

void TrackerListTest::theServiceWhenSetTheListOtherwise() {
    rows({"", ""});
    serve(kListPath, TestServer::ok(kList));
    serve("/other.txt", TestServer::ok("udp://other/1\n"));
    serve("/announce_" + QByteArray(40, 'A'), TestServer::ok("udp://service/a\n"));
    serve("/announce_" + QByteArray(40, 'B'), TestServer::ok("Not Found\n"));
    QVERIFY(fetched());

    // A service set: each hash is asked for there, as ever.
    forget();
    m_Fetcher->setService(m_Server->base(), "Svc");
    QVERIFY(fetched());
    QCOMPARE(m_Server->Paths, QByteArrayList({"/announce_" + QByteArray(40, 'A'),
                                              "/announce_" + QByteArray(40, 'B')}));
    QCOMPARE(cell(1), kMerged + "|\"udp://service/a\"");
    QCOMPARE(m_Host.Notices, Texts({"Hash not found on Svc."}));

    // The service gone again: the list in memory serves; another list is fetched anew.
    forget();
    m_Fetcher->setService("", "Svc");
    m_List->Grid().SetCell(TTorrentGrid::ColTrackers, 2, "");
    QVERIFY(fetched());
    QVERIFY(m_Server->Paths.isEmpty());
    QCOMPARE(cell(2), kMerged);
    m_Fetcher->setTrackerList(url("/other.txt"));
    QVERIFY(fetched());
    QCOMPARE(m_Server->Paths, QByteArrayList({"/other.txt"}));
    QCOMPARE(cell(2), kMerged + "|\"udp://other/1\"");
}

void TrackerListTest::aListChangedDuringItsFetchIsNotKept() {
    rows({""});
    serve(kListPath, TestServer::ok(kList), TestServer::Mode::Held);
    serve("/new.txt", TestServer::ok("udp://new/1\n"));
    m_List->SelectAll();
    m_Fetcher->fetchSelected();
    QTRY_VERIFY_WITH_TIMEOUT(m_Server->Paths.contains(kListPath), 30000);
    m_Fetcher->setTrackerList(url("/new.txt"));
    m_Server->release(kListPath);
    QVERIFY(waitIdle());
    // The answer serves the row it was asked for, but stands for the old address only.
    QCOMPARE(cell(1), kMerged);
    QVERIFY(fetched());
    QCOMPARE(m_Server->Paths, QByteArrayList({kListPath, "/new.txt"}));
    QCOMPARE(cell(1), kMerged + "|\"udp://new/1\"");
}

void TrackerListTest::aLongListFillsEveryRowToItsLimitsOnly() {
    // 1 MiB of trackers, about 70,000 lines, merged into 500 rows: each row takes what a
    // torrent holds, keeps its own tracker, and the rest is counted.
    QByteArray list;
    int lines = 0;
    while (list.size() < TrackerFetcher::kMaxAnswerBytes - 20) {
        list += "udp://t" + QByteArray::number(lines++) + ".x\n";
    }
    serve(kListPath, TestServer::ok(list));
    std::vector<std::string> cells;
    for (int i = 0; i < 500; ++i) {
        cells.push_back("\"http://own" + std::to_string(i) + ".example/a\"");
    }
    for (int i = static_cast<int>(cells.size()) - 1; i >= 0; --i) {
        char hash[41];
        std::snprintf(hash, sizeof hash, "%040d", i);
        m_List->AddRow(TTorrentRow{"r" + std::to_string(i), hash,
                                   cells[static_cast<std::size_t>(i)], "1", "1 MB"});
    }
    QVERIFY(fetched());
    QCOMPARE(m_Server->Paths, QByteArrayList({kListPath}));
    for (int row = 1; row <= 500; ++row) {
        const std::vector<std::string> trackers = ReadTrackerCell(cell(row));
        QCOMPARE(trackers.size(), kMaxTrackersPerCell);
        QVERIFY(cell(row).size() <= kMaxTrackerCellBytes);
        QVERIFY(std::find(trackers.begin(), trackers.end(),
                          "http://own" + std::to_string(row - 1) + ".example/a") != trackers.end());
    }
    QCOMPARE(m_Host.StatusHistory.back(),
             "Trackers fetched for \"r499\": " + std::to_string(lines - 199) +
                 " trackers left out, as a torrent holds at most 200 trackers in 16 KiB.");
    QVERIFY(m_Host.Notices.empty());
}

QTEST_MAIN(TrackerListTest)
#include "TrackerListTest.moc"

// Fetching trackers against a small HTTP server on the loopback address, inside the test.

#include "network/TrackerFetcher.h"

#include "list/TorrentList.h"
#include "session/SettingsStore.h"
#include "tests/network/ServiceFetcherTestBase.h"
#include "trackers/TrackerCell.h"
#include "trackers/TrackerLimits.h"

#include <QHash>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace lintervale;
using G = TTorrentGrid;
using lintervale::testing::Hash;
using lintervale::testing::kName;
using lintervale::testing::TestServer;
using lintervale::testing::Texts;

class TrackerFetcherTest : public lintervale::testing::ServiceFetcherTestBase {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void threeRowsGiveThreeRequestsInRowOrder();
    void onlyHttpAndUdpLinesAreTakenOnceEach();
    void notFoundFirstInTheMiddleAndLast();
    void notFoundInQuietMode();
    void failuresGoOnWithTheNextRow();
    void aRowRemovedDuringItsFetchDropsTheAnswer();
    void aRowMovedDuringItsFetchGetsItsAnswer();
    void aSecondFetchIsQueued();
    void rowsWithoutAHashAreNotAskedFor();
    void answersAreCheckedLikeTorrentText();
    void anAnswerCannotFloodARow();
    void serviceSettingsFallBackToDefaults();
};

void TrackerFetcherTest::init() {
    QVERIFY(startService());
}

void TrackerFetcherTest::cleanup() {
    stop();
}

void TrackerFetcherTest::threeRowsGiveThreeRequestsInRowOrder() {
    rows({{"a", "\"http://a/0\""}, {"b", ""}, {"c", "\"udp://c/0\""}});
    answer('A', TestServer::ok("udp://a/1\nhttp://a/2\n"), 30);
    answer('B', TestServer::ok("http://b/1\r\n"), 30);
    answer('C', TestServer::ok(""), 30);
    QSignalSpy idle(m_Fetcher.get(), &TrackerFetcher::idle);
    fetchAll();
    QVERIFY(m_Fetcher->busy());
    QVERIFY(waitIdle());
    QCOMPARE(m_Server->Paths, QByteArrayList({path('A'), path('B'), path('C')}));
    QCOMPARE(m_Server->MaxInFlight, 1);
    QCOMPARE(idle.count(), 1);
    QCOMPARE(m_Host.StatusHistory,
             Texts({"Fetching trackers for: a", "", "Fetching trackers for: b", "",
                    "Fetching trackers for: c", ""}));
    QCOMPARE(cell(1), std::string("\"http://a/0\"|\"http://a/2\"|\"udp://a/1\""));
    QCOMPARE(cell(2), std::string("\"http://b/1\""));
    QCOMPARE(cell(3), std::string("\"udp://c/0\""));
    QVERIFY(m_Host.Notices.empty());
    QVERIFY(m_Host.Errors.empty());
}

void TrackerFetcherTest::onlyHttpAndUdpLinesAreTakenOnceEach() {
    rows({{"r", "\"http://Tracker.example/announce\""}, {"s", "\"\""}});
    answer('A', TestServer::ok("https://secure.example/a\nHTTP://upper.example/a\n"
                               "http://tracker.EXAMPLE/announce\nudp://z.example:80\n"
                               "http://b.example/a\n\n junk\nhttp://q\"uote\nudp://b|ar\n"));
    answer('B', TestServer::ok("udp://x/1\n"));
    fetchAll();
    QVERIFY(waitIdle());
    QCOMPARE(cell(1), std::string("\"http://b.example/a\"|\"http://Tracker.example/announce\"|"
                                  "\"udp://z.example:80\""));
    // A cell of two double quotes keeps its empty item first.
    QCOMPARE(cell(2), std::string("\"\"|\"udp://x/1\""));
}

void TrackerFetcherTest::notFoundFirstInTheMiddleAndLast() {
    const std::string messy = "\"udp://b\"|\"http://a\"|\"UDP://B\"";
    rows({{"first", messy}, {"middle", messy}, {"last", messy}});
    answer('A', TestServer::ok("Not Found\nhttp://x/1\n"));
    answer('B', TestServer::ok("http://x/1\r\nNot Found\r\nhttp://x/2\r\n"));
    answer('C', TestServer::ok("http://x/1\nudp://x/3\nNot Found"));
    fetchAll();
    QVERIFY(waitIdle());
    QCOMPARE(cell(1), std::string("\"http://a\"|\"udp://b\""));
    QCOMPARE(cell(2), std::string("\"http://a\"|\"http://x/1\"|\"udp://b\""));
    QCOMPARE(cell(3), std::string("\"http://a\"|\"http://x/1\"|\"udp://b\"|\"udp://x/3\""));
    const std::string notFound = "Hash not found on Test Service.";
    QCOMPARE(m_Host.Notices, Texts(3, notFound));
    QCOMPARE(m_Host.StatusHistory,
             Texts({"Fetching trackers for: first", notFound, "", "Fetching trackers for: middle",
                    notFound, "", "Fetching trackers for: last", notFound, ""}));
}

void TrackerFetcherTest::notFoundInQuietMode() {
    m_Host.Quiet = true;
    rows({{"q", "\"udp://b\"|\"http://a\""}});
    answer('A', TestServer::ok("Not Found\n"));
    fetchAll();
    QVERIFY(waitIdle());
    QVERIFY(m_Host.Notices.empty());
    QCOMPARE(m_Host.StatusHistory,
             Texts({"Fetching trackers for: q", "Hash not found on Test Service.", ""}));
    QCOMPARE(cell(1), std::string("\"http://a\"|\"udp://b\""));
}

void TrackerFetcherTest::failuresGoOnWithTheNextRow() {
    rows({{"missing", "\"http://m\""}, {"broken", "\"http://b\""}, {"fine", "\"http://f\""}});
    answer('A', TestServer::status("404 Not Found"));
    answer('B', TestServer::status("500 Internal Server Error"));
    answer('C', TestServer::ok("udp://f/1\n"));
    fetchAll();
    QVERIFY(waitIdle());
    QCOMPARE(m_Server->Paths.size(), 3);
    QCOMPARE(cell(1), std::string("\"http://m\""));
    QCOMPARE(cell(2), std::string("\"http://b\""));
    QCOMPARE(cell(3), std::string("\"http://f\"|\"udp://f/1\""));
    const std::string missing = "Could not fetch trackers: the server answered 404 Not Found.";
    const std::string broken =
        "Could not fetch trackers: the server answered 500 Internal Server Error.";
    QCOMPARE(m_Host.Notices, Texts({missing, broken}));
    QCOMPARE(m_Host.StatusHistory,
             Texts({"Fetching trackers for: missing", missing, "Fetching trackers for: broken",
                    broken, "Fetching trackers for: fine", ""}));
}

void TrackerFetcherTest::aRowRemovedDuringItsFetchDropsTheAnswer() {
    rows({{"a", ""}, {"b", "\"http://b\""}, {"c", ""}, {"d", ""}});
    answer('A', TestServer::ok("udp://a/1\n"));
    hold('B', TestServer::ok("Not Found\nudp://b/1\n"));
    answer('C', TestServer::ok("udp://c/1\n"));
    answer('D', TestServer::ok("udp://d/1\n"));
    fetchAll();
    QTRY_VERIFY_WITH_TIMEOUT(m_Server->Paths.contains(path('B')), 30000);
    // Row b goes while its answer is on the way, row d while it waits for its turn.
    m_List->Grid().RemoveRow(4);
    m_List->Grid().RemoveRow(2);
    m_Server->release(path('B'));
    QVERIFY(waitIdle());
    QCOMPARE(m_Server->Paths, QByteArrayList({path('A'), path('B'), path('C')}));
    QCOMPARE(m_List->Grid().RowCount(), 3);
    QCOMPARE(cell(1), std::string("\"udp://a/1\""));
    QCOMPARE(cell(2), std::string("\"udp://c/1\""));
    QVERIFY(m_Host.Notices.empty());
    QCOMPARE(m_Host.StatusHistory,
             Texts({"Fetching trackers for: a", "", "Fetching trackers for: b", "",
                    "Fetching trackers for: c", ""}));
}

void TrackerFetcherTest::aRowMovedDuringItsFetchGetsItsAnswer() {
    rows({{"a", "\"http://a\""}, {"b", "\"http://b\""}, {"c", "\"http://c\""}});
    hold('A', TestServer::ok("udp://a/1\n"));
    answer('B', TestServer::ok("udp://b/1\n"));
    answer('C', TestServer::ok("udp://c/1\n"));
    fetchAll();
    QTRY_VERIFY_WITH_TIMEOUT(m_Server->Paths.contains(path('A')), 30000);
    // Row a goes to the bottom, and a new torrent comes in on top.
    m_List->Grid().MoveRow(1, 3);
    m_List->AddRow(TTorrentRow{"new", Hash('F'), "\"http://n\"", "1", "1 MB"});
    m_Server->release(path('A'));
    QVERIFY(waitIdle());
    QCOMPARE(m_List->Grid().Cell(G::ColName, 4), std::string("a"));
    QCOMPARE(cell(1), std::string("\"http://n\""));
    QCOMPARE(cell(2), std::string("\"http://b\"|\"udp://b/1\""));
    QCOMPARE(cell(3), std::string("\"http://c\"|\"udp://c/1\""));
    QCOMPARE(cell(4), std::string("\"http://a\"|\"udp://a/1\""));
    QCOMPARE(m_Server->Paths, QByteArrayList({path('A'), path('B'), path('C')}));
}

void TrackerFetcherTest::aSecondFetchIsQueued() {
    rows({{"a", ""}, {"b", ""}, {"c", ""}});
    hold('A', TestServer::ok("udp://a/1\n"));
    answer('B', TestServer::ok("udp://b/1\n"));
    answer('C', TestServer::ok("udp://c/1\n"));
    QSignalSpy idle(m_Fetcher.get(), &TrackerFetcher::idle);
    m_List->Grid().Select(1, 1);
    m_Fetcher->fetchSelected();
    QTRY_VERIFY_WITH_TIMEOUT(m_Server->Paths.contains(path('A')), 30000);
    m_List->Grid().Select(2, 3);
    m_Fetcher->fetchSelected();
    QVERIFY(m_Fetcher->busy());
    m_Server->release(path('A'));
    QVERIFY(waitIdle());
    // The second fetch waited for the first: never two requests at once.
    QCOMPARE(m_Server->MaxInFlight, 1);
    QCOMPARE(m_Server->Paths, QByteArrayList({path('A'), path('B'), path('C')}));
    QCOMPARE(idle.count(), 1);
    QCOMPARE(cell(1), std::string("\"udp://a/1\""));
    QCOMPARE(cell(2), std::string("\"udp://b/1\""));
    QCOMPARE(cell(3), std::string("\"udp://c/1\""));
}

void TrackerFetcherTest::rowsWithoutAHashAreNotAskedFor() {
    // The empty row of an empty list: nothing is asked, nothing changes.
    m_Server->Answers.insert("/announce_",
                             {TestServer::ok("udp://x/1\n"), TestServer::Mode::Answer, 0});
    QSignalSpy idle(m_Fetcher.get(), &TrackerFetcher::idle);
    m_Fetcher->fetchSelected();
    QVERIFY(!m_Fetcher->busy());
    QCOMPARE(idle.count(), 0);
    QVERIFY(m_Host.StatusHistory.empty());
    QCOMPARE(cell(1), std::string());

    // Rows without a hash between others are passed over; a hash in lower case is asked for
    // as it stands.
    rows({{"a", ""}, {"no hash", ""}, {"lower", ""}}, "AXe");
    m_List->Grid().SetCell(G::ColHash, 2, "");
    answer('A', TestServer::ok("udp://a/1\n"));
    m_Server->Answers.insert("/announce_" + QByteArray(40, 'e'),
                             {TestServer::ok("udp://e/1\n"), TestServer::Mode::Answer, 0});
    fetchAll();
    QVERIFY(waitIdle());
    QCOMPARE(m_Server->Paths, QByteArrayList({path('A'), "/announce_" + QByteArray(40, 'e')}));
    QCOMPARE(cell(1), std::string("\"udp://a/1\""));
    QCOMPARE(cell(2), std::string());
    QCOMPARE(cell(3), std::string("\"udp://e/1\""));
}

void TrackerFetcherTest::answersAreCheckedLikeTorrentText() {
    // A server's words stay words: the window shows the status line and boxes as plain text.
    const std::string kLink = "<a href=\"http://evil.example/\">repair</a> ";
    const std::string leftOut3 = "3 lines left out, not valid addresses of at most 2000 bytes "
                                 "without a blank, a double quote or a \"|\".";
    struct Case {
        const char* Name;
        QByteArray Response;
        std::string Cell;   // afterwards; each row starts with "http://own"
        std::string Status; // afterwards, and the box's text when not empty
    };
    const Case cases[] = {
        {"page", TestServer::ok("<!DOCTYPE html>\n<html><body>Sign in</body></html>\n"),
         "\"http://own\"", "Could not fetch trackers: the answer names no tracker."},
        {"mixed",
         TestServer::ok("http://a/\xC0\xAF\nudp://b/\xED\xA0\x80\nhttp://ok/1\nudp://c/\xFF\n"),
         "\"http://ok/1\"|\"http://own\"", "Trackers fetched for \"mixed\": " + leftOut3},
        {"bad only", TestServer::ok("http://a/\xC0\xAF\nudp://b/\xED\xA0\x80\nudp://c/\xFF\n"),
         "\"http://own\"",
         "Could not fetch trackers: the answer names no tracker. Trackers fetched for \"bad "
         "only\": " +
             leftOut3},
        {"phrase",
         TestServer::status("404 " + QByteArray::fromStdString(kLink) + QByteArray(10000, 'x')),
         "\"http://own\"",
         "Could not fetch trackers: the server answered 404 " + kLink +
             std::string(200 - kLink.size(), 'x') + "\xE2\x80\xA6."},
        {"empty", TestServer::ok("\n\n"), "\"http://own\"", ""},
    };
    std::vector<std::pair<std::string, std::string>> named;
    for (const Case& c : cases) {
        named.emplace_back(c.Name, "\"http://own\"");
    }
    rows(named);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        answer(static_cast<char>('A' + i), cases[i].Response);
    }
    fetchAll();
    QVERIFY(waitIdle());
    Texts boxes;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        QCOMPARE(cell(static_cast<int>(i) + 1), c.Cell);
        QCOMPARE(m_Host.StatusHistory.at(2 * i + 1), c.Status);
        if (!c.Status.empty() && c.Status.starts_with("Could not")) {
            boxes.push_back(c.Status);
        }
    }
    QCOMPARE(m_Host.Notices, boxes);
}

void TrackerFetcherTest::anAnswerCannotFloodARow() {
    // 70,000 lines of trackers in 1 MiB: the row takes what a torrent holds, and says how
    // many were left out.
    QByteArray big;
    int lines = 0;
    while (big.size() < TrackerFetcher::kMaxAnswerBytes - 20) {
        big += "udp://t" + QByteArray::number(lines++) + ".x\n";
    }
    rows({{"full", "\"http://own\""}, {"long", ""}});
    answer('A', TestServer::ok(big));
    // Addresses of 2,000 bytes and one longer: the cell's bytes bound how many go in.
    QByteArray longer;
    for (int i = 0; i < 20; ++i) {
        longer += "udp://" + QByteArray(1990, 'a') + QByteArray::number(1000 + i) + "\n";
    }
    longer += "udp://" + QByteArray(2000, 'z') + "\n";
    answer('B', TestServer::ok(longer));
    fetchAll();
    QVERIFY(waitIdle());
    QCOMPARE(ReadTrackerCell(cell(1)).size(), kMaxTrackersPerCell);
    QCOMPARE(m_Host.StatusHistory.at(1),
             "Trackers fetched for \"full\": " + std::to_string(lines - 199) +
                 " trackers left out, as a torrent holds at most 200 trackers in 16 KiB.");
    QVERIFY(cell(1).size() <= kMaxTrackerCellBytes);
    QCOMPARE(ReadTrackerCell(cell(2)).size(), std::size_t(8));
    QVERIFY(cell(2).size() <= kMaxTrackerCellBytes);
    QCOMPARE(m_Host.StatusHistory.at(3),
             std::string("Trackers fetched for \"long\": 1 line left out, not a valid address of "
                         "at most 2000 bytes without a blank, a double quote or a \"|\". 12 "
                         "trackers left out, as a torrent holds at most 200 trackers in 16 KiB."));
    QVERIFY(m_Host.Notices.empty());
}

void TrackerFetcherTest::serviceSettingsFallBackToDefaults() {
    QCOMPARE(m_Fetcher->menuCaption(), QString("&Get trackers from Test Service"));
    QVERIFY(!m_Fetcher->usesTrackerList());
    // Without a name the service's host names it; an "&" is no mnemonic.
    m_Fetcher->setService(m_Server->base() + "/api", "");
    QCOMPARE(m_Fetcher->menuCaption(), QString("&Get trackers from 127.0.0.1"));
    m_Fetcher->setService(m_Server->base(), "Tom & Jerry");
    QCOMPARE(m_Fetcher->menuCaption(), QString("&Get trackers from Tom && Jerry"));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath("Lintervale.conf");
    const SettingsStore store(file);
    QCOMPARE(store.text(SettingsStore::TrackerServiceURL), QString());
    QCOMPARE(store.text(SettingsStore::TrackerServiceName), QString());
    QCOMPARE(store.text(SettingsStore::TrackerListURL),
             QString("https://raw.githubusercontent.com/ngosang/trackerslist/master/"
                     "trackers_best.txt"));
    QVERIFY2(!QFile::exists(file), "reading writes nothing");

    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue("TrackerServiceURL", "http://127.0.0.1:8080/api");
        settings.setValue("TrackerServiceName", "");
        settings.setValue("TrackerListURL", "  ");
    }
    QCOMPARE(store.text(SettingsStore::TrackerServiceURL), QString("http://127.0.0.1:8080/api"));
    QCOMPARE(store.text(SettingsStore::TrackerServiceName), QString());
    QCOMPARE(store.text(SettingsStore::TrackerListURL),
             QString(SettingsStore::kDefaultTrackerListURL));

    // The options' own fallback writes the five options and leaves the sources alone.
    bool quiet = false;
    QVERIFY(!store.load([&](SettingsStore::Option Option, bool On) {
        quiet = quiet || (Option == SettingsStore::QuietMode && On);
    }));
    QVERIFY(quiet);
    const QSettings settings(file, QSettings::IniFormat);
    QCOMPARE(settings.value("TrackerServiceURL").toString(), QString("http://127.0.0.1:8080/api"));
    QCOMPARE(settings.value("TrackerServiceName").toString(), QString());
    QCOMPARE(settings.value("QuietMode").toInt(), 1);

    {
        QSettings named(file, QSettings::IniFormat);
        named.setValue("TrackerServiceName", "Trackers, Inc.");
    }
    QCOMPARE(store.text(SettingsStore::TrackerServiceName), QString("Trackers, Inc."));

    // Written texts read back as they were, commas and all, beside the options.
    QVERIFY(store.setTexts({"", "Lists, Inc.", "http://127.0.0.1:1/a,b.txt"}));
    QCOMPARE(store.text(SettingsStore::TrackerServiceURL), QString());
    QCOMPARE(store.text(SettingsStore::TrackerServiceName), QString("Lists, Inc."));
    QCOMPARE(store.text(SettingsStore::TrackerListURL), QString("http://127.0.0.1:1/a,b.txt"));
    QCOMPARE(QSettings(file, QSettings::IniFormat).value("QuietMode").toInt(), 1);
    // A file that cannot be written says so.
    QFile blocker(dir.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!SettingsStore(dir.filePath("blocker/Lintervale.conf")).setTexts({"", "", ""}));
}

QTEST_MAIN(TrackerFetcherTest)
#include "TrackerFetcherTest.moc"

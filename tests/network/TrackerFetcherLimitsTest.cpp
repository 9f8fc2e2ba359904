// Fetching trackers when the service fails, is slow, answers too much or sends the request
// elsewhere: against a small HTTP server on the loopback address, inside the test.

#include "network/TrackerFetcher.h"
#include "tests/network/ServiceFetcherTestBase.h"

#include <QTcpServer>
#include <QTest>

using namespace lintervale;
using lintervale::testing::kName;
using lintervale::testing::TestServer;
using lintervale::testing::Texts;

namespace {

std::string Failed(const std::string& Reason) {
    return "Could not fetch trackers: " + Reason;
}

} // namespace

class TrackerFetcherLimitsTest : public lintervale::testing::ServiceFetcherTestBase {
    Q_OBJECT
private slots:
    void init() { QVERIFY(startService()); }
    void cleanup() { stop(); }

    void anUnreachableServiceFailsEveryRow();
    void slowAnswersBreakTheTimeLimits();
    void answersOverTheSizeLimitFail();
    void onlyHttpAndHttpsServices();
    void redirectsAreBounded();
};

void TrackerFetcherLimitsTest::anUnreachableServiceFailsEveryRow() {
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    m_Fetcher->setService(QString("http://127.0.0.1:%1").arg(port), kName);
    rows({{"a", "\"http://a\""}, {"b", ""}});
    fetchAll();
    QVERIFY(waitIdle());
    const std::string refused = Failed("Connection refused.");
    QCOMPARE(m_Host.Notices, Texts(2, refused));
    QCOMPARE(m_Host.StatusHistory,
             Texts({"Fetching trackers for: a", refused, "Fetching trackers for: b", refused}));
    QCOMPARE(cell(1), std::string("\"http://a\""));
    QCOMPARE(cell(2), std::string());

    // Quiet mode: the status line only.
    m_Host.Quiet = true;
    m_Host.Notices.clear();
    m_Host.StatusHistory.clear();
    m_List->Grid().Select(2, 2);
    m_Fetcher->fetchSelected();
    QVERIFY(waitIdle());
    QVERIFY(m_Host.Notices.empty());
    QCOMPARE(m_Host.StatusHistory, Texts({"Fetching trackers for: b", refused}));
}

void TrackerFetcherLimitsTest::slowAnswersBreakTheTimeLimits() {
    rows({{"silent", "\"http://s\""}, {"dribbling", "\"http://d\""}, {"fine", ""}});
    m_Server->Answers.insert(path('A'), {QByteArray(), TestServer::Mode::Held, 0});
    m_Server->Answers.insert(path('B'), {QByteArray(), TestServer::Mode::Dribble, 0});
    answer('C', TestServer::ok("udp://f/1\n"));

    // Nothing comes back: the limit without progress ends the request.
    m_Fetcher->setTimeLimits(300, 60000);
    m_List->Grid().Select(1, 1);
    m_Fetcher->fetchSelected();
    QVERIFY(waitIdle());
    // Data keeps coming: the limit in all ends the request.
    m_Fetcher->setTimeLimits(60000, 500);
    m_List->Grid().Select(2, 2);
    m_Fetcher->fetchSelected();
    QVERIFY(waitIdle());
    // A request that must succeed gets limits a loaded machine keeps.
    m_Fetcher->setTimeLimits(60000, 60000);
    m_List->Grid().Select(3, 3);
    m_Fetcher->fetchSelected();
    QVERIFY(waitIdle());

    QCOMPARE(m_Server->Paths, QByteArrayList({path('A'), path('B'), path('C')}));
    QCOMPARE(m_Host.Notices, Texts({Failed("nothing came for 0.3 seconds."),
                                    Failed("it took longer than 0.5 seconds.")}));
    QCOMPARE(cell(1), std::string("\"http://s\""));
    QCOMPARE(cell(2), std::string("\"http://d\""));
    QCOMPARE(cell(3), std::string("\"udp://f/1\""));
}

void TrackerFetcherLimitsTest::answersOverTheSizeLimitFail() {
    rows({{"declared", "\"http://a\""},
          {"streamed", "\"http://b\""},
          {"exact", ""},
          {"packed", "\"http://d\""},
          {"packed within", ""}});
    const qint64 limit = TrackerFetcher::kMaxAnswerBytes;
    QCOMPARE(limit, qint64(1024 * 1024));
    answer('A', TestServer::ok("udp://a/1\n" + QByteArray(limit - 9, '#')));
    answer('B', TestServer::streamed("udp://b/1\n" + QByteArray(2 * limit, '#')));
    answer('C', TestServer::ok("udp://c/1\n" + QByteArray(limit - 10, '#')));
    // A gzip bomb ends as it unpacks, not at the stall limit.
    answer('D', TestServer::packed(testing::Packed("udp://d/1\n" + QByteArray(64 * limit, '\n'))));
    answer('E', TestServer::packed(testing::Packed("udp://e/1\n" + QByteArray(limit - 10, '\n'))));
    m_Fetcher->setTimeLimits(60000, 60000);
    fetchAll();
    QVERIFY(waitIdle());
    const std::string tooLarge = Failed("the file is larger than 1 MiB.");
    QCOMPARE(m_Host.Notices,
             Texts({tooLarge, tooLarge, Failed("the file is larger than 1 MiB once unpacked.")}));
    QCOMPARE(cell(1), std::string("\"http://a\""));
    QCOMPARE(cell(2), std::string("\"http://b\""));
    QCOMPARE(cell(3), std::string("\"udp://c/1\""));
    QCOMPARE(cell(4), std::string("\"http://d\""));
    QCOMPARE(cell(5), std::string("\"udp://e/1\""));
}

void TrackerFetcherLimitsTest::onlyHttpAndHttpsServices() {
    rows({{"a", "\"http://a\""}});
    for (const char* service : {"ftp://127.0.0.1:1/x", "file:///tmp", "no address", ""}) {
        m_Host.Notices.clear();
        m_Host.StatusHistory.clear();
        m_Fetcher->setService(service, kName);
        fetchAll();
        QVERIFY(waitIdle());
        const std::string refused = Failed("only http and https addresses can be downloaded.");
        QCOMPARE(m_Host.Notices, Texts(1, refused));
        QCOMPARE(m_Host.StatusHistory, Texts({"Fetching trackers for: a", refused}));
    }
    QVERIFY(m_Server->Paths.isEmpty());
    QCOMPARE(cell(1), std::string("\"http://a\""));
}

void TrackerFetcherLimitsTest::redirectsAreBounded() {
    rows({{"five", ""}, {"six", ""}, {"elsewhere", "\"http://e\""}});
    // Five hops land on an answer; six are too many.
    for (const auto& [digit, hops] : {std::pair{'A', 5}, std::pair{'B', 6}}) {
        QByteArray from = path(digit);
        for (int hop = 1; hop <= hops; ++hop) {
            const QByteArray to = "/hop" + QByteArray(1, digit) + QByteArray::number(hop);
            m_Server->Answers.insert(from, {TestServer::redirect(to), TestServer::Mode::Answer, 0});
            from = to;
        }
        m_Server->Answers.insert(from,
                                 {TestServer::ok("udp://landed/1\n"), TestServer::Mode::Answer, 0});
    }
    answer('C', TestServer::redirect("ftp://127.0.0.1/x"));
    fetchAll();
    QVERIFY(waitIdle());
    QCOMPARE(cell(1), std::string("\"udp://landed/1\""));
    QCOMPARE(cell(2), std::string());
    QCOMPARE(cell(3), std::string("\"http://e\""));
    QCOMPARE(m_Host.Notices,
             Texts({Failed("it was sent on more than 5 times."),
                    Failed("it was sent on to ftp://127.0.0.1/x, which is not an http or https "
                           "address.")}));
    QVERIFY(!m_Server->Paths.contains("/hopB6"));
}

QTEST_MAIN(TrackerFetcherLimitsTest)
#include "TrackerFetcherLimitsTest.moc"

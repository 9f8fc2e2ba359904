// Downloading a .torrent file against a small HTTP server on the loopback address.

#include "network/TorrentDownload.h"

#include "list/TorrentRow.h"
#include "network/TrackerFetcher.h"
#include "tests/network/LoopbackServer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace lintervale;
using lintervale::testing::TestServer;

class TorrentDownloadTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void aTorrentComesWholeAndLoads();
    void aStreamedBodyReportsProgress();
    void anErrorStatusFails();
    void bodiesOverTheLimitFail();
    void slowAnswersBreakTheTimeLimits();
    void redirectsAreBoundedToWebAddresses();
    void onlyHttpAndHttpsAreAskedFor();
    void anAbortedDownloadSaysNothing();

private:
    // Starts Path and waits for its one signal: the body, or the failure text.
    bool run(const QByteArray& Path) {
        m_Succeeded->clear();
        m_Failed->clear();
        m_Progress->clear();
        m_Download->start(QUrl(url(Path)));
        return QTest::qWaitFor([&] { return m_Succeeded->count() + m_Failed->count() > 0; },
                               30000) &&
               m_Succeeded->count() + m_Failed->count() == 1 && !m_Download->busy();
    }
    QString url(const QByteArray& Path) const { return m_Server->base() + Path; }
    void serve(const QByteArray& Path, const QByteArray& Response,
               TestServer::Mode How = TestServer::Mode::Answer) {
        m_Server->Answers.insert(Path, {Response, How, 0});
    }
    QByteArray body() const { return m_Succeeded->value(0).value(0).toByteArray(); }
    QString failure() const { return m_Failed->value(0).value(0).toString(); }
    QString failureOf(const QByteArray& Path, const QString& Reason) const {
        return "Could not download " + url(Path) + ": " + Reason;
    }

    std::unique_ptr<TestServer> m_Server;
    std::unique_ptr<TorrentDownload> m_Download;
    std::unique_ptr<QSignalSpy> m_Succeeded, m_Failed, m_Progress;
};

void TorrentDownloadTest::init() {
    m_Server = std::make_unique<TestServer>();
    QVERIFY(m_Server->listen());
    m_Download = std::make_unique<TorrentDownload>();
    m_Succeeded = std::make_unique<QSignalSpy>(m_Download.get(), &TorrentDownload::succeeded);
    m_Failed = std::make_unique<QSignalSpy>(m_Download.get(), &TorrentDownload::failed);
    m_Progress = std::make_unique<QSignalSpy>(m_Download.get(), &TorrentDownload::progress);
}

void TorrentDownloadTest::cleanup() {
    m_Succeeded.reset();
    m_Failed.reset();
    m_Progress.reset();
    m_Download.reset();
    m_Server.reset();
}

void TorrentDownloadTest::aTorrentComesWholeAndLoads() {
    QFile file(LINTERVALE_FIXTURES "/single.torrent");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    serve("/single.torrent", TestServer::ok(bytes));
    QVERIFY(run("/single.torrent"));
    QCOMPARE(body(), bytes);
    QVERIFY(!m_Progress->isEmpty());
    QCOMPARE(m_Progress->last(), QVariantList({qint64(bytes.size()), qint64(bytes.size())}));

    // The caller adds the bytes as a file is added: the name comes from the metainfo.
    TTorrentFile torrent;
    torrent.Load(std::string_view(body().constData(), static_cast<std::size_t>(body().size())));
    const TTorrentRow row = MakeTorrentRow(torrent);
    QCOMPARE(row.Name, std::string("ubuntu-like.iso"));
    QCOMPARE(row.Hash, std::string("ab80abf537543bb8008b1122155d60e2338369a8"));
}

void TorrentDownloadTest::aStreamedBodyReportsProgress() {
    QByteArray bytes(3 * 1024 * 1024, '\0');
    for (int i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 % 251);
    }
    serve("/big", TestServer::streamed(bytes));
    QVERIFY(run("/big"));
    QCOMPARE(body(), bytes);
    QVERIFY(m_Progress->count() > 1);
    qint64 last = 0;
    for (const QVariantList& report : *m_Progress) {
        QVERIFY(report[0].toLongLong() > last);
        last = report[0].toLongLong();
        QCOMPARE(report[1].toLongLong(), qint64(-1));
    }
    QCOMPARE(last, qint64(bytes.size()));
}

void TorrentDownloadTest::anErrorStatusFails() {
    QVERIFY(run("/missing.torrent"));
    QCOMPARE(failure(), failureOf("/missing.torrent", "the server answered 404 Not Found."));
    serve("/teapot", TestServer::status("503 Service Unavailable"));
    QVERIFY(run("/teapot"));
    QCOMPARE(failure(), failureOf("/teapot", "the server answered 503 Service Unavailable."));
    // A server's words are cut, whatever it sends.
    serve("/long", TestServer::status("500 " + QByteArray(10000, 'z')));
    QVERIFY(run("/long"));
    QCOMPARE(failure(), failureOf("/long", "the server answered 500 " + QString(200, 'z') +
                                               QChar(0x2026) + "."));
    serve("/empty", TestServer::status("204 No Content"));
    QVERIFY(run("/empty"));
    QCOMPARE(body(), QByteArray());
}

void TorrentDownloadTest::bodiesOverTheLimitFail() {
    m_Download->setMaxBytes(1000);
    const QString tooBig =
        "the file is larger than " + QString::number(1000.0 / (1024 * 1024)) + " MiB.";
    serve("/exact", TestServer::streamed(QByteArray(1000, 'x')));
    serve("/declared", TestServer::ok(QByteArray(1001, 'x')));
    serve("/streamed", TestServer::streamed(QByteArray(100000, 'x')));
    QVERIFY(run("/exact"));
    QCOMPARE(body().size(), 1000);
    QVERIFY(run("/declared"));
    QCOMPARE(failure(), failureOf("/declared", tooBig));
    QVERIFY(m_Progress->isEmpty());
    QVERIFY(run("/streamed"));
    QCOMPARE(failure(), failureOf("/streamed", tooBig));

    // The real limit, declared.
    m_Download->setMaxBytes(TorrentDownload::kMaxBytes);
    serve("/huge", "HTTP/1.1 200 OK\r\nContent-Length: 10485761\r\nConnection: close\r\n\r\nd8:");
    QVERIFY(run("/huge"));
    QCOMPARE(failure(), failureOf("/huge", "the file is larger than 10 MiB."));
    // A small packed body that unpacks past the limit ends as the bytes arrive, long before
    // the stall limit.
    m_Download->setTimeLimits(60000, 60000);
    serve("/bomb", TestServer::packed(testing::Packed(QByteArray(50 * 1024 * 1024, '\0'))));
    QVERIFY(run("/bomb"));
    QCOMPARE(failure(), failureOf("/bomb", "the file is larger than 10 MiB once unpacked."));
}

void TorrentDownloadTest::slowAnswersBreakTheTimeLimits() {
    serve("/silent", QByteArray(), TestServer::Mode::Held);
    serve("/dribbling", QByteArray(), TestServer::Mode::Dribble);
    m_Download->setTimeLimits(300, 60000);
    QVERIFY(run("/silent"));
    QCOMPARE(failure(), failureOf("/silent", "nothing came for 0.3 seconds."));
    m_Download->setTimeLimits(60000, 500);
    QVERIFY(run("/dribbling"));
    QCOMPARE(failure(), failureOf("/dribbling", "it took longer than 0.5 seconds."));
    QVERIFY(!m_Progress->isEmpty());
}

void TorrentDownloadTest::redirectsAreBoundedToWebAddresses() {
    // Five hops land; six are too many.
    for (const auto& [name, hops] : {std::pair{"five", 5}, std::pair{"six", 6}}) {
        QByteArray from = "/" + QByteArray(name);
        for (int hop = 1; hop <= hops; ++hop) {
            const QByteArray to = "/" + QByteArray(name) + QByteArray::number(hop);
            serve(from, TestServer::redirect(to));
            from = to;
        }
        serve(from, TestServer::ok("landed"));
    }
    QVERIFY(run("/five"));
    QCOMPARE(body(), QByteArray("landed"));
    QVERIFY(run("/six"));
    QCOMPARE(failure(), failureOf("/six", "it was sent on more than 5 times."));
    QVERIFY(!m_Server->Paths.contains("/six6"));

    serve("/elsewhere", TestServer::redirect("ftp://127.0.0.1/x.torrent"));
    QVERIFY(run("/elsewhere"));
    QCOMPARE(failure(), failureOf("/elsewhere", "it was sent on to ftp://127.0.0.1/x.torrent, "
                                                "which is not an http or https address."));
}

void TorrentDownloadTest::onlyHttpAndHttpsAreAskedFor() {
    for (const char* address : {"ftp://127.0.0.1/x.torrent", "file:///tmp/x.torrent",
                                "magnet:?xt=urn:btih:aa", "http:///no-host", "not an address"}) {
        m_Failed->clear();
        m_Download->start(QUrl(address));
        // Never from inside start().
        QCOMPARE(m_Failed->count(), 0);
        QVERIFY(m_Download->busy());
        QVERIFY(m_Failed->wait(10000));
        QCOMPARE(failure(), "Could not download " + QUrl(address).toDisplayString() +
                                ": only http and https addresses can be downloaded.");
    }
    QVERIFY(m_Server->Paths.isEmpty());
    QVERIFY(m_Succeeded->isEmpty());
}

void TorrentDownloadTest::anAbortedDownloadSaysNothing() {
    serve("/held", QByteArray(), TestServer::Mode::Held);
    serve("/fine", TestServer::ok("fine"));
    m_Download->start(QUrl(url("/held")));
    QTRY_COMPARE_WITH_TIMEOUT(m_Server->Paths.size(), 1, 10000);
    m_Download->abort();
    QVERIFY(!m_Download->busy());
    // A refused start aborted before its signal, then a start that replaces a running one.
    m_Download->start(QUrl("ftp://x/y"));
    m_Download->abort();
    m_Download->start(QUrl(url("/held")));
    QVERIFY(run("/fine"));
    QCOMPARE(m_Failed->count(), 0);
    QCOMPARE(body(), QByteArray("fine"));
}

QTEST_MAIN(TorrentDownloadTest)
#include "TorrentDownloadTest.moc"

// The window's side of fetching, against seeds on the loopback interface.

#include "network/ContentsFetcher.h"

#include "fetch/FetchModule.h"
#include "tests/fetch/LoopbackSeeder.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace lintervale;
using namespace lintervale::testing;

namespace {

const std::string kUnknownHash = "0123456789abcdef0123456789abcdef01234567";

// The build's fetching module, as the program would load it.
ContentsFetcher::SessionMaker BuildModule() {
    return [](const TFetchSettings& settings, TFetchHandler handler, TMessage& error) {
        return MakeFetchSession(settings, std::move(handler), error, LINTERVALE_FETCH_MODULE);
    };
}

} // namespace

class ContentsFetcherTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void theContentsArriveAsATorrent();
    void aSecondFetchOfTheSameHashIsTheFirst();
    void theTimeLimitFailsWithItsCause();
    void aCancelledFetchSaysNothing();
    void aModuleThatDoesNotLoadFailsFromTheEventLoop();
    void destroyingTheFetcherWhileItFetchesEndsPromptly();

private:
    std::unique_ptr<ContentsFetcher> m_Fetcher;
    std::unique_ptr<QSignalSpy> m_Fetched, m_Failed, m_Progress;
};

void ContentsFetcherTest::init() {
    m_Fetcher = std::make_unique<ContentsFetcher>(BuildModule());
    m_Fetcher->setSettings(LoopbackFetchSettings());
    m_Fetched = std::make_unique<QSignalSpy>(m_Fetcher.get(), &ContentsFetcher::fetched);
    m_Failed = std::make_unique<QSignalSpy>(m_Fetcher.get(), &ContentsFetcher::failed);
    m_Progress = std::make_unique<QSignalSpy>(m_Fetcher.get(), &ContentsFetcher::progress);
}

void ContentsFetcherTest::cleanup() {
    m_Fetched.reset();
    m_Failed.reset();
    m_Progress.reset();
    m_Fetcher.reset();
}

void ContentsFetcherTest::theContentsArriveAsATorrent() {
    const TLoopbackSeeder seeder(TTorrentKind::Hybrid, 3, "Hybrid seed");
    const TFetchRequest request = seeder.Request();
    m_Fetcher->fetch(request);
    const QString hash = QString::fromStdString(seeder.HashV1());
    QCOMPARE(ContentsFetcher::hashOf(request), hash);
    QVERIFY(m_Fetcher->isFetching(hash));
    QCOMPARE(m_Fetcher->fetchingCount(), 1);
    QVERIFY(m_Fetched->wait(60000));
    QCOMPARE(m_Fetched->count(), 1);
    QCOMPARE(m_Fetched->at(0).at(0).toString(), hash);
    QCOMPARE(m_Fetched->at(0).at(1).toByteArray(),
             QByteArray::fromStdString("d4:info" + seeder.Info() + "e"));
    QCOMPARE(m_Failed->count(), 0);
    QVERIFY(!m_Fetcher->isFetching(hash));
    QCOMPARE(m_Fetcher->fetchingCount(), 0);
    for (const QList<QVariant>& progress : *m_Progress) {
        QCOMPARE(progress.at(0).toString(), hash);
    }
}

void ContentsFetcherTest::aSecondFetchOfTheSameHashIsTheFirst() {
    const TLoopbackSeeder seeder(TTorrentKind::V1, 2);
    m_Fetcher->fetch(seeder.Request());
    m_Fetcher->fetch(seeder.Request());
    QCOMPARE(m_Fetcher->fetchingCount(), 1);
    QVERIFY(m_Fetched->wait(60000));
    // Anything more would have come with the first.
    QCoreApplication::processEvents();
    QCOMPARE(m_Fetched->count(), 1);
    QCOMPARE(m_Failed->count(), 0);
}

void ContentsFetcherTest::theTimeLimitFailsWithItsCause() {
    m_Fetcher->fetch({.HashV1 = kUnknownHash, .TimeLimitSeconds = 1});
    QVERIFY(m_Failed->wait(30000));
    QCOMPARE(m_Failed->count(), 1);
    QCOMPARE(m_Failed->at(0).at(0).toString(), QString::fromStdString(kUnknownHash));
    QCOMPARE(m_Failed->at(0).at(1).toString(), "no peer sent the contents within 1 second");
    QCOMPARE(m_Fetcher->fetchingCount(), 0);
}

void ContentsFetcherTest::aCancelledFetchSaysNothing() {
    const QString hash = QString::fromStdString(kUnknownHash);
    m_Fetcher->fetch({.HashV1 = kUnknownHash, .TimeLimitSeconds = 600});
    m_Fetcher->cancel(hash);
    QVERIFY(!m_Fetcher->isFetching(hash));
    // The same hash again, ended by its time limit: its failure is the only signal, the
    // cancelled fetch's end goes nowhere.
    m_Fetcher->fetch({.HashV1 = kUnknownHash, .TimeLimitSeconds = 1});
    m_Fetcher->fetch({.HashV2 = std::string(64, 'a'), .TimeLimitSeconds = 600});
    m_Fetcher->cancelAll();
    QCOMPARE(m_Fetcher->fetchingCount(), 0);
    m_Fetcher->fetch({.HashV1 = kUnknownHash, .TimeLimitSeconds = 1});
    QVERIFY(m_Failed->wait(30000));
    QCoreApplication::processEvents();
    QCOMPARE(m_Failed->count(), 1);
    QCOMPARE(m_Failed->at(0).at(1).toString(), "no peer sent the contents within 1 second");
    QCOMPARE(m_Fetched->count(), 0);
}

void ContentsFetcherTest::aModuleThatDoesNotLoadFailsFromTheEventLoop() {
    ContentsFetcher fetcher([](const TFetchSettings&, TFetchHandler, TMessage& error) {
        error = TMessage(Translatable("Message", "The fetching library cannot be loaded: %1"),
                         {"gone"});
        return std::unique_ptr<IContentsFetchSession>();
    });
    QSignalSpy failed(&fetcher, &ContentsFetcher::failed);
    fetcher.fetch({.HashV1 = kUnknownHash});
    QCOMPARE(failed.count(), 0);
    QCOMPARE(fetcher.fetchingCount(), 0);
    QVERIFY(failed.wait(5000));
    QCOMPARE(failed.at(0).at(1).toString(), "The fetching library cannot be loaded: gone");
}

void ContentsFetcherTest::destroyingTheFetcherWhileItFetchesEndsPromptly() {
    const TLoopbackSeeder seeder(TTorrentKind::V1, 2000);
    THalfPeer half(seeder.Info(), seeder.HashV1(), 1);
    TFetchRequest request = seeder.Request(600);
    request.Peers = {half.Peer()};
    m_Fetcher->fetch(request);
    m_Fetcher->fetch({.HashV1 = kUnknownHash, .TimeLimitSeconds = 600});
    QVERIFY(half.WaitSent(std::chrono::seconds(30)));
    int ends = 0;
    const auto count = [&ends] { ++ends; };
    connect(m_Fetcher.get(), &ContentsFetcher::fetched, this, count);
    connect(m_Fetcher.get(), &ContentsFetcher::failed, this, count);
    QElapsedTimer timer;
    timer.start();
    cleanup();
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QCoreApplication::processEvents();
    QCOMPARE(ends, 0);
}

QTEST_GUILESS_MAIN(ContentsFetcherTest)
#include "ContentsFetcherTest.moc"

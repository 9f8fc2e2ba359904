// The bounded download against a small HTTP server on the loopback address: every way a
// download can end, each ending exactly once, and never a warning from the network code.

#include "network/BoundedDownload.h"

#include "tests/network/LoopbackServer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace lintervale;
using lintervale::testing::Packed;
using lintervale::testing::TestServer;
using lintervale::testing::WarningRecorder;
using Cause = BoundedDownload::Cause;

namespace {

constexpr qint64 kMiB = 1024 * 1024;
const QString kLong = QString(300, QChar('w'));
const QString kCut = QString(200, QChar('w')) + QChar(0x2026);

} // namespace

class BoundedDownloadTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void everyWayEndsOnce();
    void aReceiverMayAbortOrDeleteFromItsSignals();
    void aDestroyedDownloadSaysNothing();

private:
    QString url(const QByteArray& Path) const { return m_Server->base() + Path; }
    void serve(const QByteArray& Path, const QByteArray& Response,
               TestServer::Mode How = TestServer::Mode::Answer) {
        m_Server->Answers.insert(Path, {Response, How, 0});
    }
    QList<BoundedDownload::Result> m_Ends;
    std::unique_ptr<WarningRecorder> m_Warnings;
    std::unique_ptr<TestServer> m_Server;
    std::unique_ptr<BoundedDownload> m_Download;
};

void BoundedDownloadTest::init() {
    m_Warnings = std::make_unique<WarningRecorder>();
    m_Server = std::make_unique<TestServer>();
    QVERIFY(m_Server->listen());
    m_Download = std::make_unique<BoundedDownload>();
    m_Download->setBounds({.MaxBytes = kMiB});
    m_Ends.clear();
    connect(m_Download.get(), &BoundedDownload::ended, this,
            [this](const BoundedDownload::Result& Result) { m_Ends.append(Result); });
    serve("/fine", TestServer::ok("fine"));
}

void BoundedDownloadTest::cleanup() {
    m_Download.reset();
    m_Server.reset();
    QCOMPARE(WarningRecorder::take(), QStringList());
    m_Warnings.reset();
}

void BoundedDownloadTest::everyWayEndsOnce() {
    const QByteArray zeros(20 * kMiB, '\0');
    QByteArray gzipDamaged = Packed("udp://a/1\n");
    gzipDamaged[gzipDamaged.size() / 2] = '\xff';
    gzipDamaged[gzipDamaged.size() / 2 + 1] = '\xff';
    // Six hops back to the start: more redirects than allowed.
    for (int hop = 0; hop < 6; ++hop) {
        serve("/loop" + QByteArray::number(hop),
              TestServer::redirect("/loop" + QByteArray::number((hop + 1) % 6)));
    }
    struct Case {
        const char* What = "";
        QByteArray Path{};
        QByteArray Response{};
        TestServer::Mode How = TestServer::Mode::Answer;
        QString Address{}; // when not Path on the server
        qint64 MaxBytes = kMiB;
        int Stall = 60000;
        int Total = 60000;
        bool AbortWhenAsked = false;
        Cause Why = Cause::None;
        QString Reason{};
        QByteArray Body{};
    };
    const Case cases[] = {
        {.What = "whole",
         .Path = "/whole",
         .Response = TestServer::ok("udp://a/1\n"),
         .Body = "udp://a/1\n"},
        {.What = "exactly at the limit",
         .Path = "/exact",
         .Response = TestServer::streamed(QByteArray(1000, 'x')),
         .MaxBytes = 1000,
         .Body = QByteArray(1000, 'x')},
        {.What = "declared over the limit",
         .Path = "/declared",
         .Response = TestServer::ok(QByteArray(kMiB + 1, 'x')),
         .Why = Cause::TooLarge,
         .Reason = "the file is larger than 1 MiB."},
        {.What = "streamed over the limit",
         .Path = "/streamed",
         .Response = TestServer::streamed(QByteArray(3 * kMiB, 'x')),
         .Why = Cause::TooLarge,
         .Reason = "the file is larger than 1 MiB."},
        {.What = "a gzip bomb",
         .Path = "/bomb",
         .Response = TestServer::packed(Packed(zeros)),
         .Why = Cause::TooLargeUnpacked,
         .Reason = "the file is larger than 1 MiB once unpacked."},
        {.What = "a gzip bomb against the torrent bound",
         .Path = "/bomb10",
         .Response = TestServer::packed(Packed(zeros)),
         .MaxBytes = 10 * kMiB,
         .Why = Cause::TooLargeUnpacked,
         .Reason = "the file is larger than 10 MiB once unpacked."},
        {.What = "gzip within the limit",
         .Path = "/gzip",
         .Response = TestServer::packed(Packed(QByteArray(500000, 'u'))),
         .Body = QByteArray(500000, 'u')},
        {.What = "deflate",
         .Path = "/deflate",
         .Response = TestServer::packed(Packed("udp://d/1\n", false), "deflate"),
         .Body = "udp://d/1\n"},
        {.What = "an encoding not asked for",
         .Path = "/br",
         .Response = TestServer::packed("abc", "br"),
         .Why = Cause::BadPacking,
         .Reason = "the server packed it as br, which was not asked for."},
        {.What = "damaged gzip",
         .Path = "/damaged",
         .Response = TestServer::packed(gzipDamaged),
         .Why = Cause::BadPacking},
        {.What = "gzip cut short",
         .Path = "/short",
         .Response = TestServer::packed(Packed(QByteArray(100000, 'u')).left(100)),
         .Why = Cause::BadPacking,
         .Reason = "the server's packed body ended early."},
        {.What = "a stall",
         .Path = "/silent",
         .How = TestServer::Mode::Held,
         .Stall = 300,
         .Why = Cause::Stalled,
         .Reason = "nothing came for 0.3 seconds."},
        {.What = "a drip past the total",
         .Path = "/drip",
         .How = TestServer::Mode::Dribble,
         .Total = 500,
         .Why = Cause::TooSlow,
         .Reason = "it took longer than 0.5 seconds."},
        {.What = "a redirect loop",
         .Path = "/loop0",
         .Response = TestServer::redirect("/loop1"),
         .Why = Cause::TooManyRedirects,
         .Reason = "it was sent on more than 5 times."},
        {.What = "a redirect to ftp",
         .Path = "/ftp",
         .Response = TestServer::redirect("ftp://127.0.0.1/x"),
         .Why = Cause::RedirectRefused,
         .Reason = "it was sent on to ftp://127.0.0.1/x, which is not an http or https address."},
        {.What = "a refused scheme",
         .Address = "file:///etc/passwd",
         .Why = Cause::NotWebAddress,
         .Reason = "only http and https addresses can be downloaded."},
        {.What = "a long reason phrase",
         .Path = "/phrase",
         .Response = TestServer::status("404 " + kLong.toLatin1()),
         .Why = Cause::HttpStatus,
         .Reason = "the server answered 404 " + kCut + "."},
        {.What = "a long redirect target",
         .Path = "/far",
         .Response = TestServer::redirect("ftp://h/" + kLong.toLatin1()),
         .Why = Cause::RedirectRefused,
         .Reason = "it was sent on to " + QString("ftp://h/" + kLong).left(200) + QChar(0x2026) +
                   ", which is not an http or https address."},
        {.What = "abort() by the user",
         .Path = "/held",
         .How = TestServer::Mode::Held,
         .AbortWhenAsked = true,
         .Why = Cause::Aborted},
    };
    for (const Case& c : cases) {
        m_Ends.clear();
        m_Server->Paths.clear();
        if (!c.Path.isEmpty()) {
            serve(c.Path, c.Response, c.How);
        }
        m_Download->setBounds({.MaxBytes = c.MaxBytes,
                               .StallMilliseconds = c.Stall,
                               .TotalMilliseconds = c.Total,
                               .MaxRedirects = kWebMaxRedirects});
        QElapsedTimer clock;
        clock.start();
        m_Download->start(QUrl(c.Address.isEmpty() ? url(c.Path) : c.Address));
        QVERIFY2(m_Download->busy(), c.What);
        QVERIFY2(m_Ends.isEmpty(), "never from inside start()");
        if (c.AbortWhenAsked) {
            QTRY_VERIFY_WITH_TIMEOUT(!m_Server->Paths.isEmpty(), 10000);
            m_Download->abort();
            QVERIFY(!m_Download->busy());
            QVERIFY2(m_Ends.isEmpty(), "never from inside abort()");
        }
        QTRY_VERIFY2_WITH_TIMEOUT(!m_Ends.isEmpty(), c.What, 30000);
        // Whatever of the old reply is still on its way arrives before the next answer.
        m_Download->setBounds({.MaxBytes = kMiB});
        m_Download->start(QUrl(url("/fine")));
        QTRY_VERIFY2_WITH_TIMEOUT(m_Ends.size() >= 2, c.What, 30000);
        QVERIFY2(m_Ends.size() == 2, c.What);
        const BoundedDownload::Result& end = m_Ends.first();
        QVERIFY2(end.Why == c.Why, c.What);
        if (!c.Reason.isEmpty() || c.Why == Cause::None) {
            QCOMPARE(end.Reason, c.Reason);
        } else {
            QVERIFY2(!end.Reason.isEmpty() || c.Why == Cause::Aborted, c.What);
        }
        QCOMPARE(end.Bytes, c.Body);
        QCOMPARE(m_Ends.last().Bytes, QByteArray("fine"));
        QVERIFY2(clock.elapsed() < 20000, c.What); // a bound, not the stall limit, ended it
        const QStringList warnings = WarningRecorder::take();
        QVERIFY2(warnings.isEmpty(), qPrintable(c.What + (": " + warnings.join("; "))));
    }
}

void BoundedDownloadTest::aReceiverMayAbortOrDeleteFromItsSignals() {
    // Aborted while its end is on its way: it ends once, as aborted.
    m_Download->start(QUrl("ftp://127.0.0.1/x"));
    m_Download->abort();
    QTRY_COMPARE_WITH_TIMEOUT(m_Ends.size(), 1, 30000);
    QCOMPARE(int(m_Ends.first().Why), int(Cause::Aborted));
    m_Ends.clear();

    // Aborted from inside progress, which runs inside the reply's own signal.
    serve("/drip", QByteArray(), TestServer::Mode::Dribble);
    connect(m_Download.get(), &BoundedDownload::progress, this, [this] { m_Download->abort(); });
    m_Download->start(QUrl(url("/drip")));
    QTRY_COMPARE_WITH_TIMEOUT(m_Ends.size(), 1, 30000);
    QCOMPARE(int(m_Ends.first().Why), int(Cause::Aborted));

    // A start() from inside ended(), then a deleteLater() from inside the next one.
    m_Download->disconnect(this);
    m_Ends.clear();
    auto* download = m_Download.release();
    int ends = 0;
    connect(download, &BoundedDownload::ended, this, [&](const BoundedDownload::Result& Result) {
        if (++ends == 1) {
            QVERIFY(Result.Why == Cause::NotWebAddress);
            download->start(QUrl(url("/fine")));
        } else {
            QCOMPARE(Result.Bytes, QByteArray("fine"));
            download->deleteLater();
        }
    });
    QPointer<BoundedDownload> guard(download);
    download->start(QUrl("ftp://127.0.0.1/x"));
    QTRY_VERIFY_WITH_TIMEOUT(guard == nullptr, 30000);
    QCOMPARE(ends, 2);
}

void BoundedDownloadTest::aDestroyedDownloadSaysNothing() {
    serve("/held", QByteArray(), TestServer::Mode::Held);
    m_Download->start(QUrl(url("/held")));
    QTRY_VERIFY_WITH_TIMEOUT(!m_Server->Paths.isEmpty(), 10000);
    m_Download.reset();
    // The server sees the connection go; nothing is left to say anything.
    QTRY_COMPARE_WITH_TIMEOUT(m_Server->InFlight, 0, 10000);
    QVERIFY(m_Ends.isEmpty());
}

QTEST_MAIN(BoundedDownloadTest)
#include "BoundedDownloadTest.moc"

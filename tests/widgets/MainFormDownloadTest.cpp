// Web addresses dropped on the main window, downloaded from a server on the loopback address
// and added as files are. Offscreen.

#include "tests/network/LoopbackServer.h"
#include "tests/widgets/FormTestBase.h"
#include "widgets/KeptTorrents.h"
#include "widgets/MainForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMimeData>
#include <QRegularExpression>
#include <QTest>

using namespace lintervale;
using lintervale::testing::TestServer;

class MainFormDownloadTest : public lintervale::testing::FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitFormResources(); }
    void init();
    void cleanup();

    void droppedAddressesAreAddedOneAfterAnother();
    void failuresShowOnTheStatusLineAndInABoxUnlessQuiet();
    void progressShowsAndACloseEndsTheDownloads();

private:
    QByteArray torrentBytes(const char* Name) {
        QFile file(torrent(Name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString url(const char* Path) const { return m_Server->base() + Path; }
    void dropUrls(const QStringList& Urls) {
        QMimeData data;
        data.setData("text/uri-list", (Urls.join("\r\n") + "\r\n").toUtf8());
        QVERIFY(dropOnForm(data));
    }
    void waitForDownloads() {
        QTRY_VERIFY_WITH_TIMEOUT(!m_Form->downloading() && !m_Form->adding(), 30000);
    }

    std::unique_ptr<TestServer> m_Server;
};

void MainFormDownloadTest::init() {
    setUpForm();
    m_Server = std::make_unique<TestServer>();
    QVERIFY(m_Server->listen());
}

void MainFormDownloadTest::cleanup() {
    tearDownForm();
    m_Server.reset();
}

void MainFormDownloadTest::droppedAddressesAreAddedOneAfterAnother() {
    // Answers that take a while, so that two at once would overlap.
    m_Server->Answers.insert(
        "/get?id=1", {TestServer::ok(torrentBytes("first name")), TestServer::Mode::Answer, 150});
    m_Server->Answers.insert("/files/second.torrent", {TestServer::ok(torrentBytes("second")),
                                                       TestServer::Mode::Answer, 150});
    m_Form->AddFile(torrent("listed"));
    dropUrls({url("/get?id=1"), url("/files/second.torrent")});
    QVERIFY(m_Form->downloading());
    waitForDownloads();
    // Named from the metainfo, each on top as a file would be.
    QCOMPARE(names(), QStringList({"second", "first name", "listed"}));
    QCOMPARE(m_Server->MaxInFlight, 1);
    QCOMPARE(m_Server->Paths, QByteArrayList({"/get?id=1", "/files/second.torrent"}));
    QCOMPARE(status(), "Downloaded " + url("/files/second.torrent") + ".");
    // Each is kept byte for byte, as an added file is.
    const KeptTorrents::Kept kept = m_Form->kept().read(
        m_Form->List().Grid().Cell(TTorrentGrid::ColHash, 2), "first name");
    QVERIFY(kept.Bytes.has_value());
    QCOMPARE(QByteArray::fromStdString(*kept.Bytes), torrentBytes("first name"));

    // An address dropped as text, as a browser's address bar gives it; a listed torrent is a
    // duplicate as its file would be: its row becomes current.
    QMimeData text;
    text.setText("  " + url("/get?id=1") + "\n");
    QVERIFY(dropOnForm(text));
    waitForDownloads();
    QCOMPARE(names().size(), 3);
    QCOMPARE(m_Form->List().Grid().Row(), 2);
    QCOMPARE(status(), QString("1 trackers for \"first name\""));
}

void MainFormDownloadTest::failuresShowOnTheStatusLineAndInABoxUnlessQuiet() {
    m_Server->Answers.insert("/page.html", {TestServer::ok("<html>no torrent</html>"), {}, 0});
    const QString missing =
        "Could not download " + url("/missing.torrent") + ": the server answered 404 Not Found.";
    const QString notTorrent = "Could not add " + url("/page.html") +
                               ": Something bad happened while trying to load the file, probably "
                               "corrupt metainfo. (not bencoded data at byte 0)";
    struct Case {
        bool Quiet;
        const char* Path;
        QString Text;
    };
    const Case cases[] = {
        {false, "/missing.torrent", missing},
        {true, "/missing.torrent", missing},
        {false, "/page.html", notTorrent},
        {true, "/page.html", notTorrent},
    };
    for (const Case& c : cases) {
        child<QCheckBox>("CheckBox4")->setChecked(c.Quiet);
        MessageBoxes::clearShown();
        dropUrls({url(c.Path)});
        waitForDownloads();
        QCOMPARE(status(), c.Text);
        QCOMPARE(MessageBoxes::shown(), c.Quiet ? QStringList() : QStringList(c.Text));
        QCOMPARE(names(), QStringList({""}));
    }

    // Several addresses: every failure stays on the status line until the drop is through.
    child<QCheckBox>("CheckBox4")->setChecked(true);
    dropUrls({url("/missing.torrent"), url("/page.html")});
    waitForDownloads();
    QCOMPARE(status(), missing + "  " + notTorrent);

    // A failure during a long batch is told again when the batch is through.
    child<QCheckBox>("CheckBox4")->setChecked(true);
    m_Form->adder().setSliceMilliseconds(0);
    QString links;
    for (int i = 0; i < 300; ++i) {
        links += QString("magnet:?xt=urn:btih:%1 ").arg(i, 40, 16, QChar('0'));
    }
    dropUrls({url("/missing.torrent")});
    m_Form->adder().addLinkText(links);
    waitForDownloads();
    QCOMPARE(status(), "300 added  " + missing);
}

void MainFormDownloadTest::progressShowsAndACloseEndsTheDownloads() {
    m_Server->Answers.insert("/slow", {QByteArray(), TestServer::Mode::Dribble, 0});
    dropUrls({url("/slow"), url("/next.torrent")});
    // Under 1 KiB the progress counts bytes.
    const QRegularExpression progress("^Downloading " + QRegularExpression::escape(url("/slow")) +
                                      ": [1-9]\\d* bytes$");
    QTRY_VERIFY_WITH_TIMEOUT(progress.match(status()).hasMatch(), 20000);
    QVERIFY(m_Form->downloading());
    QCOMPARE(m_Server->Paths, QByteArrayList({"/slow"})); // the next waits its turn
    m_Form->close();
    QVERIFY(!m_Form->downloading());
}

QTEST_MAIN(MainFormDownloadTest)
#include "MainFormDownloadTest.moc"

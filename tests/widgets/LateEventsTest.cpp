// The main window while something waits: an added torrent's link that waits for its tracker
// fetch, and the tracker editor while torrents keep arriving. Offscreen.

#include "network/TrackerFetcher.h"
#include "tests/list/RecordingHost.h"
#include "tests/widgets/WindowTesting.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <memory>

using namespace lintervale;
using G = TTorrentGrid;

// Receives what the window hands to the desktop.
class LinkSink : public QObject {
    Q_OBJECT
public:
    QStringList Urls;
public slots:
    void open(const QUrl& Url) { Urls.append(Url.toString(QUrl::FullyEncoded)); }
};

namespace {

// A tracker-search service on the loopback address that holds every request until the test
// answers it.
class HeldService : public QObject {
public:
    HeldService() {
        connect(&m_Server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_Server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                    QByteArray& request = m_Requests[socket];
                    request += socket->readAll();
                    if (request.contains("\r\n\r\n") && !m_Held.contains(socket)) {
                        m_Held.append(socket);
                    }
                });
            }
        });
    }
    bool listen() { return m_Server.listen(QHostAddress::LocalHost); }
    QString base() const { return QString("http://127.0.0.1:%1").arg(m_Server.serverPort()); }
    int held() const { return static_cast<int>(m_Held.size()); }
    // The path the oldest held request asks for.
    QByteArray heldPath() const { return m_Requests.value(m_Held.value(0)).split(' ').value(1); }
    void answer(const QByteArray& Body, const QByteArray& Status = "200 OK") {
        QPointer<QTcpSocket> socket = m_Held.takeFirst();
        if (socket != nullptr) {
            socket->write("HTTP/1.1 " + Status + "\r\nConnection: close\r\nContent-Length: " +
                          QByteArray::number(Body.size()) + "\r\n\r\n" + Body);
            socket->disconnectFromHost();
        }
    }

private:
    QTcpServer m_Server;
    QList<QTcpSocket*> m_Held;
    QHash<QTcpSocket*, QByteArray> m_Requests;
};

} // namespace

class LateEventsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void anAddedTorrentOpensOnceItsFetchHasEnded();
    void theEditorKeepsItsTorrentWhileOthersArrive();

private:
    QString torrent(const char* Name, const char* Announce = "http://t.example/a") {
        return QString::fromStdString(
            testing::WriteTorrent(m_Dir->path().toStdString(), Name, Announce));
    }
    // The row that holds the torrent named Name, or 0.
    int rowOf(const char* Name) const {
        const G& grid = m_Form->List().Grid();
        for (int r = 1; r < grid.RowCount(); ++r) {
            if (grid.Cell(G::ColName, r) == Name) {
                return r;
            }
        }
        return 0;
    }
    std::string trackersOf(const char* Name) const {
        return m_Form->List().Grid().Cell(G::ColTrackers, rowOf(Name));
    }
    QString status() const { return m_Form->findChild<QLabel*>("StatusText")->text(); }

    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<MainForm> m_Form;
    LinkSink m_Links;
};

void LateEventsTest::initTestCase() {
    InitWindowTests();
}

void LateEventsTest::init() {
    m_Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Dir->isValid());
    m_Links.Urls.clear();
    QDesktopServices::setUrlHandler("magnet", &m_Links, "open");
    m_Form = testing::MakeWindow(*m_Dir);
}

void LateEventsTest::cleanup() {
    m_Form.reset();
    QDesktopServices::unsetUrlHandler("magnet");
    m_Dir.reset();
}

void LateEventsTest::anAddedTorrentOpensOnceItsFetchHasEnded() {
    HeldService service;
    QVERIFY(service.listen());
    m_Form->Fetcher().setService(service.base(), "the test service");
    m_Form->findChild<QCheckBox*>("CheckBox7")->setChecked(true); // fetch more trackers
    m_Form->findChild<QCheckBox*>("CheckBox3")->setChecked(true); // auto-open added files

    m_Form->AddFile(torrent("first"));
    const std::string firstHash = m_Form->List().Grid().Cell(G::ColHash, 1);
    QTRY_COMPARE_WITH_TIMEOUT(service.held(), 1, 10000);
    QCOMPARE(service.heldPath(), QByteArray::fromStdString("/announce_" + firstHash));
    QVERIFY(m_Links.Urls.isEmpty());

    // The window goes on meanwhile: another torrent comes, a click shows its row.
    m_Form->AddFile(torrent("second"));
    QCOMPARE(rowOf("second"), 1);
    QVERIFY(m_Links.Urls.isEmpty());
    QCOMPARE(status(), QString("Fetching trackers for: first"));

    service.answer("udp://fetched.example/1\nnot a tracker\n");
    QTRY_COMPARE_WITH_TIMEOUT(m_Links.Urls.size(), 1, 10000);
    QVERIFY2(m_Links.Urls[0].contains("&dn=first&"), qPrintable(m_Links.Urls[0]));
    QVERIFY2(m_Links.Urls[0].contains("&tr=udp://fetched.example/1"), qPrintable(m_Links.Urls[0]));
    QCOMPARE(m_Form->List().Grid().Row(), 1); // the late open moves no selection

    // The second fetch fails: its link opens all the same, with the trackers it has.
    QTRY_COMPARE_WITH_TIMEOUT(service.held(), 1, 10000);
    service.answer(QByteArray(), "503 Service Unavailable");
    QTRY_COMPARE_WITH_TIMEOUT(m_Links.Urls.size(), 2, 10000);
    QCOMPARE(status(),
             QString("Could not fetch trackers: the server answered 503 Service Unavailable."));
    QVERIFY(m_Links.Urls[1].contains("&dn=second&tr=http://t.example/a"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_Form->Fetcher().busy(), 10000);

    // What the run of fetches merged is one step back, and forth.
    QUndoStack& steps = m_Form->undoStack();
    QCOMPARE(steps.undoText(), QString("Fetched trackers"));
    const auto trackersOfFirst = [&] {
        return m_Form->List().Grid().Cell(G::ColTrackers, rowOf("first"));
    };
    const std::string fetched = trackersOfFirst();
    steps.undo();
    QCOMPARE(trackersOfFirst(), std::string("\"http://t.example/a\""));
    steps.redo();
    QCOMPARE(trackersOfFirst(), fetched);
}

void LateEventsTest::theEditorKeepsItsTorrentWhileOthersArrive() {
    for (const char* name : {"c", "b", "a"}) {
        m_Form->AddFile(torrent(name));
    }
    m_Form->adder().setSliceMilliseconds(
        60000);                      // a batch in one slice: no progress on the status line
    m_Form->List().UserSelect(2, 2); // "b"
    m_Form->showStatus("before");
    bool edited = false;
    QTimer::singleShot(0, this, [&] {
        auto* editor = m_Form->findChild<QDialog*>("EditForm");
        QVERIFY(editor != nullptr && editor->isVisible());
        editor->findChild<QPushButton*>("AddBtn")->click();
        QTest::keyClicks(editor->findChild<QLineEdit*>("Edit1"), "udp://edited/1");
        // While the editor is up, a batch and a single file (as a hand-off brings) arrive,
        // each on top.
        m_Form->AddFiles({torrent("batch1"), torrent("batch2")});
        m_Form->AddFile(torrent("handed"));
        QTRY_VERIFY_WITH_TIMEOUT(!m_Form->adding(), 10000);
        editor->findChild<QPushButton*>("SaveBtn")->click();
        edited = true;
    });
    m_Form->findChild<QAction*>("Edittrackerlist")->trigger();
    QVERIFY(edited);
    QCOMPARE(rowOf("b"), 5);
    QCOMPARE(trackersOf("b"), std::string("\"http://t.example/a\"|\"udp://edited/1\""));
    for (const char* other : {"handed", "batch2", "batch1", "a", "c"}) {
        QCOMPARE(trackersOf(other), std::string("\"http://t.example/a\""));
    }
    // The batch that came meanwhile sums itself up.
    QCOMPARE(status(), QString("2 added"));
}

QTEST_MAIN(LateEventsTest)
#include "LateEventsTest.moc"

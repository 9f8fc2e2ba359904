// The running copy's side of the hand-off, in one process: later copies that come before the
// window is ready, and peers that go away while a box opened by their file is up.

#include "session/RunningCopy.h"

#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <array>
#include <atomic>
#include <functional>
#include <memory>

using namespace lintervale;

class HandOffTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void laterCopiesWaitUntilTheWindowServes();
    void aPeerGoneWhileItsFileIsAddedIsLetGo_data();
    void aPeerGoneWhileItsFileIsAddedIsLetGo();
    void aClosingCopyTakesNoMoreFiles();
    void aLaterCopyToldClosingRunsWithTheFilesNotTaken();
    void aNewerCopysMessagesArePassedOver();
    void anOlderRunningCopyTakesEveryFileOfANewerOne();

private:
    // Connects a later copy and sends it the hand-off of File.
    std::unique_ptr<QLocalSocket> handOff(const QString& File);
    static std::unique_ptr<QLocalSocket> handOffTo(RunningCopy& Copy, const QString& File);
    // The running copy's end of the connections it has.
    QList<QLocalSocket*> served() const { return m_Copy->findChildren<QLocalSocket*>(); }

    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<RunningCopy> m_Copy;
};

void HandOffTest::init() {
    m_Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Dir->isValid());
    m_Copy = std::make_unique<RunningCopy>(m_Dir->filePath("program"));
    QVERIFY(m_Copy->tryToRun());
    QVERIFY(m_Copy->listen());
}

void HandOffTest::cleanup() {
    m_Copy.reset();
    m_Dir.reset();
}

std::unique_ptr<QLocalSocket> HandOffTest::handOff(const QString& File) {
    return handOffTo(*m_Copy, File);
}

std::unique_ptr<QLocalSocket> HandOffTest::handOffTo(RunningCopy& Copy, const QString& File) {
    auto peer = std::make_unique<QLocalSocket>();
    peer->connectToServer(Copy.socketName());
    if (peer->waitForConnected(5000)) {
        peer->write(RunningCopy::handOffMessage(File));
        peer->flush();
    }
    return peer;
}

void HandOffTest::laterCopiesWaitUntilTheWindowServes() {
    // Three copies come while the window is not ready; one of them gives up.
    auto first = handOff("/one.torrent");
    auto quitter = handOff("/never.torrent");
    auto second = handOff("/two.torrent");
    QTRY_COMPARE_WITH_TIMEOUT(served().size(), 3, 10000);
    quitter->abort();
    QTRY_COMPARE_WITH_TIMEOUT(served().size(), 2, 10000);
    QCOMPARE(first->bytesAvailable(), 0); // nobody answered yet
    QCOMPARE(first->state(), QLocalSocket::ConnectedState);

    QStringList added;
    int activated = 0;
    m_Copy->serve([&] { ++activated; }, [&](const QString& File) { added.append(File); });
    QTRY_VERIFY_WITH_TIMEOUT(first->bytesAvailable() >= 1 && second->bytesAvailable() >= 1, 10000);
    QCOMPARE(added, QStringList({"/one.torrent", "/two.torrent"}));
    QCOMPARE(activated, 2);

    // Once serving, a copy is served as it comes.
    auto third = handOff("/three.torrent");
    QTRY_VERIFY_WITH_TIMEOUT(third->bytesAvailable() >= 1, 10000);
    QCOMPARE(added.last(), QString("/three.torrent"));
}

// What happens while the box of the first file's AddFile is up.
enum class WhileAdding { PeerDisconnects, ConnectionDropped, NextFileArrives };

void HandOffTest::aPeerGoneWhileItsFileIsAddedIsLetGo_data() {
    QTest::addColumn<int>("event");
    QTest::addColumn<QStringList>("added");
    QTest::newRow("the peer disconnects")
        << int(WhileAdding::PeerDisconnects) << QStringList{"/first.torrent"};
    QTest::newRow("the connection is dropped")
        << int(WhileAdding::ConnectionDropped) << QStringList{"/first.torrent"};
    QTest::newRow("the peer sends its next file")
        << int(WhileAdding::NextFileArrives) << QStringList{"/first.torrent", "/second.torrent"};
}

void HandOffTest::aPeerGoneWhileItsFileIsAddedIsLetGo() {
    QFETCH(int, event);
    QFETCH(QStringList, added);
    std::unique_ptr<QLocalSocket> peer;
    QStringList files;
    int depth = 0;
    int deepest = 0;
    const auto addFile = [&](const QString& File) {
        ++depth;
        deepest = std::max(deepest, depth);
        files.append(File);
        if (files.size() == 1) {
            // A box: an event loop that runs until the peer's event has reached this side.
            QPointer<QLocalSocket> mine = served().value(0);
            QVERIFY(mine != nullptr);
            const QByteArray next = RunningCopy::handOffMessage("/second.torrent");
            std::function<bool()> done;
            switch (static_cast<WhileAdding>(event)) {
            case WhileAdding::PeerDisconnects:
                peer->abort();
                done = [&] { return mine == nullptr; };
                break;
            case WhileAdding::ConnectionDropped:
                mine->abort();
                done = [&] { return mine->state() == QLocalSocket::UnconnectedState; };
                break;
            case WhileAdding::NextFileArrives:
                peer->write(next);
                peer->flush();
                done = [&] { return mine->bytesAvailable() >= next.size(); };
                break;
            }
            QEventLoop box;
            QTimer poll;
            connect(&poll, &QTimer::timeout, &box, [&] {
                if (done()) {
                    box.quit();
                }
            });
            poll.start(5);
            QTimer::singleShot(30000, &box, &QEventLoop::quit); // never hang the suite
            box.exec();
            QVERIFY(done());
        }
        --depth;
    };
    m_Copy->serve([] {}, addFile);
    peer = handOff("/first.torrent");
    QTRY_VERIFY_WITH_TIMEOUT(!files.isEmpty() && depth == 0, 10000);
    if (static_cast<WhileAdding>(event) == WhileAdding::NextFileArrives) {
        QTRY_COMPARE_WITH_TIMEOUT(files.size(), 2, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(peer->bytesAvailable() >= 2, 10000); // both answered
    }
    QCOMPARE(files, added);
    QCOMPARE(deepest, 1); // a connection is never read again while its file is added

    // The running copy goes on serving.
    auto next = handOff("/next.torrent");
    QTRY_VERIFY_WITH_TIMEOUT(next->bytesAvailable() >= 1, 10000);
    QCOMPARE(files.last(), QString("/next.torrent"));
}

// What a later copy is doing when the running one begins to close.
enum class AtClose {
    WaitingForTheWindow,
    BetweenFiles,
    FileNotReadYet,
    FileBeingAdded,
    ComesLater
};

void HandOffTest::aClosingCopyTakesNoMoreFiles() {
    struct Case {
        AtClose At;
        QByteArray Answers; // what the later copy hears, in order
        QStringList Added;  // what the running copy's AddFile saw
    };
    const QByteArray done(1, RunningCopy::kDone);
    const QByteArray closing(1, RunningCopy::kClosing);
    const std::array kCases{
        Case{.At = AtClose::WaitingForTheWindow, .Answers = closing, .Added = {}},
        Case{.At = AtClose::BetweenFiles, .Answers = done + closing, .Added = {"/first"}},
        // Its bytes came while the close began (during the save): never added, never "done".
        Case{.At = AtClose::FileNotReadYet, .Answers = closing, .Added = {}},
        // A box of its file was up when the close began: the file stays with the later copy.
        Case{.At = AtClose::FileBeingAdded, .Answers = closing, .Added = {"/boxed"}},
        Case{.At = AtClose::ComesLater, .Answers = closing, .Added = {}},
    };
    for (std::size_t i = 0; i < kCases.size(); ++i) {
        const Case& c = kCases[i];
        RunningCopy copy(m_Dir->filePath(QString("list-%1/Lintervale.dat").arg(i)));
        QVERIFY(copy.tryToRun());
        QVERIFY(copy.listen());
        QStringList added;
        const auto serve = [&] {
            copy.serve([] {},
                       [&](const QString& File) {
                           added.append(File);
                           if (File == "/boxed") {
                               copy.setClosing(
                                   true); // as a SIGTERM handled in the box's event loop
                           }
                       });
        };
        QLocalSocket peer;
        const auto send = [&](const QString& File) {
            peer.write(RunningCopy::handOffMessage(File));
            peer.flush();
        };
        const auto connectPeer = [&] {
            peer.connectToServer(copy.socketName());
            QVERIFY(peer.waitForConnected(5000));
            QTRY_COMPARE_WITH_TIMEOUT(copy.findChildren<QLocalSocket*>().size(), 1, 10000);
        };
        switch (c.At) {
        case AtClose::WaitingForTheWindow:
            connectPeer();
            send("/early");
            copy.setClosing(true);
            serve();
            break;
        case AtClose::BetweenFiles:
            serve();
            connectPeer();
            send("/first");
            QTRY_VERIFY_WITH_TIMEOUT(peer.bytesAvailable() >= 1, 10000);
            copy.setClosing(true);
            break;
        case AtClose::FileNotReadYet:
            serve();
            connectPeer();
            send("/unread");
            copy.setClosing(true);
            break;
        case AtClose::FileBeingAdded:
            serve();
            connectPeer();
            send("/boxed");
            break;
        case AtClose::ComesLater:
            serve();
            copy.setClosing(true);
            peer.connectToServer(copy.socketName());
            QVERIFY(peer.waitForConnected(5000));
            send("/later");
            break;
        }
        QTRY_COMPARE_WITH_TIMEOUT(peer.state(), QLocalSocket::UnconnectedState, 10000);
        QCOMPARE(peer.readAll(), c.Answers);
        QCOMPARE(added, c.Added);

        // A close that does not go through: files are taken again.
        copy.setClosing(false);
        auto next = handOffTo(copy, "/next");
        QTRY_VERIFY_WITH_TIMEOUT(next->bytesAvailable() >= 1, 10000);
        QCOMPARE(next->readAll(), done);
        QCOMPARE(added.last(), QString("/next"));
    }
}

void HandOffTest::aLaterCopyToldClosingRunsWithTheFilesNotTaken() {
    const QString list = m_Dir->filePath("closing/Lintervale.dat");
    auto running = std::make_unique<RunningCopy>(list);
    QVERIFY(running->tryToRun());
    QVERIFY(running->listen());
    QStringList added;
    running->serve([] {},
                   [&](const QString& File) {
                       added.append(File);
                       if (File == "/b") {
                           running->setClosing(true);
                       }
                   });

    // The later copy, blocking as it does in its own process.
    QStringList files{"/a", "/b", "/c"};
    std::atomic<int> outcome = -1;
    std::unique_ptr<QThread> later(QThread::create([&] {
        RunningCopy copy(list);
        outcome = static_cast<int>(copy.handOverOrRun(files, 5000, 30000));
    }));
    later->start();
    // It was told "closing" and waits for the lock; the closing copy ends.
    QTRY_COMPARE_WITH_TIMEOUT(added.size(), 2, 10000);
    QVERIFY(later->isRunning());
    running.reset();
    QVERIFY(later->wait(10000));
    QCOMPARE(outcome.load(), static_cast<int>(RunningCopy::Outcome::Run));
    QCOMPARE(files, QStringList({"/b", "/c"}));
    QCOMPARE(added, QStringList({"/a", "/b"}));
}

void HandOffTest::aNewerCopysMessagesArePassedOver() {
    // The activation message, byte for byte.
    QByteArray expected(8, '\0');
    qToBigEndian<quint32>(1338, expected.data());
    const QByteArray payload = "XDG_ACTIVATION_TOKEN=tok-1\nDESKTOP_STARTUP_ID=sid_TIME42\n";
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), expected.data() + 4);
    expected += payload;
    QCOMPARE(RunningCopy::activationMessage({.Token = "tok-1", .StartupId = "sid_TIME42"}),
             expected);
    struct Case {
        QByteArray Payload;
        QString Token;
        QString StartupId;
    };
    const std::array kCases{
        Case{payload, "tok-1", "sid_TIME42"},
        Case{"", "", ""},
        Case{"DESKTOP_STARTUP_ID=only\n", "", "only"},
        // Names it does not know, and lines without a name, are passed over.
        Case{"FUTURE=x\n=y\nXDG_ACTIVATION_TOKEN\nXDG_ACTIVATION_TOKEN=a=b", "a=b", ""},
    };
    for (const Case& c : kCases) {
        const RunningCopy::Activation tokens = RunningCopy::activationOf(c.Payload);
        QCOMPARE(tokens.Token, c.Token);
        QCOMPARE(tokens.StartupId, c.StartupId);
    }

    // A newer copy's message of a kind not known here, between two files, then the activation.
    QStringList added;
    QList<RunningCopy::Activation> activations;
    m_Copy->serve([] {}, [&](const QString& File) { added.append(File); },
                  [&](const RunningCopy::Activation& Tokens) { activations.append(Tokens); });
    QByteArray future(8, '\0');
    qToBigEndian<quint32>(4242, future.data());
    qToBigEndian<quint32>(6, future.data() + 4);
    future += "future";
    auto peer = handOff("/a.torrent");
    peer->write(future + RunningCopy::handOffMessage("/b.torrent") +
                RunningCopy::activationMessage({.Token = "tok-1", .StartupId = {}}));
    peer->flush();
    QTRY_COMPARE_WITH_TIMEOUT(peer->bytesAvailable(), 4, 10000);
    QCOMPARE(peer->readAll(), QByteArray(4, RunningCopy::kDone));
    QCOMPARE(peer->state(), QLocalSocket::ConnectedState);
    QCOMPARE(added, QStringList({"/a.torrent", "/b.torrent"}));
    QCOMPARE(activations.size(), 1);
    QCOMPARE(activations[0].Token, QString("tok-1"));
}

void HandOffTest::anOlderRunningCopyTakesEveryFileOfANewerOne() {
    // An older running copy: it answers each file and drops the connection at any other tag.
    const QString list = m_Dir->filePath("older/Lintervale.dat");
    RunningCopy holder(list);
    QVERIFY(holder.tryToRun());
    QLocalServer older;
    QVERIFY(older.listen(holder.socketName()));
    QStringList added;
    bool dropped = false;
    connect(&older, &QLocalServer::newConnection, this, [&] {
        QLocalSocket* socket = older.nextPendingConnection();
        connect(socket, &QLocalSocket::readyRead, this, [&, socket] {
            while (socket->bytesAvailable() >= 8) {
                const QByteArray head = socket->peek(8);
                const quint32 length = qFromBigEndian<quint32>(head.constData() + 4);
                if (qFromBigEndian<quint32>(head.constData()) != RunningCopy::kTag) {
                    dropped = true;
                    socket->abort();
                    return;
                }
                if (socket->bytesAvailable() < 8 + length) {
                    return;
                }
                socket->read(8);
                added.append(QString::fromUtf8(socket->read(length)));
                socket->write(QByteArray(1, RunningCopy::kDone));
            }
        });
    });

    QStringList files{"/a", "/b"};
    std::atomic<int> outcome = -1;
    std::unique_ptr<QThread> later(QThread::create([&] {
        RunningCopy copy(list);
        copy.setActivation({.Token = "tok", .StartupId = {}});
        outcome = static_cast<int>(copy.handOverOrRun(files, 5000, 5000));
    }));
    later->start();
    QTRY_VERIFY_WITH_TIMEOUT(later->isFinished(), 10000);
    QCOMPARE(outcome.load(), static_cast<int>(RunningCopy::Outcome::HandedOver));
    QVERIFY(files.isEmpty());
    QCOMPARE(added, QStringList({"/a", "/b"}));
    QVERIFY(dropped);
}

QTEST_MAIN(HandOffTest)
#include "HandOffTest.moc"

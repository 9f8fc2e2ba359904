// Start-up between real processes: the built program run twice (offscreen, its own home and
// XDG folders), the hand-off, the lock after a crash, the race, and bad peers.

#include "session/RunningCopy.h"
#include "tests/list/RecordingHost.h"
#include "tests/session/ListenerSockets.h"
#include "widgets/MainForm.h"
#include "widgets/WindowTray.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

using namespace lintervale;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void handOffAddsExistingFilesInOrder();
    void aKilledCopyDoesNotBlockTheNext();
    void twoCopiesAtOnceMakeOneList();
    void noReachableCopyMeansMainWindowNotFound();
    void aCopyStartedDuringASlowStartIsServed();
    void hiddenIsTheFirstArgumentInAnyCase();
    void badPeersAreDropped();
    void anotherUserCannotReachTheRunningCopy();
    void programFilesOfOneListFindOneCopy();

private:
    QProcessEnvironment environment() const;
    std::unique_ptr<QProcess> start(const QStringList& Arguments,
                                    const QProcessEnvironment& Environment = {});
    // Waits until the running copy listens.
    void waitForListening();
    // Waits until Socket is connected to the running copy.
    void connectToRunningCopy(QLocalSocket& Socket);
    // Ends the running copy as a logout would; the list is saved on the way out.
    void terminate(QProcess& Process);
    QStringList savedNames() const;
    QString torrent(const QString& Name);
    QString program() const { return QStringLiteral(LINTERVALE_BINARY); }

    std::unique_ptr<QTemporaryDir> m_Home;
    std::unique_ptr<RunningCopy> m_Names; // names the real program's lock and socket
};

void StartupTest::init() {
    m_Home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Home->isValid());
    for (const char* folder : {"config/Lintervale", "data", "runtime"}) {
        QVERIFY(QDir().mkpath(m_Home->filePath(folder)));
    }
    QFile::setPermissions(m_Home->filePath("runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSettings settings(m_Home->filePath("config/Lintervale/Lintervale.conf"), QSettings::IniFormat);
    settings.setValue("SaveOnExit", 1);
    settings.setValue("AutoOpen", 0);
    settings.setValue("QuietMode", 1);
    settings.setValue("CloseToTray", 0);
    settings.setValue("FetchExtra", 0);
    settings.sync();
    // The same runtime folder as the programs, so the lock and socket names match theirs.
    qputenv("XDG_RUNTIME_DIR", m_Home->filePath("runtime").toUtf8());
    m_Names = std::make_unique<RunningCopy>(m_Home->filePath("data/Lintervale/Lintervale.dat"));
}

void StartupTest::cleanup() {
    m_Names.reset();
    m_Home.reset();
}

QProcessEnvironment StartupTest::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", m_Home->path());
    env.insert("XDG_CONFIG_HOME", m_Home->filePath("config"));
    env.insert("XDG_DATA_HOME", m_Home->filePath("data"));
    env.insert("XDG_RUNTIME_DIR", m_Home->filePath("runtime"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

std::unique_ptr<QProcess> StartupTest::start(const QStringList& Arguments,
                                             const QProcessEnvironment& Environment) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(Environment.isEmpty() ? environment() : Environment);
    process->setProgram(program());
    process->setArguments(Arguments);
    process->start();
    process->waitForStarted(15000);
    return process;
}

void StartupTest::waitForListening() {
    const auto listening = [this] {
        QLocalSocket probe;
        probe.connectToServer(m_Names->socketName());
        return probe.waitForConnected(200);
    };
    QTRY_VERIFY_WITH_TIMEOUT(listening(), 30000);
}

void StartupTest::connectToRunningCopy(QLocalSocket& Socket) {
    const auto reached = [&] {
        Socket.abort();
        Socket.connectToServer(m_Names->socketName());
        return Socket.waitForConnected(200);
    };
    QTRY_VERIFY_WITH_TIMEOUT(reached(), 15000);
}

void StartupTest::terminate(QProcess& Process) {
    ::kill(static_cast<pid_t>(Process.processId()), SIGTERM);
    QVERIFY(Process.waitForFinished(30000));
}

QStringList StartupTest::savedNames() const {
    QFile file(m_Home->filePath("data/Lintervale/Lintervale.dat"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {"(no list file)"};
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    const int rows = lines.value(1).trimmed().toInt();
    QStringList names;
    for (int r = 1; r < rows; ++r) {
        names.append(QString::fromUtf8(lines.value(2 + rows + r).trimmed()));
    }
    return names;
}

QString StartupTest::torrent(const QString& Name) {
    return QString::fromStdString(
        lintervale::testing::WriteTorrent(m_Home->path().toStdString(), Name.toStdString()));
}

void StartupTest::handOffAddsExistingFilesInOrder() {
    auto first = start({torrent("a")});
    waitForListening();
    auto second = start({torrent("b"), m_Home->filePath("missing.torrent"), torrent("c")});
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);
    // A copy with no arguments only brings the running one forward.
    auto third = start({});
    QVERIFY(third->waitForFinished(20000));
    QCOMPARE(third->exitCode(), 0);
    terminate(*first);
    QCOMPARE(savedNames(), QStringList({"c", "b", "a"}));
}

void StartupTest::aKilledCopyDoesNotBlockTheNext() {
    auto first = start({});
    waitForListening();
    ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
    QVERIFY(first->waitForFinished(10000));
    QVERIFY2(QFile::exists(m_Names->socketName()), "the dead copy's socket is still there");

    auto next = start({torrent("after-crash")});
    // The next copy runs and takes hand-offs.
    QLocalSocket later;
    connectToRunningCopy(later);
    if (QTest::currentTestFailed()) {
        return;
    }
    later.write(RunningCopy::handOffMessage(torrent("handed")));
    QTRY_VERIFY_WITH_TIMEOUT(later.bytesAvailable() >= 1, 15000);
    QCOMPARE(next->state(), QProcess::Running);
    terminate(*next);
    QCOMPARE(savedNames(), QStringList({"handed", "after-crash"}));
}

void StartupTest::twoCopiesAtOnceMakeOneList() {
    const QString x = torrent("x");
    const QString y = torrent("y");
    auto one = start({x});
    auto two = start({y});
    // Exactly one of them ends (it handed its file over); the other runs.
    QTRY_VERIFY_WITH_TIMEOUT(one->state() != QProcess::Running || two->state() != QProcess::Running,
                             20000);
    QProcess* ended = one->state() == QProcess::Running ? two.get() : one.get();
    QProcess* running = ended == one.get() ? two.get() : one.get();
    QVERIFY(ended->state() == QProcess::NotRunning || ended->waitForFinished(20000));
    QCOMPARE(ended->exitCode(), 0);
    QCOMPARE(running->state(), QProcess::Running);
    terminate(*running);
    QStringList names = savedNames();
    names.sort();
    QCOMPARE(names, QStringList({"x", "y"}));
}

void StartupTest::noReachableCopyMeansMainWindowNotFound() {
    // Someone holds the lock but nobody listens.
    const QByteArray lock = QFile::encodeName(m_Names->lockFile());
    const int fd = ::open(lock.constData(), O_RDWR | O_CREAT, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
    auto copy = start({torrent("lost")});
    QVERIFY(copy->waitForFinished(30000));
    ::close(fd);
    QCOMPARE(copy->exitCode(), 1);
    QVERIFY(copy->readAllStandardError().contains("Error: Main window not found."));
    QVERIFY(!QFile::exists(m_Home->filePath("data/Lintervale/Lintervale.dat")));

    // Without arguments there is nothing to say.
    const int again = ::open(lock.constData(), O_RDWR);
    QCOMPARE(::flock(again, LOCK_EX | LOCK_NB), 0);
    auto quiet = start({});
    QVERIFY(quiet->waitForFinished(30000));
    ::close(again);
    QCOMPARE(quiet->exitCode(), 0);
    QVERIFY(!quiet->readAllStandardError().contains("Main window"));
}

void StartupTest::aCopyStartedDuringASlowStartIsServed() {
    // The first copy shows a box at start (a file it cannot load, quiet mode off), and the
    // box stays up until the test answers it.
    QSettings(m_Home->filePath("config/Lintervale/Lintervale.conf"), QSettings::IniFormat)
        .setValue("QuietMode", 0);
    QFile bad(m_Home->filePath("bad.torrent"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a torrent");
    bad.close();
    QProcessEnvironment held = environment();
    held.insert("LINTERVALE_HOLD_DIALOGS", "1");
    auto first = start({bad.fileName()}, held);
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += first->readAllStandardError()).contains("lintervale: "),
                             15000);

    // While the box is up, the running copy listens; a hand-off is taken and waits.
    QLocalSocket early;
    connectToRunningCopy(early);
    if (QTest::currentTestFailed()) {
        return; // the running copy does not listen while its box is up
    }
    early.write(RunningCopy::handOffMessage(torrent("b")));
    QVERIFY(early.waitForBytesWritten(5000));
    if (testing::SocketsOfListener(first->processId()) < 0) {
        QSKIP("needs /proc to see a later copy reach the running one");
    }
    // The listener and this test's connection (tries that came too early are let go).
    QTRY_COMPARE_WITH_TIMEOUT(testing::SocketsOfListener(first->processId()), 2, 15000);
    auto second = start({torrent("c")});
    QTRY_COMPARE_WITH_TIMEOUT(testing::SocketsOfListener(first->processId()), 3, 15000);
    QCOMPARE(first->state(), QProcess::Running);

    // The box is answered; the window gets ready and serves both, in the order they came.
    first->write("\n");
    QTRY_VERIFY_WITH_TIMEOUT(early.bytesAvailable() >= 1, 15000);
    QVERIFY(second->state() == QProcess::NotRunning || second->waitForFinished(20000));
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(!second->readAllStandardError().contains("Main window not found"));
    terminate(*first);
    QCOMPARE(savedNames(), QStringList({"c", "b"}));
}

void StartupTest::hiddenIsTheFirstArgumentInAnyCase() {
    QVERIFY(WindowTray::startsHidden({"-hidden"}));
    QVERIFY(WindowTray::startsHidden({"-HIDDEN", "x"}));
    QVERIFY(WindowTray::startsHidden({"-Hidden"}));
    QVERIFY(!WindowTray::startsHidden({"x", "-hidden"}));
    QVERIFY(!WindowTray::startsHidden({}));
    QVERIFY(!WindowTray::startsHidden({"--hidden"}));

    // A copy started hidden runs and takes files like any first copy.
    auto first = start({"-HIDDEN", torrent("h")});
    waitForListening();
    auto second = start({"-hidden"});
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitCode(), 0);
    terminate(*first);
    QCOMPARE(savedNames(), QStringList("h"));
}

void StartupTest::badPeersAreDropped() {
    RunningCopy copy(m_Home->filePath("a-program"));
    QVERIFY(copy.tryToRun());
    QStringList added;
    int activated = 0;
    QVERIFY(copy.listen());
    copy.serve([&] { ++activated; }, [&](const QString& file) { added.append(file); });

    const auto header = [](quint32 tag, quint32 length) {
        QByteArray bytes(8, '\0');
        qToBigEndian<quint32>(tag, bytes.data());
        qToBigEndian<quint32>(length, bytes.data() + 4);
        return bytes;
    };
    const QByteArray bad[] = {
        QByteArray(),                                         // sends nothing
        header(RunningCopy::kTag, 10) + "abc",                // stops half-way
        header(RunningCopy::kTag, RunningCopy::kMaxPath + 1), // a path too long
        QByteArray("\x00\x00", 2),                            // a truncated header
    };
    for (const QByteArray& bytes : bad) {
        QLocalSocket peer;
        peer.connectToServer(copy.socketName());
        QVERIFY(peer.waitForConnected(15000));
        peer.write(bytes);
        peer.flush();
        QTRY_COMPARE_WITH_TIMEOUT(peer.state(), QLocalSocket::UnconnectedState,
                                  RunningCopy::kIdleMilliseconds + 15000);
    }
    QVERIFY(added.isEmpty());
    QCOMPARE(activated, 4);

    // A later copy of the same program file finds the lock taken.
    RunningCopy later(m_Home->filePath("a-program"));
    QVERIFY(!later.tryToRun());
    // The running copy still works: a proper hand-off is answered.
    QProcess client;
    client.start(QStringLiteral(LINTERVALE_HANDOFF_CLIENT),
                 {copy.socketName(), "/some/file.torrent"});
    QVERIFY(client.waitForStarted(15000));
    QTRY_VERIFY_WITH_TIMEOUT(client.state() == QProcess::NotRunning, 15000);
    QCOMPARE(client.exitCode(), 0);
    QCOMPARE(added, QStringList("/some/file.torrent"));
}

void StartupTest::anotherUserCannotReachTheRunningCopy() {
    if (::geteuid() != 0 || QStandardPaths::findExecutable("setpriv").isEmpty()) {
        QSKIP("needs root and setpriv to act as another user");
    }
    RunningCopy copy(m_Home->filePath("b-program"));
    QVERIFY(copy.tryToRun());
    QStringList added;
    QVERIFY(copy.listen());
    copy.serve([] {}, [&](const QString& file) { added.append(file); });

    QProcess client;
    client.setProgram("setpriv");
    client.setArguments({"--reuid=65534", "--regid=65534", "--clear-groups",
                         QStringLiteral(LINTERVALE_HANDOFF_CLIENT), copy.socketName(),
                         "/etc/hostname"});
    client.start();
    QVERIFY(client.waitForStarted(15000));
    QTRY_VERIFY_WITH_TIMEOUT(client.state() == QProcess::NotRunning, 15000);
    if (client.exitCode() == 126 || client.exitCode() == 127) {
        QSKIP("the client cannot be run as another user from this build folder");
    }
    QCOMPARE(client.exitCode(), 2); // could not reach the socket
    QVERIFY(added.isEmpty());

    // The same client as this user gets through.
    QProcess same;
    same.start(QStringLiteral(LINTERVALE_HANDOFF_CLIENT), {copy.socketName(), "/etc/hostname"});
    QVERIFY(same.waitForStarted(15000));
    QTRY_VERIFY_WITH_TIMEOUT(same.state() == QProcess::NotRunning, 15000);
    QCOMPARE(same.exitCode(), 0);
    QCOMPARE(added, QStringList("/etc/hostname"));
}

void StartupTest::programFilesOfOneListFindOneCopy() {
    // A second program file of the window.
    QTemporaryDir other;
    QVERIFY(other.isValid());
    const QString folder = QFileInfo(program()).absolutePath();
    for (const QString& name : {QFileInfo(program()).fileName()}) {
        const QByteArray from = QFile::encodeName(folder + "/" + name);
        const QByteArray to = QFile::encodeName(other.filePath(name));
        QVERIFY(::link(from.constData(), to.constData()) == 0 ||
                QFile::copy(folder + "/" + name, other.filePath(name)));
    }
    const QString otherProgram = other.filePath(QFileInfo(program()).fileName());

    auto first = start({torrent("one")});
    waitForListening();
    // The other program file with the same data folder hands its file over.
    QProcess second;
    second.setProcessEnvironment(environment());
    second.start(otherProgram, {torrent("two")});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitCode(), 0);

    // With a data folder of its own, the other program file runs beside the first.
    QProcessEnvironment separate = environment();
    separate.insert("XDG_DATA_HOME", m_Home->filePath("data-elsewhere"));
    QProcess third;
    third.setProcessEnvironment(separate);
    third.start(otherProgram, {torrent("three")});
    QVERIFY(third.waitForStarted(15000));
    RunningCopy elsewhere(m_Home->filePath("data-elsewhere/Lintervale/Lintervale.dat"));
    const auto listening = [&] {
        QLocalSocket probe;
        probe.connectToServer(elsewhere.socketName());
        return probe.waitForConnected(200);
    };
    QTRY_VERIFY_WITH_TIMEOUT(listening(), 30000);
    QCOMPARE(third.state(), QProcess::Running);
    terminate(third);
    terminate(*first);
    QCOMPARE(savedNames(), QStringList({"two", "one"}));
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"

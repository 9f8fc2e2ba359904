// A running copy that closes while later copies come. In one process: the window and its
// running copy, wired as the program wires them, closed by "Exit", by a quit (what a logout
// sends) and by SIGTERM, or failing to save. Between processes: the built program closing a
// long list on SIGTERM while a second copy with a file starts after each of a range of delays.
// A file is either answered "done" and in the saved list, or kept by its copy, which then runs
// and saves it itself: never dropped, never "Error: Main window not found.".

#include "session/RunningCopy.h"
#include "session/TerminationWatcher.h"
#include "tests/widgets/FormTestBase.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QTimer>
#include <csignal>
#include <memory>
#include <optional>
#include <sys/types.h>
#include <unistd.h>

using namespace lintervale;

// How the window is closed.
enum class Way { Exit, Quit, Terminate, FailedSave };

class ClosingTest : public lintervale::testing::FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitFormResources(); }
    void init() { setUpForm(); }
    void cleanup() { tearDownForm(); }

    void aFileThatComesWhileTheWindowClosesStaysWithItsCopy_data();
    void aFileThatComesWhileTheWindowClosesStaysWithItsCopy();
    void aCopyStartedWhileTheRunningOneClosesIsServed_data();
    void aCopyStartedWhileTheRunningOneClosesIsServed();

private:
    // Connects Peer to Copy and hands File over.
    static void handOff(QLocalSocket& Peer, const QString& Socket, const QString& File) {
        Peer.connectToServer(Socket);
        QVERIFY(Peer.waitForConnected(5000));
        Peer.write(RunningCopy::handOffMessage(File));
        Peer.flush();
    }
};

void ClosingTest::aFileThatComesWhileTheWindowClosesStaysWithItsCopy_data() {
    QTest::addColumn<int>("way");
    QTest::newRow("Exit") << int(Way::Exit);
    QTest::newRow("a quit, as at logout") << int(Way::Quit);
    QTest::newRow("SIGTERM") << int(Way::Terminate);
    QTest::newRow("a save that fails") << int(Way::FailedSave);
}

void ClosingTest::aFileThatComesWhileTheWindowClosesStaysWithItsCopy() {
    QFETCH(int, way);
    child<QCheckBox>("CheckBox2")->setChecked(true);
    MainForm& form = *m_Form;
    RunningCopy copy(m_Paths.ListFile);
    QVERIFY(copy.tryToRun());
    QVERIFY(copy.listen());
    copy.serve([] {}, [&form](const QString& File) { form.AddFile(File); });

    QLocalSocket before;
    handOff(before, copy.socketName(), torrent("before"));
    QTRY_COMPARE_WITH_TIMEOUT(before.bytesAvailable(), 1, 10000);
    QCOMPARE(before.read(1), QByteArray(1, RunningCopy::kDone));
    before.disconnectFromServer();
    QTRY_COMPARE_WITH_TIMEOUT(copy.findChildren<QLocalSocket*>().size(), 0, 10000);

    // A later copy is connected; its file comes as the close begins, and would be read after
    // the save.
    QLocalSocket during;
    during.connectToServer(copy.socketName());
    QVERIFY(during.waitForConnected(5000));
    QTRY_COMPARE_WITH_TIMEOUT(copy.findChildren<QLocalSocket*>().size(), 1, 10000);
    const QString late = torrent("during");
    connect(&form, &MainForm::closing, this, [&] {
        during.write(RunningCopy::handOffMessage(late));
        during.flush();
    });
    // As the program wires them.
    connect(&form, &MainForm::closing, &copy, [&copy] { copy.setClosing(true); });
    connect(&form, &MainForm::closeCancelled, &copy, [&copy] { copy.setClosing(false); });
    if (static_cast<Way>(way) == Way::FailedSave) {
        QVERIFY(QDir().mkpath(m_Paths.ListFile + "/in-the-way"));
    }
    std::optional<TerminationWatcher> watcher;
    switch (static_cast<Way>(way)) {
    case Way::Exit:
    case Way::FailedSave:
        form.exitClicked();
        break;
    case Way::Quit: {
        // What QCoreApplication::quit sends in a running program, and the session manager's
        // end of a logout.
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
        break;
    }
    case Way::Terminate:
        watcher.emplace([&form] { form.exitClicked(); });
        ::kill(::getpid(), SIGTERM);
        break;
    }
    QTRY_VERIFY_WITH_TIMEOUT(during.bytesAvailable() >= 1, 10000);
    QCOMPARE(during.read(1), QByteArray(1, RunningCopy::kClosing));
    QTRY_COMPARE_WITH_TIMEOUT(during.state(), QLocalSocket::UnconnectedState, 10000);
    QCOMPARE(names(), QStringList("before"));
    if (static_cast<Way>(way) == Way::FailedSave) {
        // The close did not go through: the window takes files again, and the later copy's
        // next try is served.
        QVERIFY(form.isVisible());
        QLocalSocket again;
        handOff(again, copy.socketName(), late);
        QTRY_COMPARE_WITH_TIMEOUT(again.bytesAvailable(), 1, 10000);
        QCOMPARE(again.read(1), QByteArray(1, RunningCopy::kDone));
        QCOMPARE(names(), QStringList({"during", "before"}));
    } else {
        QVERIFY(!form.isVisible());
        const std::unique_ptr<MainForm> reopened = makeForm();
        QStringList saved;
        for (int r = 1; r < reopened->List().Grid().RowCount(); ++r) {
            saved.append(
                QString::fromStdString(reopened->List().Grid().Cell(TTorrentGrid::ColName, r)));
        }
        QCOMPARE(saved, QStringList("before"));
        return;
    }
}

namespace {

// A home of its own for the program: options with "Save on exit" ticked and quiet mode on,
// and a list file of Rows rows.
QProcessEnvironment ProgramHome(const QTemporaryDir& Home, int Rows) {
    for (const char* folder : {"config/Lintervale", "data/Lintervale", "runtime"}) {
        QDir().mkpath(Home.filePath(folder));
    }
    QFile::setPermissions(Home.filePath("runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSettings settings(Home.filePath("config/Lintervale/Lintervale.conf"), QSettings::IniFormat);
    for (const char* key : {"AutoOpen", "CloseToTray", "FetchExtra"}) {
        settings.setValue(key, 0);
    }
    settings.setValue("SaveOnExit", 1);
    settings.setValue("QuietMode", 1);
    settings.sync();
    // Column by column: the fixed column, names, hashes, trackers, file counts, sizes.
    QByteArray text = "6\r\n" + QByteArray::number(Rows + 1) + "\r\n";
    const char* headings[] = {"", "Name", "Hash", "Trackers", "Files", "Size"};
    for (int column = 0; column < 6; ++column) {
        text += QByteArray(headings[column]) + "\r\n";
        for (int row = 0; row < Rows; ++row) {
            switch (column) {
            case 1:
                text += "row " + QByteArray::number(row);
                break;
            case 2:
                text += QByteArray::number(row + 1, 16).rightJustified(40, '0');
                break;
            case 3:
                text += "\"udp://tracker.example:6969/announce\"";
                break;
            case 4:
                text += "1";
                break;
            case 5:
                text += "1 MiB";
                break;
            }
            text += "\r\n";
        }
    }
    QFile list(Home.filePath("data/Lintervale/Lintervale.dat"));
    list.open(QIODevice::WriteOnly);
    list.write(text);
    list.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", Home.path());
    env.insert("XDG_CONFIG_HOME", Home.filePath("config"));
    env.insert("XDG_DATA_HOME", Home.filePath("data"));
    env.insert("XDG_RUNTIME_DIR", Home.filePath("runtime"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

// The names in the saved list, counted.
QMap<QString, int> SavedNames(const QTemporaryDir& Home) {
    QFile file(Home.filePath("data/Lintervale/Lintervale.dat"));
    QMap<QString, int> names;
    if (!file.open(QIODevice::ReadOnly)) {
        return names;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    const int rows = lines.value(1).trimmed().toInt();
    for (int r = 1; r < rows; ++r) {
        ++names[QString::fromUtf8(lines.value(2 + rows + r).trimmed())];
    }
    return names;
}

} // namespace

void ClosingTest::aCopyStartedWhileTheRunningOneClosesIsServed_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("delay");
    // The whole sweep takes a while; the suite runs a shorter list and a few delays, which
    // start the second copy before the close, during the save and after it.
    const bool sweep = qEnvironmentVariableIsSet("LINTERVALE_TEST_CLOSING_SWEEP");
    const int rows = sweep ? 150000 : 20000;
    const QList<int> delays =
        sweep ? QList<int>{-400, -200, -100, -50, -25, -10, 0, 10, 25, 50, 100, 200, 350, 500}
              : QList<int>{-400, -20, 0, 15, 60};
    for (int delay : delays) {
        QTest::addRow("%d rows, %d ms", rows, delay) << rows << delay;
    }
}

void ClosingTest::aCopyStartedWhileTheRunningOneClosesIsServed() {
    QFETCH(int, rows);
    QFETCH(int, delay);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QProcessEnvironment env = ProgramHome(home, rows);
    const auto torrentIn = [&](const char* Name) {
        return QString::fromStdString(testing::WriteTorrent(home.path().toStdString(), Name));
    };
    // Where the program puts its socket: the runtime folder, unless its path is too long.
    const QString name = RunningCopy::nameFor(home.filePath("data/Lintervale/Lintervale.dat"));
    const QString socket =
        RunningCopy::placeFor(home.filePath("runtime"),
                              QString("/tmp/lintervale-%1").arg(::getuid()), name.size() + 5)
            .Folder +
        "/" + name + ".sock";
    const auto start = [&](const QStringList& Arguments) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(LINTERVALE_BINARY), Arguments);
        process->waitForStarted(15000);
        return process;
    };
    // A hand-off answered "done": the copy serves, its SIGTERM handler in place.
    const auto served = [&](const char* Name) {
        QLocalSocket probe;
        probe.connectToServer(socket);
        if (!probe.waitForConnected(200)) {
            return false;
        }
        probe.write(RunningCopy::handOffMessage(torrentIn(Name)));
        while (probe.state() == QLocalSocket::ConnectedState && probe.bytesAvailable() < 1) {
            probe.waitForReadyRead(200);
        }
        return probe.read(1) == QByteArray(1, RunningCopy::kDone);
    };

    auto first = start({});
    QTRY_VERIFY_WITH_TIMEOUT(served("probe"), 60000);
    const QString late = torrentIn("late");
    std::unique_ptr<QProcess> second;
    bool terminated = false;
    const auto terminate = [&] {
        ::kill(static_cast<pid_t>(first->processId()), SIGTERM);
        terminated = true;
    };
    // A negative delay starts the second copy first and ends the first one that much later.
    if (delay >= 0) {
        terminate();
        QTimer::singleShot(delay, this, [&] { second = start({late}); });
    } else {
        second = start({late});
        QTimer::singleShot(-delay, this, terminate);
    }
    QTRY_VERIFY_WITH_TIMEOUT(second != nullptr && terminated, 10000);
    QVERIFY(first->state() == QProcess::NotRunning || first->waitForFinished(60000));
    QCOMPARE(first->exitCode(), 0);

    // The second copy handed its file over, or it runs now: then it is closed in turn.
    QTRY_VERIFY_WITH_TIMEOUT(second->state() == QProcess::NotRunning || served("probe-2"), 60000);
    const bool ran = second->state() == QProcess::Running;
    if (ran) {
        ::kill(static_cast<pid_t>(second->processId()), SIGTERM);
    }
    QVERIFY(second->state() == QProcess::NotRunning || second->waitForFinished(60000));
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(!second->readAllStandardError().contains("Main window not found"));
    const QMap<QString, int> names = SavedNames(home);
    QCOMPARE(names.value("late"), 1);
    QCOMPARE(names.value("probe"), 1);
    QCOMPARE(names.value("row 0"), 1);
    QCOMPARE(names.value("row " + QString::number(rows - 1)), 1);
    qInfo("%d rows, second copy started %d ms after SIGTERM: %s", rows, delay,
          ran ? "it ran itself" : "handed over");
}

QTEST_MAIN(ClosingTest)
#include "ClosingTest.moc"

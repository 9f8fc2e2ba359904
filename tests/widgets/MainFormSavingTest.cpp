// The window's files: saving at close and while running, a list file it cannot read, and the
// options and desktop files, written or not.

#include "list/ListDataFile.h"
#include "session/ShellIntegration.h"
#include "tests/widgets/FormTestBase.h"
#include "widgets/ListSaver.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QUndoStack>

using namespace lintervale;

class MainFormSavingTest : public lintervale::testing::FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitFormResources(); }
    void init() { setUpForm(); }
    void cleanup();

    void listFileRoundTrip();
    void closeWithoutTraySavesAndEnds();
    void closeToTrayKeepsRunning();
    void aFailedSaveKeepsTheWindowOpen();
    void settingsFirstStartAndSave();
    void optionsAreWrittenWhenTheyChange();
    void aListFileThisRunDidNotLoadIsNeverSavedOver_data();
    void aListFileThisRunDidNotLoadIsNeverSavedOver();
    void anUnreadableListFileIsMovedAsideNeverOverwritten_data();
    void anUnreadableListFileIsMovedAsideNeverOverwritten();
    void aListFileThatCannotBeMovedIsNotSavedOver();
    void changesAreSavedSoonAfterInBursts();
    void aLongBatchIsSavedAsItGoesAndAtItsEnd();
    void autosaveFailuresShowOneBoxPerStreak();
    void optionsThatCannotBeWrittenAreReported();
    void desktopFilesThatCannotBeWrittenUntickTheirBox_data();
    void desktopFilesThatCannotBeWrittenUntickTheirBox();

private:
    // A path whose folder is a regular file: nothing can ever be written there, as root
    // neither.
    QString blockedPath(const QString& Name) {
        const QString file = m_Dir->filePath("plain-file");
        QFile(file).open(QIODevice::WriteOnly);
        return file + "/" + Name;
    }
    QByteArray read(const QString& File) {
        QFile in(File);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(missing)");
    }
    void write(const QString& File, const QByteArray& Bytes) {
        QDir().mkpath(QFileInfo(File).path());
        QFile out(File);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(Bytes);
    }
    // The files beside the list file that were moved aside.
    QStringList asideFiles() {
        return QDir(QFileInfo(m_Paths.ListFile).path())
            .entryList({QFileInfo(m_Paths.ListFile).fileName() + ".unreadable-*"},
                       QDir::AllEntries | QDir::Hidden);
    }
    // Saves while running wait this long in the tests that do not time them.
    void quickAutosave() { m_Form->saver().setAutosaveDelays(0, 0); }
};

void MainFormSavingTest::cleanup() {
    tearDownForm();
}

void MainFormSavingTest::listFileRoundTrip() {
    child<QCheckBox>("CheckBox2")->setChecked(true);
    m_Form->AddFile(torrent("r1", "udp://one/a"));
    m_Form->AddFile(torrent("r2"));
    m_Form->List().Grid().SetCell(TTorrentGrid::ColTrackers, 1, "\"x\"|\"y\"");
    m_Form->close();
    m_Form.reset();
    QVERIFY(QFile::exists(m_Paths.ListFile));

    m_Form = makeForm({torrent("r3")});
    waitForAdds();
    QCOMPARE(names(), QStringList({"r3", "r2", "r1"}));
    QCOMPARE(m_Form->List().Grid().Cell(TTorrentGrid::ColTrackers, 2), std::string("\"x\"|\"y\""));
    QCOMPARE(m_Form->List().Grid().Cell(TTorrentGrid::ColTrackers, 3),
             std::string("\"udp://one/a\""));
}

void MainFormSavingTest::closeWithoutTraySavesAndEnds() {
    child<QCheckBox>("CheckBox2")->setChecked(true);
    m_Form->AddFile(torrent("end"));
    QVERIFY(m_Form->close());
    QVERIFY(!m_Form->isVisible());
    QVERIFY(QFile::exists(m_Paths.ListFile));
    QSettings settings(m_Paths.SettingsFile, QSettings::IniFormat);
    QCOMPARE(settings.value("SaveOnExit").toInt(), 1);
    QCOMPARE(settings.value("QuietMode").toInt(), 1);
}

void MainFormSavingTest::closeToTrayKeepsRunning() {
    child<QCheckBox>("CheckBox2")->setChecked(true);
    child<QCheckBox>("CheckBox5")->setChecked(true);
    QVERIFY(!m_Form->close());
    // No tray here (offscreen): the window is minimised rather than stranded.
    QVERIFY(m_Form->isMinimized() || !m_Form->isVisible());
    QVERIFY2(!QFile::exists(m_Paths.ListFile), "hiding is no close");

    auto* menu = child<QMenu>("PopupMenu2");
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions()[0]->text(), QString("&Show"));
    QCOMPARE(menu->defaultAction(), menu->actions()[0]);
    QCOMPARE(menu->actions()[1]->text(), QString("E&xit"));
    menu->actions()[0]->trigger();
    QVERIFY(m_Form->isVisible());
    QVERIFY(!m_Form->isMinimized());
    // One click on the icon puts the window away and brings it back; a later copy's hand-off
    // brings it back from wherever it is.
    auto* icon = m_Form->findChild<QSystemTrayIcon*>("TrayIcon1");
    emit icon->activated(QSystemTrayIcon::Trigger);
    QVERIFY(m_Form->isMinimized() || !m_Form->isVisible());
    emit icon->activated(QSystemTrayIcon::Trigger);
    QVERIFY(m_Form->isVisible() && !m_Form->isMinimized());
    m_Form->hide();
    m_Form->tray().bringForward();
    QVERIFY(m_Form->isVisible() && !m_Form->isMinimized());
    menu->actions()[1]->trigger();
    QVERIFY(!m_Form->isVisible());
    QVERIFY(QFile::exists(m_Paths.ListFile));
}

void MainFormSavingTest::aFailedSaveKeepsTheWindowOpen() {
    child<QCheckBox>("CheckBox2")->setChecked(true);
    m_Form->AddFile(torrent("precious"));
    QVERIFY(QDir().mkpath(m_Paths.ListFile + "/in-the-way"));
    MessageBoxes::clearShown();
    QVERIFY(!m_Form->close());
    QVERIFY(m_Form->isVisible());
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QVERIFY(MessageBoxes::shown()[0].contains(m_Paths.ListFile));
    QCOMPARE(names(), QStringList("precious"));
}

void MainFormSavingTest::settingsFirstStartAndSave() {
    // The first start wrote the defaults and ticked quiet mode only.
    QSettings settings(m_Paths.SettingsFile, QSettings::IniFormat);
    QCOMPARE(settings.value("QuietMode").toInt(), 1);
    QCOMPARE(settings.value("SaveOnExit").toInt(), 0);
    QVERIFY(child<QCheckBox>("CheckBox4")->isChecked());
    for (const char* name : {"CheckBox2", "CheckBox3", "CheckBox5", "CheckBox7"}) {
        QVERIFY2(!child<QCheckBox>(name)->isChecked(), name);
    }
}

void MainFormSavingTest::optionsAreWrittenWhenTheyChange() {
    // Each box is in the file as soon as it changes, before any close.
    struct Case {
        const char* Box;
        const char* Key;
    };
    for (const Case& c : {Case{"CheckBox2", "SaveOnExit"}, Case{"CheckBox3", "AutoOpen"},
                          Case{"CheckBox4", "QuietMode"}, Case{"CheckBox5", "CloseToTray"},
                          Case{"CheckBox7", "FetchExtra"}}) {
        for (const bool on : {true, false, true}) {
            child<QCheckBox>(c.Box)->setChecked(on);
            QCOMPARE(QSettings(m_Paths.SettingsFile, QSettings::IniFormat).value(c.Key).toInt(),
                     on ? 1 : 0);
        }
    }

    // A run that ends without closing (killed, crashed) keeps the list: the next start has
    // "Save on exit" ticked and loads what the last save while running wrote.
    m_Form.reset();
    writeOptions(false, true);
    m_Form = makeForm();
    quickAutosave();
    QSignalSpy saves(&m_Form->saver(), &ListSaver::autosaved);
    child<QCheckBox>("CheckBox2")->setChecked(true);
    for (const char* name : {"one", "two", "three"}) {
        m_Form->AddFile(torrent(name));
    }
    QTRY_VERIFY(!m_Form->saver().autosavePending() && !saves.isEmpty());
    m_Form.reset(); // no close: as a kill would end it
    m_Form = makeForm();
    QVERIFY(child<QCheckBox>("CheckBox2")->isChecked());
    QCOMPARE(names(), (QStringList{"three", "two", "one"}));
}

void MainFormSavingTest::aListFileThisRunDidNotLoadIsNeverSavedOver_data() {
    QTest::addColumn<QString>("answer");
    QTest::addRow("quiet mode loads it") << "quiet";
    QTest::addRow("Yes loads it") << "yes";
    QTest::addRow("No moves it aside") << "no";
}

// "Save on exit" was unticked at start (the options of an earlier run were lost), so the list
// file was not loaded; ticking it must not let the next save write a shorter list over it.
void MainFormSavingTest::aListFileThisRunDidNotLoadIsNeverSavedOver() {
    QFETCH(QString, answer);
    m_Form.reset();
    TTorrentGrid earlier;
    earlier.SetRowCount(4);
    for (int r = 1; r <= 3; ++r) {
        earlier.SetCell(TTorrentGrid::ColName, r, "earlier " + std::to_string(r));
        earlier.SetCell(TTorrentGrid::ColHash, r, std::string(40, static_cast<char>('0' + r)));
    }
    QDir().mkpath(QFileInfo(m_Paths.ListFile).path());
    SaveGridFile(earlier, m_Paths.ListFile.toStdString());
    const QByteArray before = read(m_Paths.ListFile);
    writeOptions(false, answer == "quiet");
    m_Form = makeForm();
    quickAutosave();
    m_Form->AddFile(torrent("new"));
    QCOMPARE(names(), QStringList("new"));
    MessageBoxes::clearShown();
    MessageBoxes::setNextAnswer(answer == "no" ? QMessageBox::No : QMessageBox::Yes);
    QSignalSpy saves(&m_Form->saver(), &ListSaver::autosaved);
    child<QCheckBox>("CheckBox2")->setChecked(true);
    QCOMPARE(MessageBoxes::shown().size(), answer == "quiet" ? 0 : 1);
    QVERIFY(saves.wait(20000));
    TTorrentGrid saved;
    LoadGridFile(saved, m_Paths.ListFile.toStdString());
    if (answer == "no") {
        QCOMPARE(names(), QStringList("new"));
        QCOMPARE(asideFiles().size(), 1);
        QCOMPARE(read(QFileInfo(m_Paths.ListFile).dir().filePath(asideFiles()[0])), before);
        QCOMPARE(saved.RowCount(), 2);
    } else {
        const QStringList all{"new", "earlier 1", "earlier 2", "earlier 3"};
        QCOMPARE(names(), all);
        QCOMPARE(saved.RowCount(), 5);
        QVERIFY2(status().contains("3"), qPrintable(status()));
        // The rows so loaded are one step: Undo takes exactly them out, Redo brings them back.
        QUndoStack& undo = m_Form->undoStack();
        QCOMPARE(undo.undoText(), QString("Load saved list"));
        undo.undo();
        QCOMPARE(names(), QStringList("new"));
        undo.redo();
        QCOMPARE(names(), all);
    }
}

void MainFormSavingTest::anUnreadableListFileIsMovedAsideNeverOverwritten_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("quiet");
    QTest::addColumn<QString>("reason");
    for (const bool quiet : {true, false}) {
        const char* mode = quiet ? ", quiet" : ", boxes";
        QTest::addRow("bad count%s", mode) << "count" << quiet << "Invalid numeric input";
        QTest::addRow("a folder%s", mode) << "folder" << quiet << "Is a directory";
        QTest::addRow("too large%s", mode) << "large" << quiet << "too large";
        QTest::addRow("cut short%s", mode) << "cut" << quiet << "cut short";
        QTest::addRow("a device%s", mode) << "device" << quiet << "a device, not a regular file";
    }
}

void MainFormSavingTest::anUnreadableListFileIsMovedAsideNeverOverwritten() {
    QFETCH(QString, kind);
    QFETCH(bool, quiet);
    QFETCH(QString, reason);
    m_Form.reset();
    writeOptions(true, quiet);
    const QByteArray before = kind == "cut"
                                  ? "6\r\n3\r\n\r\n\r\n\r\nTorrent\r\nold\r\nolder\r\nHash\r\n"
                                  : "6\r\nnot a number\r\n";
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(m_Paths.ListFile + "/inside"));
    } else if (kind == "device") {
        QVERIFY(QDir().mkpath(QFileInfo(m_Paths.ListFile).path()));
        QVERIFY(QFile::link("/dev/zero", m_Paths.ListFile));
    } else {
        write(m_Paths.ListFile, before);
        if (kind == "large") {
            // Sparse: no disk is spent on it.
            QVERIFY(QFile(m_Paths.ListFile).resize(300LL << 20));
        }
    }
    MessageBoxes::clearShown();
    m_Form = makeForm({torrent("new")});
    waitForAdds();

    const QStringList aside = asideFiles();
    QCOMPARE(aside.size(), 1);
    const QString asidePath = QFileInfo(m_Paths.ListFile).path() + "/" + aside[0];
    QVERIFY2(status().contains(reason) && status().contains(asidePath), qPrintable(status()));
    if (quiet) {
        QVERIFY(MessageBoxes::shown().isEmpty());
    } else {
        QCOMPARE(MessageBoxes::shown().size(), 1);
        QVERIFY(MessageBoxes::shown()[0].startsWith(status().section(" - ", 0, 0)));
    }
    if (kind == "count" || kind == "cut") {
        QCOMPARE(read(asidePath), before);
    }

    // The next save writes a new list; what was moved aside stays as it was.
    QVERIFY(m_Form->close());
    QCOMPARE(names(), QStringList("new"));
    TTorrentGrid saved;
    LoadGridFile(saved, m_Paths.ListFile.toStdString());
    QCOMPARE(saved.Cell(TTorrentGrid::ColName, 1), std::string("new"));
    QCOMPARE(asideFiles(), aside);
    if (kind == "count" || kind == "cut") {
        QCOMPARE(read(asidePath), before);
    }
}

void MainFormSavingTest::aListFileThatCannotBeMovedIsNotSavedOver() {
    // Its name is as long as a name can be: with the suffix for moving it aside it is too long.
    m_Form.reset();
    m_Paths.ListFile = m_Dir->filePath("data/" + QString(250, 'l'));
    writeOptions(true, true);
    const QByteArray before = "6\r\nnot a number\r\n";
    write(m_Paths.ListFile, before);
    m_Form = makeForm();
    QVERIFY2(status().contains("not saved over"), qPrintable(status()));
    QVERIFY(asideFiles().isEmpty());

    // Neither while running nor at close; the window stays open at close, as for any save
    // that fails, until "Save on exit" is unticked.
    quickAutosave();
    QSignalSpy saves(&m_Form->saver(), &ListSaver::autosaved);
    m_Form->AddFile(torrent("kept in memory"));
    QVERIFY(saves.wait(20000));
    QCOMPARE(saves.last().at(0).toBool(), false);
    QVERIFY2(MessageBoxes::shown().isEmpty(), "quiet mode: the status line only");
    QVERIFY(status().contains("not saved over"));
    QVERIFY(!m_Form->close());
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QCOMPARE(read(m_Paths.ListFile), before);
    child<QCheckBox>("CheckBox2")->setChecked(false);
    QVERIFY(m_Form->close());
    QCOMPARE(read(m_Paths.ListFile), before);
}

void MainFormSavingTest::changesAreSavedSoonAfterInBursts() {
    // Unticked: a change leaves nothing to save.
    m_Form->AddFile(torrent("u"));
    QVERIFY(!m_Form->saver().autosavePending());

    child<QCheckBox>("CheckBox2")->setChecked(true);
    m_Form->saver().setAutosaveDelays(50, 60000);
    QSignalSpy saves(&m_Form->saver(), &ListSaver::autosaved);
    // A burst: three changes in a row are one save.
    m_Form->AddFile(torrent("a"));
    m_Form->AddFile(torrent("b"));
    m_Form->AddFile(torrent("c"));
    QVERIFY(m_Form->saver().autosavePending());
    QVERIFY(saves.wait(20000));
    QCOMPARE(m_Form->saver().autosaves(), 1);
    QVERIFY(!m_Form->saver().autosavePending());
    TTorrentGrid saved;
    LoadGridFile(saved, m_Paths.ListFile.toStdString());
    QCOMPARE(saved.RowCount(), 5);
    QCOMPARE(saved.Cell(TTorrentGrid::ColName, 1), std::string("c"));

    // Each command that changes the list counts: here Delete trackers.
    trigger("SelectAll");
    trigger("Deletetrackers");
    QVERIFY(saves.wait(20000));
    LoadGridFile(saved, m_Paths.ListFile.toStdString());
    QCOMPARE(saved.Cell(TTorrentGrid::ColTrackers, 2), std::string());

    // Changes that never pause are saved after the longest wait all the same.
    m_Form->saver().setAutosaveDelays(60000, 50);
    m_Form->AddFile(torrent("d"));
    QVERIFY(saves.wait(20000));
    QCOMPARE(m_Form->saver().autosaves(), 3);

    // Unticking drops a save that was waiting.
    m_Form->saver().setAutosaveDelays(60000, 60000);
    m_Form->AddFile(torrent("e"));
    QVERIFY(m_Form->saver().autosavePending());
    child<QCheckBox>("CheckBox2")->setChecked(false);
    QVERIFY(!m_Form->saver().autosavePending());
}

void MainFormSavingTest::aLongBatchIsSavedAsItGoesAndAtItsEnd() {
    child<QCheckBox>("CheckBox2")->setChecked(true);
    QStringList files;
    for (int i = 0; i < 40; ++i) {
        files.append(torrent(QString("batch%1").arg(i)));
    }
    m_Form->adder().setSliceMilliseconds(0); // one file per slice, a change each time
    // The quiet wait never comes while the batch goes on; the longest wait does.
    m_Form->saver().setAutosaveDelays(60000, 0);
    QSignalSpy saves(&m_Form->saver(), &ListSaver::autosaved);
    m_Form->AddFiles(files);
    QVERIFY(saves.wait(20000));
    QVERIFY2(m_Form->adding(), "saved while the batch goes on");
    // Its end is saved too.
    waitForAdds();
    QTRY_VERIFY_WITH_TIMEOUT(!m_Form->saver().autosavePending(), 20000);
    TTorrentGrid saved;
    LoadGridFile(saved, m_Paths.ListFile.toStdString());
    QCOMPARE(saved.RowCount(), 41);
}

void MainFormSavingTest::autosaveFailuresShowOneBoxPerStreak() {
    child<QCheckBox>("CheckBox2")->setChecked(true);
    child<QCheckBox>("CheckBox4")->setChecked(false);
    quickAutosave();
    QSignalSpy saves(&m_Form->saver(), &ListSaver::autosaved);
    // A folder where the list file should be: no save can replace it.
    QVERIFY(QDir().mkpath(m_Paths.ListFile + "/in-the-way"));
    MessageBoxes::clearShown();
    for (const char* name : {"f1", "f2", "f3"}) {
        m_Form->AddFile(torrent(name));
        QVERIFY(saves.wait(20000));
        QCOMPARE(saves.last().at(0).toBool(), false);
        QVERIFY2(status().startsWith("The list could not be saved: ") &&
                     status().contains(m_Paths.ListFile),
                 qPrintable(status()));
    }
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QVERIFY(MessageBoxes::shown()[0].contains(m_Paths.ListFile));

    // The way is free again: saved, and said so; the next failure is a new streak.
    QVERIFY(QDir(m_Paths.ListFile).removeRecursively());
    m_Form->AddFile(torrent("f4"));
    QVERIFY(saves.wait(20000));
    QCOMPARE(saves.last().at(0).toBool(), true);
    QCOMPARE(status(), QString("The list is saved again."));
    QVERIFY(QFile::remove(m_Paths.ListFile));
    QVERIFY(QDir().mkpath(m_Paths.ListFile + "/in-the-way"));
    m_Form->AddFile(torrent("f5"));
    QVERIFY(saves.wait(20000));
    QCOMPARE(MessageBoxes::shown().size(), 2);
}

void MainFormSavingTest::optionsThatCannotBeWrittenAreReported() {
    m_Form.reset();
    m_Paths.SettingsFile = blockedPath("Lintervale.conf");
    MessageBoxes::clearShown();
    // The first start cannot write the defaults; the box comes in quiet mode too.
    m_Form = makeForm();
    QVERIFY(child<QCheckBox>("CheckBox4")->isChecked());
    QVERIFY2(status().contains("Cannot write the options file") &&
                 status().contains(m_Paths.SettingsFile) && status().contains("Not a directory"),
             qPrintable(status()));
    QCOMPARE(MessageBoxes::shown().size(), 1);
    // At close the same: a box, and the program still ends.
    QVERIFY(m_Form->close());
    QCOMPARE(MessageBoxes::shown().size(), 2);
    QVERIFY(MessageBoxes::shown()[1].contains("The options were not saved."));
}

void MainFormSavingTest::desktopFilesThatCannotBeWrittenUntickTheirBox_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QByteArray>("variable");
    QTest::addRow("start at login") << "CheckBox6" << QByteArray("XDG_CONFIG_HOME");
    QTest::addRow("associate, its entry") << "CheckBox1" << QByteArray("XDG_DATA_HOME");
    QTest::addRow("associate, mimeapps.list") << "CheckBox1" << QByteArray("XDG_CONFIG_HOME");
}

void MainFormSavingTest::desktopFilesThatCannotBeWrittenUntickTheirBox() {
    QFETCH(QString, box);
    QFETCH(QByteArray, variable);
    // The desktop's folders in the test's own folder, one of them where nothing can be made.
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const QByteArray data = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_CONFIG_HOME", m_Dir->filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", m_Dir->filePath("data").toUtf8());
    qputenv(variable.constData(), blockedPath("home").toUtf8());
    auto* check = child<QCheckBox>(box.toUtf8().constData());
    QTest::mouseClick(check, Qt::LeftButton);
    const bool untickedAgain = !check->isChecked();
    const QString shown = status();
    const ShellIntegration shell(m_Paths.ProgramPath);
    const bool nothingOn = !shell.startsAtLogin() && !shell.opensTorrents();
    qputenv("XDG_CONFIG_HOME", config);
    qputenv("XDG_DATA_HOME", data);
    QVERIFY(untickedAgain);
    QVERIFY(nothingOn);
    QVERIFY2(shown.startsWith("Cannot write \"" + blockedPath("home")) &&
                 shown.endsWith("Not a directory"),
             qPrintable(shown));
    QVERIFY2(MessageBoxes::shown().isEmpty(), "quiet mode");
}

QTEST_MAIN(MainFormSavingTest)
#include "MainFormSavingTest.moc"

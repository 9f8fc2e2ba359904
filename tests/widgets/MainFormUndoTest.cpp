// The tracker commands in the main window; undo and redo of the commands that take data
// out: keys, the grid's menu, several steps, and what came after a command surviving its undo.

#include "list/ListDataFile.h"
#include "tests/widgets/FormTestBase.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>

using namespace lintervale;
using G = TTorrentGrid;

class MainFormUndoTest : public lintervale::testing::FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitFormResources(); }
    void init();
    void cleanup() { tearDownForm(); }

    void trackerCommands();
    void clearAllAsks();
    void removeSelectedByKeysAndMenu();
    void severalStepsBackAndForth();
    void laterAddsSurviveAnUndo();
    void theTrackerEditorsSave();
    void tenThousandRowsDeletedByMistake();

private:
    void add(const QStringList& Names) {
        QStringList files;
        for (const QString& name : Names) {
            files.append(torrent(name, "http://" + name + "/a"));
        }
        m_Form->AddFiles(files);
        waitForAdds();
    }
    QTableView* grid() { return child<QTableView>("StringGrid1"); }
    void keys(Qt::Key Key, Qt::KeyboardModifiers Modifiers) {
        QTest::keyClick(grid(), Key, Modifiers);
    }
    std::string trackers(int Row) { return m_Form->List().Grid().Cell(G::ColTrackers, Row); }
};

void MainFormUndoTest::init() {
    setUpForm();
    QVERIFY(QTest::qWaitForWindowActive(m_Form.get()));
    grid()->setFocus();
}

void MainFormUndoTest::trackerCommands() {
    m_Form->AddFiles({torrent("t1", "http://one/a"), torrent("t2", "http://two/a")});
    waitForAdds();
    QCOMPARE(child<QAction>("Gettrackersfromsite")->text(),
             QString("&Get trackers from raw.githubusercontent.com"));

    // Several rows: no editor, the reason on the status line.
    trigger("SelectAll");
    trigger("Edittrackerlist");
    QCOMPARE(status(), QString("You can only edit one row at a time."));

    // One row: the editor opens on it; a new line is saved into the cell.
    m_Form->List().SetRow(1);
    QString caption;
    QTimer::singleShot(0, this, [&] {
        auto* editor = m_Form->findChild<QDialog*>("EditForm");
        QVERIFY(editor != nullptr && editor->isVisible());
        caption = editor->windowTitle();
        child<QPushButton>("AddBtn")->click();
        QTest::keyClicks(child<QLineEdit>("Edit1"), "udp://new/b");
        child<QPushButton>("SaveBtn")->click();
    });
    trigger("Edittrackerlist");
    QCOMPARE(caption, QString("Editing: t2"));
    QCOMPARE(m_Form->List().Grid().Cell(TTorrentGrid::ColTrackers, 1),
             std::string("\"http://two/a\"|\"udp://new/b\""));

    trigger("SelectAll");
    trigger("Deletetrackers");
    QCOMPARE(m_Form->List().Grid().Cell(TTorrentGrid::ColTrackers, 1), std::string());
    QCOMPARE(m_Form->List().Grid().Cell(TTorrentGrid::ColTrackers, 2), std::string());
    QCOMPARE(m_Form->List().Grid().Cell(TTorrentGrid::ColName, 2), std::string("t1"));
}

void MainFormUndoTest::clearAllAsks() {
    child<QCheckBox>("CheckBox4")->setChecked(false);
    m_Form->AddFiles({torrent("k1"), torrent("k2")});
    waitForAdds();
    MessageBoxes::setNextAnswer(QMessageBox::No);
    QTest::mouseClick(child<QPushButton>("Button2"), Qt::LeftButton);
    QCOMPARE(names().size(), 2);
    QCOMPARE(MessageBoxes::shown().last(), QString("Are you sure?"));
    MessageBoxes::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(child<QPushButton>("Button2"), Qt::LeftButton);
    QCOMPARE(names(), QStringList(""));
    QCOMPARE(child<QTableView>("StringGrid1")->model()->rowCount(), 1);
}

void MainFormUndoTest::removeSelectedByKeysAndMenu() {
    QVERIFY(!child<QAction>("Undo")->isEnabled());
    QVERIFY(!child<QAction>("Redo")->isEnabled());
    add({"e", "d", "c", "b", "a"});
    m_Form->List().UserSelect(2, 4);
    keys(Qt::Key_Delete, Qt::NoModifier);
    QCOMPARE(names(), QStringList({"a", "e"}));
    QVERIFY(child<QAction>("Undo")->isEnabled());

    keys(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(names(), QStringList({"a", "b", "c", "d", "e"}));
    QCOMPARE(grid()->model()->rowCount(), 5);
    // What came back is selected.
    QCOMPARE(m_Form->List().Grid().SelectionTop(), 2);
    QCOMPARE(m_Form->List().Grid().SelectionBottom(), 4);
    QCOMPARE(grid()->selectionModel()->selectedRows().size(), 3);
    QCOMPARE(trackers(3), std::string("\"http://c/a\""));
    QVERIFY(child<QAction>("Redo")->isEnabled());

    keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(names(), QStringList({"a", "e"}));
    QCOMPARE(grid()->model()->rowCount(), 2);
    // The grid's context menu does the same.
    trigger("Undo");
    QCOMPARE(names(), QStringList({"a", "b", "c", "d", "e"}));
    trigger("Redo");
    QCOMPARE(names(), QStringList({"a", "e"}));
}

void MainFormUndoTest::severalStepsBackAndForth() {
    child<QCheckBox>("CheckBox4")->setChecked(false);
    add({"c", "b", "a"});
    m_Form->List().UserSelect(2, 2);
    keys(Qt::Key_Delete, Qt::NoModifier);
    keys(Qt::Key_A, Qt::ControlModifier);
    keys(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(trackers(1), std::string());
    // No is no change, and nothing to undo.
    MessageBoxes::setNextAnswer(QMessageBox::No);
    QTest::mouseClick(child<QPushButton>("Button2"), Qt::LeftButton);
    QCOMPARE(m_Form->undoStack().count(), 3); // the add, Remove selected, Delete trackers
    MessageBoxes::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(child<QPushButton>("Button2"), Qt::LeftButton);
    QCOMPARE(names(), QStringList(""));
    QCOMPARE(m_Form->undoStack().count(), 4);
    QCOMPARE(m_Form->undoStack().undoText(), QString("Clear all"));

    // Back, one step at a time: Clear all, Delete trackers, Remove selected.
    keys(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(names(), QStringList({"a", "c"}));
    QCOMPARE(trackers(1), std::string());
    keys(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(trackers(1), std::string("\"http://a/a\""));
    QCOMPARE(trackers(2), std::string("\"http://c/a\""));
    keys(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(names(), QStringList({"a", "b", "c"}));
    QCOMPARE(m_Form->undoStack().undoText(), QString("Add"));
    keys(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(names(), QStringList(""));
    QVERIFY(!child<QAction>("Undo")->isEnabled());

    // And forward again.
    for (int step = 0; step < 4; ++step) {
        keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }
    QCOMPARE(names(), QStringList(""));
    QVERIFY(!child<QAction>("Redo")->isEnabled());
}

void MainFormUndoTest::laterAddsSurviveAnUndo() {
    add({"c", "b", "a"});
    QTest::mouseClick(child<QPushButton>("Button2"), Qt::LeftButton); // quiet: no question
    QCOMPARE(names(), QStringList(""));
    // Later, each on its own as a hand-off brings it: one new torrent, and one of the cleared
    // ones again.
    m_Form->AddFile(torrent("new", "http://new/a"));
    m_Form->AddFile(torrent("b", "http://b/a"));
    grid()->setFocus();
    keys(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(names(), QStringList({"b", "new", "a", "c"}));
    QCOMPARE(m_Form->List().Grid().RowsWithHash(m_Form->List().Grid().Cell(G::ColHash, 1)).size(),
             std::size_t{1});
    QCOMPARE(status(), QString("1 of 3 rows were not put back: their torrents are listed again."));
    // Redone, only what the undo put back goes again.
    keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(names(), QStringList({"b", "new"}));
}

void MainFormUndoTest::theTrackerEditorsSave() {
    add({"t"});
    const auto edit = [&](bool Save) {
        QTimer::singleShot(0, this, [&, Save] {
            child<QPushButton>("AddBtn")->click();
            QTest::keyClicks(child<QLineEdit>("Edit1"), "udp://new/b");
            if (Save) {
                child<QPushButton>("SaveBtn")->click();
            } else {
                // The editor asks before it drops the new line.
                MessageBoxes::setNextAnswer(QMessageBox::Yes);
                m_Form->findChild<QDialog*>("EditForm")->reject();
            }
        });
        trigger("Edittrackerlist");
    };
    edit(false);
    QCOMPARE(m_Form->undoStack().count(), 1); // the add
    edit(true);
    QCOMPARE(trackers(1), std::string("\"http://t/a\"|\"udp://new/b\""));
    QCOMPARE(m_Form->undoStack().undoText(), QString("Edit tracker list"));
    // The row moves down meanwhile: the undo finds it by its hash.
    m_Form->AddFile(torrent("on top", "http://on top/a"));
    trigger("Undo");
    QCOMPARE(trackers(2), std::string("\"http://t/a\""));
    QCOMPARE(trackers(1), std::string("\"http://on top/a\""));
    trigger("Redo");
    QCOMPARE(trackers(2), std::string("\"http://t/a\"|\"udp://new/b\""));
}

void MainFormUndoTest::tenThousandRowsDeletedByMistake() {
    TTorrentGrid big;
    big.SetRowCount(10001);
    for (int r = 1; r <= 10000; ++r) {
        const std::string name = "n" + std::to_string(r);
        big.SetRowCells(r, {"", name, "h" + std::to_string(r), "\"http://t/a\"", "1", "1 MB"});
    }
    m_Form.reset();
    writeOptions(true, true);
    SaveGridFile(big, m_Paths.ListFile.toStdString());
    m_Form = makeForm();
    QCOMPARE(names().size(), 10000);
    QVERIFY(QTest::qWaitForWindowActive(m_Form.get()));
    grid()->setFocus();
    keys(Qt::Key_A, Qt::ControlModifier);
    keys(Qt::Key_Delete, Qt::NoModifier);
    QCOMPARE(names(), QStringList(""));
    keys(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(names().size(), 10000);
    QCOMPARE(grid()->model()->rowCount(), 10000);
    for (int r = 1; r <= 10000; r += 999) {
        QCOMPARE(m_Form->List().Grid().RowCells(r), big.RowCells(r));
    }
    keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(grid()->model()->rowCount(), 1);
}

QTEST_MAIN(MainFormUndoTest)
#include "MainFormUndoTest.moc"

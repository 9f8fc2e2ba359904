// The tracker editor, driven through its object names, offscreen.

#include "widgets/EditForm.h"

#include "list/TorrentList.h"
#include "tests/list/RecordingHost.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace lintervale;
using G = TTorrentGrid;

class EditFormTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void widgetsCarryTheirNamesAndCaptions();
    void layoutFollowsTheWindow();
    void opensWithTheCellsLines_data();
    void opensWithTheCellsLines();
    void selectingALineFillsEdit1();
    void theListFollowsEachKeystroke();
    void addTrackerAppendsAndFocuses();
    void emptyLinesAreNotSaved();
    void removeKeepsASelectionWherePossible();
    void closingWithoutSaveWritesNothing();
    void typingBeforeAddTrackerMakesALine();
    void saveKeepsEachLineOneTracker();
    void editRowRunsModally();
    void saveFindsTheTorrentByItsHash_data();
    void saveFindsTheTorrentByItsHash();

private:
    template <typename T> T* child(const char* Name) {
        T* found = m_Form->findChild<T*>(Name);
        if (found == nullptr) {
            qFatal("no child %s", Name);
        }
        return found;
    }
    QListWidget* list() { return child<QListWidget>("ListBox1"); }
    QLineEdit* edit() { return child<QLineEdit>("Edit1"); }
    void click(const char* Button) {
        QTest::mouseClick(child<QPushButton>(Button), Qt::LeftButton);
    }
    void clickLine(int Index) {
        QListWidgetItem* item = list()->item(Index);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(item).center());
    }
    QStringList lines() {
        QStringList result;
        for (int i = 0; i < list()->count(); ++i) {
            result.append(list()->item(i)->text());
        }
        return result;
    }
    int selected() {
        const QList<QListWidgetItem*> items = list()->selectedItems();
        return items.isEmpty() ? -1 : list()->row(items.first());
    }
    // Opens the editor on Row without blocking and waits until it is shown.
    void open(int Row) {
        m_Form->load(Row);
        m_Form->open();
        QVERIFY(QTest::qWaitForWindowExposed(m_Form.get(), 20000));
    }
    std::string cell(int Row) const { return m_List->Grid().Cell(G::ColTrackers, Row); }
    TTorrentGrid& grid() { return m_List->Grid(); }

    testing::TRecordingHost m_Host;
    std::unique_ptr<TTorrentList> m_List;
    std::unique_ptr<EditForm> m_Form;
};

void EditFormTest::init() {
    m_Host = testing::TRecordingHost();
    m_List = std::make_unique<TTorrentList>(m_Host);
    grid().SetRowCount(4);
    grid().SetRowCells(1, G::TRow{"", "first", "H1", "\"http://a/1\"|\"udp://b/2\"", "1", "1 MB"});
    grid().SetRowCells(2, G::TRow{"", "second", "H2", "\"http://c/3\"", "1", "1 MB"});
    grid().SetRowCells(3, G::TRow{"", "third", "H3", "", "1", "1 MB"});
    m_Form = std::make_unique<EditForm>(*m_List, m_Host);
}

void EditFormTest::cleanup() {
    m_Form.reset();
    m_List.reset();
}

void EditFormTest::widgetsCarryTheirNamesAndCaptions() {
    QCOMPARE(m_Form->objectName(), QString("EditForm"));
    QVERIFY2(!m_Form->isVisible(), "made hidden");
    QCOMPARE(child<QPushButton>("AddBtn")->text(), QString("&Add tracker"));
    QCOMPARE(child<QPushButton>("RemoveBtn")->text(), QString("&Remove"));
    QCOMPARE(child<QPushButton>("SaveBtn")->text(), QString("&Save"));
    QVERIFY(edit()->isEnabled());
    QCOMPARE(m_Form->minimumSize(), QSize(300, 200));
    QCOMPARE(m_Form->size(), QSize(600, 300));
    for (const char* name : {"AddBtn", "RemoveBtn", "SaveBtn"}) {
        QCOMPARE(child<QPushButton>(name)->parentWidget(), child<QWidget>("Panel1"));
    }
}

void EditFormTest::layoutFollowsTheWindow() {
    open(1);
    auto* panel = child<QWidget>("Panel1");
    auto* add = child<QPushButton>("AddBtn");
    auto* remove = child<QPushButton>("RemoveBtn");
    auto* save = child<QPushButton>("SaveBtn");
    const auto check = [&] {
        // The panel on the right, the list and the edit box beside it, Save at its bottom.
        QVERIFY(panel->width() >= 96);
        QCOMPARE(panel->x() + panel->width(), m_Form->width());
        QCOMPARE(panel->height(), m_Form->height());
        QCOMPARE(list()->geometry().topLeft(), QPoint(8, 8));
        QCOMPARE(edit()->x(), 8);
        QCOMPARE(edit()->width(), list()->width());
        QCOMPARE(list()->x() + list()->width() + 8, panel->x());
        QCOMPARE(edit()->y() + edit()->height() + 8, m_Form->height());
        QVERIFY(edit()->y() > list()->y() + list()->height());
        QCOMPARE(add->y(), 8);
        QVERIFY(remove->y() > add->y() + add->height() - 1);
        QCOMPARE(save->y() + save->height() + 8, panel->height());
        QVERIFY(add->width() >= 75 && add->height() >= 25);
    };
    check();
    const int listWidth = list()->width();
    const int listHeight = list()->height();
    m_Form->resize(800, 500);
    QTRY_COMPARE_WITH_TIMEOUT(m_Form->size(), QSize(800, 500), 20000);
    check();
    QCOMPARE(list()->width(), listWidth + 200);
    QCOMPARE(list()->height(), listHeight + 200);
    m_Form->resize(100, 100);
    QTRY_COMPARE_WITH_TIMEOUT(m_Form->size(), QSize(300, 200), 20000);
    check();
}

void EditFormTest::opensWithTheCellsLines_data() {
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("one tracker") << QByteArray("\"http://a/announce\"")
                                 << QStringList{"http://a/announce"}
                                 << QByteArray("\"http://a/announce\"");
    QTest::newRow("two double quotes") << QByteArray("\"\"") << QStringList{""} << QByteArray();
    QTest::newRow("unquoted with a space")
        << QByteArray("udp://a udp://b") << QStringList{"udp://a", "udp://b"}
        << QByteArray("\"udp://a\"|\"udp://b\"");
    QTest::newRow("ends with a bar")
        << QByteArray("\"udp://a\"|") << QStringList{"udp://a", ""} << QByteArray("\"udp://a\"");
    QTest::newRow("empty") << QByteArray() << QStringList{} << QByteArray();
    QTest::newRow("UTF-8") << QByteArray("\"udp://\xC3\xA9t\xC3\xA9\"")
                           << QStringList{QString::fromUtf8("udp://\xC3\xA9t\xC3\xA9")}
                           << QByteArray("\"udp://\xC3\xA9t\xC3\xA9\"");
}

void EditFormTest::opensWithTheCellsLines() {
    QFETCH(QByteArray, cell);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, saved);
    grid().SetCell(G::ColName, 2, "n\xC3\xA4me");
    grid().SetCell(G::ColTrackers, 2, cell.toStdString());
    open(2);
    QCOMPARE(m_Form->windowTitle(), QString::fromUtf8("Editing: n\xC3\xA4me"));
    QCOMPARE(this->lines(), lines);
    QCOMPARE(selected(), -1);
    click("SaveBtn");
    QVERIFY(!m_Form->isVisible());
    QCOMPARE(QByteArray::fromStdString(this->cell(2)), saved);
    QCOMPARE(this->cell(1), std::string("\"http://a/1\"|\"udp://b/2\""));
    QCOMPARE(this->cell(3), std::string());
}

void EditFormTest::selectingALineFillsEdit1() {
    open(1);
    clickLine(1);
    QCOMPARE(selected(), 1);
    QVERIFY(edit()->isEnabled());
    QCOMPARE(edit()->text(), QString("udp://b/2"));

    // The keyboard moves the selection as the mouse does.
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Up);
    QCOMPARE(selected(), 0);
    QCOMPARE(edit()->text(), QString("http://a/1"));

    // Taking the selection away empties Edit1, ready for a new tracker.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list()->visualItemRect(list()->item(0)).center());
    QCOMPARE(selected(), -1);
    QVERIFY(edit()->isEnabled());
    QCOMPARE(edit()->text(), QString());
}

void EditFormTest::theListFollowsEachKeystroke() {
    open(1);
    clickLine(0);
    edit()->setFocus();
    edit()->end(false);
    QTest::keyClick(edit(), Qt::Key_X);
    QCOMPARE(list()->item(0)->text(), QString("http://a/1x"));
    QTest::keyClicks(edit(), "yz");
    QCOMPARE(list()->item(0)->text(), QString("http://a/1xyz"));
    QTest::keyClick(edit(), Qt::Key_Backspace);
    QCOMPARE(list()->item(0)->text(), QString("http://a/1xy"));
    QCOMPARE(list()->item(1)->text(), QString("udp://b/2"));
    click("SaveBtn");
    QCOMPARE(cell(1), std::string("\"http://a/1xy\"|\"udp://b/2\""));
    QCOMPARE(edit()->text(), QString());
}

void EditFormTest::addTrackerAppendsAndFocuses() {
    open(2);
    clickLine(0);
    QCOMPARE(edit()->text(), QString("http://c/3"));
    click("AddBtn");
    QCOMPARE(lines(), QStringList({"http://c/3", ""}));
    QCOMPARE(selected(), 1);
    QVERIFY(edit()->isEnabled());
    QCOMPARE(edit()->text(), QString());
    QCOMPARE(m_Form->focusWidget(), edit());
    QTest::keyClicks(edit(), "udp://new/1");
    QCOMPARE(lines(), QStringList({"http://c/3", "udp://new/1"}));
    click("SaveBtn");
    QCOMPARE(cell(2), std::string("\"http://c/3\"|\"udp://new/1\""));
}

void EditFormTest::emptyLinesAreNotSaved() {
    open(3);
    QCOMPARE(lines(), QStringList());
    click("AddBtn");
    click("AddBtn");
    QCOMPARE(lines(), QStringList({"", ""}));
    click("SaveBtn");
    QCOMPARE(cell(3), std::string());

    // Blanks around a line are no part of the tracker.
    open(3);
    click("AddBtn");
    click("AddBtn");
    QTest::keyClicks(edit(), "  udp://t/1 ");
    click("AddBtn");
    click("SaveBtn");
    QCOMPARE(cell(3), std::string("\"udp://t/1\""));
}

void EditFormTest::removeKeepsASelectionWherePossible() {
    grid().SetCell(G::ColTrackers, 1, "\"l0\"|\"l1\"|\"l2\"|\"l3\"");
    open(1);

    // Nothing selected: nothing removed, Edit1 empty.
    click("RemoveBtn");
    QCOMPARE(lines().size(), 4);
    QCOMPARE(edit()->text(), QString());

    clickLine(1);
    click("RemoveBtn");
    QCOMPARE(lines(), QStringList({"l0", "l2", "l3"}));
    QCOMPARE(selected(), 1);
    QCOMPARE(edit()->text(), QString("l2"));
    QVERIFY(edit()->isEnabled());

    clickLine(2);
    click("RemoveBtn");
    QCOMPARE(lines(), QStringList({"l0", "l2"}));
    QCOMPARE(selected(), 1); // the new last line
    QCOMPARE(edit()->text(), QString("l2"));

    click("RemoveBtn");
    click("RemoveBtn");
    QCOMPARE(lines(), QStringList());
    QCOMPARE(selected(), -1);
    QCOMPARE(edit()->text(), QString());
    click("SaveBtn");
    QCOMPARE(cell(1), std::string());
}

void EditFormTest::closingWithoutSaveWritesNothing() {
    struct Case {
        const char* What;
        bool Change;
        bool Escape; // else the window's close button
        bool Discard;
        bool Closed;
    };
    const Case cases[] = {
        {"unchanged, Escape", false, true, false, true},
        {"unchanged, closed", false, false, false, true},
        {"changed, Escape, kept", true, true, false, false},
        {"changed, Escape, discarded", true, true, true, true},
        {"changed, closed, kept", true, false, false, false},
        {"changed, closed, discarded", true, false, true, true},
    };
    for (const Case& c : cases) {
        m_Host.Questions.clear();
        m_Host.ConfirmAnswer = c.Discard;
        open(1);
        if (c.Change) {
            clickLine(0);
            QTest::keyClicks(edit(), "-changed");
            QCOMPARE(list()->item(0)->text(), QString("http://a/1-changed"));
        }
        if (c.Escape) {
            QTest::keyClick(m_Form.get(), Qt::Key_Escape);
        } else {
            m_Form->close();
        }
        QVERIFY2(m_Form->isVisible() != c.Closed, c.What);
        QCOMPARE(m_Host.Questions,
                 c.Change ? std::vector<std::string>{"Discard the changes to the tracker list?"}
                          : std::vector<std::string>{});
        if (!c.Closed) {
            QCOMPARE(list()->item(0)->text(), QString("http://a/1-changed"));
            m_Host.ConfirmAnswer = true;
            m_Form->reject();
            QVERIFY(!m_Form->isVisible());
        }
        QCOMPARE(cell(1), std::string("\"http://a/1\"|\"udp://b/2\""));
    }
}

void EditFormTest::typingBeforeAddTrackerMakesALine() {
    // Whatever an earlier opening left in Edit1 is gone; typing at once makes a new line.
    open(1);
    clickLine(0);
    m_Form->reject();
    open(3);
    QCOMPARE(edit()->text(), QString());
    QVERIFY(edit()->isEnabled());
    edit()->setFocus();
    QTest::keyClicks(edit(), "udp://typed/1");
    QCOMPARE(lines(), QStringList({"udp://typed/1"}));
    QCOMPARE(selected(), 0);
    click("SaveBtn");
    QCOMPARE(cell(3), std::string("\"udp://typed/1\""));
}

void EditFormTest::saveKeepsEachLineOneTracker() {
    const QString link = "<b>repair</b><br>";
    struct Case {
        QStringList Lines;
        bool Quiet;
        int Selected; // the line Save selects, -1 for none
        QString Text; // why nothing was written
    };
    QStringList tooMany;
    for (int i = 0; i <= 200; ++i) {
        tooMany.append("udp://t" + QString::number(i));
    }
    const Case cases[] = {
        {{"udp://ok/1", "bad\"tra|cker"},
         false,
         1,
         "Line 2 holds a double quote or a \"|\", which would split it into several trackers: "
         "bad\"tra|cker"},
        {{"r"},
         false,
         0,
         "Line 1 is not a tracker address with a scheme, such as "
         "udp://tracker.example:6969/announce: r"},
        {{"", "http://a b"},
         true,
         1,
         "Line 2 holds a space or a control character, which no tracker address holds: "
         "http://a b"},
        {{"udp://" + QString(1995, 'x')},
         false,
         0,
         "Line 1 is longer than 2000 bytes: udp://" + QString(194, 'x') + QChar(0x2026)},
        {{link},
         false,
         0,
         "Line 1 is not a tracker address with a scheme, such as "
         "udp://tracker.example:6969/announce: " +
             link},
        {tooMany, false, -1,
         "The list holds 201 trackers in 2502 bytes; a torrent holds at most 200 trackers in "
         "16 KiB."},
    };
    auto* notice = child<QLabel>("TrackerNotice");
    QCOMPARE(notice->textFormat(), Qt::PlainText);
    for (const Case& c : cases) {
        m_Host.Errors.clear();
        m_Host.Quiet = c.Quiet;
        open(3);
        for (const QString& line : c.Lines) {
            click("AddBtn");
            QTest::keyClicks(edit(), line);
        }
        list()->setCurrentRow(-1);
        click("SaveBtn");
        QVERIFY2(m_Form->isVisible(), qPrintable(c.Text));
        QCOMPARE(selected(), c.Selected);
        QCOMPARE(notice->text(), c.Text);
        QVERIFY(notice->isVisibleTo(m_Form.get()));
        QCOMPARE(m_Host.Errors, c.Quiet ? std::vector<std::string>{}
                                        : std::vector<std::string>{c.Text.toStdString()});
        QCOMPARE(cell(3), std::string());
        m_Host.ConfirmAnswer = true;
        m_Form->reject();
    }
    m_Host.Quiet = false;
    // The bad line put right, Save writes and the notice is gone at the next opening.
    open(2);
    click("AddBtn");
    QTest::keyClicks(edit(), "r");
    click("SaveBtn");
    QVERIFY(m_Form->isVisible());
    QTest::keyClicks(edit(), "://fixed");
    click("SaveBtn");
    QVERIFY(!m_Form->isVisible());
    QCOMPARE(cell(2), std::string("\"http://c/3\"|\"r://fixed\""));
    open(2);
    QVERIFY(!notice->isVisibleTo(m_Form.get()));
}

void EditFormTest::editRowRunsModally() {
    bool saw = false;
    QTimer::singleShot(0, this, [&] {
        saw = m_Form->isVisible() && m_Form->isModal();
        clickLine(0);
        click("RemoveBtn");
        click("SaveBtn");
    });
    // Whatever happens above, the editor is closed in the end, so exec() always returns.
    QTimer::singleShot(10000, m_Form.get(), &QDialog::reject);
    m_Form->editRow(1);
    QVERIFY(saw);
    QCOMPARE(cell(1), std::string("\"udp://b/2\""));

    QTimer::singleShot(0, this, [&] {
        clickLine(0);
        QTest::keyClicks(edit(), "zzz");
        m_Form->reject();
    });
    m_Form->editRow(1);
    QCOMPARE(cell(1), std::string("\"udp://b/2\""));
}

// What happens to the list while the editor is up on "second" (H2, row 2).
enum class WhileEditing { Nothing, AddAbove, MoveDown, SecondCopy, Removed, Cleared };

void EditFormTest::saveFindsTheTorrentByItsHash_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<QStringList>("rows"); // afterwards, row 1 first: name and tracker cell
    QTest::addColumn<QString>("status");
    const QString a = "first \"http://a/1\"|\"udp://b/2\"";
    const QString edited = "second \"http://c/3\"|\"udp://e/4\"";
    const QString kept = "kept";
    const QString dropped = kEditDroppedText;
    QTest::newRow("nothing changed")
        << int(WhileEditing::Nothing) << QStringList{a, edited, "third "} << kept;
    QTest::newRow("two torrents added above")
        << int(WhileEditing::AddAbove)
        << QStringList{"new2 \"n\"", "new1 \"n\"", a, edited, "third "} << kept;
    QTest::newRow("the row moved down")
        << int(WhileEditing::MoveDown) << QStringList{a, "third ", edited} << kept;
    QTest::newRow("two rows hold the torrent")
        << int(WhileEditing::SecondCopy) << QStringList{a, edited, edited} << kept;
    QTest::newRow("the torrent was removed")
        << int(WhileEditing::Removed) << QStringList{a, "third "} << dropped;
    QTest::newRow("the list was cleared")
        << int(WhileEditing::Cleared) << QStringList{" "} << dropped;
}

void EditFormTest::saveFindsTheTorrentByItsHash() {
    QFETCH(int, change);
    QFETCH(QStringList, rows);
    QFETCH(QString, status);
    m_Host.Status = "kept";
    open(2);
    clickLine(0);
    click("AddBtn");
    QTest::keyClicks(edit(), "udp://e/4");
    switch (static_cast<WhileEditing>(change)) {
    case WhileEditing::Nothing:
        break;
    case WhileEditing::AddAbove:
        for (const char* name : {"new1", "new2"}) {
            grid().InsertRow(1);
            grid().SetRowCells(1, G::TRow{"", name, std::string("N") + name, "\"n\"", "1", "1 MB"});
        }
        break;
    case WhileEditing::MoveDown:
        grid().MoveRow(2, 3);
        break;
    case WhileEditing::SecondCopy:
        grid().SetRowCells(3, grid().RowCells(2));
        break;
    case WhileEditing::Removed:
        grid().RemoveRow(2);
        break;
    case WhileEditing::Cleared:
        m_List->ClearAll(); // the host answers Yes
        break;
    }
    click("SaveBtn");
    QStringList after;
    for (int r = 1; r < grid().RowCount(); ++r) {
        after.append(QString::fromStdString(grid().Cell(G::ColName, r) + " " + cell(r)));
    }
    QCOMPARE(after, rows);
    QCOMPARE(QString::fromStdString(m_Host.Status), status);
}

QTEST_MAIN(EditFormTest)
#include "EditFormTest.moc"

// The real main window, driven through its object names, offscreen.

#include "widgets/MainForm.h"

#include "list/ListDataFile.h"
#include "network/TrackerFetcher.h"
#include "tests/magnet/ClientMagnetReader.h"
#include "tests/widgets/FormTestBase.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <memory>

using namespace lintervale;

// Receives what the window hands to the desktop.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QStringList Urls;
public slots:
    void open(const QUrl& Url) { Urls.append(Url.toString(QUrl::FullyEncoded)); }
};

class MainFormTest : public lintervale::testing::FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitFormResources(); }
    void init();
    void cleanup();

    void widgetsCarryTheirNamesAndCaptions();
    void gridLayout();
    void contextMenuOrderShortcutsAndDefault();
    void addingThroughTheDialogTheDropAndTheCommandLine();
    void duplicatesAndQuietMode();
    void shortcutsActOnTheGrid();
    void enterDoubleClickAndOpenSelectedOpenLinks();
    void quaverizeOpensAndCounts();
    void statusLineFollowsTheSelection();
    void longBatchesShowProgress();
    void headingsSortMovesUndoAndCounts();
    void theViewStaysCurrentWhileABoxIsUp();
    void linkLabel();
    void fetchingFromTheWindow();
    void linksReachTheDesktopAndTheClipboardWhole();

private:
    UrlRecorder m_Urls;
};

void MainFormTest::init() {
    m_Urls.Urls.clear();
    QDesktopServices::setUrlHandler("magnet", &m_Urls, "open");
    QDesktopServices::setUrlHandler("https", &m_Urls, "open");
    QDesktopServices::setUrlHandler("http", &m_Urls, "open");
    setUpForm();
}

void MainFormTest::cleanup() {
    tearDownForm();
    QDesktopServices::unsetUrlHandler("magnet");
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("http");
}

void MainFormTest::widgetsCarryTheirNamesAndCaptions() {
    QCOMPARE(m_Form->windowTitle(), QString("Lintervale"));
    QCOMPARE(m_Form->minimumSize(), QSize(420, 420));
    QCOMPARE(child<QPushButton>("Button1")->text(), QString("&Add .torrent(s)"));
    QCOMPARE(child<QPushButton>("Button2")->text(), QString("&Clear all"));
    QCOMPARE(child<QPushButton>("BitBtn1")->text(), QString("&Quaverize!"));
    QVERIFY(!child<QPushButton>("BitBtn1")->icon().isNull());
    const std::pair<const char*, const char*> boxes[] = {{"CheckBox4", "&Quiet mode"},
                                                         {"CheckBox5", "Close to &tray"},
                                                         {"CheckBox7", "&Fetch more trackers"},
                                                         {"CheckBox3", "Auto-&open added files"},
                                                         {"CheckBox1", "Associate &with torrents"},
                                                         {"CheckBox6", "Start at logi&n"},
                                                         {"CheckBox2", "&Save on exit"}};
    int previousTop = -1;
    for (const auto& [name, caption] : boxes) {
        auto* box = child<QCheckBox>(name);
        QCOMPARE(box->text(), QString(caption));
        QVERIFY2(box->y() > previousTop, name); // in this order, top to bottom
        previousTop = box->y();
    }
    QVERIFY(child<QLabel>("LinkText")->y() > previousTop);
    QVERIFY(m_Form->findChild<QWidget*>("StatusBar1") != nullptr);
    QVERIFY(m_Form->centralWidget()->findChild<QWidget*>("Panel1") != nullptr);

    // The buttons stay at the top and the boxes at the bottom as the window grows.
    // (The tracker editor has a Panel1 of its own: this is the main window's.)
    auto* panel = m_Form->centralWidget()->findChild<QWidget*>("Panel1");
    const int buttonTop = child<QPushButton>("Button1")->y();
    const int boxGap = panel->height() - child<QCheckBox>("CheckBox2")->y();
    m_Form->resize(m_Form->width(), 700);
    QTRY_COMPARE_WITH_TIMEOUT(m_Form->height(), 700, 20000);
    QCOMPARE(child<QPushButton>("Button1")->y(), buttonTop);
    QCOMPARE(panel->height() - child<QCheckBox>("CheckBox2")->y(), boxGap);
}

void MainFormTest::gridLayout() {
    auto* grid = child<QTableView>("StringGrid1");
    QCOMPARE(grid->model()->columnCount(), 5);
    QCOMPARE(grid->model()->rowCount(), 1); // the empty first row
    const QStringList headings = {"Torrent", "Hash", "Announce", "# Files", "Filesize"};
    // The classic widths at the default font, wider where a heading or a size of up to
    // 100 GB needs it (a heading keeps room for its sort mark); the name column also takes
    // the room the window has beyond them.
    const int widths[] = {235, 237, 166, 47, 60};
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(grid->model()->headerData(c, Qt::Horizontal).toString(), headings[c]);
        QVERIFY(grid->columnWidth(c) >= widths[c]);
        QVERIFY2(c == 0 || grid->columnWidth(c) <= widths[c] * 3 / 2,
                 qPrintable(QString("column %1: %2").arg(c).arg(grid->columnWidth(c))));
    }
    QCOMPARE(grid->verticalHeader()->defaultSectionSize(), 21);
    QCOMPARE(grid->verticalHeader()->width(), 21);
    QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(grid->selectionMode(), QAbstractItemView::ContiguousSelection);
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(grid->verticalHeader()->sectionsMovable());

    // Dragging a row's fixed cell moves the row.
    m_Form->AddFiles({torrent("c"), torrent("b"), torrent("a")});
    waitForAdds();
    grid->verticalHeader()->moveSection(0, 2);
    QCOMPARE(names(), QStringList({"b", "c", "a"}));
    QCOMPARE(grid->model()->index(2, 0).data().toString(), QString("a"));
    QCOMPARE(grid->verticalHeader()->visualIndex(0), 0);
}

void MainFormTest::contextMenuOrderShortcutsAndDefault() {
    auto* menu = child<QMenu>("PopupMenu1");
    const QList<QAction*> actions = menu->actions();
    const std::tuple<const char*, const char*, QKeySequence> expected[] = {
        {"OpenSelected", "&Open selected", QKeySequence()},
        {"Edittrackerlist", "&Edit tracker list", QKeySequence(Qt::Key_F2)},
        {"Gettrackersfromsite", nullptr, QKeySequence(Qt::CTRL | Qt::Key_G)},
        {"Deletetrackers", "&Delete trackers", QKeySequence(Qt::CTRL | Qt::Key_D)},
        {"RemoveSelected", "&Remove selected", QKeySequence(Qt::Key_Delete)},
        {"SelectAll", "Select &all", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {"Clipboard", "&Copy to clipboard", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"PasteLinks", "&Paste links", QKeySequence(Qt::CTRL | Qt::Key_V)},
        {"ShowQrCode", "Show &QR code", QKeySequence(Qt::CTRL | Qt::Key_R)},
        {"Properties", "Propert&ies\u2026", QKeySequence(Qt::ALT | Qt::Key_Return)},
        {"SaveTorrentAs", "&Save .torrent as\u2026", QKeySequence()},
        {"SaveTorrentsToFolder", "Save .torrents to fo&lder\u2026", QKeySequence()},
        {"", "", QKeySequence()},
        {"FetchContents", "Fetc&h contents", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G)},
        {"StopFetching", "Stop fetc&hing", QKeySequence(Qt::Key_Escape)},
        {"", "", QKeySequence()},
        {"Find", "&Find\u2026", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {"FindNext", "Find &next", QKeySequence(Qt::Key_F3)},
        {"FindPrevious", "Find pre&vious", QKeySequence(Qt::SHIFT | Qt::Key_F3)},
        {"", "", QKeySequence()},
        {"TrackerSources", "&Tracker sources\u2026", QKeySequence()},
        {"LinkContents", "Lin&k contents\u2026", QKeySequence()},
        {"FetchSettings", "Fetching settin&gs\u2026", QKeySequence()},
        {"", "", QKeySequence()},
        {"Undo", "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {"Redo", "&Redo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
    };
    QCOMPARE(actions.size(), qsizetype(std::size(expected)));
    for (qsizetype i = 0; i < actions.size(); ++i) {
        const auto& [name, caption, keys] = expected[i];
        QCOMPARE(actions[i]->isSeparator(), *name == '\0');
        QCOMPARE(actions[i]->objectName(), QString(name));
        if (caption != nullptr) {
            QCOMPARE(actions[i]->text(), QString(caption));
        }
        QCOMPARE(actions[i]->shortcut(), keys);
    }
    QVERIFY(actions[2]->text().startsWith("&Get trackers from "));
    QCOMPARE(menu->defaultAction(), actions[0]);
}

void MainFormTest::addingThroughTheDialogTheDropAndTheCommandLine() {
    MessageBoxes::setNextFiles({torrent("d1"), torrent("d2"), torrent("d3")});
    QTest::mouseClick(child<QPushButton>("Button1"), Qt::LeftButton);
    waitForAdds();
    QCOMPARE(names(), QStringList({"d3", "d2", "d1"}));

    // A drop with a path longer than 254 characters.
    const QString deep = m_Dir->filePath(QString(120, 'x') + "/" + QString(120, 'y'));
    QVERIFY(QDir().mkpath(deep));
    const QString longPath = QString::fromStdString(
        lintervale::testing::WriteTorrent(deep.toStdString(), std::string(40, 'z')));
    QVERIFY(longPath.size() > 254);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(torrent("drop1")), QUrl::fromLocalFile(longPath)});
    QVERIFY(dropOnForm(data));
    waitForAdds();
    QCOMPARE(names().mid(0, 2), QStringList({QString(40, 'z'), "drop1"}));

    // The program the drag came from waits until the drop returns: a box about what the drop
    // brought comes after.
    child<QCheckBox>("CheckBox4")->setChecked(false);
    MessageBoxes::clearShown();
    QMimeData bad;
    bad.setUrls({QUrl::fromLocalFile(m_Dir->filePath("missing.torrent"))});
    QVERIFY(dropOnly(bad));
    QVERIFY(MessageBoxes::shown().isEmpty());
    QTRY_COMPARE(MessageBoxes::shown().size(), 1);
    child<QCheckBox>("CheckBox4")->setChecked(true);
    MessageBoxes::clearShown();

    // The command line: existing files in order, anything else passed over without a word.
    m_Form.reset();
    m_Form =
        makeForm({"-hidden", torrent("c1"), m_Dir->filePath("missing.torrent"), torrent("c2")});
    waitForAdds();
    QCOMPARE(names(), QStringList({"c2", "c1"}));
    QVERIFY(MessageBoxes::shown().isEmpty());
    QCOMPARE(m_Form->List().Grid().Cell(TTorrentGrid::ColHash, 0), std::string("Hash"));
}

void MainFormTest::duplicatesAndQuietMode() {
    child<QCheckBox>("CheckBox4")->setChecked(false);
    m_Form->AddFile(torrent("same"));
    m_Form->AddFile(torrent("other"));
    const QString hash =
        QString::fromStdString(m_Form->List().Grid().Cell(TTorrentGrid::ColHash, 2));
    MessageBoxes::clearShown();
    m_Form->AddFile(torrent("same"));
    QCOMPARE(MessageBoxes::shown(),
             QStringList(hash + "\r\n\r\nYou have already added this hash. :)"));
    QCOMPARE(m_Form->List().Grid().Row(), 2);
    QCOMPARE(names().size(), 2);

    QFile bad(m_Dir->filePath("bad.torrent"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("garbage");
    bad.close();
    MessageBoxes::clearShown();
    m_Form->AddFile(bad.fileName());
    QCOMPARE(MessageBoxes::shown(), QStringList("Something bad happened while trying to load the "
                                                "file, probably corrupt metainfo. (not bencoded "
                                                "data at byte 0)"));

    child<QCheckBox>("CheckBox4")->setChecked(true);
    MessageBoxes::clearShown();
    m_Form->AddFile(bad.fileName());
    m_Form->AddFile(torrent("same"));
    QVERIFY(MessageBoxes::shown().isEmpty());
    QCOMPARE(m_Form->List().Grid().Row(), 2);
}

void MainFormTest::shortcutsActOnTheGrid() {
    m_Form->AddFiles({torrent("s1"), torrent("s2"), torrent("s3")});
    waitForAdds();
    auto* grid = child<QTableView>("StringGrid1");
    grid->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(grid->hasFocus(), 20000);
    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(m_Form->List().Grid().SelectionTop(), 1);
    QCOMPARE(m_Form->List().Grid().SelectionBottom(), 3);
    QCOMPARE(grid->selectionModel()->selectedRows().size(), 3);

    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    const QStringList links = QGuiApplication::clipboard()->text().split("\r\n");
    QCOMPARE(links.size(), 3);
    QVERIFY(links[0].contains("&dn=s3&"));
    QVERIFY(links[2].contains("&dn=s1&"));

    // The user selects the middle row with a click, then deletes it.
    const QRect middle = grid->visualRect(grid->model()->index(1, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, middle.center());
    QCOMPARE(m_Form->List().Grid().Row(), 2);
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(names(), QStringList({"s3", "s1"}));
    QCOMPARE(grid->model()->rowCount(), 2);
}

void MainFormTest::enterDoubleClickAndOpenSelectedOpenLinks() {
    m_Form->AddFiles({torrent("o1"), torrent("o2")});
    waitForAdds();
    auto* grid = child<QTableView>("StringGrid1");
    grid->setFocus();
    trigger("SelectAll");
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(m_Urls.Urls.size(), 2);
    QVERIFY(m_Urls.Urls[0].startsWith("magnet:?xt=urn:btih:"));
    QVERIFY(m_Urls.Urls[0].contains("&dn=o2&tr=http://t.example/a"));
    QCOMPARE(m_Form->List().Grid().Row(), 2);
    QCOMPARE(grid->selectionModel()->selectedRows().size(), 1);

    const QRect first = grid->visualRect(grid->model()->index(0, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
    QCOMPARE(m_Urls.Urls.size(), 3);
    QVERIFY(m_Urls.Urls[2].contains("&dn=o2&"));

    trigger("OpenSelected");
    QCOMPARE(m_Urls.Urls.size(), 4);
}

void MainFormTest::quaverizeOpensAndCounts() {
    auto* button = child<QPushButton>("BitBtn1");
    for (int click = 0; click < 29; ++click) {
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QVERIFY(m_Urls.Urls.isEmpty());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(MessageBoxes::shown(), QStringList("Do you need some help?"));
    QCOMPARE(m_Urls.Urls.size(), 1);
    QVERIFY(m_Urls.Urls[0].startsWith("https://"));

    m_Form->AddFile(torrent("q"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_Urls.Urls.size(), 2);
    QVERIFY(m_Urls.Urls[1].contains("&dn=q&"));
}

void MainFormTest::statusLineFollowsTheSelection() {
    m_Form->AddFile(torrent("one"));
    m_Form->AddFile(torrent("two"));
    m_Form->List().Grid().SetCell(TTorrentGrid::ColTrackers, 2, "\"a\"|\"b\"");
    auto* grid = child<QTableView>("StringGrid1");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->visualRect(grid->model()->index(1, 0)).center());
    QCOMPARE(status(), QString("2 trackers for \"one\""));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      grid->visualRect(grid->model()->index(0, 0)).center());
    QCOMPARE(status(), QString());
    QCOMPARE(m_Form->List().Grid().SelectionTop(), 1);
    QCOMPARE(m_Form->List().Grid().SelectionBottom(), 2);
    QCOMPARE(m_Form->List().Grid().Row(), 1);
}

void MainFormTest::longBatchesShowProgress() {
    QStringList files;
    for (int i = 0; i < 60; ++i) {
        files.append(torrent(QString("batch%1").arg(i)));
    }
    // One file listed twice, one that is no torrent.
    files.append(files.first());
    QFile bad(m_Dir->filePath("bad.torrent"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("garbage");
    bad.close();
    files.append(bad.fileName());
    child<QCheckBox>("CheckBox4")->setChecked(false);
    MessageBoxes::clearShown();
    m_Form->adder().setSliceMilliseconds(0); // one file per slice
    m_Form->AddFiles(files);
    QVERIFY(m_Form->adding());
    QVERIFY(status().startsWith("Adding .torrent files: 1 of 62"));
    // The window handles events between slices: a click on a check box goes through.
    QTest::mouseClick(child<QCheckBox>("CheckBox3"), Qt::LeftButton);
    QVERIFY(child<QCheckBox>("CheckBox3")->isChecked());
    QVERIFY(m_Form->adding());
    child<QCheckBox>("CheckBox3")->setChecked(false);
    waitForAdds();
    // One summary, and one box that names each refused file with its cause.
    const QString summary = "60 added, 1 already listed, 1 refused";
    QCOMPARE(status(), summary);
    QCOMPARE(MessageBoxes::shown().size(), 1);
    QVERIFY(MessageBoxes::shown().first().startsWith(summary + "\n\n" + bad.fileName() + ": "));
    auto* details = child<QLabel>("BatchDetails");
    QVERIFY(details->isVisible());
    emit details->linkActivated("details");
    QCOMPARE(MessageBoxes::shown().size(), 2);
    QCOMPARE(MessageBoxes::shown().last(), MessageBoxes::shown().first());
    QCOMPARE(names().size(), 60);
    QCOMPARE(names().first(), QString("batch59"));
    QCOMPARE(child<QTableView>("StringGrid1")->model()->rowCount(), 60);
    // The whole batch is one step back.
    QCOMPARE(m_Form->undoStack().undoText(), QString("Add"));
    m_Form->undoStack().undo();
    QCOMPARE(names(), QStringList(""));
    m_Form->undoStack().redo();
    QCOMPARE(names().size(), 60);
    // A batch that refuses nothing takes the link away.
    m_Form->AddFiles({torrent("x"), torrent("y")});
    waitForAdds();
    QCOMPARE(status(), QString("2 added"));
    QVERIFY(!details->isVisible());
}

void MainFormTest::theViewStaysCurrentWhileABoxIsUp() {
    child<QCheckBox>("CheckBox4")->setChecked(false);
    QFile bad(m_Dir->filePath("bad.torrent"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("garbage");
    bad.close();
    const QAbstractItemModel* model = child<QTableView>("StringGrid1")->model();
    int rowsShown = -1;
    int rowsListed = -2;
    qsizetype changes = -1;
    // While the batch's box about the bad file is up, a later copy hands a file over and a
    // tracker answer changes a row: the view follows both.
    MessageBoxes::setDuringNextBox([&] {
        m_Form->AddFile(torrent("handed over"));
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        m_Form->List().Grid().SetCell(TTorrentGrid::ColTrackers, 1, "\"udp://fetched/a\"");
        rowsShown = model->rowCount();
        rowsListed = m_Form->List().Grid().RowCount() - 1;
        changes = changed.size();
    });
    m_Form->AddFiles({torrent("a"), bad.fileName(), torrent("b")});
    waitForAdds();
    QCOMPARE(rowsShown, rowsListed);
    QCOMPARE(changes, qsizetype(1));
    QCOMPARE(names(), QStringList({"handed over", "b", "a"}));
}

void MainFormTest::headingsSortMovesUndoAndCounts() {
    for (const char* name : {"part 2", "Part 10", "part 1"}) {
        m_Form->AddFile(torrent(name));
    }
    auto* grid = child<QTableView>("StringGrid1");
    QHeaderView* headings = grid->horizontalHeader();
    auto* counts = child<QLabel>("ListCounts");
    QCOMPARE(counts->text(), QString("3 torrents"));
    m_Form->List().UserSelect(1, 2);
    QCOMPARE(counts->text(), QString("3 torrents, 2 selected"));
    m_Form->List().UserSelect(3, 3); // "part 2" is current
    struct Step {
        const char* Act; // "sort" (a click on the name's heading), "move", "undo", "redo"
        QStringList Names;
        int Mark; // the heading that shows the sort mark (-1: none), going up or down
        Qt::SortOrder Order;
    };
    const Step steps[] = {
        {"sort", {"part 1", "part 2", "Part 10"}, 0, Qt::AscendingOrder},
        {"sort", {"Part 10", "part 2", "part 1"}, 0, Qt::DescendingOrder},
        {"move", {"part 2", "Part 10", "part 1"}, -1, Qt::AscendingOrder}, // Ctrl+Up
        {"undo", {"Part 10", "part 2", "part 1"}, -1, Qt::AscendingOrder},
        {"undo", {"part 1", "part 2", "Part 10"}, -1, Qt::AscendingOrder},
        {"undo", {"part 1", "Part 10", "part 2"}, -1, Qt::AscendingOrder},
        {"redo", {"part 1", "part 2", "Part 10"}, -1, Qt::AscendingOrder},
    };
    for (const Step& step : steps) {
        const QString act = step.Act;
        if (act == "sort") {
            emit headings->sectionClicked(0);
        } else if (act == "move") {
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Up, Qt::ControlModifier);
        } else if (act == "undo") {
            m_Form->undoStack().undo();
        } else {
            m_Form->undoStack().redo();
        }
        QCOMPARE(names(), step.Names);
        QCOMPARE(headings->isSortIndicatorShown(), step.Mark >= 0);
        if (step.Mark >= 0) {
            QCOMPARE(headings->sortIndicatorSection(), step.Mark);
            QCOMPARE(headings->sortIndicatorOrder(), step.Order);
        }
    }
    // The current torrent stays current through a sort.
    m_Form->List().UserSelect(1, 1);
    emit headings->sectionClicked(4);
    QCOMPARE(m_Form->List().Grid().Cell(TTorrentGrid::ColName, m_Form->List().Grid().Row()),
             std::string("part 1"));
}

void MainFormTest::linkLabel() {
    auto* label = child<QLabel>("LinkText");
    QVERIFY(!label->font().underline());
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(label, &enter);
    QVERIFY(label->font().underline());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(label, &leave);
    QVERIFY(!label->font().underline());
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(m_Urls.Urls.size(), 1);
    QVERIFY(m_Urls.Urls[0].contains(label->text()));
}

void MainFormTest::fetchingFromTheWindow() {
    // A closed port on this machine: the fetch after an add fails cleanly.
    m_Form->Fetcher().setService("http://127.0.0.1:1", "nowhere");
    child<QCheckBox>("CheckBox7")->setChecked(true);
    m_Form->AddFile(torrent("f1"));
    QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Could not fetch trackers: Connection refused."),
                              20000);
    QCOMPARE(m_Form->List().Grid().Cell(TTorrentGrid::ColTrackers, 1),
             std::string("\"http://t.example/a\""));
    trigger("Gettrackersfromsite");
    QVERIFY(m_Form->Fetcher().busy() || status().startsWith("Could not fetch trackers: "));
    QTRY_VERIFY_WITH_TIMEOUT(!m_Form->Fetcher().busy(), 20000);
}

void MainFormTest::linksReachTheDesktopAndTheClipboardWhole() {
    const QString name = "Tom & Jerry #1 C++ = 100% +more";
    const QString tracker = "http://t.example/announce.php?passkey=a+b&uid=7#x";
    m_Form->AddFile(torrent(name, tracker));
    trigger("OpenSelected");
    trigger("Clipboard");
    QCOMPARE(m_Urls.Urls.size(), 1);
    for (const QString& link : {m_Urls.Urls[0], QGuiApplication::clipboard()->text()}) {
        const auto read = lintervale::testing::ReadMagnetAsClient(link.toStdString());
        QVERIFY2(read.has_value(), qPrintable(link));
        QCOMPARE(read->Names, std::vector<std::string>{name.toStdString()});
        QCOMPARE(read->Trackers, std::vector<std::string>{tracker.toStdString()});
        QVERIFY(read->Others.empty());
    }

    // With no torrent left there is nothing to copy: the clipboard keeps the user's text.
    trigger("SelectAll");
    trigger("RemoveSelected");
    QGuiApplication::clipboard()->setText("the user's text");
    trigger("SelectAll");
    trigger("Clipboard");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("the user's text"));
    QCOMPARE(status(), QString("No magnet link to copy."));
}

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"

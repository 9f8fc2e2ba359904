// The window without a mouse, for a screen reader, and in a dark theme: the grid's context
// menu from the Menu key and Shift+F10, the tab order, moving rows with Ctrl+Up and
// Ctrl+Down, the maker's link from the keyboard; accessible names and descriptions, the
// grid's cells and headings as a screen reader reads them; colours from the palette only.

#include "tests/widgets/FormTestBase.h"
#include "widgets/EditForm.h"
#include "widgets/GridView.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStyleFactory>

using namespace lintervale;

// Receives what the window hands to the desktop.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QStringList Urls;
public slots:
    void open(const QUrl& Url) { Urls.append(Url.toString()); }
};

class KeyboardAccessTest : public testing::FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitFormResources(); }
    void init();
    void cleanup();

    void theMenuKeyAndShiftF10OpenTheGridsMenu();
    void tabRunsFromTheGridToTheLink();
    void ctrlUpAndDownMoveTheCurrentRow();
    void theLinkOpensFromTheKeyboard();
    void screenReadersGetNamesAndCells();
    void aDarkPaletteIsFollowed();
    void typingJumpsToANameAndColumnsFit();
    void theFindBarGoesFromMatchToMatch();

private:
    GridView* grid() { return child<GridView>("StringGrid1"); }
    QMenu* menu() { return child<QMenu>("PopupMenu1"); }
    void focusGrid() {
        m_Form->activateWindow();
        grid()->setFocus();
        QTRY_VERIFY(grid()->hasFocus());
    }
    void addTorrents(int Count) {
        for (int i = 1; i <= Count; ++i) {
            m_Form->AddFile(torrent(QString("t%1").arg(i)));
        }
    }

    OpenedUrls m_Urls;
};

void KeyboardAccessTest::init() {
    m_Urls.Urls.clear();
    QDesktopServices::setUrlHandler("https", &m_Urls, "open");
    QDesktopServices::setUrlHandler("http", &m_Urls, "open");
    setUpForm();
    QVERIFY(QTest::qWaitForWindowExposed(m_Form.get()));
}

void KeyboardAccessTest::cleanup() {
    tearDownForm();
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("http");
}

void KeyboardAccessTest::theMenuKeyAndShiftF10OpenTheGridsMenu() {
    addTorrents(3);
    m_Form->List().MouseSelect(2, false);
    focusGrid();
    // Below the start of the current row, not where the mouse happens to be.
    const QRect row = grid()->visualRect(grid()->model()->index(1, 0));
    const QPoint below = grid()->viewport()->mapToGlobal(QPoint(row.left(), row.bottom()));

    QTest::keyClick(grid(), Qt::Key_Menu);
    QTRY_VERIFY(menu()->isVisible());
    QCOMPARE(menu()->geometry().topLeft(), below);
    // The menu's items are reached by their letters.
    QTest::keyClick(menu(), Qt::Key_A);
    QTRY_VERIFY(!menu()->isVisible());
    QCOMPARE(m_Form->List().Grid().SelectionTop(), 1);
    QCOMPARE(m_Form->List().Grid().SelectionBottom(), 3);

    QTest::keyClick(grid(), Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(menu()->isVisible());
    QTest::keyClick(menu(), Qt::Key_Escape);
    QTRY_VERIFY(!menu()->isVisible());
    QTest::keyClick(grid(), Qt::Key_F10);
    QVERIFY(!menu()->isVisible());

    // The platform's own menu event for the key opens it at the current row as well.
    m_Form->List().MouseSelect(1, false);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(300, 2),
                            grid()->viewport()->mapToGlobal(QPoint(300, 2)));
    QApplication::sendEvent(grid()->viewport(), &event);
    QTRY_VERIFY(menu()->isVisible());
    const QRect first = grid()->visualRect(grid()->model()->index(0, 0));
    QCOMPARE(menu()->geometry().topLeft(),
             grid()->viewport()->mapToGlobal(QPoint(first.left(), first.bottom())));
    // Asked again while it is open (the key and the platform's event), it stays one menu.
    QTest::keyClick(grid(), Qt::Key_Menu);
    QCOMPARE(menu()->geometry().topLeft(),
             grid()->viewport()->mapToGlobal(QPoint(first.left(), first.bottom())));
    menu()->hide();
}

void KeyboardAccessTest::tabRunsFromTheGridToTheLink() {
    const QStringList order = {"StringGrid1", "Button1",   "Button2",    "BitBtn1",   "CheckBox4",
                               "CheckBox5",   "CheckBox7", "CheckBox3",  "CheckBox1", "CheckBox6",
                               "CheckBox2",   "LinkText",  "StringGrid1"};
    focusGrid();
    QStringList visited = {QApplication::focusWidget()->objectName()};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, order);
    // Shift+Tab goes back the same way.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("LinkText"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("CheckBox2"));
}

void KeyboardAccessTest::ctrlUpAndDownMoveTheCurrentRow() {
    addTorrents(4); // rows t4 t3 t2 t1
    m_Form->List().MouseSelect(2, false);
    focusGrid();
    const TTorrentGrid& list = m_Form->List().Grid();
    struct Step {
        Qt::Key Key;
        QStringList Names;
        int Row;
    };
    const Step steps[] = {
        {Qt::Key_Up, {"t3", "t4", "t2", "t1"}, 1},
        {Qt::Key_Up, {"t3", "t4", "t2", "t1"}, 1}, // the top row stays
        {Qt::Key_Down, {"t4", "t3", "t2", "t1"}, 2},
        {Qt::Key_Down, {"t4", "t2", "t3", "t1"}, 3},
        {Qt::Key_Down, {"t4", "t2", "t1", "t3"}, 4},
        {Qt::Key_Down, {"t4", "t2", "t1", "t3"}, 4}, // and so does the last
    };
    for (const Step& step : steps) {
        QTest::keyClick(grid(), step.Key, Qt::ControlModifier);
        QCOMPARE(names(), step.Names);
        QCOMPARE(list.Row(), step.Row);
        // As after a drag, the moved row is the only selected one, and the view shows it.
        QCOMPARE(list.SelectionTop(), step.Row);
        QCOMPARE(list.SelectionBottom(), step.Row);
        QCOMPARE(grid()->currentIndex().row(), step.Row - 1);
    }
    // In a wider selection the current row moves, as a drag of its fixed cell would.
    m_Form->List().MouseSelect(1, false);
    m_Form->List().MouseSelect(3, true);
    QTest::keyClick(grid(), Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(names(), (QStringList{"t4", "t1", "t2", "t3"}));
    QCOMPARE(list.Row(), 2);
    QCOMPARE(list.SelectionTop(), 2);
    QCOMPARE(list.SelectionBottom(), 2);
}

void KeyboardAccessTest::theLinkOpensFromTheKeyboard() {
    auto* link = child<QLabel>("LinkText");
    QVERIFY(link->focusPolicy() & Qt::TabFocus);
    const QImage unfocused = link->grab().toImage();
    m_Form->activateWindow();
    child<QCheckBox>("CheckBox2")->setFocus();
    QTRY_VERIFY(child<QCheckBox>("CheckBox2")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(link->hasFocus());
    // The focus shows.
    QVERIFY(link->grab().toImage() != unfocused);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        QTest::keyClick(link, key);
    }
    QTest::keyClick(link, Qt::Key_Space, Qt::ControlModifier); // not a plain Space
    QCOMPARE(m_Urls.Urls.size(), 3);
    for (const QString& url : m_Urls.Urls) {
        QVERIFY2(url.contains(link->text()), qPrintable(url));
    }
}

void KeyboardAccessTest::screenReadersGetNamesAndCells() {
    addTorrents(2);
    QVERIFY(!grid()->accessibleName().isEmpty());
    QVERIFY(!grid()->accessibleDescription().isEmpty());
    QVERIFY(!child<QLabel>("LinkText")->accessibleName().isEmpty());
    for (QAbstractButton* button : m_Form->findChildren<QAbstractButton*>()) {
        if (qobject_cast<QPushButton*>(button) != nullptr ||
            qobject_cast<QCheckBox*>(button) != nullptr) {
            QVERIFY2(!button->accessibleDescription().isEmpty(), qPrintable(button->objectName()));
        }
    }
    auto* editor = m_Form->findChild<EditForm*>("EditForm");
    for (QWidget* field : {static_cast<QWidget*>(editor->findChild<QListWidget*>("ListBox1")),
                           static_cast<QWidget*>(editor->findChild<QLineEdit*>("Edit1"))}) {
        QVERIFY(!field->accessibleName().isEmpty());
        QVERIFY(!field->accessibleDescription().isEmpty());
    }

    // The model gives each cell's text with its column's heading, and names the rows.
    QAbstractItemModel* model = grid()->model();
    const QModelIndex hash = model->index(0, 1);
    QCOMPARE(hash.data(Qt::AccessibleTextRole), hash.data(Qt::DisplayRole));
    QCOMPARE(hash.data(Qt::AccessibleDescriptionRole).toString(), QString("Hash"));
    QCOMPARE(model->headerData(1, Qt::Vertical, Qt::AccessibleTextRole).toString(),
             QString("Row 2"));
    QCOMPARE(model->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QString());

    // As a screen reader asks for them.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid());
    QVERIFY(table != nullptr);
    QCOMPARE(table->text(QAccessible::Name), grid()->accessibleName());
    QAccessibleTableInterface* cells = table->tableInterface();
    QVERIFY(cells != nullptr);
    QCOMPARE(cells->rowCount(), 2);
    QCOMPARE(cells->cellAt(0, 0)->text(QAccessible::Name), QString("t2"));
    QCOMPARE(cells->cellAt(1, 0)->text(QAccessible::Name), QString("t1"));
    QAccessibleInterface* heading = nullptr;
    for (int i = 0; i < table->childCount() && heading == nullptr; ++i) {
        QAccessibleInterface* child = table->child(i);
        if (child->role() == QAccessible::ColumnHeader &&
            child->text(QAccessible::Name) == QLatin1String("Torrent")) {
            heading = child;
        }
    }
    QVERIFY(heading != nullptr);
}

void KeyboardAccessTest::aDarkPaletteIsFollowed() {
    const QPalette before = QApplication::palette();
    QStyle* fusion = QStyleFactory::create("Fusion");
    QApplication::setStyle(fusion);
    QPalette dark = fusion->standardPalette();
    const QColor window(45, 45, 48), text(230, 230, 230), highlight(61, 174, 233);
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        dark.setColor(role, window);
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, text);
    }
    dark.setColor(QPalette::Highlight, highlight);
    QApplication::setPalette(dark);

    // No widget keeps colours of its own: every one shown shows the palette's, the tracker
    // editor's too.
    addTorrents(1);
    auto* editor = m_Form->findChild<EditForm*>("EditForm");
    editor->load(1);
    editor->open();
    QVERIFY(QTest::qWaitForWindowExposed(editor));
    QList<QWidget*> widgets = m_Form->findChildren<QWidget*>();
    widgets.append(m_Form.get());
    for (QWidget* widget : widgets) {
        QVERIFY2(!widget->testAttribute(Qt::WA_SetPalette), qPrintable(widget->objectName()));
        QVERIFY2(widget->styleSheet().isEmpty(), qPrintable(widget->objectName()));
        if (widget->isVisible()) {
            QVERIFY2(widget->palette().color(QPalette::Window) == window,
                     qPrintable(widget->objectName()));
        }
    }
    editor->reject();
    auto* link = child<QLabel>("LinkText");
    QCOMPARE(link->palette().color(link->foregroundRole()), text);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(link, &enter);
    QCOMPARE(link->palette().color(link->foregroundRole()), highlight);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    QCOMPARE(link->palette().color(link->foregroundRole()), text);
    QApplication::setPalette(before);
}

void KeyboardAccessTest::typingJumpsToANameAndColumnsFit() {
    for (const char* name : {"bravo", "Beta", "alpha"}) {
        m_Form->AddFile(torrent(name));
    }
    focusGrid();
    const auto current = [this] {
        return QString::fromStdString(
            m_Form->List().Grid().Cell(TTorrentGrid::ColName, m_Form->List().Grid().Row()));
    };
    // Letters typed in a row make one prefix, ignoring case; a first letter looks past the
    // current row.
    QTest::keyClicks(grid(), "b");
    QCOMPARE(current(), QString("Beta"));
    QTest::keyClicks(grid(), "r");
    QCOMPARE(current(), QString("bravo"));
    QTest::keyClicks(grid(), "zz");
    QCOMPARE(current(), QString("bravo"));

    // The size and count columns fit the largest values; the name column takes what the
    // window gains.
    TTorrentGrid& cells = m_Form->List().Grid();
    cells.SetCell(TTorrentGrid::ColSize, 1, "47104 MB");
    cells.SetCell(TTorrentGrid::ColFiles, 2, "1234567");
    const QFontMetrics metrics = grid()->fontMetrics();
    QVERIFY(grid()->columnWidth(4) > metrics.horizontalAdvance("47104 MB"));
    QVERIFY(grid()->columnWidth(3) > metrics.horizontalAdvance("1234567"));
    const int name = grid()->columnWidth(0);
    const int others = grid()->columnWidth(1) + grid()->columnWidth(2);
    m_Form->resize(m_Form->width() + 200, m_Form->height());
    QTRY_COMPARE(grid()->columnWidth(0), name + 200);
    QCOMPARE(grid()->columnWidth(1) + grid()->columnWidth(2), others);
}

void KeyboardAccessTest::theFindBarGoesFromMatchToMatch() {
    m_Form->AddFile(torrent("other", "udp://needle.example/a"));
    for (const char* name : {"Needle two", "plain", "needle one"}) {
        m_Form->AddFile(torrent(name));
    }
    // Rows: needle one, plain, Needle two, other (its tracker holds the text).
    focusGrid();
    TTorrentGrid& cells = m_Form->List().Grid();
    cells.Select(2, 2);
    auto* bar = child<QWidget>("FindBar");
    auto* text = child<QLineEdit>("FindText");
    QVERIFY(!bar->isVisible());
    QTest::keyClick(grid(), Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(bar->isVisible() && text->hasFocus());
    const auto at = [&] { return cells.Cell(TTorrentGrid::ColName, cells.Row()); };
    QCOMPARE(at(), std::string("plain"));
    // Each letter finds from the current row on.
    QTest::keyClicks(text, "N");
    QCOMPARE(at(), std::string("plain"));
    QTest::keyClicks(text, "E");
    QCOMPARE(at(), std::string("Needle two"));
    struct Step {
        const char* Typed; // typed into the bar, or nullptr
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        const char* Row;
        const char* Matches;
    };
    const Step steps[] = {
        {"EDLE", Qt::Key_unknown, {}, "Needle two", "2 of 3"}, // from the current row on
        {nullptr, Qt::Key_F3, {}, "other", "3 of 3"},
        {nullptr, Qt::Key_Return, {}, "needle one", "1 of 3"}, // round the end
        {nullptr, Qt::Key_F3, Qt::ShiftModifier, "other", "3 of 3"},
        {nullptr, Qt::Key_Return, Qt::ShiftModifier, "Needle two", "2 of 3"},
        {"x", Qt::Key_unknown, {}, "Needle two", "Not found"},
    };
    for (const Step& step : steps) {
        if (step.Typed != nullptr) {
            QTest::keyClicks(text, step.Typed);
        } else {
            QTest::keyClick(QApplication::focusWidget(), step.Key, step.Modifiers);
        }
        QCOMPARE(at(), std::string(step.Row));
        QCOMPARE(child<QLabel>("FindMatches")->text(), QString(step.Matches));
        // The row found is the whole selection, so that every command acts on it.
        QCOMPARE(cells.SelectionTop(), cells.SelectionBottom());
    }
    QTest::keyClick(text, Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QTRY_VERIFY(grid()->hasFocus());
}

QTEST_MAIN(KeyboardAccessTest)
#include "KeyboardAccessTest.moc"

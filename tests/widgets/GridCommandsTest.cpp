// The window against the bare list. For every list command, the real main window (driven by
// mouse and key events on its widgets, offscreen) and a TTorrentList with a recording host
// start from the same torrents, take the same steps, and must agree after each step: rows
// and cells as the view shows them, the current row, the selection, the anchor, the status
// text, the links opened and the clipboard.

#include "session/RunningCopy.h"
#include "tests/list/RecordingHost.h"
#include "tests/widgets/GridCommandCases.h"
#include "tests/widgets/WindowTesting.h"
#include "widgets/GridView.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLabel>
#include <QLocalSocket>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

using namespace lintervale;
using G = TTorrentGrid;
using TKeyMove = TTorrentList::TKeyMove;
using testing::Act;
using testing::Case;
using testing::Cases;
using testing::Step;

// Receives what the window hands to the desktop.
class OpenedLinks : public QObject {
    Q_OBJECT
public:
    QStringList Urls;
public slots:
    void open(const QUrl& Url) { Urls.append(Url.toString(QUrl::FullyEncoded)); }
};

class GridCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void theWindowDoesWhatTheListDoes_data();
    void theWindowDoesWhatTheListDoes();

private:
    QString path(const char* Name) {
        return QString::fromStdString(testing::WriteTorrent(m_Dir->path().toStdString(), Name));
    }
    GridView* grid() { return m_Form->findChild<GridView*>("StringGrid1"); }
    QPoint rowCenter(int Row);
    void onWindow(const Step& S);
    void onList(const Step& S);
    QString windowState();
    QString listState();

    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<MainForm> m_Form;
    std::unique_ptr<RunningCopy> m_Copy;
    testing::TRecordingHost m_Host;
    std::unique_ptr<TTorrentList> m_List;
    OpenedLinks m_Links;
};

void GridCommandsTest::initTestCase() {
    InitWindowTests();
}

void GridCommandsTest::init() {
    m_Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Dir->isValid());
    m_Links.Urls.clear();
    QDesktopServices::setUrlHandler("magnet", &m_Links, "open");
    QDesktopServices::setUrlHandler("https", &m_Links, "open");
    QGuiApplication::clipboard()->setText(QString());
    m_Form = testing::MakeWindow(*m_Dir);
    QVERIFY(QTest::qWaitForWindowExposed(m_Form.get()));
    m_Copy = std::make_unique<RunningCopy>(m_Dir->filePath("lintervale"));
    QVERIFY(m_Copy->tryToRun());
    QVERIFY(m_Copy->listen());
    m_Copy->serve([this] { m_Form->tray().bringForward(); },
                  [this](const QString& File) { m_Form->AddFile(File); });

    m_Host = testing::TRecordingHost();
    m_Host.Quiet = true; // as the window's first start
    m_List = std::make_unique<TTorrentList>(m_Host);
    m_List->WriteHeadings();
}

void GridCommandsTest::cleanup() {
    m_Copy.reset();
    m_Form.reset();
    m_List.reset();
    QDesktopServices::unsetUrlHandler("magnet");
    QDesktopServices::unsetUrlHandler("https");
    m_Dir.reset();
}

QPoint GridCommandsTest::rowCenter(int Row) {
    QAbstractItemModel* model = grid()->model();
    if (Row > model->rowCount()) { // below the last row
        const QRect last = grid()->visualRect(model->index(model->rowCount() - 1, 1));
        return last.center() + QPoint(0, (Row - model->rowCount()) * last.height());
    }
    return grid()->visualRect(model->index(Row - 1, 1)).center();
}

void GridCommandsTest::onWindow(const Step& S) {
    QWidget* cells = grid()->viewport();
    switch (S.What) {
    case Act::Click:
    case Act::ShiftClick:
        QTest::mouseClick(cells, Qt::LeftButton,
                          S.What == Act::ShiftClick ? Qt::ShiftModifier : Qt::NoModifier,
                          rowCenter(S.Row));
        break;
    case Act::RightClick:
        QTest::mouseClick(cells, Qt::RightButton, Qt::NoModifier, rowCenter(S.Row));
        break;
    case Act::Drag:
        QTest::mousePress(cells, Qt::LeftButton, Qt::NoModifier, rowCenter(S.Row));
        QTest::mouseMove(cells, rowCenter(S.To));
        QTest::mouseRelease(cells, Qt::LeftButton, Qt::NoModifier, rowCenter(S.To));
        break;
    case Act::DoubleClick:
        QTest::mouseDClick(cells, Qt::LeftButton, Qt::NoModifier, rowCenter(S.Row));
        break;
    case Act::Key:
        grid()->setFocus();
        QTRY_VERIFY(grid()->hasFocus());
        QTest::keyClick(grid(), Qt::Key(S.Key), S.Modifiers);
        break;
    case Act::ClearAll:
        QTest::mouseClick(m_Form->findChild<QPushButton*>("Button2"), Qt::LeftButton);
        break;
    case Act::OpenSelected:
        m_Form->findChild<QAction*>("OpenSelected")->trigger();
        break;
    case Act::Quaverize:
        QTest::mouseClick(m_Form->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
        break;
    case Act::MoveRow: {
        // Past the middle of the target row's fixed cell, so that the row lands there.
        QHeaderView* header = grid()->verticalHeader();
        const auto at = [&](int Row, int Nudge) {
            return QPoint(header->width() / 2,
                          header->sectionViewportPosition(Row - 1) + 10 + Nudge);
        };
        QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, at(S.Row, 0));
        const QPoint target = at(S.To, S.To > S.Row ? 5 : -5);
        QTest::mouseMove(header->viewport(), target);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, target);
        break;
    }
    case Act::Add: {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path(S.Text))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(m_Form.get(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_Form.get(), &drop);
        // The window takes in what a drop brings once the drop has returned.
        QCoreApplication::sendPostedEvents(m_Form.get(), QEvent::MetaCall);
        QTRY_VERIFY_WITH_TIMEOUT(!m_Form->adding(), 20000);
        break;
    }
    case Act::HandOff: {
        QLocalSocket later;
        later.connectToServer(m_Copy->socketName());
        QVERIFY(later.waitForConnected(5000));
        later.write(RunningCopy::handOffMessage(path(S.Text)));
        QTRY_VERIFY_WITH_TIMEOUT(later.bytesAvailable() >= 1, 20000);
        break;
    }
    case Act::SetStatus:
        m_Form->showStatus(S.Text);
        break;
    }
}

void GridCommandsTest::onList(const Step& S) {
    const G& list = m_List->Grid();
    const bool shift = S.Modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = S.Modifiers.testFlag(Qt::ControlModifier);
    const int rows = list.RowCount() - 1;
    switch (S.What) {
    case Act::Click:
    case Act::ShiftClick:
        if (S.Row <= rows) {
            m_List->MouseSelect(S.Row, S.What == Act::ShiftClick);
        }
        break;
    case Act::RightClick:
        if (!list.IsSelected(S.Row)) {
            m_List->MouseSelect(S.Row, false);
        }
        break;
    case Act::Drag:
        m_List->MouseSelect(S.Row, false);
        m_List->MouseSelect(S.To, true);
        break;
    case Act::DoubleClick:
        m_List->MouseSelect(S.Row, false);
        m_List->DblClick();
        break;
    case Act::Key: {
        const std::pair<int, TKeyMove> moves[] = {
            {Qt::Key_Up, TKeyMove::Up},         {Qt::Key_Down, TKeyMove::Down},
            {Qt::Key_PageUp, TKeyMove::PageUp}, {Qt::Key_PageDown, TKeyMove::PageDown},
            {Qt::Key_Home, TKeyMove::Home},     {Qt::Key_End, TKeyMove::End}};
        for (const auto& [key, move] : moves) {
            if (S.Key == key && !ctrl) {
                m_List->KeyMove(move, shift, grid()->pageRows());
            }
        }
        if (ctrl && (S.Key == Qt::Key_Up || S.Key == Qt::Key_Down)) {
            // What a drag of the current row's fixed cell by one row does.
            m_List->Grid().MoveRow(list.Row(), list.Row() + (S.Key == Qt::Key_Up ? -1 : 1));
        } else if (S.Key == Qt::Key_Return) {
            m_List->KeyPress('\r');
        } else if (S.Key == Qt::Key_Delete) {
            m_List->RemoveSelected();
        } else if (S.Key == Qt::Key_F2) {
            m_List->EditTrackerListRow();
        } else if (ctrl && S.Key == Qt::Key_A) {
            m_List->SelectAll();
        } else if (ctrl && S.Key == Qt::Key_C) {
            m_List->CopyToClipboard();
        } else if (ctrl && S.Key == Qt::Key_D) {
            m_List->DeleteTrackers();
        }
        break;
    }
    case Act::ClearAll:
        m_List->ClearAll();
        break;
    case Act::OpenSelected:
        m_List->OpenSelected();
        break;
    case Act::Quaverize:
        m_List->Quaverize();
        break;
    case Act::MoveRow:
        m_List->Grid().MoveRow(S.Row, S.To);
        break;
    case Act::Add:
    case Act::HandOff:
        m_List->AddFile(path(S.Text).toStdString());
        break;
    case Act::SetStatus:
        m_Host.Status = S.Text;
        break;
    }
}

// What the user sees of the window: the view's cells, current row and selection, and the
// status line; with the anchor, links and clipboard the window's list holds or handed out.
QString GridCommandsTest::windowState() {
    QAbstractItemModel* model = grid()->model();
    QString state;
    for (int c = 0; c < model->columnCount(); ++c) {
        state += model->headerData(c, Qt::Horizontal).toString() + "|";
    }
    for (int r = 0; r < model->rowCount(); ++r) {
        state += "\n";
        for (int c = 0; c < model->columnCount(); ++c) {
            state += model->index(r, c).data().toString() + "|";
        }
    }
    QItemSelectionModel* selection = grid()->selectionModel();
    QStringList selected;
    for (int r = 0; r < model->rowCount(); ++r) {
        if (selection->isRowSelected(r)) {
            selected.append(QString::number(r + 1));
        }
    }
    const int partly = static_cast<int>(selection->selectedIndexes().size()) -
                       static_cast<int>(selected.size()) * model->columnCount();
    state += QString("\ncurrent %1, anchor %2, selected %3%4")
                 .arg(selection->currentIndex().row() + 1)
                 .arg(m_Form->List().Grid().Anchor())
                 .arg(selected.join(","), partly != 0 ? " and parts of rows" : "");
    state += "\nstatus: " + m_Form->findChild<QLabel*>("StatusText")->text();
    state += "\nopened: " + m_Links.Urls.join(" ");
    state += "\nclipboard: " + QGuiApplication::clipboard()->text();
    return state;
}

QString GridCommandsTest::listState() {
    const G& list = m_List->Grid();
    QString state;
    for (int r = 0; r < list.RowCount(); ++r) {
        if (r > 0) {
            state += "\n";
        }
        for (int c = 1; c < G::kColumns; ++c) {
            state += QString::fromStdString(list.Cell(c, r)) + "|";
        }
    }
    QStringList selected;
    for (int r = list.SelectionTop(); r <= list.SelectionBottom(); ++r) {
        selected.append(QString::number(r));
    }
    state += QString("\ncurrent %1, anchor %2, selected %3%4")
                 .arg(list.Row())
                 .arg(list.Anchor())
                 .arg(selected.join(","), "");
    state += "\nstatus: " + QString::fromStdString(m_Host.Status);
    QStringList urls;
    for (const std::string& url : m_Host.Urls) {
        urls.append(QString::fromStdString(url));
    }
    state += "\nopened: " + urls.join(" ");
    state += "\nclipboard: " + QString::fromStdString(m_Host.Clipboard);
    return state;
}

void GridCommandsTest::theWindowDoesWhatTheListDoes_data() {
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < Cases().size(); ++i) {
        QTest::newRow(Cases()[i].Name) << static_cast<int>(i);
    }
}

void GridCommandsTest::theWindowDoesWhatTheListDoes() {
    QFETCH(int, index);
    const Case& c = Cases()[static_cast<std::size_t>(index)];
    for (int i = 1; i <= c.Torrents; ++i) {
        const QString file = path(qPrintable(QString("t%1").arg(i)));
        m_Form->AddFile(file);
        m_List->AddFile(file.toStdString());
    }
    if (c.Torrents >= 2) { // a row with two trackers, so that the status line tells rows apart
        const std::string two = "\"http://a.example/1\"|\"udp://b.example/2\"";
        m_Form->List().Grid().SetCell(G::ColTrackers, 2, two);
        m_List->Grid().SetCell(G::ColTrackers, 2, two);
    }
    QCOMPARE(windowState(), listState());
    int number = 0;
    for (const std::vector<Step>* steps : {&c.Setup, &c.Command}) {
        for (const Step& step : *steps) {
            ++number;
            onWindow(step);
            onList(step);
            const QString window = windowState();
            const QString list = listState();
            QVERIFY2(window == list, qPrintable(QString("after step %1:\nwindow:\n%2\nlist:\n%3")
                                                    .arg(number)
                                                    .arg(window, list)));
        }
    }
    if (!c.Names.isEmpty()) {
        QStringList names;
        for (int r = 1; r < m_Form->List().Grid().RowCount(); ++r) {
            names.append(QString::fromStdString(m_Form->List().Grid().Cell(G::ColName, r)));
        }
        QCOMPARE(names, c.Names);
    }
}

QTEST_MAIN(GridCommandsTest)
#include "GridCommandsTest.moc"

#include "list/ListOrder.h"
#include "network/TrackerFetcher.h"
#include "widgets/EditForm.h"
#include "widgets/GridView.h"
#include "widgets/MainForm.h"
#include "widgets/UndoSteps.h"

#include <QLabel>
#include <QMenu>
#include <QUndoStack>
#include <memory>
#include <utility>

// The commands that change the list as undoable steps (UndoSteps): a batch of adds, a row's
// move, a sort, fetched trackers, Remove selected, Clear all, Delete trackers and the tracker
// editor's Save.

namespace lintervale {

void MainForm::buildUndo() {
    m_Undo = new UndoSteps(
        m_List.Grid(), [this](const QString& Text) { showStatus(Text); }, this);
    m_GridMenu->addSeparator();
    m_GridMenu->addAction(m_Undo->undoAction());
    m_GridMenu->addAction(m_Undo->redoAction());
    // A batch of adds is one step, however many rows it brought.
    connect(m_Adder, &BatchAdder::finished, this, [this](const std::vector<std::string>& Added) {
        // The link stays for the last batch that refused some, until a batch refuses none.
        m_Details->setVisible(std::exchange(m_BatchRefused, false));
        m_Undo->added(tr("Add"), Added);
        emit addsFinished();
    });
    connect(m_Grid, &GridView::rowMoved, this, [this](int From, int To) {
        m_Grid->clearSortMark();
        m_Undo->moved(tr("Move row"), From, To);
    });
    connect(m_Grid, &GridView::sortRequested, this, &MainForm::sortClicked);
    // What one run of fetches merged into the rows is one step, taken when the queue empties.
    auto fetched = std::make_shared<TTrackerChange>();
    connect(m_Fetcher, &TrackerFetcher::trackersMerged, this,
            [fetched](const TTrackerChange& Change) { fetched->Absorb(Change); });
    connect(m_Fetcher, &TrackerFetcher::idle, this, [this, fetched] {
        m_Undo->trackersChanged(tr("Fetched trackers"), std::exchange(*fetched, TTrackerChange()));
    });
    connect(m_Undo, &UndoSteps::orderRestored, m_Grid, &GridView::clearSortMark);
    // The tracker editor's Save closes it with accept.
    connect(m_EditForm, &QDialog::accepted, this,
            [this] { m_Undo->trackersEdited(tr("Edit tracker list")); });
}

QUndoStack& MainForm::undoStack() {
    return m_Undo->stack();
}

void MainForm::sortClicked(int Column) {
    // A second click on the same heading turns the order round.
    const bool descending = m_Grid->sortedUpBy(Column);
    TTorrentGrid& grid = m_List.Grid();
    TRowOrder before = TRowOrder::Of(grid);
    SortRows(grid, Column, descending);
    m_Undo->reordered(tr("Sort"), std::move(before), TRowOrder::Of(grid));
    m_Grid->showSortMark(Column, descending);
    m_Grid->scrollTo(m_Grid->currentIndex());
}

void MainForm::clearAllClicked() {
    published([this] {
        if (m_List.ClearAllConfirmed()) {
            m_Undo->removing(tr("Clear all"), [this] { m_List.ClearRows(); });
        }
    });
}

void MainForm::removeSelectedClicked() {
    m_Undo->removing(tr("Remove selected"), [this] { m_List.RemoveSelected(); });
}

void MainForm::deleteTrackersClicked() {
    TTorrentGrid& grid = m_List.Grid();
    TTrackerChange change =
        TTrackerChange::Before(grid, grid.SelectionTop(), grid.SelectionBottom());
    m_List.DeleteTrackers();
    change.After(grid);
    m_Undo->trackersChanged(tr("Delete trackers"), std::move(change));
}

void MainForm::editTrackerListClicked() {
    if (const int row = m_List.EditTrackerListRow(); row > 0) {
        m_Undo->editingTrackers(row);
        m_EditForm->editRow(row);
    }
}

} // namespace lintervale

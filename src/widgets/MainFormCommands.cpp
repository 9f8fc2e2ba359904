#include "network/TrackerFetcher.h"
#include "widgets/EditForm.h"
#include "widgets/GridView.h"
#include "widgets/ListCommands.h"
#include "widgets/ListSaver.h"
#include "widgets/MainForm.h"
#include "widgets/UndoSteps.h"

#include <QLabel>
#include <QMenu>
#include <QUndoStack>
#include <memory>
#include <utility>

// The changes of the list as undoable steps (UndoSteps): a batch of adds, a row's move,
// fetched trackers and the tracker editor's Save; the menu's commands (ListCommands).

namespace lintervale {

void MainForm::buildUndo() {
    m_Undo = new UndoSteps(
        m_List.Grid(), [this](const QString& Text) { showStatus(Text); }, this);
    m_Commands = new ListCommands({.List = m_List,
                                   .Grid = *m_Grid,
                                   .Undo = *m_Undo,
                                   .Editor = *m_EditForm,
                                   .Adder = *m_Adder},
                                  this);
    m_GridMenu->addSeparator();
    m_GridMenu->addAction(m_Undo->undoAction());
    m_GridMenu->addAction(m_Undo->redoAction());
    // A batch of adds is one step, however many rows it brought.
    connect(m_Adder, &BatchAdder::finished, this, [this](const std::vector<std::string>& Added) {
        m_Undo->added(tr("Add"), Added);
        emit addsFinished();
    });
    connect(m_Grid, &GridView::rowMoved, this, [this](int From, int To) {
        m_Grid->clearSortMark();
        m_Undo->moved(tr("Move row"), From, To);
    });
    connect(m_Grid, &GridView::sortRequested, m_Commands, &ListCommands::sort);
    // The saved list loaded when "Save on exit" is ticked is one step, as a batch is.
    connect(m_Saver, &ListSaver::savedRowsAdded, this,
            [this](const std::vector<std::string>& Added) {
                m_Undo->added(tr("Load saved list"), Added);
            });
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

} // namespace lintervale

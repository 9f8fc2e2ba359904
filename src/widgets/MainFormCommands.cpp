#include "widgets/EditForm.h"
#include "widgets/MainForm.h"
#include "widgets/UndoSteps.h"

#include <QLabel>
#include <QMenu>
#include <QUndoStack>
#include <utility>

// The commands that change the list as undoable steps (UndoSteps): a batch of adds, Remove
// selected, Clear all, Delete trackers and the tracker editor's Save.

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
    // The tracker editor's Save closes it with accept.
    connect(m_EditForm, &QDialog::accepted, this,
            [this] { m_Undo->trackersEdited(tr("Edit tracker list")); });
}

QUndoStack& MainForm::undoStack() {
    return m_Undo->stack();
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

#include "list/ListDeltas.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/EditForm.h"
#include "widgets/GridView.h"
#include "widgets/MainForm.h"

#include <QAction>
#include <QMenu>
#include <QUndoStack>
#include <functional>
#include <memory>

// Undo and redo of the commands that take data out of the list: Remove selected, Clear all,
// Delete trackers and the tracker editor's Save. Each step keeps only what its command
// changed (see list/ListDeltas.h), so undoing it never takes back what came later.

namespace lintervale {

namespace {

// Enough for a run of mistakes; each step holds only the rows or cells its command changed.
constexpr int kUndoSteps = 20;

// A step whose command has run already: the first redo, which QUndoStack::push asks for, does
// nothing.
class ListStep final : public QUndoCommand {
public:
    ListStep(const QString& Text, std::function<void()> Undo, std::function<void()> Redo)
        : QUndoCommand(Text), m_Undo(std::move(Undo)), m_Redo(std::move(Redo)) {}

    void undo() override { m_Undo(); }
    void redo() override {
        if (m_Done) {
            m_Done = false;
            return;
        }
        m_Redo();
    }

private:
    std::function<void()> m_Undo;
    std::function<void()> m_Redo;
    bool m_Done = true;
};

// Tracker cells are put back by hash, into whatever rows hold them when undone.
void pushTrackerChange(QUndoStack& Stack, TTorrentGrid& Grid, const QString& Name,
                       TTrackerChange Change) {
    if (Change.Empty()) {
        return;
    }
    auto change = std::make_shared<TTrackerChange>(std::move(Change));
    Stack.push(new ListStep(
        Name, [&Grid, change] { change->Undo(Grid); }, [&Grid, change] { change->Redo(Grid); }));
}

} // namespace

void MainForm::buildUndo() {
    m_Undo = new QUndoStack(this);
    m_Undo->setUndoLimit(kUndoSteps);
    m_GridMenu->addSeparator();
    const auto item = [&](const char* name, const QString& caption, const QKeySequence& keys,
                          void (QUndoStack::*act)()) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        action->setShortcut(keys);
        // Anywhere in the main window: after "Clear all" the focus is on the button.
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(false);
        connect(action, &QAction::triggered, m_Undo, act);
        m_GridMenu->addAction(action);
        addAction(action);
        return action;
    };
    m_UndoAction = item("Undo", tr("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), &QUndoStack::undo);
    m_RedoAction = item("Redo", tr("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                        &QUndoStack::redo);
    connect(m_Undo, &QUndoStack::canUndoChanged, m_UndoAction, &QAction::setEnabled);
    connect(m_Undo, &QUndoStack::canRedoChanged, m_RedoAction, &QAction::setEnabled);
    // The tracker editor's Save closes it with accept.
    connect(m_EditForm, &QDialog::accepted, this, &MainForm::trackerEditSaved);
}

template <typename F> void MainForm::removing(const QString& Name, F Command) {
    TTorrentGrid& grid = m_List.Grid();
    std::vector<TTorrentGrid::TRow> before = DataRows(grid);
    Command();
    auto removal = std::make_shared<TRowRemoval>(TRowRemoval::Between(before, grid));
    before.clear();
    if (removal->Empty()) {
        return;
    }
    const auto undo = [this, removal] {
        TTorrentGrid& grid = m_List.Grid();
        const TRowRemoval::TRestored restored = removal->Restore(grid);
        if (restored.Restored > 0) {
            grid.Select(restored.FirstRow, restored.LastRow);
        }
        if (restored.Skipped > 0) {
            showStatus(tr("%1 of %2 rows were not put back: their torrents are listed again.")
                           .arg(restored.Skipped)
                           .arg(restored.Skipped + restored.Restored));
        }
    };
    const auto redo = [this, removal] { removal->RemoveAgain(m_List.Grid()); };
    m_Undo->push(new ListStep(Name, undo, redo));
}

void MainForm::clearAllClicked() {
    published([this] {
        if (m_List.ClearAllConfirmed()) {
            removing(tr("Clear all"), [this] { m_List.ClearRows(); });
        }
    });
}

void MainForm::removeSelectedClicked() {
    removing(tr("Remove selected"), [this] { m_List.RemoveSelected(); });
}

void MainForm::deleteTrackersClicked() {
    TTorrentGrid& grid = m_List.Grid();
    TTrackerChange change =
        TTrackerChange::Before(grid, grid.SelectionTop(), grid.SelectionBottom());
    m_List.DeleteTrackers();
    change.After(grid);
    pushTrackerChange(*m_Undo, grid, tr("Delete trackers"), std::move(change));
}

void MainForm::editTrackerListClicked() {
    if (const int row = m_List.EditTrackerListRow(); row > 0) {
        m_TrackerEdit =
            std::make_unique<TTrackerChange>(TTrackerChange::Before(m_List.Grid(), row, row));
        m_EditForm->editRow(row);
    }
}

void MainForm::trackerEditSaved() {
    if (!m_TrackerEdit) {
        return;
    }
    TTrackerChange change = std::move(*m_TrackerEdit);
    m_TrackerEdit.reset();
    change.After(m_List.Grid());
    pushTrackerChange(*m_Undo, m_List.Grid(), tr("Edit tracker list"), std::move(change));
}

} // namespace lintervale

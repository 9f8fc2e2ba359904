#include "widgets/ListCommands.h"

#include "list/ListOrder.h"
#include "list/TorrentList.h"
#include "widgets/BatchAdder.h"
#include "widgets/EditForm.h"
#include "widgets/GridView.h"
#include "widgets/UndoSteps.h"

#include <utility>

namespace lintervale {

ListCommands::ListCommands(ListCommandParts Parts, QObject* Parent)
    : QObject(Parent), m_Parts(Parts) {}

void ListCommands::sort(int Column) {
    GridView& view = m_Parts.Grid;
    const bool descending = view.sortedUpBy(Column);
    TTorrentGrid& grid = m_Parts.List.Grid();
    TRowOrder before = TRowOrder::Of(grid);
    SortRows(grid, Column, descending);
    m_Parts.Undo.reordered(tr("Sort"), std::move(before), TRowOrder::Of(grid));
    view.showSortMark(Column, descending);
    view.scrollTo(view.currentIndex());
}

void ListCommands::clearAll() {
    m_Parts.Adder.published([this] {
        if (m_Parts.List.ClearAllConfirmed()) {
            m_Parts.Undo.removing(tr("Clear all"), [this] { m_Parts.List.ClearRows(); });
        }
    });
}

void ListCommands::removeSelected() {
    m_Parts.Undo.removing(tr("Remove selected"), [this] { m_Parts.List.RemoveSelected(); });
}

void ListCommands::deleteTrackers() {
    TTorrentGrid& grid = m_Parts.List.Grid();
    TTrackerChange change =
        TTrackerChange::Before(grid, grid.SelectionTop(), grid.SelectionBottom());
    m_Parts.List.DeleteTrackers();
    change.After(grid);
    m_Parts.Undo.trackersChanged(tr("Delete trackers"), std::move(change));
}

void ListCommands::editTrackerList() {
    if (const int row = m_Parts.List.EditTrackerListRow(); row > 0) {
        m_Parts.Undo.editingTrackers(row);
        m_Parts.Editor.editRow(row);
    }
}

} // namespace lintervale

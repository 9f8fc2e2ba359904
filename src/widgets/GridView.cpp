#include "widgets/GridView.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace lintervale {

namespace {

constexpr int kRowHeight = 21;
constexpr int kFixedWidth = 21;
constexpr int kColumnWidths[] = {235, 237, 166, 47, 60};

} // namespace

GridView::GridView(TTorrentList& List, GridModel& Model, QWidget* Parent)
    : QTableView(Parent), m_List(List) {
    setObjectName("StringGrid1");
    setModel(&Model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);

    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(kRowHeight);
    rows->setMinimumSectionSize(kRowHeight);
    rows->setFixedWidth(kFixedWidth);
    rows->setSectionsMovable(true);
    rows->setHighlightSections(false);

    QHeaderView* columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setFixedHeight(kRowHeight);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    for (int c = 0; c < 5; ++c) {
        setColumnWidth(c, kColumnWidths[c]);
    }

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &GridView::userSelectionChanged);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &GridView::userSelectionChanged);
    connect(&Model, &GridModel::gridSelectionChanged, this, &GridView::showGridSelection);
    connect(&Model, &QAbstractItemModel::modelReset, this, [this] {
        // A reset drops the selection model's state; the grid still has it.
        showGridSelection();
    });
    connect(rows, &QHeaderView::sectionMoved, this, &GridView::headerSectionMoved);
    showGridSelection();
}

void GridView::showGridSelection() {
    const TTorrentGrid& grid = m_List.Grid();
    QAbstractItemModel* itemModel = model();
    const int columns = itemModel->columnCount();
    m_Syncing = true;
    const QModelIndex current = itemModel->index(grid.Row() - 1, 0);
    const QItemSelection range(itemModel->index(grid.SelectionTop() - 1, 0),
                               itemModel->index(grid.SelectionBottom() - 1, columns - 1));
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
    m_Syncing = false;
}

void GridView::userSelectionChanged() {
    if (m_Syncing) {
        return;
    }
    const QModelIndex current = selectionModel()->currentIndex();
    if (!current.isValid()) {
        return;
    }
    int top = current.row();
    int bottom = current.row();
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
    }
    // The anchor is the end of the range the current row is not at.
    const int anchor = current.row() == top ? bottom : top;
    const TTorrentGrid& grid = m_List.Grid();
    if (anchor + 1 == grid.Anchor() && current.row() + 1 == grid.Row()) {
        return;
    }
    m_Syncing = true;
    m_List.UserSelect(anchor + 1, current.row() + 1);
    m_Syncing = false;
}

void GridView::headerSectionMoved(int /*Logical*/, int OldVisual, int NewVisual) {
    // The header only reports the drag; the grid moves the row and the header goes back to
    // showing rows in their own order.
    QHeaderView* rows = verticalHeader();
    const bool blocked = rows->blockSignals(true);
    rows->moveSection(NewVisual, OldVisual);
    rows->blockSignals(blocked);
    m_List.Grid().MoveRow(OldVisual + 1, NewVisual + 1);
}

void GridView::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
        emit enterPressed();
        Event->accept();
        return;
    }
    QTableView::keyPressEvent(Event);
}

} // namespace lintervale

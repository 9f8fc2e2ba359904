#include "widgets/GridView.h"

#include "widgets/LinkMimeData.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>
#include <utility>

namespace lintervale {

namespace {

using TKeyMove = TTorrentList::TKeyMove;

// The keys that move the current row, and their moves.
constexpr std::pair<int, TKeyMove> kKeyMoves[] = {
    {Qt::Key_Up, TKeyMove::Up},         {Qt::Key_Down, TKeyMove::Down},
    {Qt::Key_PageUp, TKeyMove::PageUp}, {Qt::Key_PageDown, TKeyMove::PageDown},
    {Qt::Key_Home, TKeyMove::Home},     {Qt::Key_End, TKeyMove::End},
};

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
    setAccessibleName(tr("Torrents"));
    setAccessibleDescription(
        tr("The added torrents, one a row: name, hash, trackers, number of files and size. "
           "Enter opens the magnet links of the selected rows, the Menu key the commands, and "
           "Ctrl+Up and Ctrl+Down move the current row."));

    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setSectionsMovable(true);
    rows->setHighlightSections(false);

    QHeaderView* columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    m_Fit = std::make_unique<GridFit>(*this, Model, List.Grid());

    connect(&Model, &GridModel::gridSelectionChanged, this, &GridView::showGridSelection);
    // A reset drops the selection model's state; the grid still has it.
    connect(&Model, &QAbstractItemModel::modelReset, this, &GridView::showGridSelection);
    // The table selects a row when its fixed cell is pressed. Pressing the fixed cell starts
    // a row's move and selects nothing, so the grid's selection is shown again.
    connect(rows, &QHeaderView::sectionPressed, this, &GridView::showGridSelection);
    connect(rows, &QHeaderView::sectionEntered, this, &GridView::showGridSelection);
    connect(rows, &QHeaderView::sectionMoved, this, &GridView::headerSectionMoved);
    // A click on a heading sorts; the mark shows only what the list says.
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(false);
    connect(columns, &QHeaderView::sectionClicked, this,
            [this](int Logical) { emit sortRequested(Logical + 1); });
    showGridSelection();
}

void GridView::showGridSelection() {
    const TTorrentGrid& grid = m_List.Grid();
    QAbstractItemModel* itemModel = model();
    if (itemModel->rowCount() != grid.RowCount() - 1) {
        return; // a bulk change is under way: the model's reset comes back here
    }
    const int columns = itemModel->columnCount();
    const QModelIndex current = itemModel->index(grid.Row() - 1, 0);
    const QItemSelection range(itemModel->index(grid.SelectionTop() - 1, 0),
                               itemModel->index(grid.SelectionBottom() - 1, columns - 1));
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
}

int GridView::rowAt(const QPoint& Position) const {
    const QModelIndex index = indexAt(Position);
    return index.isValid() ? index.row() + 1 : 0;
}

int GridView::pageRows() const {
    return std::max(1, viewport()->height() / verticalHeader()->defaultSectionSize());
}

void GridView::changeEvent(QEvent* Event) {
    QTableView::changeEvent(Event);
    if (Event->type() == QEvent::FontChange || Event->type() == QEvent::StyleChange) {
        m_Fit->fitToFont();
    }
}

QPoint GridView::menuPosition() const {
    const QModelIndex current = currentIndex();
    const QRect row = current.isValid() ? visualRect(current.siblingAtColumn(0)) : QRect();
    if (!row.isValid() || !viewport()->rect().intersects(row)) {
        return QPoint(0, 0);
    }
    return QPoint(std::max(0, row.left()), row.bottom());
}

bool GridView::viewportEvent(QEvent* Event) {
    // A context menu the keyboard asked for opens at the current row, not at the mouse.
    if (Event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(Event)->reason() == QContextMenuEvent::Keyboard) {
        emit customContextMenuRequested(menuPosition());
        Event->accept();
        return true;
    }
    return QTableView::viewportEvent(Event);
}

void GridView::mousePressEvent(QMouseEvent* Event) {
    const int row = rowAt(Event->position().toPoint());
    if (row == 0) {
        return; // below the last row: nothing is selected, nothing is cleared
    }
    const TTorrentGrid& grid = m_List.Grid();
    if (Event->button() == Qt::LeftButton) {
        const bool extend = Event->modifiers().testFlag(Qt::ShiftModifier);
        m_Selecting = true;
        m_PressRow = row;
        m_PressPosition = Event->position().toPoint();
        // Inside the selection the press may start a drag of the selected rows.
        m_PressInSelection = !extend && grid.IsSelected(row);
        if (!m_PressInSelection) {
            m_List.MouseSelect(row, extend);
        }
    } else if (Event->button() == Qt::RightButton && !grid.IsSelected(row)) {
        // The context menu acts on the row it was opened on, unless that row is selected.
        m_List.MouseSelect(row, false);
    }
}

void GridView::selectPressedRow() {
    m_PressInSelection = false;
    // Rows may have come on top meanwhile (a batch, a hand-off): the row is kept in range.
    m_List.MouseSelect(std::min(m_PressRow, m_List.Grid().RowCount() - 1), false);
}

void GridView::mouseMoveEvent(QMouseEvent* Event) {
    if (!m_Selecting) {
        // Without a press in the cells a held button selects nothing.
        if (Event->buttons() == Qt::NoButton) {
            QTableView::mouseMoveEvent(Event);
        }
        return;
    }
    const QPoint position = Event->position().toPoint();
    const int row = rowAt(position);
    if (m_PressInSelection) {
        if (row != 0 && m_List.Grid().IsSelected(row)) {
            if ((position - m_PressPosition).manhattanLength() >=
                QApplication::startDragDistance()) {
                m_Selecting = false;
                m_PressInSelection = false;
                // The selected rows' links; nothing when none of them has a hash. What the
                // status line says comes first: the drag runs an event loop of its own.
                const TTorrentGrid& grid = m_List.Grid();
                m_List.TellIfPrivate(grid.SelectionTop(), grid.SelectionBottom());
                dragLinks(this, m_List.SelectedLinks());
            }
            return;
        }
        selectPressedRow();
    }
    if (row != 0 && row != m_List.Grid().Row()) {
        m_List.MouseSelect(row, true);
    }
}

void GridView::mouseReleaseEvent(QMouseEvent* Event) {
    if (Event->button() == Qt::LeftButton) {
        if (m_Selecting && m_PressInSelection) {
            selectPressedRow(); // a click inside the selection
        }
        m_Selecting = false;
        m_PressInSelection = false;
    }
    QTableView::mouseReleaseEvent(Event);
}

void GridView::mouseDoubleClickEvent(QMouseEvent* Event) {
    // The second press of a double click is a press as well; then the row's link opens.
    mousePressEvent(Event);
    const QModelIndex index = indexAt(Event->position().toPoint());
    if (Event->button() == Qt::LeftButton && index.isValid()) {
        emit doubleClicked(index);
    }
}

void GridView::keyboardSearch(const QString& Search) {
    const int row = m_TypeAhead.typed(m_List.Grid(), Search);
    if (row > 0) {
        m_List.SetRow(row);
        scrollTo(currentIndex());
    }
}

void GridView::resizeEvent(QResizeEvent* Event) {
    const int grown = Event->size().width() - Event->oldSize().width();
    QTableView::resizeEvent(Event);
    if (Event->oldSize().width() < 0 || grown == 0) {
        return;
    }
    m_Fit->viewResized(grown);
}

void GridView::headerSectionMoved(int /*Logical*/, int OldVisual, int NewVisual) {
    // The header only reports the drag; the grid moves the row and the header goes back to
    // showing rows in their own order.
    QHeaderView* rows = verticalHeader();
    const bool blocked = rows->blockSignals(true);
    rows->moveSection(NewVisual, OldVisual);
    rows->blockSignals(blocked);
    m_List.Grid().MoveRow(OldVisual + 1, NewVisual + 1);
    emit rowMoved(OldVisual + 1, NewVisual + 1);
}

void GridView::showSortMark(int Column, bool Descending) {
    horizontalHeader()->setSortIndicator(Column - 1,
                                         Descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    horizontalHeader()->setSortIndicatorShown(true);
}

void GridView::clearSortMark() {
    horizontalHeader()->setSortIndicatorShown(false);
}

bool GridView::sortedUpBy(int Column) const {
    const QHeaderView* columns = horizontalHeader();
    return columns->isSortIndicatorShown() && columns->sortIndicatorSection() == Column - 1 &&
           columns->sortIndicatorOrder() == Qt::AscendingOrder;
}

void GridView::keyPressEvent(QKeyEvent* Event) {
    const Qt::KeyboardModifiers modifiers = Event->modifiers() & ~Qt::KeypadModifier;
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
        emit enterPressed();
        Event->accept();
        return;
    }
    if (Event->key() == Qt::Key_Menu ||
        (Event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        emit customContextMenuRequested(menuPosition());
        Event->accept();
        return;
    }
    if ((Event->key() == Qt::Key_Up || Event->key() == Qt::Key_Down) &&
        modifiers == Qt::ControlModifier) {
        // What dragging the current row's fixed cell one row up or down does.
        TTorrentGrid& grid = m_List.Grid();
        const int from = grid.Row();
        const int to = from + (Event->key() == Qt::Key_Up ? -1 : 1);
        if (to >= 1 && to < grid.RowCount()) {
            grid.MoveRow(from, to);
            emit rowMoved(from, to);
        }
        scrollTo(currentIndex());
        Event->accept();
        return;
    }
    for (const auto& [key, move] : kKeyMoves) {
        if (Event->key() == key) {
            m_List.KeyMove(move, Event->modifiers().testFlag(Qt::ShiftModifier), pageRows());
            scrollTo(currentIndex());
            Event->accept();
            return;
        }
    }
    if (Event->key() == Qt::Key_Left || Event->key() == Qt::Key_Right) {
        // Whole rows are selected: the arrows scroll the columns into view.
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() +
                      (Event->key() == Qt::Key_Left ? -bar->singleStep() : bar->singleStep()));
        Event->accept();
        return;
    }
    // Any other key the table handles (Space, Ctrl+A, ...) may change its selection on its
    // own; the grid's is shown again.
    QTableView::keyPressEvent(Event);
    showGridSelection();
}

} // namespace lintervale

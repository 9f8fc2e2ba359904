#include "widgets/GridView.h"

#include "list/ListFind.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/FontUnits.h"
#include "widgets/LinkMimeData.h"
#include "widgets/Translations.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <utility>

namespace lintervale {

namespace {

// At the layout's font (FontUnits.h). A column is always as wide as its heading, and the
// short columns as their usual cells: up to 99,999 files, up to 100 GB.
constexpr int kRowHeight = 21;
constexpr int kColumnWidths[] = {235, 237, 166, 47, 60};
constexpr const char* kWidestCells[] = {"", "", "", "00000", "00000 MB"};

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
    fitToFont();

    connect(&Model, &GridModel::gridSelectionChanged, this, &GridView::showGridSelection);
    // The value columns grow with what the list holds.
    connect(&Model, &QAbstractItemModel::modelReset, this,
            [this] { fitValueColumns(1, m_List.Grid().RowCount() - 1); });
    connect(
        &Model, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex&, int First, int Last) { fitValueColumns(First + 1, Last + 1); });
    connect(&Model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& TopLeft, const QModelIndex& BottomRight) {
                fitValueColumns(TopLeft.row() + 1, BottomRight.row() + 1);
            });
    // A reset drops the selection model's state; the grid still has it.
    connect(&Model, &QAbstractItemModel::modelReset, this, &GridView::showGridSelection);
    // The table selects a row when its fixed cell is pressed. Pressing the fixed cell starts
    // a row's move and selects nothing, so the grid's selection is shown again.
    connect(rows, &QHeaderView::sectionPressed, this, &GridView::showGridSelection);
    connect(rows, &QHeaderView::sectionEntered, this, &GridView::showGridSelection);
    connect(rows, &QHeaderView::sectionMoved, this, &GridView::headerSectionMoved);
    // A click on a heading sorts; the mark shows only what the list says.
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
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

void GridView::fitToFont() {
    const QFontMetrics metrics = fontMetrics();
    const int rowHeight = std::max(FontScaled(kRowHeight, metrics), metrics.height() + 2);
    QHeaderView* rows = verticalHeader();
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    rows->setFixedWidth(rowHeight);

    QHeaderView* columns = horizontalHeader();
    const QFontMetrics headerMetrics = columns->fontMetrics();
    const int margin = columns->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, columns);
    columns->setFixedHeight(std::max(rowHeight, headerMetrics.height() + 2 * margin));
    // A cell's text keeps the focus frame's margin and one pixel free on each side.
    const int cellMargin =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    // A sorted column's heading shows its mark beside the text.
    const int mark =
        columns->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, columns) + margin;
    for (int c = 0; c < 5; ++c) {
        // The list writes its headings once the window is up: their room is kept from now.
        const int heading =
            headerMetrics.horizontalAdvance(headingText(c + 1)) + 2 * margin + 2 + mark;
        // The count and size columns: their usual cells, or the widest the list holds (digits
        // are equally wide in the fonts in use; the size ends in " MB").
        QString widest = QLatin1String(kWidestCells[c]);
        if (c >= 3) {
            const int digits = m_FittedChars[c - 3] - (c == 4 ? 3 : 0);
            if (digits > widest.size() - (c == 4 ? 3 : 0)) {
                widest = QString(digits, '0') + (c == 4 ? " MB" : "");
            }
        }
        const int cells = metrics.horizontalAdvance(widest) + cellMargin;
        const int width = std::max({FontScaled(kColumnWidths[c], metrics), heading, cells});
        if (c < 3 && columnWidth(c) > width) {
            continue; // the user's (or the window's) wider choice stays
        }
        setColumnWidth(c, width);
    }
}

void GridView::changeEvent(QEvent* Event) {
    QTableView::changeEvent(Event);
    if (Event->type() == QEvent::FontChange || Event->type() == QEvent::StyleChange) {
        fitToFont();
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
                dragSelectedRows();
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

void GridView::dragSelectedRows() {
    QStringList links;
    for (const std::string& link : m_List.SelectedLinks()) {
        links.append(QStringOf(link));
    }
    if (links.isEmpty()) {
        return;
    }
    // Qt deletes the drag once it is over. Its event loop runs until the drop: rows may come
    // and go meanwhile, so nothing here looks at them afterwards.
    auto* drag = new QDrag(this);
    drag->setMimeData(new LinkMimeData(links));
    drag->exec(Qt::CopyAction);
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
    if (Search.isEmpty()) {
        return;
    }
    // Letters typed in quick succession make one prefix; a pause starts a new one.
    if (!m_LastTyped.isValid() || m_LastTyped.elapsed() > QApplication::keyboardInputInterval()) {
        m_Typed.clear();
    }
    m_LastTyped.start();
    m_Typed += Search;
    // A longer prefix may still fit the current row; a first letter looks past it.
    const int current = m_List.Grid().Row();
    const int row = FindNamePrefix(m_List.Grid(), m_Typed.toStdString(),
                                   m_Typed.size() > Search.size() ? current - 1 : current);
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
    const int name = TTorrentGrid::ColName - 1;
    const int usual = FontScaled(kColumnWidths[name], fontMetrics());
    setColumnWidth(name, std::max(usual, columnWidth(name) + grown));
}

void GridView::fitValueColumns(int First, int Last) {
    const TTorrentGrid& grid = m_List.Grid();
    int chars[2] = {0, 0};
    for (int r = std::max(First, 1); r <= Last && r < grid.RowCount(); ++r) {
        chars[0] =
            std::max(chars[0], static_cast<int>(grid.Cell(TTorrentGrid::ColFiles, r).size()));
        chars[1] = std::max(chars[1], static_cast<int>(grid.Cell(TTorrentGrid::ColSize, r).size()));
    }
    if (chars[0] <= m_FittedChars[0] && chars[1] <= m_FittedChars[1]) {
        return;
    }
    m_FittedChars[0] = std::max(chars[0], m_FittedChars[0]);
    m_FittedChars[1] = std::max(chars[1], m_FittedChars[1]);
    fitToFont();
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

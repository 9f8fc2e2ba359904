#include "widgets/GridModel.h"

#include "list/TorrentList.h"
#include "qtsupport/DisplayText.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/Translations.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>

namespace lintervale {

GridModel::GridModel(TTorrentGrid& Grid, QObject* Parent)
    : QAbstractTableModel(Parent), m_Grid(Grid), m_Published(Grid.RowCount() - 1) {
    m_Grid.SetObserver(this);
}

GridModel::~GridModel() {
    m_Grid.SetObserver(nullptr);
}

int GridModel::rowCount(const QModelIndex& Parent) const {
    return Parent.isValid() ? 0 : m_Published;
}

int GridModel::columnCount(const QModelIndex& Parent) const {
    return Parent.isValid() ? 0 : TTorrentGrid::kColumns - 1;
}

QVariant GridModel::data(const QModelIndex& Index, int Role) const {
    const int row = Index.row() + 1;
    if (!Index.isValid() || row >= m_Grid.RowCount()) {
        return {};
    }
    const int column = Index.column() + 1;
    if (column == TTorrentGrid::ColFiles && !m_Notes.isEmpty() &&
        m_Grid.Cell(column, row).empty() &&
        (Role == Qt::DisplayRole || Role == Qt::AccessibleTextRole || Role == Qt::ToolTipRole)) {
        const auto note = m_Notes.constFind(QStringOf(m_Grid.Cell(TTorrentGrid::ColHash, row)));
        if (note != m_Notes.constEnd()) {
            return *note;
        }
    }
    if (column == TTorrentGrid::ColName && m_Private &&
        (Role == Qt::DecorationRole || Role == Qt::ToolTipRole ||
         Role == Qt::AccessibleDescriptionRole)) {
        if (QVariant data = privateData(row, Role); data.isValid()) {
            return data;
        }
    }
    switch (Role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return DisplayText(QStringOf(m_Grid.Cell(column, row)));
    case Qt::ToolTipRole:
        return ToolTipText(QStringOf(m_Grid.Cell(column, row)));
    case Qt::AccessibleDescriptionRole:
        return heading(Index.column() + 1);
    default:
        return {};
    }
}

QString GridModel::privateText() {
    return tr("Private torrent: its link holds the tracker address, which usually carries your "
              "personal key.");
}

QVariant GridModel::privateData(int Row, int Role) const {
    if (m_Grid.Cell(TTorrentGrid::ColHash, Row).empty() || !m_Private(Row)) {
        return {};
    }
    switch (Role) {
    case Qt::DecorationRole:
        if (m_Lock.isNull()) {
            m_Lock = QIcon::fromTheme("object-locked");
            if (m_Lock.isNull()) {
                m_Lock = QIcon::fromTheme("changes-prevent");
            }
            if (m_Lock.isNull()) {
                m_Lock = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
            }
        }
        return m_Lock;
    case Qt::ToolTipRole:
        return ToolTipText(QStringOf(m_Grid.Cell(TTorrentGrid::ColName, Row)) + "\n\n" +
                           privateText());
    default:
        return heading(TTorrentGrid::ColName) + ". " + privateText();
    }
}

void GridModel::privacyChanged() {
    const int column = TTorrentGrid::ColName - 1;
    emit dataChanged(index(0, column), index(std::max(m_Published - 1, 0), column),
                     {Qt::DecorationRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

void GridModel::setNote(const QString& Hash, const QString& Note) {
    if (Note.isEmpty() ? m_Notes.remove(Hash) == 0 : m_Notes.value(Hash) == Note) {
        return;
    }
    if (!Note.isEmpty()) {
        m_Notes.insert(Hash, Note);
    }
    // Finding the rows of a hash costs more than repainting what shows of the column.
    const int column = TTorrentGrid::ColFiles - 1;
    emit dataChanged(index(0, column), index(std::max(m_Published - 1, 0), column),
                     {Qt::DisplayRole, Qt::AccessibleTextRole, Qt::ToolTipRole});
}

QVariant GridModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
    if (Orientation == Qt::Horizontal) {
        if (Role != Qt::DisplayRole && Role != Qt::AccessibleTextRole) {
            return {};
        }
        return heading(Section + 1);
    }
    // The fixed column: empty, as the cells a row is dragged by; named for screen readers.
    if (Role == Qt::AccessibleTextRole) {
        return tr("Row %1").arg(Section + 1);
    }
    return Role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
}

QString GridModel::heading(int Column) const {
    const std::string& cell = m_Grid.Cell(Column, 0);
    // The list's own headings are translated; anything else row 0 holds shows as it is.
    return cell == kHeadings[Column] ? headingText(Column) : DisplayText(QStringOf(cell));
}

Qt::ItemFlags GridModel::flags(const QModelIndex& Index) const {
    return Index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GridModel::beginBulk() {
    m_Bulk = true;
}

void GridModel::endBulk() {
    m_Bulk = false;
    beginResetModel();
    m_Published = m_Grid.RowCount() - 1;
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    emit gridSelectionChanged();
}

void GridModel::RowsAboutToBeInserted(int First, int Last) {
    if (!m_Bulk) {
        beginInsertRows(QModelIndex(), First - 1, Last - 1);
    }
}

void GridModel::RowsInserted() {
    if (!m_Bulk) {
        m_Published = m_Grid.RowCount() - 1;
        endInsertRows();
    }
}

void GridModel::RowsAboutToBeRemoved(int First, int Last) {
    if (!m_Bulk) {
        beginRemoveRows(QModelIndex(), First - 1, Last - 1);
    }
}

void GridModel::RowsRemoved() {
    if (!m_Bulk) {
        m_Published = m_Grid.RowCount() - 1;
        endRemoveRows();
    }
}

void GridModel::RowAboutToBeMoved(int From, int To) {
    if (!m_Bulk) {
        // Qt names the place before which the row lands, counted before the move.
        const int destination = To > From ? To : To - 1;
        beginMoveRows(QModelIndex(), From - 1, From - 1, QModelIndex(), destination);
    }
}

void GridModel::RowMoved() {
    if (!m_Bulk) {
        endMoveRows();
    }
}

void GridModel::CellsChanged(int FirstRow, int LastRow) {
    if (m_Bulk) {
        return;
    }
    if (FirstRow == 0) {
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        FirstRow = 1;
    }
    if (LastRow >= FirstRow) {
        emit dataChanged(index(FirstRow - 1, 0), index(LastRow - 1, columnCount() - 1));
    }
}

void GridModel::SelectionChanged() {
    if (!m_Bulk) {
        emit gridSelectionChanged();
    }
}

void GridModel::RowsAboutToBeReordered() {
    if (!m_Bulk) {
        beginResetModel();
    }
}

void GridModel::RowsReordered() {
    if (!m_Bulk) {
        endResetModel();
    }
}

} // namespace lintervale

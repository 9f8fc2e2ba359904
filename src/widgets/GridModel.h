#pragma once

// Shows the list's grid to a QTableView: grid rows 1.. are the model's rows 0.., grid
// columns 1..5 its columns, row 0 the horizontal headings, and the fixed column 0 the
// (empty) vertical header by which rows are dragged. The grid is the only store; the model
// announces its changes as they come, or, in bulk mode (a long batch of adds), once at the
// end.
//
// The headings the list wrote show in the user's language. A cell shows as DisplayText
// (DisplayText.h) makes it, its tool tip as ToolTipText: never as rich text, with any
// bidirectional control character as a visible mark. Screen readers get each cell's text with
// its column's heading as description, and each row's fixed cell named by its number.

#include "list/TorrentGrid.h"

#include <QAbstractTableModel>
#include <QHash>

namespace lintervale {

class GridModel final : public QAbstractTableModel, private TGridObserver {
    Q_OBJECT
public:
    explicit GridModel(TTorrentGrid& Grid, QObject* Parent = nullptr);
    ~GridModel() override;

    int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& Parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;

    // While in bulk mode the grid may change freely; nothing is announced until endBulk,
    // which publishes the new state at once. No event may be processed in between.
    void beginBulk();
    void endBulk();

    // A note shown in the "# Files" cell of the rows that hold Hash while that cell is empty
    // (a fetch of the contents and its progress); an empty Note takes it away.
    void setNote(const QString& Hash, const QString& Note);

signals:
    // The grid's current row or selection changed (the view follows).
    void gridSelectionChanged();

private:
    // The heading of grid column Column as shown.
    QString heading(int Column) const;

    void RowsAboutToBeInserted(int First, int Last) override;
    void RowsInserted() override;
    void RowsAboutToBeRemoved(int First, int Last) override;
    void RowsRemoved() override;
    void RowAboutToBeMoved(int From, int To) override;
    void RowMoved() override;
    void CellsChanged(int FirstRow, int LastRow) override;
    void SelectionChanged() override;
    void RowsAboutToBeReordered() override;
    void RowsReordered() override;

    TTorrentGrid& m_Grid;
    QHash<QString, QString> m_Notes;
    // The row count the views know of (grid rows less the headings).
    int m_Published = 1;
    bool m_Bulk = false;
};

} // namespace lintervale

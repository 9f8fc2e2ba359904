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
//
// A private torrent's name shows a lock beside it, and its tool tip and description say what
// that means. Whether a row is private is asked only for the rows the view shows.

#include "list/TorrentGrid.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <functional>

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

    // How to tell whether grid row Row holds a private torrent (none is, without it).
    void setPrivacy(std::function<bool(int Row)> IsPrivate) { m_Private = std::move(IsPrivate); }
    // Whether rows are private may have changed: the names show it anew.
    void privacyChanged();
    // What a private row's name says beside its name and heading.
    static QString privateText();

signals:
    // The grid's current row or selection changed (the view follows).
    void gridSelectionChanged();

private:
    // The heading of grid column Column as shown.
    QString heading(int Column) const;
    // What the name cell of a private row adds in Role; nothing for any other role.
    QVariant privateData(int Row, int Role) const;

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
    std::function<bool(int)> m_Private;
    mutable QIcon m_Lock;
    // The row count the views know of (grid rows less the headings).
    int m_Published = 1;
    bool m_Bulk = false;
};

} // namespace lintervale

#pragma once

// The grid StringGrid1: whole-row, contiguous selection; rows dragged by their fixed cell
// (the vertical header); fixed row height and start widths; no editing in place. It mirrors
// the grid's current row and selection both ways: what the user selects goes to the list,
// what the list selects is shown.

#include "list/TorrentList.h"
#include "widgets/GridModel.h"

#include <QTableView>

namespace lintervale {

class GridView final : public QTableView {
    Q_OBJECT
public:
    GridView(TTorrentList& List, GridModel& Model, QWidget* Parent = nullptr);

    // Shows the grid's current row and selection.
    void showGridSelection();

signals:
    // Enter was pressed in the grid.
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void userSelectionChanged();
    void headerSectionMoved(int Logical, int OldVisual, int NewVisual);

    TTorrentList& m_List;
    bool m_Syncing = false;
};

} // namespace lintervale

#pragma once

// The grid's sizes: row height, heading height and column widths for the font in use. The
// count and size columns grow to the widest value the list holds (and its heading with a sort
// mark); the name column takes what the view gains when it grows and gives back what it loses,
// down to its usual width. Other columns keep a width the user (or the window) chose wider.

#include "list/TorrentGrid.h"

class QTableView;
class QAbstractItemModel;

namespace lintervale {

class GridFit final {
public:
    // Fits View to the font now and follows Model's rows from now on.
    GridFit(QTableView& View, const QAbstractItemModel& Model, const TTorrentGrid& Grid);

    // Row height, header height and column widths for the font in use.
    void fitToFont();
    // The count and size columns as wide as their widest cell, looking at the grid rows
    // First .. Last.
    void fitValueColumns(int First, int Last);
    // The view's width changed by Grown pixels: the name column takes (or gives back) them.
    void viewResized(int Grown);

private:
    QTableView& m_View;
    const TTorrentGrid& m_Grid;
    // The widest count and size texts the columns were fitted to, in characters.
    int m_FittedChars[2] = {0, 0};
};

} // namespace lintervale

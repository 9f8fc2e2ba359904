#pragma once

// The grid StringGrid1: whole-row, contiguous selection; rows dragged by their fixed cell
// (the vertical header), or moved with Ctrl+Up and Ctrl+Down; row height, header height and
// start widths from the font; no editing in place. The Menu key and Shift+F10 ask for the
// context menu at the current row (customContextMenuRequested, in viewport coordinates).
//
// The list's grid holds the current row and the selection; this view only shows them. What
// the user does with the mouse and the keys in the cells is turned into the list's own
// calls (MouseSelect, KeyMove) and the view then shows the result. The view never reads its
// selection model back: Qt adjusts that model by itself when rows come and go, and such an
// adjustment is no user's choice.
//
// A press inside the selected rows leaves the selection as it is until the button is
// released (a click) or the mouse leaves the selected rows (the selection widens from the
// pressed row, as a press elsewhere does). Moved by the drag distance inside them, the press
// drags the selected rows' links out instead (see LinkMimeData).

#include "list/TorrentList.h"
#include "widgets/GridFit.h"
#include "widgets/GridModel.h"
#include "widgets/TypeAhead.h"

#include <QTableView>
#include <memory>

namespace lintervale {

class GridView final : public QTableView {
    Q_OBJECT
public:
    GridView(TTorrentList& List, GridModel& Model, QWidget* Parent = nullptr);

    // Shows the grid's current row and selection.
    void showGridSelection();
    // How many rows the viewport shows, for Page Up and Page Down.
    int pageRows() const;

    // The heading of Column (a grid column) shows that the list is sorted by it; or none does.
    void showSortMark(int Column, bool Descending);
    void clearSortMark();
    // Whether the list shows itself sorted by Column going up (a click sorts it going down).
    bool sortedUpBy(int Column) const;

signals:
    // Enter was pressed in the grid.
    void enterPressed();
    // The user moved a row (dragging its fixed cell, Ctrl+Up, Ctrl+Down).
    void rowMoved(int From, int To);
    // A heading was clicked: the list is to be sorted by Column (a grid column).
    void sortRequested(int Column);

protected:
    void changeEvent(QEvent* Event) override;
    bool viewportEvent(QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    // Typing jumps to the next name that starts with the letters typed in a row (type-ahead).
    void keyboardSearch(const QString& Search) override;
    // The name column takes what the view gains when it grows (and gives back what it loses,
    // down to its usual width).
    void resizeEvent(QResizeEvent* Event) override;

private:
    // The grid row under a point of the viewport, or 0 outside the rows.
    int rowAt(const QPoint& Position) const;
    // Where a context menu asked for by the keyboard opens: below the current row's start.
    QPoint menuPosition() const;
    void headerSectionMoved(int Logical, int OldVisual, int NewVisual);
    // The held press inside the selection becomes the press on its row it was.
    void selectPressedRow();

    TTorrentList& m_List;
    // A left press in the cells is held: moving over other rows widens the selection.
    bool m_Selecting = false;
    // The held press fell inside the selection and has selected nothing yet.
    bool m_PressInSelection = false;
    int m_PressRow = 0;
    QPoint m_PressPosition;
    TypeAhead m_TypeAhead;
    // Row height, heading height and column widths.
    std::unique_ptr<GridFit> m_Fit;
};

} // namespace lintervale

#pragma once

// The find bar under the grid, as in a browser: typing selects the first row from the current
// one whose name, hash or tracker cell holds the text, ignoring case, and tells which match it
// is of how many ("3 of 17"). Enter and F3 go to the next match, Shift+Enter and Shift+F3 to
// the one before, Escape closes the bar and gives the grid the focus back. The selection stays
// the list's own: the row found is the current row and the whole selection.

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace lintervale {

class GridView;
class TTorrentGrid;

class FindBar final : public QWidget {
    Q_OBJECT
public:
    FindBar(TTorrentGrid& Grid, GridView& View, QWidget* Parent = nullptr);

    // Ctrl+F: shows the bar with its text selected.
    void open();
    // F3 and Shift+F3: the next or the previous match (the bar opens when it has no text).
    void findNext();
    void findPrevious();
    // Escape.
    void close();

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    // Shift+Enter in the text goes back.
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // From: 0 the current row included, 1 after it, -1 before it.
    void find(int From);

    TTorrentGrid& m_Grid;
    GridView& m_View;
    QLineEdit* m_Text = nullptr;
    QLabel* m_Matches = nullptr;
};

} // namespace lintervale

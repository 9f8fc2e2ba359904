#pragma once

// The tracker editor EditForm: a modal window that shows one row's trackers one per line in
// m_Trackers, lets the user change the selected line in m_TrackerEdit, add and remove lines with
// the buttons of m_Buttons, and writes the list back into the row's tracker cell with "&Save".
// m_TrackerEdit takes typing at once: with no line selected, what is typed becomes a new line.
//
// Save keeps each line as one tracker: every non-empty line (blanks around it dropped) must be a
// tracker address the cell can carry (CheckTrackerAddress), and the list must stay within
// TrackerLimits.h; otherwise nothing is written, the first bad line is selected, and why shows
// in m_Notice and, unless quiet mode is on, in an error box. Closing the editor any other way
// (Escape, the window's close button) writes nothing, and asks first when lines were changed.
//
// The window lives as long as the main window. Each opening refills the list from the cell and
// empties m_TrackerEdit.
//
// While the editor is up, rows may still come (a batch, a hand-off) and move the torrent to
// another row number: Save writes into the torrent the editor was opened for, found again by
// its hash, and drops the edit with a notice on the status line when no row holds it.

#include "list/ListHost.h"
#include "list/TorrentList.h"

#include <QDialog>
#include <QStringList>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lintervale {

class EditForm final : public QDialog {
    Q_OBJECT
public:
    EditForm(TTorrentList& List, TListHost& Host, QWidget* Parent = nullptr);

    // Sets the caption and the list from grid row Row; QDialog's exec() or open() then shows
    // the editor.
    void load(int Row);
    // Loads Row and shows the editor modally; returns when the editor closes.
    void editRow(int Row);

    // Closes without writing; asks first when lines were changed.
    void reject() override;

private:
    QStringList lines() const;
    void showNotice(const TMessage& Text);
    // Shows why Save wrote nothing, with line Line (-1: none) selected.
    void refuse(const TMessage& Text, int Line);
    // The selected line, or -1 when none is selected.
    int selectedIndex() const;
    // Selects line Index (-1: none) without raising trackerSelected.
    void selectIndex(int Index);

    void trackerSelected();
    void trackerEdited(const QString& Text);
    void addTrackerClicked();
    void removeTrackerClicked();
    void saveClicked();

    TTorrentList& m_List;
    TListHost& m_Host;
    // The hash of the torrent being edited: Save writes to the rows that hold it.
    std::string m_Hash;
    QListWidget* m_Trackers = nullptr;
    QLineEdit* m_TrackerEdit = nullptr;
    QLabel* m_Notice = nullptr;
    QWidget* m_Buttons = nullptr;
    QPushButton* m_AddTracker = nullptr;
    QPushButton* m_RemoveTracker = nullptr;
    QPushButton* m_Save = nullptr;
    // Set while the program itself changes the list's selection.
    bool m_Selecting = false;
    // The lines as the editor opened with them.
    QStringList m_Opened;
};

} // namespace lintervale

#pragma once

// The commands of the grid's menu that change rows already in the list, each an undoable step
// (UndoSteps): Clear all, Remove selected, Delete trackers, Edit tracker list, and a sort by a
// heading's column.

#include <QObject>

namespace lintervale {

class BatchAdder;
class EditForm;
class GridView;
class TTorrentList;
class UndoSteps;

struct ListCommandParts {
    TTorrentList& List;
    GridView& Grid;
    UndoSteps& Undo;
    EditForm& Editor;
    // Runs a command with the grid's changes shown while a batch is in bulk mode.
    BatchAdder& Adder;
};

class ListCommands final : public QObject {
    Q_OBJECT
public:
    ListCommands(ListCommandParts Parts, QObject* Parent);

    void clearAll();
    void removeSelected();
    void deleteTrackers();
    void editTrackerList();
    // A heading was clicked: a second click on the same one turns the order round.
    void sort(int Column);

private:
    ListCommandParts m_Parts;
};

} // namespace lintervale

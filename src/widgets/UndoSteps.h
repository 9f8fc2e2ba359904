#pragma once

// Undo and redo of the commands that change the list: each step keeps only what its command
// changed (see list/ListDeltas.h), so undoing it never takes back what came later. Rows taken
// out come back where they were; tracker cells come back by hash, into whatever rows hold
// them when undone.

#include "list/ListDeltas.h"
#include "list/ListOrder.h"
#include "list/RowContents.h"
#include "list/TorrentGrid.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class QAction;
class QUndoStack;
class QWidget;

namespace lintervale {

class UndoSteps final : public QObject {
    Q_OBJECT
public:
    // Status: where a step tells what it could not put back. The actions "&Undo" and "&Redo"
    // belong to Window and work anywhere in it.
    UndoSteps(TTorrentGrid& Grid, std::function<void(const QString&)> Status, QWidget* Window);

    QUndoStack& stack() { return *m_Stack; }
    QAction* undoAction() const { return m_UndoAction; }
    QAction* redoAction() const { return m_RedoAction; }
    // The hashes of the rows that the steps can still bring back (rows removed, or added and
    // taken out again): their kept torrents must stay.
    std::unordered_set<std::string> reachableHashes() const;

    // Runs Command (which takes rows out) so that it can be undone.
    template <typename F> void removing(const QString& Name, F Command);
    // Rows that Command added, by hash, can be taken out again.
    void added(const QString& Name, std::vector<std::string> Hashes);
    // Tracker cells changed: Change holds them before and after.
    void trackersChanged(const QString& Name, TTrackerChange Change);
    // Fetched contents filled rows' name, file count and size: Change holds them before and
    // after.
    void contentsFetched(const QString& Name, TContentsChange Change);
    // The rows were put in another order (a sort): Before and After hold the two orders.
    void reordered(const QString& Name, TRowOrder Before, TRowOrder After);
    // The user moved the row now at To from From; moves of one row in a row make one step.
    void moved(const QString& Name, int From, int To);
    // The tracker editor opens for Row, and saves what it shows.
    void editingTrackers(int Row);
    void trackersEdited(const QString& Name);

signals:
    // An undo or redo put the rows in another order.
    void orderRestored();

private:
    void pushRemoval(const QString& Name, std::vector<TTorrentGrid::TRow> Before);
    void restored(const TRowRemoval::TRestored& Restored);

    TTorrentGrid& m_Grid;
    std::function<void(const QString&)> m_Status;
    QUndoStack* m_Stack = nullptr;
    QAction* m_UndoAction = nullptr;
    QAction* m_RedoAction = nullptr;
    // The tracker cells of the row the editor is open for, as they were.
    std::unique_ptr<TTrackerChange> m_TrackerEdit;
};

template <typename F> void UndoSteps::removing(const QString& Name, F Command) {
    std::vector<TTorrentGrid::TRow> before = DataRows(m_Grid);
    Command();
    pushRemoval(Name, std::move(before));
}

} // namespace lintervale

#include "widgets/UndoSteps.h"

#include <QAction>
#include <QCoreApplication>
#include <QUndoStack>
#include <QWidget>
#include <algorithm>
#include <unordered_set>

namespace lintervale {

namespace {

// Enough for a run of mistakes; each step holds only the rows or cells its command changed.
constexpr int kUndoSteps = 20;

QString Text(const char* Source) {
    return QCoreApplication::translate("lintervale::MainForm", Source);
}

// A step whose command has run already: the first redo, which QUndoStack::push asks for, does
// nothing.
class ListStep final : public QUndoCommand {
public:
    using Reach = std::function<void(std::unordered_set<std::string>&)>;

    ListStep(const QString& Text, std::function<void()> Undo, std::function<void()> Redo,
             Reach Hashes = {})
        : QUndoCommand(Text), m_Undo(std::move(Undo)), m_Redo(std::move(Redo)),
          m_Hashes(std::move(Hashes)) {}

    // Adds the hashes of the rows that undoing or redoing the step can bring back.
    void collectHashes(std::unordered_set<std::string>& Hashes) const {
        if (m_Hashes) {
            m_Hashes(Hashes);
        }
    }

    void undo() override { m_Undo(); }
    void redo() override {
        if (m_Done) {
            m_Done = false;
            return;
        }
        m_Redo();
    }

private:
    std::function<void()> m_Undo;
    std::function<void()> m_Redo;
    Reach m_Hashes;
    bool m_Done = true;
};

// A row moved by the user, found by its hash when undone or redone; the moves of one row that
// follow each other merge into one step.
class MoveStep final : public QUndoCommand {
public:
    MoveStep(const QString& Text, TTorrentGrid& Grid, std::string Hash, int From, int To,
             std::function<void()> Moved)
        : QUndoCommand(Text), m_Grid(Grid), m_Hash(std::move(Hash)), m_From(From), m_To(To),
          m_Moved(std::move(Moved)) {}

    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* Other) override {
        const auto* later = static_cast<const MoveStep*>(Other);
        if (later->m_Hash != m_Hash || m_Hash.empty()) {
            return false;
        }
        m_To = later->m_To;
        return true;
    }
    void undo() override { moveTo(m_From); }
    void redo() override {
        if (m_Done) {
            m_Done = false;
            return;
        }
        moveTo(m_To);
    }

private:
    void moveTo(int Row) {
        const std::vector<int> rows = m_Grid.RowsWithHash(m_Hash);
        if (rows.empty()) {
            return;
        }
        m_Grid.MoveRow(rows.front(), std::clamp(Row, 1, m_Grid.RowCount() - 1));
        m_Moved();
    }

    TTorrentGrid& m_Grid;
    std::string m_Hash;
    int m_From;
    int m_To;
    std::function<void()> m_Moved;
    bool m_Done = true;
};

} // namespace

UndoSteps::UndoSteps(TTorrentGrid& Grid, std::function<void(const QString&)> Status,
                     QWidget* Window)
    : QObject(Window), m_Grid(Grid), m_Status(std::move(Status)) {
    m_Stack = new QUndoStack(this);
    m_Stack->setUndoLimit(kUndoSteps);
    const auto item = [&](const char* name, const QString& caption, const QKeySequence& keys,
                          void (QUndoStack::*act)()) {
        auto* action = new QAction(caption, Window);
        action->setObjectName(name);
        action->setShortcut(keys);
        // Anywhere in the main window: after "Clear all" the focus is on the button.
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(false);
        connect(action, &QAction::triggered, m_Stack, act);
        Window->addAction(action);
        return action;
    };
    m_UndoAction = item("Undo", Text(QT_TRANSLATE_NOOP("lintervale::MainForm", "&Undo")),
                        QKeySequence(Qt::CTRL | Qt::Key_Z), &QUndoStack::undo);
    m_RedoAction = item("Redo", Text(QT_TRANSLATE_NOOP("lintervale::MainForm", "&Redo")),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &QUndoStack::redo);
    connect(m_Stack, &QUndoStack::canUndoChanged, m_UndoAction, &QAction::setEnabled);
    connect(m_Stack, &QUndoStack::canRedoChanged, m_RedoAction, &QAction::setEnabled);
}

std::unordered_set<std::string> UndoSteps::reachableHashes() const {
    std::unordered_set<std::string> hashes;
    for (int i = 0; i < m_Stack->count(); ++i) {
        if (const auto* step = dynamic_cast<const ListStep*>(m_Stack->command(i))) {
            step->collectHashes(hashes);
        }
    }
    return hashes;
}

void UndoSteps::restored(const TRowRemoval::TRestored& Restored) {
    if (Restored.Restored > 0) {
        m_Grid.Select(Restored.FirstRow, Restored.LastRow);
    }
    if (Restored.Skipped > 0) {
        m_Status(Text(QT_TRANSLATE_NOOP("lintervale::MainForm",
                                        "%1 of %2 rows were not put back: their torrents are "
                                        "listed again."))
                     .arg(Restored.Skipped)
                     .arg(Restored.Skipped + Restored.Restored));
    }
}

void UndoSteps::pushRemoval(const QString& Name, std::vector<TTorrentGrid::TRow> Before) {
    auto removal = std::make_shared<TRowRemoval>(TRowRemoval::Between(Before, m_Grid));
    Before.clear();
    if (removal->Empty()) {
        return;
    }
    m_Stack->push(new ListStep(
        Name, [this, removal] { restored(removal->Restore(m_Grid)); },
        [this, removal] { removal->RemoveAgain(m_Grid); },
        [removal](std::unordered_set<std::string>& Hashes) { removal->CollectHashes(Hashes); }));
}

void UndoSteps::added(const QString& Name, std::vector<std::string> Hashes) {
    auto addition = std::make_shared<TRowAddition>(std::move(Hashes));
    if (addition->Empty()) {
        return;
    }
    m_Stack->push(new ListStep(
        Name, [this, addition] { addition->Undo(m_Grid); },
        [this, addition] { restored(addition->Redo(m_Grid)); },
        [addition](std::unordered_set<std::string>& Hashes) { addition->CollectHashes(Hashes); }));
}

void UndoSteps::trackersChanged(const QString& Name, TTrackerChange Change) {
    if (Change.Empty()) {
        return;
    }
    auto change = std::make_shared<TTrackerChange>(std::move(Change));
    m_Stack->push(new ListStep(
        Name, [this, change] { change->Undo(m_Grid); }, [this, change] { change->Redo(m_Grid); }));
}

void UndoSteps::contentsFetched(const QString& Name, TContentsChange Change) {
    if (Change.Empty()) {
        return;
    }
    auto change = std::make_shared<TContentsChange>(std::move(Change));
    m_Stack->push(new ListStep(
        Name, [this, change] { change->Undo(m_Grid); }, [this, change] { change->Redo(m_Grid); }));
}

void UndoSteps::reordered(const QString& Name, TRowOrder Before, TRowOrder After) {
    if (Before == After) {
        return;
    }
    auto orders =
        std::make_shared<std::pair<TRowOrder, TRowOrder>>(std::move(Before), std::move(After));
    m_Stack->push(new ListStep(
        Name,
        [this, orders] {
            orders->first.Restore(m_Grid);
            emit orderRestored();
        },
        [this, orders] {
            orders->second.Restore(m_Grid);
            emit orderRestored();
        }));
}

void UndoSteps::moved(const QString& Name, int From, int To) {
    if (m_Grid.Cell(TTorrentGrid::ColHash, To).empty()) {
        return; // a row without a hash cannot be found again
    }
    m_Stack->push(new MoveStep(Name, m_Grid, m_Grid.Cell(TTorrentGrid::ColHash, To), From, To,
                               [this] { emit orderRestored(); }));
}

void UndoSteps::editingTrackers(int Row) {
    m_TrackerEdit = std::make_unique<TTrackerChange>(TTrackerChange::Before(m_Grid, Row, Row));
}

void UndoSteps::trackersEdited(const QString& Name) {
    if (!m_TrackerEdit) {
        return;
    }
    TTrackerChange change = std::move(*m_TrackerEdit);
    m_TrackerEdit.reset();
    change.After(m_Grid);
    trackersChanged(Name, std::move(change));
}

} // namespace lintervale

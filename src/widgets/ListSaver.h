#pragma once

// The list data file: loaded at start, saved soon after each change while "Save on exit" is
// ticked (autosave) and at close. A file the program cannot read is moved aside and kept; a
// file this run did not load is offered to the user before anything is saved over it.

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QTimer;
class QWidget;

namespace lintervale {

class BatchAdder;
class GridModel;
class TTorrentList;

// What the saver asks of the window.
struct ListSaverWindow {
    QWidget* Boxes = nullptr;    // the parent of its boxes
    BatchAdder* Adder = nullptr; // keeps the grid current under a box
    std::function<bool()> Keep;  // "Save on exit" is ticked
    std::function<bool()> Quiet; // quiet mode: failures on the status line only
    std::function<void(const QString&)> Status;
};

class ListSaver final : public QObject {
    Q_OBJECT
public:
    ListSaver(TTorrentList& List, GridModel& Model, QString ListFile, ListSaverWindow Window,
              QObject* Parent);

    // Loads the file when the list is kept, and from now on hears of each change.
    void start();
    // "Save on exit" ticked or unticked by the user.
    void keepToggled(bool On);
    // The window closes: a file still offered is moved aside, autosave stops.
    void closing();
    // Writes the list to its file; the reason when it could not be written.
    QString save();
    // The save at close, timed.
    QString saveAtClose();
    // The close went through: what a box's event loop returns to has nothing left to do.
    void closed() { m_Closed = true; }

    // Saving while running: the list is saved Quiet ms after the last change of a burst, and
    // at least every Longest ms while changes go on.
    void setAutosaveDelays(int QuietMilliseconds, int LongestMilliseconds);
    bool autosavePending() const;
    // How many saves while running there were, and how long they took in all (ms); how long
    // the load at start and the save at close took (-1 when they did not happen).
    int autosaves() const { return m_Autosaves; }
    qint64 autosaveMilliseconds() const { return m_AutosaveMilliseconds; }
    qint64 loadMilliseconds() const { return m_LoadMilliseconds; }
    qint64 saveMilliseconds() const { return m_SaveMilliseconds; }

signals:
    // A save while running was tried (Saved: whether it worked).
    void autosaved(bool Saved);
    // The saved list that "Save on exit" offered was loaded: Hashes names the rows it added.
    void savedRowsAdded(const std::vector<std::string>& Hashes);

private:
    void load();
    void unreadable(const QString& Reason);
    // A list file that this run neither loaded nor wrote is about to be saved over: it is
    // loaded into the list, or moved aside, as the user says (loaded in quiet mode).
    void offer();
    void changed();
    void autosave();
    void stopAutosave();
    // A failure: on the status line, and in an error box unless quiet mode.
    void report(const QString& Status, const QString& Box);

    TTorrentList& m_List;
    GridModel& m_Model;
    QString m_ListFile;
    ListSaverWindow m_Window;
    QTimer* m_Quiet = nullptr;
    QTimer* m_Longest = nullptr;
    // Why the list file must not be written this run (it could not be read nor moved aside).
    QString m_Kept;
    // Whether the list file is this run's to write: it loaded the file, moved it aside or
    // saved it (or there was none).
    bool m_Owned = false;
    bool m_Offering = false;
    bool m_Closed = false;
    bool m_Saving = false;
    bool m_Failing = false;
    int m_Autosaves = 0;
    qint64 m_AutosaveMilliseconds = 0;
    qint64 m_LoadMilliseconds = -1;
    qint64 m_SaveMilliseconds = -1;
};

} // namespace lintervale

#pragma once

// The main window MainForm: the grid m_Grid on the left, the panel m_Panel with the
// buttons, the option check boxes and the link label on the right, the status bar along the
// bottom; the grid's context menu, the tray icon with its own menu, and the close sequence.
// The list's rules live in TTorrentList; this window shows them and wires the user's
// actions and the desktop's services to them.

#include "list/ListDeltas.h"
#include "list/TorrentList.h"
#include "network/ContentsFetcher.h"
#include "session/SettingsStore.h"
#include "widgets/BatchAdder.h"
#include "widgets/GridModel.h"
#include "widgets/LinkMimeData.h"
#include "widgets/WindowHost.h"
#include "widgets/WindowTray.h"

#include <QMainWindow>
#include <QStringList>
#include <QUrl>
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QMimeData;
class QPushButton;
class QSoundEffect;
class QTimer;
class QUndoStack;

namespace lintervale {

class ContentsFetching;
class DownloadQueue;
class ListCommands;
class ListSaver;
class StatusReport;
class UndoSteps;
class WindowOptions;
class EditForm;
class FindBar;
class KeptTorrents;
class GridView;
class LinkLabel;
class TorrentDownload;
class TrackerFetcher;

struct MainFormPaths {
    QString ListFile;     // the list data file
    QString SettingsFile; // the options
    QString ProgramPath;  // the program file, for starting at login and opening .torrent files
    // The session that fetches contents from peers; empty for the fetching module's.
    ContentsFetcher::SessionMaker FetchSession = {};
};

class MainForm final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainForm(MainFormPaths Paths, QWidget* Parent = nullptr);
    ~MainForm() override;

    // The creation steps after the widgets exist: options, the list data file, the files
    // named on the command line, the headings.
    void initialize(const QStringList& Arguments);

    // Adds files in the order given; a long batch runs in slices between which the window
    // stays responsive and the status line shows the progress. AddFile adds one at once.
    void AddFiles(const QStringList& FileNames, bool SkipMissing = false);
    void AddFile(const QString& FileName);
    bool adding() const;
    // Whether dropped web addresses are being downloaded or wait for their turn.
    bool downloading() const;
    // The batches of adds.
    BatchAdder& adder() { return *m_Adder; }

    // The tray icon: hides the window there, or brings it forward (a later copy asked for
    // this one).
    WindowTray& tray() { return *m_Tray; }
    // "E&xit": closes for good, whatever "Close to tray" says.
    void exitClicked();

    TTorrentList& List() { return m_List; }
    TrackerFetcher& Fetcher() { return *m_Fetcher; }

    // The list data file's loads and saves.
    ListSaver& saver() { return *m_Saver; }
    // The kept torrents and the commands over them.
    KeptTorrents& kept() { return *m_Kept; }

    // Remove selected, Clear all, Delete trackers and the tracker editor's Save, undoable.
    QUndoStack& undoStack();

signals:
    // A batch of adds has been worked through.
    void addsFinished();
    // The close goes on: the list is about to be saved and the program to end, so nothing
    // added from now on reaches the saved list.
    void closing();
    // A close that began did not go through (the list could not be saved): the window stays.
    void closeCancelled();

public:
    // A text of the window's own (translated already) on the status line.
    void showStatus(const QString& Text) { m_Host.showStatus(Text); }

protected:
    void closeEvent(QCloseEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

private:
    // The window's parts (MainFormParts.cpp).
    void buildPanel();
    void buildMenus();
    // Tab goes from the grid to the buttons, the option boxes and the maker's link.
    void orderTabs();
    void fitFirstSize();

    // Magnet links, the QR code and dropped addresses (MainFormLinks.cpp).
    void addDropped(const DroppedLinks& Links);
    void buildDownloads();

    // The changes of the list, undoable (MainFormCommands.cpp).
    void buildUndo();

    MainFormPaths m_Paths;
    // The list asks the window through m_Host, which goes after it.
    WindowHost m_Host;
    TTorrentList m_List;
    GridModel* m_Model = nullptr;
    GridView* m_Grid = nullptr;
    FindBar* m_FindBar = nullptr;
    QWidget* m_Panel = nullptr;
    QPushButton* m_AddTorrents = nullptr;
    QPushButton* m_ClearAll = nullptr;
    QPushButton* m_Quaverize = nullptr;
    QCheckBox* m_AssociateTorrents = nullptr;
    QCheckBox* m_SaveOnExit = nullptr;
    QCheckBox* m_AutoOpen = nullptr;
    QCheckBox* m_QuietMode = nullptr;
    QCheckBox* m_CloseToTray = nullptr;
    QCheckBox* m_StartAtLogin = nullptr;
    QCheckBox* m_FetchExtra = nullptr;
    LinkLabel* m_MakerLink = nullptr;
    QLabel* m_StatusText = nullptr;
    // The counts and the last batch's refusals on the status bar.
    StatusReport* m_Report = nullptr;
    QMenu* m_GridMenu = nullptr;
    WindowTray* m_Tray = nullptr;
    WindowOptions* m_Options = nullptr;
    // "E&xit" was chosen: the close is for good, whatever "Close to tray" says.
    bool m_Exiting = false;
    QSoundEffect* m_Sound = nullptr;
    EditForm* m_EditForm = nullptr;
    TrackerFetcher* m_Fetcher = nullptr;
    UndoSteps* m_Undo = nullptr;
    ListCommands* m_Commands = nullptr;

    ListSaver* m_Saver = nullptr;
    KeptTorrents* m_Kept = nullptr;

    BatchAdder* m_Adder = nullptr;
    DownloadQueue* m_Downloads = nullptr;
    ContentsFetching* m_Contents = nullptr;
};

} // namespace lintervale

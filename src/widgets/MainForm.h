#pragma once

// The main window MainForm: the grid m_Grid on the left, the panel m_Panel with the
// buttons, the option check boxes and the link label on the right, the status bar along the
// bottom; the grid's context menu, the tray icon with its own menu, and the close sequence.
// The list's rules live in TTorrentList; this window shows them and wires the user's
// actions and the desktop's services to them.

#include "list/ListDeltas.h"
#include "list/ListHost.h"
#include "list/TorrentList.h"
#include "session/SettingsStore.h"
#include "widgets/GridModel.h"
#include "widgets/LinkMimeData.h"

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
class QSystemTrayIcon;
class QTimer;
class QUndoStack;

namespace lintervale {

class EditForm;
class GridView;
class LinkLabel;
class TorrentDownload;
class TrackerFetcher;

struct MainFormPaths {
    QString ListFile;     // the list data file
    QString SettingsFile; // the options
    QString ProgramPath;  // the program file, for starting at login and opening .torrent files
};

class MainForm final : public QMainWindow, public TListHost {
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
    // Reads Text for magnet links and adds a row for each, in the batch as files are added;
    // links that make no row, and a text cut at its limit, are named on the status line once
    // the batch is through.
    void addLinkText(const QString& Text);
    bool adding() const { return m_Loader != nullptr || !m_Pending.empty(); }
    // Whether dropped web addresses are being downloaded or wait for their turn.
    bool downloading() const;
    // How long one slice of a batch works before the window handles its events.
    void setSliceMilliseconds(int Milliseconds) { m_SliceMilliseconds = Milliseconds; }

    // Shows the window hidden in the tray (or minimised where there is no tray).
    void hideToTray();
    // A later copy asked for this one: the window comes forward, restored if minimised.
    void bringForward();
    // "E&xit": closes for good, whatever "Close to tray" says.
    void exitClicked();
    // Whether the command line asks for a start hidden in the tray: "-hidden" as the first
    // argument, in any letter case.
    static bool startsHidden(const QStringList& Arguments);

    TTorrentList& List() { return m_List; }
    TrackerFetcher& Fetcher() { return *m_Fetcher; }
    bool AppCanClose = false;

    // How long the list data file took to load at start and to save at close (ms, -1 when
    // it did not happen); for the benchmark.
    qint64 loadMilliseconds() const { return m_LoadMilliseconds; }
    qint64 saveMilliseconds() const { return m_SaveMilliseconds; }

    // Saving while running ("Save on exit" ticked): the list is saved Quiet ms after the last
    // change of a burst, and at least every Longest ms while changes go on.
    void setAutosaveDelays(int QuietMilliseconds, int LongestMilliseconds);
    // Whether a save while running is waiting for its time.
    bool autosavePending() const;
    // How many saves while running there were, and how long they took in all (ms).
    int autosaves() const { return m_Autosaves; }
    qint64 autosaveMilliseconds() const { return m_AutosaveMilliseconds; }

    // Remove selected, Clear all, Delete trackers and the tracker editor's Save, undoable.
    QUndoStack& undoStack() { return *m_Undo; }

signals:
    // A batch of adds has been worked through.
    void addsFinished();
    // A save while running was tried (Saved: whether it worked).
    void autosaved(bool Saved);
    // The close goes on: the list is about to be saved and the program to end, so nothing
    // added from now on reaches the saved list.
    void closing();
    // A close that began did not go through (the list could not be saved): the window stays.
    void closeCancelled();

public:
    // TListHost
    bool QuietMode() const override;
    bool FetchExtra() const override;
    bool AutoOpen() const override;
    void ShowNotice(const TMessage& Text) override;
    void ShowError(const TMessage& Text) override;
    bool Confirm(const TMessage& Text) override;
    void AskHelp(const TMessage& Text) override;
    void SetStatusText(const TMessage& Text) override;
    // A text of the window's own (translated already) on the status line.
    void showStatus(const QString& Text);
    void OpenUrl(const std::string& Url) override;
    void SetClipboardText(const std::string& Text) override;
    void PlaySound() override;
    void FetchTrackers() override;
    void WhenFetched(const std::string& Hash, std::function<void()> Action) override;

protected:
    void closeEvent(QCloseEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

private:
    // The window's parts (MainFormParts.cpp).
    void buildPanel();
    void buildMenus();
    void buildTray();
    // Tab goes from the grid to the buttons, the option boxes and the maker's link.
    void orderTabs();
    void fitFirstSize();
    void addTorrentsClicked();
    void trayIconActivated(int Reason);
    void showClicked();

    // Batches of adds (MainFormList.cpp). Files and rows made already wait in m_Pending, in
    // order; startPending works them through unless that is under way.
    void queueFiles(const QStringList& FileNames, bool SkipMissing);
    void queueRows(std::vector<TTorrentRow> Rows, bool Links);
    void startPending();
    void processPending();
    void finishBatch();

    // Magnet links, the QR code and dropped addresses (MainFormLinks.cpp).
    void pasteLinksClicked();
    void showQrCodeClicked();
    void addDropped(const DroppedLinks& Links);
    // Appends Note to what the status line says at the end of the batch.
    void addBatchNote(const QString& Note);
    void downloadNext();
    // Text on the status line, followed by the failures of the drop so far.
    void showDownloadStatus(const QString& Text);
    void downloadProgress(qint64 Received, qint64 Total);
    void downloaded(const QByteArray& Bytes);
    void downloadFailed(const QString& Text);

    // The list data file (MainFormSaving.cpp).
    void buildAutosave();
    void loadListFile();
    void listFileUnreadable(const QString& Reason);
    // "Save on exit" ticked or unticked by the user.
    void saveOnExitToggled(bool On);
    // A list file that this run neither loaded nor wrote is about to be saved over: it is
    // loaded into the list, or moved aside, as the user says (loaded in quiet mode).
    void offerListFile();
    // Writes the list to its file; the reason when it could not be written.
    QString saveList();
    void listChanged();
    void autosave();
    void stopAutosave();
    // The options' file, and the desktop's files behind two of the boxes.
    void reportSettingsFailure(const QString& Failure);
    void saveSettings();
    void shellOptionClicked(QCheckBox* Box, bool On);
    // A failure: on the status line, and in an error box unless quiet mode.
    void report(const QString& Status, const QString& Box);

    // Undo (MainFormUndo.cpp).
    void buildUndo();
    // Runs Command (a list command that takes rows out) so that it can be undone.
    template <typename F> void removing(const QString& Name, F Command);
    void clearAllClicked();
    void removeSelectedClicked();
    void deleteTrackersClicked();
    void editTrackerListClicked();
    void trackerEditSaved();
    // Runs what waited for the fetch of Hash to end.
    void fetchEnded(const std::string& Hash);
    // Runs Action with the grid's changes shown, also while a batch is in bulk mode: a
    // modal box lets the view paint.
    template <typename F> auto published(F Action);
    // The check boxes of the stored options, and their states.
    std::array<QCheckBox*, SettingsStore::OptionCount> optionBoxes() const;
    std::array<bool, SettingsStore::OptionCount> options() const;

    MainFormPaths m_Paths;
    TTorrentList m_List;
    GridModel* m_Model = nullptr;
    GridView* m_Grid = nullptr;
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
    QMenu* m_GridMenu = nullptr;
    QMenu* m_TrayMenu = nullptr;
    QSystemTrayIcon* m_TrayIcon = nullptr;
    QSoundEffect* m_Sound = nullptr;
    EditForm* m_EditForm = nullptr;
    TrackerFetcher* m_Fetcher = nullptr;
    QUndoStack* m_Undo = nullptr;
    QAction* m_UndoAction = nullptr;
    QAction* m_RedoAction = nullptr;
    // The tracker cells of the row the editor is open for, as they were.
    std::unique_ptr<TTrackerChange> m_TrackerEdit;

    QTimer* m_AutosaveQuiet = nullptr;
    QTimer* m_AutosaveLongest = nullptr;
    // Why the list file must not be written this run (it could not be read nor moved aside).
    QString m_ListFileKept;
    // Whether the list file is this run's to write: it loaded the file, moved it aside or
    // saved it (or there was none).
    bool m_ListFileOwned = false;
    // The user is asked about a list file this run did not load.
    bool m_OfferingListFile = false;
    // The close went through: what a box's event loop returns to has nothing left to do.
    bool m_Closed = false;
    bool m_Saving = false;
    bool m_AutosaveFailing = false;
    int m_Autosaves = 0;
    qint64 m_AutosaveMilliseconds = 0;

    TorrentDownload* m_Download = nullptr; // made at the first dropped address
    std::deque<QUrl> m_Downloads;          // dropped addresses waiting for their turn
    QStringList m_DownloadFailures;        // what failed of them so far

    std::vector<TLoadRequest> m_Pending;
    // What waits for the fetch of a hash to end (an added torrent's link to open).
    std::vector<std::pair<std::string, std::function<void()>>> m_AfterFetch;
    std::unique_ptr<TBatchLoader> m_Loader; // the batch being added
    qint64 m_LoadMilliseconds = -1;
    qint64 m_SaveMilliseconds = -1;
    int m_SliceMilliseconds = 40;
    int m_BatchDone = 0;
    int m_BatchAdded = 0;
    int m_BatchTotal = 0;
    int m_BatchLinks = 0; // how many of the batch's rows come from magnet links
    // What the status line said when the batch began, and what it adds at the end.
    QString m_StatusBefore;
    QString m_BatchNotes;
    bool m_Bulk = false;
    bool m_ShowedProgress = false;
    bool m_Processing = false;
};

// Runs Action with the grid's changes shown, also while a batch is in bulk mode: a modal box
// lets the view paint. The view stays current until the outermost box is closed, whatever
// runs and returns inside it meanwhile.
template <typename F> auto MainForm::published(F Action) {
    if (!m_Bulk) {
        return Action();
    }
    m_Bulk = false;
    m_Model->endBulk();
    struct Resume {
        MainForm& Form;
        ~Resume() {
            Form.m_Bulk = true;
            Form.m_Model->beginBulk();
        }
    } resume{*this};
    return Action();
}

} // namespace lintervale

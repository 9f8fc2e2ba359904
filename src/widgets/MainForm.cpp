#include "widgets/MainForm.h"

#include "list/ListDataFile.h"
#include "list/ListFileAside.h"
#include "network/TrackerFetcher.h"
#include "qtsupport/Utf8Text.h"
#include "session/ShellIntegration.h"
#include "widgets/DownloadQueue.h"
#include "widgets/EditForm.h"
#include "widgets/FindBar.h"
#include "widgets/GridModel.h"
#include "widgets/GridView.h"
#include "widgets/KeptTorrents.h"
#include "widgets/LinkLabel.h"
#include "widgets/LinkMimeData.h"
#include "widgets/ListSaver.h"
#include "widgets/MessageBoxes.h"
#include "widgets/StatusReport.h"
#include "widgets/TrackerSourcesDialog.h"
#include "widgets/UndoSteps.h"
#include "widgets/WindowOptions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSoundEffect>
#include <QStatusBar>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>

namespace lintervale {

MainForm::MainForm(MainFormPaths Paths, QWidget* Parent)
    : QMainWindow(Parent), m_Paths(std::move(Paths)), m_List(m_Host) {
    setObjectName("MainForm");
    setWindowTitle("Lintervale");
    setWindowIcon(ShellIntegration::programIcon());
    setMinimumSize(420, 420);

    m_Model = new GridModel(m_List.Grid(), this);
    m_Grid = new GridView(m_List, *m_Model);
    // The tracker editor is made hidden now and lives as long as the window.
    m_EditForm = new EditForm(m_List, m_Host, this);
    m_Fetcher = new TrackerFetcher(m_List, m_Host, this);
    connect(m_Fetcher, &TrackerFetcher::fetchEnded, this,
            [this](const std::string& Hash) { m_Host.fetchEnded(Hash); });
    const SettingsStore settings(m_Paths.SettingsFile);
    m_Fetcher->setService(settings.text(SettingsStore::TrackerServiceURL),
                          settings.text(SettingsStore::TrackerServiceName));
    m_Fetcher->setTrackerList(settings.text(SettingsStore::TrackerListURL));
    m_List.SetLinkContents(settings.linkContents());
    buildPanel();

    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The grid, with the find bar under it when it is open.
    auto* left = new QVBoxLayout;
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    m_FindBar = new FindBar(m_List.Grid(), *m_Grid);
    left->addWidget(m_Grid, 1);
    left->addWidget(m_FindBar);
    layout->addLayout(left, 1);
    layout->addWidget(m_Panel);
    setCentralWidget(central);

    auto* status = new QStatusBar;
    status->setObjectName("StatusBar1");
    m_StatusText = new QLabel;
    m_StatusText->setObjectName("StatusText");
    m_StatusText->setTextFormat(Qt::PlainText);
    m_StatusText->setAccessibleName(tr("Status"));
    status->addWidget(m_StatusText, 1);
    setStatusBar(status);
    m_Adder = new BatchAdder(m_List, *m_Model, *m_StatusText, this);
    // Short enough that typing and scrolling stay smooth while a batch goes in.
    m_Adder->setSliceMilliseconds(40);
    m_Sound = new QSoundEffect(this);
    m_Sound->setSource(QUrl("qrc:/sound/quaverize.wav"));
    m_Host.attach({.Window = this,
                   .QuietMode = m_QuietMode,
                   .FetchExtra = m_FetchExtra,
                   .AutoOpen = m_AutoOpen,
                   .Adder = m_Adder,
                   .Status = m_StatusText,
                   .Sound = m_Sound,
                   .Fetcher = m_Fetcher});
    m_Report = new StatusReport(
        *status, m_List.Grid(), *m_Model, *m_Adder, [this] { return m_Host.QuietMode(); }, this);
    buildDownloads();
    m_Saver = new ListSaver(m_List, *m_Model, m_Paths.ListFile,
                            {.Boxes = this,
                             .Adder = m_Adder,
                             .Keep = [this] { return m_SaveOnExit->isChecked(); },
                             .Quiet = [this] { return m_Host.QuietMode(); },
                             .Status = [this](const QString& Text) { showStatus(Text); }},
                            this);
    m_Kept = new KeptTorrents(m_List, m_Paths.ListFile,
                              {.Boxes = this,
                               .Adder = m_Adder,
                               .Reach = [this] { return m_Undo->reachableHashes(); },
                               .Quiet = [this] { return m_Host.QuietMode(); },
                               .Status = [this](const QString& Text) { showStatus(Text); }},
                              this);
    m_List.SetKeeper(m_Kept->keeper());
    m_Host.attachKept(m_Kept);
    m_Model->setPrivacy([this](int Row) { return m_List.RowIsPrivate(Row); });

    buildMenus();
    m_Tray = new WindowTray(*this);
    connect(m_Tray, &WindowTray::exitRequested, this, &MainForm::exitClicked);
    orderTabs();
    fitFirstSize();

    connect(m_Grid, &QAbstractItemView::doubleClicked, this, [this] { m_List.DblClick(); });
    connect(m_Grid, &GridView::enterPressed, this, [this] { m_List.KeyPress('\r'); });
}

MainForm::~MainForm() {
    // The list is a member and goes before the window's children would: everything that
    // uses it (the batch, the grid's model and view, the editor, the fetcher, the undo steps)
    // goes first.
    m_Adder->stop();
    delete takeCentralWidget();
    m_Grid = nullptr;
    delete m_Model;
    m_Model = nullptr;
    delete m_EditForm;
    m_EditForm = nullptr;
    delete m_Fetcher;
    m_Fetcher = nullptr;
    delete m_Undo;
    m_Undo = nullptr;
}

void MainForm::initialize(const QStringList& Arguments) {
    m_Options = new WindowOptions(
        {.SaveOnExit = m_SaveOnExit,
         .AutoOpen = m_AutoOpen,
         .QuietMode = m_QuietMode,
         .CloseToTray = m_CloseToTray,
         .FetchExtra = m_FetchExtra,
         .StartAtLogin = m_StartAtLogin,
         .AssociateTorrents = m_AssociateTorrents},
        m_Paths.SettingsFile, m_Paths.ProgramPath,
        [this](const QString& Text) { showStatus(Text); }, this);
    m_Options->load();
    m_Saver->start();
    m_Kept->prune(true, m_Saver->loadMilliseconds() >= 0);
    connect(m_SaveOnExit, &QCheckBox::toggled, m_Saver, &ListSaver::keepToggled);
    setAcceptDrops(true);
    // Every argument that names an existing file is added; the others ("-hidden") are
    // passed over without a word when their turn comes.
    AddFiles(Arguments, true);
    m_List.WriteHeadings();
}

void MainForm::dragEnterEvent(QDragEnterEvent* Event) {
    // The grid's own rows dropped back would only be duplicates.
    if (Event->source() != m_Grid && mayHoldLinks(*Event->mimeData())) {
        Event->acceptProposedAction();
    }
}

void MainForm::dropEvent(QDropEvent* Event) {
    Event->acceptProposedAction();
    // The program the drag came from waits until the drop returns: what the drop brings, and
    // any box about it, comes after.
    QTimer::singleShot(0, this,
                       [this, links = droppedLinks(*Event->mimeData())] { addDropped(links); });
}

void MainForm::exitClicked() {
    m_Exiting = true;
    close();
}

void MainForm::closeEvent(QCloseEvent* Event) {
    if (m_CloseToTray->isChecked() && !m_Exiting) {
        Event->ignore();
        m_Tray->hideWindow();
        return;
    }
    emit closing();
    hide();
    m_Saver->closing();
    m_Adder->stop();
    m_Downloads->stop();
    if (m_SaveOnExit->isChecked()) {
        const QString failure = m_Saver->saveAtClose();
        if (!failure.isEmpty()) {
            // The list is still here and so is the window: the user can free the space or
            // untick "Save on exit" and close again.
            Event->ignore();
            m_Exiting = false;
            emit closeCancelled();
            showNormal();
            MessageBoxes::error(this, failure + "\n\n" +
                                          tr("The list was not saved; Lintervale stays open."));
            return;
        }
    }
    m_Options->save();
    m_Kept->prune(false, m_SaveOnExit->isChecked());
    m_Saver->closed();
    Event->accept();
    QCoreApplication::quit();
}

} // namespace lintervale

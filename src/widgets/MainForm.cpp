#include "widgets/MainForm.h"

#include "list/ListDataFile.h"
#include "list/ListFileAside.h"
#include "network/TorrentDownload.h"
#include "network/TrackerFetcher.h"
#include "qtsupport/Utf8Text.h"
#include "session/ShellIntegration.h"
#include "widgets/EditForm.h"
#include "widgets/GridModel.h"
#include "widgets/GridView.h"
#include "widgets/LinkLabel.h"
#include "widgets/LinkMimeData.h"
#include "widgets/MessageBoxes.h"
#include "widgets/TrackerSourcesDialog.h"

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
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSoundEffect>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>

namespace lintervale {

MainForm::MainForm(MainFormPaths Paths, QWidget* Parent)
    : QMainWindow(Parent), m_Paths(std::move(Paths)), m_List(*this) {
    setObjectName("MainForm");
    setWindowTitle("Lintervale");
    setWindowIcon(ShellIntegration::programIcon());
    setMinimumSize(420, 420);

    m_Model = new GridModel(m_List.Grid(), this);
    m_Grid = new GridView(m_List, *m_Model);
    // The tracker editor is made hidden now and lives as long as the window.
    m_EditForm = new EditForm(m_List, *this, this);
    m_Fetcher = new TrackerFetcher(m_List, *this, this);
    connect(m_Fetcher, &TrackerFetcher::fetchEnded, this, &MainForm::fetchEnded);
    const SettingsStore settings(m_Paths.SettingsFile);
    m_Fetcher->setService(settings.text(SettingsStore::TrackerServiceURL),
                          settings.text(SettingsStore::TrackerServiceName));
    m_Fetcher->setTrackerList(settings.text(SettingsStore::TrackerListURL));
    buildPanel();

    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_Grid, 1);
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

    buildMenus();
    buildTray();
    buildAutosave();
    orderTabs();
    fitFirstSize();

    m_Sound = new QSoundEffect(this);
    m_Sound->setSource(QUrl("qrc:/sound/quaverize.wav"));

    connect(m_Grid, &QAbstractItemView::doubleClicked, this, [this] { m_List.DblClick(); });
    connect(m_Grid, &GridView::enterPressed, this, [this] { m_List.KeyPress('\r'); });
}

MainForm::~MainForm() {
    // The list is a member and goes before the window's children would: everything that
    // uses it (the batch, the grid's model and view, the editor, the fetcher, the undo steps)
    // goes first.
    m_Pending.clear();
    m_Loader.reset();
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
    const ShellIntegration shell(m_Paths.ProgramPath);
    m_StartAtLogin->setChecked(shell.startsAtLogin());
    QString failure;
    SettingsStore(m_Paths.SettingsFile)
        .load([this](SettingsStore::Option option,
                     bool on) { optionBoxes()[option]->setChecked(on); },
              &failure);
    m_AssociateTorrents->setChecked(shell.opensTorrents());
    // Only the user's own clicks change the desktop's files; the state read above does not.
    for (QCheckBox* box : {m_StartAtLogin, m_AssociateTorrents}) {
        connect(box, &QCheckBox::clicked, this,
                [this, box](bool on) { shellOptionClicked(box, on); });
    }
    reportSettingsFailure(failure);
    if (m_SaveOnExit->isChecked() && QFileInfo::exists(m_Paths.ListFile)) {
        loadListFile();
    } else {
        m_ListFileOwned = !QFileInfo::exists(m_Paths.ListFile);
    }
    // Each option is written as soon as it changes, so that a run that ends without closing
    // (a crash, a power cut) still starts the next time as the user left it.
    for (QCheckBox* box : optionBoxes()) {
        connect(box, &QCheckBox::toggled, this, &MainForm::saveSettings);
    }
    connect(m_SaveOnExit, &QCheckBox::toggled, this, &MainForm::saveOnExitToggled);
    // From here on each change of the list is saved soon after, while "Save on exit" is on.
    connect(m_Model, &QAbstractItemModel::dataChanged, this, &MainForm::listChanged);
    connect(m_Model, &QAbstractItemModel::rowsInserted, this, &MainForm::listChanged);
    connect(m_Model, &QAbstractItemModel::rowsRemoved, this, &MainForm::listChanged);
    connect(m_Model, &QAbstractItemModel::rowsMoved, this, &MainForm::listChanged);
    connect(m_Model, &QAbstractItemModel::modelReset, this, &MainForm::listChanged);
    setAcceptDrops(true);
    // Every argument that names an existing file is added; the others ("-hidden") are
    // passed over without a word when their turn comes.
    AddFiles(Arguments, true);
    m_List.WriteHeadings();
}

void MainForm::addTorrentsClicked() {
    const QStringList files = MessageBoxes::chooseTorrents(this);
    AddFiles(files);
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

void MainForm::hideToTray() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        hide();
        m_TrayIcon->show();
    } else {
        // Without a tray a hidden window could not be reached again.
        showMinimized();
    }
}

bool MainForm::startsHidden(const QStringList& Arguments) {
    return !Arguments.isEmpty() && Arguments.first().toLower() == "-hidden";
}

void MainForm::bringForward() {
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
}

void MainForm::trayIconActivated(int Reason) {
    if (Reason == QSystemTrayIcon::DoubleClick) {
        showNormal();
        raise();
        activateWindow();
    }
}

void MainForm::showClicked() {
    showNormal();
}

void MainForm::exitClicked() {
    AppCanClose = true;
    close();
}

std::array<QCheckBox*, SettingsStore::OptionCount> MainForm::optionBoxes() const {
    // In the order of SettingsStore::kOptions.
    return {m_SaveOnExit, m_AutoOpen, m_QuietMode, m_CloseToTray, m_FetchExtra};
}

std::array<bool, SettingsStore::OptionCount> MainForm::options() const {
    std::array<bool, SettingsStore::OptionCount> values{};
    const auto boxes = optionBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        values[i] = boxes[i]->isChecked();
    }
    return values;
}

void MainForm::closeEvent(QCloseEvent* Event) {
    if (m_CloseToTray->isChecked() && !AppCanClose) {
        Event->ignore();
        hideToTray();
        return;
    }
    emit closing();
    hide();
    if (m_OfferingListFile) {
        // The user has not said what becomes of the list file found: it is kept aside, never
        // saved over.
        try {
            MoveListFileAside(Utf8Of(m_Paths.ListFile));
        } catch (const std::exception&) {
            m_ListFileKept = tr("The list file found was neither loaded nor moved aside.");
        }
    }
    m_Pending.clear();
    m_Loader.reset();
    m_Downloads.clear();
    if (m_Download != nullptr) {
        m_Download->abort();
    }
    stopAutosave();
    if (m_SaveOnExit->isChecked()) {
        QElapsedTimer timer;
        timer.start();
        const QString failure = saveList();
        if (!failure.isEmpty()) {
            // The list is still here and so is the window: the user can free the space or
            // untick "Save on exit" and close again.
            Event->ignore();
            AppCanClose = false;
            emit closeCancelled();
            showNormal();
            MessageBoxes::error(this, failure + "\n\n" +
                                          tr("The list was not saved; Lintervale stays open."));
            return;
        }
        m_SaveMilliseconds = timer.elapsed();
    }
    saveSettings();
    m_Closed = true;
    Event->accept();
    QCoreApplication::quit();
}

} // namespace lintervale

#include "widgets/MainForm.h"

#include "widgets/EditForm.h"
#include "widgets/GridModel.h"
#include "widgets/GridView.h"
#include "widgets/LinkLabel.h"
#include "widgets/MessageBoxes.h"
#include "session/ShellIntegration.h"
#include "network/TrackerFetcher.h"
#include "list/ListDataFile.h"

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
#include <QUrl>
#include <QVBoxLayout>

namespace lintervale {

namespace {

constexpr int kPanelWidth = 153;
constexpr const char* kMakerAddress = "lintervale.example.org";

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string S(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace

MainForm::MainForm(MainFormPaths Paths, QWidget* Parent)
    : QMainWindow(Parent), m_Paths(std::move(Paths)), m_List(*this) {
    setObjectName("MainForm");
    setWindowTitle("Lintervale");
    setWindowIcon(QIcon(":/icons/lintervale-256.png"));
    setMinimumSize(420, 420);

    m_Model = new GridModel(m_List.Grid(), this);
    StringGrid1 = new GridView(m_List, *m_Model);
    // The tracker editor is made hidden now and lives as long as the window.
    m_EditForm = new EditForm(m_List.Grid(), this);
    m_Fetcher = new TrackerFetcher(m_List, *this, this);
    const SettingsStore settings(m_Paths.SettingsFile);
    m_Fetcher->setService(settings.text(SettingsStore::TrackerServiceURL),
                          settings.text(SettingsStore::TrackerServiceName));
    buildPanel();

    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(StringGrid1, 1);
    layout->addWidget(Panel1);
    setCentralWidget(central);

    auto* status = new QStatusBar;
    status->setObjectName("StatusBar1");
    m_StatusText = new QLabel;
    m_StatusText->setObjectName("StatusText");
    m_StatusText->setTextFormat(Qt::PlainText);
    status->addWidget(m_StatusText, 1);
    setStatusBar(status);

    buildMenus();
    buildTray();
    // The classic 913 pixels, plus what the panel needed beyond its classic width.
    resize(913 - kPanelWidth + Panel1->sizeHint().width(), 420);

    m_Sound = new QSoundEffect(this);
    m_Sound->setSource(QUrl("qrc:/sound/quaverize.wav"));

    connect(StringGrid1, &QAbstractItemView::doubleClicked, this, [this] { m_List.DblClick(); });
    connect(StringGrid1, &GridView::enterPressed, this, [this] { m_List.KeyPress('\r'); });
}

MainForm::~MainForm() = default;

void MainForm::buildPanel() {
    Panel1 = new QWidget;
    Panel1->setObjectName("Panel1");
    // At least the classic width; wider when the desktop's font needs it for the captions.
    Panel1->setMinimumWidth(kPanelWidth);
    Panel1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* column = new QVBoxLayout(Panel1);
    column->setContentsMargins(14, 16, 14, 8);
    column->setSpacing(6);

    Button1 = new QPushButton("&Add .torrent(s)");
    Button1->setObjectName("Button1");
    Button2 = new QPushButton("&Clear all");
    Button2->setObjectName("Button2");
    BitBtn1 = new QPushButton(QIcon(":/icons/quaverize-64.png"), "&Quaverize!");
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setIconSize(QSize(32, 32));
    BitBtn1->setMinimumHeight(62);
    for (QPushButton* button : {Button1, Button2, BitBtn1}) {
        button->setAutoDefault(false);
        column->addWidget(button);
    }
    column->addStretch(1);

    const auto box = [&](QCheckBox*& target, const char* name, const char* caption) {
        target = new QCheckBox(caption);
        target->setObjectName(name);
        column->addWidget(target);
    };
    box(CheckBox4, "CheckBox4", "&Quiet mode");
    box(CheckBox5, "CheckBox5", "Close to &tray");
    box(CheckBox7, "CheckBox7", "&Fetch more trackers");
    box(CheckBox3, "CheckBox3", "Auto-&open added files");
    box(CheckBox1, "CheckBox1", "Associate &with torrents");
    box(CheckBox6, "CheckBox6", "Start at logi&n");
    box(CheckBox2, "CheckBox2", "&Save on exit");

    LinkText = new LinkLabel(kMakerAddress);
    column->addSpacing(4);
    column->addWidget(LinkText, 0, Qt::AlignHCenter);

    connect(Button1, &QPushButton::clicked, this, &MainForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this,
            [this] { published([this] { m_List.ClearAll(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { m_List.Quaverize(); });
}

void MainForm::buildMenus() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    const auto item = [&](const char* name, const char* caption, const QKeySequence& keys,
                          auto handler) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, handler);
        PopupMenu1->addAction(action);
        StringGrid1->addAction(action);
        return action;
    };
    QAction* open =
        item("OpenSelected", "&Open selected", QKeySequence(), [this] { m_List.OpenSelected(); });
    PopupMenu1->setDefaultAction(open);
    item("Edittrackerlist", "&Edit tracker list", QKeySequence(Qt::Key_F2), [this] {
        if (const int row = m_List.EditTrackerListRow(); row > 0) {
            m_EditForm->editRow(row);
        }
    });
    item("Gettrackersfromsite", "", QKeySequence(Qt::CTRL | Qt::Key_G), [this] {
        m_Fetcher->fetchSelected();
    })->setText(m_Fetcher->menuCaption());
    item("Deletetrackers", "&Delete trackers", QKeySequence(Qt::CTRL | Qt::Key_D),
         [this] { m_List.DeleteTrackers(); });
    item("RemoveSelected", "&Remove selected", QKeySequence(Qt::Key_Delete),
         [this] { m_List.RemoveSelected(); });
    item("SelectAll", "Select &all", QKeySequence(Qt::CTRL | Qt::Key_A),
         [this] { m_List.SelectAll(); });
    item("Clipboard", "&Copy to clipboard", QKeySequence(Qt::CTRL | Qt::Key_C),
         [this] { m_List.CopyToClipboard(); });

    StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(StringGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1->popup(StringGrid1->viewport()->mapToGlobal(at));
    });
}

void MainForm::buildTray() {
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName("PopupMenu2");
    auto* show = PopupMenu2->addAction("&Show", this, &MainForm::Show1Click);
    show->setObjectName("Show1");
    PopupMenu2->setDefaultAction(show);
    PopupMenu2->addAction("E&xit", this, &MainForm::Exit1Click)->setObjectName("Exit1");

    TrayIcon1 = new QSystemTrayIcon(windowIcon(), this);
    TrayIcon1->setObjectName("TrayIcon1");
    TrayIcon1->setContextMenu(PopupMenu2);
    connect(TrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { TrayIconActivated(reason); });
}

void MainForm::FormCreate(const QStringList& Arguments) {
    const ShellIntegration shell(m_Paths.ProgramPath);
    CheckBox6->setChecked(shell.startsAtLogin());
    SettingsStore(m_Paths.SettingsFile).load([this](SettingsStore::Option option, bool on) {
        QCheckBox* boxes[] = {CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox7};
        boxes[option]->setChecked(on);
    });
    CheckBox1->setChecked(shell.opensTorrents());
    // Only the user's own clicks change the desktop's files; the state read above does not.
    connect(CheckBox6, &QCheckBox::clicked, this,
            [this](bool on) { ShellIntegration(m_Paths.ProgramPath).setStartAtLogin(on); });
    connect(CheckBox1, &QCheckBox::clicked, this,
            [this](bool on) { ShellIntegration(m_Paths.ProgramPath).setOpensTorrents(on); });
    if (CheckBox2->isChecked() && QFileInfo::exists(m_Paths.ListFile)) {
        QElapsedTimer timer;
        timer.start();
        // Tens of thousands of cells change: the view hears of them once, at the end.
        m_Model->beginBulk();
        try {
            LoadGridFile(m_List.Grid(), S(m_Paths.ListFile));
            m_Model->endBulk();
            m_LoadMilliseconds = timer.elapsed();
        } catch (const std::exception& error) {
            m_Model->endBulk();
            if (!QuietMode()) {
                MessageBoxes::error(this, Q(error.what()));
            }
        }
    }
    setAcceptDrops(true);
    // Every argument that names an existing file is added; the others ("-hidden") are
    // passed over without a word when their turn comes.
    AddFiles(Arguments, true);
    m_List.WriteHeadings();
}

void MainForm::Button1Click() {
    const QStringList files = MessageBoxes::chooseTorrents(this);
    AddFiles(files);
}

void MainForm::dragEnterEvent(QDragEnterEvent* Event) {
    if (Event->mimeData()->hasUrls()) {
        Event->acceptProposedAction();
    }
}

void MainForm::dropEvent(QDropEvent* Event) {
    QStringList files;
    for (const QUrl& url : Event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            files.append(url.toLocalFile());
        }
    }
    Event->acceptProposedAction();
    AddFiles(files);
}

void MainForm::HideToTray() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        hide();
        TrayIcon1->show();
    } else {
        // Without a tray a hidden window could not be reached again.
        showMinimized();
    }
}

bool MainForm::StartsHidden(const QStringList& Arguments) {
    return !Arguments.isEmpty() && Arguments.first().toLower() == "-hidden";
}

void MainForm::BringForward() {
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
}

void MainForm::TrayIconActivated(int Reason) {
    if (Reason == QSystemTrayIcon::DoubleClick) {
        showNormal();
        raise();
        activateWindow();
    }
}

void MainForm::Show1Click() {
    showNormal();
}

void MainForm::Exit1Click() {
    AppCanClose = true;
    close();
}

std::array<bool, SettingsStore::OptionCount> MainForm::options() const {
    return {CheckBox2->isChecked(), CheckBox3->isChecked(), CheckBox4->isChecked(),
            CheckBox5->isChecked(), CheckBox7->isChecked()};
}

void MainForm::closeEvent(QCloseEvent* Event) {
    if (CheckBox5->isChecked() && !AppCanClose) {
        Event->ignore();
        HideToTray();
        return;
    }
    hide();
    m_Pending.clear();
    m_Loader.reset();
    if (CheckBox2->isChecked()) {
        try {
            QElapsedTimer timer;
            timer.start();
            SaveGridFile(m_List.Grid(), S(m_Paths.ListFile));
            m_SaveMilliseconds = timer.elapsed();
        } catch (const std::exception& error) {
            // The list is still here and so is the window: the user can free the space or
            // untick "Save on exit" and close again.
            Event->ignore();
            AppCanClose = false;
            showNormal();
            MessageBoxes::error(this, Q(error.what()) + "\n\nThe list was not saved; "
                                                        "Lintervale stays open.");
            return;
        }
    }
    SettingsStore(m_Paths.SettingsFile).save(options());
    Event->accept();
    QCoreApplication::quit();
}

} // namespace lintervale

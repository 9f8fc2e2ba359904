#include "network/TrackerFetcher.h"
#include "widgets/ContentsFetching.h"
#include "widgets/FindBar.h"
#include "widgets/FontUnits.h"
#include "widgets/GridView.h"
#include "widgets/KeptTorrents.h"
#include "widgets/LinkContentsDialog.h"
#include "widgets/LinkLabel.h"
#include "widgets/ListCommands.h"
#include "widgets/MainForm.h"
#include "widgets/MessageBoxes.h"
#include "widgets/QrCodeDialog.h"
#include "widgets/TrackerSourcesDialog.h"
#include "widgets/Translations.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

// The main window's parts: the panel with its buttons, option boxes and link, the grid's
// context menu, the order the keyboard visits them in, and the
// window's first size. Sizes are those of the classic window at the layout's font
// (FontUnits.h), grown with the font in use.

namespace lintervale {

namespace {

constexpr int kPanelWidth = 153;
constexpr int kWindowWidth = 913;
constexpr int kWindowHeight = 420;
constexpr const char* kMakerAddress = "lintervale.example.org";

struct OptionBox {
    QCheckBox* MainForm::*Box;
    const char* Name;
    const char* Caption;
    const char* Description;
};

} // namespace

void MainForm::buildPanel() {
    const QFontMetrics metrics = fontMetrics();
    const auto scaled = [&metrics](int Pixels) { return FontScaled(Pixels, metrics); };
    m_Panel = new QWidget;
    m_Panel->setObjectName("Panel1");
    m_Panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* column = new QVBoxLayout(m_Panel);
    column->setContentsMargins(scaled(14), scaled(16), scaled(14), scaled(8));
    column->setSpacing(scaled(6));
    // At least the classic width; wider when the captions need it. (A minimum width set on
    // the panel would stand for its whole need and let a narrow window squeeze the captions.)
    column->addItem(
        new QSpacerItem(scaled(kPanelWidth - 2 * 14), 0, QSizePolicy::Fixed, QSizePolicy::Minimum));

    m_AddTorrents = new QPushButton(tr("&Add .torrent(s)"));
    m_AddTorrents->setObjectName("Button1");
    m_AddTorrents->setAccessibleDescription(tr("Chooses .torrent files to add to the list."));
    m_ClearAll = new QPushButton(tr("&Clear all"));
    m_ClearAll->setObjectName("Button2");
    m_ClearAll->setAccessibleDescription(tr("Removes every torrent from the list."));
    m_Quaverize = new QPushButton(QIcon(":/icons/quaverize-64.png"), tr("&Quaverize!"));
    m_Quaverize->setObjectName("BitBtn1");
    m_Quaverize->setAccessibleDescription(
        tr("Plays a note and opens the magnet links of the selected rows."));
    m_Quaverize->setIconSize(QSize(scaled(32), scaled(32)));
    m_Quaverize->setMinimumHeight(scaled(62));
    for (QPushButton* button : {m_AddTorrents, m_ClearAll, m_Quaverize}) {
        button->setAutoDefault(false);
        column->addWidget(button);
    }
    column->addStretch(1);

    // Top to bottom.
    static const OptionBox boxes[] = {
        {&MainForm::m_QuietMode, "CheckBox4", QT_TR_NOOP("&Quiet mode"),
         QT_TR_NOOP("Shows no message boxes for what goes wrong: the status line tells.")},
        {&MainForm::m_CloseToTray, "CheckBox5", QT_TR_NOOP("Close to &tray"),
         QT_TR_NOOP("Closing the window hides it in the notification area; Exit in its menu "
                    "ends the program.")},
        {&MainForm::m_FetchExtra, "CheckBox7", QT_TR_NOOP("&Fetch more trackers"),
         QT_TR_NOOP("Fetches further trackers for every torrent that is added.")},
        {&MainForm::m_AutoOpen, "CheckBox3", QT_TR_NOOP("Auto-&open added files"),
         QT_TR_NOOP("Opens the magnet link of every torrent that is added.")},
        {&MainForm::m_AssociateTorrents, "CheckBox1", QT_TR_NOOP("Associate &with torrents"),
         QT_TR_NOOP("Makes Lintervale the program that opens .torrent files.")},
        {&MainForm::m_StartAtLogin, "CheckBox6", QT_TR_NOOP("Start at logi&n"),
         QT_TR_NOOP("Starts Lintervale in the notification area when you log in.")},
        {&MainForm::m_SaveOnExit, "CheckBox2", QT_TR_NOOP("&Save on exit"),
         QT_TR_NOOP("Keeps the list from one run to the next.")},
    };
    for (const OptionBox& option : boxes) {
        QCheckBox*& box = this->*option.Box;
        box = new QCheckBox(tr(option.Caption));
        box->setObjectName(option.Name);
        box->setAccessibleDescription(tr(option.Description));
        column->addWidget(box);
    }

    m_MakerLink = new LinkLabel(kMakerAddress);
    column->addSpacing(scaled(4));
    column->addWidget(m_MakerLink, 0, Qt::AlignHCenter);

    connect(m_AddTorrents, &QPushButton::clicked, this,
            [this] { AddFiles(MessageBoxes::chooseTorrents(this)); });
    connect(m_ClearAll, &QPushButton::clicked, this, [this] { m_Commands->clearAll(); });
    connect(m_Quaverize, &QPushButton::clicked, this, [this] { m_List.Quaverize(); });
}

void MainForm::buildMenus() {
    m_GridMenu = new QMenu(this);
    m_GridMenu->setObjectName("PopupMenu1");
    m_GridMenu->setAccessibleName(tr("Commands"));
    const auto item = [&](const char* name, const QString& caption, const QKeySequence& keys,
                          auto handler) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, handler);
        m_GridMenu->addAction(action);
        m_Grid->addAction(action);
        return action;
    };
    QAction* open = item("OpenSelected", tr("&Open selected"), QKeySequence(),
                         [this] { m_List.OpenSelected(); });
    m_GridMenu->setDefaultAction(open);
    item("Edittrackerlist", tr("&Edit tracker list"), QKeySequence(Qt::Key_F2),
         [this] { m_Commands->editTrackerList(); });
    QAction* getTrackers =
        item("Gettrackersfromsite", m_Fetcher->menuCaption(), QKeySequence(Qt::CTRL | Qt::Key_G),
             [this] { m_Fetcher->fetchSelected(); });
    connect(m_Fetcher, &TrackerFetcher::sourcesChanged, getTrackers,
            [this, getTrackers] { getTrackers->setText(m_Fetcher->menuCaption()); });
    item("Deletetrackers", tr("&Delete trackers"), QKeySequence(Qt::CTRL | Qt::Key_D),
         [this] { m_Commands->deleteTrackers(); });
    item("RemoveSelected", tr("&Remove selected"), QKeySequence(Qt::Key_Delete),
         [this] { m_Commands->removeSelected(); });
    item("SelectAll", tr("Select &all"), QKeySequence(Qt::CTRL | Qt::Key_A),
         [this] { m_List.SelectAll(); });
    item("Clipboard", tr("&Copy to clipboard"), QKeySequence(Qt::CTRL | Qt::Key_C),
         [this] { m_List.CopyToClipboard(); });
    QAction* paste = item("PasteLinks", tr("&Paste links"), QKeySequence(Qt::CTRL | Qt::Key_V),
                          [this] { m_Adder->addLinkText(QGuiApplication::clipboard()->text()); });
    // Nothing else in the window takes text: Ctrl+V pastes links wherever the focus is.
    paste->setShortcutContext(Qt::WindowShortcut);
    item("ShowQrCode", tr("Show &QR code"), QKeySequence(Qt::CTRL | Qt::Key_R), [this] {
        if (!QrCodeDialog::openForRow(m_List, this)) {
            showStatus(tr("This row has no magnet link."));
        }
    });
    QAction* properties = item("Properties", tr("Propert&ies\u2026"), QKeySequence(),
                               [this] { m_Kept->showProperties(); });
    properties->setShortcuts(
        {QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)});
    properties->setShortcutContext(Qt::WindowShortcut);
    item("SaveTorrentAs", tr("&Save .torrent as\u2026"), QKeySequence(),
         [this] { m_Kept->saveCurrentAs(); });
    item("SaveTorrentsToFolder", tr("Save .torrents to fo&lder\u2026"), QKeySequence(),
         [this] { m_Kept->saveSelectedToFolder(); });
    m_GridMenu->addSeparator();
    item("FetchContents", tr("Fetc&h contents"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G),
         [this] { m_Contents->fetchSelected(); });
    QAction* stopFetching = item("StopFetching", tr("Stop fetc&hing"), QKeySequence(Qt::Key_Escape),
                                 [this] { m_Contents->stopAll(); });
    m_GridMenu->addSeparator();
    // Finding works wherever the focus is in the window.
    for (QAction* find :
         {item("Find", tr("&Find\u2026"), QKeySequence::Find, [this] { m_FindBar->open(); }),
          item("FindNext", tr("Find &next"), QKeySequence(Qt::Key_F3),
               [this] { m_FindBar->findNext(); }),
          item("FindPrevious", tr("Find pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
               [this] { m_FindBar->findPrevious(); })}) {
        find->setShortcutContext(Qt::WindowShortcut);
    }
    m_GridMenu->addSeparator();
    item("TrackerSources", tr("&Tracker sources\u2026"), QKeySequence(),
         [this] { openTrackerSources(this, *m_Fetcher, m_Paths.SettingsFile, m_Host); });
    item("LinkContents", tr("Lin&k contents\u2026"), QKeySequence(), [this] {
        LinkContentsDialog::openFor(m_List, m_Paths.SettingsFile, this,
                                    [this](const QString& Text) { showStatus(Text); });
    });
    item("FetchSettings", tr("Fetching settin&gs\u2026"), QKeySequence(),
         [this] { m_Contents->openSettings(); });
    buildUndo();

    m_Contents = new ContentsFetching(
        {.List = m_List,
         .Model = *m_Model,
         .Undo = *m_Undo,
         .Window = this,
         .SettingsFile = m_Paths.SettingsFile,
         .Status = [this](const QString& Text) { showStatus(Text); },
         .Kept = [this](const std::string& Hash) { return m_Kept->store().Has(Hash); },
         .Keep =
             [this](const std::string& Hash, const std::string& Torrent) {
                 m_Kept->keep(Hash, Torrent);
                 m_Model->privacyChanged();
             },
         .Published = [this](const std::function<void()>& Change) { m_Adder->published(Change); },
         .Maker = m_Paths.FetchSession},
        this);
    stopFetching->setEnabled(false);
    connect(m_Contents, &ContentsFetching::fetchingChanged, stopFetching,
            [stopFetching](int Count) { stopFetching->setEnabled(Count > 0); });
    connect(m_Adder, &BatchAdder::linksQueued, m_Contents, &ContentsFetching::linksQueued);
    connect(m_Adder, &BatchAdder::finished, m_Contents, &ContentsFetching::added);

    m_Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_Grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // The Menu key may ask twice: once as a key, once as the platform's menu event.
        if (!m_GridMenu->isVisible()) {
            m_GridMenu->popup(m_Grid->viewport()->mapToGlobal(at));
        }
    });
}

void MainForm::orderTabs() {
    QList<QWidget*> chain = {m_Grid, m_AddTorrents, m_ClearAll, m_Quaverize};
    for (QCheckBox* box : m_Panel->findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly)) {
        chain.append(box);
    }
    chain.append(m_MakerLink);
    for (qsizetype i = 1; i < chain.size(); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
}

void MainForm::fitFirstSize() {
    // Wide enough for the grid's columns and the panel, at least the classic size at the font
    // in use, as high as the panel needs; within the screen unless the contents need more.
    const QFontMetrics metrics = fontMetrics();
    const QSize needed = minimumSizeHint();
    int grid = m_Grid->verticalHeader()->width() + 2 * m_Grid->frameWidth();
    for (int c = 0; c < m_Grid->horizontalHeader()->count(); ++c) {
        grid += m_Grid->columnWidth(c);
    }
    grid = std::max(grid, FontScaled(kWindowWidth - kPanelWidth, metrics));
    QSize size(grid + m_Panel->sizeHint().width(),
               std::max(FontScaled(kWindowHeight, metrics), sizeHint().height()));
    if (const QScreen* shown = screen(); shown != nullptr) {
        size = size.boundedTo(shown->availableSize());
    }
    resize(size.expandedTo(needed).expandedTo(minimumSize()));
}

} // namespace lintervale

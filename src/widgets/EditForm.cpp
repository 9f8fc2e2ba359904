#include "widgets/EditForm.h"

#include "qtsupport/Utf8Text.h"
#include "trackers/TrackerCell.h"
#include "widgets/FontUnits.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

namespace lintervale {

namespace {

// At the layout's font (FontUnits.h).
constexpr int kPanelWidth = 96;
constexpr int kMargin = 8;      // around the list and the edit box, and below the buttons
constexpr int kButtonLeft = 13; // the buttons' left edge inside the panel
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

} // namespace

EditForm::EditForm(TTorrentList& List, TListHost& Host, QWidget* Parent)
    : QDialog(Parent), m_List(List), m_Host(Host) {
    setObjectName("EditForm");
    setWindowTitle("EditForm");
    const QFontMetrics metrics = fontMetrics();
    const auto scaled = [&metrics](int Pixels) { return FontScaled(Pixels, metrics); };
    setMinimumSize(scaled(300), scaled(200));

    m_Trackers = new QListWidget;
    m_Trackers->setObjectName("ListBox1");
    m_Trackers->setSelectionMode(QAbstractItemView::SingleSelection);
    m_Trackers->setAccessibleName(tr("Trackers"));
    m_Trackers->setAccessibleDescription(
        tr("The torrent's trackers, one a line; the selected one can be changed below."));
    m_TrackerEdit = new QLineEdit;
    m_TrackerEdit->setObjectName("Edit1");
    m_TrackerEdit->setEnabled(false);
    m_TrackerEdit->setAccessibleName(tr("Tracker address"));
    m_TrackerEdit->setAccessibleDescription(tr("The address of the selected tracker."));

    // The list fills the space left of the panel; the edit box stays below it, as wide.
    const int margin = scaled(kMargin);
    auto* left = new QVBoxLayout;
    left->setContentsMargins(margin, margin, margin, margin);
    left->setSpacing(scaled(6));
    left->addWidget(m_Trackers, 1);
    left->addWidget(m_TrackerEdit);

    // The panel keeps at least its classic width and grows when the desktop's font needs
    // more for the captions. Add and Remove stay at its top, Save at its bottom.
    m_Buttons = new QWidget;
    m_Buttons->setObjectName("Panel1");
    m_Buttons->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* column = new QVBoxLayout(m_Buttons);
    column->setContentsMargins(scaled(kButtonLeft), margin,
                               scaled(kPanelWidth - kButtonLeft - kButtonWidth), margin);
    column->setSpacing(scaled(6));
    m_AddTracker = new QPushButton(tr("&Add tracker"));
    m_AddTracker->setObjectName("AddBtn");
    m_AddTracker->setAccessibleDescription(tr("Adds an empty line for a new tracker."));
    m_RemoveTracker = new QPushButton(tr("&Remove"));
    m_RemoveTracker->setObjectName("RemoveBtn");
    m_RemoveTracker->setAccessibleDescription(tr("Removes the selected tracker."));
    m_Save = new QPushButton(tr("&Save"));
    m_Save->setObjectName("SaveBtn");
    m_Save->setAccessibleDescription(tr("Writes the trackers into the torrent's row and closes."));
    for (QPushButton* button : {m_AddTracker, m_RemoveTracker, m_Save}) {
        button->setAutoDefault(false);
        button->setMinimumSize(scaled(kButtonWidth), scaled(kButtonHeight));
    }
    column->addWidget(m_AddTracker);
    column->addWidget(m_RemoveTracker);
    column->addStretch(1);
    column->addWidget(m_Save);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(left, 1);
    layout->addWidget(m_Buttons);
    resize(scaled(600), scaled(300));

    connect(m_Trackers, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_Selecting) {
            trackerSelected();
        }
    });
    // A click on the line that is selected already raises the list's click as well.
    connect(m_Trackers, &QListWidget::itemClicked, this, [this] { trackerSelected(); });
    connect(m_TrackerEdit, &QLineEdit::textChanged, this, &EditForm::trackerEdited);
    connect(m_AddTracker, &QPushButton::clicked, this, &EditForm::addTrackerClicked);
    connect(m_RemoveTracker, &QPushButton::clicked, this, &EditForm::removeTrackerClicked);
    connect(m_Save, &QPushButton::clicked, this, &EditForm::saveClicked);
}

void EditForm::fill(int Row) {
    const TTorrentGrid& grid = m_List.Grid();
    setWindowTitle(tr("Editing: %1").arg(QStringOf(grid.Cell(TTorrentGrid::ColName, Row))));
    const std::vector<std::string> trackers =
        ReadTrackerCell(grid.Cell(TTorrentGrid::ColTrackers, Row));
    m_Selecting = true;
    m_Trackers->clear();
    for (const std::string& tracker : trackers) {
        m_Trackers->addItem(QStringOf(tracker));
    }
    m_Trackers->setCurrentRow(-1);
    m_Selecting = false;
    StringGridIndex = Row;
    m_Hash = grid.Cell(TTorrentGrid::ColHash, Row);
}

void EditForm::editRow(int Row) {
    fill(Row);
    exec();
}

void EditForm::openRow(int Row) {
    fill(Row);
    open();
}

int EditForm::selectedIndex() const {
    const QList<QListWidgetItem*> selected = m_Trackers->selectedItems();
    return selected.isEmpty() ? -1 : m_Trackers->row(selected.first());
}

void EditForm::selectIndex(int Index) {
    m_Selecting = true;
    m_Trackers->setCurrentRow(Index);
    m_Selecting = false;
}

void EditForm::trackerSelected() {
    const int index = selectedIndex();
    if (index < 0) {
        m_TrackerEdit->clear();
        m_TrackerEdit->setEnabled(false);
        return;
    }
    m_TrackerEdit->setEnabled(true);
    m_TrackerEdit->setText(m_Trackers->item(index)->text());
}

void EditForm::trackerEdited(const QString& Text) {
    const int index = selectedIndex();
    if (index >= 0) {
        m_Trackers->item(index)->setText(Text);
    }
}

void EditForm::addTrackerClicked() {
    m_Trackers->addItem(QString());
    selectIndex(m_Trackers->count() - 1);
    m_TrackerEdit->clear();
    m_TrackerEdit->setEnabled(true);
    m_TrackerEdit->selectAll();
    m_TrackerEdit->setFocus();
}

void EditForm::removeTrackerClicked() {
    const int index = selectedIndex();
    if (index >= 0) {
        m_Selecting = true;
        delete m_Trackers->takeItem(index);
        m_Selecting = false;
        selectIndex(index < m_Trackers->count() ? index : m_Trackers->count() - 1);
    }
    const int selected = selectedIndex();
    if (selected < 0) {
        m_TrackerEdit->clear();
        m_TrackerEdit->setEnabled(false);
    } else {
        m_TrackerEdit->setText(m_Trackers->item(selected)->text());
    }
}

void EditForm::saveClicked() {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(m_Trackers->count()));
    for (int i = 0; i < m_Trackers->count(); ++i) {
        lines.push_back(Utf8Of(m_Trackers->item(i)->text()));
    }
    if (!m_List.SetTrackersOfHash(m_Hash, WriteTrackerCellNonEmpty(lines))) {
        m_Host.SetStatusText(TMessage(kEditDroppedText));
    }
    m_TrackerEdit->clear();
    m_TrackerEdit->setEnabled(false);
    accept();
}

} // namespace lintervale

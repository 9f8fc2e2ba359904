#include "widgets/EditForm.h"

#include "qtsupport/DisplayText.h"
#include "qtsupport/Utf8Text.h"
#include "trackers/TrackerAddress.h"
#include "trackers/TrackerCell.h"
#include "trackers/TrackerMessages.h"
#include "widgets/FontUnits.h"
#include "widgets/Translations.h"

#include <QHBoxLayout>
#include <QLabel>
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
    // Always ready for typing: with no line selected, what is typed becomes a new line.
    m_TrackerEdit = new QLineEdit;
    m_TrackerEdit->setObjectName("Edit1");
    m_TrackerEdit->setPlaceholderText(tr("Type a tracker address to add it"));
    m_TrackerEdit->setAccessibleName(tr("Tracker address"));
    m_TrackerEdit->setAccessibleDescription(
        tr("The address of the selected tracker; with no line selected, a new tracker."));
    // Why Save refused, in the editor itself; a line's text is shown as it is.
    m_Notice = new QLabel;
    m_Notice->setObjectName("TrackerNotice");
    m_Notice->setTextFormat(Qt::PlainText);
    m_Notice->setWordWrap(true);
    m_Notice->setVisible(false);

    // The list fills the space left of the panel; the edit box stays below it, as wide.
    const int margin = scaled(kMargin);
    auto* left = new QVBoxLayout;
    left->setContentsMargins(margin, margin, margin, margin);
    left->setSpacing(scaled(6));
    left->addWidget(m_Trackers, 1);
    left->addWidget(m_TrackerEdit);
    left->addWidget(m_Notice);

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

void EditForm::load(int Row) {
    const TTorrentGrid& grid = m_List.Grid();
    setWindowTitle(
        tr("Editing: %1").arg(DisplayText(QStringOf(grid.Cell(TTorrentGrid::ColName, Row)))));
    const std::vector<std::string> trackers =
        ReadTrackerCell(grid.Cell(TTorrentGrid::ColTrackers, Row));
    m_Selecting = true;
    m_Trackers->clear();
    for (const std::string& tracker : trackers) {
        m_Trackers->addItem(QStringOf(tracker));
    }
    m_Trackers->setCurrentRow(-1);
    m_TrackerEdit->clear();
    m_Selecting = false;
    m_Opened = lines();
    showNotice(TMessage());
    m_Hash = grid.Cell(TTorrentGrid::ColHash, Row);
}

void EditForm::editRow(int Row) {
    load(Row);
    exec();
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

QStringList EditForm::lines() const {
    QStringList result;
    for (int i = 0; i < m_Trackers->count(); ++i) {
        result.append(m_Trackers->item(i)->text());
    }
    return result;
}

void EditForm::showNotice(const TMessage& Text) {
    m_Notice->setText(messageText(Text));
    m_Notice->setVisible(!Text.Empty());
}

void EditForm::trackerSelected() {
    const int index = selectedIndex();
    m_TrackerEdit->setText(index < 0 ? QString() : m_Trackers->item(index)->text());
}

void EditForm::trackerEdited(const QString& Text) {
    if (m_Selecting) {
        return;
    }
    const int index = selectedIndex();
    if (index >= 0) {
        m_Trackers->item(index)->setText(Text);
    } else if (!Text.isEmpty()) {
        // Typed with no line selected: a new line, as "Add tracker" would have made.
        m_Trackers->addItem(Text);
        selectIndex(m_Trackers->count() - 1);
    }
}

void EditForm::addTrackerClicked() {
    m_Trackers->addItem(QString());
    selectIndex(m_Trackers->count() - 1);
    m_TrackerEdit->clear();
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
    trackerSelected();
}

void EditForm::saveClicked() {
    // Each non-empty line is one tracker, or nothing is written: a line the cell cannot carry
    // as one tracker is selected and named.
    std::vector<std::string> trackers;
    std::size_t cellBytes = 0;
    for (int i = 0; i < m_Trackers->count(); ++i) {
        const std::string line = Utf8Of(m_Trackers->item(i)->text().trimmed());
        const TTrackerFault fault = CheckTrackerAddress(line);
        if (fault == TTrackerFault::Empty) {
            continue;
        }
        if (fault != TTrackerFault::None) {
            refuse(TrackerLineRefusal(static_cast<std::size_t>(i) + 1, line, fault), i);
            return;
        }
        cellBytes += line.size() + (trackers.empty() ? 2 : 3);
        trackers.push_back(line);
    }
    if (const TMessage tooMany = TrackerListRefusal(trackers.size(), cellBytes); !tooMany.Empty()) {
        refuse(tooMany, -1);
        return;
    }
    if (!m_List.SetTrackersOfHash(m_Hash, WriteTrackerCellNonEmpty(trackers))) {
        m_Host.SetStatusText(TMessage(kEditDroppedText));
    }
    m_TrackerEdit->clear();
    accept();
}

void EditForm::refuse(const TMessage& Text, int Line) {
    if (Line >= 0) {
        m_Trackers->setCurrentRow(Line);
        m_TrackerEdit->setFocus();
    }
    showNotice(Text);
    if (!m_Host.QuietMode()) {
        m_Host.ShowError(Text);
    }
}

void EditForm::reject() {
    // Escape and the window's close button come here: edits are not dropped unasked.
    if (isVisible() && lines() != m_Opened && !m_Host.Confirm(TMessage(kDiscardTrackerEditsText))) {
        return;
    }
    QDialog::reject();
}

} // namespace lintervale

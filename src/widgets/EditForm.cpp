#include "widgets/EditForm.h"

#include "trackers/TrackerCell.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

namespace lintervale {

namespace {

constexpr int kPanelWidth = 96;
constexpr int kMargin = 8;      // around the list and the edit box, and below the buttons
constexpr int kButtonLeft = 13; // the buttons' left edge inside the panel

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

EditForm::EditForm(TTorrentGrid& Grid, QWidget* Parent) : QDialog(Parent), m_Grid(Grid) {
    setObjectName("EditForm");
    setWindowTitle("EditForm");
    setMinimumSize(300, 200);

    ListBox1 = new QListWidget;
    ListBox1->setObjectName("ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Edit1 = new QLineEdit;
    Edit1->setObjectName("Edit1");
    Edit1->setEnabled(false);

    // The list fills the space left of the panel; the edit box stays below it, as wide.
    auto* left = new QVBoxLayout;
    left->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    left->setSpacing(6);
    left->addWidget(ListBox1, 1);
    left->addWidget(Edit1);

    // The panel keeps at least its classic width and grows when the desktop's font needs
    // more for the captions. Add and Remove stay at its top, Save at its bottom.
    Panel1 = new QWidget;
    Panel1->setObjectName("Panel1");
    Panel1->setMinimumWidth(kPanelWidth);
    Panel1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* column = new QVBoxLayout(Panel1);
    column->setContentsMargins(kButtonLeft, kMargin, kPanelWidth - kButtonLeft - 75, kMargin);
    column->setSpacing(6);
    AddBtn = new QPushButton("&Add tracker");
    AddBtn->setObjectName("AddBtn");
    RemoveBtn = new QPushButton("&Remove");
    RemoveBtn->setObjectName("RemoveBtn");
    SaveBtn = new QPushButton("&Save");
    SaveBtn->setObjectName("SaveBtn");
    for (QPushButton* button : {AddBtn, RemoveBtn, SaveBtn}) {
        button->setAutoDefault(false);
        button->setMinimumSize(75, 25);
    }
    column->addWidget(AddBtn);
    column->addWidget(RemoveBtn);
    column->addStretch(1);
    column->addWidget(SaveBtn);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(left, 1);
    layout->addWidget(Panel1);
    resize(600, 300);

    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_Selecting) {
            ListBox1Click();
        }
    });
    // A click on the line that is selected already raises the list's click as well.
    connect(ListBox1, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
    connect(Edit1, &QLineEdit::textChanged, this, &EditForm::Edit1Change);
    connect(AddBtn, &QPushButton::clicked, this, &EditForm::AddBtnClick);
    connect(RemoveBtn, &QPushButton::clicked, this, &EditForm::RemoveBtnClick);
    connect(SaveBtn, &QPushButton::clicked, this, &EditForm::SaveBtnClick);
}

void EditForm::fill(int Row) {
    setWindowTitle("Editing: " + Q(m_Grid.Cell(TTorrentGrid::ColName, Row)));
    const std::vector<std::string> trackers =
        ReadTrackerCell(m_Grid.Cell(TTorrentGrid::ColTrackers, Row));
    m_Selecting = true;
    ListBox1->clear();
    for (const std::string& tracker : trackers) {
        ListBox1->addItem(Q(tracker));
    }
    ListBox1->setCurrentRow(-1);
    m_Selecting = false;
    StringGridIndex = Row;
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
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.first());
}

void EditForm::selectIndex(int Index) {
    m_Selecting = true;
    ListBox1->setCurrentRow(Index);
    m_Selecting = false;
}

void EditForm::ListBox1Click() {
    const int index = selectedIndex();
    if (index < 0) {
        Edit1->clear();
        Edit1->setEnabled(false);
        return;
    }
    Edit1->setEnabled(true);
    Edit1->setText(ListBox1->item(index)->text());
}

void EditForm::Edit1Change(const QString& Text) {
    const int index = selectedIndex();
    if (index >= 0) {
        ListBox1->item(index)->setText(Text);
    }
}

void EditForm::AddBtnClick() {
    ListBox1->addItem(QString());
    selectIndex(ListBox1->count() - 1);
    Edit1->clear();
    Edit1->setEnabled(true);
    Edit1->selectAll();
    Edit1->setFocus();
}

void EditForm::RemoveBtnClick() {
    const int index = selectedIndex();
    if (index >= 0) {
        m_Selecting = true;
        delete ListBox1->takeItem(index);
        m_Selecting = false;
        selectIndex(index < ListBox1->count() ? index : ListBox1->count() - 1);
    }
    const int selected = selectedIndex();
    if (selected < 0) {
        Edit1->clear();
        Edit1->setEnabled(false);
    } else {
        Edit1->setText(ListBox1->item(selected)->text());
    }
}

void EditForm::SaveBtnClick() {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(ListBox1->count()));
    for (int i = 0; i < ListBox1->count(); ++i) {
        lines.push_back(ListBox1->item(i)->text().toUtf8().toStdString());
    }
    // The row is the one the editor was opened for: the editor is modal, so no row moved.
    if (StringGridIndex >= 1 && StringGridIndex < m_Grid.RowCount()) {
        m_Grid.SetCell(TTorrentGrid::ColTrackers, StringGridIndex, WriteTrackerCellNonEmpty(lines));
    }
    Edit1->clear();
    Edit1->setEnabled(false);
    accept();
}

} // namespace lintervale

#include "widgets/PropertiesDialog.h"

#include "qtsupport/DisplayText.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/FileTreeModel.h"

#include <QClipboard>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace lintervale {

namespace {

// How long the filter waits for more typing before it works through the tree.
constexpr int kFilterDelayMilliseconds = 150;

QLineEdit* Field(const QString& Text, const QString& Name) {
    auto* field = new QLineEdit(Text);
    field->setReadOnly(true);
    field->setAccessibleName(Name);
    field->setCursorPosition(0);
    return field;
}

QPlainTextEdit* TextField(const QString& Text, const QString& Name) {
    auto* field = new QPlainTextEdit(Text);
    field->setReadOnly(true);
    field->setAccessibleName(Name);
    field->setLineWrapMode(QPlainTextEdit::NoWrap);
    return field;
}

QString Bytes(std::int64_t Size) {
    return QCoreApplication::translate("lintervale::PropertiesDialog", "%1 (%2 bytes)")
        .arg(QLocale().formattedDataSize(Size), QLocale().toString(static_cast<qlonglong>(Size)));
}

QString Lines(const std::vector<std::string>& Texts) {
    QStringList lines;
    for (const std::string& text : Texts) {
        lines.append(QStringOf(text));
    }
    return lines.join('\n');
}

} // namespace

PropertiesDialog::PropertiesDialog(const TTorrentGrid::TRow& Cells,
                                   const std::optional<std::string>& Torrent,
                                   const QString& Unknown, LinkForFiles Link, QWidget* Parent)
    : QDialog(Parent), m_Link(std::move(Link)) {
    setObjectName("PropertiesDialog");
    setWindowTitle(
        DisplayText(tr("Properties of %1").arg(QStringOf(Cells[TTorrentGrid::ColName]))));
    m_Tabs = new QTabWidget;
    m_Tabs->setObjectName("PropertiesParts");

    TTorrentFile loaded;
    bool known = false;
    QString unknown = Unknown;
    if (Torrent) {
        try {
            known = loaded.Load(*Torrent);
        } catch (const std::exception&) {
            unknown = tr("The kept .torrent file of this row cannot be read.");
        }
    }
    if (known) {
        const TTorrentDetails details = ReadDetails(loaded);
        m_Tabs->addTab(generalPart(Cells, &details, {}), tr("&General"));
        m_Tabs->addTab(trackersPart(details.TrackerTiers), tr("&Trackers"));
        m_Tabs->addTab(sourcesPart(details.WebSeeds, details.DhtNodes),
                       tr("&Web seeds and DHT nodes"));
        m_Tabs->addTab(filesPart(loaded), tr("&Files"));
    } else {
        m_Tabs->addTab(generalPart(Cells, nullptr, unknown), tr("&General"));
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Tabs);
    layout->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 30);
}

QWidget* PropertiesDialog::generalPart(const TTorrentGrid::TRow& Cells,
                                       const TTorrentDetails* Details, const QString& Unknown) {
    auto* part = new QWidget;
    auto* form = new QFormLayout(part);
    m_General = form;
    const auto add = [form](const QString& Caption, QWidget* Field) {
        auto* label = new QLabel(Caption);
        label->setBuddy(Field);
        form->addRow(label, Field);
    };
    if (Details == nullptr) {
        auto* note = new QLabel(
            Unknown.isEmpty()
                ? tr("The contents of this torrent are not known: its row was made from a magnet "
                     "link, or from a list saved before Lintervale kept torrents. What the row "
                     "holds is shown.")
                : Unknown);
        note->setTextFormat(Qt::PlainText);
        note->setWordWrap(true);
        note->setObjectName("ContentsUnknown");
        form->addRow(note);
        add(tr("&Name:"), Field(DisplayText(QStringOf(Cells[TTorrentGrid::ColName])), tr("Name")));
        add(tr("Info &hash:"), Field(QStringOf(Cells[TTorrentGrid::ColHash]), tr("Info hash")));
        add(tr("&Files:"), Field(QStringOf(Cells[TTorrentGrid::ColFiles]), tr("Files")));
        add(tr("&Size:"), Field(QStringOf(Cells[TTorrentGrid::ColSize]), tr("Size")));
        return part;
    }
    const TTorrentDetails& d = *Details;
    const QString none = tr("(none)");
    const auto optional = [&none](const std::optional<std::string>& Text) {
        return Text ? QStringOf(*Text) : none;
    };
    add(tr("&Name:"), Field(DisplayText(QStringOf(d.Name)), tr("Name")));
    add(tr("Info hash v&1:"),
        Field(d.HashV1.empty() ? none : QStringOf(d.HashV1), tr("Info hash, version 1")));
    add(tr("Info hash v&2:"),
        Field(d.HashV2.empty() ? none : QStringOf(d.HashV2), tr("Info hash, version 2")));
    add(tr("Total &size:"), Field(Bytes(d.TotalSize), tr("Total size")));
    add(tr("&Files:"), Field(QLocale().toString(d.FileCount), tr("Files")));
    add(tr("&Pieces:"), Field(tr("%1 of %2")
                                  .arg(QLocale().toString(static_cast<qlonglong>(d.PieceCount)),
                                       QLocale().formattedDataSize(d.PieceLength)),
                              tr("Pieces")));
    add(tr("P&rivate:"),
        Field(d.Private ? tr("Yes: only its trackers give peers") : tr("No"), tr("Private")));
    add(tr("Created &by:"), Field(optional(d.CreatedBy), tr("Created by")));
    add(tr("Creation &date:"),
        Field(d.CreationDate ? QLocale().toString(QDateTime::fromSecsSinceEpoch(*d.CreationDate),
                                                  QLocale::LongFormat)
                             : none,
              tr("Creation date")));
    add(tr("&Comment:"), TextField(optional(d.Comment), tr("Comment")));
    add(tr("S&ource:"), Field(optional(d.Source), tr("Source")));
    return part;
}

void PropertiesDialog::showKeptUsage(const QString& Text) {
    QLineEdit* field = Field(Text, tr("Kept torrents"));
    field->setObjectName("KeptUsage");
    auto* label = new QLabel(tr("&Kept torrents:"));
    label->setBuddy(field);
    m_General->addRow(label, field);
}

QWidget* PropertiesDialog::trackersPart(const std::vector<std::vector<std::string>>& Tiers) {
    QStringList lines;
    for (std::size_t tier = 0; tier < Tiers.size(); ++tier) {
        lines.append(tr("Tier %1").arg(tier + 1));
        for (const std::string& tracker : Tiers[tier]) {
            lines.append("    " + QStringOf(tracker));
        }
    }
    auto* part = new QWidget;
    auto* layout = new QVBoxLayout(part);
    auto* trackers =
        TextField(lines.isEmpty() ? tr("This torrent names no tracker.") : lines.join('\n'),
                  tr("Trackers by tier"));
    trackers->setObjectName("TrackerTiers");
    layout->addWidget(trackers);
    return part;
}

QWidget* PropertiesDialog::sourcesPart(const std::vector<std::string>& Seeds,
                                       const std::vector<std::string>& Nodes) {
    auto* part = new QWidget;
    auto* layout = new QVBoxLayout(part);
    const auto add = [&](const QString& Caption, const QString& Name,
                         const std::vector<std::string>& Texts, const QString& Empty) {
        auto* field = TextField(Texts.empty() ? Empty : Lines(Texts), Name);
        auto* label = new QLabel(Caption);
        label->setBuddy(field);
        layout->addWidget(label);
        layout->addWidget(field);
        return field;
    };
    add(tr("&Web seeds:"), tr("Web seeds"), Seeds, tr("(none)"))->setObjectName("WebSeeds");
    add(tr("&DHT nodes:"), tr("DHT nodes"), Nodes, tr("(none)"))->setObjectName("DhtNodes");
    return part;
}

QWidget* PropertiesDialog::filesPart(const TTorrentFile& Torrent) {
    auto* part = new QWidget;
    m_Files = new FileTreeModel(this);
    m_Files->setTorrent(Torrent);

    m_Filter = new QLineEdit;
    m_Filter->setObjectName("FileFilter");
    m_Filter->setPlaceholderText(tr("Filter by name"));
    m_Filter->setAccessibleName(tr("Filter by name"));
    m_Filter->setClearButtonEnabled(true);
    m_FilterDelay = new QTimer(this);
    m_FilterDelay->setSingleShot(true);
    m_FilterDelay->setInterval(kFilterDelayMilliseconds);
    connect(m_Filter, &QLineEdit::textChanged, m_FilterDelay, qOverload<>(&QTimer::start));
    connect(m_FilterDelay, &QTimer::timeout, this, [this] {
        m_Files->setFilter(m_Filter->text());
        if (!m_Filter->text().isEmpty() && m_Files->shownFiles() < 1000) {
            m_Tree->expandAll();
        }
        showCounts();
    });

    m_Tree = new QTreeView;
    m_Tree->setObjectName("FileTree");
    m_Tree->setAccessibleName(tr("Files"));
    m_Tree->setModel(m_Files);
    m_Tree->setUniformRowHeights(true);
    // The torrent's own order first; a click on a heading sorts.
    m_Tree->header()->setSortIndicator(-1, Qt::AscendingOrder);
    m_Tree->setSortingEnabled(true);
    m_Tree->header()->setSortIndicatorShown(false);
    connect(m_Tree->header(), &QHeaderView::sortIndicatorChanged, m_Tree->header(),
            [header = m_Tree->header()] { header->setSortIndicatorShown(true); });
    m_Tree->header()->setStretchLastSection(false);
    m_Tree->header()->setSectionResizeMode(FileTreeModel::Name, QHeaderView::Stretch);
    m_Tree->header()->setSectionResizeMode(FileTreeModel::Size, QHeaderView::ResizeToContents);
    if (m_Files->fileCount() < 1000) {
        m_Tree->expandAll();
    }

    m_FileCounts = new QLabel;
    m_FileCounts->setObjectName("FileCounts");
    auto* tickAll = new QPushButton(tr("Tick &all"));
    auto* tickNone = new QPushButton(tr("Tick n&one"));
    auto* copy = new QPushButton(tr("&Copy link for selected files"));
    copy->setObjectName("CopyLinkForSelectedFiles");
    copy->setAccessibleDescription(
        tr("Copies the row's magnet link with the ticked files selected (so=)."));
    connect(tickAll, &QPushButton::clicked, this, [this] { m_Files->tickAll(true); });
    connect(tickNone, &QPushButton::clicked, this, [this] { m_Files->tickAll(false); });
    connect(copy, &QPushButton::clicked, this, &PropertiesDialog::copyLinkForTickedFiles);

    auto* filterLabel = new QLabel(tr("F&ilter:"));
    filterLabel->setBuddy(m_Filter);
    auto* top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(m_Filter, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_FileCounts, 1);
    bottom->addWidget(tickAll);
    bottom->addWidget(tickNone);
    bottom->addWidget(copy);
    auto* layout = new QVBoxLayout(part);
    layout->addLayout(top);
    layout->addWidget(m_Tree, 1);
    layout->addLayout(bottom);
    showCounts();
    return part;
}

void PropertiesDialog::showCounts() {
    m_FileCounts->setText(m_Files->shownFiles() == m_Files->fileCount()
                              ? tr("%1 files").arg(QLocale().toString(m_Files->fileCount()))
                              : tr("%1 of %2 files shown")
                                    .arg(QLocale().toString(m_Files->shownFiles()),
                                         QLocale().toString(m_Files->fileCount())));
}

void PropertiesDialog::copyLinkForTickedFiles() {
    const std::vector<std::int64_t> ticked = m_Files->tickedFiles();
    if (ticked.empty()) {
        m_FileCounts->setText(tr("Tick at least one file."));
        return;
    }
    QGuiApplication::clipboard()->setText(m_Link(ticked));
    m_FileCounts->setText(
        ticked.size() == 1 ? tr("The link for 1 file was copied.")
                           : tr("The link for %1 files was copied.")
                                 .arg(QLocale().toString(static_cast<qlonglong>(ticked.size()))));
}

} // namespace lintervale

#include "widgets/LinkContentsDialog.h"

#include "list/TorrentList.h"
#include "qtsupport/Utf8Text.h"
#include "session/SettingsStore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lintervale {

LinkContentsDialog::LinkContentsDialog(const TLinkContents& Contents, Preview Show, QWidget* Parent)
    : QDialog(Parent), m_Show(std::move(Show)) {
    setObjectName("LinkContentsDialog");
    setWindowTitle(tr("Link contents"));
    m_Name = new QCheckBox(tr("The torrent's &name (dn)"));
    m_Name->setObjectName("LinkName");
    auto* trackers = new QGroupBox(tr("Trackers (tr)"));
    m_AllTrackers = new QRadioButton(tr("&All trackers"));
    m_AllTrackers->setObjectName("LinkAllTrackers");
    m_FirstTracker = new QRadioButton(tr("Only the &first tracker"));
    m_FirstTracker->setObjectName("LinkFirstTracker");
    m_NoTrackers = new QRadioButton(tr("N&o trackers"));
    m_NoTrackers->setObjectName("LinkNoTrackers");
    auto* trackerLayout = new QVBoxLayout(trackers);
    for (QRadioButton* button : {m_AllTrackers, m_FirstTracker, m_NoTrackers}) {
        trackerLayout->addWidget(button);
    }
    m_WebSeeds = new QCheckBox(tr("&Web seeds (ws)"));
    m_WebSeeds->setObjectName("LinkWebSeeds");
    m_ExactLength = new QCheckBox(tr("The exact &size in bytes (xl)"));
    m_ExactLength->setObjectName("LinkExactLength");
    m_ExactLength->setAccessibleDescription(
        tr("Only for torrents whose .torrent file is kept, whose size is known to the byte."));
    m_Peers = new QPlainTextEdit;
    m_Peers->setObjectName("LinkPeers");
    m_Peers->setAccessibleName(tr("Peer addresses"));
    m_Peers->setPlaceholderText(tr("host:port, one a line"));
    m_Peers->setTabChangesFocus(true);
    m_Peers->setMaximumHeight(fontMetrics().height() * 5);
    auto* peersLabel = new QLabel(tr("&Peer addresses (x.pe), one a line:"));
    peersLabel->setBuddy(m_Peers);
    m_Preview = new QLineEdit;
    m_Preview->setObjectName("LinkPreview");
    m_Preview->setReadOnly(true);
    m_Preview->setAccessibleName(tr("The current row's link"));
    auto* previewLabel = new QLabel(tr("The current row's &link:"));
    previewLabel->setBuddy(m_Preview);
    m_Problem = new QLabel;
    m_Problem->setObjectName("LinkProblem");
    m_Problem->setTextFormat(Qt::PlainText);
    m_Problem->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::RestoreDefaults);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            [this] { setContents({}); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Name);
    layout->addWidget(trackers);
    layout->addWidget(m_WebSeeds);
    layout->addWidget(m_ExactLength);
    layout->addWidget(peersLabel);
    layout->addWidget(m_Peers);
    layout->addWidget(previewLabel);
    layout->addWidget(m_Preview);
    layout->addWidget(m_Problem);
    layout->addWidget(buttons);

    setContents(Contents);
    for (QCheckBox* box : {m_Name, m_WebSeeds, m_ExactLength}) {
        connect(box, &QCheckBox::toggled, this, &LinkContentsDialog::update);
    }
    for (QRadioButton* button : {m_AllTrackers, m_FirstTracker, m_NoTrackers}) {
        connect(button, &QRadioButton::toggled, this, &LinkContentsDialog::update);
    }
    connect(m_Peers, &QPlainTextEdit::textChanged, this, &LinkContentsDialog::update);
    update();
    resize(fontMetrics().averageCharWidth() * 70, sizeHint().height());
}

void LinkContentsDialog::setContents(const TLinkContents& Contents) {
    m_Name->setChecked(Contents.Name);
    m_AllTrackers->setChecked(Contents.Trackers == TLinkContents::TTrackers::All);
    m_FirstTracker->setChecked(Contents.Trackers == TLinkContents::TTrackers::First);
    m_NoTrackers->setChecked(Contents.Trackers == TLinkContents::TTrackers::None);
    m_WebSeeds->setChecked(Contents.WebSeeds);
    m_ExactLength->setChecked(Contents.ExactLength);
    QStringList peers;
    for (const std::string& peer : Contents.Peers) {
        peers.append(QString::fromStdString(peer));
    }
    m_Peers->setPlainText(peers.join('\n'));
}

TLinkContents LinkContentsDialog::contents() const {
    TLinkContents contents;
    contents.Name = m_Name->isChecked();
    contents.Trackers = m_FirstTracker->isChecked() ? TLinkContents::TTrackers::First
                        : m_NoTrackers->isChecked() ? TLinkContents::TTrackers::None
                                                    : TLinkContents::TTrackers::All;
    contents.WebSeeds = m_WebSeeds->isChecked();
    contents.ExactLength = m_ExactLength->isChecked();
    for (const QString& line : m_Peers->toPlainText().split('\n', Qt::SkipEmptyParts)) {
        const std::string peer = line.trimmed().toStdString();
        if (IsPeerAddress(peer)) {
            contents.Peers.push_back(peer);
        }
    }
    return contents;
}

QString LinkContentsDialog::badPeer() const {
    for (const QString& line : m_Peers->toPlainText().split('\n', Qt::SkipEmptyParts)) {
        if (!line.trimmed().isEmpty() && !IsPeerAddress(line.trimmed().toStdString())) {
            return line.trimmed();
        }
    }
    return {};
}

void LinkContentsDialog::update() {
    const QString bad = badPeer();
    m_Problem->setText(bad.isEmpty() ? QString()
                                     : tr("\"%1\" is no peer address: write host:port, a name "
                                          "or an IPv4 address, or [IPv6]:port.")
                                           .arg(bad));
    const QString link = m_Show ? m_Show(contents()) : QString();
    m_Preview->setText(link.isEmpty() ? tr("(no row)") : link);
    m_Preview->setCursorPosition(0);
}

void LinkContentsDialog::openFor(TTorrentList& List, const QString& SettingsFile, QWidget* Parent,
                                 std::function<void(const QString&)> Status) {
    // The preview follows the torrent that was current: rows may come and go meanwhile.
    const TTorrentGrid& grid = List.Grid();
    const std::string hash = grid.Cell(TTorrentGrid::ColHash, grid.Row());
    auto* dialog = new LinkContentsDialog(
        List.LinkContents(),
        [&List, hash](const TLinkContents& Contents) {
            const std::vector<int> rows =
                hash.empty() ? std::vector<int>() : List.Grid().RowsWithHash(hash);
            return rows.empty() || rows.front() == 0
                       ? QString()
                       : QStringOf(List.MagnetLinkOfRow(rows.front(), Contents));
        },
        Parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QDialog::accepted, Parent, [dialog, &List, SettingsFile, Status] {
        const TLinkContents contents = dialog->contents();
        List.SetLinkContents(contents);
        QString failure;
        if (!SettingsStore(SettingsFile).setLinkContents(contents, &failure)) {
            Status(tr("The link contents are used, but could not be written to %1: %2")
                       .arg(SettingsFile, failure));
        }
    });
    dialog->open();
}

void LinkContentsDialog::accept() {
    update();
    if (!badPeer().isEmpty()) {
        m_Peers->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace lintervale

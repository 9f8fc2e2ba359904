#include "widgets/ContentsFetching.h"

#include "list/TorrentList.h"
#include "qtsupport/Utf8Text.h"
#include "trackers/TrackerCell.h"
#include "widgets/FetchSettingsDialog.h"
#include "widgets/GridModel.h"
#include "widgets/MessageBoxes.h"
#include "widgets/UndoSteps.h"

#include <QLocale>
#include <QPointer>
#include <utility>

namespace lintervale {

namespace {

TFetchSettings SessionSettingsOf(const FetchOptions& Options) {
    TFetchSettings settings;
    settings.Dht = Options.Dht;
    settings.PortMapping = Options.PortMapping;
    return settings;
}

} // namespace

ContentsFetching::ContentsFetching(Parts TheParts, QObject* Parent)
    : QObject(Parent), m_Parts(std::move(TheParts)),
      m_Options(SettingsStore(m_Parts.SettingsFile).fetchOptions()) {
    m_Fetcher =
        m_Parts.Maker ? new ContentsFetcher(m_Parts.Maker, this) : new ContentsFetcher(this);
    m_Fetcher->setSettings(SessionSettingsOf(m_Options));
    connect(m_Fetcher, &ContentsFetcher::progress, this, &ContentsFetching::progress);
    connect(m_Fetcher, &ContentsFetcher::fetched, this, &ContentsFetching::fetched);
    connect(m_Fetcher, &ContentsFetcher::failed, this, &ContentsFetching::failed);
}

ContentsFetching::~ContentsFetching() = default;

void ContentsFetching::fetchSelected() {
    const std::vector<std::string> selected = m_Parts.List.SelectedHashes();
    std::vector<std::string> wanted;
    for (const std::string& hash : selected) {
        if (!m_Parts.Kept(hash) && !m_Fetcher->isFetching(QStringOf(hash))) {
            wanted.push_back(hash);
        }
    }
    if (wanted.empty()) {
        m_Parts.Status(selected.empty()
                           ? tr("No selected row has a hash to fetch the contents of.")
                           : tr("Nothing to fetch: the contents of the selected rows are known "
                                "or being fetched."));
        return;
    }
    fetchHashes(wanted);
}

void ContentsFetching::fetchHashes(const std::vector<std::string>& Hashes) {
    m_Waiting.insert(m_Waiting.end(), Hashes.begin(), Hashes.end());
    // A second call while the box is up joins the first.
    if (m_Asking || !privacyAccepted()) {
        return;
    }
    for (const std::string& hash : std::exchange(m_Waiting, {})) {
        // The list may have changed while the box was up.
        if (!m_Parts.List.Grid().RowsWithHash(hash).empty() && !m_Parts.Kept(hash) &&
            !m_Fetcher->isFetching(QStringOf(hash))) {
            start(hash);
        }
    }
    const int count = fetchingCount();
    if (count > 0) {
        m_Parts.Status(count == 1 ? tr("Fetching the contents of 1 torrent\u2026 Escape stops.")
                                  : tr("Fetching the contents of %1 torrents\u2026 Escape stops.")
                                        .arg(QLocale().toString(count)));
    }
    emit fetchingChanged(count);
}

bool ContentsFetching::privacyAccepted() {
    if (m_Options.PrivacyAccepted) {
        return true;
    }
    m_Asking = true;
    const QPointer<ContentsFetching> alive(this);
    const bool yes = MessageBoxes::confirm(
        m_Parts.Window,
        tr("Fetching the contents connects to the peers that share the torrents, found through "
           "their trackers and the DHT. They see your IP address, as in any BitTorrent client; "
           "nothing of the torrents' files is downloaded.\n\nFetch the contents?"));
    if (alive.isNull()) {
        return false;
    }
    m_Asking = false;
    if (!yes) {
        m_Waiting.clear();
        m_Parts.Status(tr("Nothing was fetched."));
        return false;
    }
    m_Options.PrivacyAccepted = true;
    saveOptions();
    return true;
}

void ContentsFetching::start(const std::string& Hash) {
    const TTorrentGrid& grid = m_Parts.List.Grid();
    const int row = grid.RowsWithHash(Hash).front();
    TFetchRequest request;
    (Hash.size() == 64 ? request.HashV2 : request.HashV1) = Hash;
    request.Name = grid.Cell(TTorrentGrid::ColName, row);
    request.Trackers = ReadTrackerCell(grid.Cell(TTorrentGrid::ColTrackers, row));
    const QString hash = QStringOf(Hash);
    for (const QString& peer : m_Peers.value(hash)) {
        request.Peers.push_back(Utf8Of(peer));
    }
    request.TimeLimitSeconds = m_Options.TimeLimitSeconds;
    m_Names.insert(hash, QStringOf(request.Name));
    m_Parts.Model.setNote(hash, tr("Fetching\u2026"));
    m_Fetcher->fetch(request);
}

void ContentsFetching::progress(const QString& Hash, int Peers, int PartsPerMillion) {
    m_Parts.Model.setNote(Hash, PartsPerMillion > 0
                                    ? tr("Fetching\u2026 %1%").arg(PartsPerMillion / 10000)
                                : Peers == 1 ? tr("Fetching\u2026 1 peer")
                                             : tr("Fetching\u2026 %1 peers").arg(Peers));
}

void ContentsFetching::fetched(const QString& Hash, const QByteArray& Torrent) {
    const std::string hash = Utf8Of(Hash);
    const std::string bytes = Torrent.toStdString();
    const QString name = m_Names.value(Hash);
    TContentsCells cells;
    try {
        cells = ContentsCellsOf(bytes);
    } catch (const std::exception&) {
        ended(Hash, tr("The contents of \"%1\" that a peer sent cannot be read.").arg(name));
        return;
    }
    if (m_Parts.List.Grid().RowsWithHash(hash).empty()) {
        ended(Hash, tr("\"%1\" is no longer in the list: its contents were not kept.").arg(name));
        return;
    }
    m_Parts.Keep(hash, bytes);
    m_Parts.Published([&] { m_Filled.Fill(m_Parts.List.Grid(), hash, cells); });
    ended(Hash, tr("Fetched the contents of \"%1\".").arg(QStringOf(cells.Name)));
}

void ContentsFetching::failed(const QString& Hash, const QString& Message) {
    ended(Hash, tr("\"%1\": %2").arg(m_Names.value(Hash), Message));
}

void ContentsFetching::ended(const QString& Hash, const QString& Text) {
    m_Parts.Model.setNote(Hash, {});
    m_Names.remove(Hash);
    const int count = fetchingCount();
    if (count > 0) {
        m_Parts.Status(Text + "  " +
                       (count == 1
                            ? tr("1 torrent still fetching.")
                            : tr("%1 torrents still fetching.").arg(QLocale().toString(count))));
    } else {
        m_Parts.Status(Text);
    }
    if (count == 0) {
        m_Parts.Undo.contentsFetched(tr("Fetch contents"), std::exchange(m_Filled, {}));
    }
    emit fetchingChanged(count);
}

void ContentsFetching::stopAll() {
    if (fetchingCount() == 0) {
        return;
    }
    m_Fetcher->cancelAll();
    for (auto it = m_Names.constBegin(); it != m_Names.constEnd(); ++it) {
        m_Parts.Model.setNote(it.key(), {});
    }
    m_Names.clear();
    m_Parts.Status(tr("Fetching stopped."));
    m_Parts.Undo.contentsFetched(tr("Fetch contents"), std::exchange(m_Filled, {}));
    emit fetchingChanged(0);
}

void ContentsFetching::openSettings() {
    auto* dialog = new FetchSettingsDialog(m_Options, m_Parts.Window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        m_Options = dialog->options();
        m_Fetcher->setSettings(SessionSettingsOf(m_Options));
        saveOptions();
    });
    dialog->open();
}

void ContentsFetching::saveOptions() {
    QString failure;
    if (!SettingsStore(m_Parts.SettingsFile).setFetchOptions(m_Options, &failure)) {
        m_Parts.Status(failure);
    }
}

void ContentsFetching::linksQueued(const TMagnetRows& Links) {
    for (const auto& [hash, peers] : Links.Peers) {
        QStringList list;
        for (const std::string& peer : peers) {
            list.append(QStringOf(peer));
        }
        m_Peers.insert(QStringOf(hash), list);
    }
    if (m_Options.FetchAddedLinks) {
        for (const TTorrentRow& row : Links.Rows) {
            m_FetchWhenAdded.insert(QStringOf(row.Hash));
        }
    }
}

void ContentsFetching::added(const std::vector<std::string>& Hashes) {
    if (m_FetchWhenAdded.isEmpty()) {
        return;
    }
    std::vector<std::string> wanted;
    for (const std::string& hash : Hashes) {
        if (m_FetchWhenAdded.contains(QStringOf(hash)) && !m_Parts.Kept(hash)) {
            wanted.push_back(hash);
        }
    }
    m_FetchWhenAdded.clear();
    if (!wanted.empty()) {
        fetchHashes(wanted);
    }
}

} // namespace lintervale

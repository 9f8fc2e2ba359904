#include "cli/NewFile.h"
#include "list/TorrentFileName.h"
#include "list/TorrentList.h"
#include "magnet/MagnetLink.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/BatchAdder.h"
#include "widgets/KeptTorrents.h"
#include "widgets/MessageBoxes.h"
#include "widgets/PropertiesDialog.h"
#include "widgets/Translations.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

// The commands over the kept torrents: "Properties", "Save .torrent as" and "Save .torrents
// to folder". Each takes what it needs from the rows before a dialog opens: the list may
// change while the dialog is up.

namespace lintervale {

namespace {

using G = TTorrentGrid;

} // namespace

template <typename F> auto KeptTorrents::published(F Action) {
    return m_Window.Adder != nullptr ? m_Window.Adder->published(Action) : Action();
}

void KeptTorrents::report(const QString& Status, const QString& Box) {
    m_Window.Status(Status);
    if (!m_Window.Quiet()) {
        published([&] { MessageBoxes::error(m_Window.Boxes, Box); });
    }
}

void KeptTorrents::showProperties() {
    const TTorrentGrid& grid = m_List.Grid();
    const int row = grid.Row();
    if (grid.Cell(G::ColHash, row).empty()) {
        return; // the empty row of an empty list
    }
    G::TRow cells;
    for (int c = 0; c < G::kColumns; ++c) {
        cells[c] = grid.Cell(c, row);
    }
    const Kept kept = read(cells[G::ColHash], cells[G::ColName]);
    if (!kept.Problem.isEmpty()) {
        m_Window.Status(kept.Problem);
    }
    // The dialog keeps the link's text: the row may change or go while it is open.
    const std::string link = m_List.MagnetLinkOfRow(row);
    const bool secret = m_List.RowIsPrivate(row);
    auto* dialog = new PropertiesDialog(
        cells, kept.Bytes, kept.Problem,
        [link, secret, status = m_Window.Status](const std::vector<std::int64_t>& Files) {
            if (secret) {
                status(messageText(TMessage(kPrivateLinkText)));
            }
            return QStringOf(link + "&so=" + SelectOnlyValue(Files));
        },
        m_Window.Boxes);
    dialog->showKeptUsage(usageText());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
}

void KeptTorrents::saveCurrentAs() {
    const TTorrentGrid& grid = m_List.Grid();
    const int row = grid.Row();
    const std::string hash = grid.Cell(G::ColHash, row);
    const std::string name = grid.Cell(G::ColName, row);
    if (hash.empty()) {
        return;
    }
    const Kept kept = read(hash, name);
    if (!kept.Bytes) {
        m_Window.Status(!kept.Problem.isEmpty()
                            ? kept.Problem
                            : tr("\"%1\" has no kept .torrent file to save: its row was made from "
                                 "a magnet link, or from a list saved before Lintervale kept "
                                 "torrents.")
                                  .arg(QStringOf(name)));
        return;
    }
    const QString suggested =
        m_LastFolder + "/" + QStringOf(TorrentFileName(TorrentFileStem(name, hash)));
    // The dialog asks before it names a file that is there.
    const QString path = published([&] {
        return MessageBoxes::chooseSaveFile(m_Window.Boxes, tr("Save .torrent as"), suggested,
                                            tr(".torrent (*.torrent)"), "torrent");
    });
    if (path.isEmpty()) {
        return;
    }
    m_LastFolder = QFileInfo(path).absolutePath();
    // Written beside and renamed into place: the file is never seen half-written.
    QSaveFile file(path);
    const auto size = static_cast<qint64>(kept.Bytes->size());
    if (!file.open(QIODevice::WriteOnly) || file.write(kept.Bytes->data(), size) != size ||
        !file.commit()) {
        const QString failure = tr("Could not save \"%1\": %2").arg(path, file.errorString());
        report(failure, failure);
        return;
    }
    m_Window.Status(tr("Saved \"%1\".").arg(path));
}

void KeptTorrents::saveSelectedToFolder() {
    const TTorrentGrid& grid = m_List.Grid();
    struct Chosen {
        std::string Hash;
        std::string Name;
    };
    std::vector<Chosen> rows;
    for (int r = grid.SelectionTop(); r <= grid.SelectionBottom(); ++r) {
        if (!grid.Cell(G::ColHash, r).empty()) {
            rows.push_back({grid.Cell(G::ColHash, r), grid.Cell(G::ColName, r)});
        }
    }
    if (rows.empty()) {
        return;
    }
    const QString folder = published([&] {
        return MessageBoxes::chooseFolder(m_Window.Boxes, tr("Save .torrents to folder"),
                                          m_LastFolder);
    });
    if (folder.isEmpty()) {
        return;
    }
    m_LastFolder = folder;
    int saved = 0;
    QStringList skipped;
    QStringList details;
    for (const Chosen& row : rows) {
        const QString name = QStringOf(row.Name);
        const Kept kept = read(row.Hash, row.Name);
        if (!kept.Bytes) {
            skipped.append(name);
            details.append(!kept.Problem.isEmpty() ? kept.Problem
                                                   : tr("\"%1\": no kept .torrent file").arg(name));
            continue;
        }
        // A name that is taken gets " (2)" and so on: no file is ever replaced.
        try {
            WriteNewTorrentFile(Utf8Of(folder), TorrentFileStem(row.Name, row.Hash), *kept.Bytes);
            ++saved;
        } catch (const std::exception& error) {
            skipped.append(name);
            details.append(tr("\"%1\": %2").arg(name, errorText(error)));
        }
    }
    QString status =
        tr("Saved %1 of %2 .torrent files to \"%3\".").arg(saved).arg(rows.size()).arg(folder);
    if (skipped.isEmpty()) {
        m_Window.Status(status);
        return;
    }
    status += " " + tr("Not saved: %1.").arg(skipped.join(", "));
    m_Window.Status(status);
    if (!m_Window.Quiet()) {
        published(
            [&] { MessageBoxes::errorWithDetails(m_Window.Boxes, status, details.join('\n')); });
    }
}

} // namespace lintervale

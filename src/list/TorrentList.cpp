#include "list/TorrentList.h"

#include "magnet/MagnetLink.h"
#include "trackers/TrackerCell.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <unordered_set>

namespace lintervale {

namespace {

using G = TTorrentGrid;

} // namespace

TTorrentList::TAddResult TTorrentList::AddFile(const std::string& FileName) {
    return AddLoaded(LoadForList(FileName, m_Buffer, m_Keep));
}

TTorrentList::TAddResult TTorrentList::AddLoaded(TLoadResult Loaded) {
    if (Loaded.Skipped) {
        return TAddResult::Skipped;
    }
    if (!Loaded.Loaded) {
        if (m_Batch != nullptr) {
            m_Batch->Refused(Loaded.File, MessageWithCause(Loaded.Message, Loaded.Cause));
            return TAddResult::Failed;
        }
        // The box gives the message and why; the status line, seen in quiet mode too, names
        // the file and why.
        const TMessage cause = CauseMessage(Loaded.Cause);
        if (!m_Host.QuietMode()) {
            m_Host.ShowError(MessageWithCause(Loaded.Message, Loaded.Cause));
        }
        m_Host.SetStatusText(
            cause.Empty() ? Loaded.Message
                          : TMessage::Verbatim(
                                std::filesystem::path(Loaded.File).filename().string() + ": ") +
                                cause);
        return TAddResult::Failed;
    }
    const TAddResult added = AddRow(std::move(Loaded.Row));
    // The row is there; only its details are not kept. A batch tells that at its end.
    if (!Loaded.KeepFailure.Empty() && m_Batch == nullptr) {
        m_Host.SetStatusText(Loaded.KeepFailure);
    }
    return added;
}

TTorrentList::TAddResult TTorrentList::AddRow(TTorrentRow Row) {
    // Its torrent may have been kept just now, also for a row that holds the hash already.
    m_Links.Forget(Row.Hash);
    const std::vector<int> duplicates = TorrentRows(Row.Hash);
    if (!duplicates.empty()) {
        if (m_Batch != nullptr) {
            m_Batch->Listed();
        }
        for (const int r : duplicates) {
            if (m_Batch == nullptr) {
                if (!m_Host.QuietMode()) {
                    m_Host.ShowNotice(TMessage::Verbatim(Row.Hash + "\r\n\r\n") +
                                      TMessage(kDuplicateText));
                }
                m_Host.SetStatusText(TMessage::Verbatim(Row.Hash + " - ") +
                                     TMessage(kDuplicateText));
            }
            SetRow(r);
            if (m_Host.FetchExtra()) {
                m_Host.FetchTrackers();
            }
        }
        return TAddResult::Duplicate;
    }

    // Only the empty first row of an empty list is filled in place; anything else in row 1
    // moves down with the rest, so no row is ever overwritten or pushed out of the list.
    const bool emptyList = m_Grid.RowCount() == 2 && m_Grid.Cell(G::ColName, 1).empty() &&
                           m_Grid.Cell(G::ColHash, 1).empty();
    if (!emptyList) {
        m_Grid.InsertRow(1);
    }
    const std::string hash = Row.Hash;
    m_Grid.SetRowCells(1,
                       G::TRow{std::string(), std::move(Row.Name), std::move(Row.Hash),
                               std::move(Row.Trackers), std::move(Row.Files), std::move(Row.Size)});

    if (m_Batch != nullptr) {
        m_Batch->Added(hash);
    }
    const bool fetch = m_Host.FetchExtra();
    if (fetch) {
        SetRow(1);
        m_Host.FetchTrackers();
    }
    if (m_Host.AutoOpen()) {
        SetRow(1);
        if (fetch) {
            // The link carries what the fetch brings: it opens once that fetch has ended,
            // wherever the row is by then.
            m_Host.WhenFetched(hash, [this, hash] { OpenLinkOfHash(hash); });
        } else {
            DblClick();
        }
    }
    return TAddResult::Added;
}

std::vector<int> TTorrentList::TorrentRows(const std::string& Hash) const {
    std::vector<int> rows = m_Grid.RowsWithHash(Hash);
    std::erase_if(rows, [&](int r) {
        return r == 0 || (Hash.empty() && m_Grid.Cell(G::ColName, r).empty());
    });
    return rows;
}

bool TTorrentList::SetRow(int Row) {
    if (Row == m_Grid.Row()) {
        return false;
    }
    m_Grid.Select(Row, Row);
    Click();
    return true;
}

void TTorrentList::UserSelect(int Anchor, int Current) {
    m_Grid.Select(Anchor, Current);
    Click();
}

void TTorrentList::MouseSelect(int Row, bool Extend) {
    UserSelect(Extend ? m_Grid.Anchor() : Row, Row);
}

bool TTorrentList::KeyMove(TKeyMove Move, bool Extend, int PageRows) {
    const int row = m_Grid.Row();
    const int page = std::max(PageRows, 1);
    int target = row;
    switch (Move) {
    case TKeyMove::Up:
        target = row - 1;
        break;
    case TKeyMove::Down:
        target = row + 1;
        break;
    case TKeyMove::PageUp:
        target = row - page;
        break;
    case TKeyMove::PageDown:
        target = row + page;
        break;
    case TKeyMove::Home:
        target = 1;
        break;
    case TKeyMove::End:
        target = m_Grid.RowCount() - 1;
        break;
    }
    target = std::clamp(target, 1, m_Grid.RowCount() - 1);
    if (target == row) {
        return false;
    }
    UserSelect(Extend ? m_Grid.Anchor() : target, target);
    return true;
}

void TTorrentList::Click() {
    const int row = m_Grid.Row();
    if (m_Grid.SelectionTop() != m_Grid.SelectionBottom()) {
        m_Host.SetStatusText(TMessage());
        return;
    }
    const std::string& name = m_Grid.Cell(G::ColName, row);
    if (name.empty()) {
        return;
    }
    const std::size_t trackers = ReadTrackerCell(m_Grid.Cell(G::ColTrackers, row)).size();
    m_Host.SetStatusText(TMessage(kTrackersForText, {std::to_string(trackers), name}));
}

std::string TTorrentList::MagnetLinkOfRow(int Row) const {
    return m_Links.Link(Row);
}

bool TTorrentList::TellIfPrivate(int Top, int Bottom) const {
    for (int r = std::max(Top, 1); r <= Bottom && r < m_Grid.RowCount(); ++r) {
        if (!m_Grid.Cell(G::ColHash, r).empty() && m_Links.Private(r)) {
            m_Host.SetStatusText(TMessage(kPrivateLinkText));
            return true;
        }
    }
    return false;
}

void TTorrentList::DblClick() {
    const int row = m_Grid.Row();
    if (m_Grid.Cell(G::ColName, row).empty() || m_Grid.Cell(G::ColHash, row).empty()) {
        return;
    }
    m_Host.OpenUrl(MagnetLinkOfRow(row));
    TellIfPrivate(row, row);
}

void TTorrentList::OpenLinkOfHash(const std::string& Hash) {
    const std::vector<int> rows = TorrentRows(Hash);
    // As DblClick: a row opens when it has a name and a hash.
    if (rows.empty() || Hash.empty() || m_Grid.Cell(G::ColName, rows.front()).empty()) {
        return;
    }
    m_Host.OpenUrl(MagnetLinkOfRow(rows.front()));
    TellIfPrivate(rows.front(), rows.front());
}

void TTorrentList::OpenSelected() {
    const int top = m_Grid.SelectionTop();
    const int bottom = m_Grid.SelectionBottom();
    for (int r = top; r <= bottom; ++r) {
        SetRow(r);
        DblClick();
    }
    // Each row's own click wrote over what an earlier one said.
    if (bottom > top) {
        TellIfPrivate(top, bottom);
    }
}

std::vector<std::string> TTorrentList::SelectedLinks() const {
    std::vector<std::string> links;
    const int bottom = m_Grid.SelectionBottom();
    for (int r = m_Grid.SelectionTop(); r <= bottom; ++r) {
        if (!m_Grid.Cell(G::ColHash, r).empty()) {
            links.push_back(MagnetLinkOfRow(r));
        }
    }
    return links;
}

void TTorrentList::CopyToClipboard() {
    // When no selected row has a link the clipboard keeps what the user had there.
    const std::vector<std::string> links = SelectedLinks();
    if (links.empty()) {
        m_Host.SetStatusText(TMessage(kNothingToCopyText));
        return;
    }
    std::string text = links.front();
    for (std::size_t i = 1; i < links.size(); ++i) {
        text += "\r\n";
        text += links[i];
    }
    m_Host.SetClipboardText(text);
    TellIfPrivate(m_Grid.SelectionTop(), m_Grid.SelectionBottom());
}

std::vector<std::string> TTorrentList::SelectedHashes() const {
    std::vector<std::string> hashes;
    // A set, so that selecting every row of a long list costs no quadratic search.
    std::unordered_set<std::string_view> seen;
    const int bottom = m_Grid.SelectionBottom();
    for (int r = m_Grid.SelectionTop(); r <= bottom; ++r) {
        const std::string& hash = m_Grid.Cell(G::ColHash, r);
        if (!hash.empty() && seen.insert(hash).second) {
            hashes.push_back(hash);
        }
    }
    return hashes;
}

void TTorrentList::Quaverize() {
    m_Host.PlaySound();
    const int top = m_Grid.SelectionTop();
    const int bottom = m_Grid.SelectionBottom();
    for (int r = top; r <= bottom; ++r) {
        SetRow(r);
        if (!m_Grid.Cell(G::ColName, r).empty()) {
            m_EasterEgg = 0;
            DblClick();
            continue;
        }
        if (m_EasterEgg < kEasterEggLimit) {
            ++m_EasterEgg;
        }
        if (m_EasterEgg == kEasterEggLimit) {
            m_Host.AskHelp(TMessage(kHelpQuestion));
            m_Host.OpenUrl(kHelpAddress);
            m_EasterEgg = 0;
        }
    }
}

void TTorrentList::KeyPress(char Key) {
    if (Key == '\r') {
        OpenSelected();
    }
}

void TTorrentList::ClearAll() {
    if (ClearAllConfirmed()) {
        ClearRows();
    }
}

bool TTorrentList::ClearAllConfirmed() {
    return m_Host.QuietMode() || m_Host.Confirm(TMessage(kConfirmText));
}

void TTorrentList::ClearRows() {
    m_Grid.SetRowCount(2);
    m_Grid.SetRowCells(1, G::TRow{});
}

void TTorrentList::SelectAll() {
    m_Grid.Select(1, m_Grid.RowCount() - 1);
}

void TTorrentList::RemoveSelected() {
    const int bottom = m_Grid.SelectionBottom();
    for (int r = m_Grid.SelectionTop(); r <= bottom; ++r) {
        for (int c = G::ColName; c < G::kColumns; ++c) {
            m_Grid.SetCell(c, r, kRemovalMarker);
        }
    }
    // Every row whose name is the marker goes, marked here or not. Taking them from the
    // bottom up leaves the same rows in the same order as taking the topmost first, pass
    // after pass, and moves no row that stays.
    for (int r = m_Grid.RowCount() - 1; r >= 1; --r) {
        if (m_Grid.Cell(G::ColName, r) == kRemovalMarker) {
            m_Grid.RemoveRow(r);
        }
    }
}

void TTorrentList::DeleteTrackers() {
    const int bottom = m_Grid.SelectionBottom();
    for (int r = m_Grid.SelectionTop(); r <= bottom; ++r) {
        m_Grid.SetCell(G::ColTrackers, r, std::string());
    }
}

int TTorrentList::EditTrackerListRow() {
    if (m_Grid.SelectionTop() != m_Grid.SelectionBottom()) {
        if (!m_Host.QuietMode()) {
            m_Host.ShowNotice(TMessage(kEditOneRowText));
        }
        m_Host.SetStatusText(TMessage(kEditOneRowText));
        return 0;
    }
    const int row = m_Grid.Row();
    if (m_Grid.Cell(G::ColName, row).empty()) {
        return 0;
    }
    return row;
}

bool TTorrentList::SetTrackersOfHash(const std::string& Hash, const std::string& Cell) {
    const std::vector<int> rows = TorrentRows(Hash);
    for (const int r : rows) {
        m_Grid.SetCell(G::ColTrackers, r, Cell);
    }
    return !rows.empty();
}

void TTorrentList::WriteHeadings() {
    m_Grid.SetRowCells(0, G::TRow{kHeadings[0], kHeadings[1], kHeadings[2], kHeadings[3],
                                  kHeadings[4], kHeadings[5]});
}

} // namespace lintervale

#pragma once

// The torrent list's commands over its grid: adding a torrent, the status line, opening and
// copying magnet links, "Quaverize!", clearing, selecting and removing rows, deleting
// trackers and the checks before the tracker editor opens. Each works on the grid alone and
// reaches the window only through TListHost.

#include "list/BatchLoader.h"
#include "list/BatchReport.h"
#include "list/FileBuffer.h"
#include "list/ListHost.h"
#include "list/RowLinks.h"
#include "list/TorrentGrid.h"
#include "list/TorrentRow.h"
#include "messages/Message.h"

#include <string>
#include <vector>

namespace lintervale {

inline constexpr const char* kDuplicateText =
    Translatable("Message", "You have already added this hash. :)");
// Three U+00A4 CURRENCY SIGN characters, in UTF-8.
inline constexpr const char* kRemovalMarker = "\xC2\xA4\xC2\xA4\xC2\xA4";
inline constexpr const char* kHelpQuestion = Translatable("Message", "Do you need some help?");
inline constexpr const char* kHelpAddress = "https://en.wikipedia.org/wiki/Eighth_note";
inline constexpr int kEasterEggLimit = 30;
inline constexpr const char* kConfirmText = Translatable("Message", "Are you sure?");
inline constexpr const char* kTrackersForText = Translatable("Message", "%1 trackers for \"%2\"");
inline constexpr const char* kEditOneRowText =
    Translatable("Message", "You can only edit one row at a time.");
inline constexpr const char* kNothingToCopyText =
    Translatable("Message", "No magnet link to copy.");
inline constexpr const char* kEditDroppedText = Translatable(
    "Message", "The tracker list was not saved: its torrent is no longer in the list.");
// The column headings, row 0 of the grid (the fixed column has none).
inline constexpr const char* kHeadings[] = {
    "",
    Translatable("Message", "Torrent"),
    Translatable("Message", "Hash"),
    Translatable("Message", "Announce"),
    Translatable("Message", "# Files"),
    Translatable("Message", "Filesize"),
};

class TTorrentList {
public:
    enum class TAddResult { Added, Duplicate, Failed, Skipped };
    // The keys that move the current row.
    enum class TKeyMove { Up, Down, PageUp, PageDown, Home, End };

    explicit TTorrentList(TListHost& Host) : m_Host(Host) {}

    TTorrentGrid& Grid() { return m_Grid; }
    const TTorrentGrid& Grid() const { return m_Grid; }

    // Adds one .torrent file as the new top row; every failure is reported here (error box
    // unless quiet mode, nothing changed), so callers go on with their next file.
    TAddResult AddFile(const std::string& FileName);
    // The same for a file that was read and loaded already (a batch loads ahead).
    TAddResult AddLoaded(TLoadResult Loaded);
    // Adds a row made elsewhere (the same rules as AddFile after loading).
    TAddResult AddRow(TTorrentRow Row);
    // What keeps each added torrent's bytes (none unless set); AddFile and the window's
    // batches hand it every torrent they load.
    void SetKeeper(TKeepTorrent Keep) { m_Keep = std::move(Keep); }
    const TKeepTorrent& Keeper() const { return m_Keep; }
    // While Report is set (a batch of adds runs), adds give no box and no status line of their
    // own: what they come to goes into Report, which the window tells at the batch's end.
    void SetBatchReport(TBatchReport* Report) { m_Batch = Report; }

    // Makes Row the current and only selected row; unless it was current already, the grid
    // reports a click (the status line follows). Returns whether it moved.
    bool SetRow(int Row);
    // The grid's click report: the status line names the current row's tracker count.
    void Click();
    // A selection the user made: the anchor and the current row; reports a click.
    void UserSelect(int Anchor, int Current);
    // A mouse press on Row in the cells, or a drag onto it: Row becomes current, and the
    // anchor too unless Extend (Shift held, or the drag that widens a press). Reports a
    // click every time, also on the row that is current already.
    void MouseSelect(int Row, bool Extend);
    // A key that moves the current row; PageRows is how many rows the view shows. With
    // Extend (Shift held) the anchor stays. A key that cannot move the current row (Down on
    // the last row) does nothing at all; otherwise the move reports a click. Returns whether
    // the current row moved.
    bool KeyMove(TKeyMove Move, bool Extend, int PageRows);

    // The link of Row, as the link contents ask (TRowLinks).
    std::string MagnetLinkOfRow(int Row) const;
    std::string MagnetLinkOfRow(int Row, const TLinkContents& Contents) const {
        return m_Links.Link(Row, Contents);
    }
    const TLinkContents& LinkContents() const { return m_Links.Contents(); }
    void SetLinkContents(TLinkContents Contents) { m_Links.SetContents(std::move(Contents)); }
    // Whether Row's kept torrent is private; read once per hash and remembered.
    bool RowIsPrivate(int Row) const { return m_Links.Private(Row); }
    // What is kept for Hash changed (or, without a hash, for any): it is read again.
    void ForgetKept(const std::string& Hash) { m_Links.Forget(Hash); }
    void ForgetAllKept() { m_Links.ForgetAll(); }
    // Says on the status line that a link holds a private torrent's tracker address, when a
    // row from Top to Bottom that has a link is private; returns whether it did.
    bool TellIfPrivate(int Top, int Bottom) const;
    // Opens the current row's link when it has a name and a hash (double click).
    void DblClick();
    // Opens the link of the first row that holds Hash, as DblClick would on it; nothing when
    // no row holds it any more. The selection is not touched.
    void OpenLinkOfHash(const std::string& Hash);
    void OpenSelected();
    // The links of the selected rows that have a hash, top row first: what copying and
    // dragging the rows give. A row without a hash has no link.
    std::vector<std::string> SelectedLinks() const;
    // Puts SelectedLinks on the clipboard, joined by CR LF. Without any, the clipboard is left
    // alone and the status line says so.
    void CopyToClipboard();
    void Quaverize();
    void KeyPress(char Key);

    void ClearAll();
    // The two steps of ClearAll: the question (none in quiet mode; true to go on), and
    // emptying the list.
    bool ClearAllConfirmed();
    void ClearRows();
    void SelectAll();
    void RemoveSelected();

    // The hashes of the selected rows, top row first, each once; rows without a hash are
    // passed over. What fetching trackers asks for.
    std::vector<std::string> SelectedHashes() const;

    // "&Delete trackers": empties the tracker cell of every selected row.
    void DeleteTrackers();
    // The checks of "&Edit tracker list". A selection of several rows is refused (status
    // line always, a notice unless quiet mode) and an empty current row is passed over
    // silently: both give 0. Otherwise returns the current row, the one the editor edits.
    int EditTrackerListRow();
    // The tracker editor's save: writes Cell into the tracker cell of every data row that
    // holds Hash, wherever those rows are now. Returns false when no row holds it any more
    // (nothing is written then). Rows without a hash count as one torrent, but the empty
    // row of an empty list is none.
    bool SetTrackersOfHash(const std::string& Hash, const std::string& Cell);

    // Writes the column headings into row 0.
    void WriteHeadings();

    // How many times in a row "Quaverize!" was pressed without a selected row.
    int EasterEggCount() const { return m_EasterEgg; }

private:
    int m_EasterEgg = 0;
    // The data rows that hold Hash (row 0, the headings, never does).
    std::vector<int> TorrentRows(const std::string& Hash) const;

    TListHost& m_Host;
    TBatchReport* m_Batch = nullptr;
    TTorrentGrid m_Grid;
    TFileBuffer m_Buffer;
    TKeepTorrent m_Keep;
    // The rows' links; what it remembers of kept torrents changes under const commands.
    mutable TRowLinks m_Links{m_Host, m_Grid};
};

} // namespace lintervale

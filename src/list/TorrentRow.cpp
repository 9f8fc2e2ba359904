#include "list/TorrentRow.h"

#include "trackers/TrackerCell.h"

namespace lintervale {

std::string SizeText(std::int64_t Length) {
    constexpr std::uint64_t unit = 1u << 20;
    const bool negative = Length < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(Length) : static_cast<std::uint64_t>(Length);
    std::uint64_t whole = magnitude / unit;
    const std::uint64_t rest = magnitude % unit;
    if (rest > unit / 2 || (rest == unit / 2 && whole % 2 == 1)) {
        ++whole;
    }
    std::string text = negative && whole != 0 ? "-" : "";
    text += std::to_string(whole);
    text += " MB";
    return text;
}

TTorrentRow MakeTorrentRow(const TTorrentFile& Torrent) {
    TTorrentRow row;
    row.Name = Torrent.Name();
    for (char& c : row.Name) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    row.Hash = Torrent.Hash();
    row.Trackers = WriteTrackerCell(Torrent.Trackers());
    row.Files = std::to_string(Torrent.Count());
    row.Size = SizeText(Torrent.Length());
    return row;
}

TTorrentRow LoadTorrentRow(const std::string& FileName, TFileBuffer& Buffer) {
    Buffer.ReadWholeFile(FileName);
    TTorrentFile torrent;
    torrent.Load(Buffer.View());
    return MakeTorrentRow(torrent);
}

TTorrentRow LoadTorrentRow(const std::string& FileName) {
    TFileBuffer buffer;
    return LoadTorrentRow(FileName, buffer);
}

} // namespace lintervale

#include "list/TorrentRow.h"

#include "metainfo/TorrentDetails.h"
#include "trackers/TrackerCell.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace lintervale {

namespace {

bool IsControlByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

bool HasControlByte(const std::string& Text) {
    return std::any_of(Text.begin(), Text.end(), IsControlByte);
}

} // namespace

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

std::string SpacesForControlBytes(std::string Text) {
    std::replace_if(Text.begin(), Text.end(), IsControlByte, ' ');
    return Text;
}

std::string NewTrackerCell(const std::vector<std::string>& Trackers) {
    if (std::none_of(Trackers.begin(), Trackers.end(), HasControlByte)) {
        return WriteTrackerCell(Trackers);
    }
    // Trackers that differed only in their control bytes are now one.
    std::vector<std::string> cleaned;
    std::unordered_set<std::string> seen;
    for (const std::string& tracker : Trackers) {
        std::string text = SpacesForControlBytes(tracker);
        if (seen.insert(text).second) {
            cleaned.push_back(std::move(text));
        }
    }
    return WriteTrackerCell(cleaned);
}

TTorrentRow MakeTorrentRow(const TTorrentFile& Torrent) {
    TTorrentRow row;
    row.Name = SpacesForControlBytes(Torrent.Name());
    row.Hash = Torrent.Hash();
    row.Trackers = NewTrackerCell(Torrent.Trackers());
    row.Files = std::to_string(Torrent.Count());
    row.Size = SizeText(Torrent.Length());
    return row;
}

TLinkFacts LinkFactsOf(const TTorrentRow& Row, const TTorrentFile& Torrent) {
    return {.Hash = Row.Hash,
            .HashV2 = Torrent.V2Only() ? std::string_view() : Torrent.HashV2(),
            .Name = Row.Name,
            .TrackerCell = Row.Trackers,
            .WebSeeds = ReadWebSeeds(Torrent),
            .Length = Torrent.Length()};
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

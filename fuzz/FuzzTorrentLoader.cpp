// Bytes in as a .torrent file: a refusal must be ETorrentFileError and nothing else, and an
// accepted file must make a well-formed row and magnet link.

#include "FuzzCheck.h"
#include "digests/SHA1.h"
#include "list/TorrentRow.h"
#include "magnet/MagnetLink.h"
#include "metainfo/TorrentDetails.h"
#include "metainfo/TorrentFile.h"
#include "trackers/TrackerCell.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace lintervale;

namespace {

std::string Sha1Of(std::string_view bytes, TSHA1::TImplementation implementation) {
    TSHA1::SetImplementation(implementation);
    TSHA1 digest;
    digest.TransformString(bytes);
    digest.Complete();
    TSHA1::SetImplementation(TSHA1::TImplementation::Accelerated);
    return digest.HashValue();
}

// Whether the bytes load; a refusal must be ETorrentFileError with the one message and a
// cause in words.
bool Loads(TTorrentFile& torrent, std::string_view bytes) {
    try {
        return torrent.Load(bytes);
    } catch (const ETorrentFileError& error) {
        CHECK(std::string_view(error.what()) == kCorruptMetainfo);
        CHECK(error.Cause().Code != TCauseCode::None && !DescribeCause(error.Cause()).empty());
        return false;
    } catch (...) {
        CHECK(!"an exception other than ETorrentFileError escaped Load");
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    // Both block compressions must agree on any message.
    CHECK(Sha1Of(bytes, TSHA1::TImplementation::Portable) ==
          Sha1Of(bytes, TSHA1::TImplementation::Accelerated));

    // A model loads again over its own earlier document, with the same outcome; the
    // checks below look at the second load.
    TTorrentFile torrent;
    const bool loaded = Loads(torrent, bytes);
    CHECK(Loads(torrent, bytes) == loaded);
    if (!loaded) {
        return 0;
    }

    // A SHA-1 names a torrent in 40 digits, a v2-only torrent's SHA-256 in 64.
    const std::string& hash = torrent.Hash();
    CHECK(hash.size() == (torrent.V2Only() ? 64u : 40u));
    CHECK(hash.find_first_not_of("0123456789abcdef") == std::string::npos);
    CHECK(torrent.Count() >= 0);
    CHECK(torrent.Multifile() || torrent.Count() == 1);
    // The files the details view lists from a v1 file list are the files the row counts, with
    // their lengths; a single-file torrent lists its one file.
    std::int32_t visited = 0;
    std::int32_t listed = 0;
    std::uint64_t size = 0;
    VisitContents(torrent, [&](const TContentFile& file) {
        ++visited;
        if (!file.Padding()) {
            ++listed;
            size += static_cast<std::uint64_t>(file.Length);
        }
    });
    if (!torrent.Multifile()) {
        CHECK(visited == 1);
    } else if (!torrent.V2Only()) {
        CHECK(listed == torrent.Count() && static_cast<std::int64_t>(size) == torrent.Length());
    }
    const std::vector<std::string>& trackers = torrent.Trackers();
    for (auto tracker = trackers.begin(); tracker != trackers.end(); ++tracker) {
        CHECK(!tracker->empty() && std::find(trackers.begin(), tracker, *tracker) == tracker);
    }

    const TTorrentRow row = MakeTorrentRow(torrent);
    const auto isControl = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
    CHECK(std::none_of(row.Name.begin(), row.Name.end(), isControl) && row.Hash == hash);
    CHECK(std::none_of(row.Trackers.begin(), row.Trackers.end(), isControl));
    const std::string link = MagnetLinkOfRow(row.Name, row.Hash, row.Trackers);
    const char* scheme = torrent.V2Only() ? "magnet:?xt=urn:btmh:1220" : "magnet:?xt=urn:btih:";
    CHECK(link.starts_with(scheme + hash + "&dn="));
    // Only letters, digits, the separators the encoder keeps and "%XX" escapes remain; "&"
    // only between parameters, "#" and "+" never.
    CHECK(link.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                 "!$&'()*,-./:;=?@%") == std::string::npos);
    for (auto i = link.find('&'); i != std::string::npos; i = link.find('&', i + 1)) {
        CHECK(link.compare(i, 4, "&dn=") == 0 || link.compare(i, 4, "&tr=") == 0);
    }
    for (auto i = link.find('%'); i != std::string::npos; i = link.find('%', i + 1)) {
        CHECK(i + 2 < link.size() &&
              link.substr(i + 1, 2).find_first_not_of("0123456789ABCDEF") == std::string::npos);
    }
    // The cell quotes each tracker as it is, so trackers without a quote or a control byte
    // read back.
    const bool plain = std::none_of(trackers.begin(), trackers.end(), [&](const std::string& t) {
        return t.find('"') != std::string::npos || std::any_of(t.begin(), t.end(), isControl);
    });
    CHECK(!plain || ReadTrackerCell(row.Trackers) == trackers);
    return 0;
}

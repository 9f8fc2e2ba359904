#pragma once

// Small torrents written out in bencode for the metainfo tests.

#include "digests/SHA1.h"
#include "metainfo/Cause.h"
#include "metainfo/TorrentFile.h"

#include <string>
#include <string_view>

namespace lintervale::testing {

inline const std::string kPieces = "12345678901234567890abcdefghijklmnopqrst";

inline std::string Bytes(const std::string& s) {
    return std::to_string(s.size()) + ":" + s;
}

inline std::string Sha1Of(std::string_view bytes) {
    TSHA1 digest;
    digest.TransformString(bytes);
    digest.Complete();
    return digest.HashValue();
}

// A torrent around the given info body (the keys inside "d...e").
inline std::string Torrent(const std::string& infoBody,
                           const std::string& before = "d8:announce3:url") {
    return before + "4:infod" + infoBody + "ee";
}

inline std::string SingleInfo(const std::string& length = "i1000e") {
    return "6:length" + length + "4:name4:file12:piece lengthi16384e6:pieces" + Bytes(kPieces);
}

// The cause in words of the data's refusal, or "(loaded)". A refusal must carry the one
// message.
inline std::string CauseOf(std::string_view data) {
    TTorrentFile torrent;
    try {
        torrent.Load(data);
    } catch (const ETorrentFileError& e) {
        return e.what() == kCorruptMetainfo ? DescribeCause(e.Cause()) : "(another message)";
    }
    return "(loaded)";
}

// " at byte N", N the offset of the first occurrence of what in data.
inline std::string AtByteOf(const std::string& data, const std::string& what) {
    return " at byte " + WithThousands(static_cast<std::int64_t>(data.find(what)));
}

} // namespace lintervale::testing

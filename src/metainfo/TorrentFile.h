#pragma once

// The torrent model: loads a .torrent file's metainfo, checks the parts the list needs,
// counts the file entries and their size and computes the info hash over the "info" value's
// bytes exactly as they stand in the file (never over a re-encoding).
//
// Beyond the classic format it reads what today's tools write: "announce" may be missing
// (trackerless torrents, or trackers only in "announce-list"); Trackers() joins "announce"
// and the tiers of "announce-list" (BEP 12); "name.utf-8" is the name when present; and a
// BitTorrent v2 torrent (BEP 52: "meta version" 2, a "file tree", no "pieces") loads with
// the SHA-256 of its info value as its hash, 64 hexadecimal digits. A hybrid torrent, v1 and
// v2 in one info dictionary, keeps its v1 (SHA-1) hash. A file entry whose "attr" holds 'p'
// is padding (BEP 47): it needs no path and counts neither as a file nor in the size; one
// whose "attr" holds 'l' is a symbolic link, which may lack a length and then counts 0.
//
// Load raises ETorrentFileError with kCorruptMetainfo for every failure inside it, whatever
// the step; Cause() says which, with the byte offset or the file entry where one applies.
// Text fields are the metainfo's bytes, unconverted.
//
// The loader keeps the decoded document in compact form (BDocument.h). Document() and
// Pieces() read the bytes given to Load: keep those alive while calling them. The other fields
// are copies. The files themselves, with their paths and attributes, are read from the
// document when wanted (VisitContents, TorrentDetails.h). A model is used by one thread at a
// time.

#include "messages/Message.h"
#include "metainfo/BDocument.h"
#include "metainfo/ByteStream.h"
#include "metainfo/Cause.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

inline constexpr std::string_view kCorruptMetainfo = Translatable(
    "Message", "Something bad happened while trying to load the file, probably corrupt metainfo.");

class ETorrentFileError : public std::runtime_error {
public:
    explicit ETorrentFileError(const TLoadCause& Cause)
        : std::runtime_error(std::string(kCorruptMetainfo)), m_Cause(Cause) {}
    const TLoadCause& Cause() const { return m_Cause; }

private:
    TLoadCause m_Cause;
};

class TTorrentFile {
public:
    TTorrentFile();
    ~TTorrentFile();
    TTorrentFile(const TTorrentFile&) = delete;
    TTorrentFile& operator=(const TTorrentFile&) = delete;

    void Clear();
    // Loads from the stream's current position; returns true or raises ETorrentFileError.
    bool Load(TByteStream& Stream);
    bool Load(std::string_view Bytes);

    const std::string& Announce() const { return m_Announce; }
    // The non-empty "announce", then every non-empty tracker of "announce-list" in tier
    // order, each once. A malformed "announce-list" (not a list of lists) is ignored where it
    // is malformed: a tier that is no list and an entry that is no string are skipped.
    const std::vector<std::string>& Trackers() const { return m_Trackers; }
    // Whether the torrent is BitTorrent v2 only (its hash is a SHA-256).
    bool V2Only() const { return m_V2Only; }
    // The v2 info hash (SHA-256, 64 lowercase hexadecimal digits) of a v2-only or hybrid
    // torrent (one whose info dictionary says "meta version" 2 and holds a "file tree");
    // empty for a v1 torrent.
    const std::string& HashV2() const { return m_V2Only ? m_InfoHash : m_HashV2; }
    // The v1 info hash; empty for a v2-only torrent.
    const std::string& HashV1() const { return m_V2Only ? m_HashV2 : m_InfoHash; }
    // The decoded document and the record of its "info" dictionary (kNone before a load).
    // Both read the bytes given to Load.
    const TBDocument& Document() const { return m_Document; }
    std::uint32_t InfoRecord() const { return m_Info; }
    const std::string& Name() const { return m_Name; }
    // The size of the files, padding not included.
    std::int64_t Length() const { return m_Length; }
    // The number of files, padding not included.
    std::int32_t Count() const { return m_Count; }
    // The info hash as lowercase hexadecimal digits (40 for SHA-1, 64 for a v2-only
    // torrent's SHA-256); empty until a load computed it.
    const std::string& Hash() const { return m_InfoHash; }
    std::int32_t PieceLength() const { return m_PieceLength; }
    bool Multifile() const { return m_Multifile; }
    // The concatenated 20-byte piece hashes of a v1 or hybrid torrent, a view of the loaded
    // bytes; empty for a v2-only torrent.
    std::string_view Pieces() const { return m_Pieces; }

private:
    void LoadSteps(TByteStream& Stream);
    void LoadTrackers(std::uint32_t Root);
    void LoadFiles(std::uint32_t Info);
    void LoadHash(std::uint32_t Root);

    TBDocument m_Document;
    std::string m_Announce;
    std::vector<std::string> m_Trackers;
    std::string m_Name;
    std::int64_t m_Length = 0;
    std::int32_t m_Count = 0;
    std::string m_InfoHash;
    std::string m_HashV2; // a hybrid's SHA-256 (empty otherwise)
    std::string_view m_Pieces;
    std::uint32_t m_Info = TBDocument::kNone;
    bool m_Hybrid = false;
    std::int32_t m_PieceLength = 0;
    bool m_Multifile = false;
    bool m_V2Only = false;
};

} // namespace lintervale

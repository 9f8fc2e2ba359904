#include "metainfo/TorrentFile.h"

#include "digests/SHA1.h"
#include "digests/SHA256.h"
#include "metainfo/BDecode.h"
#include "metainfo/FileTree.h"

#include <algorithm>
#include <new>

namespace lintervale {

namespace {

constexpr std::uint32_t kNone = TBDocument::kNone;

[[noreturn]] void Fail(const TLoadCause& cause) {
    throw ETorrentFileError(cause);
}

[[noreturn]] void FailWrongType(const TBDocument& document, std::uint32_t item, const char* key,
                                TValueKind expected, std::int64_t index = -1,
                                TCauseCode code = TCauseCode::WrongType) {
    Fail({.Code = code,
          .Offset = document[item].Offset(),
          .Index = index,
          .Key = key,
          .Found = document.KindOf(item),
          .Expected = expected});
}

// The item read as a string or a number: a list or dictionary where a scalar belongs fails
// the load; a scalar of the other kind passes (its string is empty, its number 0).
std::uint32_t ScalarOf(const TBDocument& document, std::uint32_t item, const char* key,
                       TValueKind expected, std::int64_t index = -1) {
    if (!document.IsScalar(item)) {
        FailWrongType(document, item, key, expected, index);
    }
    return item;
}

std::string_view StringOf(const TBDocument& document, std::uint32_t item, const char* key) {
    return document.Text(ScalarOf(document, item, key, TValueKind::String));
}

std::int64_t NumberOf(const TBDocument& document, std::uint32_t item, const char* key,
                      std::int64_t index = -1) {
    return document.Number(ScalarOf(document, item, key, TValueKind::Integer, index));
}

std::uint32_t ContainerOf(const TBDocument& document, std::uint32_t item, const char* key,
                          TValueKind expected, std::int64_t index = -1) {
    if (document.KindOf(item) != expected) {
        FailWrongType(document, item, key, expected, index);
    }
    return item;
}

// Sums in 64 bits, wrapping instead of overflowing as a hostile file could make it.
std::int64_t WrappingAdd(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

template <typename TDigest> std::string DigestOf(std::string_view bytes) {
    TDigest digest;
    digest.TransformString(bytes);
    digest.Complete();
    return digest.HashValue();
}

// One entry of "files" as the loader reads it.
struct TFileEntry {
    std::int64_t Length = 0;
    bool Padding = false;
};

TFileEntry ReadFileEntry(const TBDocument& document, std::uint32_t entry, std::int64_t index) {
    if (document.KindOf(entry) != TValueKind::Dictionary) {
        FailWrongType(document, entry, "", TValueKind::Dictionary, index,
                      TCauseCode::FileNotDictionary);
    }
    // One pass over the members; a repeated key keeps its last value.
    std::uint32_t length = kNone;
    std::uint32_t path = kNone;
    std::string_view attributes;
    for (std::uint32_t key = document.First(entry); key != document.End(entry);) {
        const std::uint32_t value = document.Next(key);
        const std::string_view name = document.Text(key);
        if (name == "length") {
            length = value;
        } else if (name == "path") {
            path = value;
        } else if (name == "attr") {
            attributes = document.Text(value);
        }
        key = document.Next(value);
    }
    TFileEntry file;
    file.Padding = attributes.find('p') != std::string_view::npos;
    const bool link = attributes.find('l') != std::string_view::npos;
    if (length != kNone) {
        file.Length = NumberOf(document, length, "length", index);
    } else if (!link) {
        Fail({.Code = TCauseCode::FileWithoutLength, .Index = index});
    }
    if (file.Padding) {
        return file;
    }
    if (path == kNone) {
        Fail({.Code = TCauseCode::FileWithoutPath, .Index = index});
    }
    ContainerOf(document, path, "path", TValueKind::List, index);
    for (std::uint32_t part = document.First(path); part != document.End(path);
         part = document.Next(part)) {
        if (!document.IsScalar(part)) {
            FailWrongType(document, part, "path", TValueKind::String, index,
                          TCauseCode::PathElementWrongType);
        }
    }
    return file;
}

} // namespace

TTorrentFile::TTorrentFile() = default;
TTorrentFile::~TTorrentFile() = default;

void TTorrentFile::Clear() {
    m_Document.Clear();
    m_Announce.clear();
    m_Trackers.clear();
    m_Name.clear();
    m_InfoHash.clear();
    m_HashV2.clear();
    m_Info = kNone;
    m_Hybrid = false;
    m_Length = 0;
    m_Count = 0;
    m_Pieces = std::string_view();
    m_PieceLength = 0;
    m_Multifile = false;
    m_V2Only = false;
}

bool TTorrentFile::Load(std::string_view Bytes) {
    TByteStream stream(Bytes);
    return Load(stream);
}

bool TTorrentFile::Load(TByteStream& Stream) {
    Clear();
    try {
        LoadSteps(Stream);
    } catch (const ETorrentFileError&) {
        throw;
    } catch (const EBDecodeError& error) {
        Fail(error.Cause());
    } catch (const std::bad_alloc&) {
        Fail({.Code = TCauseCode::OutOfMemory});
    }
    return true;
}

void TTorrentFile::LoadSteps(TByteStream& Stream) {
    const std::size_t start = Stream.Position();
    Stream.Seek(m_Document.Decode(Stream.Bytes(), start));
    if (m_Document.Size() == 0) {
        Fail(start < Stream.Size() ? TLoadCause{.Code = TCauseCode::NotBencoded,
                                                .Offset = static_cast<std::int64_t>(start)}
                                   : TLoadCause{.Code = TCauseCode::EmptyData});
    }
    const std::uint32_t root = 0;
    if (m_Document.KindOf(root) != TValueKind::Dictionary) {
        Fail({.Code = TCauseCode::TopLevelNotDictionary, .Found = m_Document.KindOf(root)});
    }

    LoadTrackers(root);

    const std::uint32_t infoItem = m_Document.Find(root, "info");
    if (infoItem == kNone) {
        Fail({.Code = TCauseCode::NoInfo});
    }
    const std::uint32_t info = ContainerOf(m_Document, infoItem, "info", TValueKind::Dictionary);
    m_Info = info;

    const std::uint32_t name = m_Document.Find(info, "name");
    if (name == kNone) {
        Fail({.Code = TCauseCode::MissingKey, .Key = "name"});
    }
    m_Name = StringOf(m_Document, name, "name");
    const std::uint32_t utf8Name = m_Document.Find(info, "name.utf-8");
    if (utf8Name != kNone && m_Document[utf8Name].Kind() == TBKind::String &&
        !m_Document.Text(utf8Name).empty()) {
        m_Name = m_Document.Text(utf8Name);
    }

    const std::uint32_t pieceLength = m_Document.Find(info, "piece length");
    if (pieceLength == kNone) {
        Fail({.Code = TCauseCode::MissingKey, .Key = "piece length"});
    }
    m_PieceLength = static_cast<std::int32_t>(NumberOf(m_Document, pieceLength, "piece length"));

    LoadFiles(info);
    LoadHash(root);
}

void TTorrentFile::LoadTrackers(std::uint32_t Root) {
    const std::uint32_t announce = m_Document.Find(Root, "announce");
    if (announce != kNone) {
        m_Announce = StringOf(m_Document, announce, "announce");
    }
    const auto add = [this](std::string_view tracker) {
        if (!tracker.empty() &&
            std::find(m_Trackers.begin(), m_Trackers.end(), tracker) == m_Trackers.end()) {
            m_Trackers.emplace_back(tracker);
        }
    };
    add(m_Announce);
    const std::uint32_t tiers = m_Document.Find(Root, "announce-list");
    if (tiers == kNone || m_Document.KindOf(tiers) != TValueKind::List) {
        return;
    }
    for (std::uint32_t tier = m_Document.First(tiers); tier != m_Document.End(tiers);
         tier = m_Document.Next(tier)) {
        if (m_Document.KindOf(tier) != TValueKind::List) {
            continue;
        }
        for (std::uint32_t tracker = m_Document.First(tier); tracker != m_Document.End(tier);
             tracker = m_Document.Next(tracker)) {
            if (m_Document[tracker].Kind() == TBKind::String) {
                add(m_Document.Text(tracker));
            }
        }
    }
}

void TTorrentFile::LoadFiles(std::uint32_t Info) {
    const std::uint32_t pieces = m_Document.Find(Info, "pieces");
    if (pieces == kNone) {
        // BitTorrent v2 only: no piece hashes in the info dictionary, a file tree instead.
        const std::uint32_t version = m_Document.Find(Info, "meta version");
        const std::uint32_t tree = m_Document.Find(Info, "file tree");
        if (version == kNone || m_Document[version].Kind() != TBKind::Integer ||
            m_Document.Number(version) != 2 || tree == kNone ||
            m_Document.KindOf(tree) != TValueKind::Dictionary) {
            Fail({.Code = TCauseCode::MissingKey, .Key = "pieces"});
        }
        const TFileTreeSummary summary = SummarizeFileTree(m_Document, tree);
        m_V2Only = true;
        m_Multifile = true;
        m_Count = summary.Count;
        m_Length = summary.Length;
        return;
    }
    m_Pieces = StringOf(m_Document, pieces, "pieces");
    // A hybrid torrent: v1 piece hashes and a v2 file tree in one info dictionary.
    const std::uint32_t version = m_Document.Find(Info, "meta version");
    m_Hybrid = version != kNone && m_Document[version].Kind() == TBKind::Integer &&
               m_Document.Number(version) == 2 && m_Document.Find(Info, "file tree") != kNone;

    std::int64_t total = 0;
    if (const std::uint32_t length = m_Document.Find(Info, "length"); length != kNone) {
        total = NumberOf(m_Document, length, "length");
        m_Count = 1;
    } else if (const std::uint32_t files = m_Document.Find(Info, "files"); files != kNone) {
        m_Multifile = true;
        ContainerOf(m_Document, files, "files", TValueKind::List);
        std::int64_t index = 0;
        for (std::uint32_t entry = m_Document.First(files); entry != m_Document.End(files);
             entry = m_Document.Next(entry), ++index) {
            const TFileEntry file = ReadFileEntry(m_Document, entry, index);
            if (!file.Padding) {
                ++m_Count;
                total = WrappingAdd(total, file.Length);
            }
        }
    } else {
        Fail({.Code = TCauseCode::NoLengthNorFiles});
    }
    m_Length = total;
}

void TTorrentFile::LoadHash(std::uint32_t Root) {
    const std::uint32_t startMarker = m_Document.Find(Root, "_info_start");
    const std::uint32_t lengthMarker = m_Document.Find(Root, "_info_length");
    if (startMarker == kNone || lengthMarker == kNone) {
        return;
    }
    // The markers are read as signed 32-bit numbers; a file can overwrite them with its own
    // members, so they are checked against the data before any byte is read.
    const auto start = static_cast<std::int32_t>(NumberOf(m_Document, startMarker, "_info_start"));
    const auto length =
        static_cast<std::int32_t>(NumberOf(m_Document, lengthMarker, "_info_length"));
    const std::string_view bytes = m_Document.Data();
    if (start < 0 || length < 0 || static_cast<std::size_t>(start) > bytes.size() ||
        static_cast<std::size_t>(length) > bytes.size() - static_cast<std::size_t>(start)) {
        Fail({.Code = TCauseCode::InfoOutsideFile});
    }
    const std::string_view info =
        bytes.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
    m_InfoHash = m_V2Only ? DigestOf<TSHA256>(info) : DigestOf<TSHA1>(info);
    if (m_Hybrid) {
        m_HashV2 = DigestOf<TSHA256>(info);
    }
}

} // namespace lintervale

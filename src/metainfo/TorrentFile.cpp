#include "metainfo/TorrentFile.h"

#include "digests/SHA1.h"
#include "digests/SHA256.h"
#include "metainfo/BDecode.h"
#include "metainfo/FileTree.h"
#include "metainfo/InfoHasher.h"

#include <algorithm>

namespace lintervale {

namespace {

[[noreturn]] void Fail(std::string reason) {
    throw ETorrentFileError(std::move(reason));
}

// The item of a key as a scalar. A list or dictionary where a scalar belongs fails the load;
// a scalar of the other kind passes (its string is empty, its number 0).
const TIntString& ScalarOf(const TObject* item, std::string_view key) {
    const auto* scalar = As<TIntString>(item);
    if (scalar == nullptr) {
        Fail("Corrupt File: \"" + std::string(key) + "\" is not a string or a number.");
    }
    return *scalar;
}

template <typename T> const T& ContainerOf(const TObject* item, std::string_view key) {
    const auto* typed = As<T>(item);
    if (typed == nullptr) {
        Fail("Corrupt File: \"" + std::string(key) + "\" has the wrong type.");
    }
    return *typed;
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

std::string FileEntry(std::size_t index) {
    return "files[" + std::to_string(index) + "]";
}

} // namespace

TTorrentFile::TTorrentFile() : m_Files(&m_Arena) {
    ResetTree();
}
TTorrentFile::~TTorrentFile() {
    if (m_Tree && m_Tree->Placed()) {
        (void)m_Tree.release(); // see ResetTree
    }
}

void TTorrentFile::ResetTree() {
    if (m_Tree && m_Tree->Placed()) {
        // Every byte of a decoded tree lies in the arena: dropping the arena frees it all,
        // without a destructor call for each of a large torrent's many thousand values.
        (void)m_Tree.release();
    }
    m_Tree.reset();
    m_Arena.Release();
    m_Tree.reset(new TObjectHash());
}

void TTorrentFile::Clear() {
    m_Announce.clear();
    m_Trackers.clear();
    m_Name.clear();
    m_InfoHash.clear();
    m_Length = 0;
    m_Count = 0;
    // The entries' storage lies in the arena that ResetTree releases: let go of it first.
    std::pmr::vector<TTorrentSubFile>(&m_Arena).swap(m_Files);
    ResetTree();
    Pieces = std::string_view();
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
    } catch (const std::exception& error) {
        Fail(error.what());
    }
    return true;
}

void TTorrentFile::LoadSteps(TByteStream& Stream) {
    TInfoHasher hasher(Stream.Bytes());
    TBDecoder decoder(Stream, &m_Arena, &hasher);
    TObjectPtr decoded = decoder.BDecodeValue();
    if (!decoded) {
        Fail("Error parsing file; does not appear to be valid bencoded metainfo.");
    }
    if (As<TObjectHash>(decoded.get()) == nullptr) {
        Fail("Corrupt File: the top-level value is not a dictionary.");
    }
    m_Tree = std::move(decoded);
    const TObjectHash& tree = Tree();

    LoadTrackers(tree);

    const TObject* infoItem = tree.Find("info");
    if (infoItem == nullptr) {
        Fail("Corrupt File: Missing \"info\" segment.");
    }
    const auto& info = ContainerOf<TObjectHash>(infoItem, "info");

    const TObject* name = info.Find("name");
    if (name == nullptr) {
        Fail("Corrupt File: Missing \"info.name\" segment.");
    }
    m_Name = ScalarOf(name, "name").StringPart;
    const auto* utf8Name = As<TIntString>(info.Find("name.utf-8"));
    if (utf8Name != nullptr && utf8Name->ISType == TISType::tisString &&
        !utf8Name->StringPart.empty()) {
        m_Name = utf8Name->StringPart;
    }

    const TObject* pieceLength = info.Find("piece length");
    if (pieceLength == nullptr) {
        Fail("Corrupt File: Missing \"info.piece length\" segment.");
    }
    m_PieceLength = static_cast<std::int32_t>(ScalarOf(pieceLength, "piece length").IntPart);

    LoadFiles(info);

    const TObject* startMarker = tree.Find("_info_start");
    const TObject* lengthMarker = tree.Find("_info_length");
    if (startMarker != nullptr && lengthMarker != nullptr) {
        // The markers are read as signed 32-bit numbers; a file can overwrite them with its
        // own members, so they are checked against the data before any byte is read.
        const auto start = static_cast<std::int32_t>(ScalarOf(startMarker, "_info_start").IntPart);
        const auto length =
            static_cast<std::int32_t>(ScalarOf(lengthMarker, "_info_length").IntPart);
        const std::string_view bytes = Stream.Bytes();
        if (start < 0 || length < 0 || static_cast<std::size_t>(start) > bytes.size() ||
            static_cast<std::size_t>(length) > bytes.size() - static_cast<std::size_t>(start)) {
            Fail("Stream read error");
        }
        const std::string_view infoBytes =
            bytes.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
        std::optional<std::string> early;
        if (!m_V2Only) {
            early =
                hasher.Result(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
        }
        m_InfoHash = early      ? *early
                     : m_V2Only ? DigestOf<TSHA256>(infoBytes)
                                : DigestOf<TSHA1>(infoBytes);
    }
}

void TTorrentFile::LoadTrackers(const TObjectHash& Tree) {
    if (const TObject* announce = Tree.Find("announce")) {
        m_Announce = ScalarOf(announce, "announce").StringPart;
    }
    const auto add = [this](std::string_view tracker) {
        if (!tracker.empty() &&
            std::find(m_Trackers.begin(), m_Trackers.end(), tracker) == m_Trackers.end()) {
            m_Trackers.emplace_back(tracker);
        }
    };
    add(m_Announce);
    const auto* tiers = As<TObjectList>(Tree.Find("announce-list"));
    if (tiers == nullptr) {
        return;
    }
    for (const TObjectPtr& tierItem : tiers->Items) {
        const auto* tier = As<TObjectList>(tierItem.get());
        if (tier == nullptr) {
            continue;
        }
        for (const TObjectPtr& trackerItem : tier->Items) {
            const auto* tracker = As<TIntString>(trackerItem.get());
            if (tracker != nullptr && tracker->ISType == TISType::tisString) {
                add(tracker->StringPart);
            }
        }
    }
}

void TTorrentFile::LoadFiles(const TObjectHash& Info) {
    const TObject* pieces = Info.Find("pieces");
    if (pieces == nullptr) {
        // BitTorrent v2 only: no piece hashes in the info dictionary, a file tree instead.
        const auto* version = As<TIntString>(Info.Find("meta version"));
        const auto* tree = As<TObjectHash>(Info.Find("file tree"));
        if (version == nullptr || version->ISType != TISType::tisInt || version->IntPart != 2 ||
            tree == nullptr) {
            Fail("Corrupt File: Missing \"info.pieces\" segment.");
        }
        const TFileTreeSummary summary = SummarizeFileTree(*tree);
        m_V2Only = true;
        m_Multifile = true;
        m_Count = summary.Count;
        m_Length = summary.Length;
        return;
    }
    Pieces = ScalarOf(pieces, "pieces").StringPart;

    std::int64_t total = 0;
    if (const TObject* length = Info.Find("length")) {
        total = ScalarOf(length, "length").IntPart;
        m_Count = 1;
        m_Files.emplace_back(m_Name, std::string(), total, 0);
    } else if (const TObject* filesItem = Info.Find("files")) {
        m_Multifile = true;
        const auto& files = ContainerOf<TObjectList>(filesItem, "info.files");
        m_Files.reserve(files.Items.size());
        for (std::size_t i = 0; i < files.Items.size(); ++i) {
            const auto* entry = As<TObjectHash>(files.Items[i].get());
            if (entry == nullptr) {
                Fail("Corrupt File: " + FileEntry(i) + " is not a dictionary.");
            }
            const TObject* fileLength = entry->Find("length");
            if (fileLength == nullptr) {
                Fail("Corrupt File: " + FileEntry(i) + " is missing a \"length\" segment.");
            }
            const std::int64_t length = ScalarOf(fileLength, "length").IntPart;
            const TObject* pathItem = entry->Find("path");
            if (pathItem == nullptr) {
                Fail("Corrupt File: " + FileEntry(i) + " is missing a \"path\" segment.");
            }
            const auto& path = ContainerOf<TObjectList>(pathItem, "path");
            std::string folders;
            std::string_view fileName;
            for (std::size_t p = 0; p < path.Items.size(); ++p) {
                const std::string_view part = ScalarOf(path.Items[p].get(), "path").StringPart;
                if (p + 1 < path.Items.size()) {
                    folders += part;
                    folders += '\\';
                } else {
                    fileName = part;
                }
            }
            m_Files.emplace_back(std::string(fileName), std::move(folders), length, total);
            total = WrappingAdd(total, length);
        }
        m_Count = static_cast<std::int32_t>(files.Items.size());
    } else {
        Fail("Corrupt File: Missing both \"info.length\" and \"info.files\" segments (should have "
             "one or the other).");
    }
    m_Length = total;
}

std::string TTorrentFile::GetPiece(std::int64_t Index) const {
    if (Index < 0 || static_cast<std::uint64_t>(Index) >= Pieces.size() / 20 + 1) {
        return std::string();
    }
    const auto start = static_cast<std::size_t>(Index) * 20;
    return start >= Pieces.size() ? std::string() : std::string(Pieces.substr(start, 20));
}

} // namespace lintervale

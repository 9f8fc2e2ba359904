#include "metainfo/TorrentFile.h"

#include "digests/SHA1.h"
#include "metainfo/BDecode.h"

namespace lintervale {

namespace {

// Reads an item as a scalar: a list or dictionary where a scalar belongs fails the load.
const TIntString& Scalar(const TObject* item, const char* what) {
    const auto* scalar = dynamic_cast<const TIntString*>(item);
    if (scalar == nullptr) {
        throw ETorrentFileError(std::string("Corrupt File: \"") + what + "\" is not a scalar.");
    }
    return *scalar;
}

const std::string& StringOf(const TObjectHash& table, const char* key) {
    return Scalar(table.GetItem(key), key).StringPart;
}

std::int64_t NumberOf(const TObjectHash& table, const char* key) {
    return Scalar(table.GetItem(key), key).IntPart;
}

template <typename T> const T& ItemAs(const TObject* item, const std::string& what) {
    const auto* typed = dynamic_cast<const T*>(item);
    if (typed == nullptr) {
        throw ETorrentFileError("Corrupt File: \"" + what + "\" has the wrong type.");
    }
    return *typed;
}

// Sums in 64 bits, wrapping instead of overflowing as a hostile file could make it.
std::int64_t WrappingAdd(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

} // namespace

TTorrentFile::TTorrentFile() : _Tree(std::make_unique<TObjectHash>()) {}
TTorrentFile::~TTorrentFile() = default;

void TTorrentFile::Clear() {
    _Announce.clear();
    _Name.clear();
    _SHA1Hash.clear();
    _Length = 0;
    _Count = 0;
    _Files.clear();
    _Tree->Clear();
    Pieces.clear();
    _PieceLength = 0;
    _Multifile = false;
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
        throw ETorrentFileError(error.what());
    }
    return true;
}

void TTorrentFile::LoadSteps(TByteStream& Stream) {
    std::int64_t total = 0;

    std::unique_ptr<TObject> decoded = BDecodeValue(Stream);
    if (!decoded) {
        throw ETorrentFileError("Error parsing file; does not appear to be valid bencoded metainfo.");
    }
    auto* tree = dynamic_cast<TObjectHash*>(decoded.get());
    if (tree == nullptr) {
        throw ETorrentFileError("Corrupt File: the top-level value is not a dictionary.");
    }
    (void)decoded.release();
    _Tree.reset(tree);

    if (!tree->Exists("announce")) {
        throw ETorrentFileError("Corrupt File: Missing \"announce\" segment.");
    }
    _Announce = StringOf(*tree, "announce");

    if (!tree->Exists("info")) {
        throw ETorrentFileError("Corrupt File: Missing \"info\" segment.");
    }
    const auto& info = ItemAs<TObjectHash>(tree->GetItem("info"), "info");

    if (!info.Exists("name")) {
        throw ETorrentFileError("Corrupt File: Missing \"info.name\" segment.");
    }
    _Name = StringOf(info, "name");

    if (!info.Exists("piece length")) {
        throw ETorrentFileError("Corrupt File: Missing \"info.piece length\" segment.");
    }
    _PieceLength = static_cast<std::int32_t>(NumberOf(info, "piece length"));

    if (!info.Exists("pieces")) {
        throw ETorrentFileError("Corrupt File: Missing \"info.pieces\" segment.");
    }
    Pieces = StringOf(info, "pieces");

    if (info.Exists("length")) {
        total = NumberOf(info, "length");
        _Count = 1;
        _Files.emplace_back(_Name, std::string(), total, 0);
    } else if (info.Exists("files")) {
        _Multifile = true;
        const auto& files = ItemAs<TObjectList>(info.GetItem("files"), "info.files");
        _Files.reserve(files.Items.size());
        for (std::size_t i = 0; i < files.Items.size(); ++i) {
            const std::string where = "files[" + std::to_string(i) + "]";
            const auto& entry = ItemAs<TObjectHash>(files.Items[i].get(), where);
            if (!entry.Exists("length")) {
                throw ETorrentFileError("Corrupt File: " + where +
                                        " is missing a \"length\" segment.");
            }
            const std::int64_t length = NumberOf(entry, "length");
            if (!entry.Exists("path")) {
                throw ETorrentFileError("Corrupt File: " + where +
                                        " is missing a \"path\" segment.");
            }
            const auto& path = ItemAs<TObjectList>(entry.GetItem("path"), where + ".path");
            std::string folders;
            std::string name;
            for (std::size_t p = 0; p < path.Items.size(); ++p) {
                const std::string& part = Scalar(path.Items[p].get(), "path").StringPart;
                if (p + 1 < path.Items.size()) {
                    folders += part;
                    folders += '\\';
                } else {
                    name = part;
                }
            }
            _Files.emplace_back(std::move(name), std::move(folders), length, total);
            total = WrappingAdd(total, length);
        }
        _Count = static_cast<std::int32_t>(files.Items.size());
    } else {
        throw ETorrentFileError("Corrupt File: Missing both \"info.length\" and \"info.files\" "
                                "segments (should have one or the other).");
    }

    if (tree->Exists("_info_start") && tree->Exists("_info_length")) {
        // The markers are read as signed 32-bit numbers; a file can overwrite them with its
        // own members, so they are checked against the data before any byte is read.
        const auto start = static_cast<std::int32_t>(NumberOf(*tree, "_info_start"));
        const auto length = static_cast<std::int32_t>(NumberOf(*tree, "_info_length"));
        const std::string_view bytes = Stream.Bytes();
        if (start < 0 || length < 0 || static_cast<std::size_t>(start) > bytes.size() ||
            static_cast<std::size_t>(length) > bytes.size() - static_cast<std::size_t>(start)) {
            throw ETorrentFileError("Stream read error");
        }
        TSHA1 digest;
        digest.TransformString(bytes.substr(static_cast<std::size_t>(start),
                                            static_cast<std::size_t>(length)));
        digest.Complete();
        _SHA1Hash = digest.HashValue();
    }

    _Length = total;
}

std::string TTorrentFile::GetPiece(std::int64_t Index) const {
    if (Index < 0 || static_cast<std::uint64_t>(Index) >= Pieces.size() / 20 + 1) {
        return std::string();
    }
    const auto start = static_cast<std::size_t>(Index) * 20;
    return start >= Pieces.size() ? std::string() : Pieces.substr(start, 20);
}

} // namespace lintervale

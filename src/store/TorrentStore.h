#pragma once

// The torrents of the list, kept byte for byte: one file per info hash, "<hash>.torrent", in
// a folder of the user's data ($XDG_DATA_HOME/Lintervale/torrents). The name is the row's hash
// cell (40 or 64 lowercase hexadecimal digits), so the same torrent added twice is kept once,
// and anything else is never made into a path.
//
// A file is written beside its place under a name of its own and renamed into place, so a
// reader never sees half of one. It is not forced to disk: an entry that a crash left short
// is told by its hash when read (the reader checks what it loads against the row), and is
// then dropped like any damaged entry. Writers on several threads may keep the same torrent
// at once; the last rename wins with the same bytes.

#include "messages/Message.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace lintervale {

class EStoreError : public EMessageError {
public:
    using EMessageError::EMessageError;
};

inline constexpr const char* kStoreFolderName = "torrents";

// Whether Hash may name an entry: 40 or 64 lowercase hexadecimal digits.
bool IsStoreHash(std::string_view Hash);

class TTorrentStore {
public:
    explicit TTorrentStore(std::string Folder) : m_Folder(std::move(Folder)) {}

    const std::string& Folder() const { return m_Folder; }
    // The entry's path; empty for a hash that may name none.
    std::string PathOf(std::string_view Hash) const;
    bool Has(std::string_view Hash) const;

    // Keeps Bytes under Hash unless an entry of that size is there already; the folder is
    // made when missing. Raises EStoreError naming the file and the system's reason.
    void Put(std::string_view Hash, std::string_view Bytes) const;
    // The entry's bytes, read as a torrent file is (bounded, regular files only); raises
    // EStoreError when there is none or it cannot be read.
    std::string Read(std::string_view Hash) const;
    // Removes the entry, if there is one.
    void Remove(std::string_view Hash) const;

    struct TPruned {
        int Removed = 0;
        int Failed = 0;
    };
    // Removes every entry whose hash is not in Keep; with Temporaries, also the files that
    // writes left behind (only when no write can be under way).
    TPruned Prune(const std::unordered_set<std::string>& Keep, bool Temporaries) const;

    // The hashes of the entries there are.
    std::vector<std::string> Hashes() const;

    struct TUsage {
        int Entries = 0;
        std::uint64_t Bytes = 0;
    };
    TUsage Usage() const;

private:
    std::string m_Folder;
};

} // namespace lintervale

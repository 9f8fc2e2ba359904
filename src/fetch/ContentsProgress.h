#pragma once

// How much of a torrent's contents its peers have sent so far. libtorrent keeps no count of it
// while it fetches them, so the metadata messages are counted as they arrive: a plugin of the
// torrent sees each one before libtorrent's own handler does, and lets it through.

#include <cstdint>
#include <functional>
#include <libtorrent/extensions.hpp>
#include <memory>
#include <mutex>
#include <vector>

namespace lintervale {

// The pieces of the contents received (each counted once), told by libtorrent's network
// thread and read by the session's.
class TContentsCount {
public:
    explicit TContentsCount(std::int64_t MaxTotal) : m_MaxTotal(MaxTotal) {}

    // A piece of Bytes bytes at Piece of contents of Total bytes. The first size told that is
    // at most MaxTotal counts; pieces of contents of any other size are passed over.
    void Received(std::int64_t Piece, std::int64_t Bytes, std::int64_t Total);
    // Of the contents received, in parts per million; 0 until a piece has come.
    int PartsPerMillion() const;

private:
    const std::int64_t m_MaxTotal;
    mutable std::mutex m_Mutex;
    std::int64_t m_Total = 0;
    std::int64_t m_Received = 0;
    std::vector<bool> m_Pieces;
};

// The torrent plugin that counts into Count, for add_torrent_params::extensions.
std::function<std::shared_ptr<lt::torrent_plugin>(const lt::torrent_handle&, lt::client_data_t)>
CountingPlugin(std::shared_ptr<TContentsCount> Count);

} // namespace lintervale

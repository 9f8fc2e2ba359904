#include "fetch/ContentsProgress.h"

#include <libtorrent/bdecode.hpp>
#include <libtorrent/peer_connection_handle.hpp>

namespace lintervale {

namespace {

// The size of a piece of contents in the metadata messages.
constexpr std::int64_t kPieceBytes = 16 * 1024;

class TCountingPeer final : public lt::peer_plugin {
public:
    explicit TCountingPeer(std::shared_ptr<TContentsCount> Count) : m_Count(std::move(Count)) {}

    // A piece of contents is a dictionary {msg_type: 1, piece, total_size} and the piece's
    // bytes after it. The message is always let through to libtorrent.
    bool on_extended(int Length, int, lt::span<const char> Body) override {
        if (Body.size() != Length || Body.empty() || Body[0] != 'd') {
            return false;
        }
        lt::error_code error;
        const lt::bdecode_node message = lt::bdecode(Body, error, nullptr, 2, 16);
        if (error || message.type() != lt::bdecode_node::dict_t ||
            message.dict_find_int_value("msg_type", -1) != 1) {
            return false;
        }
        const std::int64_t piece = message.dict_find_int_value("piece", -1);
        const std::int64_t total = message.dict_find_int_value("total_size", -1);
        const std::int64_t bytes = Body.size() - message.data_section().size();
        if (piece >= 0 && total > 0 && bytes > 0) {
            m_Count->Received(piece, bytes, total);
        }
        return false;
    }

private:
    std::shared_ptr<TContentsCount> m_Count;
};

class TCountingTorrent final : public lt::torrent_plugin {
public:
    explicit TCountingTorrent(std::shared_ptr<TContentsCount> Count) : m_Count(std::move(Count)) {}

    std::shared_ptr<lt::peer_plugin> new_connection(const lt::peer_connection_handle&) override {
        return std::make_shared<TCountingPeer>(m_Count);
    }

private:
    std::shared_ptr<TContentsCount> m_Count;
};

} // namespace

void TContentsCount::Received(std::int64_t Piece, std::int64_t Bytes, std::int64_t Total) {
    const std::lock_guard lock(m_Mutex);
    if (m_Total == 0 && Total <= m_MaxTotal) {
        m_Total = Total;
        m_Pieces.assign(static_cast<std::size_t>((Total + kPieceBytes - 1) / kPieceBytes), false);
    }
    if (Total != m_Total || Piece >= static_cast<std::int64_t>(m_Pieces.size()) ||
        m_Pieces[static_cast<std::size_t>(Piece)]) {
        return;
    }
    m_Pieces[static_cast<std::size_t>(Piece)] = true;
    m_Received = std::min(m_Total, m_Received + Bytes);
}

int TContentsCount::PartsPerMillion() const {
    const std::lock_guard lock(m_Mutex);
    return m_Total == 0 ? 0 : static_cast<int>(m_Received * 1000000 / m_Total);
}

std::function<std::shared_ptr<lt::torrent_plugin>(const lt::torrent_handle&, lt::client_data_t)>
CountingPlugin(std::shared_ptr<TContentsCount> Count) {
    return [Count = std::move(Count)](const lt::torrent_handle&, lt::client_data_t) {
        return std::make_shared<TCountingTorrent>(Count);
    };
}

} // namespace lintervale

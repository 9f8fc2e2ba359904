#include "list/RowLinks.h"

#include "metainfo/TorrentDetails.h"
#include "metainfo/TorrentFile.h"

namespace lintervale {

namespace {

using G = TTorrentGrid;

} // namespace

TRowLinks::TKeptFacts TRowLinks::Read(const std::string& Bytes) {
    TKeptFacts facts;
    try {
        TTorrentFile torrent;
        torrent.Load(Bytes);
        facts.Kept = true;
        facts.Private = IsPrivate(torrent);
        if (!torrent.V2Only()) {
            facts.HashV2 = torrent.HashV2();
        }
        facts.WebSeeds = ReadWebSeeds(torrent);
        facts.Length = torrent.Length();
    } catch (const std::exception&) {
        // The host checked what it handed over; bytes that do not load give the row's cells.
        facts = TKeptFacts();
    }
    return facts;
}

const TRowLinks::TKeptFacts& TRowLinks::FactsOf(int Row) {
    static const TKeptFacts none;
    const std::string& hash = m_Grid.Cell(G::ColHash, Row);
    if (hash.empty()) {
        return none;
    }
    if (const auto known = m_Facts.find(hash); known != m_Facts.end()) {
        return known->second;
    }
    std::string bytes;
    TKeptFacts facts;
    if (m_Host.KeptTorrent(hash, m_Grid.Cell(G::ColName, Row), bytes)) {
        facts = Read(bytes);
    }
    while (m_Facts.size() >= kFactsLimit && !m_Order.empty()) {
        m_Facts.erase(m_Order.front());
        m_Order.pop_front();
    }
    if (m_Order.size() >= 2 * kFactsLimit) {
        // Forgotten hashes read again left stale places behind: list each remembered one once.
        m_Order.clear();
        for (const auto& entry : m_Facts) {
            m_Order.push_back(entry.first);
        }
    }
    m_Order.push_back(hash);
    return m_Facts.insert_or_assign(hash, std::move(facts)).first->second;
}

std::string TRowLinks::Link(int Row, const TLinkContents& Contents) {
    const TKeptFacts& kept = FactsOf(Row);
    TLinkFacts facts{.Hash = m_Grid.Cell(G::ColHash, Row),
                     .HashV2 = kept.HashV2,
                     .Name = m_Grid.Cell(G::ColName, Row),
                     .TrackerCell = m_Grid.Cell(G::ColTrackers, Row),
                     .WebSeeds = kept.WebSeeds,
                     .Length = kept.Length};
    return MagnetLink(facts, Contents);
}

bool TRowLinks::Private(int Row) {
    return FactsOf(Row).Private;
}

void TRowLinks::Forget(const std::string& Hash) {
    m_Facts.erase(Hash);
}

void TRowLinks::ForgetAll() {
    m_Facts.clear();
    m_Order.clear();
}

} // namespace lintervale

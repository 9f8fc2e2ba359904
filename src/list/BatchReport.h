#pragma once

// What one batch of adds came to (files from the dialog, a drop, a paste, a hand-off, a
// downloaded address): how many were added, how many were listed already, and every item
// that was refused with its cause. While a batch runs, the list gives no box per item; at its
// end the window shows the summary, and the refusals in one list.

#include "messages/Message.h"

#include <string>
#include <vector>

namespace lintervale {

struct TRefusal {
    std::string Item; // the file or address as given
    TMessage Why;
};

class TBatchReport {
public:
    void Added(const std::string& Hash) {
        ++m_Added;
        m_AddedHashes.push_back(Hash);
    }
    void Listed() { ++m_Listed; }
    void Refused(std::string Item, TMessage Why) {
        m_Refusals.push_back({std::move(Item), std::move(Why)});
    }

    int AddedCount() const { return m_Added; }
    int ListedCount() const { return m_Listed; }
    int RefusedCount() const { return static_cast<int>(m_Refusals.size()); }
    int Total() const { return m_Added + m_Listed + RefusedCount(); }
    const std::vector<TRefusal>& Refusals() const { return m_Refusals; }
    // The hashes of the rows the batch added, in the order they were added.
    const std::vector<std::string>& AddedHashes() const { return m_AddedHashes; }

    // "220 added, 3 already listed, 15 refused": the counts that are not 0 (or "Nothing was
    // added." for a batch that came to nothing).
    TMessage Summary() const;
    // Every refusal on a line of its own: "item: why".
    TMessage Details() const;

private:
    int m_Added = 0;
    int m_Listed = 0;
    std::vector<TRefusal> m_Refusals;
    std::vector<std::string> m_AddedHashes;
};

} // namespace lintervale

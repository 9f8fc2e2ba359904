#include "metainfo/BDocument.h"

#include "metainfo/LargeBlocks.h"

namespace lintervale {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

TBDocument::~TBDocument() {
    FreeBlock(m_Nodes, std::size_t{m_Capacity} * sizeof(TBNode));
}

std::string_view TBDocument::Text(std::uint32_t Index) const {
    const TBNode& node = m_Nodes[Index];
    switch (node.Kind()) {
    case TBKind::String: {
        // The bytes follow the length digits and the separator.
        std::size_t at = node.Offset();
        while (at < m_Data.size() && IsDigit(m_Data[at])) {
            ++at;
        }
        at = at < m_Data.size() ? at + 1 : at;
        return m_Data.substr(at, node.Extent());
    }
    case TBKind::StartKey:
        return "_info_start";
    case TBKind::LengthKey:
        return "_info_length";
    default:
        return std::string_view();
    }
}

std::int64_t TBDocument::Number(std::uint32_t Index) const {
    const TBNode& node = m_Nodes[Index];
    if (node.Kind() == TBKind::Number) {
        return node.Extent();
    }
    if (node.Kind() != TBKind::Integer) {
        return 0;
    }
    // Digits accumulate modulo 2^64 and a minus sign anywhere negates, as a lenient reader of
    // oversized numbers would.
    std::uint64_t value = 0;
    bool negative = false;
    for (std::size_t at = node.Offset() + 1; at < m_Data.size(); ++at) {
        const char c = m_Data[at];
        if (c == '-') {
            negative = true;
        } else if (IsDigit(c)) {
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        } else {
            break;
        }
    }
    return static_cast<std::int64_t>(negative ? 0 - value : value);
}

TValueKind TBDocument::KindOf(std::uint32_t Index) const {
    switch (m_Nodes[Index].Kind()) {
    case TBKind::List:
        return TValueKind::List;
    case TBKind::Dictionary:
        return TValueKind::Dictionary;
    case TBKind::Integer:
    case TBKind::Number:
        return TValueKind::Integer;
    default:
        return TValueKind::String;
    }
}

std::uint32_t TBDocument::Find(std::uint32_t Dictionary, std::string_view Key) const {
    std::uint32_t found = kNone;
    for (std::uint32_t key = First(Dictionary); key != End(Dictionary);) {
        const std::uint32_t value = Next(key);
        // The length is in the record: most keys are passed over without reading their bytes.
        const TBNode& node = m_Nodes[key];
        if ((node.Kind() != TBKind::String || node.Extent() == Key.size()) && Text(key) == Key) {
            found = value;
        }
        key = Next(value);
    }
    return found;
}

} // namespace lintervale

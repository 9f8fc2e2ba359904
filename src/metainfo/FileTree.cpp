#include "metainfo/FileTree.h"

#include "metainfo/TorrentFile.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace lintervale {

namespace {

constexpr std::uint32_t kNone = TBDocument::kNone;

[[noreturn]] void Malformed(TCauseCode code, const TBDocument& document, std::uint32_t node) {
    throw ETorrentFileError({.Code = code,
                             .Offset = document[node].Offset(),
                             .Found = document.KindOf(node),
                             .Expected = TValueKind::Dictionary});
}

// The members of a dictionary that count: the last of each key (key records), as Find takes
// them. A few members are compared directly, many are sorted, so that no choice of keys makes
// this slow.
std::vector<std::uint32_t> LastMembers(const TBDocument& document, std::uint32_t dictionary) {
    std::vector<std::uint32_t> keys;
    for (std::uint32_t key = document.First(dictionary); key != document.End(dictionary);
         key = document.Next(document.Next(key))) {
        keys.push_back(key);
    }
    const auto sameKey = [&](std::uint32_t a, std::uint32_t b) {
        return document.Text(a) == document.Text(b);
    };
    std::vector<std::uint32_t> last;
    if (keys.size() <= 16) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (std::none_of(keys.begin() + static_cast<std::ptrdiff_t>(i) + 1, keys.end(),
                             [&](std::uint32_t later) { return sameKey(keys[i], later); })) {
                last.push_back(keys[i]);
            }
        }
        return last;
    }
    std::stable_sort(keys.begin(), keys.end(), [&](std::uint32_t a, std::uint32_t b) {
        return document.Text(a) < document.Text(b);
    });
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i + 1 == keys.size() || !sameKey(keys[i], keys[i + 1])) {
            last.push_back(keys[i]);
        }
    }
    return last;
}

void AddFile(const TBDocument& document, std::uint32_t description, TFileTreeSummary& summary) {
    if (document.KindOf(description) != TValueKind::Dictionary) {
        Malformed(TCauseCode::TreeFileWithoutLength, document, description);
    }
    const std::uint32_t attr = document.Find(description, "attr");
    const std::string_view attributes = attr == kNone ? std::string_view() : document.Text(attr);
    if (attributes.find('p') != std::string_view::npos) {
        return;
    }
    const std::uint32_t length = document.Find(description, "length");
    std::int64_t bytes = 0;
    if (length != kNone && document[length].Kind() == TBKind::Integer) {
        bytes = document.Number(length);
    } else if (length != kNone || attributes.find('l') == std::string_view::npos) {
        Malformed(TCauseCode::TreeFileWithoutLength, document, description);
    }
    if (bytes < 0) {
        Malformed(TCauseCode::TreeNegativeLength, document, description);
    }
    if (summary.Count == std::numeric_limits<std::int32_t>::max() ||
        bytes > std::numeric_limits<std::int64_t>::max() - summary.Length) {
        throw ETorrentFileError(TLoadCause{.Code = TCauseCode::TreeTooLarge});
    }
    ++summary.Count;
    summary.Length += bytes;
}

// The decoder has already bounded the nesting, so this recursion is bounded too.
void Walk(const TBDocument& document, std::uint32_t node, TFileTreeSummary& summary) {
    if (document.KindOf(node) != TValueKind::Dictionary) {
        Malformed(TCauseCode::TreeNodeNotDictionary, document, node);
    }
    const std::vector<std::uint32_t> members = LastMembers(document, node);
    const auto file = std::find_if(members.begin(), members.end(),
                                   [&](std::uint32_t key) { return document.Text(key).empty(); });
    if (file != members.end()) {
        if (members.size() != 1) {
            Malformed(TCauseCode::TreeFileAndFolder, document, node);
        }
        AddFile(document, document.Next(*file), summary);
        return;
    }
    for (const std::uint32_t key : members) {
        Walk(document, document.Next(key), summary);
    }
}

} // namespace

TFileTreeSummary SummarizeFileTree(const TBDocument& Document, std::uint32_t Tree) {
    TFileTreeSummary summary;
    Walk(Document, Tree, summary);
    return summary;
}

} // namespace lintervale

#include "metainfo/FileTree.h"

#include "metainfo/BDecode.h"
#include "metainfo/TorrentFile.h"

#include <limits>

namespace lintervale {

namespace {

[[noreturn]] void Malformed(const char* what) {
    throw ETorrentFileError(std::string("Corrupt File: the file tree ") + what + ".");
}

// The decoder has already bounded the nesting, so this recursion is bounded too.
void Walk(const TObjectHash& node, TFileTreeSummary& summary) {
    if (const TObject* file = node.EmptyKeyItem()) {
        if (node.ItemCount() != 0) {
            Malformed("has a node that is a file and a folder at once");
        }
        const auto* description = As<TObjectHash>(file);
        const TObject* lengthItem = description ? description->Find("length") : nullptr;
        const auto* length = As<TIntString>(lengthItem);
        if (length == nullptr || length->ISType != TISType::tisInt) {
            Malformed("has a file without an integer \"length\"");
        }
        if (length->IntPart < 0) {
            Malformed("has a file of negative length");
        }
        if (summary.Count == std::numeric_limits<std::int32_t>::max() ||
            length->IntPart > std::numeric_limits<std::int64_t>::max() - summary.Length) {
            Malformed("is larger than any torrent can be");
        }
        ++summary.Count;
        summary.Length += length->IntPart;
        return;
    }
    for (const THashRecord& entry : node.Entries()) {
        const auto* child = As<TObjectHash>(node.GetItem(entry.Key));
        if (child == nullptr) {
            Malformed("has a node that is no dictionary");
        }
        Walk(*child, summary);
    }
}

} // namespace

TFileTreeSummary SummarizeFileTree(const TObjectHash& Tree) {
    TFileTreeSummary summary;
    Walk(Tree, summary);
    return summary;
}

} // namespace lintervale

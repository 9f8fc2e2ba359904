#pragma once

// The "file tree" of a BitTorrent v2 info dictionary: nested dictionaries whose keys are path
// elements; a file is a dictionary whose only member has the empty key and holds its
// "length". Walking it gives the number of files and their total size.

#include "metainfo/Hashes.h"

#include <cstdint>

namespace lintervale {

struct TFileTreeSummary {
    std::int32_t Count = 0;
    std::int64_t Length = 0;
};

// Raises ETorrentFileError for a malformed tree: a node that is no dictionary, a file
// description that is no dictionary or lacks an integer "length", a negative length, or a
// node that is a file and a folder at once.
TFileTreeSummary SummarizeFileTree(const TObjectHash& Tree);

} // namespace lintervale

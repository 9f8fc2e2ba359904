#pragma once

// The "file tree" of a BitTorrent v2 info dictionary: nested dictionaries whose keys are path
// elements; a file is a dictionary whose only member has the empty key and holds its
// "length". Walking it gives the number of files and their total size. As in a v1 file list
// (BEP 47), a file whose "attr" holds 'p' is padding and counts for nothing, and one whose
// "attr" holds 'l' is a symbolic link, which may lack a length and then counts 0.

#include "metainfo/BDocument.h"

#include <cstdint>

namespace lintervale {

struct TFileTreeSummary {
    std::int32_t Count = 0;
    std::int64_t Length = 0;
};

// Raises ETorrentFileError for a malformed tree: a node that is no dictionary, a file
// description that is no dictionary or lacks an integer "length", a negative length, or a
// node that is a file and a folder at once. Tree is the record of the tree's dictionary.
TFileTreeSummary SummarizeFileTree(const TBDocument& Document, std::uint32_t Tree);

} // namespace lintervale

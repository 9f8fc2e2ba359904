#pragma once

// One entry of a torrent's file tree (FileTreeModel): a folder or a file. The nodes live in one
// array, a folder before what it holds; they name each other by their places in it.

#include <QString>
#include <cstdint>
#include <vector>

namespace lintervale {

struct FileTreeNode {
    QString Name;
    QString Target;         // a symbolic link's target
    std::int64_t Size = 0;  // a folder's: the sum of its files
    std::int64_t File = -1; // the torrent's index of a file; -1 for a folder
    int Parent = -1;
    int Row = 0;            // the place among the children its parent shows
    int Files = 0;          // the files in a folder
    int Ticked = 0;         // of them (for a file: 1 when ticked)
    bool Match = true;      // shown by the filter
    std::vector<int> All;   // every child
    std::vector<int> Shown; // the children shown, in the order shown
};

} // namespace lintervale

#pragma once

// What a file tree shows, and in which order: the children of each folder that the filter
// lets through, sorted by name or size (folders first), or in the torrent's own order until a
// sort is asked for. Only the nodes' lists of shown children and their places change.

#include "widgets/FileTreeNode.h"

#include <QCollator>
#include <Qt>
#include <vector>

namespace lintervale {

class FileTreeOrder final {
public:
    enum class Key { Own, Name, Size };

    // Names are compared as the user's locale (the default QLocale when made) sorts them,
    // numbers by their value and case aside.
    FileTreeOrder();

    // Sorts by Key, going Order, from now on; call sortAll to apply it.
    void setSort(Key By, Qt::SortOrder Order);
    // Every folder's shown children in the order of the sort, with their places noted.
    void sortAll(std::vector<FileTreeNode>& Nodes) const;
    // Every folder's shown children picked anew by the nodes' Match, then sorted.
    void showAll(std::vector<FileTreeNode>& Nodes) const;

    // Lets through what holds Text in its name (ignoring case), with the folders on the way;
    // a folder whose name holds it lets through all it holds. An empty text lets through
    // everything. Sets the nodes' Match and answers how many files (not folders) it lets
    // through; showAll then shows them.
    static int filter(std::vector<FileTreeNode>& Nodes, const QString& Text);

private:
    void order(std::vector<FileTreeNode>& Nodes, int Folder) const;

    QCollator m_Collator;
    // Whether the collator's sort keys order names as its comparison does (not so in the C
    // locale, whose keys keep case apart).
    bool m_Keys = false;
    Key m_Key = Key::Own;
    Qt::SortOrder m_Order = Qt::AscendingOrder;
};

} // namespace lintervale

#include "widgets/FileTreeOrder.h"

#include <algorithm>
#include <numeric>

namespace lintervale {

FileTreeOrder::FileTreeOrder() : m_Keys(m_Collator.locale().language() != QLocale::C) {
    m_Collator.setNumericMode(true);
    m_Collator.setCaseSensitivity(Qt::CaseInsensitive);
}

void FileTreeOrder::setSort(Key By, Qt::SortOrder Order) {
    m_Key = By;
    m_Order = Order;
}

void FileTreeOrder::sortAll(std::vector<FileTreeNode>& Nodes) const {
    for (std::size_t n = 0; n < Nodes.size(); ++n) {
        if (Nodes[n].File < 0) {
            order(Nodes, static_cast<int>(n));
        }
    }
}

// (Paths may be deep: the nodes are gone through in a loop, never by recursion.)
void FileTreeOrder::showAll(std::vector<FileTreeNode>& Nodes) const {
    for (std::size_t n = 0; n < Nodes.size(); ++n) {
        FileTreeNode& node = Nodes[n];
        if (node.File >= 0) {
            continue;
        }
        node.Shown.clear();
        for (const int c : node.All) {
            if (Nodes[static_cast<std::size_t>(c)].Match) {
                node.Shown.push_back(c);
            }
        }
        order(Nodes, static_cast<int>(n));
    }
}

void FileTreeOrder::order(std::vector<FileTreeNode>& Nodes, int Folder) const {
    FileTreeNode& node = Nodes[static_cast<std::size_t>(Folder)];
    if (m_Key != Key::Own) {
        // By name, each name's collation key is made once; comparing two keys is then a plain
        // byte comparison, where comparing two names collates them anew every time. By size,
        // names are compared only between files of one size.
        const std::vector<int>& shown = node.Shown;
        std::vector<QCollatorSortKey> keys;
        if (m_Key == Key::Name && m_Keys) {
            keys.reserve(shown.size());
            for (const int c : shown) {
                keys.push_back(m_Collator.sortKey(Nodes[static_cast<std::size_t>(c)].Name));
            }
        }
        std::vector<std::size_t> places(shown.size());
        std::iota(places.begin(), places.end(), std::size_t{0});
        const bool ascending = m_Order == Qt::AscendingOrder;
        const auto before = [&](std::size_t i, std::size_t j) {
            const FileTreeNode& x = Nodes[static_cast<std::size_t>(shown[i])];
            const FileTreeNode& y = Nodes[static_cast<std::size_t>(shown[j])];
            // Folders first, whichever way the sort goes.
            if ((x.File < 0) != (y.File < 0)) {
                return x.File < 0;
            }
            if (m_Key == Key::Size && x.Size != y.Size) {
                return ascending ? x.Size < y.Size : x.Size > y.Size;
            }
            const int names =
                keys.empty() ? m_Collator.compare(x.Name, y.Name) : keys[i].compare(keys[j]);
            if (names != 0) {
                return ascending ? names < 0 : names > 0;
            }
            return shown[i] < shown[j];
        };
        std::sort(places.begin(), places.end(), before);
        std::vector<int> sorted;
        sorted.reserve(places.size());
        for (const std::size_t i : places) {
            sorted.push_back(shown[i]);
        }
        node.Shown = std::move(sorted);
    }
    for (std::size_t r = 0; r < node.Shown.size(); ++r) {
        Nodes[static_cast<std::size_t>(node.Shown[r])].Row = static_cast<int>(r);
    }
}

int FileTreeOrder::filter(std::vector<FileTreeNode>& Nodes, const QString& Text) {
    // A parent comes before its children in the array: first down the tree, whether a folder
    // above was named; then up, whether anything below is shown.
    std::vector<char> named(Nodes.size(), 0);
    std::vector<char> inside(Nodes.size(), 0);
    for (std::size_t n = 1; n < Nodes.size(); ++n) {
        const auto parent = static_cast<std::size_t>(Nodes[n].Parent);
        inside[n] = inside[parent] || (parent != 0 && named[parent]);
        named[n] = Text.isEmpty() || inside[n] || Nodes[n].Name.contains(Text, Qt::CaseInsensitive);
        Nodes[n].Match = named[n] != 0;
    }
    int shownFiles = 0;
    for (std::size_t n = Nodes.size(); n-- > 1;) {
        FileTreeNode& node = Nodes[n];
        if (node.Match) {
            Nodes[static_cast<std::size_t>(node.Parent)].Match = true;
            shownFiles += node.File >= 0 ? 1 : 0;
        }
    }
    Nodes[0].Match = true;
    return shownFiles;
}

} // namespace lintervale

#include "widgets/FileTreeOrder.h"

#include <QCollator>
#include <algorithm>

namespace lintervale {

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
        static const QCollator collator = [] {
            QCollator made;
            made.setNumericMode(true);
            made.setCaseSensitivity(Qt::CaseInsensitive);
            return made;
        }();
        const auto before = [&](int a, int b) {
            const FileTreeNode& x = Nodes[static_cast<std::size_t>(a)];
            const FileTreeNode& y = Nodes[static_cast<std::size_t>(b)];
            // Folders first, whichever way the sort goes.
            if ((x.File < 0) != (y.File < 0)) {
                return x.File < 0;
            }
            const bool ascending = m_Order == Qt::AscendingOrder;
            if (m_Key == Key::Size && x.Size != y.Size) {
                return ascending ? x.Size < y.Size : x.Size > y.Size;
            }
            const int names = collator.compare(x.Name, y.Name);
            if (names != 0) {
                return ascending ? names < 0 : names > 0;
            }
            return a < b;
        };
        std::sort(node.Shown.begin(), node.Shown.end(), before);
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

#include "widgets/FileTreeModel.h"

#include "qtsupport/DisplayText.h"

#include <QApplication>
#include <QLocale>
#include <QStyle>
#include <algorithm>
#include <string>
#include <unordered_map>

namespace lintervale {

FileTreeModel::FileTreeModel(QObject* Parent) : QAbstractItemModel(Parent) {
    m_Nodes.emplace_back();
}

int FileTreeModel::child(int Folder, const QString& Name) {
    const int made = static_cast<int>(m_Nodes.size());
    m_Nodes.emplace_back();
    m_Nodes[made].Name = Name;
    m_Nodes[made].Parent = Folder;
    m_Nodes[static_cast<std::size_t>(Folder)].All.push_back(made);
    return made;
}

void FileTreeModel::setTorrent(const TTorrentFile& Torrent) {
    beginResetModel();
    m_Nodes.clear();
    m_Nodes.emplace_back();
    m_FileCount = 0;
    m_Nodes.reserve(static_cast<std::size_t>(Torrent.Count()) + 1);
    // The folders made so far, by their path inside the torrent (looked up without a copy).
    struct PathHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view Path) const {
            return std::hash<std::string_view>()(Path);
        }
    };
    std::unordered_map<std::string, int, PathHash, std::equal_to<>> folders;
    std::int64_t index = -1;
    VisitContents(Torrent, [&](const TContentFile& file) {
        ++index;
        if (file.Padding()) {
            return;
        }
        int folder = 0;
        std::size_t start = 0;
        for (std::size_t slash = file.Path.find('/'); slash != std::string_view::npos;
             start = slash + 1, slash = file.Path.find('/', start)) {
            const std::string_view path = file.Path.substr(0, slash);
            if (const auto found = folders.find(path); found != folders.end()) {
                folder = found->second;
                continue;
            }
            folder = child(folder, QString::fromUtf8(file.Path.data() + start,
                                                     static_cast<qsizetype>(slash - start)));
            folders.emplace(path, folder);
        }
        const std::string_view name = file.Path.substr(start);
        const int node =
            child(folder, QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        FileTreeNode& made = m_Nodes[static_cast<std::size_t>(node)];
        made.File = index;
        made.Size = file.Length;
        made.Files = 1;
        made.Ticked = 1;
        if (file.Link()) {
            made.Target =
                QString::fromUtf8(file.Target.data(), static_cast<qsizetype>(file.Target.size()));
        }
        ++m_FileCount;
    });
    // Folders come before their children in the array: sums go from the end to the start.
    for (std::size_t n = m_Nodes.size(); n-- > 1;) {
        FileTreeNode& node = m_Nodes[n];
        FileTreeNode& parent = m_Nodes[static_cast<std::size_t>(node.Parent)];
        parent.Size += node.Size;
        parent.Files += node.Files;
        parent.Ticked += node.Ticked;
    }
    m_ShownFiles = m_FileCount;
    m_Order.showAll(m_Nodes);
    endResetModel();
}

void FileTreeModel::sort(int Column, Qt::SortOrder Order) {
    if (Column < 0 || Column >= ColumnCount) {
        return;
    }
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<int> nodes;
    for (const QModelIndex& index : before) {
        nodes.push_back(static_cast<int>(index.internalId()));
    }
    m_Order.setSort(Column == Size ? FileTreeOrder::Key::Size : FileTreeOrder::Key::Name, Order);
    m_Order.sortAll(m_Nodes);
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        after.append(indexOf(nodes[static_cast<std::size_t>(i)], before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void FileTreeModel::setFilter(const QString& Text) {
    beginResetModel();
    m_ShownFiles = FileTreeOrder::filter(m_Nodes, Text);
    m_Order.showAll(m_Nodes);
    endResetModel();
}

std::vector<std::int64_t> FileTreeModel::tickedFiles() const {
    std::vector<std::int64_t> files;
    for (const FileTreeNode& node : m_Nodes) {
        if (node.File >= 0 && node.Ticked == 1) {
            files.push_back(node.File);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

void FileTreeModel::tick(int NodeIndex, bool Ticked) {
    std::vector<int> left = {NodeIndex};
    while (!left.empty()) {
        FileTreeNode& node = m_Nodes[static_cast<std::size_t>(left.back())];
        left.pop_back();
        node.Ticked = Ticked ? node.Files : 0;
        left.insert(left.end(), node.All.begin(), node.All.end());
    }
}

void FileTreeModel::recount(int Folder) {
    for (int f = Folder; f >= 0; f = m_Nodes[static_cast<std::size_t>(f)].Parent) {
        FileTreeNode& node = m_Nodes[static_cast<std::size_t>(f)];
        node.Ticked = 0;
        for (const int c : node.All) {
            node.Ticked += m_Nodes[static_cast<std::size_t>(c)].Ticked;
        }
    }
}

void FileTreeModel::tickAll(bool Ticked) {
    tick(0, Ticked);
    if (rowCount() > 0) {
        // Every row's box may change: the view repaints what it shows.
        emit dataChanged(index(0, Name), index(rowCount() - 1, Name), {Qt::CheckStateRole});
        emit layoutChanged();
    }
}

Qt::CheckState FileTreeModel::checkState(const FileTreeNode& Node) const {
    if (Node.Ticked == 0) {
        return Qt::Unchecked;
    }
    return Node.Ticked == Node.Files ? Qt::Checked : Qt::PartiallyChecked;
}

QModelIndex FileTreeModel::indexOf(int NodeIndex, int Column) const {
    if (NodeIndex <= 0 || !m_Nodes[static_cast<std::size_t>(NodeIndex)].Match) {
        return {};
    }
    return createIndex(m_Nodes[static_cast<std::size_t>(NodeIndex)].Row, Column,
                       static_cast<quintptr>(NodeIndex));
}

QModelIndex FileTreeModel::index(int Row, int Column, const QModelIndex& Parent) const {
    const int parent = Parent.isValid() ? static_cast<int>(Parent.internalId()) : 0;
    const std::vector<int>& shown = m_Nodes[static_cast<std::size_t>(parent)].Shown;
    if (Row < 0 || Column < 0 || Column >= ColumnCount || Row >= static_cast<int>(shown.size())) {
        return {};
    }
    return createIndex(Row, Column, static_cast<quintptr>(shown[static_cast<std::size_t>(Row)]));
}

QModelIndex FileTreeModel::parent(const QModelIndex& Child) const {
    if (!Child.isValid()) {
        return {};
    }
    return indexOf(m_Nodes[Child.internalId()].Parent, 0);
}

int FileTreeModel::rowCount(const QModelIndex& Parent) const {
    if (Parent.isValid() && Parent.column() != 0) {
        return 0;
    }
    const int node = Parent.isValid() ? static_cast<int>(Parent.internalId()) : 0;
    return static_cast<int>(m_Nodes[static_cast<std::size_t>(node)].Shown.size());
}

int FileTreeModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

QVariant FileTreeModel::data(const QModelIndex& Index, int Role) const {
    if (!Index.isValid()) {
        return {};
    }
    const FileTreeNode& node = m_Nodes[Index.internalId()];
    if (Index.column() == Name) {
        switch (Role) {
        case Qt::DisplayRole:
            return DisplayText(node.Target.isEmpty()
                                   ? node.Name
                                   : tr("%1 \u2192 %2", "a symbolic link and its target")
                                         .arg(node.Name, node.Target));
        case Qt::ToolTipRole:
            return node.Target.isEmpty()
                       ? QVariant()
                       : QVariant(ToolTipText(tr("Symbolic link to %1").arg(node.Target)));
        case Qt::CheckStateRole:
            return checkState(node);
        case Qt::DecorationRole:
            return QApplication::style()->standardIcon(node.File < 0 ? QStyle::SP_DirIcon
                                                       : node.Target.isEmpty()
                                                           ? QStyle::SP_FileIcon
                                                           : QStyle::SP_FileLinkIcon);
        default:
            return {};
        }
    }
    switch (Role) {
    case Qt::DisplayRole:
        return QLocale().formattedDataSize(node.Size);
    case Qt::ToolTipRole:
        return tr("%1 bytes").arg(QLocale().toString(static_cast<qlonglong>(node.Size)));
    case Qt::TextAlignmentRole:
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool FileTreeModel::setData(const QModelIndex& Index, const QVariant& Value, int Role) {
    if (!Index.isValid() || Index.column() != Name || Role != Qt::CheckStateRole) {
        return false;
    }
    const int node = static_cast<int>(Index.internalId());
    tick(node, Value.toInt() != Qt::Unchecked);
    recount(m_Nodes[static_cast<std::size_t>(node)].Parent);
    // The node, what it holds and the folders above it change their boxes.
    emit dataChanged(Index, Index, {Qt::CheckStateRole});
    for (QModelIndex up = Index.parent(); up.isValid(); up = up.parent()) {
        emit dataChanged(up, up, {Qt::CheckStateRole});
    }
    if (rowCount(Index) > 0) {
        emit dataChanged(index(0, Name, Index), index(rowCount(Index) - 1, Name, Index),
                         {Qt::CheckStateRole});
    }
    return true;
}

Qt::ItemFlags FileTreeModel::flags(const QModelIndex& Index) const {
    if (!Index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (Index.column() == Name) {
        flags |= Qt::ItemIsUserCheckable;
        if (m_Nodes[Index.internalId()].File < 0) {
            flags |= Qt::ItemIsAutoTristate;
        }
    }
    return flags;
}

QVariant FileTreeModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
    if (Orientation != Qt::Horizontal || Role != Qt::DisplayRole) {
        return {};
    }
    return Section == Name ? tr("Name") : tr("Size");
}

} // namespace lintervale

#pragma once

// The files of a torrent as a tree for a view: folders and files with their sizes, each file
// with a box to tick (folders show whether all, some or none of theirs are ticked), sortable
// by name or size (folders first) and filtered by a text in the names. Padding entries are
// left out of the tree but keep their place in the numbering: a file's index is its place in
// the torrent's own list, padding included, as links select files by it (BEP 53).
//
// The tree is built once, from the core's visit of the files, into one array of nodes; sorting
// and filtering only reorder the children each node shows, so a torrent of 100,000 files opens
// and filters without a widget per file.

#include "metainfo/TorrentDetails.h"
#include "widgets/FileTreeNode.h"
#include "widgets/FileTreeOrder.h"

#include <QAbstractItemModel>
#include <QString>
#include <cstdint>
#include <vector>

namespace lintervale {

class FileTreeModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { Name, Size, ColumnCount };

    explicit FileTreeModel(QObject* Parent = nullptr);

    // Builds the tree of Torrent's files; every file starts ticked.
    void setTorrent(const TTorrentFile& Torrent);

    // Shows only what holds Text in its name (ignoring case), with the folders on the way;
    // a folder whose name holds it shows all it holds. An empty text shows everything.
    void setFilter(const QString& Text);
    // The files, folders not counted, that the filter shows.
    int shownFiles() const { return m_ShownFiles; }
    int fileCount() const { return m_FileCount; }

    // The torrent's indices of the ticked files, in ascending order.
    std::vector<std::int64_t> tickedFiles() const;
    // Ticks every file, or none.
    void tickAll(bool Ticked);

    QModelIndex index(int Row, int Column, const QModelIndex& Parent = {}) const override;
    QModelIndex parent(const QModelIndex& Child) const override;
    int rowCount(const QModelIndex& Parent = {}) const override;
    int columnCount(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;
    bool setData(const QModelIndex& Index, const QVariant& Value, int Role) override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;
    void sort(int Column, Qt::SortOrder Order) override;

private:
    int child(int Folder, const QString& Name);
    void tick(int Node, bool Ticked);
    void recount(int Folder);
    Qt::CheckState checkState(const FileTreeNode& Node) const;
    QModelIndex indexOf(int Node, int Column) const;

    std::vector<FileTreeNode> m_Nodes; // node 0: the torrent's own folder, never shown
    FileTreeOrder m_Order;
    int m_FileCount = 0;
    int m_ShownFiles = 0;
};

} // namespace lintervale

#pragma once

// "Properties" of a row: what its torrent says about itself, in four parts: General (name,
// hashes, sizes, pieces, privacy, creator, date, comment, source), Trackers by tier, Web seeds
// and DHT nodes, and Files (a tree with sizes, sortable, filtered by name, whose ticked files
// give a link that selects them). Every value is plain text in a read-only field, so it can
// be selected and copied. A row whose .torrent is not kept (made from a magnet link, or from a
// list saved before torrents were kept) says so and shows what the row holds.
//
// The dialog keeps copies of what it shows: the row may change or go while it is open.

#include "list/TorrentGrid.h"
#include "metainfo/TorrentDetails.h"

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QFormLayout;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTimer;
class QTreeView;

namespace lintervale {

class FileTreeModel;

class PropertiesDialog final : public QDialog {
    Q_OBJECT
public:
    // The link of the row that selects the files at the given indices.
    using LinkForFiles = std::function<QString(const std::vector<std::int64_t>&)>;

    // Cells: the row's cells. Torrent: its kept .torrent's bytes, when there are any;
    // Unknown: why there are none, when that is worth saying (a damaged entry).
    PropertiesDialog(const TTorrentGrid::TRow& Cells, const std::optional<std::string>& Torrent,
                     const QString& Unknown, LinkForFiles Link, QWidget* Parent = nullptr);

    // Adds a line to the General part: how many torrents are kept, and their size.
    void showKeptUsage(const QString& Text);

    QTabWidget* tabs() const { return m_Tabs; }
    FileTreeModel* files() const { return m_Files; }

private:
    QWidget* generalPart(const TTorrentGrid::TRow& Cells, const TTorrentDetails* Details,
                         const QString& Unknown);
    QWidget* trackersPart(const std::vector<std::vector<std::string>>& Tiers);
    QWidget* sourcesPart(const std::vector<std::string>& Seeds,
                         const std::vector<std::string>& Nodes);
    QWidget* filesPart(const TTorrentFile& Torrent);
    void copyLinkForTickedFiles();
    void showCounts();

    QTabWidget* m_Tabs = nullptr;
    QFormLayout* m_General = nullptr;
    FileTreeModel* m_Files = nullptr;
    QTreeView* m_Tree = nullptr;
    QLineEdit* m_Filter = nullptr;
    QTimer* m_FilterDelay = nullptr;
    QLabel* m_FileCounts = nullptr;
    LinkForFiles m_Link;
};

} // namespace lintervale

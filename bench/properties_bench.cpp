// Times the Properties dialog on a large torrent: opening it (reading the torrent, building
// the file tree, showing the dialog), filtering the tree by a name, and sorting it by name and
// by size. Runs offscreen: properties_bench FILE.torrent [ROUNDS]. Prints the median of each.

#include "list/TorrentRow.h"
#include "widgets/FileTreeModel.h"
#include "widgets/PropertiesDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: properties_bench FILE.torrent [ROUNDS]\n");
        return 2;
    }
    QFile file(argv[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    const std::string bytes = file.readAll().toStdString();
    lintervale::TTorrentFile torrent;
    torrent.Load(bytes);
    const lintervale::TTorrentRow row = lintervale::MakeTorrentRow(torrent);
    const lintervale::TTorrentGrid::TRow cells = {"",           row.Name,  row.Hash,
                                                  row.Trackers, row.Files, row.Size};
    std::vector<double> open, filter, unfilter, byName, bySize;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        lintervale::PropertiesDialog dialog(cells, bytes, {}, {});
        dialog.show();
        QApplication::processEvents();
        open.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        lintervale::FileTreeModel& files = *dialog.files();
        timer.restart();
        files.setFilter("file-0999");
        filter.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        files.setFilter({});
        unfilter.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        files.sort(lintervale::FileTreeModel::Name, Qt::AscendingOrder);
        byName.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        files.sort(lintervale::FileTreeModel::Size, Qt::DescendingOrder);
        bySize.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("files %d: open %.0f ms, filter %.0f ms, clear the filter %.0f ms, "
                "sort by name %.0f ms, by size %.0f ms (medians of %d)\n",
                static_cast<int>(torrent.Count()), Median(open), Median(filter), Median(unfilter),
                Median(byName), Median(bySize), rounds);
    return 0;
}

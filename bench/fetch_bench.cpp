// Times "Get trackers" (Ctrl+G) in the window over many rows with a large public list of
// trackers, served from the loopback address: fetch_bench [ROWS] [ANSWER_BYTES].
// Prints the rows, the answer's bytes and lines, the seconds from the command to the last
// row's merge, the longest time the window did not answer its event loop (ms), and the
// largest and total tracker cell bytes; exits 1 when a cell passes the limits.

#include "network/TrackerFetcher.h"
#include "trackers/TrackerCell.h"
#include "trackers/TrackerLimits.h"
#include "widgets/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace lintervale;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
    const qint64 answerBytes = argc > 2 ? std::atoll(argv[2]) : 1024 * 1024;

    // One tracker a line, as public lists come; about 15 bytes a line.
    QByteArray answer;
    int lines = 0;
    while (answer.size() + 20 < answerBytes) {
        answer += "udp://t" + QByteArray::number(lines++) + ".x\n";
    }
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost)) {
        std::fprintf(stderr, "cannot listen\n");
        return 2;
    }
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, &answer] {
            socket->readAll();
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                          QByteArray::number(answer.size()) + "\r\n\r\n" + answer);
        });
    });

    QTemporaryDir dir;
    MainForm form({dir.filePath("Lintervale.dat"), dir.filePath("Lintervale.conf"),
                   "/opt/lintervale/lintervale"});
    form.initialize({});
    form.show();
    TTorrentList& list = form.List();
    for (int i = rows; i > 0; --i) {
        // Hashes that differ from their first digit on, as real ones do.
        std::uint64_t mixed = static_cast<std::uint64_t>(i) * 0x9E3779B97F4A7C15ULL;
        char hash[41];
        std::snprintf(hash, sizeof hash, "%016llx%016llx%08x",
                      static_cast<unsigned long long>(mixed),
                      static_cast<unsigned long long>(mixed ^ 0xA5A5A5A5A5A5A5A5ULL), i);
        list.AddRow(TTorrentRow{"torrent " + std::to_string(i), hash,
                                "\"http://tracker" + std::to_string(i % 50) + ".example/announce\"",
                                "1", "1 MB"});
    }
    form.Fetcher().setService("", "");
    form.Fetcher().setTrackerList(QString("http://127.0.0.1:%1/list.txt").arg(server.serverPort()));
    list.SelectAll();

    // The longest gap between two turns of the event loop while the fetch runs.
    QElapsedTimer gap;
    qint64 longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longest = std::max(longest, gap.restart()); });
    QElapsedTimer clock;
    clock.start();
    gap.start();
    ticker.start(1);
    form.findChild<QAction*>("Gettrackersfromsite")->trigger();
    const qint64 command = gap.restart();
    while (form.Fetcher().busy()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    ticker.stop();

    std::size_t largest = 0;
    std::size_t total = 0;
    bool within = true;
    for (int r = 1; r < list.Grid().RowCount(); ++r) {
        const std::string& cell = list.Grid().Cell(TTorrentGrid::ColTrackers, r);
        largest = std::max(largest, cell.size());
        total += cell.size();
        within = within && cell.size() <= kMaxTrackerCellBytes &&
                 ReadTrackerCell(cell).size() <= kMaxTrackersPerCell;
    }
    std::printf("rows %d answer %lld bytes %d lines: %.3f s, the command %lld ms, then the longest "
                "block %lld ms, largest cell %zu bytes, all cells %zu bytes%s\n",
                rows, static_cast<long long>(answer.size()), lines, seconds,
                static_cast<long long>(command), static_cast<long long>(longest), largest, total,
                within ? "" : " PAST THE LIMITS");
    return within ? 0 : 1;
}

#pragma once

// How many Unix sockets share the address of the listening socket of process Pid: the
// listener, and one for each peer that reached it, accepted or not yet (-1 when /proc cannot
// tell). The address is the one the kernel knows, which stays the name the socket was bound
// under even after its file was moved into place.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QSet>
#include <QString>
#include <unistd.h>

namespace lintervale::testing {

inline int SocketsOfListener(qint64 Pid) {
    // The process's sockets, by inode.
    QSet<QByteArray> inodes;
    const QString fds = QString("/proc/%1/fd").arg(Pid);
    for (const QString& fd : QDir(fds).entryList(QDir::System | QDir::NoDotAndDotDot)) {
        char target[64] = {};
        const QByteArray link = QFile::encodeName(fds + "/" + fd);
        if (::readlink(link.constData(), target, sizeof target - 1) > 0 &&
            QByteArray(target).startsWith("socket:[")) {
            inodes.insert(QByteArray(target).mid(8).chopped(1));
        }
    }
    // Num RefCount Protocol Flags Type St Inode Path; a listener's flags are 00010000.
    QFile table("/proc/net/unix");
    if (inodes.isEmpty() || !table.open(QIODevice::ReadOnly)) {
        return -1;
    }
    QList<QList<QByteArray>> sockets;
    for (const QByteArray& line : table.readAll().split('\n')) {
        sockets.append(line.simplified().split(' '));
    }
    QByteArray address;
    for (const QList<QByteArray>& socket : sockets) {
        if (socket.size() == 8 && socket[3] == "00010000" && inodes.contains(socket[6])) {
            address = socket[7];
        }
    }
    int count = 0;
    for (const QList<QByteArray>& socket : sockets) {
        count += socket.size() == 8 && socket[7] == address ? 1 : 0;
    }
    return address.isEmpty() ? -1 : count;
}

} // namespace lintervale::testing

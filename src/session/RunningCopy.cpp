#include "session/RunningCopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lintervale {

namespace {

constexpr const char* kIdleTimer = "idle";
// Unix socket paths hold about 100 bytes.
constexpr int kMaxSocketPath = 100;

// Canonical form of a path whose last parts may not exist yet: the deepest folder that
// exists, with its links resolved, and the rest as written.
QString CanonicalPath(const QString& path) {
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList rest;
    while (!QFileInfo::exists(existing) && existing != "/") {
        rest.prepend(QFileInfo(existing).fileName());
        existing = QFileInfo(existing).path();
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    return rest.isEmpty() ? canonical : QDir(canonical).filePath(rest.join('/'));
}

} // namespace

RunningCopy::Place RunningCopy::placeFor(const QString& Runtime, const QString& Fallback,
                                         qsizetype NameLength) {
    if (!Runtime.isEmpty() && Runtime.size() + 1 + NameLength < kMaxSocketPath) {
        struct stat info {};
        const QByteArray path = QFile::encodeName(Runtime);
        if (::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
            info.st_uid == ::getuid() && (info.st_mode & 077) == 0) {
            return {Runtime, {}};
        }
    }
    // The fallback lies in a folder that everyone can write to: another user may have made
    // it first, or put a link there. It is taken only when it is this user's own.
    const QByteArray path = QFile::encodeName(Fallback);
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        if (errno != ENOENT || ::mkdir(path.constData(), 0700) != 0 ||
            ::lstat(path.constData(), &info) != 0) {
            return {{},
                    tr("The folder %1 cannot be made: %2.")
                        .arg(Fallback, QString::fromLocal8Bit(std::strerror(errno)))};
        }
    }
    if (S_ISLNK(info.st_mode)) {
        return {{}, tr("The folder %1 is a symbolic link.").arg(Fallback)};
    }
    if (!S_ISDIR(info.st_mode)) {
        return {{}, tr("%1 is not a folder.").arg(Fallback)};
    }
    if (info.st_uid != ::getuid()) {
        return {{}, tr("The folder %1 belongs to another user.").arg(Fallback)};
    }
    if ((info.st_mode & 07777) != 0700) {
        return {{},
                tr("The folder %1 can be entered by other users (mode %2, not 700).")
                    .arg(Fallback)
                    .arg(info.st_mode & 07777, 3, 8, QChar('0'))};
    }
    return {Fallback, {}};
}

namespace {

bool SameUser(QLocalSocket* socket) {
    struct ucred peer {};
    socklen_t length = sizeof peer;
    if (::getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer,
                     &length) != 0) {
        return false;
    }
    return peer.uid == ::getuid();
}

} // namespace

QString RunningCopy::programPath() {
    return QFileInfo("/proc/self/exe").symLinkTarget();
}

QString RunningCopy::nameFor(const QString& ListFile) {
    const QByteArray digest =
        QCryptographicHash::hash(CanonicalPath(ListFile).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return "lintervale-" + QString::fromLatin1(digest);
}

RunningCopy::RunningCopy(const QString& ListFile, QObject* Parent) : QObject(Parent) {
    const QString name = nameFor(ListFile);
    const Place place = placeFor(QFile::decodeName(qgetenv("XDG_RUNTIME_DIR")),
                                 QString("/tmp/lintervale-%1").arg(::getuid()), name.size() + 5);
    m_Failure = place.Failure;
    m_Base = place.Folder.isEmpty() ? QString() : place.Folder + "/" + name;
}

RunningCopy::~RunningCopy() {
    if (m_Server != nullptr) {
        m_Server->close();
    }
    if (m_LockFd >= 0) {
        ::close(m_LockFd);
    }
}

bool RunningCopy::tryToRun() {
    if (m_Base.isEmpty()) {
        return false; // no private folder: failure() says why
    }
    const QByteArray path = QFile::encodeName(lockFile());
    m_LockFd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_LockFd < 0) {
        return true;
    }
    if (::flock(m_LockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_LockFd);
        m_LockFd = -1;
        return false;
    }
    return true;
}

bool RunningCopy::listen() {
    if (m_Base.isEmpty() || m_LockFd < 0) {
        return false;
    }
    // A socket left by a copy that died is ours to replace: we hold the lock.
    QLocalServer::removeServer(socketName());
    m_Server = new QLocalServer(this);
    m_Server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_Server, &QLocalServer::newConnection, this, &RunningCopy::accept);
    return m_Server->listen(socketName());
}

void RunningCopy::serve(std::function<void()> Activate, std::function<void(const QString&)> AddFile,
                        std::function<void(const Activation&)> ActivateWith) {
    m_Activate = std::move(Activate);
    m_ActivateWith = std::move(ActivateWith);
    m_AddFile = std::move(AddFile);
    m_Serving = true;
    // Adding may show a box, during which more copies come: take the list as it stands.
    const QList<QPointer<QLocalSocket>> waiting = std::exchange(m_Waiting, {});
    for (const QPointer<QLocalSocket>& socket : waiting) {
        if (socket != nullptr && socket->state() == QLocalSocket::ConnectedState) {
            greet(socket);
        }
    }
}

void RunningCopy::accept() {
    while (QLocalSocket* socket = m_Server->nextPendingConnection()) {
        if (!SameUser(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // At most one message waits in memory; the rest waits in the peer's socket.
        socket->setReadBufferSize(8 + kMaxPath);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_Adding.remove(socket); });
        if (m_Closing) {
            refuse(socket);
        } else if (m_Serving) {
            greet(socket);
        } else {
            // The window is not ready: the peer waits for its answer, its bytes in the socket.
            m_Waiting.append(socket);
        }
    }
}

void RunningCopy::setClosing(bool Closing) {
    m_Closing = Closing;
    if (!Closing) {
        return;
    }
    // Every peer that waits, between two files or for the window to get ready, hears it now;
    // one whose file is being added hears it when that is done.
    if (m_Server != nullptr) {
        accept();
    }
    const QList<QPointer<QLocalSocket>> waiting = std::exchange(m_Waiting, {});
    for (const QPointer<QLocalSocket>& socket : waiting) {
        if (socket != nullptr) {
            refuse(socket);
        }
    }
    for (QLocalSocket* socket : findChildren<QLocalSocket*>()) {
        if (!m_Adding.contains(socket)) {
            refuse(socket);
        }
    }
}

void RunningCopy::refuse(QLocalSocket* Socket) {
    if (Socket->state() == QLocalSocket::ConnectedState) {
        Socket->write(&kClosing, 1);
        Socket->flush();
    }
    Socket->disconnectFromServer();
}

void RunningCopy::greet(QLocalSocket* Socket) {
    // A peer that stays silent or stops half-way is dropped after a while.
    auto* idle = new QTimer(Socket);
    idle->setObjectName(kIdleTimer);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, Socket, [Socket] { Socket->abort(); });
    connect(Socket, &QLocalSocket::readyRead, this, [this, Socket] { readFrom(Socket); });
    idle->start(kIdleMilliseconds);
    const QPointer<QLocalSocket> socket(Socket);
    if (m_Activate) {
        m_Activate();
    }
    if (socket != nullptr) {
        readFrom(socket);
    }
}

void RunningCopy::readFrom(QLocalSocket* Socket) {
    if (m_Adding.contains(Socket)) {
        return; // one of its files is being added: the rest is read when that is done
    }
    const QPointer<QLocalSocket> socket(Socket);
    const QPointer<RunningCopy> self(this);
    auto* idle = Socket->findChild<QTimer*>(kIdleTimer, Qt::FindDirectChildrenOnly);
    while (socket->bytesAvailable() >= 8) {
        if (m_Closing) {
            // Read after the close began, its file would miss the saved list.
            refuse(Socket);
            return;
        }
        const QByteArray head = socket->peek(8);
        const quint32 tag = qFromBigEndian<quint32>(head.constData());
        const quint32 length = qFromBigEndian<quint32>(head.constData() + 4);
        if (length > kMaxPath) {
            socket->abort();
            return;
        }
        if (socket->bytesAvailable() < 8 + static_cast<qint64>(length)) {
            break;
        }
        socket->read(8);
        const QByteArray payload = socket->read(length);
        if (tag != kTag) {
            // The activation of a later copy, or a message of a newer copy that this one does
            // not know: taken in, and the files that come after it are read as ever.
            if (tag == kActivationTag && m_ActivateWith) {
                m_ActivateWith(activationOf(payload));
                if (self == nullptr || socket == nullptr ||
                    socket->state() != QLocalSocket::ConnectedState) {
                    return;
                }
            }
            socket->write(&kDone, 1);
            socket->flush();
            continue;
        }
        const QString file = QFile::decodeName(payload);
        // Adding may take long (a box waits for the user): no idle drop meanwhile.
        idle->stop();
        m_Adding.insert(Socket);
        if (m_AddFile) {
            m_AddFile(file);
        }
        // The box's event loop may have seen the peer go (and its socket and timer with it).
        if (self == nullptr || socket == nullptr) {
            return;
        }
        m_Adding.remove(Socket);
        if (socket->state() != QLocalSocket::ConnectedState) {
            return;
        }
        if (m_Closing) {
            // The close began while the file was added (a box was up): whether its row came
            // before the save is not known, so the peer keeps its file.
            refuse(Socket);
            return;
        }
        socket->write(&kDone, 1);
        socket->flush();
    }
    idle->start(kIdleMilliseconds);
}

} // namespace lintervale

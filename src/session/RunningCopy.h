#pragma once

// One running copy per program file. The running copy holds an exclusive lock on a file
// named from its program file's full path (the kernel drops the lock when the process ends,
// however it ends) and listens on a local socket of the same name; both live in a folder
// only this user can enter ($XDG_RUNTIME_DIR, or a private folder under /tmp). A later copy
// that finds the lock taken connects to the socket, which brings the running copy's window
// forward, and hands over its files, one message each: the tag 1337 and the path's bytes,
// each answered once the running copy's AddFile has finished.
//
// Message: tag (uint32, big-endian) 1337, length (uint32, big-endian), the path's bytes.
// Answer: one byte 0x06. The running copy drops a connection that sends a wrong tag, a path
// longer than kMaxPath bytes, or stays silent or incomplete for kIdleMilliseconds, and it
// refuses a peer of another user.
//
// The running copy listens as soon as it holds the lock, before its window is ready: a later
// copy that comes during a slow start (a long list to load, a box at start) is connected and
// waits for its answer until the window serves it. Adding a file may show a box, whose event
// loop goes on handling sockets: a peer that goes away meanwhile is let go once the box is
// closed, and a connection is never read again while one of its files is being added.

#include <QByteArray>
#include <QList>
#include <QLocalSocket>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class QLocalServer;

namespace lintervale {

class RunningCopy final : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 kTag = 1337;
    static constexpr quint32 kMaxPath = 65536;
    static constexpr int kIdleMilliseconds = 3000;

    // ProgramPath names the lock and the socket; Folder overrides where they live (tests).
    explicit RunningCopy(const QString& ProgramPath, QObject* Parent = nullptr);
    ~RunningCopy() override;

    // Takes the lock; true when this process is the copy that runs.
    bool tryToRun();

    // The running copy listens; later copies that connect wait until serve is called.
    bool listen();
    // From now on, Activate is called for each later copy (those that waited first, in the
    // order they came) and AddFile for each file it hands over; the answer goes back when
    // AddFile returns.
    void serve(std::function<void()> Activate, std::function<void(const QString&)> AddFile);

    // A later copy: reaches the running copy (waiting a few seconds for a copy that is still
    // starting), brings it forward and hands it the files in order. False when no running
    // copy could be reached; nothing is sent then.
    bool handOver(const QStringList& Files, int WaitMilliseconds = 5000);

    QString lockFile() const { return m_Base + ".lock"; }
    QString socketName() const { return m_Base + ".sock"; }

    // The program file of this process.
    static QString programPath();
    // The message that hands File over.
    static QByteArray handOffMessage(const QString& File);

private:
    void accept();
    // Starts serving one connection: its idle limit, the window forward, its first files.
    void greet(QLocalSocket* Socket);
    void readFrom(QLocalSocket* Socket);

    QString m_Base;
    int m_LockFd = -1;
    QLocalServer* m_Server = nullptr;
    bool m_Serving = false;
    // Connections that came before serve.
    QList<QPointer<QLocalSocket>> m_Waiting;
    // Connections one of whose files is being added.
    QSet<QLocalSocket*> m_Adding;
    std::function<void()> m_Activate;
    std::function<void(const QString&)> m_AddFile;
};

} // namespace lintervale

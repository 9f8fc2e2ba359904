#pragma once

// One running copy per list. The running copy holds an exclusive lock on a file named from
// the canonical path of the list file it writes (the kernel drops the lock when the process
// ends, however it ends) and listens on a local socket of the same name. Every program file
// that would write the same list finds the same running copy; copies with separate data
// folders run side by side. Both live in a folder only this user can enter:
// $XDG_RUNTIME_DIR, or /tmp/lintervale-<uid> when that is unset or too long. The latter is
// used only when it is this user's own folder of mode 700, never a link: another user could
// have made it first. Without such a folder no copy runs (failure() says why). A later copy
// that finds the lock taken connects to the socket, which brings the running copy's window
// forward, and hands over its files, one message each: the tag 1337 and the path's bytes,
// each answered once the running copy's AddFile has finished.
//
// Message: tag (uint32, big-endian), length (uint32, big-endian), that many bytes. Tag 1337
// hands over a file (the bytes are its path); tag 1338, sent last, after the files, carries
// the later copy's activation: lines "XDG_ACTIVATION_TOKEN=..." and "DESKTOP_STARTUP_ID=...".
// A message with any other tag (from a newer copy) is read and passed over, and the files
// after it are taken as ever. Copies before tag 1338 dropped the connection at an unknown
// tag; as the activation comes after every file was answered, they lose nothing by it.
// Answer: one byte per message, kDone (0x06) when the file was added (or the message read),
// or kClosing (0x15) when the running copy is closing and did not take it. The running copy
// drops a connection that sends a message longer than kMaxPath bytes, or stays silent or
// incomplete for kIdleMilliseconds, and it refuses a peer of another user.
//
// The running copy listens as soon as it holds the lock, before its window is ready: a later
// copy that comes during a slow start (a long list to load, a box at start) is connected and
// waits for its answer until the window serves it. Adding a file may show a box, whose event
// loop goes on handling sockets: a peer that goes away meanwhile is let go once the box is
// closed, and a connection is never read again while one of its files is being added.
//
// A copy that closes says so (setClosing) before its long work, saving the list: from then on
// it answers kClosing to every file, to peers that wait and to those that come, and "done"
// only for a file added before, whose row reaches the saved list. Its socket still takes
// connections, which wait until the process ends and then find the connection gone. A later
// copy that is told kClosing, or loses its connection without an answer, keeps the files not
// taken, waits for the lock (the kernel drops it when the closing copy ends) and runs itself
// with them, or hands them to whichever copy runs by then.

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
    static constexpr quint32 kActivationTag = 1338;
    static constexpr quint32 kMaxPath = 65536;
    static constexpr int kIdleMilliseconds = 3000;
    static constexpr char kDone = 0x06;
    static constexpr char kClosing = 0x15;

    // Where the lock and the socket live; Failure says why there is no such place.
    struct Place {
        QString Folder;
        QString Failure;
    };

    // ListFile, the list this copy writes, names the lock and the socket.
    explicit RunningCopy(const QString& ListFile, QObject* Parent = nullptr);
    ~RunningCopy() override;

    // Why no private folder could be had for the lock; empty when there is one.
    QString failure() const { return m_Failure; }
    // Takes the lock; true when this process is the copy that runs.
    bool tryToRun();

    // The running copy listens; later copies that connect wait until serve is called.
    bool listen();
    // What lets a window come forward at a later copy's start: the launcher's activation
    // token (Wayland) and startup id (X11), as they were in the later copy's environment.
    struct Activation {
        QString Token;
        QString StartupId;
    };

    // From now on, Activate is called for each later copy (those that waited first, in the
    // order they came) and AddFile for each file it hands over; the answer goes back when
    // AddFile returns. ActivateWith gets a later copy's activation, sent after its files.
    void serve(std::function<void()> Activate, std::function<void(const QString&)> AddFile,
               std::function<void(const Activation&)> ActivateWith = {});

    // The running copy is closing (true) and takes no more files, or the close did not go
    // through (false) and it takes them again. Closing is set before the list is saved.
    void setClosing(bool Closing);
    bool closing() const { return m_Closing; }

    // What became of one try to hand files over: whether a running copy was reached, how
    // many of the files it took (in order), and whether it took them all.
    struct HandOff {
        bool Reached = false;
        qsizetype Taken = 0;
        bool Complete = false;
    };
    enum class Outcome { HandedOver, Run, NotFound };
    // A later copy: brings the running copy forward and hands it Files in order. Waits up to
    // WaitMilliseconds for a copy that holds the lock but does not listen yet (it is still
    // starting), and up to ClosingMilliseconds for one that closes to end. Run: the lock
    // is this copy's now, and Files holds the files no copy took, for this one to add.
    // NotFound: no running copy could be reached; Files holds what was not taken.
    Outcome handOverOrRun(QStringList& Files, int WaitMilliseconds = 5000,
                          int ClosingMilliseconds = 120000);
    // One connection to the running copy that hands Files over until it is refused, then the
    // activation.
    HandOff handOverOnce(const QStringList& Files);
    // What a later copy sends after its files.
    void setActivation(const Activation& Tokens) { m_Activation = Tokens; }

    QString lockFile() const { return m_Base + ".lock"; }
    QString socketName() const { return m_Base + ".sock"; }

    // The program file of this process.
    static QString programPath();
    // The name of the lock and the socket for ListFile: the same for every spelling of its
    // path (links, "..", a folder not made yet).
    static QString nameFor(const QString& ListFile);
    // The folder for the lock and the socket: Runtime when it is private and short enough
    // for a socket path with a name of NameLength, else Fallback, made if missing, when it is
    // this user's own folder of mode 700.
    static Place placeFor(const QString& Runtime, const QString& Fallback, qsizetype NameLength);
    // The message that hands File over.
    static QByteArray handOffMessage(const QString& File);
    // The message of a later copy's activation, and what a running copy reads from its
    // payload (names it does not know are passed over).
    static QByteArray activationMessage(const Activation& Tokens);
    static Activation activationOf(const QByteArray& Payload);

private:
    void accept();
    // Starts serving one connection: its idle limit, the window forward, its first files.
    void greet(QLocalSocket* Socket);
    void readFrom(QLocalSocket* Socket);
    // Answers kClosing and lets the connection go.
    void refuse(QLocalSocket* Socket);

    QString m_Base;
    QString m_Failure;
    int m_LockFd = -1;
    QLocalServer* m_Server = nullptr;
    bool m_Serving = false;
    bool m_Closing = false;
    // Connections that came before serve.
    QList<QPointer<QLocalSocket>> m_Waiting;
    // Connections one of whose files is being added.
    QSet<QLocalSocket*> m_Adding;
    std::function<void()> m_Activate;
    std::function<void(const QString&)> m_AddFile;
    std::function<void(const Activation&)> m_ActivateWith;
    Activation m_Activation;
};

} // namespace lintervale

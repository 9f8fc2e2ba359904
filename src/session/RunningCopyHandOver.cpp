// The later copy's side of the hand-off.

#include "session/RunningCopy.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

namespace lintervale {

namespace {

// How long a later copy waits between two tries to reach the running copy or take its lock.
constexpr int kRetryMilliseconds = 20;
// How long the running copy may take to answer one file (a box may wait for the user).
constexpr int kAnswerMilliseconds = 10 * 60 * 1000;

} // namespace

RunningCopy::HandOff RunningCopy::handOverOnce(const QStringList& Files) {
    HandOff result;
    QLocalSocket socket;
    socket.connectToServer(socketName());
    if (!socket.waitForConnected(1000)) {
        return result;
    }
    result.Reached = true;
    for (const QString& file : Files) {
        socket.write(handOffMessage(file));
        if (!socket.waitForBytesWritten(5000)) {
            return result;
        }
        // The running copy answers once AddFile is done, message boxes included.
        QElapsedTimer answer;
        answer.start();
        while (socket.bytesAvailable() < 1) {
            if (socket.state() != QLocalSocket::ConnectedState ||
                answer.elapsed() > kAnswerMilliseconds) {
                return result; // gone without an answer: the file was not taken
            }
            socket.waitForReadyRead(1000);
        }
        char answerByte = 0;
        socket.read(&answerByte, 1);
        if (answerByte != kDone) {
            return result; // kClosing: the running copy is closing and did not take the file
        }
        ++result.Taken;
    }
    socket.disconnectFromServer();
    result.Complete = true;
    return result;
}

RunningCopy::Outcome RunningCopy::handOverOrRun(QStringList& Files, int WaitMilliseconds,
                                                int ClosingMilliseconds) {
    if (m_Base.isEmpty()) {
        return Outcome::NotFound;
    }
    QElapsedTimer waited;
    waited.start();
    bool closing = false;
    for (;;) {
        // The running copy may hold the lock but not listen yet (it is still starting), or it
        // may be closing: its lock goes when its process ends.
        if (tryToRun()) {
            return Outcome::Run;
        }
        const HandOff handOff = handOverOnce(Files);
        Files = Files.mid(handOff.Taken);
        if (handOff.Complete) {
            return Outcome::HandedOver;
        }
        if (handOff.Reached && !closing) {
            closing = true;
            waited.restart();
        }
        if (waited.elapsed() >= (closing ? ClosingMilliseconds : WaitMilliseconds)) {
            return Outcome::NotFound;
        }
        QThread::msleep(kRetryMilliseconds);
    }
}

} // namespace lintervale

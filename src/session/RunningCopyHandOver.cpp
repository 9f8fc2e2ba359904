// The later copy's side of the hand-off, and the messages.

#include "session/RunningCopy.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QThread>
#include <QtEndian>

namespace lintervale {

namespace {

// How long a later copy waits between two tries to reach the running copy or take its lock.
constexpr int kRetryMilliseconds = 20;
// How long the running copy may take to answer one file (a box may wait for the user).
constexpr int kAnswerMilliseconds = 10 * 60 * 1000;

// How long a later copy waits for the answer to its activation.
constexpr int kActivationAnswerMilliseconds = 2000;

QByteArray Message(quint32 Tag, const QByteArray& Payload) {
    QByteArray message(8, '\0');
    qToBigEndian<quint32>(Tag, message.data());
    qToBigEndian<quint32>(static_cast<quint32>(Payload.size()), message.data() + 4);
    return message + Payload;
}

constexpr const char* kTokenName = "XDG_ACTIVATION_TOKEN";
constexpr const char* kStartupIdName = "DESKTOP_STARTUP_ID";

} // namespace

QByteArray RunningCopy::handOffMessage(const QString& File) {
    return Message(kTag, QFile::encodeName(File));
}

QByteArray RunningCopy::activationMessage(const Activation& Tokens) {
    QByteArray payload;
    for (const auto& [name, value] :
         {std::pair{kTokenName, &Tokens.Token}, std::pair{kStartupIdName, &Tokens.StartupId}}) {
        if (!value->isEmpty()) {
            payload += QByteArray(name) + "=" + value->toUtf8() + "\n";
        }
    }
    return Message(kActivationTag, payload.left(kMaxPath));
}

RunningCopy::Activation RunningCopy::activationOf(const QByteArray& Payload) {
    Activation tokens;
    for (const QByteArray& line : Payload.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray name = line.left(equals);
        const QString value = QString::fromUtf8(line.mid(equals + 1));
        if (equals > 0 && name == kTokenName) {
            tokens.Token = value;
        } else if (equals > 0 && name == kStartupIdName) {
            tokens.StartupId = value;
        }
    }
    return tokens;
}

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
    // Last, after the files: a copy older than this message drops the connection at its tag,
    // but it has taken every file by then. A copy that closes meanwhile answers kClosing:
    // then this copy runs once it has ended, for the window the user asked for.
    socket.write(activationMessage(m_Activation));
    socket.waitForBytesWritten(kActivationAnswerMilliseconds);
    QElapsedTimer answer;
    answer.start();
    while (socket.bytesAvailable() < 1 && socket.state() == QLocalSocket::ConnectedState &&
           answer.elapsed() < kActivationAnswerMilliseconds) {
        socket.waitForReadyRead(kActivationAnswerMilliseconds);
    }
    char answerByte = kDone;
    socket.read(&answerByte, 1);
    socket.disconnectFromServer();
    result.Complete = answerByte != kClosing;
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

#pragma once

// A small HTTP server on the loopback address for the fetcher's tests, a host that keeps
// every status text, and the base of those tests: a server, a list and its fetcher.

#include "list/TorrentList.h"
#include "network/TrackerFetcher.h"
#include "tests/list/RecordingHost.h"

#include <QHash>
#include <QMutex>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>
#include <zlib.h>

namespace lintervale::testing {

// Records every warning Qt gives while it is installed (the network code's "reported twice"
// among them), so that a test can demand none. Two that say nothing of the code under test,
// from the offscreen platform and the sound, are passed over.
class WarningRecorder {
public:
    WarningRecorder() { s_Previous = qInstallMessageHandler(&WarningRecorder::handle); }
    ~WarningRecorder() { qInstallMessageHandler(s_Previous); }
    WarningRecorder(const WarningRecorder&) = delete;
    WarningRecorder& operator=(const WarningRecorder&) = delete;

    static QStringList take() {
        const QMutexLocker lock(&s_Mutex);
        return std::exchange(s_Warnings, {});
    }

private:
    static void handle(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
        if (Type != QtDebugMsg && Type != QtInfoMsg && !Text.contains("propagateSizeHints") &&
            !Text.contains("audio device") && !Text.contains("PulseAudio")) {
            const QMutexLocker lock(&s_Mutex);
            s_Warnings.append(Text);
        }
        s_Previous(Type, Context, Text);
    }
    static inline QtMessageHandler s_Previous = nullptr;
    static inline QMutex s_Mutex;
    static inline QStringList s_Warnings;
};

// Body packed with zlib: as gzip, or zlib-wrapped deflate.
inline QByteArray Packed(const QByteArray& Body, bool Gzip = true) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, Gzip ? 15 + 16 : 15, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&z, static_cast<uLong>(Body.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Body.constData()));
    z.avail_in = static_cast<uInt>(Body.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(static_cast<qsizetype>(z.total_out));
    deflateEnd(&z);
    return out;
}

// Answers GET requests with canned responses chosen by the request's path. Connections are
// kept open between requests unless a response says "Connection: close".
class TestServer : public QObject {
public:
    enum class Mode { Answer, Held, Dribble };
    struct Canned {
        QByteArray Response;
        Mode How = Mode::Answer;
        int DelayMilliseconds = 0;
    };

    QHash<QByteArray, Canned> Answers;
    QByteArrayList Paths; // every path asked for, in order
    int InFlight = 0;
    int MaxInFlight = 0;

    TestServer() {
        connect(&m_Server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_Server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                    if (m_States.take(socket).Asked) {
                        --InFlight;
                    }
                    socket->deleteLater();
                });
            }
        });
    }
    bool listen() { return m_Server.listen(QHostAddress::LocalHost); }
    QString base() const { return QString("http://127.0.0.1:%1").arg(m_Server.serverPort()); }

    static QByteArray ok(const QByteArray& Body) {
        return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
               QByteArray::number(Body.size()) + "\r\n\r\n" + Body;
    }
    static QByteArray status(const QByteArray& Line) {
        return "HTTP/1.1 " + Line + "\r\nContent-Length: 0\r\n\r\n";
    }
    static QByteArray redirect(const QByteArray& Location) {
        return "HTTP/1.1 302 Found\r\nLocation: " + Location + "\r\nContent-Length: 5\r\n\r\nmoved";
    }
    // A packed answer, with its Content-Encoding.
    static QByteArray packed(const QByteArray& Packed, const QByteArray& Encoding = "gzip") {
        return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Encoding: " + Encoding +
               "\r\nContent-Length: " + QByteArray::number(Packed.size()) + "\r\n\r\n" + Packed;
    }
    // An answer without a length, ended by closing the connection.
    static QByteArray streamed(const QByteArray& Body) {
        return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n" + Body;
    }

    // Sends the held answer for Path.
    void release(const QByteArray& Path) {
        QPointer<QTcpSocket> socket = m_Held.take(Path);
        if (socket != nullptr) {
            answer(socket, Answers.value(Path).Response);
        }
    }

private:
    struct State {
        QByteArray Request;
        bool Asked = false; // a request came and has no answer yet
    };

    void read(QTcpSocket* Socket) {
        State& state = m_States[Socket];
        state.Request += Socket->readAll();
        const qsizetype end = state.Request.indexOf("\r\n\r\n");
        if (end < 0 || state.Asked) {
            return;
        }
        const QByteArray path = state.Request.left(end).split(' ').value(1);
        state.Request.remove(0, end + 4);
        state.Asked = true;
        Paths.append(path);
        MaxInFlight = std::max(MaxInFlight, ++InFlight);
        const Canned canned = Answers.value(path, Canned{status("404 Not Found")});
        switch (canned.How) {
        case Mode::Answer:
            if (canned.DelayMilliseconds > 0) {
                QPointer<QTcpSocket> later(Socket);
                QTimer::singleShot(canned.DelayMilliseconds, this, [this, later, canned] {
                    if (later != nullptr) {
                        answer(later, canned.Response);
                    }
                });
            } else {
                answer(Socket, canned.Response);
            }
            break;
        case Mode::Held:
            m_Held.insert(path, Socket);
            break;
        case Mode::Dribble: {
            Socket->write(streamed("#"));
            auto* timer = new QTimer(Socket);
            connect(timer, &QTimer::timeout, Socket, [Socket] { Socket->write("#"); });
            timer->start(20);
            break;
        }
        }
    }
    void answer(QTcpSocket* Socket, const QByteArray& Response) {
        State& state = m_States[Socket];
        if (state.Asked) {
            state.Asked = false;
            --InFlight;
        }
        Socket->write(Response);
        if (Response.contains("Connection: close")) {
            Socket->disconnectFromHost();
        } else if (!state.Request.isEmpty()) {
            read(Socket);
        }
    }

    QTcpServer m_Server;
    QHash<QTcpSocket*, State> m_States;
    QHash<QByteArray, QPointer<QTcpSocket>> m_Held;
};

// Records every status text, not only the last.
class HistoryHost : public TRecordingHost {
public:
    std::vector<std::string> StatusHistory;
    void SetStatusText(const TMessage& Text) override {
        TRecordingHost::SetStatusText(Text);
        StatusHistory.push_back(Text.English());
    }
};

class FetcherTestBase : public QObject {
protected:
    // Starts the server and makes a list with its fetcher; false when the server cannot
    // listen.
    bool start() {
        m_Warnings = std::make_unique<WarningRecorder>();
        m_Server = std::make_unique<TestServer>();
        m_Host = HistoryHost();
        m_List = std::make_unique<TTorrentList>(m_Host);
        m_Fetcher = std::make_unique<TrackerFetcher>(*m_List, m_Host);
        return m_Server->listen();
    }
    void stop() {
        m_Fetcher.reset();
        m_List.reset();
        m_Server.reset();
        // The network code never reported an error twice, nor warned of anything else.
        QCOMPARE(WarningRecorder::take(), QStringList());
        m_Warnings.reset();
    }
    std::string cell(int Row) const { return m_List->Grid().Cell(TTorrentGrid::ColTrackers, Row); }
    void fetchAll() {
        m_List->SelectAll();
        m_Fetcher->fetchSelected();
    }
    bool waitIdle() {
        return QTest::qWaitFor([this] { return !m_Fetcher->busy(); }, 30000);
    }

    std::unique_ptr<WarningRecorder> m_Warnings;
    std::unique_ptr<TestServer> m_Server;
    HistoryHost m_Host;
    std::unique_ptr<TTorrentList> m_List;
    std::unique_ptr<TrackerFetcher> m_Fetcher;
};

} // namespace lintervale::testing

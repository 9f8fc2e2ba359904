#include "network/TorrentDownload.h"

#include "network/WebRequest.h"

#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace lintervale {

namespace {

// Read at most this much at a time, so that the size limit holds while the answer arrives.
constexpr qint64 kReadBufferBytes = 64 * 1024;

QString RedirectRefusal(const QUrl& Target) {
    return TorrentDownload::tr("it was sent on to %1, which is not an http or https address.")
        .arg(Target.toDisplayString());
}

QString Seconds(int Milliseconds) {
    const double seconds = Milliseconds / 1000.0;
    return (seconds == 1.0 ? TorrentDownload::tr("%1 second") : TorrentDownload::tr("%1 seconds"))
        .arg(QLocale().toString(seconds));
}

QString Mebibytes(qint64 Bytes) {
    return TorrentDownload::tr("%1 MiB").arg(
        QLocale().toString(static_cast<double>(Bytes) / (1024 * 1024)));
}

} // namespace

template <typename TEmit> void TorrentDownload::emitLater(TEmit Emit) {
    QTimer::singleShot(0, this, [this, run = m_Run, Emit = std::move(Emit)] {
        if (run == m_Run && m_Busy) {
            m_Busy = false;
            Emit();
        }
    });
}

TorrentDownload::TorrentDownload(QObject* Parent) : QObject(Parent) {
    m_Network = new QNetworkAccessManager(this);
    m_Deadline = new QTimer(this);
    m_Deadline->setSingleShot(true);
    connect(m_Deadline, &QTimer::timeout, this,
            [this] { refuse(tr("it took longer than %1.").arg(Seconds(m_TotalMilliseconds))); });
}

TorrentDownload::~TorrentDownload() {
    abort();
}

void TorrentDownload::setTimeLimits(int StallMilliseconds, int TotalMilliseconds) {
    m_StallMilliseconds = StallMilliseconds;
    m_TotalMilliseconds = TotalMilliseconds;
}

void TorrentDownload::setMaxBytes(qint64 Bytes) {
    m_MaxBytes = Bytes;
}

void TorrentDownload::abort() {
    ++m_Run;
    m_Busy = false;
    m_Deadline->stop();
    if (m_Reply != nullptr) {
        QNetworkReply* reply = m_Reply;
        m_Reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    m_Body.clear();
}

void TorrentDownload::start(const QUrl& Url) {
    abort();
    m_Busy = true;
    m_Url = Url;
    m_Declared = -1;
    m_Refusal.clear();
    if (!IsWebAddress(Url)) {
        failLater(tr("only http and https addresses can be downloaded."));
        return;
    }
    m_Reply = m_Network->get(boundedRequest(Url, m_StallMilliseconds, kMaxRedirects));
    m_Reply->setReadBufferSize(kReadBufferBytes);
    // The network code follows http and https targets only; this holds the line should that
    // ever change.
    connect(m_Reply, &QNetworkReply::redirected, this, [this](const QUrl& Target) {
        if (!IsWebAddress(Target)) {
            refuse(RedirectRefusal(Target));
        }
    });
    connect(m_Reply, &QNetworkReply::metaDataChanged, this, [this] {
        const QVariant length = m_Reply->header(QNetworkRequest::ContentLengthHeader);
        m_Declared = length.isValid() ? length.toLongLong() : -1;
        if (m_Declared > m_MaxBytes) {
            refuse(tr("the file is larger than %1.").arg(Mebibytes(m_MaxBytes)));
        }
    });
    connect(m_Reply, &QNetworkReply::readyRead, this, &TorrentDownload::readBody);
    connect(m_Reply, &QNetworkReply::finished, this, &TorrentDownload::finishReply);
    m_Deadline->start(m_TotalMilliseconds);
}

void TorrentDownload::refuse(const QString& Reason) {
    if (m_Reply != nullptr && m_Refusal.isEmpty()) {
        m_Refusal = Reason;
        // Aborted once the reply's own signal has returned: an abort from inside it can make
        // the network code report a second error for the same reply.
        QMetaObject::invokeMethod(m_Reply, &QNetworkReply::abort, Qt::QueuedConnection);
    }
}

void TorrentDownload::readBody() {
    if (!m_Refusal.isEmpty()) {
        return;
    }
    // A redirect's own body is not the file.
    const int status = m_Reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) {
        m_Reply->readAll();
        return;
    }
    const QByteArray more = m_Reply->read(m_MaxBytes + 1 - m_Body.size());
    if (more.isEmpty()) {
        return;
    }
    m_Body += more;
    if (m_Body.size() > m_MaxBytes) {
        refuse(tr("the file is larger than %1.").arg(Mebibytes(m_MaxBytes)));
        return;
    }
    emit progress(m_Body.size(), m_Declared);
}

void TorrentDownload::finishReply() {
    QNetworkReply* reply = m_Reply;
    m_Deadline->stop();
    if (reply->isOpen()) {
        readBody();
    }
    m_Reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QString reason = m_Refusal;
    if (reason.isEmpty()) {
        switch (reply->error()) {
        case QNetworkReply::NoError:
            break;
        case QNetworkReply::OperationCanceledError:
            reason = tr("nothing came for %1.").arg(Seconds(m_StallMilliseconds));
            break;
        case QNetworkReply::TooManyRedirectsError:
            reason = tr("it was sent on more than %1 times.").arg(kMaxRedirects);
            break;
        default:
            reason = status >= 400 ? QString() : reply->errorString() + QLatin1Char('.');
            break;
        }
        // The network code refuses a redirect to a scheme it does not speak before it reports
        // the redirect.
        const QUrl target =
            reply->url().resolved(reply->header(QNetworkRequest::LocationHeader).toUrl());
        if (reply->error() != QNetworkReply::NoError && status >= 300 && status < 400 &&
            !target.isEmpty() && !IsWebAddress(target)) {
            reason = RedirectRefusal(target);
        }
    }
    if (reason.isEmpty() && (status < 200 || status >= 300)) {
        const QString phrase =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        reason = phrase.isEmpty() ? tr("the server answered %1.").arg(status)
                                  : tr("the server answered %1 %2.").arg(status).arg(phrase);
    }
    if (!reason.isEmpty()) {
        m_Body.clear();
        failLater(reason);
        return;
    }
    emitLater([this, body = std::move(m_Body)] { emit succeeded(body); });
    m_Body = QByteArray();
}

void TorrentDownload::failLater(const QString& Reason) {
    const QString text = tr("Could not download %1: %2").arg(m_Url.toDisplayString(), Reason);
    emitLater([this, text] { emit failed(text); });
}

} // namespace lintervale

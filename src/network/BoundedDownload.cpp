#include "network/BoundedDownload.h"

#include "network/BodyUnpacker.h"

#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace lintervale {

namespace {

// Read at most this much at a time, so that the size limit holds while the answer arrives.
constexpr qint64 kReadBufferBytes = 64 * 1024;

QString Seconds(int Milliseconds) {
    const double seconds = Milliseconds / 1000.0;
    return (seconds == 1.0 ? BoundedDownload::tr("%1 second") : BoundedDownload::tr("%1 seconds"))
        .arg(QLocale().toString(seconds));
}

QString Mebibytes(qint64 Bytes) {
    return BoundedDownload::tr("%1 MiB").arg(
        QLocale().toString(static_cast<double>(Bytes) / (1024 * 1024)));
}

QString RedirectRefusal(const QUrl& Target) {
    return BoundedDownload::tr("it was sent on to %1, which is not an http or https address.")
        .arg(BoundedDownload::quoted(Target.toDisplayString()));
}

BoundedDownload::Result Failure(BoundedDownload::Cause Why, QString Reason = {}, int Status = 0) {
    BoundedDownload::Result result;
    result.Why = Why;
    result.Reason = std::move(Reason);
    result.Status = Status;
    return result;
}

} // namespace

BoundedDownload::BoundedDownload(QObject* Parent)
    : QObject(Parent), m_Unpacker(std::make_unique<BodyUnpacker>()) {
    m_Network = new QNetworkAccessManager(this);
    m_Deadline = new QTimer(this);
    m_Deadline->setSingleShot(true);
    connect(m_Deadline, &QTimer::timeout, this, [this] {
        stop(Cause::TooSlow,
             tr("it took longer than %1.").arg(Seconds(m_Bounds.TotalMilliseconds)));
    });
}

BoundedDownload::~BoundedDownload() {
    ++m_Run;
    letReplyGo();
}

QString BoundedDownload::quoted(const QString& Text) {
    if (Text.size() <= kMaxQuotedChars) {
        return Text;
    }
    // Never between the two halves of a character outside the basic plane.
    int cut = kMaxQuotedChars;
    if (Text.at(cut - 1).isHighSurrogate()) {
        --cut;
    }
    return Text.left(cut) + QChar(0x2026);
}

void BoundedDownload::abort() {
    if (m_Busy && !m_Ending) {
        end(Failure(Cause::Aborted));
    } else if (m_Busy) {
        // Its end is on its way already: it says Aborted instead.
        m_AbortedRun = m_Run;
    }
    // The download is over now; only its end is still to come.
    m_Busy = false;
}

void BoundedDownload::start(const QUrl& Url) {
    abort();
    ++m_Run;
    m_Busy = true;
    m_Ending = false;
    m_Url = Url;
    m_Declared = -1;
    m_Body.clear();
    m_Unpacker->start(QByteArray());
    if (!IsWebAddress(Url)) {
        end(Failure(Cause::NotWebAddress, tr("only http and https addresses can be downloaded.")));
        return;
    }
    QNetworkRequest request =
        boundedRequest(Url, m_Bounds.StallMilliseconds, m_Bounds.MaxRedirects);
    // Named here, the network code leaves a packed body to m_Unpacker, which stops at the
    // limit as the bytes arrive.
    request.setRawHeader("Accept-Encoding", "gzip, deflate");
    m_Reply = m_Network->get(request);
    m_Reply->setReadBufferSize(kReadBufferBytes);
    // The network code follows http and https targets only; this holds the line should that
    // ever change.
    connect(m_Reply, &QNetworkReply::redirected, this, [this](const QUrl& Target) {
        if (!IsWebAddress(Target)) {
            stop(Cause::RedirectRefused, RedirectRefusal(Target));
        }
    });
    connect(m_Reply, &QNetworkReply::metaDataChanged, this, [this] {
        const int status = m_Reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 && status < 400) {
            return; // a redirect's own headers say nothing of the body
        }
        if (!m_Unpacker->start(m_Reply->rawHeader("Content-Encoding"))) {
            stop(Cause::BadPacking,
                 tr("the server packed it as %1, which was not asked for.")
                     .arg(quoted(QString::fromLatin1(m_Reply->rawHeader("Content-Encoding")))));
            return;
        }
        const QVariant length = m_Reply->header(QNetworkRequest::ContentLengthHeader);
        m_Declared = length.isValid() && !m_Unpacker->packed() ? length.toLongLong() : -1;
        if (m_Declared > m_Bounds.MaxBytes) {
            stop(Cause::TooLarge, tooLarge(false));
        }
    });
    connect(m_Reply, &QNetworkReply::readyRead, this, &BoundedDownload::readBody);
    connect(m_Reply, &QNetworkReply::finished, this, &BoundedDownload::replyFinished);
    m_Deadline->start(m_Bounds.TotalMilliseconds);
}

QString BoundedDownload::tooLarge(bool Unpacked) const {
    const QString size = Mebibytes(m_Bounds.MaxBytes);
    return Unpacked ? tr("the file is larger than %1 once unpacked.").arg(size)
                    : tr("the file is larger than %1.").arg(size);
}

void BoundedDownload::readBody() {
    // A redirect's own body is not the file.
    const int status = m_Reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) {
        m_Reply->readAll();
        return;
    }
    const qint64 before = m_Body.size();
    while (m_Reply != nullptr && m_Reply->bytesAvailable() > 0) {
        const QByteArray more = m_Reply->read(kReadBufferBytes);
        if (more.isEmpty()) {
            break;
        }
        switch (m_Unpacker->add(more, m_Body, m_Bounds.MaxBytes)) {
        case BodyUnpacker::Status::Ok:
            break;
        case BodyUnpacker::Status::TooLarge:
            stop(m_Unpacker->packed() ? Cause::TooLargeUnpacked : Cause::TooLarge,
                 tooLarge(m_Unpacker->packed()));
            return;
        case BodyUnpacker::Status::Damaged:
            stop(Cause::BadPacking, tr("the server's packed body is damaged."));
            return;
        }
    }
    if (m_Body.size() > before) {
        emit progress(m_Body.size(), m_Declared);
    }
}

void BoundedDownload::replyFinished() {
    QNetworkReply* reply = m_Reply;
    if (reply->isOpen() && reply->bytesAvailable() > 0) {
        readBody();
        if (m_Reply == nullptr) {
            return; // stopped for a bound
        }
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    Result result = Failure(Cause::None, QString(), status);
    switch (reply->error()) {
    case QNetworkReply::NoError:
        break;
    case QNetworkReply::OperationCanceledError:
        result =
            Failure(Cause::Stalled,
                    tr("nothing came for %1.").arg(Seconds(m_Bounds.StallMilliseconds)), status);
        break;
    case QNetworkReply::TooManyRedirectsError:
        result =
            Failure(Cause::TooManyRedirects,
                    tr("it was sent on more than %1 times.").arg(m_Bounds.MaxRedirects), status);
        break;
    default:
        if (status < 400) {
            result = Failure(Cause::NetworkError, quoted(reply->errorString()) + QLatin1Char('.'),
                             status);
        }
        break;
    }
    // The network code refuses a redirect to a scheme it does not speak before it reports
    // the redirect.
    const QUrl target =
        reply->url().resolved(reply->header(QNetworkRequest::LocationHeader).toUrl());
    if (reply->error() != QNetworkReply::NoError && status >= 300 && status < 400 &&
        !target.isEmpty() && !IsWebAddress(target)) {
        result = Failure(Cause::RedirectRefused, RedirectRefusal(target), status);
    }
    if (result.Why == Cause::None && (status < 200 || status >= 300)) {
        const QString phrase =
            quoted(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        result =
            Failure(Cause::HttpStatus,
                    phrase.isEmpty() ? tr("the server answered %1.").arg(status)
                                     : tr("the server answered %1 %2.").arg(status).arg(phrase),
                    status);
    }
    if (result.Why == Cause::None && !m_Unpacker->complete()) {
        result = Failure(Cause::BadPacking, tr("the server's packed body ended early."), status);
    }
    if (result.Why == Cause::None) {
        result.Bytes = std::exchange(m_Body, QByteArray());
    }
    end(std::move(result));
}

void BoundedDownload::stop(Cause Why, const QString& Reason) {
    if (m_Busy && !m_Ending) {
        end(Failure(Why, Reason));
    }
}

void BoundedDownload::letReplyGo() {
    if (m_Reply == nullptr) {
        return;
    }
    QNetworkReply* reply = std::exchange(m_Reply, nullptr);
    reply->disconnect(this);
    if (reply->isFinished()) {
        reply->deleteLater();
        return;
    }
    // Aborted once the signal that may be running has returned. Disconnected, the reply's
    // last signals reach nobody here.
    QMetaObject::invokeMethod(
        reply,
        [reply] {
            reply->abort();
            reply->deleteLater();
        },
        Qt::QueuedConnection);
}

void BoundedDownload::end(Result Outcome) {
    m_Ending = true;
    m_Deadline->stop();
    letReplyGo();
    m_Body.clear();
    QTimer::singleShot(0, this, [this, run = m_Run, Outcome = std::move(Outcome)] {
        if (run == m_Run) {
            m_Busy = false;
            m_Ending = false;
        }
        emit ended(run == m_AbortedRun ? Failure(Cause::Aborted) : Outcome);
    });
}

} // namespace lintervale

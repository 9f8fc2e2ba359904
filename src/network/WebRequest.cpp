#include "network/WebRequest.h"

namespace lintervale {

bool IsWebAddress(const QUrl& Url) {
    return Url.isValid() && (Url.scheme() == "http" || Url.scheme() == "https") &&
           !Url.host().isEmpty();
}

QNetworkRequest boundedRequest(const QUrl& Url, int StallMilliseconds, int MaxRedirects) {
    QNetworkRequest request(Url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    request.setTransferTimeout(StallMilliseconds);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Lintervale"));
    return request;
}

} // namespace lintervale

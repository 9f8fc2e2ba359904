#pragma once

// The request of a bounded download from a web address (see IsWebAddress): a bounded number
// of redirects that never lead from https down to http, a time limit without progress
// (connecting included), and the program's name as the user agent.

#include <QNetworkRequest>
#include <QUrl>

namespace lintervale {

QNetworkRequest boundedRequest(const QUrl& Url, int StallMilliseconds, int MaxRedirects);

} // namespace lintervale

#pragma once

// What every request of the program to a web address shares: http and https only, a bounded
// number of redirects that never lead from https down to http, a time limit without
// progress (connecting included), and the program's name as the user agent.

#include <QNetworkRequest>
#include <QUrl>

namespace lintervale {

// An http or https address with a host.
bool isWebUrl(const QUrl& Url);

QNetworkRequest boundedRequest(const QUrl& Url, int StallMilliseconds, int MaxRedirects);

} // namespace lintervale

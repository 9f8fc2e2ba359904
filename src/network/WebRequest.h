#pragma once

// The request of a bounded download from a web address: a bounded number
// of redirects that never lead from https down to http, a time limit without progress
// (connecting included), and the program's name as the user agent.

#include <QNetworkRequest>
#include <QUrl>

namespace lintervale {

// The bounds every web download shares: the tracker service, the public list, a dropped
// .torrent address.
inline constexpr int kWebStallMilliseconds = 5000;
inline constexpr int kWebTotalMilliseconds = 20000;
inline constexpr int kWebMaxRedirects = 5;

// Whether an address may be downloaded from: http or https, with a host.
bool IsWebAddress(const QUrl& Url);

QNetworkRequest boundedRequest(const QUrl& Url, int StallMilliseconds, int MaxRedirects);

} // namespace lintervale

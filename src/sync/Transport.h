#pragma once

#include <QByteArray>
#include <QString>

#include <curl/curl.h>

#include <memory>

// One HTTP(S) POST through libcurl, blocking: JSON in UTF-8, redirects followed (the POST
// is repeated at the new address), certificates verified. When caFile is set it is the
// only certificate authority trusted.
struct THttpAnswer
{
    bool Reached = false;  // the server answered with an HTTP status
    long Status = 0;
    QByteArray Body;
    QString Error;         // why it was not reached
};

inline constexpr int RequestTimeoutMs = 5000;

THttpAnswer HttpPostJson(const QString &url, const QByteArray &body, const QString &caFile,
                         int timeoutMs = RequestTimeoutMs);

struct TCurlDeleter
{
    void operator()(CURL *curl) const { curl_easy_cleanup(curl); }
};
struct TCurlListDeleter
{
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
using TCurl = std::unique_ptr<CURL, TCurlDeleter>;
using TCurlList = std::unique_ptr<curl_slist, TCurlListDeleter>;

// A new easy handle (libcurl is initialised once per process); null when libcurl fails.
TCurl NewCurl();

// The settings every transfer of the program shares: whole-transfer and connect time-outs,
// no signals (transfers run on worker threads), peer and host verified. A non-empty
// `authorities` (a CA file path, 8-bit encoded) is then the only trusted authority; the
// array must outlive the transfer.
void SetVerifiedTransfer(CURL *handle, int timeoutMs, const QByteArray &authorities);

#include "sync/Transport.h"

#include <mutex>

namespace {

size_t collect(char *data, size_t size, size_t count, void *target)
{
    static_cast<QByteArray *>(target)->append(data, qsizetype(size * count));
    return size * count;
}

} // namespace

TCurl NewCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    return TCurl(curl_easy_init());
}

void SetVerifiedTransfer(CURL *handle, int timeoutMs, const QByteArray &authorities)
{
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, long(timeoutMs));
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs));
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!authorities.isEmpty()) {
        curl_easy_setopt(handle, CURLOPT_CAINFO, authorities.constData());
        curl_easy_setopt(handle, CURLOPT_CAPATH, nullptr);
    }
}

THttpAnswer HttpPostJson(const QString &url, const QByteArray &body, const QString &caFile,
                         int timeoutMs)
{
    THttpAnswer answer;
    TCurl curl = NewCurl();
    if (!curl) {
        answer.Error = QStringLiteral("curl_easy_init failed");
        return answer;
    }
    TCurlList headers;
    curl_slist *list = curl_slist_append(nullptr, "Content-Type: application/json; charset=utf-8");
    list = curl_slist_append(list, "Accept-Charset: utf-8");
    list = curl_slist_append(list, "Expect:");
    headers.reset(list);

    const QByteArray address = url.toUtf8();
    const QByteArray authorities = caFile.toLocal8Bit();
    char error[CURL_ERROR_SIZE] = {};
    CURL *handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, address.constData());
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_POST, 1L);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_POSTREDIR, long(CURL_REDIR_POST_ALL));
    SetVerifiedTransfer(handle, timeoutMs, authorities);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &answer.Body);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, error);

    const CURLcode result = curl_easy_perform(handle);
    if (result != CURLE_OK) {
        answer.Error = QString::fromUtf8(error[0] ? error : curl_easy_strerror(result));
        answer.Body.clear();
        return answer;
    }
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &answer.Status);
    answer.Reached = true;
    return answer;
}

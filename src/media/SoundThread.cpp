#include "media/SoundThread.h"

#include "media/MarovekMedia.h"
#include "store/DataCenter.h"
#include "sync/Requests.h"
#include "sync/ServerLink.h"
#include "sync/Transport.h"

#include <QUrl>

#include <curl/curl.h>

#include <memory>

namespace {

QChar AsciiUpper(QChar c)
{
    return (c >= u'a' && c <= u'z') ? QChar(c.unicode() - u'a' + u'A') : c;
}

size_t Discard(char *, size_t size, size_t count, void *)
{
    return size * count;
}

int Progress(void *cancelled, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto *flag = static_cast<const std::atomic<bool> *>(cancelled);
    return (flag && flag->load()) ? 1 : 0;
}

std::mutex &FallbackSoundLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

QString SoundUrl(const QString &word, const QString &baseUrl)
{
    if (word.isEmpty())
        return {};
    QString result = baseUrl;
    if (!result.isEmpty() && !result.endsWith(u'/'))
        result += u'/';
    const QString letter(AsciiUpper(word.at(0)));
    result += QStringLiteral("KX5/English/Sound/");
    result += QString::fromLatin1(QUrl::toPercentEncoding(letter));
    result += u'/';
    result += QString::fromLatin1(QUrl::toPercentEncoding(word.toLower()));
    result += QStringLiteral(".wav");
    return result;
}

QString SoundUrl(const QString &word)
{
    TSyncClient *client = SyncClient();
    return SoundUrl(word, client ? client->Link().SoundUrl() : QString());
}

TSoundProbe ProbeSound(const QString &url, const QString &caFile, int timeoutMs,
                       const std::atomic<bool> *cancelled)
{
    TSoundProbe probe;
    if (url.isEmpty())
        return probe;
    TCurl curl = NewCurl();
    if (!curl)
        return probe;
    curl_slist *list = curl_slist_append(nullptr, "Cache-Control: no-cache");
    list = curl_slist_append(list, "Pragma: no-cache");
    TCurlList headers(list);

    const QByteArray address = url.toUtf8();
    const QByteArray authorities = caFile.toLocal8Bit();
    CURL *handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, address.constData());
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "InetURL:/1.0");
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
    SetVerifiedTransfer(handle, timeoutMs, authorities);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Discard);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool> *>(cancelled));

    if (curl_easy_perform(handle) != CURLE_OK)
        return probe;
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    if (status > 0)
        probe.Status = QString::number(status).left(10);
    return probe;
}

TSoundThread::TSoundThread(TBasicMedia *media, QString url, std::mutex &lock, QString caFile)
    : m_media(media)
    , m_url(std::move(url))
    , m_lock(lock)
    , m_caFile(std::move(caFile))
{
}

TSoundThread::~TSoundThread()
{
    Cancel();
    wait();
}

QString TSoundThread::Status() const
{
    std::lock_guard lock(m_statusMutex);
    return m_status;
}

void TSoundThread::run()
{
    std::lock_guard soundLock(m_lock);
    if (m_cancelled)
        return;
    const TSoundProbe probe = ProbeSound(m_url, m_caFile, 5000, &m_cancelled);
    {
        std::lock_guard lock(m_statusMutex);
        m_status = probe.Status;
    }
    if (probe.Playable() && !m_cancelled && m_media)
        m_media->OpenAndPlay(m_url);
}

void PlaySound(TBasicMedia *media, const QString &url, std::mutex &lock)
{
    if (!media)
        return;
    TSyncClient *client = SyncClient();
    const QString caFile = client ? client->Link().CaFile() : QString();
    media->AdoptSoundThread(std::make_unique<TSoundThread>(media, url, lock, caFile));
}

void PlaySound(TBasicMedia *media, const QString &url)
{
    TDataCenter *centre = DataCenter();
    PlaySound(media, url, centre ? centre->SoundLock : FallbackSoundLock());
}

bool PronounceWord(TBasicMedia *media, const QString &sourceName)
{
    if (!media || sourceName.isEmpty() || !HasDefaultAudioOutput())
        return false;
    PlaySound(media, SoundUrl(sourceName));
    return true;
}

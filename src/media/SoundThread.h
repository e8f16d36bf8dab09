#pragma once

#include <QString>
#include <QThread>

#include <atomic>
#include <mutex>

class TBasicMedia;

// The address of a word's sound below the sound store's base URL: base + "/" +
// "KX5/English/Sound/" + the first character in upper case (ASCII letters only) + "/" +
// the word in lower case + ".wav"; both path segments percent-encoded. Empty for an empty
// word.
QString SoundUrl(const QString &word, const QString &baseUrl);
// The same below the sound store of the living sync client (the configured "SoundUrl",
// else the application server's address).
QString SoundUrl(const QString &word);

// The probe's answer: the HTTP status as text ("200", "404"...), empty when the address
// could not be reached.
struct TSoundProbe
{
    QString Status;
    bool Playable() const
    {
        return Status == QLatin1String("200") || Status == QLatin1String("302");
    }
};

// Asks the sound store whether url exists, bypassing every cache (HEAD request with
// "Cache-Control: no-cache"). Blocking; at most timeoutMs. cancelled, when given, is
// polled and ends the transfer early.
TSoundProbe ProbeSound(const QString &url, const QString &caFile = {}, int timeoutMs = 5000,
                       const std::atomic<bool> *cancelled = nullptr);

// One pronunciation: under the sound lock for the whole run, probes the address and, when
// it answers "200" or "302", hands it to the player's OpenAndPlay. Sound threads thus run
// one at a time, in the order they got the lock. Owned by its player (TBasicMedia).
class TSoundThread : public QThread
{
    Q_OBJECT
public:
    TSoundThread(TBasicMedia *media, QString url, std::mutex &lock, QString caFile = {});
    ~TSoundThread() override;

    // Asks the thread to give up: a waiting thread skips its probe, a running probe ends.
    void Cancel() { m_cancelled = true; }
    // The status text the probe read (valid once finished).
    QString Status() const;

protected:
    void run() override;

private:
    TBasicMedia *m_media;
    const QString m_url;
    std::mutex &m_lock;
    const QString m_caFile;
    std::atomic<bool> m_cancelled{false};
    mutable std::mutex m_statusMutex;
    QString m_status;
};

// Starts a sound thread for url on media under lock and returns at once.
void PlaySound(TBasicMedia *media, const QString &url, std::mutex &lock);
// The same under the data centre's sound lock (a process-wide one when there is no data
// centre), trusting the sync client's certificate authorities.
void PlaySound(TBasicMedia *media, const QString &url);

// A word's pronunciation as the layer host asks for it: nothing for an empty word or when
// the system has no default audio output; otherwise PlaySound with SoundUrl(word). True
// when a sound thread was started.
bool PronounceWord(TBasicMedia *media, const QString &sourceName);

#include "server/SoundStore.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <espeak-ng/speak_lib.h>
#include <httplib.h>

#include <memory>
#include <vector>

namespace {

constexpr int MaxWordLength = 64;

// espeak-ng keeps global state: one initialisation per process, every use under this lock.
std::mutex &SynthLock()
{
    static std::mutex lock;
    return lock;
}

int InitialisedRate()
{
    // Called under SynthLock(); 0 when the synthesiser (or its voice data) is missing.
    static int rate = [] {
        const int sampleRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
        if (sampleRate <= 0)
            return 0;
        if (espeak_SetVoiceByName("en") != EE_OK)
            return 0;
        return sampleRate;
    }();
    return rate;
}

int Collect(short *samples, int count, espeak_EVENT *events)
{
    if (samples && count > 0 && events && events->user_data) {
        auto *target = static_cast<std::vector<short> *>(events->user_data);
        target->insert(target->end(), samples, samples + count);
    }
    return 0;
}

void PutLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void PutLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

QByteArray WaveFile(const std::vector<short> &samples, int sampleRate)
{
    const quint32 dataBytes = quint32(samples.size() * sizeof(short));
    QByteArray out;
    out.reserve(int(44 + dataBytes));
    out.append("RIFF");
    PutLe32(out, 36 + dataBytes);
    out.append("WAVE");
    out.append("fmt ");
    PutLe32(out, 16);
    PutLe16(out, 1);                       // PCM
    PutLe16(out, 1);                       // mono
    PutLe32(out, quint32(sampleRate));
    PutLe32(out, quint32(sampleRate) * 2); // bytes per second
    PutLe16(out, 2);                       // block align
    PutLe16(out, 16);                      // bits per sample
    out.append("data");
    PutLe32(out, dataBytes);
    for (short sample : samples)
        PutLe16(out, quint16(sample));
    return out;
}

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

} // namespace

TSoundStore::TSoundStore(QString cacheDir)
    : m_cacheDir(std::move(cacheDir))
{
}

bool TSoundStore::IsPlainWord(const QString &name)
{
    if (name.isEmpty() || name.size() > MaxWordLength || !IsAsciiLetter(name.front())
        || name.back() == u' ')
        return false;
    QChar previous;
    for (QChar c : name) {
        const bool allowed = IsAsciiLetter(c) || c == u'\'' || c == u'-'
            || (c == u' ' && previous != u' ');
        if (!allowed)
            return false;
        previous = c;
    }
    return true;
}

QString TSoundStore::CachePath(const QString &name) const
{
    const QString word = name.toLower();
    return m_cacheDir + u'/' + word.front().toUpper() + u'/' + word + QStringLiteral(".wav");
}

QByteArray TSoundStore::Synthesise(const QString &text)
{
    QString spoken = text;
    spoken.remove(QStringLiteral("kkkk"));
    spoken = spoken.trimmed();
    if (spoken.isEmpty())
        return {};
    const QByteArray utf8 = spoken.toUtf8();
    std::vector<short> samples;
    std::lock_guard lock(SynthLock());
    const int rate = InitialisedRate();
    if (rate <= 0)
        return {};
    espeak_SetSynthCallback(Collect);
    const espeak_ERROR result = espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0,
                                             POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                                             &samples);
    if (result != EE_OK)
        return {};
    espeak_Synchronize();
    if (samples.empty())
        return {};
    return WaveFile(samples, rate);
}

QByteArray TSoundStore::Sound(const QString &letter, const QString &name)
{
    if (!IsPlainWord(name) || letter.size() != 1 || !IsAsciiLetter(letter.front())
        || letter.front() != name.front().toUpper())
        return {};
    const QString path = CachePath(name);
    std::lock_guard lock(m_cacheMutex);
    QFile cached(path);
    if (cached.open(QIODevice::ReadOnly))
        return cached.readAll();
    QByteArray wave = Synthesise(name);
    if (wave.isEmpty())
        return {};
    // Written whole or not at all, so a half-written file is never served.
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(wave) == wave.size())
        file.commit();
    return wave;
}

void RegisterSoundStore(httplib::Server &server, const QString &cacheDir)
{
    auto store = std::make_shared<TSoundStore>(cacheDir);
    server.Get(R"((.*)/KX5/English/Sound/([^/]+)/([^/]+)\.wav)",
               [store](const httplib::Request &request, httplib::Response &response) {
                   const QString letter = QString::fromStdString(request.matches[2].str());
                   const QString name = QString::fromStdString(request.matches[3].str());
                   const QByteArray wave = store->Sound(letter, name);
                   if (wave.isEmpty()) {
                       response.status = 404;
                       return;
                   }
                   response.status = 200;
                   response.set_header("Cache-Control", "no-cache");
                   response.set_content(wave.constData(), size_t(wave.size()), "audio/wav");
               });
}

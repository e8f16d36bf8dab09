#pragma once

#include <QByteArray>
#include <QString>

#include <mutex>

namespace httplib {
class Server;
}

// The sound store: word pronunciations as WAV files, synthesised with espeak-ng on first
// request and kept in a cache folder. Thread-safe (the synthesiser is one per process and
// runs under its own lock).
class TSoundStore
{
public:
    explicit TSoundStore(QString cacheDir);

    // The WAV file of the sound addressed by letter (the folder: the word's first letter in
    // upper case) and name (the word as it appears in the file name, without ".wav"); empty
    // when the name is not a plain word, does not belong in that folder, or cannot be said.
    QByteArray Sound(const QString &letter, const QString &name);
    // Where the sound of a plain word is cached.
    QString CachePath(const QString &name) const;

    // A plain word: 1 to 64 ASCII letters, apostrophes, hyphens and single inner blanks,
    // starting with a letter. Nothing else ever reaches the file system.
    static bool IsPlainWord(const QString &name);
    // Speech for text (the marker "kkkk" is not spoken) as a complete RIFF/WAVE file of
    // 16-bit mono PCM; empty when the synthesiser is missing or says nothing.
    static QByteArray Synthesise(const QString &text);

private:
    QString m_cacheDir;
    std::mutex m_cacheMutex;
};

// Serves GET (and HEAD) <any prefix>/KX5/English/Sound/<L>/<word>.wav from a sound store
// on cacheDir: 200 with "audio/wav", 404 for anything it cannot say. The store lives as
// long as the server's handlers.
void RegisterSoundStore(httplib::Server &server, const QString &cacheDir);

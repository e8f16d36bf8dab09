#pragma once

#include <QString>

class TIni;

// Where the program finds its servers: section "Server" of the settings file, keys
// "BaseUrl" (the application server), "SoundUrl" (word sounds), "BucketUrl" (the
// object-storage bucket) and "CaFile" (a PEM file of certificate authorities; when set it
// is the only trust anchor for HTTPS, so a self-signed server can be trusted on purpose).
// An empty BaseUrl means the reference server embedded in the program.
struct TServerSettings
{
    QString BaseUrl;
    QString SoundUrl;
    QString BucketUrl;
    QString CaFile;

    // Reads the section from the given settings file (the program's own when none).
    static TServerSettings FromIni(TIni &ini);
    static TServerSettings FromIni();
};

// True when url's host is this machine (localhost, 127.0.0.0/8 or ::1).
bool IsLoopbackUrl(const QString &url);

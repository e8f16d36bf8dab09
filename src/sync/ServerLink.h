#pragma once

#include "sync/ServerSettings.h"

#include <QString>

#include <memory>
#include <mutex>

class TReferenceServer;

// The addresses of the servers the program talks to. With no BaseUrl in the settings the
// reference server runs inside the program: started on first use on 127.0.0.1 with a free
// port, open registration and its data under AppDataLocation + "/server", stopped when
// the link is destroyed. BaseUrl() may be called from any thread once Start() has run on
// the main thread.
class TServerLink
{
public:
    explicit TServerLink(TServerSettings settings);
    ~TServerLink();
    TServerLink(const TServerLink &) = delete;
    TServerLink &operator=(const TServerLink &) = delete;

    // Starts the embedded server when it is the one in use and not running yet. False
    // when it cannot start (the base URL then stays empty).
    bool Start();
    // The application server's base URL without a trailing "/"; empty before Start() of
    // the embedded server or when it failed.
    QString BaseUrl() const;
    // Sound store and bucket: the configured address, else the application server's.
    QString SoundUrl() const;
    QString BucketUrl() const;
    QString CaFile() const { return m_settings.CaFile; }
    bool UsesEmbeddedServer() const { return m_settings.BaseUrl.isEmpty(); }
    // The configured or embedded server is on this machine.
    bool IsLocal() const;
    // The embedded server, when it runs.
    TReferenceServer *EmbeddedServer() const { return m_server.get(); }

private:
    TServerSettings m_settings;
    std::unique_ptr<TReferenceServer> m_server;
    mutable std::mutex m_mutex;
    QString m_embeddedUrl;
};

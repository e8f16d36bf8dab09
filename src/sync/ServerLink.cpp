#include "sync/ServerLink.h"

#include "server/ReferenceServer.h"

#include <QDir>
#include <QStandardPaths>

TServerLink::TServerLink(TServerSettings settings)
    : m_settings(std::move(settings))
{
}

TServerLink::~TServerLink()
{
    if (m_server)
        m_server->stop();
}

bool TServerLink::Start()
{
    if (!UsesEmbeddedServer())
        return true;
    if (m_server && m_server->isRunning())
        return true;
    TServerOptions options;
    options.dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
        + QStringLiteral("/server");
    QDir().mkpath(options.dataDir);
    options.listen = QStringLiteral("127.0.0.1");
    options.port = 0;
    options.openRegistration = true;
    auto server = std::make_unique<TReferenceServer>(options);
    if (!server->start())
        return false;
    std::lock_guard lock(m_mutex);
    m_server = std::move(server);
    m_embeddedUrl = m_server->baseUrl();
    return true;
}

QString TServerLink::BaseUrl() const
{
    if (!UsesEmbeddedServer())
        return m_settings.BaseUrl;
    std::lock_guard lock(m_mutex);
    return m_embeddedUrl;
}

QString TServerLink::SoundUrl() const
{
    return m_settings.SoundUrl.isEmpty() ? BaseUrl() : m_settings.SoundUrl;
}

QString TServerLink::BucketUrl() const
{
    return m_settings.BucketUrl.isEmpty() ? BaseUrl() : m_settings.BucketUrl;
}

bool TServerLink::IsLocal() const
{
    return UsesEmbeddedServer() || IsLoopbackUrl(m_settings.BaseUrl);
}

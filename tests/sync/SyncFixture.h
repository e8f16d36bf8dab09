#pragma once

// The pieces the sync tests share: a real store (StoreFixture), the real reference server
// on 127.0.0.1 with its data in a temporary folder, a canned-answer server for answers the
// reference server never gives, and a sync client pointed at either.

#include "server/ReferenceServer.h"
#include "store/DataCenter.h"
#include "store/StoreFixture.h"
#include "sync/Requests.h"

#include <httplib.h>

#include <QJsonDocument>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Answers every POST under /linkkk/ with `answer`, records each body, and measures how
// many requests were in flight at once (each one is held for delayMs).
class CannedServer
{
public:
    explicit CannedServer(QByteArray answer, int delayMs = 0)
        : m_answer(std::move(answer)), m_delayMs(delayMs)
    {
        m_server.Post(R"(/linkkk/(.*))", [this](const httplib::Request &request, httplib::Response &response) {
            const int now = ++m_inFlight;
            for (int seen = m_maxInFlight; now > seen && !m_maxInFlight.compare_exchange_weak(seen, now);) {}
            if (m_delayMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs));
            {
                std::lock_guard lock(m_mutex);
                m_bodies.push_back(QByteArray::fromStdString(request.body));
                m_operations.push_back(QString::fromStdString(request.matches[1].str()));
                response.set_content(m_answer.toStdString(), "application/json");
            }
            --m_inFlight;
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~CannedServer()
    {
        m_server.stop();
        m_thread.join();
    }

    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    void setAnswer(const QByteArray &answer)
    {
        std::lock_guard lock(m_mutex);
        m_answer = answer;
    }
    std::vector<QJsonObject> requests()
    {
        std::lock_guard lock(m_mutex);
        std::vector<QJsonObject> objects;
        for (const QByteArray &body : m_bodies)
            objects.push_back(QJsonDocument::fromJson(body).object());
        return objects;
    }
    QStringList operations()
    {
        std::lock_guard lock(m_mutex);
        return QStringList(m_operations.begin(), m_operations.end());
    }
    int maxInFlight() const { return m_maxInFlight; }

private:
    httplib::Server m_server;
    QByteArray m_answer;
    int m_delayMs = 0;
    int m_port = 0;
    std::mutex m_mutex;
    std::vector<QByteArray> m_bodies;
    std::vector<QString> m_operations;
    std::atomic<int> m_inFlight{0};
    std::atomic<int> m_maxInFlight{0};
    std::thread m_thread;
};

inline constexpr char TestZone[] = "86";
inline constexpr char TestPhone[] = "13800000000";
inline constexpr char TestPassword[] = "123456";

inline QString testAccount()
{
    return QLatin1String(TestZone) + QLatin1String(TestPhone);
}

// The reference server on 127.0.0.1 with its store in its own temporary folder.
class ServerFixture
{
public:
    explicit ServerFixture(quint16 port = 0, const QString &cert = {}, const QString &key = {})
    {
        start(port, cert, key);
    }

    bool start(quint16 port = 0, const QString &cert = {}, const QString &key = {})
    {
        TServerOptions options;
        options.dataDir = m_dir.path();
        options.port = port;
        options.openRegistration = true;
        options.tlsCert = cert;
        options.tlsKey = key;
        const QString content = qEnvironmentVariable("VOCAMO_BIN_DIR") + QStringLiteral("/VocamoServer.content");
        if (QFile::exists(content))
            options.contentPath = content;
        m_server = std::make_unique<TReferenceServer>(options);
        QString error;
        const bool started = m_server->start(&error);
        if (!started)
            qWarning() << "server did not start:" << error;
        return started;
    }
    void stop() { m_server->stop(); }
    TReferenceServer &server() { return *m_server; }
    QString baseUrl() const { return m_server->baseUrl(); }
    quint16 port() const { return m_server->port(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TReferenceServer> m_server;
};

inline TServerSettings settingsFor(const QString &baseUrl, const QString &caFile = {})
{
    TServerSettings settings;
    settings.BaseUrl = baseUrl;
    settings.CaFile = caFile;
    return settings;
}

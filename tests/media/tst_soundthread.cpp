#include "media/MarovekMedia.h"
#include "media/SoundThread.h"

#include <QtTest>

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// A player that only records what the sound threads hand it.
class TRecordingMedia : public TAVIMedia
{
public:
    TRecordingMedia()
        : TAVIMedia(nullptr, QString())
    {
    }
    ~TRecordingMedia() override { JoinSoundThreads(); }

    void OpenAndPlay(const QString &fileName) override
    {
        std::lock_guard lock(m_mutex);
        m_played.append(fileName);
    }
    QStringList Played()
    {
        std::lock_guard lock(m_mutex);
        return m_played;
    }

private:
    std::mutex m_mutex;
    QStringList m_played;
};

// A sound store on 127.0.0.1 that knows "go", redirects "moved" and counts how many
// probes it answers at the same time.
class TSoundServer
{
public:
    TSoundServer()
    {
        m_server.Get("/KX5/English/Sound/G/go.wav", [this](const httplib::Request &request,
                                                           httplib::Response &response) {
            Enter(request);
            response.set_content("RIFF....WAVE", "audio/wav");
            Leave();
        });
        m_server.Get("/KX5/English/Sound/M/moved.wav",
                     [this](const httplib::Request &request, httplib::Response &response) {
                         Enter(request);
                         response.set_redirect("/elsewhere/moved.wav");
                         Leave();
                     });
        m_server.Get("/KX5/English/Sound/E/error.wav",
                     [this](const httplib::Request &request, httplib::Response &response) {
                         Enter(request);
                         response.status = 500;
                         Leave();
                     });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() only ends a server that runs, so wait for the loop to start.
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~TSoundServer()
    {
        m_server.stop();
        m_thread.join();
    }

    QString Base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    int MaxConcurrent() const { return m_max; }
    int Requests() const { return m_requests; }
    std::string LastUserAgent()
    {
        std::lock_guard lock(m_mutex);
        return m_agent;
    }
    std::string LastCacheControl()
    {
        std::lock_guard lock(m_mutex);
        return m_cacheControl;
    }
    std::string LastMethod()
    {
        std::lock_guard lock(m_mutex);
        return m_method;
    }

private:
    void Enter(const httplib::Request &request)
    {
        {
            std::lock_guard lock(m_mutex);
            m_agent = request.get_header_value("User-Agent");
            m_cacheControl = request.get_header_value("Cache-Control");
            m_method = request.method;
        }
        ++m_requests;
        const int now = ++m_active;
        int seen = m_max;
        while (now > seen && !m_max.compare_exchange_weak(seen, now)) {
        }
        // Holds the probe open a little so that overlapping probes would be seen.
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    void Leave() { --m_active; }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::atomic<int> m_active{0};
    std::atomic<int> m_max{0};
    std::atomic<int> m_requests{0};
    std::mutex m_mutex;
    std::string m_agent, m_cacheControl, m_method;
};

// A port on 127.0.0.1 that nothing listens on.
int ClosedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

} // namespace

class TestSoundThread : public QObject
{
    Q_OBJECT
private slots:
    void playsWhatTheStoreHas_data();
    void playsWhatTheStoreHas();
    void probeIsFresh();
    void unreachablePlaysNothing();
    void emptyUrlPlaysNothing();
    void threadsNeverOverlap();
    void cancelledWhileWaitingSkipsProbe();
    void queuedSoundsAreDroppedWhenThePlayerGoes();
};

void TestSoundThread::playsWhatTheStoreHas_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("plays");
    QTest::newRow("200") << "go" << "200" << true;
    QTest::newRow("302") << "moved" << "302" << true;
    QTest::newRow("404") << "gone" << "404" << false;
    QTest::newRow("500") << "error" << "500" << false;
}

void TestSoundThread::playsWhatTheStoreHas()
{
    QFETCH(QString, word);
    QFETCH(QString, status);
    QFETCH(bool, plays);

    TSoundServer server;
    TRecordingMedia media;
    std::mutex lock;
    const QString url = SoundUrl(word, server.Base());
    QCOMPARE(ProbeSound(url).Status, status);

    PlaySound(&media, url, lock);
    media.WaitForSoundThreads();
    QCOMPARE(media.Played(), plays ? QStringList{url} : QStringList{});
}

void TestSoundThread::probeIsFresh()
{
    TSoundServer server;
    const TSoundProbe probe = ProbeSound(SoundUrl(QStringLiteral("go"), server.Base()));
    QVERIFY(probe.Playable());
    QCOMPARE(server.LastUserAgent(), std::string("InetURL:/1.0"));
    QCOMPARE(server.LastCacheControl(), std::string("no-cache"));
    QCOMPARE(server.LastMethod(), std::string("HEAD"));
}

void TestSoundThread::unreachablePlaysNothing()
{
    const QString url = SoundUrl(QStringLiteral("go"),
                                 QStringLiteral("http://127.0.0.1:%1").arg(ClosedPort()));
    QCOMPARE(ProbeSound(url).Status, QString());
    TRecordingMedia media;
    std::mutex lock;
    PlaySound(&media, url, lock);
    media.WaitForSoundThreads();
    QVERIFY(media.Played().isEmpty());
}

void TestSoundThread::emptyUrlPlaysNothing()
{
    TRecordingMedia media;
    std::mutex lock;
    PlaySound(&media, SoundUrl(QString(), QStringLiteral("http://127.0.0.1:1")), lock);
    media.WaitForSoundThreads();
    QVERIFY(media.Played().isEmpty());
}

void TestSoundThread::threadsNeverOverlap()
{
    TSoundServer server;
    TRecordingMedia media;
    std::mutex lock;
    const QString url = SoundUrl(QStringLiteral("go"), server.Base());
    for (int i = 0; i < 10; ++i)
        PlaySound(&media, url, lock);
    media.WaitForSoundThreads();
    QCOMPARE(server.Requests(), 10);
    QCOMPARE(server.MaxConcurrent(), 1);
    QCOMPARE(media.Played().size(), 10);
}

void TestSoundThread::cancelledWhileWaitingSkipsProbe()
{
    TSoundServer server;
    TRecordingMedia media;
    std::mutex lock;
    std::unique_lock held(lock);
    TSoundThread thread(&media, SoundUrl(QStringLiteral("go"), server.Base()), lock);
    thread.start();
    thread.Cancel();
    held.unlock();
    thread.wait();
    QCOMPARE(server.Requests(), 0);
    QVERIFY(media.Played().isEmpty());
}

void TestSoundThread::queuedSoundsAreDroppedWhenThePlayerGoes()
{
    TSoundServer server;
    std::mutex lock;
    {
        TRecordingMedia media;
        std::unique_lock held(lock);
        const QString url = SoundUrl(QStringLiteral("go"), server.Base());
        for (int i = 0; i < 3; ++i)
            PlaySound(&media, url, lock);
        QCOMPARE(media.SoundThreadCount(), 3);
        media.CancelSoundThreads();
        held.unlock();
        // The destructor joins the threads.
    }
    QCOMPARE(server.Requests(), 0);
}

QTEST_GUILESS_MAIN(TestSoundThread)
#include "tst_soundthread.moc"

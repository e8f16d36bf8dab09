#include "server/SoundStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <httplib.h>

#include <thread>

namespace {

// RegisterSoundStore on a real server at 127.0.0.1.
class TStoreServer
{
public:
    explicit TStoreServer(const QString &cacheDir)
    {
        RegisterSoundStore(m_server, cacheDir);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() only ends a server that runs, so wait for the loop to start.
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~TStoreServer()
    {
        m_server.stop();
        m_thread.join();
    }
    httplib::Result Get(const std::string &path)
    {
        httplib::Client client("127.0.0.1", m_port);
        return client.Get(path);
    }
    httplib::Result Head(const std::string &path)
    {
        httplib::Client client("127.0.0.1", m_port);
        return client.Head(path);
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

bool IsWave(const std::string &body)
{
    return body.size() > 44 && body.compare(0, 4, "RIFF") == 0
        && body.compare(8, 4, "WAVE") == 0 && body.compare(36, 4, "data") == 0;
}

QStringList FilesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

} // namespace

class TestSoundStore : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void servesSpeech();
    void secondRequestFromCache();
    void anyPrefixAndHead();
    void rejected_data();
    void rejected();
    void plainWord_data();
    void plainWord();
    void markerIsNotSpoken();

private:
    QTemporaryDir m_root;
};

void TestSoundStore::initTestCase()
{
    QVERIFY(m_root.isValid());
    if (TSoundStore::Synthesise(QStringLiteral("go")).isEmpty())
        QFAIL("espeak-ng cannot speak: install espeak-ng-data");
}

void TestSoundStore::servesSpeech()
{
    QTemporaryDir cache;
    TStoreServer server(cache.path());
    auto answer = server.Get("/KX5/English/Sound/G/go.wav");
    QVERIFY(answer);
    QCOMPARE(answer->status, 200);
    QCOMPARE(answer->get_header_value("Content-Type"), std::string("audio/wav"));
    QVERIFY(IsWave(answer->body));
    QCOMPARE(FilesUnder(cache.path()), QStringList{QStringLiteral("G/go.wav")});
    QFile cached(cache.filePath(QStringLiteral("G/go.wav")));
    QVERIFY(cached.open(QIODevice::ReadOnly));
    QCOMPARE(cached.readAll().toStdString(), answer->body);
}

void TestSoundStore::secondRequestFromCache()
{
    QTemporaryDir cache;
    TStoreServer server(cache.path());
    QCOMPARE(server.Get("/KX5/English/Sound/G/go.wav")->status, 200);
    // Replace the cached file: the next answer must be the file, not a new synthesis.
    const QByteArray marker = "RIFF\x24\0\0\0WAVEcached";
    QFile cached(cache.filePath(QStringLiteral("G/go.wav")));
    QVERIFY(cached.open(QIODevice::WriteOnly | QIODevice::Truncate));
    cached.write(marker);
    cached.close();
    auto again = server.Get("/KX5/English/Sound/G/go.wav");
    QCOMPARE(again->status, 200);
    QCOMPARE(QByteArray::fromStdString(again->body), marker);
    // Upper-case names share the cached file.
    QCOMPARE(QByteArray::fromStdString(server.Get("/KX5/English/Sound/G/Go.wav")->body), marker);
}

void TestSoundStore::anyPrefixAndHead()
{
    QTemporaryDir cache;
    TStoreServer server(cache.path());
    auto prefixed = server.Get("/sounds/v1/KX5/English/Sound/L/look%20up.wav");
    QCOMPARE(prefixed->status, 200);
    QVERIFY(IsWave(prefixed->body));
    QVERIFY(QFile::exists(cache.filePath(QStringLiteral("L/look up.wav"))));
    auto head = server.Head("/KX5/English/Sound/W/well-known.wav");
    QCOMPARE(head->status, 200);
    QVERIFY(head->body.empty());
    auto quote = server.Get("/KX5/English/Sound/O/o%27clock.wav");
    QCOMPARE(quote->status, 200);
}

void TestSoundStore::rejected_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("dotdot segments") << "/KX5/English/Sound/G/../../../etc/passwd.wav";
    QTest::newRow("dotdot as letter") << "/KX5/English/Sound/../passwd.wav";
    QTest::newRow("encoded slashes") << "/KX5/English/Sound/E/..%2F..%2Fetc%2Fpasswd.wav";
    QTest::newRow("encoded dots in name") << "/KX5/English/Sound/G/%2E%2E.wav";
    QTest::newRow("backslash") << "/KX5/English/Sound/G/go%5C..%5Cx.wav";
    QTest::newRow("nul") << "/KX5/English/Sound/G/go%00.wav";
    QTest::newRow("wrong folder") << "/KX5/English/Sound/A/go.wav";
    QTest::newRow("lower-case folder") << "/KX5/English/Sound/g/go.wav";
    QTest::newRow("two-letter folder") << "/KX5/English/Sound/GO/go.wav";
    QTest::newRow("digit") << "/KX5/English/Sound/G/go1.wav";
    QTest::newRow("empty name") << "/KX5/English/Sound/G/.wav";
    QTest::newRow("hidden file") << "/KX5/English/Sound/G/.go.wav";
    QTest::newRow("other extension") << "/KX5/English/Sound/G/go.mp3";
    QTest::newRow("leading blank") << "/KX5/English/Sound/G/%20go.wav";
    QTest::newRow("double blank") << "/KX5/English/Sound/G/go%20%20on.wav";
    QTest::newRow("non-ascii") << "/KX5/English/Sound/G/g%C3%B6.wav";
    QTest::newRow("too long") << "/KX5/English/Sound/A/" + QString(65, u'a') + ".wav";
    QTest::newRow("marker only") << "/KX5/English/Sound/K/kkkk.wav";
    QTest::newRow("other path") << "/KX5/English/Picture/G/go.wav";
}

void TestSoundStore::rejected()
{
    QFETCH(QString, path);
    QTemporaryDir cache;
    const QString inside = cache.filePath(QStringLiteral("inside"));
    QVERIFY(QDir().mkpath(inside));
    TStoreServer server(inside);
    auto answer = server.Get(path.toStdString());
    QVERIFY(answer);
    QCOMPARE(answer->status, 404);
    // Nothing was written, in the cache or beside it.
    QCOMPARE(FilesUnder(cache.path()), QStringList{});
}

void TestSoundStore::plainWord_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain");
    QTest::newRow("word") << "go" << true;
    QTest::newRow("capital") << "Apple" << true;
    QTest::newRow("apostrophe") << "o'clock" << true;
    QTest::newRow("hyphen") << "well-known" << true;
    QTest::newRow("phrase") << "look up" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dotdot") << ".." << false;
    QTest::newRow("slash") << "a/b" << false;
    QTest::newRow("dot") << "a.b" << false;
    QTest::newRow("leading hyphen") << "-go" << false;
    QTest::newRow("leading apostrophe") << "'tis" << false;
    QTest::newRow("trailing blank") << "go " << false;
    QTest::newRow("tab") << "go\ton" << false;
    QTest::newRow("64 letters") << QString(64, u'a') << true;
    QTest::newRow("65 letters") << QString(65, u'a') << false;
}

void TestSoundStore::plainWord()
{
    QFETCH(QString, name);
    QFETCH(bool, plain);
    QCOMPARE(TSoundStore::IsPlainWord(name), plain);
}

void TestSoundStore::markerIsNotSpoken()
{
    // The marker is dropped from the spoken text: "kkkkgo" lasts as long as "go" (the
    // synthesiser's output varies by a few samples), far shorter than the letters spoken.
    const qsizetype go = TSoundStore::Synthesise(QStringLiteral("go")).size();
    const qsizetype marked = TSoundStore::Synthesise(QStringLiteral("kkkkgo")).size();
    const qsizetype spelled = TSoundStore::Synthesise(QStringLiteral("k k k k go")).size();
    QVERIFY(qAbs(marked - go) < go / 10);
    QVERIFY(spelled > go * 2);
    QVERIFY(TSoundStore::Synthesise(QStringLiteral("kkkk")).isEmpty());
}

QTEST_GUILESS_MAIN(TestSoundStore)
#include "tst_soundstore.moc"

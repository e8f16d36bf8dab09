// The standalone vocamo-server program: its command line, the add-account sub-command,
// HTTPS with a self-signed certificate, and a clean stop on SIGINT/SIGTERM that keeps the
// data for the next start. Runs the real executable from the build's bin folder.

#include "sync/Transport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

#include <signal.h>
#include <sys/types.h>

namespace {

const QString kZone = QStringLiteral("86");
const QString kPhone = QStringLiteral("13800000009");
const QString kAccount = kZone + kPhone;
const QString kPassword = QStringLiteral("pw");

// Generous bounds for a process to start or finish on a loaded machine; not measurements.
constexpr int kProcessWaitMs = 60000;

QString ServerProgram()
{
    return qEnvironmentVariable("VOCAMO_BIN_DIR") + QStringLiteral("/vocamo-server");
}

// What a finished run of the program left behind.
struct TRun
{
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QString out, err;
};

TRun RunToEnd(const QStringList &arguments, const QString &workingDir = QString())
{
    QProcess process;
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(ServerProgram(), arguments);
    TRun run;
    run.finished = process.waitForFinished(kProcessWaitMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.status = process.exitStatus();
    run.code = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A running vocamo-server; killed on destruction when a test left it running.
class TServerProcess
{
public:
    ~TServerProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kProcessWaitMs);
        }
    }

    // Starts the program and waits for the line naming its address. False when it ends first.
    bool start(const QStringList &arguments)
    {
        m_process.start(ServerProgram(), arguments);
        if (!m_process.waitForStarted(kProcessWaitMs))
            return false;
        static const QRegularExpression serving(QStringLiteral("serving (\\S+)/linkkk/\\n"));
        while (true) {
            const QRegularExpressionMatch match = serving.match(QString::fromUtf8(m_out));
            if (match.hasMatch()) {
                m_baseUrl = match.captured(1);
                return true;
            }
            if (m_process.state() == QProcess::NotRunning)
                return false;
            if (!m_process.waitForReadyRead(kProcessWaitMs) && m_process.state() != QProcess::NotRunning)
                return false;
            m_out += m_process.readAllStandardOutput();
        }
    }

    // Sends a signal and waits for the program to end.
    bool stopWith(int signalNumber)
    {
        if (::kill(pid_t(m_process.processId()), signalNumber) != 0)
            return false;
        const bool finished = m_process.waitForFinished(kProcessWaitMs);
        m_out += m_process.readAllStandardOutput();
        return finished;
    }

    QString baseUrl() const { return m_baseUrl; }
    QString out() const { return QString::fromUtf8(m_out); }
    QString err() { return QString::fromUtf8(m_process.readAllStandardError()); }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_out;
    QString m_baseUrl;
};

// The sign-in request (operation 22) as the program sends it: "account##password".
QByteArray SignInBody(const QString &account, const QString &password)
{
    const QJsonObject request{{"OperateType", 22},   {"CategoryID", 0},     {"UserID", 0},
                              {"BookID", 0},         {"WordID", 0},         {"VocamoAbility", 0},
                              {"VocamoCount", 0},    {"VocamoRound", 0},    {"GetNewData", 0},
                              {"BookIndex", 0},      {"WordCategoryID", -1},
                              {"strBookID", account + QStringLiteral("##") + password},
                              {"strDesc", ""}};
    return QJsonDocument(request).toJson(QJsonDocument::Compact);
}

THttpAnswer PostSignIn(const QString &baseUrl, const QString &account, const QString &password,
                       const QString &caFile = QString())
{
    return HttpPostJson(baseUrl + QStringLiteral("/linkkk/KX5QueryVocamo2"), SignInBody(account, password), caFile);
}

// The answer's "data" -> "errCode" (0 = signed in, 4 = refused); -1 when unreachable or malformed.
int SignInErrCode(const THttpAnswer &answer)
{
    if (!answer.Reached || answer.Status != 200)
        return -1;
    return QJsonDocument::fromJson(answer.Body).object().value("data").toObject().value("errCode").toInt(-1);
}

int SignedInUserId(const THttpAnswer &answer)
{
    const QJsonObject info =
        QJsonDocument::fromJson(answer.Body).object().value("data").toObject().value("UserInfo").toObject();
    return info.value("User_ID").toInt();
}

} // namespace

class TestServerCli : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString dataDir() const { return m_dir->filePath(QStringLiteral("data")); }

    void addAccount(const QString &password = kPassword)
    {
        const TRun run = RunToEnd({QStringLiteral("add-account"), kZone, kPhone, password,
                                   QStringLiteral("--data"), dataDir()});
        QVERIFY(run.finished);
        QCOMPARE(run.status, QProcess::NormalExit);
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY(run.out.contains(kAccount));
    }

    // A self-signed certificate for 127.0.0.1 in the test's folder.
    void makeCertificate(QString &cert, QString &key)
    {
        cert = m_dir->filePath(QStringLiteral("cert.pem"));
        key = m_dir->filePath(QStringLiteral("key.pem"));
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                       QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                       QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert});
        QVERIFY(openssl.waitForFinished(kProcessWaitMs));
        QCOMPARE(openssl.exitCode(), 0);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(QFile::exists(ServerProgram()), qPrintable(ServerProgram()));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup() { m_dir.reset(); }

    void helpNamesEveryOption()
    {
        const TRun run = RunToEnd({QStringLiteral("--help")});
        QVERIFY(run.finished);
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.code, 0);
        for (const char *option : {"--port", "--data", "--open-registration", "--tls-cert", "--tls-key",
                                   "--listen", "--help", "add-account"})
            QVERIFY2(run.out.contains(QLatin1String(option)), option);
        QVERIFY(run.err.isEmpty());
    }

    void badCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList{"--bogus"} << "unknown option --bogus";
        QTest::newRow("port without value") << QStringList{"--port"} << "--port needs a value";
        QTest::newRow("port not a number") << QStringList{"--port", "eighty"} << "--port takes a number";
        QTest::newRow("port too large") << QStringList{"--port", "65536"} << "--port takes a number";
        QTest::newRow("certificate without key") << QStringList{"--tls-cert", "cert.pem"} << "--tls-cert and --tls-key";
        QTest::newRow("key without certificate") << QStringList{"--tls-key", "key.pem"} << "--tls-cert and --tls-key";
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << "unknown command frobnicate";
        QTest::newRow("add-account without data")
            << QStringList{"add-account", "86", "13800000009", "pw"} << "add-account needs";
        QTest::newRow("add-account without password")
            << QStringList{"add-account", "86", "13800000009", "--data", "data"} << "add-account needs";
    }
    void badCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        // Run in an empty folder: a refused command line must not create a store anywhere.
        const TRun run = RunToEnd(arguments, m_dir->path());
        QVERIFY(run.finished);
        QCOMPARE(run.status, QProcess::NormalExit);
        QVERIFY(run.code != 0);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.err.contains(QLatin1String("usage:")));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void addedAccountSignsIn()
    {
        addAccount();
        TServerProcess server;
        QVERIFY2(server.start({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"), dataDir()}),
                 qPrintable(server.err()));
        QVERIFY(server.baseUrl().startsWith(QLatin1String("http://127.0.0.1:")));
        QVERIFY(!server.baseUrl().endsWith(QLatin1String(":0")));

        const THttpAnswer good = PostSignIn(server.baseUrl(), kAccount, kPassword);
        QVERIFY2(good.Reached, qPrintable(good.Error));
        QCOMPARE(SignInErrCode(good), 0);
        QVERIFY(SignedInUserId(good) > 0);
        // The account record carries a per-account secret, never the password itself.
        QVERIFY(QJsonDocument::fromJson(good.Body)["data"]["UserInfo"]["User_PassWord"].toString() != kPassword);

        QCOMPARE(SignInErrCode(PostSignIn(server.baseUrl(), kAccount, QStringLiteral("wrong"))), 4);
        // Without --open-registration an unknown account is refused, and not created by the
        // attempt: the same sign-in is refused again.
        QCOMPARE(SignInErrCode(PostSignIn(server.baseUrl(), QStringLiteral("8613900000000"), kPassword)), 4);
        QCOMPARE(SignInErrCode(PostSignIn(server.baseUrl(), QStringLiteral("8613900000000"), kPassword)), 4);
    }

    void addAccountTwiceIsRefused()
    {
        addAccount();
        const TRun again = RunToEnd({QStringLiteral("add-account"), kZone, kPhone, QStringLiteral("other"),
                                     QStringLiteral("--data"), dataDir()});
        QVERIFY(again.finished);
        QCOMPARE(again.status, QProcess::NormalExit);
        QVERIFY(again.code != 0);
        QVERIFY2(again.err.contains(QLatin1String("exists already")), qPrintable(again.err));

        // The first password still holds; the refused one was not stored.
        TServerProcess server;
        QVERIFY(server.start({QStringLiteral("--data"), dataDir()}));
        QCOMPARE(SignInErrCode(PostSignIn(server.baseUrl(), kAccount, kPassword)), 0);
        QCOMPARE(SignInErrCode(PostSignIn(server.baseUrl(), kAccount, QStringLiteral("other"))), 4);
    }

    void explicitPortInUseFailsClearly()
    {
        TServerProcess first;
        QVERIFY(first.start({QStringLiteral("--data"), dataDir()}));
        const QString port = first.baseUrl().section(QLatin1Char(':'), -1);
        QVERIFY(port.toInt() > 0);

        const TRun second = RunToEnd({QStringLiteral("--port"), port, QStringLiteral("--data"),
                                      m_dir->filePath(QStringLiteral("other"))});
        QVERIFY(second.finished);
        QCOMPARE(second.status, QProcess::NormalExit);
        QVERIFY(second.code != 0);
        QVERIFY2(second.err.contains(QLatin1String("cannot listen on 127.0.0.1:") + port), qPrintable(second.err));
    }

    void explicitPortIsUsed()
    {
        // A port that was free a moment ago: the one the kernel gave a first server.
        QString port;
        {
            TServerProcess probe;
            QVERIFY(probe.start({QStringLiteral("--data"), dataDir()}));
            port = probe.baseUrl().section(QLatin1Char(':'), -1);
            QVERIFY(probe.stopWith(SIGTERM));
        }
        addAccount();
        TServerProcess server;
        QVERIFY2(server.start({QStringLiteral("--port"), port, QStringLiteral("--data"), dataDir()}),
                 qPrintable(server.err()));
        QCOMPARE(server.baseUrl(), QStringLiteral("http://127.0.0.1:") + port);
        QCOMPARE(SignInErrCode(PostSignIn(server.baseUrl(), kAccount, kPassword)), 0);
    }

    void httpsTrustedOnlyThroughCaFile()
    {
        QString cert, key;
        makeCertificate(cert, key);
        if (QTest::currentTestFailed())
            return;
        addAccount();
        TServerProcess server;
        QVERIFY2(server.start({QStringLiteral("--data"), dataDir(), QStringLiteral("--tls-cert"), cert,
                               QStringLiteral("--tls-key"), key}),
                 qPrintable(server.err()));
        QVERIFY(server.baseUrl().startsWith(QLatin1String("https://127.0.0.1:")));

        const THttpAnswer trusted = PostSignIn(server.baseUrl(), kAccount, kPassword, cert);
        QVERIFY2(trusted.Reached, qPrintable(trusted.Error));
        QCOMPARE(SignInErrCode(trusted), 0);
        QCOMPARE(SignInErrCode(PostSignIn(server.baseUrl(), kAccount, QStringLiteral("wrong"), cert)), 4);

        const THttpAnswer untrusted = PostSignIn(server.baseUrl(), kAccount, kPassword);
        QVERIFY(!untrusted.Reached);
        QVERIFY2(untrusted.Error.contains(QLatin1String("certificate"), Qt::CaseInsensitive), qPrintable(untrusted.Error));

        // Plain HTTP to the HTTPS port gets no answer either.
        QString plain = server.baseUrl();
        plain.replace(QLatin1String("https://"), QLatin1String("http://"));
        QCOMPARE(SignInErrCode(PostSignIn(plain, kAccount, kPassword)), -1);
    }

    void unusableTlsFilesStopTheStart_data()
    {
        QTest::addColumn<bool>("certMissing");
        QTest::addColumn<bool>("keyMissing");
        QTest::addColumn<bool>("swapped");
        QTest::newRow("missing key") << false << true << false;
        QTest::newRow("missing certificate") << true << false << false;
        QTest::newRow("key and certificate swapped") << false << false << true;
    }
    void unusableTlsFilesStopTheStart()
    {
        QFETCH(bool, certMissing);
        QFETCH(bool, keyMissing);
        QFETCH(bool, swapped);
        QString cert, key;
        makeCertificate(cert, key);
        if (QTest::currentTestFailed())
            return;
        if (certMissing)
            cert = m_dir->filePath(QStringLiteral("no-cert.pem"));
        if (keyMissing)
            key = m_dir->filePath(QStringLiteral("no-key.pem"));
        if (swapped)
            std::swap(cert, key);
        const TRun run = RunToEnd({QStringLiteral("--data"), dataDir(), QStringLiteral("--tls-cert"), cert,
                                   QStringLiteral("--tls-key"), key});
        QVERIFY(run.finished);
        QCOMPARE(run.status, QProcess::NormalExit);
        QVERIFY(run.code != 0);
        QVERIFY2(run.err.contains(QLatin1String("cannot use the TLS certificate")), qPrintable(run.err));
        QVERIFY(!run.out.contains(QLatin1String("serving")));
    }

    void stopSignalKeepsTheData_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }
    void stopSignalKeepsTheData()
    {
        QFETCH(int, signalNumber);
        const QString registered = QStringLiteral("8613700000007");
        int userId = 0;
        {
            // The account is created by the running server itself (first sign-in).
            TServerProcess server;
            QVERIFY(server.start({QStringLiteral("--data"), dataDir(), QStringLiteral("--open-registration")}));
            const THttpAnswer first = PostSignIn(server.baseUrl(), registered, kPassword);
            QCOMPARE(SignInErrCode(first), 0);
            userId = SignedInUserId(first);
            QVERIFY(userId > 0);

            QVERIFY(server.stopWith(signalNumber));
            QCOMPARE(server.process().exitStatus(), QProcess::NormalExit);
            QCOMPARE(server.process().exitCode(), 0);
            QVERIFY2(server.out().contains(QLatin1String("stopped")), qPrintable(server.out()));
        }
        // Restarted without open registration: the account is known, with the same id.
        TServerProcess again;
        QVERIFY(again.start({QStringLiteral("--data"), dataDir()}));
        const THttpAnswer later = PostSignIn(again.baseUrl(), registered, kPassword);
        QCOMPARE(SignInErrCode(later), 0);
        QCOMPARE(SignedInUserId(later), userId);
        QCOMPARE(SignInErrCode(PostSignIn(again.baseUrl(), registered, QStringLiteral("wrong"))), 4);
    }

    void signalRightAfterStartStopsCleanly()
    {
        // A stop request that arrives as soon as the address is printed is still a clean stop.
        for (int round = 0; round < 5; ++round) {
            TServerProcess server;
            QVERIFY(server.start({QStringLiteral("--data"), dataDir()}));
            QVERIFY(server.stopWith(SIGINT));
            QCOMPARE(server.process().exitStatus(), QProcess::NormalExit);
            QCOMPARE(server.process().exitCode(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestServerCli)
#include "tst_servercli.moc"

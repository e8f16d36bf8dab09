// The sync client against the reference server running in this process on 127.0.0.1, as
// the program embeds it: (a) a sign-in round trip; (b) DownloadDueWords of up to 1,000 due
// words (request, answer, one transaction of inserts). Target for (b): under 200 ms.

#include "server/ReferenceServer.h"
#include "store/DataCenter.h"
#include "support/BenchHarness.h"
#include "support/GeneratedStore.h"
#include "sync/Operations.h"
#include "sync/Requests.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    qputenv("VOCAMO_HOME", dir.path().toUtf8());
    QString contentPath;
    if (!dir.isValid() || !BuildStudyContent(dir.path(), 1500, contentPath)) {
        std::fprintf(stderr, "cannot build the store and the server content\n");
        return 1;
    }

    TServerOptions options;
    options.dataDir = dir.filePath(QStringLiteral("server"));
    options.openRegistration = true;
    options.dueBatch = 1000;
    options.contentPath = contentPath;
    TReferenceServer server(options);
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "server: %s\n", qPrintable(error));
        return 1;
    }

    TDataCenter centre(QStringLiteral("Vocamo.mdb"), QString());
    TServerSettings settings;
    settings.BaseUrl = server.baseUrl();
    TSyncClient client(centre, settings);
    const QString account = QStringLiteral("8613800000000");

    runBench("sign-in round trip", 200, [&] { SignIn(account, QStringLiteral("123456")); });
    runBench("DownloadDueWords", 30, [&] { DownloadDueWords(); }, 3);
    std::printf("due words per download: %d\n", centre.DueCount);
    return 0;
}

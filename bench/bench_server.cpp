// The reference server's throughput for the word mark (operation 2): 8 loopback clients,
// each on its own keep-alive connection, send marks as fast as they are answered.
// Prints requests per second and the number of requests not answered with code 0.

#include "server/ReferenceServer.h"
#include "server/ServerContent.h"

#include <httplib.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr int kClients = 8;
constexpr int kRequestsPerClient = 500;
constexpr int kWords = 2000;

QByteArray MarkBody(int userId, int wordId)
{
    return QJsonDocument(QJsonObject{{"OperateType", 2}, {"CategoryID", 0}, {"UserID", userId}, {"BookID", 1},
                                     {"WordID", wordId}, {"VocamoAbility", 8}, {"VocamoCount", 1},
                                     {"VocamoRound", 0}, {"GetNewData", 0}, {"BookIndex", 0},
                                     {"WordCategoryID", 0}, {"strBookID", ""}, {"strDesc", ""}})
        .toJson(QJsonDocument::Compact);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    TServerContent content;
    TContentBook book{1, QStringLiteral("bench"), {}};
    for (int id = 1; id <= kWords; ++id) {
        content.words.insert(id, TContentWord{id, QStringLiteral("w%1").arg(id), {}, {}, {}, {}});
        book.words.append(id);
    }
    content.books.append(book);
    QString error;
    if (!WriteServerContent(dir.filePath("content"), content, &error)) {
        std::fprintf(stderr, "bench_server: %s\n", qPrintable(error));
        return 1;
    }
    TServerOptions options;
    options.dataDir = dir.filePath("data");
    options.contentPath = dir.filePath("content");
    TReferenceServer server(options);
    if (!server.start(&error) || !server.addAccount("86", "1", "1")) {
        std::fprintf(stderr, "bench_server: %s\n", qPrintable(error));
        return 1;
    }
    const int userId = server.userId("861");
    const std::string base = server.baseUrl().toStdString();

    std::atomic<int> failures{0};
    QElapsedTimer timer;
    timer.start();
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            httplib::Client client(base);
            client.set_keep_alive(true);
            client.set_tcp_nodelay(true);
            for (int r = 0; r < kRequestsPerClient; ++r) {
                const QByteArray body = MarkBody(userId, 1 + (c * kRequestsPerClient + r) % kWords);
                auto result = client.Post("/linkkk/KX5QueryVocamo2", body.constData(), size_t(body.size()),
                                          "application/json");
                if (!result || QJsonDocument::fromJson(QByteArray::fromStdString(result->body))
                                       .object()["code"].toInt(-1) != 0)
                    ++failures;
            }
        });
    }
    for (std::thread &client : clients)
        client.join();
    const double seconds = timer.nsecsElapsed() / 1e9;
    const int total = kClients * kRequestsPerClient;
    std::printf("operation 2, %d clients x %d requests: %.0f requests/s (%.3f s), %d not answered with code 0\n",
                kClients, kRequestsPerClient, total / seconds, seconds, failures.load());
    server.stop();
    return failures.load() == 0 ? 0 : 1;
}

#include "ReferenceServer.h"

#include "AccountStore.h"
#include "ServerContent.h"
#include "ServerOperations.h"
#include "SoundStore.h"
#include "platform/AppPaths.h"

#include <httplib.h>

#include <QDir>
#include <QFile>

#include <atomic>
#include <sys/socket.h>
#include <thread>

namespace {

// A body over 1 MiB is refused unread by the transport (HTTP 413, answered with JSON code 7
// by the error handler); the operations check the size again for in-process calls.
constexpr size_t kTransportLimit = size_t(TServerOperations::kMaxBody);

const std::string kJson = "application/json; charset=utf-8";

} // namespace

struct TReferenceServer::Private
{
    TServerOptions options;
    TAccountStore store;
    TServerContent content;
    std::unique_ptr<TServerOperations> operations;
    std::unique_ptr<httplib::Server> http;
    std::thread thread;
    std::atomic<int> port{0};
    bool tls = false;

    bool openStore(QString *error)
    {
        if (store.isOpen())
            return true;
        const QString dir = options.dataDir.isEmpty() ? QDir::currentPath() : options.dataDir;
        return store.open(dir, error);
    }

    bool loadContent(QString *error)
    {
        const QString path = options.contentPath.isEmpty() ? TReferenceServer::defaultContentPath()
                                                           : options.contentPath;
        return LoadServerContent(path, content, error);
    }

    void route()
    {
        http->set_payload_max_length(kTransportLimit);
        // httplib's default adds SO_REUSEPORT, which lets a second server bind a port that is
        // in use and silently share its connections; SO_REUSEADDR alone still allows a quick
        // restart on the same port but makes a port in use fail the start.
        http->set_socket_options([](socket_t socket) {
            int yes = 1;
            setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
        });
        // Small request/answer pairs: without this, Nagle and delayed ACKs add ~40 ms each.
        http->set_tcp_nodelay(true);
        http->Post(R"(/linkkk/([^/]+))", [this](const httplib::Request &request, httplib::Response &response) {
            const QString operation = QString::fromStdString(request.matches[1].str());
            const QByteArray body = QByteArray::fromRawData(request.body.data(), qsizetype(request.body.size()));
            const QByteArray answer = operations->handle(operation, body);
            response.set_content(answer.constData(), size_t(answer.size()), kJson.c_str());
        });
        // The sound store: word pronunciations synthesised on first request and cached.
        RegisterSoundStore(*http, options.dataDir + QStringLiteral("/sounds"));
        // Anything else (another path or method, a body past the transport limit) still
        // gets a JSON answer with a non-zero code.
        http->set_error_handler([](const httplib::Request &, httplib::Response &response) {
            const int code = response.status == 413 ? ServerCode::TooLarge : ServerCode::UnknownOperation;
            const QByteArray answer = TServerOperations::errorAnswer(
                code, QStringLiteral("HTTP %1").arg(response.status));
            response.set_content(answer.constData(), size_t(answer.size()), kJson.c_str());
        });
        http->set_exception_handler([](const httplib::Request &, httplib::Response &response, std::exception_ptr) {
            response.status = 500;
            const QByteArray answer = TServerOperations::errorAnswer(ServerCode::StoreFailed,
                                                                     QStringLiteral("internal error"));
            response.set_content(answer.constData(), size_t(answer.size()), kJson.c_str());
        });
    }
};

TReferenceServer::TReferenceServer(TServerOptions options) : d(std::make_unique<Private>())
{
    d->options = std::move(options);
}

TReferenceServer::~TReferenceServer()
{
    stop();
}

QString TReferenceServer::defaultContentPath()
{
    return ExecutableFolder() + QStringLiteral("/VocamoServer.content");
}

bool TReferenceServer::start(QString *error)
{
    if (isRunning())
        return true;
    if (!d->openStore(error) || !d->loadContent(error))
        return false;
    d->operations = std::make_unique<TServerOperations>(d->store, d->content, d->options.openRegistration,
                                                        d->options.dueBatch);
    d->tls = !d->options.tlsCert.isEmpty() || !d->options.tlsKey.isEmpty();
    if (d->tls) {
        if (d->options.tlsCert.isEmpty() || d->options.tlsKey.isEmpty()) {
            if (error)
                *error = QStringLiteral("TLS needs both a certificate and a key");
            return false;
        }
        auto server = std::make_unique<httplib::SSLServer>(QFile::encodeName(d->options.tlsCert).constData(),
                                                           QFile::encodeName(d->options.tlsKey).constData());
        if (!server->is_valid()) {
            if (error)
                *error = QStringLiteral("cannot use the TLS certificate %1 with the key %2")
                             .arg(d->options.tlsCert, d->options.tlsKey);
            return false;
        }
        d->http = std::move(server);
    } else {
        d->http = std::make_unique<httplib::Server>();
    }
    d->route();

    const std::string host = d->options.listen.toStdString();
    int bound = 0;
    if (d->options.port == 0)
        bound = d->http->bind_to_any_port(host);
    else
        bound = d->http->bind_to_port(host, d->options.port) ? d->options.port : -1;
    if (bound <= 0) {
        if (error)
            *error = QStringLiteral("cannot listen on %1:%2").arg(d->options.listen).arg(d->options.port);
        d->http.reset();
        return false;
    }
    d->port = bound;
    d->thread = std::thread([server = d->http.get()] { server->listen_after_bind(); });
    // stop() only ends a loop that has begun, so start() returns once it has.
    while (!d->http->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void TReferenceServer::stop()
{
    if (!d->http)
        return;
    d->http->stop();
    if (d->thread.joinable())
        d->thread.join();
    d->http.reset();
    d->port = 0;
}

bool TReferenceServer::isRunning() const
{
    return d->http != nullptr;
}

quint16 TReferenceServer::port() const
{
    return quint16(d->port.load());
}

QString TReferenceServer::baseUrl() const
{
    QString host = d->options.listen;
    if (host == QLatin1String("0.0.0.0") || host.isEmpty())
        host = QStringLiteral("127.0.0.1");
    return QStringLiteral("%1://%2:%3").arg(d->tls ? QStringLiteral("https") : QStringLiteral("http"), host)
        .arg(port());
}

bool TReferenceServer::addAccount(const QString &zone, const QString &phone, const QString &password)
{
    if (!d->openStore(nullptr) || phone.isEmpty() || password.isEmpty())
        return false;
    if (d->store.findByLogin(zone + phone))
        return false;
    if (d->content.books.isEmpty())
        d->loadContent(nullptr);   // without content the account simply starts with no book
    QList<QPair<int, int>> first;
    if (!d->content.books.isEmpty()) {
        const int book = d->content.books.first().id;
        first = {{1, book}, {31, book}, {32, book}};
    }
    return d->store.addAccount(zone, phone, password, first) != 0;
}

TReferenceServer::WordState TReferenceServer::wordState(const QString &account, int category, int bookId, int wordId)
{
    WordState state;
    if (!d->openStore(nullptr))
        return state;
    const auto found = d->store.findByName(account);
    if (!found)
        return state;
    if (const auto row = d->store.memoRow(found->id, category, bookId, wordId)) {
        state = WordState{row->ability, row->count, row->round, row->time, true};
    }
    return state;
}

int TReferenceServer::userId(const QString &account)
{
    if (!d->openStore(nullptr))
        return 0;
    const auto found = d->store.findByName(account);
    return found ? found->id : 0;
}

int TReferenceServer::setting(const QString &account, const QString &key, int fallback)
{
    const int id = userId(account);
    return id ? d->store.settings(id).value(key, fallback) : fallback;
}

QByteArray TReferenceServer::handle(const QString &operation, const QByteArray &body)
{
    if (!d->operations) {
        QString ignored;
        if (!d->openStore(&ignored) || (d->content.books.isEmpty() && !d->loadContent(&ignored)))
            return TServerOperations::errorAnswer(ServerCode::StoreFailed, ignored);
        d->operations = std::make_unique<TServerOperations>(d->store, d->content, d->options.openRegistration,
                                                            d->options.dueBatch);
    }
    return d->operations->handle(operation, body);
}

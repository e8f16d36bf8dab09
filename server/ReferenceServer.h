#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>

// Options of the reference application server.
struct TServerOptions
{
    QString dataDir;                 // its database (VocamoServer.db); created when missing
    QString listen = QStringLiteral("127.0.0.1");
    quint16 port = 0;                // 0 = any free port
    bool openRegistration = false;   // an unknown account is created at its first sign-in
    QString tlsCert, tlsKey;         // both set = HTTPS
    QString contentPath;             // books and words; empty = VocamoServer.content beside the executable
    int dueBatch = 200;              // at most this many due words per download
};

// The reference application server: POST base URL + "/linkkk/" + operation name
// ("KX5QueryVocamo2", "KX5ConfigVocamo2") with a JSON request envelope, answered by a JSON
// object {"code": 0 = success, "data": ...}. Every request is answered with JSON, also a bad
// one (HTTP 200 with a non-zero "code"; 404 for a path outside /linkkk/, 413 for a body over
// 1 MiB):
//   1 malformed JSON or not an object   2 a member missing or of the wrong type
//   3 unknown operation name or code    4 sign-in refused (also "data" -> "errCode" 4)
//   5 unknown UserID                    6 unknown book or item
//   7 body over 1 MiB                   8 the server's own store failed
// The account record ("data" -> "UserInfo" of sign-in) holds User_ID, User_Phone (the
// account name: zone + phone), User_PassWord (an opaque per-account secret, never the
// password), and the settings keys, all JSON integers (booleans 0 or 1).
// Moments ("Vocamo_Time", "WriteDate", "LastDate") are integers in units of 10 seconds since
// 1970-01-01 00:00 local time.
//
// Thread-safe: requests are served on a pool of threads; the store is serialised.
class TReferenceServer
{
public:
    explicit TReferenceServer(TServerOptions options);
    ~TReferenceServer();
    TReferenceServer(const TReferenceServer &) = delete;
    TReferenceServer &operator=(const TReferenceServer &) = delete;

    // Opens the store and the content, binds, and serves on a background thread.
    // False (with a reason) when the store, the content or the address cannot be used.
    bool start(QString *error = nullptr);
    // Stops serving and waits for the serving thread; safe to call twice.
    void stop();
    bool isRunning() const;
    quint16 port() const;
    QString baseUrl() const;   // "http://127.0.0.1:PORT" ("https://..." with TLS)

    // Adds an account (zone + phone is its name); false when it exists already or the
    // store cannot be opened. Works with or without start() (the sub-command uses it).
    bool addAccount(const QString &zone, const QString &phone, const QString &password);

    // Test-side queries of the server's own state. `account` is zone + phone (a bare phone
    // number is accepted when it names one account).
    struct WordState
    {
        int ability = 0, count = 0, round = 0;
        double time = 0;   // day number of the last marking (see platform/DateTime.h)
        bool exists = false;
    };
    WordState wordState(const QString &account, int category, int bookId, int wordId);
    int userId(const QString &account);                       // 0 when unknown
    // A stored setting of the account (UserInfo member); `fallback` when not stored.
    int setting(const QString &account, const QString &key, int fallback = 0);

    // Answers one request in process, as the HTTP front does: operation name + body in,
    // the answer's JSON text out.
    QByteArray handle(const QString &operation, const QByteArray &body);

    // VocamoServer.content beside the executable.
    static QString defaultContentPath();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

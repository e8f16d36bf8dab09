#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

class TAccountStore;
struct TServerContent;

// Answer codes of the server ("code" of every answer).
namespace ServerCode {
enum : int {
    Ok = 0,
    Malformed = 1,
    MissingMember = 2,
    UnknownOperation = 3,
    SignInRefused = 4,
    UnknownUser = 5,
    NotFound = 6,
    TooLarge = 7,
    StoreFailed = 8,
};
}

// The operations behind "/linkkk/KX5QueryVocamo2" and "/linkkk/KX5ConfigVocamo2": one JSON
// request in, one JSON answer out. Holds no state of its own besides references.
class TServerOperations
{
public:
    TServerOperations(TAccountStore &store, const TServerContent &content, bool openRegistration, int dueBatch);

    QByteArray handle(const QString &operation, const QByteArray &body);

    static constexpr qsizetype kMaxBody = 1024 * 1024;
    static QByteArray errorAnswer(int code, const QString &message);
    // The integer time value of a day number (units of 10 s since 1970, no time zone).
    static qint64 timeValue(double dayNumber);
    // The first word book of the content on every study track (categories 1, 31, 32).
    QList<QPair<int, int>> firstBooks() const;

    struct Request;

private:
    QJsonObject dispatchQuery(const Request &request);
    QJsonObject dispatchConfig(const Request &request);

    QJsonObject signIn(const Request &request);
    QJsonObject markWords(const Request &request, bool batch);
    QJsonObject dueWords(const Request &request);
    QJsonObject statistics(const Request &request);
    QJsonObject accountBooks(const Request &request);
    QJsonObject categoryBooks(const Request &request);
    QJsonObject changeBook(const Request &request, int code);
    QJsonObject itemState(const Request &request, int kind);
    QJsonObject addNote(const Request &request);
    QJsonObject saveComposition(const Request &request);
    QJsonObject deleteComposition(const Request &request);
    QJsonObject compositions(const Request &request);
    QJsonObject saveSettings(const Request &request);
    QJsonObject answers(const Request &request);
    QJsonObject userInfo(int userId);
    int speedOf(int userId);

    TAccountStore &m_store;
    const TServerContent &m_content;
    bool m_openRegistration;
    int m_dueBatch;
};

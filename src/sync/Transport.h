#pragma once

#include <QByteArray>
#include <QString>

// One HTTP(S) POST through libcurl, blocking: JSON in UTF-8, redirects followed (the POST
// is repeated at the new address), certificates verified. When caFile is set it is the
// only certificate authority trusted.
struct THttpAnswer
{
    bool Reached = false;  // the server answered with an HTTP status
    long Status = 0;
    QByteArray Body;
    QString Error;         // why it was not reached
};

inline constexpr int RequestTimeoutMs = 5000;

THttpAnswer HttpPostJson(const QString &url, const QByteArray &body, const QString &caFile,
                         int timeoutMs = RequestTimeoutMs);

#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// Reading members of the server's answers leniently: numbers may come as JSON numbers or
// numeric texts, texts as texts or numbers; anything else gives the fallback.

qint64 JsonValueInt64(const QJsonValue &value, qint64 fallback = 0);
int JsonValueInt(const QJsonValue &value, int fallback = 0);
double JsonValueDouble(const QJsonValue &value, double fallback = 0);
// Text as is, a number in decimal, a boolean as "true"/"false"; null or missing "".
QString JsonValueText(const QJsonValue &value);

inline qint64 JsonInt64(const QJsonObject &object, const char *key, qint64 fallback = 0)
{
    return JsonValueInt64(object.value(QLatin1String(key)), fallback);
}
inline int JsonInt(const QJsonObject &object, const char *key, int fallback = 0)
{
    return JsonValueInt(object.value(QLatin1String(key)), fallback);
}
inline double JsonDouble(const QJsonObject &object, const char *key, double fallback = 0)
{
    return JsonValueDouble(object.value(QLatin1String(key)), fallback);
}
inline QString JsonText(const QJsonObject &object, const char *key)
{
    return JsonValueText(object.value(QLatin1String(key)));
}
// True when the member exists and is neither null nor undefined.
inline bool JsonHas(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    return !value.isNull() && !value.isUndefined();
}

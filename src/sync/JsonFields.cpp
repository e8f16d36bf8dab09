#include "sync/JsonFields.h"

#include <cmath>
#include <limits>

qint64 JsonValueInt64(const QJsonValue &value, qint64 fallback)
{
    const double number = JsonValueDouble(value, std::numeric_limits<double>::quiet_NaN());
    if (std::isnan(number) || number < -9.2e18 || number > 9.2e18)
        return fallback;
    if (value.isString()) {
        bool ok = false;
        const qint64 whole = value.toString().trimmed().toLongLong(&ok);
        if (ok)
            return whole;
    }
    return qint64(std::nearbyint(number));
}

int JsonValueInt(const QJsonValue &value, int fallback)
{
    const qint64 number = JsonValueInt64(value, qint64(fallback));
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return fallback;
    return int(number);
}

double JsonValueDouble(const QJsonValue &value, double fallback)
{
    if (value.isDouble())
        return value.toDouble();
    if (value.isBool())
        return value.toBool() ? 1 : 0;
    if (value.isString()) {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(number) ? number : fallback;
    }
    return fallback;
}

QString JsonValueText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (number == std::trunc(number) && std::fabs(number) < 9e15)
            return QString::number(qint64(number));
        return QString::number(number, 'g', 15);
    }
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return {};
}

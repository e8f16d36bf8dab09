#include "store/Config.h"

#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A number that is a whole value inside the 32-bit range.
bool wholeNumber(double value, int *out)
{
    if (!std::isfinite(value) || value != std::trunc(value)
        || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return false;
    *out = static_cast<int>(value);
    return true;
}

} // namespace

int TConfig::AccountInt(const QJsonObject &userInfo, QLatin1String key, int fallback)
{
    const QJsonValue value = userInfo.value(key);
    int result = fallback;
    if (value.isDouble()) {
        if (!wholeNumber(value.toDouble(), &result))
            result = fallback;
    } else if (value.isBool()) {
        result = value.toBool() ? 1 : 0;
    } else if (value.isString()) {
        bool ok = false;
        const int parsed = value.toString().trimmed().toInt(&ok);
        if (ok)
            result = parsed;
    }
    return result;
}

bool TConfig::AccountBool(const QJsonObject &userInfo, QLatin1String key, bool fallback)
{
    const QJsonValue value = userInfo.value(key);
    if (value.isBool())
        return value.toBool();
    if (value.isDouble())
        return value.toDouble() != 0.0;
    if (value.isString()) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        bool ok = false;
        const int parsed = text.toInt(&ok);
        if (ok)
            return parsed != 0;
    }
    return fallback;
}

void TConfig::ApplyAccount(const QJsonObject &u)
{
    auto colour = [&u](const char *key, int fallback) {
        return static_cast<quint32>(AccountInt(u, QLatin1String(key), fallback));
    };
    auto atLeast = [&u](const char *key, int minimum, int fallback) {
        return std::max(minimum, AccountInt(u, QLatin1String(key), fallback));
    };
    auto flag = [&u](const char *key, bool fallback) {
        return AccountBool(u, QLatin1String(key), fallback);
    };
    auto number = [&u](const char *key, int fallback) {
        return AccountInt(u, QLatin1String(key), fallback);
    };

    ShowCenter = flag("User_ShowCenter", true);
    ShowExampleTrans = flag("User_ShowExampleTrans", true);
    Pronounce = flag("User_Pronounce", true);
    ShowTipPanel = flag("User_ShowTipPanel", true);
    IsUpperCase = flag("User_IsUpperCase", false);
    Examining = flag("User_Examining", false);
    ShowToolBar = flag("User_ShowToolBar", true);
    UseDeskTop = flag("User_UseDeskTop", true);
    Addition = atLeast("User_Addition", 1, 56);
    InitialState = number("User_InitialVocamoState", 1);
    DeskTopColor = colour("User_DeskTopColor", 0);
    StateValue4 = -30000;
    FirstLineWidth = atLeast("User_FirstLineWidth", 120, 175);
    QuestionKeyColor = colour("User_QuestionKeyColor", 888888);
    QuestionAnswerColor = colour("User_QuestionAnswerColor", 33023);
    GeneralFontSize = atLeast("User_GeneralFontSize", 13, 16);
    SecondValue = number("User_SecondValue", 1);
    FirstValue = atLeast("User_FirstValue", 1, 8);
    BookColor = colour("User_BookColor", 10987348);
    FormWidth = number("User_FormWidth", 990);
    FormHeight = number("User_FormHeight", 818);
    AlwaysShowTrans = flag("User_AlwaysShowTrans", true);
    Speed = atLeast("User_Speed", 1, 12);
}

int TConfig::StateFromItem(int item)
{
    return item == 0 ? 11 : item;
}

int TConfig::ItemFromState(int state)
{
    return state % 11;
}

namespace {

int storedSize(const QString &text, int minimum, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::max(minimum, value) : fallback;
}

} // namespace

int TConfig::FormWidthFromText(const QString &text)
{
    return storedSize(text, 920, 990);
}

int TConfig::FormHeightFromText(const QString &text)
{
    return storedSize(text, 728, 818);
}

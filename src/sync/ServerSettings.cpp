#include "sync/ServerSettings.h"

#include "store/Environment.h"
#include "store/Routine.h"

#include <QUrl>

TServerSettings TServerSettings::FromIni(TIni &ini)
{
    const QString section = ini.Section;
    const QString fallback = ini.Default;
    ini.Section = QStringLiteral("Server");
    ini.Default.clear();
    TServerSettings settings;
    settings.BaseUrl = DelphiTrim(ini.ReadText(QStringLiteral("BaseUrl")));
    settings.SoundUrl = DelphiTrim(ini.ReadText(QStringLiteral("SoundUrl")));
    settings.BucketUrl = DelphiTrim(ini.ReadText(QStringLiteral("BucketUrl")));
    settings.CaFile = DelphiTrim(ini.ReadText(QStringLiteral("CaFile")));
    while (settings.BaseUrl.endsWith(QLatin1Char('/')))
        settings.BaseUrl.chop(1);
    ini.Section = section;
    ini.Default = fallback;
    return settings;
}

TServerSettings TServerSettings::FromIni()
{
    TIni ini;
    return FromIni(ini);
}

bool IsLoopbackUrl(const QString &url)
{
    const QString host = QUrl(url).host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    return host.startsWith(QLatin1String("127.")) || host == QLatin1String("::1");
}

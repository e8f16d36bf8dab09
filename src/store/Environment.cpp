#include "store/Environment.h"

#include "platform/AppPaths.h"
#include "store/Routine.h"

#include <QSettings>

TIni::TIni(const QString &fileName)
    : FileName(fileName)
{
    if (DelphiTrim(FileName).isEmpty())
        FileName = ExecutableFolder() + QLatin1Char('/') + ExecutableBaseName() + QStringLiteral(".ini");
}

TIni::~TIni() = default;

QSettings &TIni::settings()
{
    // FileName is a public field; follow it when a caller points it elsewhere.
    if (!m_settings || m_settingsFile != FileName) {
        m_settings = std::make_unique<QSettings>(FileName, QSettings::IniFormat);
        m_settingsFile = FileName;
    }
    return *m_settings;
}

QString TIni::ReadText(const QString &key)
{
    QSettings &ini = settings();
    ini.beginGroup(Section);
    const QVariant value = ini.value(key);
    ini.endGroup();
    if (!value.isValid())
        return Default;
    // A value holding commas comes back as a list; join it as it was written.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void TIni::WriteText(const QString &key, const QString &value)
{
    QSettings &ini = settings();
    ini.beginGroup(Section);
    ini.setValue(key, value);
    ini.endGroup();
    ini.sync();
}

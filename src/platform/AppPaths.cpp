#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The running executable's path; also works before a QCoreApplication exists.
QString executablePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

QString ExecutableFolder()
{
    const QString home = qEnvironmentVariable("VOCAMO_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    return QFileInfo(executablePath()).absolutePath();
}

QString ExecutableBaseName()
{
    const QString name = QFileInfo(executablePath()).completeBaseName();
    return name.isEmpty() ? QStringLiteral("vocamo") : name;
}

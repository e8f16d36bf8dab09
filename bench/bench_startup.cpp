// Start-up of the program on a copy of the sample store with the embedded server: the
// time from start to the sign-in dialog, and from pressing "登录" to the first painted
// page. Runs bin/vocamo with VOCAMO_STARTUP_TIMING=1 and VOCAMO_AUTOLOGIN several times
// and prints the medians. Targets: dialog within 300 ms, first page within 500 ms.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QMap<QString, qint64> runOnce(const QString &program, const QString &binDir, int round)
{
    QMap<QString, qint64> phases;
    QTemporaryDir home;
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::copy(binDir + QStringLiteral("/Vocamo.mdb"), home.filePath(QStringLiteral("Vocamo.mdb")));
    QFile::setPermissions(home.filePath(QStringLiteral("Vocamo.mdb")), QFile::ReadOwner | QFile::WriteOwner);
    QFile::copy(binDir + QStringLiteral("/VocamoServer.content"),
                home.filePath(QStringLiteral("VocamoServer.content")));

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VOCAMO_HOME"), home.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), env.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")));
    env.insert(QStringLiteral("VOCAMO_STARTUP_TIMING"), QStringLiteral("1"));
    env.insert(QStringLiteral("VOCAMO_AUTOLOGIN"), QStringLiteral("86:1390000%1:123456").arg(1000 + round));
    process.setProcessEnvironment(env);
    process.start(program, {});
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return phases;
    }
    static const QRegularExpression line(QStringLiteral("^vocamo-timing (\\S+) (-?\\d+) ms$"));
    for (const QString &text : QString::fromUtf8(process.readAllStandardError()).split(u'\n')) {
        const auto match = line.match(text.trimmed());
        if (match.hasMatch())
            phases[match.captured(1)] = match.captured(2).toLongLong();
    }
    return phases;
}

qint64 median(std::vector<qint64> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString binDir = QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin")).absolutePath();
    const QString program = binDir + QStringLiteral("/vocamo");
    if (!QFile::exists(program)) {
        std::printf("bench_startup: %s not built\n", qPrintable(program));
        return 0;
    }
    const int rounds = 5;
    std::vector<qint64> dialog, firstPage, signIn;
    for (int i = 0; i < rounds; ++i) {
        const auto phases = runOnce(program, binDir, i);
        if (phases.contains(QStringLiteral("sign-in-dialog-shown")))
            dialog.push_back(phases[QStringLiteral("sign-in-dialog-shown")]);
        if (phases.contains(QStringLiteral("signed-in")))
            signIn.push_back(phases[QStringLiteral("signed-in")]);
        if (phases.contains(QStringLiteral("first-page-painted-after-login")))
            firstPage.push_back(phases[QStringLiteral("first-page-painted-after-login")]);
    }
    std::printf("start -> sign-in dialog shown:        median %lld ms over %zu runs (target 300 ms)\n",
                static_cast<long long>(median(dialog)), dialog.size());
    std::printf("press 登录 -> signed in:               median %lld ms\n",
                static_cast<long long>(median(signIn)));
    std::printf("press 登录 -> first page painted:      median %lld ms over %zu runs (target 500 ms)\n",
                static_cast<long long>(median(firstPage)), firstPage.size());
    return 0;
}

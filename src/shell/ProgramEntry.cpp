#include "shell/ProgramEntry.h"

#include "controls/Constant.h"
#include "platform/AppPaths.h"
#include "shell/BookVocamofrm.h"
#include "shell/Loginfrm.h"
#include "shell/Messages.h"
#include "store/Channels.h"
#include "store/DataCenter.h"
#include "sync/Requests.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

QString ChooseDatabaseFile(const QString &folder)
{
    const QString mdb = QStringLiteral("Vocamo.mdb");
    if (QFileInfo::exists(QDir(folder).filePath(mdb)))
        return mdb;
    return QStringLiteral("Vocamo.dat");
}

QString DefaultLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("Vocamo.lock"));
}

TProgramEntry::TProgramEntry(QString lockPath) : m_lockPath(std::move(lockPath))
{
    ShowMessage = [](const QString &text) { ShowInfo(text); };
    RunLoginDialog = [](TfrmLogin &form) { form.exec(); };
}

TProgramEntry::~TProgramEntry()
{
    m_window.reset();
    m_sync.reset();
    m_centre.reset();
    m_lock.reset();
}

TProgramEntry::TStage TProgramEntry::Prepare()
{
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    m_lock->setStaleLockTime(0); // a lock left by a crashed copy is taken over
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return TStage::SecondInstance;
    }

    DatabaseFile = ChooseDatabaseFile(ExecutableFolder());
    m_centre = std::make_unique<TDataCenter>(DatabaseFile, QString());
    if (!m_centre->Channel || !m_centre->Channel->Connected()) {
        m_centre.reset();
        ShowMessage(Messages::CannotOpenDatabase(QDir(ExecutableFolder()).filePath(DatabaseFile)));
        return TStage::CannotOpen;
    }
    if (m_centre->MajorVersion != 2 || m_centre->MinorVersion != 0) {
        ShowMessage(Messages::VersionMismatch());
        m_centre.reset();
        return TStage::WrongVersion;
    }
    m_centre->SetNotifier([](const QString &text) { ShowInfo(text, QApplication::activeWindow()); });
    m_sync = std::make_unique<TSyncClient>(*m_centre);
    SetBusyCursorHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    m_window = std::make_unique<TfrmBookVocamo>(*m_centre);
    return TStage::Ready;
}

bool TProgramEntry::SignInDialog()
{
    auto form = std::make_unique<TfrmLogin>();
    RunLoginDialog(*form);
    return !form->Cancelled;
}

int TProgramEntry::Run()
{
    QObject::connect(m_window.get(), &TfrmBookVocamo::Closed, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    m_window->show();
    return QApplication::exec();
}

namespace {

void reportPhase(const char *phase, qint64 ms)
{
    std::fprintf(stderr, "vocamo-timing %s %lld ms\n", phase, static_cast<long long>(ms));
    std::fflush(stderr);
}

} // namespace

int RunProgram(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const bool timing = qEnvironmentVariable("VOCAMO_STARTUP_TIMING") == QLatin1String("1");
    const QStringList autoLogin = qEnvironmentVariable("VOCAMO_AUTOLOGIN").split(u':');
    const bool automatic = timing && autoLogin.size() == 3;

    TProgramEntry entry;
    if (entry.Prepare() != TProgramEntry::TStage::Ready)
        return 0;
    if (timing)
        reportPhase("prepared", clock.elapsed());

    QElapsedTimer signInClock;
    entry.RunLoginDialog = [&](TfrmLogin &form) {
        if (timing) {
            QTimer::singleShot(0, &form, [&] {
                reportPhase("sign-in-dialog-shown", clock.elapsed());
                if (!automatic)
                    return;
                form.edtZoneCode->setText(autoLogin[0]);
                form.edtUserName->setText(autoLogin[1]);
                form.edtPassword->setText(autoLogin[2]);
                signInClock.start();
                form.btnLogin->click();
                if (form.Cancelled) {
                    reportPhase("sign-in-failed", signInClock.elapsed());
                    form.reject();
                }
            });
        }
        form.exec();
    };
    if (!entry.SignInDialog())
        return 0;
    if (timing) {
        reportPhase("signed-in", signInClock.isValid() ? signInClock.elapsed() : clock.elapsed());
        entry.MainWindow()->FirstPagePainted = [&] {
            reportPhase("first-page-painted-after-login",
                        signInClock.isValid() ? signInClock.elapsed() : -1);
            reportPhase("first-page-painted-after-start", clock.elapsed());
            if (automatic)
                entry.MainWindow()->close();
        };
    }
    return entry.Run();
}

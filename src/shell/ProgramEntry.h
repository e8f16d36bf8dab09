#pragma once

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <memory>

class QLockFile;
class TDataCenter;
class TfrmBookVocamo;
class TfrmLogin;
class TSyncClient;

// "Vocamo.mdb" when that file exists in folder, otherwise "Vocamo.dat" (not tested).
QString ChooseDatabaseFile(const QString &folder);
// The single-instance lock: "Vocamo.lock" in the user's runtime folder.
QString DefaultLockPath();

// The program entry, step by step: one instance, the database file, the data centre and
// its version, the sync client, the main window, the sign-in dialog, then the message
// loop. Owns everything it makes; the main window goes first, the data centre last.
class TProgramEntry
{
public:
    enum class TStage { Ready, SecondInstance, CannotOpen, WrongVersion };

    explicit TProgramEntry(QString lockPath = DefaultLockPath());
    ~TProgramEntry();
    TProgramEntry(const TProgramEntry &) = delete;
    TProgramEntry &operator=(const TProgramEntry &) = delete;

    // Everything up to and with the (hidden) main window. Another running copy ends this
    // one silently; an unreadable database or one of another version is reported through
    // ShowMessage.
    TStage Prepare();
    // The sign-in dialog, modally; true once an account signed in.
    bool SignInDialog();
    // Shows the main window and runs the message loop until it closes.
    int Run();

    // The message of a refused start (the "提醒" information box by default).
    std::function<void(const QString &text)> ShowMessage;
    // Runs the sign-in dialog (exec() by default); tests and the startup timing drive it.
    std::function<void(TfrmLogin &form)> RunLoginDialog;

    QString DatabaseFile;     // the name chosen in the program's folder
    TDataCenter *Centre() const { return m_centre.get(); }
    TSyncClient *Sync() const { return m_sync.get(); }
    TfrmBookVocamo *MainWindow() const { return m_window.get(); }

private:
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<TDataCenter> m_centre;
    std::unique_ptr<TSyncClient> m_sync;
    std::unique_ptr<TfrmBookVocamo> m_window;
};

// The whole program: the application object and the entry. With VOCAMO_STARTUP_TIMING=1
// the phase times go to standard error; with VOCAMO_AUTOLOGIN=zone:phone:password as well,
// the sign-in is typed in and the program ends after the first page was painted.
int RunProgram(int argc, char *argv[]);

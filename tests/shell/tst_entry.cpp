// The program entry: the database file it chooses, the version it accepts, the message of a
// store it cannot open, and the single instance.

#include "support/ShellFixture.h"

#include "shell/BookVocamofrm.h"
#include "shell/Messages.h"
#include "shell/ProgramEntry.h"
#include "store/DataCenter.h"

#include <QLockFile>
#include <QProcess>
#include <sqlite3.h>

namespace {

bool setVersion(const QString &file, int major, int minor)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(file.toUtf8().constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    const QByteArray sql = QStringLiteral("update Feature set LIFE_MAJOR_VERSION = %1, LIFE_MINOR_VERSION = %2")
                               .arg(major)
                               .arg(minor)
                               .toUtf8();
    const bool ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

struct Entry
{
    explicit Entry(const ShellFolder &folder) : entry(folder.lockPath())
    {
        entry.ShowMessage = [this](const QString &text) { messages << text; };
    }
    TProgramEntry entry;
    QStringList messages;
};

} // namespace

class TestEntry : public QObject
{
    Q_OBJECT

private slots:
    void choosesTheFile_data()
    {
        QTest::addColumn<bool>("mdb");
        QTest::addColumn<bool>("dat");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("both") << true << true << "Vocamo.mdb";
        QTest::newRow("mdb only") << true << false << "Vocamo.mdb";
        QTest::newRow("dat only") << false << true << "Vocamo.dat";
        QTest::newRow("neither") << false << false << "Vocamo.dat";
    }
    void choosesTheFile()
    {
        QFETCH(bool, mdb);
        QFETCH(bool, dat);
        QFETCH(QString, chosen);
        ShellFolder folder;
        if (mdb)
            folder.addFile(QStringLiteral("Vocamo.mdb"), "x");
        if (dat)
            folder.addFile(QStringLiteral("Vocamo.dat"), "x");
        QCOMPARE(ChooseDatabaseFile(folder.path()), chosen);
    }

    void opensTheMdbBeforeTheDat()
    {
        ShellFolder folder;
        QVERIFY(folder.addStore(QStringLiteral("Vocamo.mdb")));
        folder.addFile(QStringLiteral("Vocamo.dat"), "not a database");
        Entry e(folder);
        QCOMPARE(e.entry.Prepare(), TProgramEntry::TStage::Ready);
        QCOMPARE(e.entry.DatabaseFile, QStringLiteral("Vocamo.mdb"));
        QVERIFY(e.messages.isEmpty());
        QVERIFY(e.entry.Centre()->CurrentUser);
        QVERIFY(e.entry.MainWindow());
        QVERIFY(!e.entry.MainWindow()->isVisible()); // hidden until the sign-in
        QCOMPARE(DataCenter(), e.entry.Centre());
    }

    void fallsBackToTheDat()
    {
        ShellFolder folder;
        QVERIFY(folder.addStore(QStringLiteral("Vocamo.dat")));
        Entry e(folder);
        QCOMPARE(e.entry.Prepare(), TProgramEntry::TStage::Ready);
        QCOMPARE(e.entry.DatabaseFile, QStringLiteral("Vocamo.dat"));
        QCOMPARE(e.entry.Centre()->MajorVersion, 2);
    }

    void namesTheFileItCannotOpen()
    {
        ShellFolder folder;
        Entry e(folder);
        QCOMPARE(e.entry.Prepare(), TProgramEntry::TStage::CannotOpen);
        QCOMPARE(e.messages.size(), 1);
        QVERIFY2(e.messages[0].contains(folder.filePath(QStringLiteral("Vocamo.dat"))),
                 qPrintable(e.messages[0]));
        QVERIFY(!e.entry.Centre());
        QVERIFY(!e.entry.MainWindow());
    }

    void refusesAnotherVersion_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::newRow("2.1") << 2 << 1;
        QTest::newRow("1.0") << 1 << 0;
        QTest::newRow("3.0") << 3 << 0;
    }
    void refusesAnotherVersion()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        ShellFolder folder;
        QVERIFY(folder.addStore(QStringLiteral("Vocamo.mdb")));
        QVERIFY(setVersion(folder.filePath(QStringLiteral("Vocamo.mdb")), major, minor));
        Entry e(folder);
        QCOMPARE(e.entry.Prepare(), TProgramEntry::TStage::WrongVersion);
        QCOMPARE(e.messages, QStringList{Messages::VersionMismatch()});
        QCOMPARE(e.messages[0], QStringLiteral("数据库版本和程序版本不一致。程序即将退出。")
                                    + QString(30, u' '));
        QVERIFY(!e.entry.Centre());
        QVERIFY(!DataCenter());
        QVERIFY(!e.entry.MainWindow());
    }

    void aSecondCopyEndsSilently()
    {
        ShellFolder folder;
        QVERIFY(folder.addStore(QStringLiteral("Vocamo.mdb")));
        Entry first(folder);
        QCOMPARE(first.entry.Prepare(), TProgramEntry::TStage::Ready);
        Entry second(folder);
        QCOMPARE(second.entry.Prepare(), TProgramEntry::TStage::SecondInstance);
        QVERIFY(second.messages.isEmpty());
        QVERIFY(!second.entry.MainWindow());
        QVERIFY(!second.entry.Centre());
        QVERIFY(DataCenter()); // the first copy's data centre is untouched
    }

    void theProgramEndsWhileAnotherCopyRuns()
    {
        const QString program = ShellFolder::binFile(QStringLiteral("vocamo"));
        if (!QFile::exists(program))
            QSKIP("the vocamo executable is not built");
        ShellFolder folder;
        QVERIFY(folder.addStore(QStringLiteral("Vocamo.mdb")));
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QLockFile held(runtime.filePath(QStringLiteral("Vocamo.lock")));
        QVERIFY(held.tryLock(0));

        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("VOCAMO_HOME"), folder.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(program, {});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(process.readAllStandardOutput(), QByteArray());
    }
};

QTEST_MAIN(TestEntry)
#include "tst_entry.moc"

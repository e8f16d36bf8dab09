#include "platform/AppPaths.h"
#include "store/Environment.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestEnvironment : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void cleanup() { qunsetenv("VOCAMO_HOME"); }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("config user") << QStringLiteral("Config") << QStringLiteral("UserName")
                                     << QStringLiteral("13800000000");
        QTest::newRow("phone-number section") << QStringLiteral("13800000000")
                                              << QStringLiteral("ReadingChapterID")
                                              << QStringLiteral("42");
        QTest::newRow("chinese value") << QStringLiteral("Config") << QStringLiteral("Nick")
                                       << QStringLiteral("学习者 张三");
        QTest::newRow("comma value") << QStringLiteral("Config") << QStringLiteral("List")
                                     << QStringLiteral("1,2,3");
        QTest::newRow("blanks and quotes") << QStringLiteral("Config") << QStringLiteral("Odd")
                                           << QStringLiteral("  a \"b\" ; c=d  ");
        QTest::newRow("empty value") << QStringLiteral("Config") << QStringLiteral("Empty")
                                     << QString();
    }
    void roundTrip()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("settings.ini"));
        {
            TIni ini(path);
            QCOMPARE(ini.FileName, path);
            QVERIFY(ini.Section.isEmpty());
            QVERIFY(ini.Default.isEmpty());
            ini.Section = section;
            ini.WriteText(key, value);
            QCOMPARE(ini.ReadText(key), value);
        }
        TIni again(path); // a fresh object reads the file
        again.Section = section;
        again.Default = QStringLiteral("fallback");
        QCOMPARE(again.ReadText(key), value);
        QCOMPARE(again.ReadText(QStringLiteral("NoSuchKey")), QStringLiteral("fallback"));
        again.Section = QStringLiteral("OtherSection");
        QCOMPARE(again.ReadText(key), QStringLiteral("fallback"));
    }

    void fileIsPlainUtf8Ini()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("vocamo.ini"));
        {
            TIni ini(path);
            ini.Section = QStringLiteral("Config");
            ini.WriteText(QStringLiteral("ZoneCode"), QStringLiteral("86"));
            ini.WriteText(QStringLiteral("UserName"), QStringLiteral("13800000000"));
            ini.Section = QStringLiteral("13800000000");
            ini.WriteText(QStringLiteral("WritingChapterID"), QStringLiteral("写作 7"));
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains(QStringLiteral("[Config]")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("ZoneCode=86")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("UserName=13800000000")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("[13800000000]")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("WritingChapterID=写作 7")), qPrintable(text));
    }

    void readsHandWrittenFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("hand.ini"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Config]\nZoneCode=852\nUserName=张三\n");
        file.close();
        TIni ini(path);
        ini.Section = QStringLiteral("Config");
        QCOMPARE(ini.ReadText(QStringLiteral("ZoneCode")), QStringLiteral("852"));
        QCOMPARE(ini.ReadText(QStringLiteral("UserName")), QStringLiteral("张三"));
    }

    void blankNameUsesExecutableIni_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral("   ");
        QTest::newRow("tab") << QStringLiteral("\t");
    }
    void blankNameUsesExecutableIni()
    {
        QFETCH(QString, name);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        qputenv("VOCAMO_HOME", home.path().toUtf8());
        QCOMPARE(ExecutableFolder(), home.path());
        const QString expected = home.path() + QStringLiteral("/store_tst_environment.ini");
        TIni ini(name);
        QCOMPARE(ini.FileName, expected);
        ini.Section = QStringLiteral("Config");
        ini.WriteText(QStringLiteral("ZoneCode"), QStringLiteral("86"));
        QVERIFY(QFile::exists(expected));
    }

    void executablePathsWithoutHome()
    {
        qunsetenv("VOCAMO_HOME");
        QCOMPARE(ExecutableFolder(), QCoreApplication::applicationDirPath());
        qputenv("VOCAMO_HOME", "");
        QCOMPARE(ExecutableFolder(), QCoreApplication::applicationDirPath());
        QCOMPARE(ExecutableBaseName(), QStringLiteral("store_tst_environment"));
    }
};

QTEST_GUILESS_MAIN(TestEnvironment)
#include "tst_environment.moc"

#pragma once

// A small word store for the business-object tests: the real schema in a SQLite file in a
// temporary folder that the program treats as its own (VOCAMO_HOME), plus helpers to put
// rows in and to open a data centre on it.

#include "platform/SqliteDatabase.h"
#include "store/DataCenter.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class StoreFixture
{
public:
    static constexpr const char *FileName = "Vocamo.mdb";

    StoreFixture()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("VOCAMO_HOME", m_dir.path().toUtf8());
    }

    QString path() const { return m_dir.filePath(QLatin1String(FileName)); }
    QString dir() const { return m_dir.path(); }

    // The schema, the version row and the given statements (a script).
    bool create(const QString &rows = {})
    {
        QFile schema(qEnvironmentVariable("VOCAMO_SOURCE_DIR") + QStringLiteral("/data/schema.sql"));
        if (!schema.open(QIODevice::ReadOnly))
            return false;
        SqliteDatabase db;
        // One transaction: a file write per statement would make every test slow.
        if (!db.create(path()) || !db.begin() || !db.execScript(QString::fromUtf8(schema.readAll())))
            return false;
        return db.exec(QStringLiteral("insert into Feature values (2, 0, 'cloud')"))
            && (rows.isEmpty() || db.execScript(rows)) && db.commit();
    }

    // Runs a script on the file: through the living data centre's connection when it has
    // the file open (a second connection would wait for its open reads), else directly.
    bool run(const QString &script);

    // A single integer the statement yields (-1 when it yields nothing).
    qint64 scalar(const QString &sql);

    std::unique_ptr<TDataCenter> openCentre()
    {
        return std::make_unique<TDataCenter>(QLatin1String(FileName), QString());
    }

private:
    QTemporaryDir m_dir;
};

#include "platform/SqliteDataset.h"
#include "store/Channels.h"

inline bool StoreFixture::run(const QString &script)
{
    if (TDataCenter *centre = DataCenter(); centre && centre->Channel->database().path() == path())
        return centre->Channel->database().execScript(script);
    SqliteDatabase db;
    return db.open(path()) && db.execScript(script);
}

inline qint64 StoreFixture::scalar(const QString &sql)
{
    SqliteDatabase own;
    SqliteDatabase *db = &own;
    if (TDataCenter *centre = DataCenter(); centre && centre->Channel->database().path() == path())
        db = &centre->Channel->database();
    else if (!own.open(path()))
        return -1;
    SqliteDataset ds(db);
    if (!ds.open(sql) || ds.eof())
        return -1;
    return ds.field(0).asLargeInt();
}

// One user row (Active_Sequence given) for the USERS table.
inline QString userRow(int id, const QString &name, int activeSequence = 0)
{
    return QStringLiteral("insert into USERS (USER_ID, USER_NAME, USER_PASSWORD, Update_Dictionary, "
                          "User_Type, User_RealName, User_Number, Active_Sequence) values "
                          "(%1, '%2', 'pw', 1, 0, 'real', 'no', %3);\n")
        .arg(id).arg(name).arg(activeSequence);
}

#pragma once

// The program's folder as the shell sees it: a temporary folder (VOCAMO_HOME) holding a
// copy of the sample store and of the reference server's content, with test-mode paths.

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class ShellFolder
{
public:
    ShellFolder()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("VOCAMO_HOME", m_dir.path().toUtf8());
        // A home of its own: the embedded reference server keeps its accounts and progress
        // in the user's data folder, and every test starts from none.
        qputenv("HOME", m_dir.path().toUtf8());
        QFile::copy(binFile(QStringLiteral("VocamoServer.content")),
                    m_dir.filePath(QStringLiteral("VocamoServer.content")));
    }

    static QString binFile(const QString &name)
    {
        return qEnvironmentVariable("VOCAMO_BIN_DIR") + QLatin1Char('/') + name;
    }

    // Copies the sample store under name; false when the sample is missing.
    bool addStore(const QString &name)
    {
        const QString target = m_dir.filePath(name);
        if (!QFile::copy(binFile(QStringLiteral("Vocamo.mdb")), target))
            return false;
        return QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }

    void addFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    QString lockPath() const { return m_dir.filePath(QStringLiteral("Vocamo.lock")); }

private:
    QTemporaryDir m_dir;
};

#pragma once

#include <QString>

#include <memory>

class QSettings;

// The settings file: a plain UTF-8 INI file, by default next to the executable with the
// executable's name and the extension ".ini". Values are read and written in `Section`.
class TIni
{
public:
    // A blank (or empty) name selects ExecutableFolder() + "/" + ExecutableBaseName() + ".ini".
    explicit TIni(const QString &fileName = {});
    ~TIni();
    TIni(const TIni &) = delete;
    TIni &operator=(const TIni &) = delete;

    // The value of key in Section, or Default when the key is absent.
    QString ReadText(const QString &key);
    // Writes value under key in Section and flushes the file.
    void WriteText(const QString &key, const QString &value);

    QString FileName;
    QString Section;
    QString Default;

private:
    QSettings &settings();

    std::unique_ptr<QSettings> m_settings; // created on first use
    QString m_settingsFile;                // the file m_settings was opened on
};

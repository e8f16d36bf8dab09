#pragma once

#include <QWidget>

class TAdoChannel;

// The window `vocamo` shows until the study window exists: which store it opened, its
// version, users, books and a first page of words, so a newcomer sees the store is alive.
class StoreOverview : public QWidget
{
    Q_OBJECT
public:
    explicit StoreOverview(TAdoChannel &channel, QWidget *parent = nullptr);
};

// "Vocamo.mdb" in the folder, else "Vocamo.dat"; empty when neither exists.
QString ChooseDatabaseFile(const QString &folder);

#include "shell/StoreOverview.h"

#include "store/Channels.h"

#include <QFileInfo>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

int countRows(TAdoChannel &channel, const QString &table)
{
    SqliteDataset *rows = channel.Query(QStringLiteral("select count(*) as N from %1").arg(table));
    return rows ? rows->fieldByName(QStringLiteral("N")).asInteger() : 0;
}

QString summary(TAdoChannel &channel)
{
    QString version = QStringLiteral("?");
    if (SqliteDataset *feature = channel.Query(QStringLiteral("select * from Feature "))) {
        version = QStringLiteral("%1.%2")
                      .arg(feature->fieldByName(QStringLiteral("LIFE_MAJOR_VERSION")).asInteger())
                      .arg(feature->fieldByName(QStringLiteral("LIFE_MINOR_VERSION")).asInteger());
    }
    return QStringLiteral("数据库：%1\n版本：%2    用户：%3    词书：%4    单词：%5")
        .arg(channel.DatabasePath(), version)
        .arg(countRows(channel, QStringLiteral("USERS")))
        .arg(countRows(channel, QStringLiteral("USERBOOKS")))
        .arg(countRows(channel, QStringLiteral("TotalWords")));
}

QTableWidget *firstWords(TAdoChannel &channel, QWidget *parent)
{
    const QStringList columns{QStringLiteral("WORD_NAME"), QStringLiteral("WORD_SYMBOL"),
                              QStringLiteral("WORD_TRANS")};
    auto *table = new QTableWidget(0, int(columns.size()), parent);
    table->setObjectName(QStringLiteral("tblWords"));
    table->setHorizontalHeaderLabels({QStringLiteral("单词"), QStringLiteral("音标"),
                                      QStringLiteral("释义")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SqliteDataset *rows = channel.Query(
        QStringLiteral("select WORD_NAME, WORD_SYMBOL, WORD_TRANS from TotalWords order by WORD_ID limit 50"));
    for (; rows && !rows->eof(); rows->next()) {
        const int row = table->rowCount();
        table->insertRow(row);
        for (int c = 0; c < columns.size(); ++c)
            table->setItem(row, c, new QTableWidgetItem(rows->fieldByName(columns[c]).asText()));
    }
    table->resizeColumnsToContents();
    return table;
}

} // namespace

StoreOverview::StoreOverview(TAdoChannel &channel, QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Vocamo"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(summary(channel), this);
    label->setObjectName(QStringLiteral("lblStore"));
    layout->addWidget(label);
    layout->addWidget(firstWords(channel, this));
    resize(720, 560);
}

QString ChooseDatabaseFile(const QString &folder)
{
    for (const char *name : {"Vocamo.mdb", "Vocamo.dat"}) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(name);
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

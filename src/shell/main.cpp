#include "platform/AppPaths.h"
#include "shell/StoreOverview.h"
#include "store/Channels.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString path = ChooseDatabaseFile(ExecutableFolder());
    TAdoChannel channel;
    if (path.isEmpty() || !channel.OpenDatabase(path, QString())) {
        const QString shown = path.isEmpty() ? ExecutableFolder() + QStringLiteral("/Vocamo.mdb") : path;
        QMessageBox::critical(nullptr, QStringLiteral("提醒"),
                              QStringLiteral("无法打开数据库文件：%1").arg(shown));
        return 1;
    }
    StoreOverview window(channel);
    window.show();
    return app.exec();
}

// The word list's main-thread work per key, signed in against the embedded reference
// server with a copy of the sample store:
// (a) Enter: mark a word, commit it and paint the screen that follows;
// (b) Backspace on a screen of about 50 words: one batch request, one transaction, and the
//     next screen painted.
// The requests themselves go out on the background sender, so no key waits on the network.

#include "controls/SimpleGrid.h"
#include "modes/QueueWorld.h"
#include "modes/WordListStrategy.h"
#include "store/DataCenter.h"
#include "sync/Requests.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A list whose rows are small enough that a screen holds 50 words.
class TFiftyRowList : public TStandardStrategy
{
public:
    using TStandardStrategy::TStandardStrategy;
    int ItemHeight(TWord *item) override
    {
        TStandardStrategy::ItemHeight(item);
        return Fifty ? Grid->height() / 50 - 2 : TStandardStrategy::ItemHeight(item);
    }
    bool Fifty = false;
};

void report(const char *label, std::vector<double> &us)
{
    if (us.empty()) {
        std::printf("%-44s no samples\n", label);
        return;
    }
    std::sort(us.begin(), us.end());
    std::printf("%-44s n=%3zu  median %8.0f us  min %8.0f us  p90 %8.0f us\n", label, us.size(),
                us[us.size() / 2], us.front(), us[std::min(us.size() - 1, us.size() * 9 / 10)]);
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    const QString bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/");
    if (!QFile::copy(bin + QStringLiteral("Vocamo.mdb"), dir.filePath(QStringLiteral("Vocamo.mdb")))
        || !QFile::copy(bin + QStringLiteral("VocamoServer.content"),
                        dir.filePath(QStringLiteral("VocamoServer.content")))) {
        std::printf("bench_wordlist: build the sample store first (target sample_store)\n");
        return 1;
    }
    QFile::setPermissions(dir.filePath(QStringLiteral("Vocamo.mdb")), QFile::ReadOwner | QFile::WriteOwner);
    qputenv("VOCAMO_HOME", dir.path().toUtf8());
    qputenv("HOME", dir.path().toUtf8()); // the embedded server's data starts afresh

    TDataCenter centre(QStringLiteral("Vocamo.mdb"), QString());
    TSyncClient client(centre);
    if (!SignIn(QStringLiteral("8613900000001"), QStringLiteral("123456"))) {
        std::printf("bench_wordlist: sign-in failed\n");
        return 1;
    }
    centre.Config.AlwaysShowTrans = true;
    QWidget window;
    window.resize(1000, 800);
    window.show();
    TFoundation foundation(&window);
    TQueueWorld world(&foundation);
    TFiftyRowList *list = nullptr;
    world.BookModeFactory = [&list](TQueueWorld &w, int, TUserBook *book) {
        auto made = std::make_unique<TFiftyRowList>(w.Foundation, &w, book);
        made->Fifty = true; // the first page splits into screens of about 50 words
        list = made.get();
        return made;
    };
    world.Attach();
    world.Arrange();
    world.Activate();
    if (!list)
        return 1;

    std::printf("word list, main-thread work per key (target < 16000 us)\n");
    QElapsedTimer timer;
    // Backspace first, on the first screen as the download filled it (up to 50 words).
    std::vector<double> backspace;
    const int screenWords = list->CurrentScreen ? list->CurrentScreen->Count() : 0;
    client.WaitForQueue(30000);
    timer.start();
    world.Perform(8, 0);
    window.repaint();
    backspace.push_back(double(timer.nsecsElapsed()) / 1000.0);
    char label[80];
    std::snprintf(label, sizeof label, "Backspace: %d words, one request, paint", screenWords);
    report(label, backspace);

    std::vector<double> enter;
    for (int i = 0; i < 60 && world.CurrentWord(); ++i) {
        world.Perform(50, 0);
        timer.start();
        world.Perform(13, 0);
        window.repaint();
        enter.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    report("Enter: commit one word, paint", enter);
    client.WaitForQueue(30000);
    world.StopAll();
    world.Load();
    return 0;
}

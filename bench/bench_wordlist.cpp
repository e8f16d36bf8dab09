// The word list's main-thread work per key on full screens, signed in against a reference
// server of the benchmark's own whose first book holds enough words for many screens of
// about 50 words:
// (a) Enter on a screen of about 50 words: mark a word, commit it, and paint what changed;
// (b) Backspace on a screen of about 50 words: one batch request, one transaction, and the
//     next screen painted.
// Each key is followed by the event loop's pass, so the time includes the paint Qt runs for
// the regions the key invalidated. Wall time includes the waits for the disk (commits) and
// for a busy machine; the main thread's CPU time is printed beside it. The requests go out on the background sender, so no key
// waits on the network.

#include "controls/SimpleGrid.h"
#include "modes/QueueWorld.h"
#include "modes/WordListStrategy.h"
#include "server/ReferenceServer.h"
#include "store/DataCenter.h"
#include "support/GeneratedStore.h"
#include "sync/Requests.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kStoreWords = 3000;   // words in the store; the generated ones join the first book
constexpr int kDueWords = 1000;     // due words the server hands out per download
constexpr int kPageSize = 150;      // a page splits into three screens of about 50 words
constexpr int kFullScreen = 45;     // a screen counts as full from this many words
constexpr int kEntersPerScreen = 3;

// A list whose rows are small enough that a screen holds about 50 words.
class TFiftyRowList : public TStandardStrategy
{
public:
    using TStandardStrategy::TStandardStrategy;
    int ItemHeight(TWord *item) override
    {
        const int measured = TStandardStrategy::ItemHeight(item); // the real work stays in
        return Grid ? Grid->height() / 50 - 2 : measured;
    }
};

void report(const char *label, std::vector<double> &us)
{
    if (us.empty()) {
        std::printf("%-46s no samples\n", label);
        return;
    }
    std::sort(us.begin(), us.end());
    std::printf("%-46s n=%3zu  median %7.0f us  p90 %7.0f us  max %7.0f us\n", label, us.size(),
                us[us.size() / 2], us[std::min(us.size() - 1, us.size() * 9 / 10)], us.back());
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    QString contentPath;
    if (!dir.isValid() || !BuildStudyContent(dir.path(), kStoreWords, contentPath)) {
        std::printf("bench_wordlist: cannot build the store and the server content\n");
        return 1;
    }
    qputenv("VOCAMO_HOME", dir.path().toUtf8());
    qputenv("HOME", dir.path().toUtf8());

    TServerOptions options;
    options.dataDir = dir.filePath(QStringLiteral("server"));
    options.openRegistration = true;
    options.contentPath = contentPath;
    options.dueBatch = kDueWords;
    TReferenceServer server(options);
    QString error;
    if (!server.start(&error)) {
        std::printf("bench_wordlist: server: %s\n", qPrintable(error));
        return 1;
    }
    TDataCenter centre(QStringLiteral("Vocamo.mdb"), QString());
    TServerSettings settings;
    settings.BaseUrl = server.baseUrl();
    TSyncClient client(centre, settings);
    if (!SignIn(QStringLiteral("8613900000001"), QStringLiteral("123456"))) {
        std::printf("bench_wordlist: sign-in failed\n");
        return 1;
    }
    centre.Config.AlwaysShowTrans = true;
    centre.Config.RefillSize = kPageSize;
    QWidget window;
    window.resize(1000, 800);
    window.show();
    for (int i = 0; i < 100 && !(window.windowHandle() && window.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents();
    TFoundation foundation(&window);
    TQueueWorld world(&foundation);
    TFiftyRowList *list = nullptr;
    world.BookModeFactory = [&list](TQueueWorld &w, int, TUserBook *book) {
        auto made = std::make_unique<TFiftyRowList>(w.Foundation, &w, book);
        list = made.get();
        return made;
    };
    world.Attach();
    world.Arrange();
    world.Activate();
    QCoreApplication::processEvents();
    if (!list || !list->CurrentScreen) {
        std::printf("bench_wordlist: no word list\n");
        return 1;
    }
    std::printf("word list on screens of about 50 words, main-thread work per key including the\n"
                "paint (due words %d, page %d; target < 16000 us)\n", centre.DueCount, kPageSize);

    QElapsedTimer timer;
    std::vector<double> cpu, enterCpu, backspaceCpu;
    const auto timed = [&](int key) {
        timespec a{}, b{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
        timer.start();
        world.Perform(key, 0);
        QCoreApplication::processEvents();
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
        cpu.push_back(double(b.tv_sec - a.tv_sec) * 1e6 + double(b.tv_nsec - a.tv_nsec) / 1000.0);
        return double(timer.nsecsElapsed()) / 1000.0;
    };
    std::vector<double> enter, backspace;
    int screenWords = 0;
    for (int round = 0; round < 60 && list->CurrentScreen; ++round) {
        client.WaitForQueue(30000); // earlier requests are not this key's work
        QCoreApplication::processEvents();
        const int count = list->CurrentScreen->Count();
        if (count < kFullScreen) {
            world.Perform(8, 0); // a short screen (end of a page): finish it untimed
            QCoreApplication::processEvents();
            continue;
        }
        for (int i = 0; i < kEntersPerScreen && list->CurrentScreen->Count() > kFullScreen; ++i) {
            world.Perform(50, 0);
            QCoreApplication::processEvents();
            enter.push_back(timed(13));
            enterCpu.push_back(cpu.back());
        }
        screenWords = std::max(screenWords, list->CurrentScreen->Count());
        backspace.push_back(timed(8));
        backspaceCpu.push_back(cpu.back());
    }
    char label[80];
    std::snprintf(label, sizeof label, "Enter on a full screen: commit, paint");
    report(label, enter);
    report("  the same, main thread's CPU time", enterCpu);
    std::snprintf(label, sizeof label, "Backspace on %d+ words: one request, paint", kFullScreen - kEntersPerScreen);
    report(label, backspace);
    report("  the same, main thread's CPU time", backspaceCpu);
    client.WaitForQueue(30000);
    world.StopAll();
    world.Load();
    return 0;
}

#include "media/MarovekMedia.h"
#include "media/SoundThread.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

namespace {

// The player's rules over a stand-in for the playback backend: position, duration and
// state are set by the test, seeks are recorded.
class TScriptedMedia : public TAVIMedia
{
public:
    TScriptedMedia()
        : TAVIMedia(nullptr, QString())
    {
        MarkOpened(true);
    }

    int Duration() const override { return duration; }
    int Position() const override { return position; }
    int State() const override { return state; }

    int duration = 60000;
    int position = 0;
    int state = 0;
    QList<int> seeks;

protected:
    void SeekRaw(int pos) override
    {
        seeks.append(pos);
        position = pos;
    }
};

struct TReportedError
{
    int count = 0;
    QString text, caption;
};

void RecordErrors(TAVIMedia &media, TReportedError &error)
{
    media.SetErrorReporter([&error](const QString &text, const QString &caption) {
        ++error.count;
        error.text = text;
        error.caption = caption;
    });
}

QByteArray SilentWave()
{
    QByteArray wave("RIFF");
    const auto le32 = [&wave](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wave.append(char((v >> (8 * i)) & 0xff));
    };
    const auto le16 = [&wave](quint16 v) {
        wave.append(char(v & 0xff));
        wave.append(char(v >> 8));
    };
    const quint32 data = 8000;
    le32(36 + data);
    wave.append("WAVEfmt ");
    le32(16);
    le16(1);
    le16(1);
    le32(8000);
    le32(16000);
    le16(2);
    le16(16);
    wave.append("data");
    le32(data);
    wave.append(QByteArray(int(data), '\0'));
    return wave;
}

} // namespace

class TestMedia : public QObject
{
    Q_OBJECT
private slots:
    void freshPlayerIsClosed();
    void closedPlayerIgnoresOperations();
    void missingFileReportsError_data();
    void missingFileReportsError();
    void openAndPlayFromAnotherThreadRunsOnPlayersThread();
    void existingFileWithoutDevice();
    void pronounceNeedsOutputDevice();

    void seekTenth_data();
    void seekTenth();
    void seekOutsideMediaIgnored();
    void abRepeat();
    void markABCycle();
    void segmentRepeat();
    void segmentRepeatCancelsAB();
    void loopRestartsAtEnd();
    void steps();
    void restartSegment();
    void ninthStep();
    void onTimerCalled();
};

void TestMedia::freshPlayerIsClosed()
{
    TAVIMedia media(nullptr, QStringLiteral("nothing.wav"));
    QCOMPARE(media.State(), 2);
    QCOMPARE(media.Duration(), 0);
    QCOMPARE(media.Position(), 0);
    QCOMPARE(media.SegmentLength(), 8000);
    QVERIFY(!media.Loop());
    QVERIFY(!media.SegmentRepeat());
    QVERIFY(!media.Opened());
    QVERIFY(!media.TimerActive());
    QCOMPARE(media.FileName(), QStringLiteral("nothing.wav"));
}

void TestMedia::closedPlayerIgnoresOperations()
{
    TAVIMedia media(nullptr, QString());
    TReportedError error;
    RecordErrors(media, error);
    media.Play();
    media.Pause();
    media.Seek(100);
    media.MarkAB();
    media.SeekTenth(5);
    media.StepBack();
    media.StepForward();
    media.RestartSegment();
    media.SetSegmentRepeat(true);
    media.Refresh();
    media.Tick();
    media.Close();
    media.Stop();
    QCOMPARE(media.ABState(), 0);
    QVERIFY(!media.SegmentRepeat());
    QCOMPARE(media.State(), 2);
    QCOMPARE(error.count, 0);
}

void TestMedia::missingFileReportsError_data()
{
    QTest::addColumn<bool>("andPlay");
    QTest::newRow("Open") << false;
    QTest::newRow("OpenAndPlay") << true;
}

void TestMedia::missingFileReportsError()
{
    QFETCH(bool, andPlay);
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.wav"));
    TAVIMedia media(nullptr, missing);
    TReportedError error;
    RecordErrors(media, error);
    if (andPlay)
        media.OpenAndPlay(missing);
    else
        media.Open();
    QCOMPARE(error.count, 1);
    QCOMPARE(error.text, QStringLiteral("打开文件错误。") + QString(30, u' '));
    QCOMPARE(error.caption, QStringLiteral("错误"));
    QVERIFY(!media.Opened());
    QVERIFY(!media.TimerActive());
    QCOMPARE(media.State(), 2);
}

void TestMedia::openAndPlayFromAnotherThreadRunsOnPlayersThread()
{
    TAVIMedia media(nullptr, QString());
    TReportedError error;
    QThread *reportedOn = nullptr;
    media.SetErrorReporter([&](const QString &text, const QString &caption) {
        reportedOn = QThread::currentThread();
        ++error.count;
        error.text = text;
        error.caption = caption;
    });
    const QString missing = QStringLiteral("/nonexistent/folder/word.wav");
    std::thread caller([&media, missing] { media.OpenAndPlay(missing); });
    caller.join();
    // Nothing happened on the calling thread: the call waits for the player's thread.
    QCOMPARE(error.count, 0);
    QTRY_COMPARE(error.count, 1);
    QCOMPARE(reportedOn, QThread::currentThread());
    QCOMPARE(media.FileName(), missing);
}

void TestMedia::existingFileWithoutDevice()
{
    // Whatever the machine offers (no output device, no backend), opening a real wave
    // file must leave a consistent player: open and timed, or closed with the error.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("silence.wav"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(SilentWave());
    file.close();

    TAVIMedia media(nullptr, path);
    TReportedError error;
    RecordErrors(media, error);
    media.OpenAndPlay(path);
    QCoreApplication::processEvents();
    QCOMPARE(media.Opened(), error.count == 0);
    QCOMPARE(media.TimerActive(), media.Opened());
    QVERIFY(media.State() >= 0 && media.State() <= 2);
    media.Close();
    QVERIFY(!media.Opened());
    QCOMPARE(media.State(), 2);
}

void TestMedia::pronounceNeedsOutputDevice()
{
    TAVIMedia media(nullptr, QString());
    TReportedError error;
    RecordErrors(media, error);
    QVERIFY(!PronounceWord(&media, QString()));
    QCOMPARE(PronounceWord(&media, QStringLiteral("go")), HasDefaultAudioOutput());
    if (!HasDefaultAudioOutput())
        QCOMPARE(media.SoundThreadCount(), 0);
    media.JoinSoundThreads();
}

void TestMedia::seekTenth_data()
{
    QTest::addColumn<int>("duration");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("expected");
    QTest::newRow("first") << 9000 << 1 << 0;
    QTest::newRow("last") << 9000 << 10 << 9000;
    QTest::newRow("middle") << 9000 << 5 << 4000;
    // 1000 * 1 / 9 = 111.1, 1000 * 4 / 9 = 444.4, 1001 * 6 / 9 = 667.3.
    QTest::newRow("rounded down") << 1000 << 2 << 111;
    QTest::newRow("rounded") << 1000 << 5 << 444;
    QTest::newRow("seventh of 1001") << 1001 << 7 << 667;
}

void TestMedia::seekTenth()
{
    QFETCH(int, duration);
    QFETCH(int, n);
    QFETCH(int, expected);
    TScriptedMedia media;
    media.duration = duration;
    media.position = 123;
    media.SeekTenth(n);
    QCOMPARE(media.seeks, QList<int>{expected});
}

void TestMedia::seekOutsideMediaIgnored()
{
    TScriptedMedia media;
    media.duration = 10000;
    media.Seek(-1);
    media.Seek(10001);
    QVERIFY(media.seeks.isEmpty());
    media.Seek(10000);
    QCOMPARE(media.seeks, QList<int>{10000});
    // A stopped player cannot seek.
    media.state = 2;
    media.Seek(5);
    QCOMPARE(media.seeks.size(), 1);
}

void TestMedia::abRepeat()
{
    TScriptedMedia media;
    media.position = 5000;
    media.MarkAB();
    media.position = 9000;
    media.MarkAB();
    QCOMPARE(media.ABState(), 2);
    QCOMPARE(media.PointA(), 5000);
    QCOMPARE(media.PointB(), 9000);

    media.position = 8700;
    media.Tick();
    QVERIFY(media.seeks.isEmpty());
    media.position = 8850;
    media.Tick();
    QCOMPARE(media.seeks, QList<int>{5000});
    QCOMPARE(media.ABState(), 2);

    media.Seek(12000);
    QCOMPARE(media.ABState(), 0);
    media.position = 8850;
    media.Tick();
    QCOMPARE(media.seeks.size(), 2);

    // Seeking before A drops a set A as well.
    media.position = 5000;
    media.MarkAB();
    media.Seek(4000);
    QCOMPARE(media.ABState(), 0);
}

void TestMedia::markABCycle()
{
    TScriptedMedia media;
    media.position = 100;
    media.MarkAB();
    media.position = 200;
    media.MarkAB();
    media.MarkAB();
    QCOMPARE(media.ABState(), 0);
    QCOMPARE(media.PointA(), 0);
    QCOMPARE(media.PointB(), 0);
    // Stop clears the marks too.
    media.MarkAB();
    media.Stop();
    QCOMPARE(media.ABState(), 0);
}

void TestMedia::segmentRepeat()
{
    TScriptedMedia media;
    media.position = 17500;
    media.SetSegmentRepeat(true);
    QVERIFY(media.SegmentRepeat());
    media.position = 23700;
    media.Tick();
    QVERIFY(media.seeks.isEmpty());
    media.position = 23850;
    media.Tick();
    QCOMPARE(media.seeks, QList<int>{16000});

    // A seek inside the segment keeps it; one outside switches it off.
    media.Seek(20000);
    QVERIFY(media.SegmentRepeat());
    media.Seek(30000);
    QVERIFY(!media.SegmentRepeat());
    // Setting A switches segment repeat off.
    media.SetSegmentRepeat(true);
    media.MarkAB();
    QVERIFY(!media.SegmentRepeat());
}

void TestMedia::segmentRepeatCancelsAB()
{
    TScriptedMedia media;
    // A-B inside the segment [16000, 24000) but B short of its end: cancelled.
    media.position = 17000;
    media.MarkAB();
    media.position = 20000;
    media.MarkAB();
    media.position = 18000;
    media.SetSegmentRepeat(true);
    QCOMPARE(media.ABState(), 0);

    // A before the segment and B beyond it: kept.
    TScriptedMedia other;
    other.position = 15000;
    other.MarkAB();
    other.position = 25000;
    other.MarkAB();
    other.position = 18000;
    other.SetSegmentRepeat(true);
    QCOMPARE(other.ABState(), 2);
}

void TestMedia::loopRestartsAtEnd()
{
    TScriptedMedia media;
    media.duration = 3000;
    media.position = 2995;
    media.Tick();
    QVERIFY(media.seeks.isEmpty());
    media.SetLoop(true);
    media.state = 1;
    media.Tick();
    QVERIFY(media.seeks.isEmpty());
    media.state = 0;
    media.Tick();
    QCOMPARE(media.seeks, QList<int>{0});
}

void TestMedia::steps()
{
    TScriptedMedia media;
    media.duration = 20000;
    media.position = 5000;
    media.StepBack();
    QCOMPARE(media.position, 0);
    media.position = 15000;
    media.StepForward();
    QCOMPARE(media.position, 20000 - 800);
    media.position = 1000;
    media.StepForward();
    QCOMPARE(media.position, 9000);
}

void TestMedia::restartSegment()
{
    TScriptedMedia media;
    media.position = 17500;
    media.RestartSegment();
    QCOMPARE(media.seeks, QList<int>{16000});
    media.SetSegmentLength(0);
    media.RestartSegment();
    QCOMPARE(media.seeks.size(), 1);
}

void TestMedia::ninthStep()
{
    TScriptedMedia media;
    media.duration = 100;
    QCOMPARE(media.NinthStep(), qint64(11) | (qint64(1) << 32));
}

void TestMedia::onTimerCalled()
{
    TAVIMedia media(nullptr, QString());
    int calls = 0;
    TBasicMedia *sender = nullptr;
    media.SetOnTimer([&](TBasicMedia *from) {
        ++calls;
        sender = from;
    });
    media.Tick();
    QCOMPARE(calls, 1);
    QCOMPARE(sender, &media);
    QVERIFY(media.GetOnTimer());
}

QTEST_MAIN(TestMedia)
#include "tst_media.moc"

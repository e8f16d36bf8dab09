#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QAudioOutput;
class QMediaPlayer;
class QWidget;
class TMarovekTimer;
class TSoundThread;

// The player interface every mode talks to. Positions and lengths are milliseconds.
// Besides the player operations it owns the sound threads started for it (PlaySound), so
// that no thread can call a player that is gone: a subclass calls JoinSoundThreads() first
// thing in its destructor.
class TBasicMedia : public QObject
{
    Q_OBJECT
public:
    using TTimerHandler = std::function<void(TBasicMedia *sender)>;

    explicit TBasicMedia(QObject *parent = nullptr);
    ~TBasicMedia() override;

    virtual void Open() = 0;
    virtual void PlayFrom(int pos) = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual void Close() = 0;
    virtual void RestartSegment() = 0;
    virtual void StepBack() = 0;
    virtual void StepForward() = 0;
    virtual void Seek(int pos) = 0;
    virtual void MarkAB() = 0;
    virtual void SeekTenth(int n) = 0;
    virtual bool Loop() const = 0;
    virtual void SetLoop(bool on) = 0;
    virtual int PointA() const = 0;
    virtual int PointB() const = 0;
    virtual int Duration() const = 0;
    virtual int Position() const = 0;
    virtual int ConstantZero() const = 0;
    virtual qint64 NinthStep() const = 0;
    virtual bool SegmentRepeat() const = 0;
    virtual void SetSegmentRepeat(bool on) = 0;
    // 0 playing, 1 paused, 2 stopped or nothing opened.
    virtual int State() const = 0;
    virtual int ABState() const = 0;
    virtual TTimerHandler GetOnTimer() const = 0;
    virtual QString EmptyTextA() const = 0;
    virtual QString EmptyTextB() const = 0;
    virtual void SetOnTimer(TTimerHandler handler) = 0;
    virtual int ConstantTen() const = 0;
    virtual void IgnoreValue(int value) = 0;
    virtual int SegmentLength() const = 0;
    virtual void SetSegmentLength(int ms) = 0;
    virtual bool ConstantTrueA() const = 0;
    virtual void Refresh() = 0;
    virtual bool ConstantTrueB() const = 0;
    virtual int ZeroOf(int a, int b) const = 0;

    // Opens fileName (a path or URL) and plays it. Callable from any thread: the sound
    // threads call it once their probe succeeded.
    virtual void OpenAndPlay(const QString &fileName) = 0;

    // Sound threads: adopted threads are started here and joined before the player goes.
    void AdoptSoundThread(std::unique_ptr<TSoundThread> thread);
    // Asks every sound thread to give up: a waiting one skips its probe.
    void CancelSoundThreads();
    // Asks every sound thread to give up and waits for all of them.
    void JoinSoundThreads();
    // Waits until every adopted sound thread has run to its end.
    void WaitForSoundThreads();
    // Sound threads adopted and not yet joined (finished ones are joined on the next adopt).
    int SoundThreadCount();

private:
    std::mutex m_threadsMutex;
    std::vector<std::unique_ptr<TSoundThread>> m_threads;
};

// Reports a media error: text and caption. The default shows a modal error box.
using TMediaErrorReporter = std::function<void(const QString &text, const QString &caption)>;

// The player on QMediaPlayer + QAudioOutput. Lives on the thread that created it (the
// main thread); its 200 ms timer drives looping, A-B repeat and segment repeat.
class TAVIMedia : public TBasicMedia
{
    Q_OBJECT
public:
    // The error texts (string table 65147 with its trailing blanks, and 65148).
    static const QString OpenErrorText;
    static const QString OpenErrorCaption;

    TAVIMedia(QWidget *owner, const QString &fileName, QObject *parent = nullptr);
    ~TAVIMedia() override;

    void Open() override;
    void PlayFrom(int pos) override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    void Close() override;
    void RestartSegment() override;
    void StepBack() override;
    void StepForward() override;
    void Seek(int pos) override;
    void MarkAB() override;
    void SeekTenth(int n) override;
    bool Loop() const override { return m_loop; }
    void SetLoop(bool on) override { m_loop = on; }
    int PointA() const override { return m_pointA; }
    int PointB() const override { return m_pointB; }
    int Duration() const override;
    int Position() const override;
    int ConstantZero() const override { return 0; }
    qint64 NinthStep() const override;
    bool SegmentRepeat() const override { return m_segmentRepeat; }
    void SetSegmentRepeat(bool on) override;
    int State() const override;
    int ABState() const override { return m_abState; }
    TTimerHandler GetOnTimer() const override { return m_onTimer; }
    QString EmptyTextA() const override { return {}; }
    QString EmptyTextB() const override { return {}; }
    void SetOnTimer(TTimerHandler handler) override { m_onTimer = std::move(handler); }
    int ConstantTen() const override { return 10; }
    void IgnoreValue(int) override {}
    int SegmentLength() const override { return m_segmentLength; }
    void SetSegmentLength(int ms) override { m_segmentLength = ms; }
    bool ConstantTrueA() const override { return true; }
    void Refresh() override;
    bool ConstantTrueB() const override { return true; }
    int ZeroOf(int, int) const override { return 0; }

    void OpenAndPlay(const QString &fileName) override;

    // One timer step (also run by the timer every 200 ms while open).
    void Tick();

    bool Opened() const { return m_opened; }
    QString FileName() const { return m_fileName; }
    void SetFileName(const QString &fileName) { m_fileName = fileName; }
    bool TimerActive() const;
    QMediaPlayer *Player() const { return m_player.get(); }
    void SetErrorReporter(TMediaErrorReporter reporter) { m_reportError = std::move(reporter); }

protected:
    // Moves the playback position (the player's own seek; no mark rules).
    virtual void SeekRaw(int pos);
    // Marks the player open or closed without rendering, for stand-in players.
    void MarkOpened(bool opened) { m_opened = opened; }

private:
    bool Seekable() const;
    // Builds a fresh player for m_fileName; false (and the error shown) when it cannot be
    // rendered.
    bool Render();
    void ReleasePlayer();
    void RenderFailed();
    void DropMarks(int pos);
    void OnPlayerError();

    QPointer<QWidget> m_owner;
    std::unique_ptr<QAudioOutput> m_audio;
    std::unique_ptr<QMediaPlayer> m_player;
    std::unique_ptr<TMarovekTimer> m_timer;
    TMediaErrorReporter m_reportError;
    TTimerHandler m_onTimer;
    QString m_fileName;
    bool m_opened = false;
    bool m_loop = false;
    bool m_segmentRepeat = false;
    int m_abState = 0;
    int m_pointA = 0;
    int m_pointB = 0;
    int m_segmentLength = 8000;
    int m_segmentAnchor = 0;
};

// True when the system has a default audio output device.
bool HasDefaultAudioOutput();

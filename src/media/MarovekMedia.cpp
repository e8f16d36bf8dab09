#include "media/MarovekMedia.h"

#include "controls/MarovekUtils.h"
#include "media/SoundThread.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QThread>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// Qt 6.4's GStreamer backend crashes when the GStreamer plugins it needs are not
// installed (a bare or headless machine); its FFmpeg backend needs nothing beyond the
// libraries it links. Chosen before the first multimedia object exists, unless the
// environment already names a backend.
void ChooseMediaBackend()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "ffmpeg");
    });
}

} // namespace

TBasicMedia::TBasicMedia(QObject *parent)
    : QObject(parent)
{
}

TBasicMedia::~TBasicMedia()
{
    JoinSoundThreads();
}

void TBasicMedia::AdoptSoundThread(std::unique_ptr<TSoundThread> thread)
{
    if (!thread)
        return;
    std::vector<std::unique_ptr<TSoundThread>> finished;
    {
        std::lock_guard lock(m_threadsMutex);
        auto done = std::stable_partition(m_threads.begin(), m_threads.end(),
                                          [](const auto &t) { return !t->isFinished(); });
        std::move(done, m_threads.end(), std::back_inserter(finished));
        m_threads.erase(done, m_threads.end());
        thread->start(QThread::HighestPriority);
        m_threads.push_back(std::move(thread));
    }
    // Finished threads are joined (destroyed) outside the lock.
}

void TBasicMedia::CancelSoundThreads()
{
    std::lock_guard lock(m_threadsMutex);
    for (auto &thread : m_threads)
        thread->Cancel();
}

void TBasicMedia::JoinSoundThreads()
{
    std::vector<std::unique_ptr<TSoundThread>> threads;
    {
        std::lock_guard lock(m_threadsMutex);
        threads.swap(m_threads);
    }
    for (auto &thread : threads)
        thread->Cancel();
    for (auto &thread : threads)
        thread->wait();
}

void TBasicMedia::WaitForSoundThreads()
{
    std::vector<std::unique_ptr<TSoundThread>> threads;
    {
        std::lock_guard lock(m_threadsMutex);
        threads.swap(m_threads);
    }
    for (auto &thread : threads)
        thread->wait();
}

int TBasicMedia::SoundThreadCount()
{
    std::lock_guard lock(m_threadsMutex);
    return int(m_threads.size());
}

const QString TAVIMedia::OpenErrorText = QStringLiteral("打开文件错误。") + QString(30, u' ');
const QString TAVIMedia::OpenErrorCaption = QStringLiteral("错误");

TAVIMedia::TAVIMedia(QWidget *owner, const QString &fileName, QObject *parent)
    : TBasicMedia(parent)
    , m_owner(owner)
    , m_timer(std::make_unique<TMarovekTimer>())
    , m_fileName(fileName)
{
    ChooseMediaBackend();
    m_timer->SetInterval(200);
    m_timer->SetEnabled(false);
    connect(m_timer.get(), &TMarovekTimer::OnTimer, this, &TAVIMedia::Tick);
    m_reportError = [this](const QString &text, const QString &caption) {
        QMessageBox::critical(m_owner, caption, text, QMessageBox::Ok);
    };
}

TAVIMedia::~TAVIMedia()
{
    // No sound thread may reach this player once its members start to go.
    JoinSoundThreads();
    m_timer->SetEnabled(false);
    ReleasePlayer();
}

void TAVIMedia::ReleasePlayer()
{
    if (m_player) {
        m_player->disconnect(this);
        m_player->stop();
    }
    m_player.reset();
    m_audio.reset();
}

bool TAVIMedia::Render()
{
    ReleasePlayer();
    m_audio = std::make_unique<QAudioOutput>();
    m_player = std::make_unique<QMediaPlayer>();
    m_player->setAudioOutput(m_audio.get());
    connect(m_player.get(), &QMediaPlayer::errorOccurred, this, &TAVIMedia::OnPlayerError);

    const QUrl url = QUrl::fromUserInput(m_fileName, QString(), QUrl::AssumeLocalFile);
    if (m_fileName.isEmpty() || !url.isValid() || !m_player->isAvailable())
        return false;
    if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isFile())
        return false;
    m_player->setSource(url);
    return m_player->error() == QMediaPlayer::NoError;
}

void TAVIMedia::RenderFailed()
{
    m_opened = false;
    m_timer->SetEnabled(false);
    if (m_reportError)
        m_reportError(OpenErrorText, OpenErrorCaption);
}

void TAVIMedia::OnPlayerError()
{
    // The backend reports what it cannot play after the source was set.
    if (m_opened)
        RenderFailed();
}

void TAVIMedia::Open()
{
    m_opened = false;
    if (!Render()) {
        RenderFailed();
        return;
    }
    m_opened = true;
    m_timer->SetEnabled(true);
}

void TAVIMedia::OpenAndPlay(const QString &fileName)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, fileName] { OpenAndPlay(fileName); }, Qt::QueuedConnection);
        return;
    }
    m_opened = false;
    m_fileName = fileName;
    if (!Render()) {
        RenderFailed();
        return;
    }
    m_opened = true;
    m_timer->SetEnabled(true);
    m_player->play();
}

void TAVIMedia::PlayFrom(int pos)
{
    m_abState = 0;
    Open();
    Play();
    Seek(pos);
}

void TAVIMedia::Play()
{
    if (m_opened && m_player)
        m_player->play();
}

void TAVIMedia::Pause()
{
    if (m_opened && m_player)
        m_player->pause();
}

void TAVIMedia::Stop()
{
    m_abState = 0;
    if (m_opened && m_player)
        m_player->stop();
}

void TAVIMedia::Close()
{
    if (!m_opened)
        return;
    if (m_player)
        m_player->stop();
    m_opened = false;
    m_timer->SetEnabled(false);
}

bool TAVIMedia::Seekable() const
{
    return m_opened && State() != 2;
}

void TAVIMedia::RestartSegment()
{
    if (!Seekable() || m_segmentLength <= 0)
        return;
    const int pos = Position();
    Seek(pos - pos % m_segmentLength);
}

void TAVIMedia::StepBack()
{
    if (Seekable())
        Seek(std::max(0, Position() - m_segmentLength));
}

void TAVIMedia::StepForward()
{
    if (Seekable())
        Seek(std::min(Position() + m_segmentLength, Duration() - m_segmentLength / 10));
}

void TAVIMedia::DropMarks(int pos)
{
    if (m_abState != 0 && pos < m_pointA)
        m_abState = 0;
    if (m_abState == 2 && pos > m_pointB)
        m_abState = 0;
    if (m_segmentLength > 0 && m_segmentRepeat) {
        const qint64 start = qint64(m_segmentLength) * (m_segmentAnchor / m_segmentLength);
        if (pos < start || pos > start + m_segmentLength)
            m_segmentRepeat = false;
    }
}

void TAVIMedia::SeekRaw(int pos)
{
    if (m_player)
        m_player->setPosition(pos);
}

void TAVIMedia::Seek(int pos)
{
    if (!Seekable() || pos < 0 || pos > Duration())
        return;
    DropMarks(pos);
    SeekRaw(pos);
}

void TAVIMedia::MarkAB()
{
    if (!Seekable())
        return;
    switch (m_abState) {
    case 0:
        m_pointA = Position();
        m_abState = 1;
        m_segmentRepeat = false;
        break;
    case 1:
        m_pointB = Position();
        m_abState = 2;
        break;
    default:
        m_abState = 0;
        m_pointA = 0;
        m_pointB = 0;
        break;
    }
}

void TAVIMedia::SeekTenth(int n)
{
    if (m_opened)
        Seek(int(std::nearbyint(double(Duration()) * (n - 1) / 9.0)));
}

int TAVIMedia::Duration() const
{
    return m_opened && m_player ? int(m_player->duration()) : 0;
}

int TAVIMedia::Position() const
{
    return m_opened && m_player ? int(m_player->position()) : 0;
}

qint64 TAVIMedia::NinthStep() const
{
    const int duration = Duration();
    return qint64(quint32(duration / 9)) | (qint64(duration % 9) << 32);
}

void TAVIMedia::SetSegmentRepeat(bool on)
{
    if (!Seekable() || m_segmentLength <= 0)
        return;
    m_segmentRepeat = on;
    if (!on)
        return;
    m_segmentAnchor = Position();
    const qint64 k = m_segmentAnchor / m_segmentLength;
    if (m_pointA > m_segmentLength * k || (m_abState == 2 && m_pointB < m_segmentLength * (k + 1)))
        m_abState = 0;
}

int TAVIMedia::State() const
{
    if (!m_opened || !m_player)
        return 2;
    switch (m_player->playbackState()) {
    case QMediaPlayer::PlayingState:
        return 0;
    case QMediaPlayer::PausedState:
        return 1;
    default:
        return 2;
    }
}

void TAVIMedia::Refresh()
{
    if (m_opened)
        (void)State();
}

bool TAVIMedia::TimerActive() const
{
    return m_timer->Enabled() && m_timer->Active();
}

void TAVIMedia::Tick()
{
    if (m_opened) {
        const int pos = Position();
        if (m_abState == 2 && pos >= m_pointB - 200)
            Seek(m_pointA);
        if (m_segmentLength > 0 && m_segmentRepeat) {
            const qint64 k = m_segmentAnchor / m_segmentLength;
            if (pos > m_segmentLength * (k + 1) - 200)
                Seek(int(m_segmentLength * k));
        }
        if (m_loop && State() == 0 && Position() >= Duration() - 10)
            Seek(0);
    }
    if (m_onTimer)
        m_onTimer(this);
}

bool HasDefaultAudioOutput()
{
    ChooseMediaBackend();
    return !QMediaDevices::defaultAudioOutput().isNull();
}

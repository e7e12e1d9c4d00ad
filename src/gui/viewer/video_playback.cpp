#include "viewer/video_playback.h"

#include "imagelist/file_kind.h"
#include "shell/qt_text.h"
#include "viewer/video_frame_image.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

#include <cmath>
#include <vector>

namespace qlx::gui {

struct VideoPlayback::Player {
    int entry = -1;
    bool answered = false;
    // Owned by the player object; deleted with it.
    QMediaPlayer* player = nullptr;
    QAudioOutput* audio = nullptr;
    QVideoSink* sink = nullptr;
    QTimer* deadline = nullptr;
};

namespace {

// The planes of a mapped frame as the converter takes them; the formats
// GStreamer's decoders hand for camera clips are converted here, anything
// else by Qt.
QImage convertFrame(const QVideoFrame& source)
{
    QVideoFrame frame(source);
    const QVideoFrameFormat::PixelFormat format = frame.pixelFormat();
    viewer::FramePlanes layout = viewer::FramePlanes::Yuv420;
    std::array<int, 3> order{0, 1, 2};
    switch (format) {
    case QVideoFrameFormat::Format_YUV420P:
        break;
    case QVideoFrameFormat::Format_YV12:
        order = {0, 2, 1};
        break;
    case QVideoFrameFormat::Format_YUV422P:
        layout = viewer::FramePlanes::Yuv422;
        break;
    case QVideoFrameFormat::Format_BGRX8888:
    case QVideoFrameFormat::Format_BGRA8888:
        layout = viewer::FramePlanes::Xrgb32;
        break;
    default:
        return frame.toImage();
    }
    if (!frame.map(QVideoFrame::ReadOnly))
        return {};
    std::vector<viewer::FramePlane> planes;
    const int count = layout == viewer::FramePlanes::Xrgb32 ? 1 : 3;
    for (int i = 0; i < count && order[static_cast<std::size_t>(i)] < frame.planeCount(); ++i) {
        const int plane = order[static_cast<std::size_t>(i)];
        planes.push_back({std::span(reinterpret_cast<const std::byte*>(frame.bits(plane)),
                                    static_cast<std::size_t>(std::max(0, frame.mappedBytes(plane)))),
                          frame.bytesPerLine(plane)});
    }
    QImage image = viewer::frameImage(layout, frame.width(), frame.height(), planes);
    frame.unmap();
    return image;
}

} // namespace

VideoPlayback::VideoPlayback(EntryAt entryAt, QObject* parent) : QObject(parent), m_entryAt(std::move(entryAt)) {}

VideoPlayback::~VideoPlayback()
{
    closeAll();
}

bool VideoPlayback::open(int entryIndex)
{
    imagelist::ImageEntry* entry = m_entryAt(entryIndex);
    if (!entry)
        return false;
    const auto slot = m_slots.reserve(*entry, entryIndex);
    if (!slot)
        return false;
    auto player = std::make_unique<Player>();
    player->entry = entryIndex;
    player->player = new QMediaPlayer(this);
    player->audio = new QAudioOutput(player->player);
    player->sink = new QVideoSink(player->player);
    player->deadline = new QTimer(player->player);
    player->deadline->setSingleShot(true);
    player->player->setAudioOutput(player->audio);
    player->player->setVideoSink(player->sink);
    const int s = *slot;
    QMediaPlayer* media = player->player;
    connect(media, &QMediaPlayer::errorOccurred, this, [this, s] { answer(s, false); });
    connect(media, &QMediaPlayer::mediaStatusChanged, this, [this, s, media](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::InvalidMedia)
            answer(s, false);
        else if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia)
            answer(s, media->hasVideo() || media->hasAudio());
    });
    connect(player->deadline, &QTimer::timeout, this, [this, s] { answer(s, false); });
    connect(player->sink, &QVideoSink::videoFrameChanged, this, [this, s](const QVideoFrame& frame) { onFrame(s, frame); });
    connect(media, &QMediaPlayer::positionChanged, this, [this, s](qint64 milliseconds) {
        if (const Player* p = m_players[static_cast<std::size_t>(s)].get(); p && p->answered)
            Q_EMIT positionChanged(p->entry, static_cast<double>(milliseconds) / 1000.0);
    });
    connect(media, &QMediaPlayer::durationChanged, this, [this, s](qint64 milliseconds) {
        const Player* p = m_players[static_cast<std::size_t>(s)].get();
        imagelist::ImageEntry* e = p ? m_entryAt(p->entry) : nullptr;
        const auto seconds = static_cast<std::int32_t>(milliseconds / 1000);
        if (e && milliseconds >= 0 && e->videoLength() != seconds) {
            e->setVideoLength(seconds);
            Q_EMIT lengthChanged(p->entry);
        }
    });
    player->deadline->start(kOpenDeadline);
    m_players[static_cast<std::size_t>(s)] = std::move(player);
    applyVolume(entryIndex);
    media->setSource(QUrl::fromLocalFile(toQString(entry->path())));
    return true;
}

void VideoPlayback::answer(int slot, bool playable)
{
    Player* p = m_players[static_cast<std::size_t>(slot)].get();
    if (!p)
        return;
    if (p->answered) {
        // An error after a good start: the playback stops where it is.
        if (!playable)
            p->player->stop();
        return;
    }
    p->deadline->stop();
    imagelist::ImageEntry* entry = m_entryAt(p->entry);
    const int entryIndex = p->entry;
    if (!playable || !entry) {
        if (entry)
            m_slots.undo(*entry);
        release(slot);
        Q_EMIT failed(entryIndex);
        return;
    }
    p->answered = true;
    m_slots.confirm(*entry);
    Q_EMIT opened(entryIndex);
    seek(entryIndex);
}

void VideoPlayback::release(int slot)
{
    std::unique_ptr<Player> p = std::move(m_players[static_cast<std::size_t>(slot)]);
    if (!p)
        return;
    // The player may be the sender of the signal being handled.
    p->player->disconnect(this);
    p->sink->disconnect(this);
    p->deadline->disconnect(this);
    p->player->stop();
    p->player->deleteLater();
}

VideoPlayback::Player* VideoPlayback::playerOf(int entryIndex) const
{
    const int slot = m_slots.slotOf(entryIndex);
    Player* p = slot >= 0 ? m_players[static_cast<std::size_t>(slot)].get() : nullptr;
    return p && p->answered ? p : nullptr;
}

void VideoPlayback::seek(int entryIndex)
{
    Player* p = playerOf(entryIndex);
    imagelist::ImageEntry* entry = m_entryAt(entryIndex);
    if (!p || !entry || entry->kind() != imagelist::kKindVideo)
        return;
    const double position = std::max(0.0, entry->videoPosition());
    p->player->setPosition(static_cast<qint64>(std::llround(position * 1000.0)));
    if ((entry->flags() & imagelist::ImageEntry::kFlagPaused) != 0)
        p->player->pause();
    else
        p->player->play();
}

void VideoPlayback::moveTo(int entryIndex)
{
    Player* p = playerOf(entryIndex);
    if (const imagelist::ImageEntry* entry = m_entryAt(entryIndex); p && entry)
        p->player->setPosition(static_cast<qint64>(std::llround(std::max(0.0, entry->videoPosition()) * 1000.0)));
}

void VideoPlayback::readPosition(int entryIndex)
{
    const Player* p = playerOf(entryIndex);
    imagelist::ImageEntry* entry = m_entryAt(entryIndex);
    if (p && entry && entry->kind() == imagelist::kKindVideo)
        entry->setVideoPosition(static_cast<double>(p->player->position()) / 1000.0);
}

void VideoPlayback::run(int entryIndex)
{
    if (Player* p = playerOf(entryIndex))
        p->player->play();
}

void VideoPlayback::pause(int entryIndex)
{
    if (Player* p = playerOf(entryIndex))
        p->player->pause();
}

bool VideoPlayback::isRunning(int entryIndex) const
{
    const Player* p = playerOf(entryIndex);
    return p && p->player->playbackState() == QMediaPlayer::PlayingState;
}

void VideoPlayback::applyVolume(int entryIndex)
{
    const int slot = m_slots.slotOf(entryIndex);
    const Player* p = slot >= 0 ? m_players[static_cast<std::size_t>(slot)].get() : nullptr;
    const imagelist::ImageEntry* entry = m_entryAt(entryIndex);
    if (p && entry)
        p->audio->setVolume(static_cast<float>(viewer::volumeGain(entry->videoVolume())));
}

void VideoPlayback::close(int entryIndex)
{
    const int slot = m_slots.slotOf(entryIndex);
    if (slot < 0)
        return;
    readPosition(entryIndex);
    if (imagelist::ImageEntry* entry = m_entryAt(entryIndex))
        m_slots.close(*entry);
    release(slot);
}

void VideoPlayback::closeAll()
{
    for (const int entry : m_slots.entries())
        close(entry);
    // Entries the list no longer has still held their slots.
    for (int slot = 0; slot < viewer::kVideoSlots; ++slot)
        release(slot);
    m_slots.clear();
}

void VideoPlayback::onFrame(int slot, const QVideoFrame& frame)
{
    const Player* p = m_players[static_cast<std::size_t>(slot)].get();
    if (!p || !frame.isValid())
        return;
    const QImage image = convertFrame(frame);
    if (!image.isNull())
        Q_EMIT frameReady(p->entry, image);
}

} // namespace qlx::gui

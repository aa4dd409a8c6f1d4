#include "playback/gstplayer.h"

#include "playback/playbacklog.h"

#include <QMutexLocker>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoFrameFormat>
#include <QVideoSink>

#include <gst/app/gstappsink.h>
#include <gst/audio/streamvolume.h>
#include <gst/gst.h>

#include <cstring>
#include <memory>
#include <utility>

namespace melodrift {

namespace {

// playbin's GstPlayFlags (not in a public header).
constexpr guint kFlagVideo = 1U << 0;
constexpr guint kFlagAudio = 1U << 1;
constexpr guint kFlagText = 1U << 2;
constexpr guint kFlagVis = 1U << 3;
constexpr guint kFlagSoftVolume = 1U << 4;

constexpr int kPollMs = 100;
constexpr gint64 kServerBufferUs = 50'000;
constexpr gint64 kServerPeriodUs = 20'000;
// A new stream's first reports from the server pass through silence (PipeWire: 0/0, then one
// channel, then both); the program's volume holds through them.
constexpr qint64 kStreamSettleMs = 1500;
// A sound server that went away is asked again at this pace.
constexpr int kOutputRetryMs = 500;

struct MessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
using MessagePtr = std::shared_ptr<GstMessage>;

QByteArray uri(const QString& url)
{
    return QUrl(url, QUrl::TolerantMode).toEncoded();
}

qint64 toMs(gint64 ns)
{
    return ns < 0 ? 0 : ns / GST_MSECOND;
}

bool inside(GstObject* object, GstElement* parent)
{
    return parent != nullptr && object != nullptr &&
           (object == GST_OBJECT(parent) || gst_object_has_as_ancestor(object, GST_OBJECT(parent)));
}

//! The desktop's sink: the sound server's when one answers (it keeps one stream with its own
//! volume), else whatever autoaudiosink finds (ALSA, or a silent sink on a machine without sound).
GstElement* desktopSink(bool* server)
{
    GstElement* pulse = gst_element_factory_make("pulsesink", "audio-out");
    if (pulse != nullptr) {
        const bool answers = gst_element_set_state(pulse, GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
        gst_element_set_state(pulse, GST_STATE_NULL);
        if (answers) {
            // What the server holds of ours, and the pieces it is written in: a stall's pause
            // corks the stream, and a plain pipeline into a null sink, paused three times, was
            // heard 150 ms short at pulsesink's 200 ms, -5 to +8 ms off at 50 ms in its 10 ms
            // pieces, and 1 ms long a pause in 20 ms pieces, every run. Both kept up with both
            // cores busy; work that outranks ours, or a crowd of threads, breaks through, which
            // 500 ms would ride out at 136 ms lost a pause.
            g_object_set(pulse, "buffer-time", kServerBufferUs, "latency-time", kServerPeriodUs, nullptr);
            *server = true;
            return pulse;
        }
        gst_object_unref(pulse);
    }
    *server = false;
    return gst_element_factory_make("autoaudiosink", "audio-out");
}

Failure failureOf(GstMessage* message)
{
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    Failure failure{Failure::Unplayable, 0, QString::fromUtf8(error != nullptr ? error->message : "")};
    const GstStructure* details = nullptr;
    gst_message_parse_error_details(message, &details);
    guint status = 0;
    if (details != nullptr && gst_structure_get_uint(details, "http-status-code", &status) && status >= 400) {
        failure.kind = Failure::HttpStatus;
        failure.status = int(status);
    } else if (error != nullptr && error->domain == GST_RESOURCE_ERROR) {
        if (error->code == GST_RESOURCE_ERROR_NOT_AUTHORIZED)
            failure.kind = Failure::AccessDenied;
        else if (error->code == GST_RESOURCE_ERROR_OPEN_READ || error->code == GST_RESOURCE_ERROR_READ)
            failure.kind = Failure::Unreachable;
    } else if (error != nullptr && (error->domain == GST_STREAM_ERROR || error->domain == GST_CORE_ERROR)) {
        failure.kind = Failure::Unsupported;
    }
    qCInfo(lcPlayback) << "player error:" << failure.detail << (debug != nullptr ? debug : "");
    g_clear_error(&error);
    g_free(debug);
    return failure;
}

//! A video frame as Qt takes it, from a BGRx sample.
QVideoFrame videoFrame(GstSample* sample)
{
    const GstStructure* caps = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
    int width = 0;
    int height = 0;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (!gst_structure_get_int(caps, "width", &width) || !gst_structure_get_int(caps, "height", &height) ||
        buffer == nullptr || width <= 0 || height <= 0)
        return {};
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return {};
    QVideoFrame frame(QVideoFrameFormat(QSize(width, height), QVideoFrameFormat::Format_BGRX8888));
    const qsizetype stride = qsizetype(width) * 4;
    if (map.size >= gsize(stride * height) && frame.map(QVideoFrame::WriteOnly)) {
        for (int y = 0; y < height; ++y)
            std::memcpy(frame.bits(0) + qsizetype(y) * frame.bytesPerLine(0), map.data + y * stride, size_t(stride));
        frame.unmap();
    }
    gst_buffer_unmap(buffer, &map);
    return frame;
}

} // namespace

GstPlayer::GstPlayer(QObject* parent, const QByteArray& audioSink)
    : MediaPlayer(parent), m_audioSinkDescription(audioSink)
{
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &GstPlayer::poll);
    m_watchdog.setSingleShot(true);
    m_watchdog.setInterval(kDefaultStallTimeoutMs);
    connect(&m_watchdog, &QTimer::timeout, this, &GstPlayer::stalled);
    m_outputRetry.setInterval(kOutputRetryMs);
    connect(&m_outputRetry, &QTimer::timeout, this, &GstPlayer::retryOutput);
}

void GstPlayer::makePipeline()
{
    if (m_pipeline != nullptr)
        return;
    gst_init(nullptr, nullptr);
    m_pipeline = gst_element_factory_make("playbin", "player");
    Q_ASSERT(m_pipeline != nullptr);
    gst_object_ref_sink(m_pipeline);
    if (m_audioSinkDescription.isEmpty()) {
        m_audioSink = desktopSink(&m_serverSink);
    } else {
        GError* error = nullptr;
        m_audioSink = gst_parse_bin_from_description(m_audioSinkDescription.constData(), TRUE, &error);
        if (error != nullptr) {
            qCWarning(lcPlayback) << "audio sink:" << error->message;
            g_clear_error(&error);
        }
    }
    guint flags = 0;
    g_object_get(m_pipeline, "flags", &flags, nullptr);
    flags &= ~(kFlagVideo | kFlagText | kFlagVis);
    flags |= kFlagAudio;
    // The server's sink holds the volume itself: one stream volume, the one its mixer shows.
    if (m_serverSink)
        flags &= ~kFlagSoftVolume;
    else
        flags |= kFlagSoftVolume;
    g_object_set(m_pipeline, "flags", flags, "audio-sink", m_audioSink, nullptr);
    qCInfo(lcPlayback) << "audio to" << GST_OBJECT_NAME(m_audioSink) << (m_serverSink ? "(the sound server's)" : "");

    g_signal_connect(m_pipeline, "about-to-finish", G_CALLBACK(&GstPlayer::aboutToFinish), this);
    auto mixer = +[](GObject*, GParamSpec*, gpointer self) {
        QMetaObject::invokeMethod(static_cast<GstPlayer*>(self), &GstPlayer::mixerChanged, Qt::QueuedConnection);
    };
    // The server's sink is asked directly: through playbin each set and read takes playsink's
    // lock, held while it builds its chains (the window froze in such a set on PulseAudio).
    m_volumeOwner = m_serverSink ? m_audioSink : m_pipeline;
    g_signal_connect(m_volumeOwner, "notify::volume", G_CALLBACK(mixer), this);
    g_signal_connect(m_volumeOwner, "notify::mute", G_CALLBACK(mixer), this);

    // Messages reach the window's thread as queued calls: no GLib main loop is assumed.
    GstBus* bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(
        bus,
        +[](GstBus*, GstMessage* message, gpointer data) {
            auto* self = static_cast<GstPlayer*>(data);
            const quint64 generation = self->m_generation.load();
            if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_STREAM_START)
                self->silenceIfNotChosen();
            MessagePtr held(message, MessageUnref());
            QMetaObject::invokeMethod(
                self, [self, held, generation] { self->handle(held.get(), generation); }, Qt::QueuedConnection);
            return GST_BUS_DROP;
        },
        this, nullptr);
    gst_object_unref(bus);
    applyVolume();
    if (m_videoSink)
        showVideo();
}

GstPlayer::~GstPlayer()
{
    if (m_pipeline == nullptr)
        return;
    GstBus* bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    g_signal_handlers_disconnect_by_data(m_volumeOwner, this);
    g_signal_handlers_disconnect_by_data(m_pipeline, this);
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    gst_object_unref(m_pipeline);
}

void GstPlayer::aboutToFinish(GstElement* playbin, void* self)
{
    auto* player = static_cast<GstPlayer*>(self);
    QMutexLocker lock(&player->m_queueLock);
    // Taken: the next song's own next is told once it starts.
    if (!player->m_nextTold || player->m_nextUrl.isEmpty() || !player->m_queuedUrl.isEmpty())
        return;
    player->m_nextTold = false;
    player->m_queuedUrl = std::exchange(player->m_nextUrl, QString());
    g_object_set(playbin, "uri", uri(player->m_queuedUrl).constData(), nullptr);
}

void GstPlayer::silenceIfNotChosen()
{
    // The queued song sounds from here on, but the end's choice changed after it was queued: it
    // stays silent until the window's thread, a moment later, loads what was chosen.
    QMutexLocker lock(&m_queueLock);
    if (!m_queuedUrl.isEmpty() && m_nextTold && m_nextUrl != m_queuedUrl)
        gst_stream_volume_set_mute(GST_STREAM_VOLUME(m_volumeOwner), TRUE);
}

void GstPlayer::setNextURL(const QString& url)
{
    QMutexLocker lock(&m_queueLock);
    m_nextUrl = url;
    m_nextTold = true;
}

void GstPlayer::setState(PlayState state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT PlayStateChange(state);
}

void GstPlayer::setStatus(PlayerStatus::Kind kind, const Failure& failure)
{
    const PlayerStatus status{kind, failure};
    if (status == m_status)
        return;
    m_status = status;
    Q_EMIT StatusChange();
}

void GstPlayer::go()
{
    const bool hold = !m_prerolled || m_phase == Phase::Paused || m_resumeAt >= 0 || m_buffering < 100;
    const GstState target = hold ? GST_STATE_PAUSED : GST_STATE_PLAYING;
    // PLAYING only once prerolled, and each change asked once: asked to play during its preroll,
    // then to pause by the first buffering message, playbin was seen (a load in a few, both cores
    // busy) to stay in PAUSED with PLAYING pending for good.
    GST_OBJECT_LOCK(m_pipeline);
    const bool asked = GST_STATE_TARGET(m_pipeline) == target;
    GST_OBJECT_UNLOCK(m_pipeline);
    if (!asked)
        gst_element_set_state(m_pipeline, target);
}

void GstPlayer::unload()
{
    m_outputRetry.stop();
    m_watchdog.stop();
    if (m_pipeline != nullptr)
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
    // Every message of what was loaded is now behind this.
    ++m_generation;
    m_streamStarted = false;
    QMutexLocker lock(&m_queueLock);
    // A queued song that never started is still the answer, unless another was told since.
    if (!m_queuedUrl.isEmpty() && !m_nextTold) {
        m_nextUrl = m_queuedUrl;
        m_nextTold = true;
    }
    m_queuedUrl.clear();
}

void GstPlayer::clearSong()
{
    m_switchedUrl.clear();
    m_resumeAt = -1;
    if (std::exchange(m_position, 0) != 0)
        Q_EMIT positionChanged(0);
    if (std::exchange(m_duration, 0) != 0)
        Q_EMIT durationChanged(0);
    if (!std::exchange(m_mediaTitle, QString()).isEmpty())
        Q_EMIT mediaTitleChanged({});
    if (std::exchange(m_hasVideo, false))
        Q_EMIT hasVideoChanged(false);
}

void GstPlayer::loadFrom(qint64 ms, PlayerStatus::Kind status)
{
    qCInfo(lcPlayback) << "load" << m_url << "from" << ms << "ms";
    makePipeline();
    unload();
    m_buffering = 100;
    m_prerolled = false;
    m_resumeAt = ms > 0 ? ms : -1;
    m_seekingTo = -1;
    g_object_set(m_pipeline, "uri", uri(m_url).constData(), nullptr);
    applyVolume();
    m_phase = Phase::Loading;
    m_streamAge.start();
    setStatus(status);
    setState(Transitioning);
    m_watchdog.start();
    m_poll.start();
    go();
}

void GstPlayer::setURL(const QString& url)
{
    if (!m_switchedUrl.isEmpty() && url == m_switchedUrl) {
        // The end's handler goes on with the song already playing from the queue.
        qCInfo(lcPlayback) << "go on with the queued" << url;
        m_url = std::exchange(m_switchedUrl, QString());
        m_restartUsed = false;
        m_restartedAt = 0;
        applyVolume();
        setState(Transitioning);
        setPlaying();
        return;
    }
    m_url = url;
    clearSong();
    m_restartUsed = false;
    m_restartedAt = 0;
    loadFrom(0, PlayerStatus::Connecting);
}

void GstPlayer::play()
{
    if (m_url.isEmpty())
        return;
    if (m_phase == Phase::Paused) {
        m_phase = Phase::Playing;
        if (m_buffering < 100) {
            setState(Buffering);
            setStatus(PlayerStatus::Buffering);
        }
        m_watchdog.start();
        go();
        return;
    }
    if (m_phase != Phase::Idle)
        return;
    // Stopped, ended or failed: from the start.
    setURL(m_url);
}

void GstPlayer::pause()
{
    if (m_phase != Phase::Playing && m_phase != Phase::Loading)
        return;
    m_phase = Phase::Paused;
    go();
    setState(Paused);
    setStatus(PlayerStatus::Paused);
}

void GstPlayer::stop()
{
    clearSong();
    settle(Stopped, PlayerStatus::Stopped);
}

qint64 GstPlayer::position() const
{
    return m_resumeAt >= 0 ? m_resumeAt : m_position;
}

void GstPlayer::setPosition(qint64 ms)
{
    if (m_phase == Phase::Idle || m_phase == Phase::OutputLost)
        return;
    if (m_resumeAt >= 0 || m_phase == Phase::Loading) {
        m_resumeAt = ms; // the load goes there once it can
        return;
    }
    gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                            ms * GST_MSECOND);
}

void GstPlayer::applyVolume()
{
    if (m_volumeOwner == nullptr)
        return; // the pipeline takes it when it is made
    gst_stream_volume_set_volume(GST_STREAM_VOLUME(m_volumeOwner), GST_STREAM_VOLUME_FORMAT_CUBIC, m_volume);
    gst_stream_volume_set_mute(GST_STREAM_VOLUME(m_volumeOwner), m_muted ? TRUE : FALSE);
}

void GstPlayer::setVolume(double volume)
{
    volume = qBound(0.0, volume, 1.0);
    if (volume == m_volume)
        return;
    m_volume = volume;
    applyVolume();
    Q_EMIT volumeChanged(volume);
}

void GstPlayer::setMuted(bool muted)
{
    if (muted == m_muted)
        return;
    m_muted = muted;
    applyVolume();
    Q_EMIT mutedChanged(muted);
}

void GstPlayer::mixerChanged()
{
    if (!m_serverSink)
        return;
    const double volume =
        gst_stream_volume_get_volume(GST_STREAM_VOLUME(m_volumeOwner), GST_STREAM_VOLUME_FORMAT_CUBIC);
    const bool muted = gst_stream_volume_get_mute(GST_STREAM_VOLUME(m_volumeOwner)) != FALSE;
    if (qAbs(volume - m_volume) < 0.005 && muted == m_muted)
        return;
    if (volume < 0.005 && (!m_streamAge.isValid() || m_streamAge.elapsed() < kStreamSettleMs)) {
        applyVolume(); // a new stream's passing silence (PipeWire's 0/0), not the person's
        return;
    }
    qCInfo(lcPlayback) << "the mixer set the volume to" << volume << (muted ? "muted" : "");
    if (qAbs(volume - m_volume) >= 0.005) {
        m_volume = volume;
        Q_EMIT volumeChanged(volume);
    }
    if (muted != m_muted) {
        m_muted = muted;
        Q_EMIT mutedChanged(muted);
    }
}

void GstPlayer::setVideoSink(QVideoSink* sink)
{
    m_videoSink = sink;
    if (sink != nullptr && m_pipeline != nullptr)
        showVideo();
}

void GstPlayer::showVideo()
{
    guint flags = 0;
    g_object_get(m_pipeline, "flags", &flags, nullptr);
    if ((flags & kFlagVideo) != 0)
        return;
    GError* error = nullptr;
    GstElement* bin = gst_parse_bin_from_description(
        "videoconvert ! video/x-raw,format=BGRx ! appsink name=frames max-buffers=2 drop=true", TRUE, &error);
    if (error != nullptr) {
        qCWarning(lcPlayback) << "video:" << error->message;
        g_clear_error(&error);
        if (bin != nullptr)
            gst_object_unref(bin);
        return;
    }
    GstElement* frames = gst_bin_get_by_name(GST_BIN(bin), "frames");
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = +[](GstAppSink* appsink, gpointer data) {
        auto* self = static_cast<GstPlayer*>(data);
        GstSample* sample = gst_app_sink_pull_sample(appsink);
        if (sample == nullptr)
            return GST_FLOW_OK;
        QVideoFrame frame = videoFrame(sample);
        gst_sample_unref(sample);
        QMetaObject::invokeMethod(
            self,
            [self, frame] {
                if (self->m_videoSink)
                    self->m_videoSink->setVideoFrame(frame);
            },
            Qt::QueuedConnection);
        return GST_FLOW_OK;
    };
    gst_app_sink_set_callbacks(GST_APP_SINK(frames), &callbacks, this, nullptr);
    gst_object_unref(frames);
    g_object_set(m_pipeline, "video-sink", bin, "flags", flags | kFlagVideo, nullptr);
}

void GstPlayer::handle(GstMessage* message, quint64 generation)
{
    if (generation != m_generation.load())
        return;
    // Any word from the load but a failure is progress; a stalled one says nothing.
    if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_ERROR && GST_MESSAGE_TYPE(message) != GST_MESSAGE_BUFFERING &&
        m_watchdog.isActive())
        m_watchdog.start();
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_STREAM_START:
        onStreamStart();
        break;
    case GST_MESSAGE_EOS:
        onEnd();
        break;
    case GST_MESSAGE_ERROR:
        onError(message);
        break;
    case GST_MESSAGE_BUFFERING: {
        gint percent = 100;
        gst_message_parse_buffering(message, &percent);
        // playbin holds a queued song's messages until the change. Before it (a song is queued
        // once the playing one is wholly read) what is below 100 % is the queued song's, told with
        // the playing song's last moments still in the sink; after it, what they say may be long
        // past: the pipeline's own answer is now.
        {
            QMutexLocker lock(&m_queueLock);
            if (!m_queuedUrl.isEmpty())
                percent = 100;
        }
        GstQuery* query = gst_query_new_buffering(GST_FORMAT_TIME);
        gboolean busy = TRUE;
        if (percent < 100 && gst_element_query(m_pipeline, query)) {
            gst_query_parse_buffering_percent(query, &busy, nullptr);
            if (busy == FALSE)
                percent = 100;
        }
        gst_query_unref(query);
        onBuffering(percent);
        break;
    }
    case GST_MESSAGE_ASYNC_DONE:
        onStateReached();
        break;
    case GST_MESSAGE_STATE_CHANGED:
        if (GST_MESSAGE_SRC(message) == GST_OBJECT(m_pipeline)) {
            GstState state = GST_STATE_NULL;
            gst_message_parse_state_changed(message, nullptr, &state, nullptr);
            if (state == GST_STATE_PLAYING && m_phase != Phase::Paused)
                setPlaying();
        }
        break;
    case GST_MESSAGE_TAG:
        readTitle();
        break;
    case GST_MESSAGE_DURATION_CHANGED:
        poll();
        break;
    default:
        break;
    }
}

void GstPlayer::setPlaying()
{
    if (m_phase == Phase::Idle || m_phase == Phase::Paused || m_phase == Phase::OutputLost)
        return;
    GstState state = GST_STATE_NULL;
    gst_element_get_state(m_pipeline, &state, nullptr, 0);
    if (state != GST_STATE_PLAYING || m_resumeAt >= 0)
        return;
    m_phase = Phase::Playing;
    setState(Playing);
    setStatus(PlayerStatus::Playing);
    m_watchdog.start();
    poll();
}

void GstPlayer::onStreamStart()
{
    m_streamAge.start();
    // A load's own first stream may be told after its end was already queued.
    QString queued;
    if (std::exchange(m_streamStarted, true)) {
        QMutexLocker lock(&m_queueLock);
        queued = std::exchange(m_queuedUrl, QString());
    }
    if (queued.isEmpty()) {
        readTitle();
        readVideo();
        return;
    }
    // The queued song sounds now: the one before it has ended.
    qCInfo(lcPlayback) << "the queued song starts" << queued;
    clearSong();
    m_switchedUrl = queued;
    const quint64 generation = m_generation.load();
    setState(MediaEnded);
    if (generation != m_generation.load() || m_switchedUrl.isEmpty())
        return; // the handler gave an address
    // The end chose nothing: the queued song does not play.
    m_switchedUrl.clear();
    settle(Stopped, PlayerStatus::Ended);
}

void GstPlayer::onEnd()
{
    if (m_phase == Phase::Idle)
        return;
    qCInfo(lcPlayback) << "end of" << m_url;
    const quint64 generation = m_generation.load();
    if (std::exchange(m_position, 0) != 0)
        Q_EMIT positionChanged(0);
    setState(MediaEnded);
    if (generation != m_generation.load())
        return; // a handler gave a new address
    settle(Stopped, PlayerStatus::Ended);
}

void GstPlayer::onError(GstMessage* message)
{
    if (m_phase == Phase::Idle)
        return;
    if (inside(GST_MESSAGE_SRC(message), m_audioSink)) {
        // The sound server went away: wait for it, then go on where the song stood.
        qCInfo(lcPlayback) << "sound output lost:" << failureOf(message).detail << "at" << position() << "ms";
        if (m_phase != Phase::OutputLost) {
            m_resumeAt = position() > 0 ? position() : -1;
            m_phase = Phase::OutputLost;
            m_outputLostFor.start();
        }
        m_watchdog.stop();
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
        ++m_generation;
        setState(Transitioning);
        setStatus(PlayerStatus::Reconnecting);
        m_outputRetry.start();
        return;
    }
    fail(failureOf(message));
}

void GstPlayer::fail(const Failure& failure)
{
    settle(Ready, PlayerStatus::Failed, failure);
}

void GstPlayer::settle(PlayState state, PlayerStatus::Kind status, const Failure& failure)
{
    unload();
    m_phase = Phase::Idle;
    m_poll.stop();
    setState(state);
    setStatus(status, failure);
}

void GstPlayer::retryOutput()
{
    if (m_phase != Phase::OutputLost) {
        m_outputRetry.stop();
        return;
    }
    if (gst_element_set_state(m_pipeline, GST_STATE_READY) != GST_STATE_CHANGE_SUCCESS) {
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
        if (m_outputLostFor.elapsed() > kOutputWaitMs) {
            fail({Failure::SoundOutput, 0, {}});
        }
        return;
    }
    m_outputRetry.stop();
    ++m_restarts;
    qCInfo(lcPlayback) << "sound output back: on from" << m_resumeAt << "ms";
    const qint64 at = m_resumeAt;
    m_phase = Phase::Loading;
    loadFrom(at, PlayerStatus::Reconnecting);
}

void GstPlayer::onBuffering(int percent)
{
    if (percent != m_buffering && m_watchdog.isActive())
        m_watchdog.start();
    const bool wasFull = m_buffering >= 100;
    m_buffering = percent;
    if (m_phase == Phase::Playing && percent < 100 && wasFull) {
        qCInfo(lcPlayback) << "buffering at" << position() << "ms";
        setState(Buffering);
        if (m_status.kind != PlayerStatus::Reconnecting)
            setStatus(PlayerStatus::Buffering);
    }
    if (m_phase == Phase::Loading || m_phase == Phase::Playing)
        go();
}

void GstPlayer::onStateReached()
{
    m_prerolled = true;
    if (m_phase == Phase::Idle || m_phase == Phase::OutputLost)
        return;
    // The resume point is what the view shows until the seek there lands: asked before, playbin
    // answers with the preroll's position, and the bar went back to 0 for a moment. A load paused
    // meanwhile goes there too, or ▶ would find it holding for a seek never asked.
    if (m_resumeAt >= 0 && m_resumeAt != m_seekingTo) {
        if (gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME,
                                    GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                    m_resumeAt * GST_MSECOND)) {
            m_seekingTo = m_resumeAt;
            return; // the seek ends in another ASYNC_DONE
        }
        qCInfo(lcPlayback) << "cannot go to" << m_resumeAt << "ms: on from the start";
    }
    m_resumeAt = -1;
    m_seekingTo = -1;
    if (m_phase == Phase::Paused)
        return;
    readVideo();
    poll();
    go();
    setPlaying();
}

void GstPlayer::poll()
{
    if (m_phase == Phase::Idle || m_phase == Phase::OutputLost)
        return;
    gint64 ns = 0;
    // After a gapless change playbin may ask the stream before: then the one playing is asked.
    const auto query = [this](auto pipelineQuery, auto padQuery, gint64* value) {
        if (pipelineQuery(m_pipeline, GST_FORMAT_TIME, value))
            return true;
        GstPad* pad = nullptr;
        g_signal_emit_by_name(m_pipeline, "get-audio-pad", 0, &pad);
        const bool known = pad != nullptr && padQuery(pad, GST_FORMAT_TIME, value);
        if (pad != nullptr)
            gst_object_unref(pad);
        return known;
    };
    if (query(gst_element_query_duration, gst_pad_peer_query_duration, &ns) && toMs(ns) != m_duration) {
        m_duration = toMs(ns);
        Q_EMIT durationChanged(m_duration);
    }
    // Bytes arriving are progress: a busy machine may play nothing for a while over a link that
    // is not stalled at all.
    GstElement* source = nullptr;
    g_object_get(m_pipeline, "source", &source, nullptr);
    gint64 bytes = -1;
    if (source != nullptr) {
        gst_element_query_position(source, GST_FORMAT_BYTES, &bytes);
        gst_object_unref(source);
    }
    if (std::exchange(m_sourceBytes, bytes) != bytes && m_watchdog.isActive())
        m_watchdog.start();
    // Before the preroll the pipeline cannot answer and the pad's answer is how far the parser
    // has read, a second ahead of what sounds.
    if (m_resumeAt >= 0 || !m_prerolled || !query(gst_element_query_position, gst_pad_peer_query_position, &ns))
        return;
    const qint64 ms = toMs(ns);
    if (ms == m_position)
        return;
    m_position = ms;
    if (m_watchdog.isActive())
        m_watchdog.start();
    if (m_restartUsed && ms >= m_restartedAt + m_restartRegainMs)
        m_restartUsed = false;
    Q_EMIT positionChanged(ms);
}

void GstPlayer::stalled()
{
    if (m_phase != Phase::Loading && m_phase != Phase::Playing)
        return;
    const qint64 at = position();
    if (m_restartUsed) {
        qCInfo(lcPlayback) << "stalled again at" << at << "ms: the song fails";
        fail({Failure::TimedOut, 0, {}});
        return;
    }
    qCInfo(lcPlayback) << "stalled at" << at << "ms: loading anew";
    m_restartUsed = true;
    m_restartedAt = at;
    ++m_restarts;
    loadFrom(at, PlayerStatus::Reconnecting);
}

void GstPlayer::readTitle()
{
    GstTagList* tags = nullptr;
    g_signal_emit_by_name(m_pipeline, "get-audio-tags", 0, &tags);
    QString title;
    if (tags != nullptr) {
        gchar* text = nullptr;
        if (gst_tag_list_get_string(tags, GST_TAG_TITLE, &text))
            title = QString::fromUtf8(text);
        g_free(text);
        gst_tag_list_unref(tags);
    }
    if (title == m_mediaTitle)
        return;
    m_mediaTitle = title;
    Q_EMIT mediaTitleChanged(title);
}

void GstPlayer::readVideo()
{
    gint videos = 0;
    g_object_get(m_pipeline, "n-video", &videos, nullptr);
    const bool video = videos > 0 && m_videoSink;
    if (video != m_hasVideo) {
        m_hasVideo = video;
        Q_EMIT hasVideoChanged(video);
    }
}

} // namespace melodrift

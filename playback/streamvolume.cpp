#include "playback/streamvolume.h"

#include "playback/playbacklog.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/glib-mainloop.h>
#include <pulse/introspect.h>
#include <pulse/subscribe.h>
#include <pulse/volume.h>

#include <cmath>
#include <unistd.h>

namespace melodrift {

namespace {

pa_volume_t toServer(double volume)
{
    return pa_volume_t(std::lround(volume * PA_VOLUME_NORM));
}

double fromServer(pa_volume_t volume)
{
    return double(volume) / PA_VOLUME_NORM;
}

} // namespace

//! The server's calls into a StreamVolume, on the event loop's thread.
struct ServerCallbacks {
    static void onState(pa_context* context, void* self);
    static void onEvent(pa_context* context, pa_subscription_event_type_t event, uint32_t index, void* self);
    static void onInfo(pa_context* context, const pa_sink_input_info* info, int eol, void* self);
};

StreamVolume::StreamVolume(QObject* parent) : QObject(parent)
{
    // The glib main loop is the one Qt's event loop runs on this platform.
    m_loop = pa_glib_mainloop_new(nullptr);
    m_context = pa_context_new(pa_glib_mainloop_get_api(m_loop), "melodrift volume");
    if (!m_context)
        return;
    pa_context_set_state_callback(m_context, &ServerCallbacks::onState, this);
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        qCInfo(lcPlayback) << "no sound server:" << pa_strerror(pa_context_errno(m_context));
}

StreamVolume::~StreamVolume()
{
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    pa_glib_mainloop_free(m_loop);
}

void ServerCallbacks::onState(pa_context* context, void* self)
{
    auto* me = static_cast<StreamVolume*>(self);
    if (pa_context_get_state(context) != PA_CONTEXT_READY)
        return;
    qCInfo(lcPlayback) << "sound server's stream volume in use";
    me->m_connected = true;
    pa_context_set_subscribe_callback(context, &ServerCallbacks::onEvent, self);
    pa_operation_unref(pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SINK_INPUT, nullptr, nullptr));
    pa_operation_unref(pa_context_get_sink_input_info_list(context, &ServerCallbacks::onInfo, self));
    Q_EMIT me->connected();
}

void ServerCallbacks::onEvent(pa_context* context, pa_subscription_event_type_t event, uint32_t index, void* self)
{
    auto* me = static_cast<StreamVolume*>(self);
    if ((event & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_REMOVE) {
        me->m_streams.remove(index);
        return;
    }
    pa_operation_unref(pa_context_get_sink_input_info(context, index, &ServerCallbacks::onInfo, self));
}

void ServerCallbacks::onInfo(pa_context*, const pa_sink_input_info* info, int eol, void* self)
{
    if (eol == 0 && info)
        static_cast<StreamVolume*>(self)->streamSeen(*info);
}

void StreamVolume::streamSeen(const pa_sink_input_info& info)
{
    const char* pid = pa_proplist_gets(info.proplist, PA_PROP_APPLICATION_PROCESS_ID);
    if (!pid || QByteArray(pid) != QByteArray::number(qint64(::getpid())))
        return;
    if (!m_streams.contains(info.index)) {
        // A new song's stream: it takes the program's volume.
        m_streams.insert(info.index);
        apply(info.index);
        return;
    }
    const double volume = fromServer(pa_cvolume_avg(&info.volume));
    if (std::abs(volume - m_volume) * PA_VOLUME_NORM > 1.0) {
        m_volume = volume;
        for (unsigned other : std::as_const(m_streams)) {
            if (other != info.index)
                apply(other);
        }
        Q_EMIT volumeChanged(volume);
    }
    if (bool(info.mute) != m_muted) {
        m_muted = info.mute;
        Q_EMIT mutedChanged(m_muted);
    }
}

void StreamVolume::apply(unsigned index)
{
    pa_cvolume volume;
    pa_cvolume_set(&volume, 1, toServer(m_volume));
    // One channel's volume applies to them all.
    pa_operation_unref(pa_context_set_sink_input_volume(m_context, index, &volume, nullptr, nullptr));
    pa_operation_unref(pa_context_set_sink_input_mute(m_context, index, m_muted, nullptr, nullptr));
}

void StreamVolume::setVolume(double volume)
{
    m_volume = volume;
    for (unsigned index : std::as_const(m_streams))
        apply(index);
}

void StreamVolume::setMuted(bool muted)
{
    m_muted = muted;
    for (unsigned index : std::as_const(m_streams))
        apply(index);
}

} // namespace melodrift

// GStreamer stands alone in this file: glib.h defines names that clash with Qt's keywords.
#include "site/mp3tone.h"

#include <gst/gst.h>

#include <cstring>

namespace melodrift::site {

namespace {

void appendBuffer(GstElement*, GstBuffer* buffer, GstPad*, gpointer bytes)
{
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        static_cast<QByteArray*>(bytes)->append(reinterpret_cast<const char*>(map.data), qsizetype(map.size));
        gst_buffer_unmap(buffer, &map);
    }
}

//! 16 kHz mono, 32 kbit/s: small files that every MP3 parser takes.
QByteArray encodeTone(int milliseconds, double frequency)
{
    gst_init(nullptr, nullptr);
    constexpr int kRate = 16000;
    constexpr int kSamplesPerBuffer = 160;
    const int buffers = qMax(1, milliseconds * kRate / 1000 / kSamplesPerBuffer);
    const QByteArray description =
        "audiotestsrc name=src wave=sine volume=0.3 num-buffers=" + QByteArray::number(buffers) +
        " samplesperbuffer=" + QByteArray::number(kSamplesPerBuffer) + " freq=" + QByteArray::number(frequency) +
        " ! audio/x-raw,format=S16LE,rate=" + QByteArray::number(kRate) +
        ",channels=1 ! lamemp3enc target=bitrate bitrate=32 cbr=true ! fakesink name=out sync=false "
        "signal-handoffs=true";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.constData(), &error);
    if (error != nullptr) {
        g_error_free(error);
        if (pipeline != nullptr)
            gst_object_unref(pipeline);
        return {};
    }
    QByteArray bytes;
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_signal_connect(out, "handoff", G_CALLBACK(appendBuffer), &bytes);
    gst_object_unref(out);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message =
        gst_bus_timed_pop_filtered(bus, GST_CLOCK_TIME_NONE, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message != nullptr && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message != nullptr)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok ? bytes : QByteArray();
}

QByteArray syncSafe(quint32 size)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[3 - i] = char((size >> (7 * i)) & 0x7F);
    return out;
}

QByteArray id3v2Frame(const char* name, const QString& text)
{
    const QByteArray value = '\x03' + text.toUtf8(); // UTF-8
    QByteArray frame(name, 4);
    frame += syncSafe(quint32(value.size())) + QByteArray(2, '\0') + value;
    return frame;
}

QByteArray id3v1Field(const QByteArray& text, int size)
{
    QByteArray field = text.left(size);
    field.append(QByteArray(size - field.size(), '\0'));
    return field;
}

} // namespace

QByteArray mp3Song(int milliseconds, double frequency, const QString& title, const QString& singer,
                   const QByteArray& id)
{
    const QByteArray audio = encodeTone(milliseconds, frequency);
    if (audio.isEmpty())
        return {};
    const QByteArray frames = id3v2Frame("TIT2", title) + id3v2Frame("TPE1", singer) + QByteArray(64, '\0');
    const QByteArray v2 = QByteArray("ID3\x04\x00\x00", 6) + syncSafe(quint32(frames.size())) + frames;
    // ID3v1 holds Latin-1 only: the song's ID stands for its title there.
    const QByteArray v1 = "TAG" + id3v1Field(id, 30) + id3v1Field("Melodrift demo", 30) + id3v1Field({}, 30) + "2026" +
                          id3v1Field({}, 30) + '\x0C';
    return v2 + audio + v1;
}

} // namespace melodrift::site

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

// A tone of `harmonic` whole cycles a frame, `frames` frames long.
QByteArray encodeTone(int harmonic, int frames)
{
    gst_init(nullptr, nullptr);
    constexpr int kRate = 44100;
    constexpr int kSamplesPerFrame = 1152;
    const double frequency = double(kRate) * harmonic / kSamplesPerFrame;
    const QByteArray description =
        "audiotestsrc name=src wave=sine volume=0.3 num-buffers=" + QByteArray::number(frames) +
        " samplesperbuffer=" + QByteArray::number(kSamplesPerFrame) + " freq=" + QByteArray::number(frequency, 'f', 6) +
        " ! audio/x-raw,format=S16LE,rate=" + QByteArray::number(kRate) +
        ",channels=1 ! lamemp3enc target=bitrate bitrate=128 cbr=true ! fakesink name=out sync=false "
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

struct Frame {
    qsizetype offset = 0;
    qsizetype size = 0;
    int mainDataBegin = 0; // bytes the frame borrows from the ones before it
};

// The MPEG-1 Layer III frames of a stream, from its first sync word to the last whole frame.
QList<Frame> splitFrames(const QByteArray& stream)
{
    static constexpr int kBitRates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static constexpr int kSampleRates[4] = {44100, 48000, 32000, 0};
    QList<Frame> frames;
    const auto* b = reinterpret_cast<const unsigned char*>(stream.constData());
    qsizetype at = 0;
    while (at + 6 <= stream.size()) {
        // Sync, MPEG-1, Layer III.
        if (b[at] != 0xFF || (b[at + 1] & 0xFE) != 0xFA) {
            ++at;
            continue;
        }
        const int bitRate = kBitRates[b[at + 2] >> 4];
        const int sampleRate = kSampleRates[(b[at + 2] >> 2) & 3];
        if (bitRate == 0 || sampleRate == 0) {
            ++at;
            continue;
        }
        const qsizetype size = 144 * bitRate * 1000 / sampleRate + ((b[at + 2] >> 1) & 1);
        if (at + size > stream.size())
            break;
        const bool crc = (b[at + 1] & 1) == 0;
        const qsizetype side = at + 4 + (crc ? 2 : 0);
        frames.append({at, size, (b[side] << 1) | (b[side + 1] >> 7)});
        at += size;
    }
    return frames;
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

Mp3Loop mp3Loop(int harmonic)
{
    const QByteArray stream = encodeTone(harmonic, 160);
    const QList<Frame> frames = splitFrames(stream);
    // From a frame past the encoder's start that borrows nothing to the next such frame a second or
    // more later; the stretch ends before it, so a repeat of the stretch follows as that frame would.
    constexpr qsizetype kSkip = 8;
    constexpr qsizetype kMinFrames = 40;
    qsizetype first = -1;
    qsizetype end = -1;
    for (qsizetype i = kSkip; i < frames.size() && end < 0; ++i) {
        if (frames[i].mainDataBegin != 0)
            continue;
        if (first < 0)
            first = i;
        else if (i - first >= kMinFrames)
            end = i;
    }
    if (end < 0) {
        // Every frame borrows: the whole stream, from its first frame, which never can.
        first = 0;
        end = frames.size();
    }
    Mp3Loop loop;
    for (qsizetype i = first; i < end; ++i) {
        loop.frames.append(loop.bytes.size());
        loop.bytes.append(stream.mid(frames[i].offset, frames[i].size));
    }
    return loop;
}

QByteArray lameInfoFrame(const QByteArray& header, quint32 frames, quint32 bytes, int padding)
{
    auto put32 = [](QByteArray& out, quint32 v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(char((v >> shift) & 0xFF));
    };
    QByteArray frame = header.left(4);
    frame[2] = char(frame[2] & ~0x02);  // no padding slot: 417 bytes at 128 kbit/s, 44.1 kHz
    frame.append(QByteArray(17, '\0')); // mono MPEG-1 side information
    frame.append("Info");
    put32(frame, 0x0F); // frames, bytes, table of contents, quality
    put32(frame, frames);
    put32(frame, bytes);
    for (int i = 0; i < 100; ++i) // a constant bit rate: byte position grows with time
        frame.append(char(i * 256 / 100));
    put32(frame, 57); // LAME's quality for -q 3
    frame.append("LAME3.100");
    frame.append(QByteArray(12, '\0')); // revision, low pass, replay gain, flags, bit rate
    const quint32 delayPadding = (quint32(kLameEncoderDelay) << 12) | quint32(padding & 0xFFF);
    frame.append(char(delayPadding >> 16)).append(char(delayPadding >> 8)).append(char(delayPadding));
    frame.append(QByteArray(12, '\0')); // the rest of the tag
    frame.append(QByteArray(417 - frame.size(), '\0'));
    return frame;
}

QByteArray id3v2Tag(const QString& title, const QString& singer)
{
    const QByteArray frames = id3v2Frame("TIT2", title) + id3v2Frame("TPE1", singer) + QByteArray(64, '\0');
    return QByteArray("ID3\x04\x00\x00", 6) + syncSafe(quint32(frames.size())) + frames;
}

QByteArray id3v1Tag(const QByteArray& id)
{
    // ID3v1 holds Latin-1 only: the song's ID stands for its title there.
    return "TAG" + id3v1Field(id, 30) + id3v1Field("Melodrift demo", 30) + id3v1Field({}, 30) + "2026" +
           id3v1Field({}, 30) + '\x0C';
}

} // namespace melodrift::site

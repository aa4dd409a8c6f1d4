#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace melodrift::site {

//! The bit rate of the site's MP3 songs: 128 kbit/s, as music sites serve them.
inline constexpr int kMp3BytesPerSecond = 16000;

//! Whole MP3 frames (44.1 kHz mono, 128 kbit/s CBR, GStreamer's LAME encoder) of a tone that may be
//! repeated end to end for as long as a song lasts: the tone fits whole cycles into every frame and
//! the stretch starts at a frame that takes nothing from the bit reservoir, so a repeat neither
//! clicks nor leaves the decoder short of data. `frames` holds where each frame starts. Empty when
//! the encoder is missing.
struct Mp3Loop {
    QByteArray bytes;
    QList<qsizetype> frames;
};
[[nodiscard]] Mp3Loop mp3Loop(int harmonic);

//! The LAME encoder's delay: samples of silence it puts before the music.
inline constexpr int kLameEncoderDelay = 576;
//! The frame LAME writes first in a CBR file (an "Info" frame with a LAME tag): it says how many
//! `frames` of `bytes` follow and how many samples of them are the encoder's delay and padding,
//! so that a player plays `frames` × 1152 − delay − `padding` samples and nothing else.
//! `header` is the first four bytes of one of the file's frames.
[[nodiscard]] QByteArray lameInfoFrame(const QByteArray& header, quint32 frames, quint32 bytes, int padding);

//! The tags a music site's MP3 carries: ID3v2 with the title and the singer in front, ID3v1 at the end.
[[nodiscard]] QByteArray id3v2Tag(const QString& title, const QString& singer);
[[nodiscard]] QByteArray id3v1Tag(const QByteArray& id);

} // namespace melodrift::site

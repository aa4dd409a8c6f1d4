#pragma once

#include <QByteArray>
#include <QString>

namespace melodrift::site {

//! An MP3 file as a music site serves it: an ID3v2 tag with the title and the singer, a constant
//! bit-rate stream of a tone (GStreamer's LAME encoder), and an ID3v1 tag at the end. Empty when
//! the encoder is missing.
[[nodiscard]] QByteArray mp3Song(int milliseconds, double frequency, const QString& title, const QString& singer,
                                 const QByteArray& id);

} // namespace melodrift::site

#pragma once

#include <QString>

namespace melodrift {

//! "http://<site host>/mp3.asp?id=<id>", the ID unchanged: the address the player and the
//! browsers are given for a song.
[[nodiscard]] QString SongPageUrl(const QString& id);

//! A title as the list feedback shows it: without its space characters (U+0020 only).
[[nodiscard]] QString DisplayTitle(const QString& title);

} // namespace melodrift

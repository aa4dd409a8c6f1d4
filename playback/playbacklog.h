#pragma once

#include <QLoggingCategory>

namespace melodrift {

//! melodrift.playback, off by default: the player's loads, restarts, stalls and errors, and the stream's volume.
inline Q_LOGGING_CATEGORY(lcPlayback, "melodrift.playback", QtWarningMsg)

} // namespace melodrift

#pragma once

#include <QLoggingCategory>

namespace melodrift {

//! melodrift.playback, off by default: the player's loads, restarts, stalls and errors, and the stream's volume.
Q_DECLARE_LOGGING_CATEGORY(lcPlayback)

} // namespace melodrift

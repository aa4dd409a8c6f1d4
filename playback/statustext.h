#pragma once

#include "playback/mediaplayer.h"

#include <QString>

namespace melodrift {

//! The player's status in the person's words, as the status bar and the player's display say it.
[[nodiscard]] QString playerStatusText(const PlayerStatus& status);

} // namespace melodrift

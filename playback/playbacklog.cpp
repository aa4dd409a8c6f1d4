#include "playback/playbacklog.h"

namespace melodrift {

Q_LOGGING_CATEGORY(lcPlayback, "melodrift.playback", QtWarningMsg)

} // namespace melodrift

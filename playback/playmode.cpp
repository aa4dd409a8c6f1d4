#include "playback/playmode.h"

namespace melodrift {

int NextRow(PlayMode mode, int current, int count, PlayRandom& random)
{
    if (current > count)
        return 1;
    switch (mode) {
    case PlayMode::Single:
        return current;
    case PlayMode::Loop:
        return current == count ? 1 : current + 1;
    case PlayMode::Random:
        break;
    }
    return 1 + static_cast<int>(random.next() * count);
}

} // namespace melodrift

#pragma once

#include <random>

namespace melodrift {

//! The play mode the option buttons choose: single track, loop the list, random.
enum class PlayMode { Single, Loop, Random };

//! Source of the random play mode: uniform numbers in [0, 1), the same sequence in every run.
class PlayRandom {
public:
    [[nodiscard]] double next() { return m_engine() / 4294967296.0; }

private:
    std::mt19937 m_engine{20061207u};
};

//! The row that plays when `current` ends in a list of `count` rows (count >= 1). A row past the
//! end (the list was replaced by a shorter one) gives row 1 in every mode; only Random draws a number.
[[nodiscard]] int NextRow(PlayMode mode, int current, int count, PlayRandom& random);

} // namespace melodrift

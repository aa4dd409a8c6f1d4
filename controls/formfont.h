#pragma once

#include <QFont>

namespace melodrift {

//! The form's font: SimSun 9 pt, or the CJK fonts a Linux desktop has in its place.
[[nodiscard]] QFont formFont();

} // namespace melodrift

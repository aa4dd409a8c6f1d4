#pragma once

#include <Qt>

namespace melodrift {

//! The design's mouse arguments: button 1 left, 2 right, 4 middle; shift 1 shift, 2 ctrl, 4 alt.
[[nodiscard]] int vbButton(Qt::MouseButtons buttons);
[[nodiscard]] int vbShift(Qt::KeyboardModifiers modifiers);

} // namespace melodrift

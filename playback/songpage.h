#pragma once

#include <QString>

namespace melodrift {

//! A title as the list feedback shows it: without its space characters (U+0020 only).
[[nodiscard]] QString DisplayTitle(const QString& title);

} // namespace melodrift

#pragma once

#include <QString>

namespace melodrift {

//! Tooltip markup that shows `text` literally: Qt guesses rich text for tooltips, and texts from
//! web pages must never be taken for markup.
[[nodiscard]] QString plainTextToolTip(const QString& text);

} // namespace melodrift

#pragma once

#include <QString>

namespace melodrift {

//! Percent-encodes a keyword as GBK bytes for the site's query string: "-,./" and digits pass,
//! double-byte characters become two escapes, ASCII letters pass, anything else is one escape.
//! Characters outside the code page become "?" (%3F). Upper-case hex digits, no "+" form.
[[nodiscard]] QString UrlEncodeGb(const QString& keyword);

} // namespace melodrift

#pragma once

#include <QLoggingCategory>

namespace melodrift {

//! melodrift.browser, off by default: browser launches, page loads, downloads.
Q_DECLARE_LOGGING_CATEGORY(lcBrowser)

} // namespace melodrift

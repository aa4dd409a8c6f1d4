#pragma once

#include <QLoggingCategory>

namespace melodrift {

//! melodrift.browser, off by default: browser launches, page loads, downloads.
inline Q_LOGGING_CATEGORY(lcBrowser, "melodrift.browser", QtWarningMsg)

} // namespace melodrift

#pragma once

#include <QLoggingCategory>

namespace melodrift {

//! melodrift.search, off by default: the result pages loaded.
inline Q_LOGGING_CATEGORY(lcSearch, "melodrift.search", QtWarningMsg)

} // namespace melodrift

#pragma once

#include <QLoggingCategory>

namespace melodrift {

//! melodrift.search, off by default: the result pages loaded.
Q_DECLARE_LOGGING_CATEGORY(lcSearch)

} // namespace melodrift

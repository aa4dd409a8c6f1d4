#pragma once

#include <QLoggingCategory>

namespace melodrift {

//! melodrift.net, off by default: the page fetches and what came of them.
inline Q_LOGGING_CATEGORY(lcNet, "melodrift.net", QtWarningMsg)

} // namespace melodrift

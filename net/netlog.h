#pragma once

#include <QLoggingCategory>

namespace melodrift {

//! melodrift.net, off by default: the page fetches and what came of them.
Q_DECLARE_LOGGING_CATEGORY(lcNet)

} // namespace melodrift

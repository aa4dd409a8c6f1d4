#include "search/searchlog.h"

namespace melodrift {

Q_LOGGING_CATEGORY(lcSearch, "melodrift.search", QtWarningMsg)

} // namespace melodrift

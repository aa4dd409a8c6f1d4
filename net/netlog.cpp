#include "net/netlog.h"

namespace melodrift {

Q_LOGGING_CATEGORY(lcNet, "melodrift.net", QtWarningMsg)

} // namespace melodrift

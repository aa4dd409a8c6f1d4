#include "browser/browserlog.h"

namespace melodrift {

Q_LOGGING_CATEGORY(lcBrowser, "melodrift.browser", QtWarningMsg)

} // namespace melodrift

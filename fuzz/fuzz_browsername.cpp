// Default browser: any open command gives a bare name, without folders or quotes.
#include "browser/defaultbrowser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString command = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString name = melodrift::BrowserNameFromCommand(command);
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(u'"'))
        std::abort();
    const QString base = melodrift::FileBaseName(command);
    if (base.contains(u'/') || base.contains(u'\\'))
        std::abort();
    return 0;
}

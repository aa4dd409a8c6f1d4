// Page decoding: any body decodes, by the "auto" rule and as UTF-8, without failing.
#include "net/textcodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QString> automatic = melodrift::DecodePage(body, QStringLiteral("auto"));
    const std::optional<QString> utf8 = melodrift::DecodePage(body, QStringLiteral("UTF-8"));
    if (!automatic || !utf8 || (body.isEmpty() && !automatic->isEmpty()))
        std::abort();
    return 0;
}

// Keyword encoding: any text gives an ASCII query value of pass-through characters and %XX escapes.
#include "net/urlencode.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // UTF-16 code units as they come, lone surrogates included.
    const QString keyword(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
    const QString encoded = melodrift::UrlEncodeGb(keyword);
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char16_t c = encoded[i].unicode();
        if (c == u'%') {
            for (int k = 1; k <= 2; ++k) {
                const char16_t h = i + k < encoded.size() ? encoded[i + k].unicode() : u'\0';
                if (!((h >= u'0' && h <= u'9') || (h >= u'A' && h <= u'F')))
                    std::abort();
            }
            i += 2;
        } else if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' ||
                     c == u',' || c == u'.' || c == u'/')) {
            std::abort();
        }
    }
    return 0;
}

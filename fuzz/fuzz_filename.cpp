// Download names: any Content-Disposition and address give a name that stays in the chosen folder.
#include "browser/filename.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\n');
    const QByteArray header = split < 0 ? input : input.left(split);
    const QUrl url(QString::fromUtf8(split < 0 ? QByteArray() : input.mid(split + 1)));
    for (const QString& name :
         {melodrift::SuggestedFileName(header, url), melodrift::SafeFileName(QString::fromUtf8(input))}) {
        if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name.startsWith(u'.') ||
            name.contains(QStringLiteral("..")) || name.toUtf8().size() > melodrift::kMaxFileNameBytes)
            std::abort();
        for (const QChar c : name) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                std::abort();
        }
    }
    return 0;
}

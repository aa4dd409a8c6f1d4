// Result pages: any page text gives rows whose IDs hold no ">" and whose found texts no quote.
#include "search/resultpage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString page = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<melodrift::SongLink> links = melodrift::ScrapeResultPage(page, QStringLiteral("music.test"));
    for (const melodrift::SongLink& link : links) {
        if (link.song.id.contains(u'>') || link.found.contains(u'"') || link.song.title.contains(QChar(0xE7FF)) ||
            !link.found.contains(u'>'))
            std::abort();
    }
    return 0;
}

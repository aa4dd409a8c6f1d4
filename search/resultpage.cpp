#include "search/resultpage.h"

#include "net/musicsite.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

namespace melodrift {

namespace {

// Qt's substring search sets up tables for every call; link captures are short, so these plain
// loops over the characters are several times faster here.
std::u16string_view view(QStringView text)
{
    return {text.utf16(), size_t(text.size())};
}

bool has(QStringView text, QStringView needle)
{
    return view(text).find(view(needle)) != std::u16string_view::npos;
}

//! Removes every occurrence of `needle` from [first, last), left to right; returns the new end.
char16_t* removeAll(char16_t* first, char16_t* last, std::u16string_view needle)
{
    char16_t* out = first;
    for (char16_t* p = first; p < last;) {
        if (*p == needle[0] && size_t(last - p) >= needle.size() && std::equal(needle.begin(), needle.end(), p)) {
            p += needle.size();
            continue;
        }
        *out++ = *p++;
    }
    return out;
}

void removeAll(QString& text, std::u16string_view needle)
{
    auto* first = reinterpret_cast<char16_t*>(text.data());
    text.truncate(removeAll(first, first + text.size(), needle) - first);
}

//! The first position of `marker` in `text`, or -1. The end marker usually lies past megabytes of
//! results; glibc's memmem crosses them faster than QStringView::indexOf.
qsizetype indexOfMarker(QStringView text, QStringView marker)
{
    const auto* bytes = reinterpret_cast<const char*>(text.utf16());
    const size_t size = size_t(text.size()) * 2;
    const size_t markerSize = size_t(marker.size()) * 2;
    size_t from = 0;
    while (from < size) {
        const void* hit = memmem(bytes + from, size - from, marker.utf16(), markerSize);
        if (hit == nullptr)
            return -1;
        const size_t at = size_t(static_cast<const char*>(hit) - bytes);
        if (at % 2 == 0)
            return qsizetype(at / 2);
        from = at + 1; // a hit across two characters
    }
    return -1;
}

//! `text` with every occurrence of `from` replaced by `to`, left to right.
QString replaceAll(QStringView text, QStringView from, QStringView to)
{
    const std::u16string_view rest = view(text);
    size_t found = rest.find(view(from));
    if (found == std::u16string_view::npos)
        return text.toString();
    QString out;
    out.reserve(text.size() + to.size());
    size_t done = 0;
    while (found != std::u16string_view::npos) {
        out.append(text.sliced(qsizetype(done), qsizetype(found - done)));
        out.append(to);
        done = found + size_t(from.size());
        found = rest.find(view(from), done);
    }
    out.append(text.sliced(qsizetype(done)));
    return out;
}

// The compiled link pattern, shared by every load. PCRE2 is the engine behind QRegularExpression;
// called directly it needs no match object per link, which halves the time of a long page. The
// pattern's letters have no non-ASCII case partners, so 16-bit code units need no UTF mode, and
// pages with lone surrogates are matched as they are.
class LinkPattern {
public:
    LinkPattern()
    {
        const QString pattern = musicsite::songLinkPattern();
        int error = 0;
        PCRE2_SIZE offset = 0;
        m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.utf16()), PCRE2_SIZE(pattern.size()),
                               PCRE2_CASELESS, &error, &offset, nullptr);
        if (m_code != nullptr)
            m_jit = pcre2_jit_compile(m_code, PCRE2_JIT_COMPLETE) == 0;
    }
    ~LinkPattern() { pcre2_code_free(m_code); }
    LinkPattern(const LinkPattern&) = delete;
    LinkPattern& operator=(const LinkPattern&) = delete;

    //! Calls `found` with the first group of every match, left to right, until the text ends or
    //! the engine gives up (its match limit on a pathological page).
    template <typename F> void forEachCapture(QStringView text, F&& found) const
    {
        if (m_code == nullptr)
            return;
        std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data(
            pcre2_match_data_create_from_pattern(m_code, nullptr), &pcre2_match_data_free);
        std::unique_ptr<pcre2_match_context, decltype(&pcre2_match_context_free)> context(
            pcre2_match_context_create(nullptr), &pcre2_match_context_free);
        std::unique_ptr<pcre2_jit_stack, decltype(&pcre2_jit_stack_free)> stack(
            m_jit ? pcre2_jit_stack_create(32 * 1024, 1024 * 1024, nullptr) : nullptr, &pcre2_jit_stack_free);
        if (!data || !context)
            return;
        if (stack)
            pcre2_jit_stack_assign(context.get(), nullptr, stack.get());
        const auto subject = reinterpret_cast<PCRE2_SPTR>(text.utf16());
        const auto length = PCRE2_SIZE(text.size());
        PCRE2_SIZE start = 0;
        while (start <= length) {
            const int rc = m_jit ? pcre2_jit_match(m_code, subject, length, start, 0, data.get(), context.get())
                                 : pcre2_match(m_code, subject, length, start, 0, data.get(), context.get());
            if (rc < 0)
                return;
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
            found(text.sliced(qsizetype(ovector[2]), qsizetype(ovector[3] - ovector[2])));
            // The pattern never matches empty text, so the next search starts after this match.
            start = ovector[1];
        }
    }

private:
    pcre2_code* m_code = nullptr;
    bool m_jit = false;
};

} // namespace

QString NormalizeResultAddress(const QString& address)
{
    QString rest = address;
    rest.remove(musicsite::kScheme.toString());
    return musicsite::kScheme + rest;
}

QStringView CutResultStretch(QStringView page)
{
    QStringView stretch = page;
    const qsizetype start = indexOfMarker(stretch, musicsite::kResultsBegin);
    if (start >= 0)
        stretch = stretch.sliced(start + 1);
    const qsizetype end = indexOfMarker(stretch, musicsite::kResultsEnd);
    if (end >= 0)
        stretch.truncate(end);
    return stretch;
}

QList<SongLink> ScrapeResultPage(const QString& page, const QString& siteHost)
{
    static const LinkPattern pattern;
    const QString playPath = musicsite::playPathPrefix(siteHost);
    const QString songPage = musicsite::songPagePrefix(siteHost);
    static const QString fiveE814(5, QChar(0xE814));

    QList<SongLink> links;
    pattern.forEachCapture(CutResultStretch(page), [&](QStringView group) {
        // A capture that stops at or before the closing quote of its address is no song row.
        if (!has(group, u"\">"))
            return;
        // Remove every "</a><a", then every double quote, then every ".htm", as three passes.
        QString capture = group.toString();
        auto* first = reinterpret_cast<char16_t*>(capture.data());
        char16_t* last = removeAll(first, first + capture.size(), u"</a><a");
        last = removeAll(first, last, u"\"");
        last = removeAll(first, last, u".htm");
        capture.truncate(last - first);
        // The site host's "/play/" becomes the song page address before the text is split at its
        // first ">"; neither text holds a ">", so each side can be replaced on its own.
        const qsizetype gt = capture.indexOf(u'>');
        SongLink link;
        link.song.title = replaceAll(QStringView(capture).mid(gt + 1), playPath, songPage);
        // The ID is what follows the first "=" of the replaced address. The song page address ends
        // in its only "=" ("id="), so that "=" is the first one unless the text before it has one.
        const QStringView address = QStringView(capture).left(gt);
        const qsizetype eq = address.indexOf(u'=');
        const size_t play = view(address).find(view(playPath));
        qsizetype cut = eq >= 0 ? eq + 1 : 0;
        if (play != std::u16string_view::npos && (eq < 0 || size_t(eq) > play))
            cut = qsizetype(play) + playPath.size();
        link.song.id = replaceAll(address.sliced(cut), playPath, songPage);
        link.song.id2 = link.song.id;
        link.found = std::move(capture);
        link.song.title.remove(QChar(0xE7FF));
        removeAll(link.song.title, std::u16string_view(reinterpret_cast<const char16_t*>(fiveE814.utf16()), 5));
        links.append(std::move(link));
    });
    return links;
}

QString NextPageNo(const QString& pageNo)
{
    bool ok = false;
    const double current = pageNo.trimmed().toDouble(&ok);
    return QString::number((ok ? current : 0.0) + 1.0, 'g', 15);
}

} // namespace melodrift

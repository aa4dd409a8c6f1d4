// Page-to-rows work of the result loader, keyword encoding and "auto" page decoding.
// Run: bench/compare_python.sh (also times Python's re on the same page), or
//      QT_QPA_PLATFORM=offscreen build/bench/bench_search [--write-page FILE]
#include "controls/songlistbox.h"
#include "net/musicsite.h"
#include "net/textcodec.h"
#include "net/urlencode.h"
#include "search/resultpage.h"
#include "site/demosite.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace melodrift;

namespace {

template <typename F> double medianMs(int runs, F&& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QString resultPageText(int rows)
{
    QString page = QStringLiteral("<html><head><meta charset=gb2312></head><body><ul>\r\n");
    const QList<site::Song>& songs = site::catalogue();
    for (int i = 0; i < rows; ++i)
        page += site::songLine(i + 1, songs[i % songs.size()], musicsite::siteHost());
    return page + u"</ul><div class=\"soBottom\"></div></body></html>\r\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    for (int rows : {20, 1000, 10000}) {
        const QString page = resultPageText(rows);
        qsizetype found = 0;
        const double scrape = medianMs(21, [&] { found = ScrapeResultPage(page, musicsite::siteHost()).size(); });
        SongListBox list;
        list.resize(457, 321);
        const double toRows = medianMs(21, [&] {
            list.Clear();
            for (const SongLink& link : ScrapeResultPage(page, musicsite::siteHost()))
                list.songs()->append(link.song);
        });
        std::printf("page of %5d rows (%7lld bytes): scrape %7.3f ms, scrape and append %7.3f ms (%lld rows)\n", rows,
                    static_cast<long long>(page.toUtf8().size()), scrape, toRows, static_cast<long long>(found));
        if (rows == 10000 && argc > 2 && QByteArray(argv[1]) == "--write-page") {
            QFile out(QString::fromLocal8Bit(argv[2]));
            if (out.open(QIODevice::WriteOnly))
                out.write(CutResultStretch(page).toUtf8());
        }
    }

    const QStringList keywords = {QStringLiteral("中文歌曲 mp3"), QStringLiteral("Love-Letter"),
                                  QStringLiteral("月光下的爱 C++ 2024")};
    constexpr int kEncodes = 10000;
    const double encode = medianMs(11, [&] {
        for (int i = 0; i < kEncodes; ++i)
            (void)UrlEncodeGb(keywords[i % keywords.size()]);
    });
    std::printf("UrlEncodeGb: %.2f us per keyword (%d keywords)\n", encode * 1000.0 / kEncodes, kEncodes);

    QStringEncoder gbk("GBK");
    QByteArray mebibyte = gbk.encode(resultPageText(7500));
    mebibyte.replace("charset=gb2312", "charset=gb2312");
    mebibyte = mebibyte.leftJustified(1 << 20, ' ', true);
    const double decode = medianMs(11, [&] { (void)DecodePage(mebibyte, QStringLiteral("auto")); });
    std::printf("auto decoding of a 1 MiB GB2312 page: %.2f ms\n", decode);
    return 0;
}

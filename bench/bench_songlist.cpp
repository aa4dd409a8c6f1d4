// Appending 100,000 rows to the song list until the view has laid them out, and painting one
// frame of it.
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_songlist
#include "controls/songlistbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace melodrift;

namespace {
double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    constexpr int kRows = 100'000;
    QStringList titles;
    QStringList ids;
    for (int i = 0; i < kRows; ++i) {
        titles.append(QStringLiteral("月光下的爱 %1").arg(i));
        ids.append(QString::number(100000 + i));
    }
    std::vector<double> appends;
    std::vector<double> frames;
    for (int run = 0; run < 7; ++run) {
        SongListBox list;
        list.resize(457, 321);
        list.show();
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kRows; ++i)
            list.AddItem(titles[i], ids[i], ids[i], 0);
        QCoreApplication::processEvents(); // the view hears of the rows and lays them out
        appends.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (list.songs()->rowCount() != kRows ||
            list.verticalScrollBar()->maximum() != kRows * list.look().itemHeight - list.viewport()->height()) {
            std::fprintf(stderr, "the view has not laid the rows out\n");
            return 1;
        }

        QImage frame(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        list.PlayItem(kRows / 2);
        list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum() / 2);
        timer.restart();
        list.viewport()->render(&frame);
        frames.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("song list: %d appends %.1f ms, one frame %.2f ms (median of %zu runs)\n", kRows, median(appends),
                median(frames), appends.size());
    return 0;
}

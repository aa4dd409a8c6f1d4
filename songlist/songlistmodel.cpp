#include "songlist/songlistmodel.h"

#include <utility>

namespace melodrift {

SongListModel::SongListModel(QObject* parent) : QObject(parent) {}

void SongListModel::clear()
{
    Q_EMIT aboutToClear();
    m_rows.clear();
    m_playedRow = -1;
    m_chosenRow = -1;
    Q_EMIT cleared();
}

void SongListModel::append(SongRow row)
{
    m_rows.push_back(std::move(row));
    Q_EMIT appended(count());
}

const SongRow& SongListModel::at(int row) const
{
    static const SongRow none;
    return isRow(row) ? m_rows[static_cast<size_t>(row - 1)] : none;
}

void SongListModel::setPlayedRow(int row)
{
    const int old = std::exchange(m_playedRow, isRow(row) ? row : -1);
    // Marked again even when unchanged: the list repaints the row in the colour of the moment.
    Q_EMIT playedRowChanged(old, m_playedRow);
}

void SongListModel::setChosenRow(int row)
{
    const int now = isRow(row) ? row : -1;
    if (now == m_chosenRow)
        return;
    const int old = std::exchange(m_chosenRow, now);
    Q_EMIT chosenRowChanged(old, now);
}

} // namespace melodrift

#include "songlist/songlistmodel.h"

#include <utility>

namespace melodrift {

SongListModel::SongListModel(QObject* parent) : QAbstractListModel(parent) {}

int SongListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

QVariant SongListModel::column(const SongRow& song, Column column)
{
    switch (column) {
    case Title:
        return song.title;
    case Id:
        return song.id;
    case ColumnCount:
        break;
    }
    return {};
}

QVariant SongListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row() + 1;
    const SongRow& song = at(row);
    switch (role) {
    case Qt::DisplayRole:
        return song.title;
    case PlayedRole:
        return row == m_playedRow;
    case ChosenRole:
        return row == m_chosenRow;
    default:
        if (role >= FirstColumnRole && role < columnRole(ColumnCount))
            return column(song, Column(role - FirstColumnRole));
        return {};
    }
}

Qt::ItemFlags SongListModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags flags = QAbstractListModel::flags(index);
    return index.isValid() ? flags | Qt::ItemNeverHasChildren : flags;
}

void SongListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_shownRows = 0;
    m_playedRow = -1;
    m_chosenRow = -1;
    endResetModel();
}

void SongListModel::append(SongRow row)
{
    m_rows.push_back(std::move(row));
    if (!std::exchange(m_flushQueued, true))
        QMetaObject::invokeMethod(this, &SongListModel::flush, Qt::QueuedConnection);
}

void SongListModel::flush()
{
    m_flushQueued = false;
    if (m_shownRows == count())
        return;
    beginInsertRows({}, m_shownRows, count() - 1);
    m_shownRows = count();
    endInsertRows();
}

const SongRow& SongListModel::at(int row) const
{
    static const SongRow none;
    return isRow(row) ? m_rows[static_cast<size_t>(row - 1)] : none;
}

void SongListModel::setMark(int& mark, int row, const QList<int>& roles)
{
    flush(); // the row may have come this turn
    const int old = std::exchange(mark, isRow(row) ? row : -1);
    if (old == mark)
        return;
    for (const int changed : {old, mark}) {
        if (isRow(changed))
            Q_EMIT dataChanged(index(changed - 1), index(changed - 1), roles);
    }
}

void SongListModel::setPlayedRow(int row)
{
    setMark(m_playedRow, row, {PlayedRole});
}

void SongListModel::setChosenRow(int row)
{
    setMark(m_chosenRow, row, {ChosenRole});
}

} // namespace melodrift

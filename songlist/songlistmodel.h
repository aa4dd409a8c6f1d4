#pragma once

#include <QAbstractListModel>
#include <QString>

#include <vector>

namespace melodrift {

//! One song of the list, as a result page gives it.
struct SongRow {
    QString title;
    QString id;
    QString id2;
    qint16 state = 0;
};

//! The song list's rows: the songs, the row being played and the row the person chose. One
//! model row per song; what a row shows, left to right, are its columns, each read by its role
//! (`columnRole`): Qt's list accessibility would make a child of every column of every row. The design's calls number
//! rows 1..count() and tolerate rows outside the list everywhere: reads give an empty row, marks mark nothing (-1).
//! Rows appended are told to views once per turn of the event loop (or at `flush()`), so a page
//! of a thousand rows is one insertion for the view and for a screen reader; count() and at()
//! know them at once.
class SongListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Column { Title, Id, ColumnCount };
    enum Role {
        PlayedRole = Qt::UserRole, //!< bool: the row being played
        ChosenRole,                //!< bool: the row the person chose
        FirstColumnRole,           //!< the text of column 0; column c is FirstColumnRole + c
    };
    [[nodiscard]] static constexpr int columnRole(Column column) { return int(FirstColumnRole) + int(column); }

    explicit SongListModel(QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

    void clear();
    void append(SongRow row);
    //! Tells the views of the rows appended since they last heard.
    void flush();
    [[nodiscard]] int count() const { return static_cast<int>(m_rows.size()); }
    [[nodiscard]] bool isRow(int row) const { return row >= 1 && row <= count(); }
    //! The song of a row; an empty one outside the list.
    [[nodiscard]] const SongRow& at(int row) const;

    [[nodiscard]] int playedRow() const { return m_playedRow; }
    void setPlayedRow(int row);
    [[nodiscard]] int chosenRow() const { return m_chosenRow; }
    void setChosenRow(int row);

private:
    [[nodiscard]] static QVariant column(const SongRow& song, Column column);
    void setMark(int& mark, int row, const QList<int>& roles);

    std::vector<SongRow> m_rows;
    int m_shownRows = 0; // the rows the views have been told of
    bool m_flushQueued = false;
    int m_playedRow = -1;
    int m_chosenRow = -1;
};

} // namespace melodrift

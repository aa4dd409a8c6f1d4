#pragma once

#include <QObject>
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

//! The song list without its widget: the rows, numbered 1..count(), the row being played and the
//! row the person chose. Rows outside 1..count() are tolerated everywhere: reads give an empty
//! row, marks mark nothing (-1). The list control draws it; the commands read it.
class SongListModel : public QObject {
    Q_OBJECT
public:
    explicit SongListModel(QObject* parent = nullptr);

    void clear();
    void append(SongRow row);
    [[nodiscard]] int count() const { return static_cast<int>(m_rows.size()); }
    [[nodiscard]] bool isRow(int row) const { return row >= 1 && row <= count(); }
    //! The song of a row; an empty one outside the list.
    [[nodiscard]] const SongRow& at(int row) const;

    [[nodiscard]] int playedRow() const { return m_playedRow; }
    void setPlayedRow(int row);
    [[nodiscard]] int chosenRow() const { return m_chosenRow; }
    void setChosenRow(int row);

Q_SIGNALS:
    //! The rows are still there: whoever made something for them can let it go.
    void aboutToClear();
    void cleared();
    void appended(int row);
    void playedRowChanged(int old, int row);
    void chosenRowChanged(int old, int row);

private:
    std::vector<SongRow> m_rows;
    int m_playedRow = -1;
    int m_chosenRow = -1;
};

} // namespace melodrift

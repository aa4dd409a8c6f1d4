#pragma once

#include "songlist/songlistmodel.h"

#include <QAccessible>
#include <QColor>
#include <QListView>
#include <QString>

namespace melodrift {

class SongRowDelegate;

//! Colours and metrics of the song list; fixed when the list is made.
struct SongListLook {
    QColor backColor{0xFF, 0xFF, 0xFF};
    QColor itemBkColor1{0xFF, 0xFF, 0xFF};
    QColor itemBkColor2{0xEA, 0xF6, 0xFA};
    QColor itemSelBkColor{0x62, 0x94, 0xCC};
    QColor itemNorTextColor{0x4C, 0x61, 0x8F};
    QColor itemSelTextColor{0xFF, 0xFF, 0xFF};
    QColor itemPlyTextColor{0x53, 0xB7, 0x12};
    QColor itemErrTextColor{0xFF, 0x00, 0x00};
    QColor borderColor{0x78, 0xA3, 0xC3};
    int itemHeight = 18;
    int borderWidth = 1;
};

//! The owner-drawn list of songs: a list view of its SongListModel, with the design's calls over
//! it. Rows are numbered 1..ListCount; rows outside are tolerated everywhere: reads give "",
//! marks mark nothing.
//! Mouse events carry the button (1 left, 2 right, 4 middle), the shift state (1 shift, 2 ctrl,
//! 4 alt) and the pointer in viewport pixels, the units HitTest takes; a left or right press
//! chooses the row under it.
//! The keyboard is the view's: the arrows, Page Up/Down, Home, End and typing a title choose a row
//! and raise rowChosen; Enter raises rowActivated (once while held); the Menu key and Shift+F10
//! raise rowMenuRequested at the row's centre. With no rows these keys do nothing.
class SongListBox : public QListView {
    Q_OBJECT
public:
    explicit SongListBox(QWidget* parent = nullptr, const SongListLook& look = {});

    void Clear();
    void AddItem(const QString& title, const QString& id, const QString& id2, qint16 state);
    [[nodiscard]] int ListCount() const { return m_model->count(); }
    [[nodiscard]] QString ItemId(int row) const;
    [[nodiscard]] QString ItemTitle(int row) const;
    //! The row at a point in viewport pixels, or -1 where there is none.
    [[nodiscard]] int HitTest(float x, float y) const;

    //! Marks the row being played (drawn in the play text colour).
    void PlayItem(int row);
    void PlayTextColor(const QColor& color);
    [[nodiscard]] int playedRow() const { return m_model->playedRow(); }
    [[nodiscard]] QColor playedRowTextColor() const;
    [[nodiscard]] int selectedRow() const { return m_model->chosenRow(); }
    //! The rows and marks this list draws; append to it to add rows.
    [[nodiscard]] SongListModel* songs() const { return m_model; }

    //! Tooltip over the rows, always shown as plain text.
    void setToolTipText(const QString& text) { m_toolTipText = text; }
    [[nodiscard]] QString toolTipText() const { return m_toolTipText; }

    [[nodiscard]] const SongListLook& look() const { return m_look; }
    //! Scrolls so that the row is visible.
    void scrollToRow(int row);
    //! The top of a row in viewport pixels (may be outside the viewport).
    [[nodiscard]] int rowTop(int row) const;

Q_SIGNALS:
    void Click(int button, int shift, float x, float y);
    void DblClick(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    void rowChosen(int row);
    void rowActivated(int row);
    //! `at` in viewport pixels, where the menu opens.
    void rowMenuRequested(int row, QPoint at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) override;
    [[nodiscard]] QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                                       const QEvent* event) const override;

private:
    [[nodiscard]] bool isRow(int row) const { return m_model->isRow(row); }
    void selectRow(int row);
    void openMenuAtSelection();
    //! Tells a listening screen reader something of a row.
    void announceRow(int row, QAccessible::Event event);

    SongListLook m_look;
    SongListModel* m_model;
    SongRowDelegate* m_delegate;
    QString m_toolTipText;
    bool m_releaseEndsDoubleClick = false; // that release raises no second Click
};

} // namespace melodrift

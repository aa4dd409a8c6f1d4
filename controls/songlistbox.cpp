#include "controls/songlistbox.h"

#include "controls/formfont.h"
#include "controls/plaintext.h"
#include "controls/vbmouse.h"

#include <QAbstractItemDelegate>
#include <QHelpEvent>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace melodrift {

//! Draws a row in the design's look: the two row colours, the chosen and played colours, the
//! columns side by side and the keyboard's dotted frame.
class SongRowDelegate final : public QAbstractItemDelegate {
public:
    //! How a column is laid out: the title takes the room the others leave; they stand at the
    //! right in their order, each `width` wide, `gap` apart.
    struct ColumnLook {
        int width = 0;
        Qt::Alignment align = Qt::AlignLeft;
        Qt::TextElideMode elide = Qt::ElideRight;
    };

    SongRowDelegate(const SongListLook& look, const QFontMetrics& metrics, QObject* parent)
        : QAbstractItemDelegate(parent), m_look(look), m_playTextColor(look.itemPlyTextColor)
    {
        m_columns[SongListModel::Title] = {0, Qt::AlignLeft, Qt::ElideRight};
        m_columns[SongListModel::Id] = {metrics.horizontalAdvance(QStringLiteral("0000000000")), Qt::AlignRight,
                                        Qt::ElideLeft};
    }

    [[nodiscard]] QColor playTextColor() const { return m_playTextColor; }
    void setPlayTextColor(const QColor& color) { m_playTextColor = color; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect& rect = option.rect;
        const bool chosen = index.data(SongListModel::ChosenRole).toBool();
        QColor text = m_look.itemNorTextColor;
        if (chosen) {
            painter->fillRect(rect, m_look.itemSelBkColor);
            text = m_look.itemSelTextColor;
        } else {
            painter->fillRect(rect, index.row() % 2 == 0 ? m_look.itemBkColor1 : m_look.itemBkColor2);
            if (index.data(SongListModel::PlayedRole).toBool())
                text = m_playTextColor;
        }
        painter->setPen(text);
        painter->setFont(option.font);
        int right = rect.right() + 1 - kGap;
        for (int c = SongListModel::ColumnCount - 1; c >= 0; --c) {
            const ColumnLook& column = m_columns[size_t(c)];
            const int left = c == SongListModel::Title ? rect.left() + kGap : right - column.width;
            const QRect cell(left, rect.top(), right - left, rect.height());
            const QString value = index.data(SongListModel::columnRole(SongListModel::Column(c))).toString();
            painter->drawText(cell, Qt::AlignVCenter | column.align | Qt::TextSingleLine,
                              option.fontMetrics.elidedText(value, column.elide, cell.width()));
            right = left - kGap;
        }
        // The keyboard's place, drawn whatever the style: some show a focus frame only after Tab.
        if (chosen && (option.state & QStyle::State_HasFocus)) {
            painter->setPen(QPen(m_look.itemSelTextColor, 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(rect.adjusted(1, 1, -2, -2));
        }
    }

    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {1, m_look.itemHeight}; // as wide as the view
    }

private:
    static constexpr int kGap = 4;
    const SongListLook& m_look;
    QColor m_playTextColor;
    std::array<ColumnLook, SongListModel::ColumnCount> m_columns;
};

//! What a screen reader reads of a row after its title: its ID, and that it plays when it does.
class SongRowReading final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::AccessibleDescriptionRole)
            return QIdentityProxyModel::data(index, role);
        const QString id = u"ID：" + index.data(SongListModel::columnRole(SongListModel::Id)).toString();
        return index.data(SongListModel::PlayedRole).toBool() ? QString(id + u"，正在播放") : id;
    }
};

SongListBox::SongListBox(QWidget* parent, const SongListLook& look)
    : QListView(parent), m_look(look), m_model(new SongListModel(this))
{
    setFont(formFont());
    m_delegate = new SongRowDelegate(m_look, fontMetrics(), this);
    setItemDelegate(m_delegate);
    auto* reading = new SongRowReading(this);
    reading->setSourceModel(m_model);
    setModel(reading);
    setUniformItemSizes(true);
    setVerticalScrollMode(ScrollPerPixel);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(m_look.borderWidth);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, m_look.borderColor);
    pal.setColor(QPalette::Base, m_look.backColor);
    setPalette(pal);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("歌曲列表"));
}

void SongListBox::Clear()
{
    m_model->clear();
}

void SongListBox::AddItem(const QString& title, const QString& id, const QString& id2, qint16 state)
{
    // Field by field: a column added to SongRow needs nothing here.
    SongRow row;
    row.title = title;
    row.id = id;
    row.id2 = id2;
    row.state = state;
    m_model->append(std::move(row));
}

QString SongListBox::ItemId(int row) const
{
    return m_model->at(row).id;
}

QString SongListBox::ItemTitle(int row) const
{
    return m_model->at(row).title;
}

int SongListBox::HitTest(float x, float y) const
{
    if (!std::isfinite(x) || !std::isfinite(y) || x < 0 || y < 0 || x >= viewport()->width() ||
        y >= viewport()->height())
        return -1;
    const double contentY = double(y) + verticalOffset();
    const double row = std::floor(contentY / m_look.itemHeight) + 1;
    return row <= ListCount() ? static_cast<int>(row) : -1;
}

int SongListBox::rowTop(int row) const
{
    return (row - 1) * m_look.itemHeight - verticalOffset();
}

void SongListBox::PlayItem(int row)
{
    m_model->setPlayedRow(row);
}

void SongListBox::PlayTextColor(const QColor& color)
{
    m_delegate->setPlayTextColor(color);
    if (isRow(playedRow()))
        update(model()->index(playedRow() - 1, 0));
}

QColor SongListBox::playedRowTextColor() const
{
    return m_delegate->playTextColor();
}

void SongListBox::scrollToRow(int row)
{
    if (!isRow(row))
        return;
    m_model->flush();
    scrollTo(model()->index(row - 1, 0));
}

void SongListBox::selectRow(int row)
{
    m_model->flush();
    setCurrentIndex(model()->index(row - 1, 0));
}

QItemSelectionModel::SelectionFlags SongListBox::selectionCommand(const QModelIndex& index, const QEvent*) const
{
    // One chosen row, always selected: no key or modifier unchooses it.
    return index.isValid() ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate;
}

void SongListBox::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    const int old = m_model->chosenRow();
    m_model->setChosenRow(current.row() + 1);
    // Before a row was chosen the focus frame ran round the whole list.
    if (!isRow(old) && hasFocus())
        viewport()->update();
    QListView::currentChanged(current, previous);
}

void SongListBox::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QListView::rowsInserted(parent, start, end);
    // Rows come in batches: lay each out now, so that the scroll bar knows them when they are told.
    executeDelayedItemsLayout();
}

void SongListBox::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    QListView::dataChanged(topLeft, bottomRight, roles);
    if (roles.contains(SongListModel::PlayedRole)) {
        for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
            announceRow(row + 1, QAccessible::DescriptionChanged);
    }
}

void SongListBox::announceRow(int row, QAccessible::Event type)
{
    if (!isRow(row) || !QAccessible::isActive())
        return;
    QAccessibleEvent event(this, type);
    event.setChild(row - 1);
    QAccessible::updateAccessibility(&event);
}

void SongListBox::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    if (hasFocus() && !isRow(selectedRow())) {
        // Before a row is chosen the keyboard's place is the whole list.
        QPainter painter(viewport());
        painter.setPen(QPen(m_look.itemNorTextColor, 1, Qt::DotLine));
        painter.drawRect(viewport()->rect().adjusted(1, 1, -2, -2));
    }
}

void SongListBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A key held down plays once, not at the keyboard's repeat rate.
        if (isRow(selectedRow()) && !event->isAutoRepeat()) {
            scrollToRow(selectedRow());
            Q_EMIT rowActivated(selectedRow());
        }
        event->accept();
        return;
    case Qt::Key_Menu:
        openMenuAtSelection();
        event->accept();
        return;
    case Qt::Key_F10:
        if (event->modifiers() & Qt::ShiftModifier) {
            openMenuAtSelection();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    static constexpr std::array moves{Qt::Key_Up,       Qt::Key_Down, Qt::Key_PageUp,
                                      Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    const bool move = std::find(moves.begin(), moves.end(), event->key()) != moves.end();
    const int before = selectedRow();
    m_model->flush();
    QListView::keyPressEvent(event);
    if (move)
        event->accept(); // with no rows too, as a click on an empty list does nothing
    if (isRow(selectedRow()) && (move || selectedRow() != before))
        Q_EMIT rowChosen(selectedRow());
}

void SongListBox::openMenuAtSelection()
{
    const int row = selectedRow();
    if (!isRow(row))
        return;
    scrollToRow(row);
    Q_EMIT rowMenuRequested(row, visualRect(model()->index(row - 1, 0)).center());
}

void SongListBox::contextMenuEvent(QContextMenuEvent* event)
{
    // The mouse's menu comes with the right button's release; the keyboard's may come this way.
    if (event->reason() == QContextMenuEvent::Keyboard)
        openMenuAtSelection();
    event->accept();
}

void SongListBox::focusInEvent(QFocusEvent* event)
{
    // Not the item view's: it would make the first row current, and the first Down would skip it.
    QAbstractScrollArea::focusInEvent(event); // NOLINT(bugprone-parent-virtual-call)
    viewport()->update();
    announceRow(selectedRow(), QAccessible::Focus);
}

void SongListBox::mousePressEvent(QMouseEvent* event)
{
    // The design's events, not the item view's clicks, drags and rubber bands.
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        const QPointF p = event->position();
        const int row = HitTest(float(p.x()), float(p.y()));
        if (row > 0)
            selectRow(row);
    }
    event->accept();
}

void SongListBox::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    const int shift = vbShift(event->modifiers());
    Q_EMIT MouseUp(vbButton(event->button()), shift, float(p.x()), float(p.y()));
    const bool endsDoubleClick = std::exchange(m_releaseEndsDoubleClick, false);
    if (event->button() == Qt::LeftButton && !endsDoubleClick && viewport()->rect().contains(p.toPoint()))
        Q_EMIT Click(1, shift, float(p.x()), float(p.y()));
}

void SongListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    m_releaseEndsDoubleClick = true;
    Q_EMIT DblClick(vbButton(event->button()), vbShift(event->modifiers()), float(p.x()), float(p.y()));
}

void SongListBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    Q_EMIT MouseMove(vbButton(event->buttons()), vbShift(event->modifiers()), float(p.x()), float(p.y()));
}

bool SongListBox::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (m_toolTipText.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), plainTextToolTip(m_toolTipText), viewport());
        return true;
    }
    return QListView::viewportEvent(event);
}

} // namespace melodrift

#include "controls/songlistbox.h"

#include "controls/formfont.h"
#include "controls/plaintext.h"
#include "controls/songlistaccessible.h"
#include "controls/vbmouse.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <cmath>
#include <utility>

namespace melodrift {

SongListBox::SongListBox(QWidget* parent, const SongListLook& look)
    : QAbstractScrollArea(parent), m_look(look), m_model(new SongListModel(this)),
      m_playTextColor(look.itemPlyTextColor)
{
    connect(m_model, &SongListModel::aboutToClear, this, &SongListBox::announceCleared);
    connect(m_model, &SongListModel::cleared, this, [this] {
        updateScrollRange();
        viewport()->update();
    });
    connect(m_model, &SongListModel::appended, this, &SongListBox::rowAppended);
    connect(m_model, &SongListModel::playedRowChanged, this, &SongListBox::playedRowChanged);
    connect(m_model, &SongListModel::chosenRowChanged, this, &SongListBox::chosenRowChanged);
    // Before anything below asks Qt for the list's accessible object and Qt keeps a plain one.
    installSongListAccessibility();
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(m_look.borderWidth);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, m_look.borderColor);
    pal.setColor(QPalette::Base, m_look.backColor);
    setPalette(pal);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setFont(formFont());
    m_idColumnWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000"));
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

void SongListBox::rowAppended(int row)
{
    // One scroll-bar update per batch of appends, not one per row.
    if (!m_rangeStale) {
        m_rangeStale = true;
        QMetaObject::invokeMethod(this, &SongListBox::syncScrollRange, Qt::QueuedConnection);
    }
    // Only a row that lands inside the viewport needs a repaint.
    const int top = rowTop(row);
    if (top < viewport()->height())
        viewport()->update(0, top, viewport()->width(), m_look.itemHeight);
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
    const double contentY = double(y) + verticalScrollBar()->value();
    const double row = std::floor(contentY / m_look.itemHeight) + 1;
    return row <= ListCount() ? static_cast<int>(row) : -1;
}

void SongListBox::PlayItem(int row)
{
    m_model->setPlayedRow(row);
}

void SongListBox::playedRowChanged(int old, int row)
{
    updateRow(old);
    updateRow(row);
    if (old != row) {
        announceRow(old, QAccessible::DescriptionChanged);
        announceRow(row, QAccessible::DescriptionChanged);
    }
}

void SongListBox::PlayTextColor(const QColor& color)
{
    m_playTextColor = color;
    updateRow(playedRow());
}

int SongListBox::rowTop(int row) const
{
    return (row - 1) * m_look.itemHeight - verticalScrollBar()->value();
}

void SongListBox::scrollToRow(int row)
{
    if (!isRow(row))
        return;
    syncScrollRange();
    const int top = rowTop(row);
    if (top < 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + top);
    else if (top + m_look.itemHeight > viewport()->height())
        verticalScrollBar()->setValue(verticalScrollBar()->value() + top + m_look.itemHeight - viewport()->height());
}

void SongListBox::syncScrollRange()
{
    if (!m_rangeStale)
        return;
    updateScrollRange();
    announceNewRows();
}

void SongListBox::updateScrollRange()
{
    m_rangeStale = false;
    const qint64 content = qint64(ListCount()) * m_look.itemHeight;
    const int maximum = static_cast<int>(qBound<qint64>(0, content - viewport()->height(), qint64(INT_MAX)));
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, maximum);
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(m_look.itemHeight);
}

void SongListBox::updateRow(int row)
{
    if (isRow(row))
        viewport()->update(0, rowTop(row), viewport()->width(), m_look.itemHeight);
}

void SongListBox::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void SongListBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, m_look.backColor);
    const int width = viewport()->width();
    const int h = m_look.itemHeight;
    const int offset = verticalScrollBar()->value();
    const int first = qMax(1, (area.top() + offset) / h + 1);
    const int last = qMin(ListCount(), (area.bottom() + offset) / h + 1);
    const int idLeft = width - m_idColumnWidth - 4;
    for (int row = first; row <= last; ++row) {
        const SongRow& item = m_model->at(row);
        const QRect rect(0, rowTop(row), width, h);
        QColor text = m_look.itemNorTextColor;
        if (row == selectedRow()) {
            painter.fillRect(rect, m_look.itemSelBkColor);
            text = m_look.itemSelTextColor;
        } else {
            painter.fillRect(rect, (row % 2 == 1) ? m_look.itemBkColor1 : m_look.itemBkColor2);
            if (row == playedRow())
                text = m_playTextColor;
        }
        painter.setPen(text);
        const QRect titleRect(rect.left() + 4, rect.top(), idLeft - 8, h);
        const QString title = painter.fontMetrics().elidedText(item.title, Qt::ElideRight, titleRect.width());
        painter.drawText(titleRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, title);
        const QRect idRect(idLeft, rect.top(), m_idColumnWidth, h);
        const QString id = painter.fontMetrics().elidedText(item.id, Qt::ElideLeft, idRect.width());
        painter.drawText(idRect, Qt::AlignVCenter | Qt::AlignRight | Qt::TextSingleLine, id);
    }
    if (hasFocus()) {
        // The keyboard's place: the selected row, or the whole list before a row is chosen. Drawn
        // here, whatever the style: some styles show a focus frame only after Tab.
        const int chosen = selectedRow();
        const bool row = isRow(chosen);
        painter.setPen(QPen(row ? m_look.itemSelTextColor : m_look.itemNorTextColor, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect((row ? QRect(0, rowTop(chosen), width, h) : viewport()->rect()).adjusted(1, 1, -2, -2));
    }
}

void SongListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        const QPointF p = event->position();
        const int row = HitTest(float(p.x()), float(p.y()));
        if (row > 0)
            selectRow(row);
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void SongListBox::selectRow(int row)
{
    m_model->setChosenRow(row);
}

void SongListBox::chosenRowChanged(int old, int row)
{
    // Before a row was chosen the focus frame ran round the whole list.
    if (!isRow(old) && hasFocus())
        viewport()->update();
    updateRow(old);
    updateRow(row);
    announceRow(old, QAccessible::SelectionRemove);
    announceRow(row, QAccessible::Selection);
    if (hasFocus())
        announceRow(row, QAccessible::Focus);
}

int SongListBox::rowsPerPage() const
{
    return qMax(1, viewport()->height() / m_look.itemHeight);
}

QPointF SongListBox::rowCentre(int row) const
{
    return QPointF(viewport()->width() / 2.0, rowTop(row) + m_look.itemHeight / 2.0);
}

void SongListBox::keyPressEvent(QKeyEvent* event)
{
    const int count = ListCount();
    const int current = isRow(selectedRow()) ? selectedRow() : 0;
    int target = 0;
    switch (event->key()) {
    case Qt::Key_Down:
        target = current + 1;
        break;
    case Qt::Key_Up:
        target = current - 1;
        break;
    case Qt::Key_PageDown:
        target = current + rowsPerPage();
        break;
    case Qt::Key_PageUp:
        target = current - rowsPerPage();
        break;
    case Qt::Key_Home:
        target = 1;
        break;
    case Qt::Key_End:
        target = count;
        break;
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
        [[fallthrough]];
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
    // With no rows these keys do nothing, as a click on an empty list does nothing.
    if (count < 1)
        return;
    const int row = qBound(1, target, count);
    selectRow(row);
    scrollToRow(row);
    Q_EMIT rowChosen(row);
}

void SongListBox::openMenuAtSelection()
{
    if (!isRow(selectedRow()))
        return;
    scrollToRow(selectedRow());
    Q_EMIT rowMenuRequested(selectedRow(), rowCentre(selectedRow()).toPoint());
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
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    announceRow(selectedRow(), QAccessible::Focus);
}

void SongListBox::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
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
    syncScrollRange();
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (m_toolTipText.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), plainTextToolTip(m_toolTipText), viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

} // namespace melodrift

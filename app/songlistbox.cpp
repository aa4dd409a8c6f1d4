#include "app/songlistbox.h"

#include "app/plaintext.h"
#include "app/vbmouse.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <cmath>
#include <utility>

namespace melodrift {

SongListBox::SongListBox(QWidget* parent, const SongListLook& look)
    : QAbstractScrollArea(parent), m_look(look), m_playTextColor(look.itemPlyTextColor)
{
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
    QFont listFont(QStringList{QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                               QStringLiteral("Noto Sans CJK SC")});
    listFont.setPointSize(9);
    setFont(listFont);
    m_idColumnWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000"));
}

void SongListBox::Clear()
{
    m_rows.clear();
    m_selectedRow = -1;
    m_playRow = -1;
    updateScrollRange();
    viewport()->update();
}

void SongListBox::AddItem(const QString& title, const QString& id, const QString& id2, qint16 state)
{
    m_rows.push_back(Row{title, id, id2, state});
    // One scroll-bar update per batch of appends, not one per row.
    if (!m_rangeStale) {
        m_rangeStale = true;
        QMetaObject::invokeMethod(this, &SongListBox::syncScrollRange, Qt::QueuedConnection);
    }
    // Only a row that lands inside the viewport needs a repaint.
    const int top = rowTop(ListCount());
    if (top < viewport()->height())
        viewport()->update(0, top, viewport()->width(), m_look.itemHeight);
}

QString SongListBox::ItemId(int row) const
{
    return isRow(row) ? m_rows[static_cast<size_t>(row - 1)].id : QString();
}

QString SongListBox::ItemTitle(int row) const
{
    return isRow(row) ? m_rows[static_cast<size_t>(row - 1)].title : QString();
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
    const int old = m_playRow;
    m_playRow = isRow(row) ? row : -1;
    updateRow(old);
    updateRow(m_playRow);
}

void SongListBox::PlayTextColor(const QColor& color)
{
    m_playTextColor = color;
    updateRow(m_playRow);
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
    if (m_rangeStale)
        updateScrollRange();
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
        const Row& item = m_rows[static_cast<size_t>(row - 1)];
        const QRect rect(0, rowTop(row), width, h);
        QColor text = m_look.itemNorTextColor;
        if (row == m_selectedRow) {
            painter.fillRect(rect, m_look.itemSelBkColor);
            text = m_look.itemSelTextColor;
        } else {
            painter.fillRect(rect, (row % 2 == 1) ? m_look.itemBkColor1 : m_look.itemBkColor2);
            if (row == m_playRow)
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
}

void SongListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        const QPointF p = event->position();
        const int row = HitTest(float(p.x()), float(p.y()));
        if (row > 0 && row != m_selectedRow) {
            const int old = m_selectedRow;
            m_selectedRow = row;
            updateRow(old);
            updateRow(row);
        }
    }
    QAbstractScrollArea::mousePressEvent(event);
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

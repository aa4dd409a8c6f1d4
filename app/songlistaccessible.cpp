#include "app/songlistaccessible.h"

#include "app/songlistbox.h"

#include <QWidget>
#include <QWindow>

namespace melodrift {

namespace {

QAccessibleInterface* songListFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(SongListBox::staticMetaObject.className()) && object != nullptr &&
        object->isWidgetType())
        return new SongListAccessible(static_cast<SongListBox*>(object));
    return nullptr;
}

} // namespace

void installSongListAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(songListFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

SongListAccessible::SongListAccessible(SongListBox* list) : QAccessibleWidget(list, QAccessible::List) {}

SongListBox* SongListAccessible::list() const
{
    return static_cast<SongListBox*>(widget());
}

int SongListAccessible::childCount() const
{
    return list()->ListCount();
}

QAccessibleInterface* SongListAccessible::child(int index) const
{
    return list()->accessibleRow(index + 1);
}

int SongListAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (child == nullptr || child->role() != QAccessible::ListItem || child->object() != nullptr)
        return -1;
    const auto* row = static_cast<const SongRowAccessible*>(child);
    return row->list() == list() && row->isValid() ? row->row() - 1 : -1;
}

QAccessibleInterface* SongListAccessible::childAt(int x, int y) const
{
    const QPoint p = list()->viewport()->mapFromGlobal(QPoint(x, y));
    const int row = list()->HitTest(float(p.x()), float(p.y()));
    return row > 0 ? list()->accessibleRow(row) : nullptr;
}

SongRowAccessible::SongRowAccessible(SongListBox* list, int row) : m_list(list), m_row(row) {}

bool SongRowAccessible::isValid() const
{
    return m_list && m_row >= 1 && m_row <= m_list->ListCount();
}

QWindow* SongRowAccessible::window() const
{
    return m_list ? m_list->window()->windowHandle() : nullptr;
}

QAccessibleInterface* SongRowAccessible::parent() const
{
    return m_list ? QAccessible::queryAccessibleInterface(m_list.data()) : nullptr;
}

QString SongRowAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    switch (t) {
    case QAccessible::Name:
        return m_list->ItemTitle(m_row);
    case QAccessible::Description: {
        const QString id = u"ID：" + m_list->ItemId(m_row);
        return m_row == m_list->playedRow() ? QString(id + u"，正在播放") : id;
    }
    default:
        return {};
    }
}

QRect SongRowAccessible::rect() const
{
    if (!isValid())
        return {};
    const QWidget* viewport = m_list->viewport();
    return QRect(viewport->mapToGlobal(QPoint(0, m_list->rowTop(m_row))),
                 QSize(viewport->width(), m_list->look().itemHeight));
}

QAccessible::State SongRowAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.selectable = true;
    state.focusable = true;
    state.selected = m_row == m_list->selectedRow();
    state.focused = state.selected && m_list->hasFocus();
    const int top = m_list->rowTop(m_row);
    state.offscreen = top + m_list->look().itemHeight <= 0 || top >= m_list->viewport()->height();
    return state;
}

} // namespace melodrift

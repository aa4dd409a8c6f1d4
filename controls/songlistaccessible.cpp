#include "controls/songlistaccessible.h"

#include "controls/songlistbox.h"

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
    return list()->model()->count();
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
    return m_list && m_list->model()->isRow(m_row);
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
    const SongListModel& rows = *m_list->model();
    switch (t) {
    case QAccessible::Name:
        return rows.at(m_row).title;
    case QAccessible::Description: {
        const QString id = u"ID：" + rows.at(m_row).id;
        return m_row == rows.playedRow() ? QString(id + u"，正在播放") : id;
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
    state.selected = m_row == m_list->model()->chosenRow();
    state.focused = state.selected && m_list->hasFocus();
    const int top = m_list->rowTop(m_row);
    state.offscreen = top + m_list->look().itemHeight <= 0 || top >= m_list->viewport()->height();
    return state;
}

// The list's own side of it: row objects on request, and what a listening reader is told.

SongListBox::~SongListBox()
{
    for (const unsigned id : std::as_const(m_accessibleRows))
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* SongListBox::accessibleRow(int row) const
{
    if (!isRow(row))
        return nullptr;
    const auto known = m_accessibleRows.constFind(row);
    if (known != m_accessibleRows.constEnd())
        return QAccessible::accessibleInterface(*known);
    auto* iface = new SongRowAccessible(const_cast<SongListBox*>(this), row);
    m_accessibleRows.insert(row, QAccessible::registerAccessibleInterface(iface));
    return iface;
}

void SongListBox::announceRow(int row, int eventType) const
{
    if (!isRow(row) || !QAccessible::isActive())
        return;
    QAccessibleEvent event(accessibleRow(row), QAccessible::Event(eventType));
    QAccessible::updateAccessibility(&event);
}

void SongListBox::announceNewRows()
{
    const int count = ListCount();
    if (m_announcedRows >= count)
        return;
    const int first = m_announcedRows + 1;
    m_announcedRows = count;
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent inserted(this, QAccessibleTableModelChangeEvent::RowsInserted);
    inserted.setFirstRow(first - 1);
    inserted.setLastRow(count - 1);
    QAccessible::updateAccessibility(&inserted);
    // One child for the whole batch: the reader learns that rows came and how many there are now,
    // without an object for every row of a long page.
    announceRow(first, QAccessible::ObjectCreated);
}

void SongListBox::announceCleared()
{
    m_announcedRows = 0;
    if (QAccessible::isActive()) {
        for (auto it = m_accessibleRows.cbegin(); it != m_accessibleRows.cend(); ++it) {
            QAccessibleEvent gone(QAccessible::accessibleInterface(it.value()), QAccessible::ObjectDestroyed);
            QAccessible::updateAccessibility(&gone);
        }
    }
    for (const unsigned id : std::as_const(m_accessibleRows))
        QAccessible::deleteAccessibleInterface(id);
    m_accessibleRows.clear();
    if (QAccessible::isActive()) {
        QAccessibleTableModelChangeEvent reset(this, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&reset);
    }
}

} // namespace melodrift

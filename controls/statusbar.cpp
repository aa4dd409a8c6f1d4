#include "controls/statusbar.h"

#include "controls/plaintext.h"
#include "controls/vbmouse.h"

#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QToolTip>

namespace melodrift {

StatusBar::StatusBar(const std::array<int, 3>& widths, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setAccessibleName(QStringLiteral("状态栏"));
    setMouseTracking(true);
    int left = 0;
    for (size_t i = 0; i < m_panels.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        label->setTextFormat(Qt::PlainText);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setGeometry(left, 0, widths[i], 17);
        label->setMinimumWidth(widths[i]);
        left += widths[i];
        m_panels[i] = label;
    }
}

void StatusBar::setPanelText(int panel, const QString& text)
{
    if (panel < 1 || panel > 3)
        return;
    const auto index = static_cast<size_t>(panel - 1);
    m_texts[index] = text;
    showPanel(index);
    Q_EMIT panelTextSet(panel, text);
}

void StatusBar::showPanel(size_t index)
{
    QLabel* label = m_panels[index];
    const QString& text = m_texts[index];
    // Panel 3 runs past the window's edge: only what shows counts.
    const int shown = qMin(label->width(), width() - label->x()) - 2 * label->frameWidth() - 2;
    const QString fitted = label->fontMetrics().elidedText(text, Qt::ElideRight, qMax(0, shown));
    label->setText(fitted);
    label->setToolTip(fitted == text ? QString() : plainTextToolTip(text));
    label->setAccessibleName(text);
    // Readers take the tooltip, markup and all, where a widget has no description of its own.
    label->setAccessibleDescription(fitted == text ? QString() : text);
}

void StatusBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (size_t i = 0; i < m_panels.size(); ++i)
        showPanel(i);
}

QString StatusBar::panelText(int panel) const
{
    if (panel < 1 || panel > 3)
        return {};
    return m_texts[static_cast<size_t>(panel - 1)];
}

void StatusBar::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    Q_EMIT MouseMove(vbButton(event->buttons()), vbShift(event->modifiers()), float(p.x()), float(p.y()));
}

bool StatusBar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // The design's tooltip holds panels 1 and 2 whole; a cut panel 3 shows its own.
        const auto* help = static_cast<QHelpEvent*>(event);
        if (m_panels[2]->geometry().contains(help->pos()) && !m_panels[2]->toolTip().isEmpty()) {
            QToolTip::showText(help->globalPos(), m_panels[2]->toolTip(), this);
            return true;
        }
        if (m_toolTipText.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), plainTextToolTip(m_toolTipText), this);
        return true;
    }
    return QWidget::event(event);
}

} // namespace melodrift

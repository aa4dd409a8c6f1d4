#pragma once

#include <QString>
#include <QWidget>

#include <array>

class QLabel;

namespace melodrift {

//! Status bar with three plain-text panels addressed 1..3; panel texts are never taken for markup.
//! A text wider than the part of its panel that shows is cut with "…"; the whole text is the
//! panel's tooltip and accessible name, and panelText() gives it.
class StatusBar : public QWidget {
    Q_OBJECT
public:
    //! `widths` are the panels' widths in pixels.
    StatusBar(const std::array<int, 3>& widths, QWidget* parent = nullptr);

    //! Replaces the text of panel 1, 2 or 3; other numbers are ignored.
    void setPanelText(int panel, const QString& text);
    [[nodiscard]] QString panelText(int panel) const;

    void setToolTipText(const QString& text) { m_toolTipText = text; }
    [[nodiscard]] QString toolTipText() const { return m_toolTipText; }

Q_SIGNALS:
    void MouseMove(int button, int shift, float x, float y);
    //! Every write of a panel, in order (also when the text does not change).
    void panelTextSet(int panel, const QString& text);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPanel(size_t index);

    std::array<QLabel*, 3> m_panels{};
    std::array<QString, 3> m_texts;
    QString m_toolTipText;
};

} // namespace melodrift

#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

namespace melodrift {

class SongListBox;

//! What a screen reader sees of the song list: a list whose children are its rows. A row's object
//! is made when something asks for it and lives until the list is cleared; while no assistive
//! technology listens nothing is made and nothing is sent.
class SongListAccessible final : public QAccessibleWidget {
public:
    explicit SongListAccessible(SongListBox* list);

    [[nodiscard]] int childCount() const override;
    [[nodiscard]] QAccessibleInterface* child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override;
    [[nodiscard]] QAccessibleInterface* childAt(int x, int y) const override;

private:
    [[nodiscard]] SongListBox* list() const;
};

//! One row: its title as name, "ID：" and its ID as description (and that it plays, when it does).
class SongRowAccessible final : public QAccessibleInterface {
public:
    SongRowAccessible(SongListBox* list, int row);

    [[nodiscard]] bool isValid() const override;
    [[nodiscard]] QObject* object() const override { return nullptr; }
    [[nodiscard]] QWindow* window() const override;
    [[nodiscard]] QAccessibleInterface* parent() const override;
    [[nodiscard]] QAccessibleInterface* child(int) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    [[nodiscard]] QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    [[nodiscard]] QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    [[nodiscard]] QRect rect() const override;
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::ListItem; }
    [[nodiscard]] QAccessible::State state() const override;

    [[nodiscard]] SongListBox* list() const { return m_list; }
    [[nodiscard]] int row() const { return m_row; }

private:
    QPointer<SongListBox> m_list;
    int m_row;
};

//! Lets Qt find SongListAccessible for every SongListBox; called by the list, once is enough.
void installSongListAccessibility();

} // namespace melodrift

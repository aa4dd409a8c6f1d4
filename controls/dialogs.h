#pragma once

#include <QString>

class QWidget;

namespace melodrift {

//! The dialogs the program shows; tests replace them so that nothing waits for a person.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    //! A modal box with an exclamation icon and one OK button; returns once it is closed.
    virtual void warn(QWidget* parent, const QString& title, const QString& text) = 0;
    enum class Tone { Information, Warning };
    //! A notice that does not wait to be closed, with the icon of its tone.
    virtual void inform(QWidget* parent, const QString& title, const QString& text, Tone tone) = 0;
    //! Asks where to save a file, starting from `suggestedName`; "" when the person cancels.
    virtual QString saveFileName(QWidget* parent, const QString& suggestedName) = 0;
};

class QtDialogs final : public Dialogs {
public:
    void warn(QWidget* parent, const QString& title, const QString& text) override;
    void inform(QWidget* parent, const QString& title, const QString& text, Tone tone) override;
    QString saveFileName(QWidget* parent, const QString& suggestedName) override;
};

} // namespace melodrift

#pragma once

#include <QString>
#include <QWidget>

namespace melodrift {

//! The embedded media player as the rest of the program sees it.
//! Contract: setting URL starts playback at once. At a song's end PlayStateChange reports
//! MediaEnded, then Stopped. Every change of status() is followed by StatusChange. A mouse press
//! anywhere on the player raises Click before the pressed control acts. No error dialogs.
class MediaPlayer : public QWidget {
    Q_OBJECT
public:
    //! The play-state numbers of the player control the design names.
    enum PlayState {
        Undefined = 0,
        Stopped = 1,
        Paused = 2,
        Playing = 3,
        Buffering = 6,
        MediaEnded = 8,
        Transitioning = 9,
        Ready = 10,
    };

    using QWidget::QWidget;

    virtual void setURL(const QString& url) = 0;
    [[nodiscard]] virtual QString URL() const = 0;
    [[nodiscard]] virtual int playState() const = 0;
    //! What the player is doing, in its own words.
    [[nodiscard]] virtual QString status() const = 0;
    //! controls.play: plays the current address from where it stands.
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    //! Milliseconds into the current song.
    [[nodiscard]] virtual qint64 position() const = 0;
    //! 0.0 (silent) to 1.0.
    [[nodiscard]] virtual double volume() const = 0;
    virtual void setVolume(double volume) = 0;
    virtual void setEnableContextMenu(bool enable) = 0;

Q_SIGNALS:
    void PlayStateChange(int newState);
    void StatusChange();
    void Click(int button, int shift, float x, float y);
};

} // namespace melodrift

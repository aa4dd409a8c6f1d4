#include "playback/playerbinding.h"

#include "controls/playerview.h"
#include "playback/mediaplayer.h"
#include "playback/statustext.h"

#include <QVideoWidget>

namespace melodrift {

void bindPlayerView(PlayerView* view, MediaPlayer* player)
{
    player->setVideoSink(view->videoOutput()->videoSink());
    player->setVolume(view->volume());
    player->setMuted(view->isMuted());

    QObject::connect(view, &PlayerView::playPauseClicked, player, [player] {
        if (MediaPlayer::isPlaying(player->playState()))
            player->pause();
        else
            player->play();
    });
    QObject::connect(view, &PlayerView::stopClicked, player, &MediaPlayer::stop);
    QObject::connect(view, &PlayerView::seekRequested, player, &MediaPlayer::setPosition);
    QObject::connect(view, &PlayerView::volumeChanged, player, &MediaPlayer::setVolume);
    QObject::connect(view, &PlayerView::mutedChanged, player, &MediaPlayer::setMuted);

    QObject::connect(player, &MediaPlayer::PlayStateChange, view, [view](int state) {
        view->setPlaying(state == MediaPlayer::Playing);
        if (state == MediaPlayer::MediaEnded)
            view->setPosition(0);
    });
    QObject::connect(player, &MediaPlayer::StatusChange, view,
                     [view, player] { view->setStatusText(playerStatusText(player->status())); });
    QObject::connect(player, &MediaPlayer::positionChanged, view, &PlayerView::setPosition);
    QObject::connect(player, &MediaPlayer::durationChanged, view, &PlayerView::setDuration);
    QObject::connect(player, &MediaPlayer::hasVideoChanged, view, &PlayerView::setVideoShown);
    // The file's own title over the row's, once it has one.
    QObject::connect(player, &MediaPlayer::mediaTitleChanged, view, [view](const QString& title) {
        if (!title.isEmpty())
            view->setSongTitle(title);
    });
    // The desktop's media controls change the volume too.
    QObject::connect(player, &MediaPlayer::volumeChanged, view, &PlayerView::setVolume);
    QObject::connect(player, &MediaPlayer::mutedChanged, view, &PlayerView::setMuted);
}

} // namespace melodrift

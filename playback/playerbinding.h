#pragma once

namespace melodrift {

class MediaPlayer;
class PlayerView;

//! Lets `view` show `player` and carries the person's requests from the view to the player; the
//! player's volume starts at the view's. Click is not wired here: it belongs to the form's handler.
void bindPlayerView(PlayerView* view, MediaPlayer* player);

} // namespace melodrift

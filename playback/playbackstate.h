#pragma once

namespace melodrift {

//! AutoPlayState: whether a stopped player is told to play again at its next status change.
enum class AutoPlay { NeverArmed, Armed, Disarmed };

//! Window-level playback state shared by the play, list and menu commands and the player's events.
struct PlaybackState {
    int MenuRow = 0; //!< row under the pointer when the pop-up menu last opened; negative below the rows
    int PlayRow = 0; //!< row playing or last played
    //! NeverArmed until an automatic advance arms it; a click on the player disarms it.
    AutoPlay AutoPlayState = AutoPlay::NeverArmed;
};

} // namespace melodrift

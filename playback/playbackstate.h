#pragma once

namespace melodrift {

//! Window-level playback state shared by the play, list and menu commands and the player's events.
struct PlaybackState {
    //! AutoPlayState: whether a stopped player is told to play again at its next status change.
    enum AutoPlay { NeverArmed = 0, Armed = 1, Disarmed = 2 };

    int MenuRow = 0;       //!< row under the pointer when the pop-up menu last opened; negative below the rows
    int PlayRow = 0;       //!< row playing or last played
    int AutoPlayState = 0; //!< NeverArmed until an automatic advance arms it; a click on the player disarms it
};

} // namespace melodrift

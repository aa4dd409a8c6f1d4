#pragma once

#include <QMetaType>
#include <QString>

namespace melodrift {

//! Why something asked of the network, the disk, the desktop or the player did not happen: a kind the program
//! acts on, and the system's own detail for the log and for kinds that have no words of their own.
struct Failure {
    enum Kind {
        None,         //!< it happened
        Refused,      //!< the connection was refused
        HostNotFound, //!< the host name did not resolve
        TimedOut,     //!< no progress for too long
        Interrupted,  //!< the connection closed before the answer was whole
        RedirectLoop, //!< too many or unsafe redirects
        Unreachable,  //!< any other network failure
        TooLarge,     //!< the answer is over the size cap
        Undecodable,  //!< the text cannot be decoded
        HttpStatus,   //!< the server answered with an error status (`status`)
        WriteError,   //!< the disk did not take the file
        LaunchError,  //!< the desktop could not start a program
        // The player's:
        Unsupported,  //!< the answer is no media the player can play
        AccessDenied, //!< the site or the system refused the media
        SoundOutput,  //!< no sound output (a sound server gone and not back)
        Unplayable,   //!< any other reason the player gave
    };
    Kind kind = None;
    int status = 0; //!< the HTTP status, for HttpStatus
    QString detail; //!< the system's words, "" when it gave none

    [[nodiscard]] bool failed() const { return kind != None; }
    bool operator==(const Failure&) const = default;
};

} // namespace melodrift

Q_DECLARE_METATYPE(melodrift::Failure)

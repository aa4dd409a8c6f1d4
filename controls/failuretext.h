#pragma once

#include "net/failure.h"

#include <QString>

namespace melodrift {

//! A failure in the person's words: the program's own for the network's kinds, the system's
//! for the disk and the desktop. "" for no failure.
[[nodiscard]] QString failureText(const Failure& failure);

} // namespace melodrift

// Showing a started program minimised. On X11 the windows that the new process (or a process
// it started) maps in its first seconds are iconified as they come; where the window system
// offers no such thing (Wayland, no display) the program shows as it likes.
#pragma once

#include <QtGlobal>

namespace wvr {

void MinimizeWindowsOf(qint64 pid);

}  // namespace wvr

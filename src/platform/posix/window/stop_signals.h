// The session's stop signals as a quit request. Windows tells a program that the session ends
// through its windows; a program without one is simply ended. This layer does the same: while
// the thread has a window, SIGHUP, SIGTERM and SIGINT each become a WM_QUIT in its queue; once
// the last window is gone their earlier action stands again. The handler only writes the
// signal's number to a pipe; the message wait polls that pipe and posts the quit.
#pragma once

namespace posix::window {

// Catches the stop signals whose action is not "ignore" (a program started with a signal
// ignored, as by nohup, keeps it ignored). Does nothing when they are caught already or no
// pipe can be made.
void CatchStopSignals();
// Puts the earlier actions back. A signal caught but not yet turned into a quit is raised again
// under its earlier action, so it is never lost.
void ReleaseStopSignals();
// The pipe's read end for poll(), or -1 while the signals are not caught.
int StopSignalPipe();
// Posts one WM_QUIT for all the stop signals caught since the last look; true when it did.
bool TakeStopSignals();

}  // namespace posix::window

// The break-reminder thread of the executive.
#pragma once

bool QMEThreadBreakCreate();
bool QMEThreadBreakRequestExitAndWait();
// Signals the reset event when the thread exists.
void QMEThreadBreakReset();
// Pauses the break and resume timers (the session is locked or the machine
// sleeps) or ends the pause with a fresh break period. Main thread.
void QMEThreadBreakPause(bool paused);

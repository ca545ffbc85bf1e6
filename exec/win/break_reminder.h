// The break-reminder thread of the executive.
#pragma once

bool QMEThreadBreakCreate();
bool QMEThreadBreakRequestExitAndWait();
// Signals the reset event when the thread exists.
void QMEThreadBreakReset();

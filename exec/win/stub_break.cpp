// Placeholder until the break reminder lands.
#include "exec_parts.h"

bool QMEThreadBreakCreate() { return true; }
bool QMEThreadBreakRequestExitAndWait() { return true; }
void QMEThreadBreakReset() {}

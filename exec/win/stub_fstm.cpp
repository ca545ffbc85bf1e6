// Placeholder until the state machine lands.
#include "exec_parts.h"

bool QMEFstmInitialize() { return true; }
void QMEFstmEvent(unsigned, LPARAM) {}

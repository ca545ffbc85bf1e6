#include "exec_app.h"

#include "qvnlog.h"

int QMEExecutiveMain(HINSTANCE instance) {
  DebugLevelRead();
  DebugPrint(0x0200, L">>> WinMain");
  return 0;
}

#include <windows.h>

#include "exec_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return QMEExecutiveMain(instance);
}

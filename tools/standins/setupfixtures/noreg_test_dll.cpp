// A DLL without a registration entry.
#include <windows.h>

extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_OK; }

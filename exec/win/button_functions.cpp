#include "button_functions.h"

#include <shldisp.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <string>

#include "dispatcher.h"
#include "exec_util.h"
#include "keystroke_core.h"
#include "launch_command.h"
#include "qvnlog.h"
#include "settings.h"
#include "window_command_core.h"

#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740L
#endif

namespace {

// Reads the button's text setting `base` for the current application.
void ButtonTextGet(const wchar_t* base, int button, bool secondary, wchar_t* text, size_t room) {
  text[0] = 0;
  std::wstring name = qme::ButtonRecordValueName(base, button, secondary);
  if (name.empty()) return;
  wchar_t app[MAX_PATH];
  QMESettingCurrentApplicationGet(app, MAX_PATH);
  if (QMESettingGet(name.c_str(), app, text, room) != 1) text[0] = 0;
  text[room - 1] = 0;
}

class FileSystem : public qvn::FileExistsPort {
 public:
  bool FileExists(const std::wstring& path) override {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
};

class ReplayPort : public qme::KeystrokePort {
 public:
  void Key(uint16_t vk, bool down) override {
    DebugPrint(qvn::kExecLogInfo, L"KeyStrokeRecording KeySimulate %d", vk);
    QMEDispatchKey(vk, down, 0);
  }
  void MouseButton(int button, bool down) override { QMEDispatchButton(button, down); }
};

}  // namespace

namespace {

// A window command for one top-level window.
class WinWindowCommandPort : public qvn::WindowCommandPort {
 public:
  WinWindowCommandPort(HWND window, UINT message) : window_(window), message_(message) {}
  void Log(uint32_t mask, const std::wstring& line) override { DebugPrint(mask, L"%s", line.c_str()); }
  uint32_t Post(uint32_t command) override {
    if (PostMessageW(window_, message_, command, 0)) return 0;
    DWORD error = GetLastError();
    return error ? error : ERROR_ACCESS_DENIED;
  }
  bool Maximized() override { return IsZoomed(window_) != FALSE; }
  bool BringForward() override {
    return SetForegroundWindow(window_) && GetAncestor(GetForegroundWindow(), GA_ROOT) == window_;
  }
  void Key(uint16_t vk, bool down, uint16_t flags) override { QMEDispatchKey(vk, down, flags); }

 private:
  HWND window_;
  UINT message_;
};

}  // namespace

bool QMEFuncWindowCommand(UINT message, WPARAM wParam) {
  POINT pt;
  if (!GetCursorPos(&pt)) {
    DebugPrint(qvn::kExecLogError, L"QMEFuncWindowCommand GetCursorPos failed! %d", GetLastError());
    return false;
  }
  // The top-level window itself: a dialog or tool window is closed, not
  // the program that owns it.
  HWND window = WindowFromPoint(pt);
  HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  if (!root) {
    DebugPrint(qvn::kExecLogError, L"QMEFuncWindowCommand no window under the cursor");
    return false;
  }
  WinWindowCommandPort port(root, message);
  return qvn::WindowCommandRun(port, static_cast<uint32_t>(wParam));
}

bool ShellFunction(int kind) {
  IShellDispatch* shell = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                                IID_IShellDispatch, reinterpret_cast<void**>(&shell));
  if (FAILED(hr) || !shell) {
    DebugPrint(qvn::kExecLogError, L"ShellFunction CoCreateInstance failed! 0x%x", static_cast<unsigned>(hr));
    return false;
  }
  bool ok = true;
  switch (kind) {
    case 1:
      hr = shell->FileRun();
      break;
    case 2: {
      VARIANT dir;
      VariantInit(&dir);
      dir.vt = VT_I4;
      dir.lVal = ssfDRIVES;
      hr = shell->Explore(dir);
      break;
    }
    case 3:
      hr = S_OK;
      QMEDispatchKey(VK_LWIN, true, 2);
      QMEDispatchKey('D', true, 0);
      QMEDispatchKey('D', false, 0);
      QMEDispatchKey(VK_LWIN, false, 2);
      break;
    default:
      DebugPrint(qvn::kExecLogError, L"ShellFunction unknown kind %d", kind);
      ok = false;
      break;
  }
  if (ok && FAILED(hr)) {
    DebugPrint(qvn::kExecLogError, L"ShellFunction %d failed! 0x%x", kind, static_cast<unsigned>(hr));
    ok = false;
  }
  shell->Release();
  return ok;
}

void KeyStrokeRecording(int32_t eventType, int button, bool secondary) {
  DebugPrint(qvn::kExecLogInfo, L"KeyStrokeRecording");
  wchar_t text[QME_SETTING_TEXT_CHARS];
  ButtonTextGet(L"KeyStrokeRecord", button, secondary, text, QME_SETTING_TEXT_CHARS);
  if (!text[0]) return;
  if (eventType != 1) return;
  qme::KeystrokeRecording recording = qme::KeystrokeParse(text);
  if (recording.droppedTooMany || recording.droppedInvalid)
    DebugPrint(qvn::kExecLogError, L"KeyStrokeRecording %d: %d tokens past the first 10 and %d unusable tokens not replayed",
               qme::ButtonRecordNumber(button, secondary), static_cast<int>(recording.droppedTooMany),
               static_cast<int>(recording.droppedInvalid));
  ReplayPort port;
  qme::KeystrokeReplay(recording, port);
}

bool LaunchAppFunction(int button, bool secondary) {
  const int number = qme::ButtonRecordNumber(button, secondary);
  wchar_t command[QME_SETTING_TEXT_CHARS];
  ButtonTextGet(L"LaunchApplication", button, secondary, command, QME_SETTING_TEXT_CHARS);
  if (!command[0]) {
    DebugPrint(qvn::kExecLogError, L"LaunchAppFunction ButtonNo !wcslen(RegValue)");
    return false;
  }
  FileSystem files;
  qvn::LaunchCommand launch;
  if (!qvn::LaunchCommandResolve(command, files, &launch)) {
    // Nothing is started rather than a program named by a part of the path.
    DebugPrint(qvn::kExecLogError, L"LaunchAppFunction ButtonNo %d %s CreateProcess failed! %d", number, command,
               ERROR_FILE_NOT_FOUND);
    return false;
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring commandLine = qvn::LaunchCommandLine(launch);  // CreateProcessW may write into it
  if (CreateProcessW(launch.searched ? nullptr : launch.program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                     nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
  }
  DWORD error = GetLastError();
  if (error != ERROR_ELEVATION_REQUIRED) {
    DebugPrint(qvn::kExecLogError, L"LaunchAppFunction ButtonNo %d %s CreateProcess failed! %d", number, command, error);
    return false;
  }
  size_t bytes = (wcslen(command) + 1) * sizeof(wchar_t);
  void* copy = HeapAlloc(GetProcessHeap(), 0, bytes);
  if (!copy) {
    DebugPrint(qvn::kExecLogError, L"LaunchAppFunction HeapAlloc failed! %d", GetLastError());
    return false;
  }
  memcpy(copy, command, bytes);
  HANDLE thread = CreateThread(nullptr, 0, LaunchApplicationElevatedThreadProc, copy, 0, nullptr);
  if (!thread) {
    DebugPrint(qvn::kExecLogError, L"LaunchAppFunctionCreateThread failed! %d", GetLastError());
    HeapFree(GetProcessHeap(), 0, copy);
    return false;
  }
  CloseHandle(thread);
  return true;
}

DWORD WINAPI LaunchApplicationElevatedThreadProc(void* param) {
  wchar_t* command = static_cast<wchar_t*>(param);
  // The same program and arguments as the first try, read by the same rule.
  FileSystem files;
  qvn::LaunchCommand launch;
  bool resolved = qvn::LaunchCommandResolve(command, files, &launch);
  wchar_t directory[QME_SETTING_TEXT_CHARS] = {};
  bool haveDirectory = false;
  if (resolved && !launch.searched) {
    lstrcpynW(directory, launch.program.c_str(), QME_SETTING_TEXT_CHARS);
    haveDirectory = PathRemoveFileSpecW(directory) != FALSE;
  }
  // The shell's execution wants COM on the calling thread.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  if (resolved && !launch.searched && !haveDirectory) {
    DebugPrint(qvn::kExecLogError, L"LaunchApplicationElevatedThreadProc PathRemoveFileSpec failed!");
  } else if (!resolved ||
             !QMEUtilShellExecuteProcess(launch.program.c_str(), haveDirectory ? directory : nullptr,
                                         launch.arguments.empty() ? nullptr : launch.arguments.c_str(), true, nullptr)) {
    DebugPrint(qvn::kExecLogError, L"LaunchApplicationElevatedThreadProc QMEUtilShellExecuteProcess failed!%s!", command);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  HeapFree(GetProcessHeap(), 0, command);
  return 0;
}

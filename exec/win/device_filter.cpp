#include "device_filter.h"

#include "qvnlog.h"

bool QMEDeviceFilter::Create(const wchar_t* deviceName) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEDeviceFilter::Create %s", deviceName);
  if (m_hDevice != INVALID_HANDLE_VALUE) {
    DebugPrint(qvn::kExecLogInfo, L"QMEDeviceFilter::Create already open!");
    return false;
  }
  HANDLE h = CreateFileW(deviceName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    // A missing driver or an unplugged mouse: expected, hence information only.
    DebugPrint(qvn::kExecLogInfo, L"QMEDeviceFilter::Create CreateFile failed! %d", GetLastError());
    return false;
  }
  m_hDevice = h;
  return true;
}

void QMEDeviceFilter::Close() {
  if (m_hDevice == INVALID_HANDLE_VALUE) return;
  CancelIo(m_hDevice);
  // A cancelled request still completes into its overlapped structure and
  // record; they live on the caller's stack, so wait for that before the
  // caller can go on and reuse or free them.
  if (m_pendingWait) {
    DWORD bytes = 0;
    if (HasOverlappedIoCompleted(m_pendingWait) ||
        (m_pendingWait->hEvent && WaitForSingleObject(m_pendingWait->hEvent, 5000) == WAIT_OBJECT_0))
      ::GetOverlappedResult(m_hDevice, m_pendingWait, &bytes, FALSE);
    else
      DebugPrint(qvn::kExecLogError, L"QMEDeviceFilter::Close cancelled wait did not complete! %d", GetLastError());
    m_pendingWait = nullptr;
  }
  CloseHandle(m_hDevice);
  m_hDevice = INVALID_HANDLE_VALUE;
}

bool QMEDeviceFilter::SendSync(uint32_t code, const void* input, DWORD inputSize, DWORD* error) {
  // The handle is opened overlapped, so even a synchronous request needs
  // its own overlapped record and event; the call then waits for it.
  OVERLAPPED ov{};
  ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!ov.hEvent) {
    *error = GetLastError();
    return false;
  }
  DWORD bytes = 0;
  BOOL ok = DeviceIoControl(m_hDevice, code, const_cast<void*>(input), inputSize, nullptr, 0, &bytes, &ov);
  if (!ok && GetLastError() == ERROR_IO_PENDING) ok = ::GetOverlappedResult(m_hDevice, &ov, &bytes, TRUE);
  *error = ok ? ERROR_SUCCESS : GetLastError();
  CloseHandle(ov.hEvent);
  return ok != FALSE;
}

bool QMEDeviceFilter::IoctlEventWait(OVERLAPPED* overlapped, const uint8_t input[2], QvnDriverEvent* record) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEDeviceFilter::IoctlEventWait");
  DWORD bytes = 0;
  if (DeviceIoControl(m_hDevice, QVN_IOCTL_FILTER_EVENT_WAIT, const_cast<uint8_t*>(input), 2, record,
                      sizeof(*record), &bytes, overlapped)) {
    m_pendingWait = nullptr;
    return true;
  }
  DWORD err = GetLastError();
  if (err == ERROR_IO_PENDING) {
    m_pendingWait = overlapped;
    return true;
  }
  DebugPrint(qvn::kExecLogError, L"QMEDeviceFilter::IoctlEventWait DeviceIoControl failed! %d", err);
  SetLastError(err);  // for the caller's own failure line
  return false;
}

bool QMEDeviceFilter::GetOverlappedResult(OVERLAPPED* overlapped) {
  DWORD bytes = 0;  // not examined: the record holds what the driver wrote
  if (::GetOverlappedResult(m_hDevice, overlapped, &bytes, FALSE)) {
    if (overlapped == m_pendingWait) m_pendingWait = nullptr;
    return true;
  }
  DWORD err = GetLastError();
  if (err != ERROR_IO_INCOMPLETE && overlapped == m_pendingWait) m_pendingWait = nullptr;
  DebugPrint(qvn::kExecLogError, L"QMEDeviceFilter::GetOverlappedResult failed! %d", err);
  SetLastError(err);
  return false;
}

bool QMEDeviceFilter::IoctlMouseButtonSimulate(int button, bool down) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEDeviceFilter::IoctlMouseButtonSimulate");
  uint32_t code = 0;
  if (!QvnButtonIoctl(button, down, &code)) {
    DebugPrint(qvn::kExecLogError, L"QMEDeviceFilter::IoctlMouseButtonSimulate wrong parameter (button)! %d", button);
    return false;
  }
  DWORD err = 0;
  if (SendSync(code, nullptr, 0, &err)) return true;
  DebugPrint(qvn::kExecLogError, L"QMEDeviceFilter::IoctlMouseButtonSimulate DeviceIoControl failed! %d", err);
  return false;
}

bool QMEDeviceFilter::IoctlMouseWheelSimulate(uint16_t delta) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEDeviceFilter::IoctlMouseWheelSimulate");
  DWORD err = 0;
  if (SendSync(QVN_IOCTL_CTRL_WHEEL, &delta, sizeof(delta), &err)) return true;
  DebugPrint(qvn::kExecLogError, L"QMEDeviceFilter::IoctlMouseWheelSimulate DeviceIoControl failed! %d", err);
  return false;
}

bool QMEDeviceFilter::IoctlKeyboardKeySimulate(uint16_t scanCode, bool down, uint16_t keyFlags) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEDeviceFilter::IoctlKeyboardKeySimulate");
  QvnKeyInput in{scanCode, keyFlags};
  DWORD err = 0;
  if (SendSync(down ? QVN_IOCTL_CTRL_KEY_DOWN : QVN_IOCTL_CTRL_KEY_UP, &in, sizeof(in), &err)) return true;
  DebugPrint(qvn::kExecLogError, L"QMEDeviceFilter::IoctlKeyboardKeySimulate DeviceIoControl failed! %d", err);
  return false;
}

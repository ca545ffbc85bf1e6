// Handle wrapper of the mouse driver's devices: the filter device (the
// configuration and event waits of the device thread) and the control
// device (one injection per open). Each instance belongs to one thread.
#pragma once
#include <windows.h>

#include <cstdint>

#include "driver_protocol.h"

class QMEDeviceFilter {
 public:
  QMEDeviceFilter() = default;
  ~QMEDeviceFilter() { Close(); }
  QMEDeviceFilter(const QMEDeviceFilter&) = delete;
  QMEDeviceFilter& operator=(const QMEDeviceFilter&) = delete;

  // Opens the device for reading, overlapped. False when this wrapper
  // already holds a handle (which stays open) or the device is absent.
  bool Create(const wchar_t* deviceName);
  // Cancels the handle's outstanding requests and closes it.
  void Close();
  bool IsOpen() const { return m_hDevice != INVALID_HANDLE_VALUE; }

  // Filter device: sends the 2-byte configuration built from g_linkConfData.
  bool IoctlLoadConfig();
  // Starts the overlapped event wait; "pending" counts as started.
  bool IoctlEventWait(OVERLAPPED* overlapped, const uint8_t input[2], QvnDriverEvent* record);
  // Result of the completed wait, without waiting.
  bool GetOverlappedResult(OVERLAPPED* overlapped);

  // Control device.
  bool IoctlMouseButtonSimulate(int button, bool down);  // button 0..4
  bool IoctlMouseWheelSimulate(uint16_t delta);
  bool IoctlKeyboardKeySimulate(uint16_t scanCode, bool down, uint16_t keyFlags);

 private:
  // Synchronous request on the overlapped handle: starts it and waits for it.
  bool SendSync(uint32_t code, const void* input, DWORD inputSize, DWORD* error);

  HANDLE m_hDevice = INVALID_HANDLE_VALUE;
  // The event wait still in flight (its record and overlapped structure
  // belong to the caller); Close waits for its cancellation to finish.
  OVERLAPPED* m_pendingWait = nullptr;
};

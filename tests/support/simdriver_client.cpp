#include "simdriver_client.h"

#include <cstdio>

namespace simdriver {

namespace {

std::wstring ProgramDir() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  size_t slash = s.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : s.substr(0, slash);
}

}  // namespace

const char* InjectName(Inject kind) {
  switch (kind) {
    case Inject::LeftDown: return "left-button down";
    case Inject::LeftUp: return "left-button up";
    case Inject::MiddleDown: return "middle-button down";
    case Inject::MiddleUp: return "middle-button up";
    case Inject::RightDown: return "right-button down";
    case Inject::RightUp: return "right-button up";
    case Inject::BackDown: return "back-button down";
    case Inject::BackUp: return "back-button up";
    case Inject::ForwardDown: return "forward-button down";
    case Inject::ForwardUp: return "forward-button up";
    case Inject::Wheel: return "wheel";
    case Inject::KeyDown: return "key down";
    case Inject::KeyUp: return "key up";
    case Inject::Config: return "configuration";
    case Inject::FilterOther: return "unknown filter request";
    case Inject::ControlOther: return "unknown control request";
  }
  return "?";
}

std::ostream& operator<<(std::ostream& os, Inject kind) { return os << InjectName(kind); }

Inject Classify(uint32_t device, uint32_t code) {
  if (device == QVN_SIM_DEVICE_FILTER)
    return code == QVN_IOCTL_FILTER_LOAD_CONFIG ? Inject::Config : Inject::FilterOther;
  static const Inject kButtons[QVN_INJECT_BUTTON_COUNT][2] = {
      {Inject::LeftUp, Inject::LeftDown},     {Inject::MiddleUp, Inject::MiddleDown},
      {Inject::RightUp, Inject::RightDown},   {Inject::BackUp, Inject::BackDown},
      {Inject::ForwardUp, Inject::ForwardDown}};
  for (int b = 0; b < QVN_INJECT_BUTTON_COUNT; ++b)
    for (int down = 0; down < 2; ++down) {
      uint32_t c = 0;
      QvnButtonIoctl(b, down != 0, &c);
      if (c == code) return kButtons[b][down];
    }
  if (code == QVN_IOCTL_CTRL_WHEEL) return Inject::Wheel;
  if (code == QVN_IOCTL_CTRL_KEY_DOWN) return Inject::KeyDown;
  if (code == QVN_IOCTL_CTRL_KEY_UP) return Inject::KeyUp;
  return Inject::ControlOther;
}

std::string Describe(const LogEntry& e) {
  char buf[160];
  switch (e.kind) {
    case Inject::Wheel:
      snprintf(buf, sizeof buf, "wheel %d", e.WheelDelta());
      break;
    case Inject::KeyDown:
    case Inject::KeyUp:
      snprintf(buf, sizeof buf, "%s scan 0x%02x flags %u", InjectName(e.kind), e.ScanCode(), e.KeyFlags());
      break;
    case Inject::Config:
      snprintf(buf, sizeof buf, "configuration %02x %02x", e.input[0], e.input[1]);
      break;
    case Inject::FilterOther:
    case Inject::ControlOther:
      snprintf(buf, sizeof buf, "%s 0x%08x", InjectName(e.kind), e.code);
      break;
    default:
      snprintf(buf, sizeof buf, "%s", InjectName(e.kind));
  }
  std::string s = buf;
  if (e.status != 0) {
    snprintf(buf, sizeof buf, " (refused 0x%08x, %u input bytes)", e.status, e.inputLength);
    s += buf;
  }
  return s;
}

SimDriver::~SimDriver() {
  if (device_ != INVALID_HANDLE_VALUE) CloseHandle(device_);
}

bool SimDriver::EnsureStarted(const std::wstring& driverPath) {
  if (Open()) return true;
  std::wstring path = driverPath.empty() ? ProgramDir() + L"\\" QVN_SIM_DRIVER_FILE : driverPath;
  SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!scm) {
    lastError_ = GetLastError();
    return false;
  }
  SC_HANDLE svc = OpenServiceW(scm, QVN_SIM_SERVICE_NAME, SERVICE_ALL_ACCESS);
  if (!svc)
    svc = CreateServiceW(scm, QVN_SIM_SERVICE_NAME, QVN_SIM_SERVICE_NAME, SERVICE_ALL_ACCESS,
                         SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, path.c_str(),
                         nullptr, nullptr, nullptr, nullptr, nullptr);
  bool ok = false;
  if (!svc) {
    lastError_ = GetLastError();
  } else {
    // Right after a prefix comes up services.exe is still starting its own
    // drivers: it answers "database locked", times out the start for up to
    // a minute, or fails it once with ERROR_GEN_FAILURE while winedevice
    // comes up. Keep trying for a while.
    DWORD start = GetTickCount();
    for (;;) {
      ok = StartServiceW(svc, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
      if (ok) break;
      lastError_ = GetLastError();
      if (lastError_ != ERROR_SERVICE_DATABASE_LOCKED && lastError_ != ERROR_SERVICE_REQUEST_TIMEOUT &&
          lastError_ != ERROR_GEN_FAILURE)
        break;
      if (GetTickCount() - start > 120000) break;
      Sleep(100);
    }
    CloseServiceHandle(svc);
  }
  CloseServiceHandle(scm);
  if (!ok) return false;
  for (int i = 0; i < 250; ++i) {
    if (Open()) return true;
    Sleep(20);
  }
  return false;
}

bool SimDriver::Open() {
  if (device_ != INVALID_HANDLE_VALUE) return true;
  device_ = CreateFileW(QVN_SIM_DEVICE_NAME, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
  if (device_ == INVALID_HANDLE_VALUE) {
    lastError_ = GetLastError();
    return false;
  }
  return true;
}

bool SimDriver::Ioctl(uint32_t code, const void* in, DWORD inSize, void* out, DWORD outSize, DWORD* got) {
  if (!Open()) return false;
  DWORD bytes = 0;
  if (!DeviceIoControl(device_, code, const_cast<void*>(in), inSize, out, outSize, &bytes, nullptr)) {
    lastError_ = GetLastError();
    return false;
  }
  if (got) *got = bytes;
  return true;
}

bool SimDriver::Reset() {
  // Out and in again: a fresh filter device with no configuration and no
  // waits, whatever an earlier test left behind.
  return Unplug() && Replug() && Clear();
}

bool SimDriver::Queue(const QvnDriverEvent& record) {
  return Ioctl(QVN_SIM_IOCTL_QUEUE_EVENT, &record, sizeof(record), nullptr, 0);
}

bool SimDriver::Raw(int32_t eventType, uint16_t buttonId) {
  QvnDriverEvent e{};
  e.EventType = eventType;
  e.ButtonId = buttonId;
  return Queue(e);
}

bool SimDriver::Press(uint16_t button) { return Raw(QVN_MOUSE_FILTER_EVENT_BUTTON_PRESSED, button); }
bool SimDriver::Release(uint16_t button) { return Raw(QVN_MOUSE_FILTER_EVENT_BUTTON_RELEASED, button); }
bool SimDriver::Move() { return Raw(QVN_MOUSE_FILTER_EVENT_MOUSE_MOVED, 0); }

bool SimDriver::Wheel(int16_t delta, bool* reported) {
  uint32_t r = 0;
  if (!Ioctl(QVN_SIM_IOCTL_WHEEL, &delta, sizeof(delta), &r, sizeof(r))) return false;
  if (reported) *reported = r != 0;
  return true;
}

bool SimDriver::Unplug() { return Ioctl(QVN_SIM_IOCTL_UNPLUG, nullptr, 0, nullptr, 0); }
bool SimDriver::Replug() { return Ioctl(QVN_SIM_IOCTL_REPLUG, nullptr, 0, nullptr, 0); }
bool SimDriver::Clear() { return Ioctl(QVN_SIM_IOCTL_CLEAR, nullptr, 0, nullptr, 0); }

bool SimDriver::FailWaits(uint32_t ntStatus) {
  return Ioctl(QVN_SIM_IOCTL_FAIL_WAITS, &ntStatus, sizeof(ntStatus), nullptr, 0);
}

bool SimDriver::StallNextInjection(uint32_t ms) {
  return Ioctl(QVN_SIM_IOCTL_STALL_NEXT, &ms, sizeof(ms), nullptr, 0);
}

bool SimDriver::Status(QvnSimStatus* status) {
  *status = QvnSimStatus{};
  return Ioctl(QVN_SIM_IOCTL_STATUS, nullptr, 0, status, sizeof(*status));
}

std::vector<LogEntry> SimDriver::Log() {
  std::vector<uint8_t> buf(sizeof(QvnSimLogHeader) + QVN_SIM_LOG_CAPACITY * sizeof(QvnSimLogEntry));
  std::vector<LogEntry> out;
  DWORD got = 0;
  if (!Ioctl(QVN_SIM_IOCTL_GET_LOG, nullptr, 0, buf.data(), static_cast<DWORD>(buf.size()), &got)) return out;
  if (got < sizeof(QvnSimLogHeader)) return out;
  QvnSimLogHeader header;
  memcpy(&header, buf.data(), sizeof(header));
  size_t count = (got - sizeof(header)) / sizeof(QvnSimLogEntry);
  if (header.count < count) count = header.count;
  for (size_t i = 0; i < count; ++i) {
    QvnSimLogEntry raw;
    memcpy(&raw, buf.data() + sizeof(header) + i * sizeof(raw), sizeof(raw));
    LogEntry e;
    e.sequence = raw.sequence;
    e.device = raw.device;
    e.code = raw.code;
    e.status = raw.status;
    e.inputLength = raw.inputLength;
    memcpy(e.input, raw.input, sizeof(e.input));
    e.handle = raw.handle;
    e.kind = Classify(raw.device, raw.code);
    out.push_back(e);
  }
  return out;
}

std::vector<Inject> SimDriver::Injections() {
  std::vector<Inject> out;
  for (const auto& e : Log())
    if (e.IsInjection()) out.push_back(e.kind);
  return out;
}

std::vector<LogEntry> SimDriver::Configurations() {
  std::vector<LogEntry> out;
  for (const auto& e : Log())
    if (e.kind == Inject::Config) out.push_back(e);
  return out;
}

bool SimDriver::WaitStatus(const std::function<bool(const QvnSimStatus&)>& pred, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    QvnSimStatus s;
    if (Status(&s) && pred(s)) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
}

bool SimDriver::WaitLog(const std::function<bool(const std::vector<LogEntry>&)>& pred, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (pred(Log())) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
}

bool SimDriver::WaitOneWaitOutstanding(DWORD timeoutMs) {
  return WaitStatus([](const QvnSimStatus& s) { return s.pendingWaits == 1 && s.filterHandles == 1; },
                    timeoutMs);
}

}  // namespace simdriver

// Simulated mouse filter driver: a kernel-mode test fixture that behaves
// towards the executive like the real filter driver does, and lets a test
// controller make the mouse press buttons and read back what the executive
// asked for. Runs inside winedevice.exe; imports only ntoskrnl.
//
// Devices:
//   \Device\QvnmouseFilter   configuration and event waits (can be unplugged)
//   \Device\QvnMiniCtrlMouse injections, every request logged
//   \Device\QvnSimMouseCtl   the test controller's private device
#include <ntddk.h>

#include "simdriver_latency.h"
#include "simdriver_protocol.h"

namespace {

constexpr ULONG kMaxPending = 64;

struct PendingWait {
  PIRP irp;
  PFILE_OBJECT file;
};

struct SimState {
  PDRIVER_OBJECT driver;
  PDEVICE_OBJECT filter;   // null while unplugged
  PDEVICE_OBJECT control;
  PDEVICE_OBJECT sim;
  KSPIN_LOCK lock;

  QvnDriverConfig config;
  PendingWait pending[kMaxPending];
  ULONG pendingCount;

  QvnDriverEvent queue[QVN_SIM_QUEUE_CAPACITY];
  ULONG queueHead, queueCount;

  QvnSimLogEntry log[QVN_SIM_LOG_CAPACITY];
  ULONG logHead, logCount, logDropped, logSequence;

  // Press latencies: completion of a wait with a record -> next injection.
  uint32_t latency[QVN_SIM_LATENCY_CAPACITY];
  ULONG latencyCount, latencyDropped, latencyUnanswered;
  LONGLONG completedAt;  // 0: no completion waiting for its injection

  ULONG handleSerial;
  ULONG stallNextMs;      // the next injection is answered this much later (a driver slow to answer)
  QvnSimStatus counters;  // the counting fields; the rest is filled on request
};

SimState g;  // zero-initialised, no constructors in a driver

const wchar_t kFilterDevice[] = L"\\Device\\QvnmouseFilter";
const wchar_t kFilterLink[] = L"\\DosDevices\\QvnmouseFilter";
const wchar_t kControlDevice[] = L"\\Device\\QvnMiniCtrlMouse";
const wchar_t kControlLink[] = L"\\DosDevices\\QvnMiniCtrlMouse";
const wchar_t kSimDevice[] = L"\\Device\\QvnSimMouseCtl";
const wchar_t kSimLink[] = L"\\DosDevices\\QvnSimMouseCtl";

void CopyBytes(void* dst, const void* src, ULONG n) {
  auto* d = static_cast<unsigned char*>(dst);
  auto* s = static_cast<const unsigned char*>(src);
  for (ULONG i = 0; i < n; ++i) d[i] = s[i];
}

NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

ULONG HandleId(PFILE_OBJECT file) {
  return file ? static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(file->FsContext2)) : 0;
}

// --- log (lock held) ---------------------------------------------------

void LogRequest(ULONG device, ULONG code, NTSTATUS status, const void* input, ULONG inputLength,
                PFILE_OBJECT file) {
  ULONG slot;
  if (g.logCount < QVN_SIM_LOG_CAPACITY) {
    slot = (g.logHead + g.logCount) % QVN_SIM_LOG_CAPACITY;
    ++g.logCount;
  } else {
    slot = g.logHead;
    g.logHead = (g.logHead + 1) % QVN_SIM_LOG_CAPACITY;
    ++g.logDropped;
  }
  QvnSimLogEntry& e = g.log[slot];
  e = QvnSimLogEntry{};
  e.sequence = ++g.logSequence;
  e.device = device;
  e.code = code;
  e.status = static_cast<uint32_t>(status);
  e.inputLength = inputLength;
  if (input) CopyBytes(e.input, input, inputLength < sizeof(e.input) ? inputLength : sizeof(e.input));
  e.handle = HandleId(file);
}

// --- press latencies (lock held) -----------------------------------------

LONGLONG Ticks() { return KeQueryPerformanceCounter(nullptr).QuadPart; }

void NoteCompletion() {
  if (g.completedAt != 0) ++g.latencyUnanswered;
  g.completedAt = Ticks();
  if (g.completedAt == 0) g.completedAt = 1;
}

void NoteInjection() {
  if (g.completedAt == 0) return;
  LONGLONG ticks = Ticks() - g.completedAt;
  g.completedAt = 0;
  if (g.latencyCount >= QVN_SIM_LATENCY_CAPACITY) {
    ++g.latencyDropped;
    return;
  }
  g.latency[g.latencyCount++] = ticks < 0 ? 0 : ticks > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<uint32_t>(ticks);
}

// --- pending event waits --------------------------------------------------

// Takes a pending wait out of the table if it can still be completed by us
// (its cancel routine has not started). Lock held.
PIRP TakePendingAt(ULONG index) {
  PIRP irp = g.pending[index].irp;
  if (IoSetCancelRoutine(irp, nullptr) == nullptr) return nullptr;  // being cancelled
  for (ULONG j = index + 1; j < g.pendingCount; ++j) g.pending[j - 1] = g.pending[j];
  --g.pendingCount;
  return irp;
}

void CancelWait(PDEVICE_OBJECT, PIRP irp) {
  IoReleaseCancelSpinLock(irp->CancelIrql);
  KIRQL irql;
  KeAcquireSpinLock(&g.lock, &irql);
  bool found = false;
  for (ULONG i = 0; i < g.pendingCount; ++i) {
    if (g.pending[i].irp == irp) {
      for (ULONG j = i + 1; j < g.pendingCount; ++j) g.pending[j - 1] = g.pending[j];
      --g.pendingCount;
      found = true;
      break;
    }
  }
  if (found) ++g.counters.waitsCancelled;
  KeReleaseSpinLock(&g.lock, irql);
  if (found) Complete(irp, STATUS_CANCELLED, 0);
}

// Completes the waits of one handle (file), or of every handle (null), with
// `status`. Called without the lock.
void FinishWaits(PFILE_OBJECT file, NTSTATUS status) {
  for (;;) {
    PIRP irp = nullptr;
    KIRQL irql;
    KeAcquireSpinLock(&g.lock, &irql);
    for (ULONG i = 0; i < g.pendingCount && !irp; ++i) {
      if (file && g.pending[i].file != file) continue;
      irp = TakePendingAt(i);
    }
    if (irp) {
      if (status == STATUS_CANCELLED) ++g.counters.waitsCancelled;
      else ++g.counters.waitsCompleted;
    }
    KeReleaseSpinLock(&g.lock, irql);
    if (!irp) return;
    Complete(irp, status, 0);
  }
}

// Hands `record` to the oldest pending wait, or queues it.
NTSTATUS DeliverEvent(const QvnDriverEvent& record) {
  KIRQL irql;
  KeAcquireSpinLock(&g.lock, &irql);
  PIRP irp = nullptr;
  for (ULONG i = 0; i < g.pendingCount && !irp; ++i) irp = TakePendingAt(i);
  NTSTATUS status = STATUS_SUCCESS;
  if (irp) {
    ++g.counters.waitsCompleted;
    NoteCompletion();
  } else if (g.queueCount < QVN_SIM_QUEUE_CAPACITY) {
    g.queue[(g.queueHead + g.queueCount) % QVN_SIM_QUEUE_CAPACITY] = record;
    ++g.queueCount;
  } else {
    status = STATUS_INSUFFICIENT_RESOURCES;
  }
  KeReleaseSpinLock(&g.lock, irql);
  if (irp) {
    CopyBytes(irp->AssociatedIrp.SystemBuffer, &record, sizeof(record));
    Complete(irp, STATUS_SUCCESS, sizeof(record));
  }
  return status;
}

// --- filter device ------------------------------------------------------

NTSTATUS FilterIoctl(PIRP irp, PIO_STACK_LOCATION stack) {
  const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  const ULONG inLen = stack->Parameters.DeviceIoControl.InputBufferLength;
  const ULONG outLen = stack->Parameters.DeviceIoControl.OutputBufferLength;
  void* buffer = irp->AssociatedIrp.SystemBuffer;
  KIRQL irql;

  if (code == QVN_IOCTL_FILTER_LOAD_CONFIG) {
    NTSTATUS status = inLen >= sizeof(QvnDriverConfig) ? STATUS_SUCCESS : STATUS_INVALID_PARAMETER;
    KeAcquireSpinLock(&g.lock, &irql);
    if (NT_SUCCESS(status)) {
      CopyBytes(&g.config, buffer, sizeof(QvnDriverConfig));
      ++g.counters.configLoads;
    }
    LogRequest(QVN_SIM_DEVICE_FILTER, code, status, buffer, inLen, stack->FileObject);
    KeReleaseSpinLock(&g.lock, irql);
    return Complete(irp, status, 0);
  }

  if (code == QVN_IOCTL_FILTER_EVENT_WAIT) {
    if (outLen < sizeof(QvnDriverEvent)) return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
    KeAcquireSpinLock(&g.lock, &irql);
    ++g.counters.waitsStarted;
    if (g.queueCount > 0 && g.pendingCount == 0) {
      QvnDriverEvent record = g.queue[g.queueHead];
      g.queueHead = (g.queueHead + 1) % QVN_SIM_QUEUE_CAPACITY;
      --g.queueCount;
      ++g.counters.waitsCompleted;
      NoteCompletion();
      KeReleaseSpinLock(&g.lock, irql);
      CopyBytes(buffer, &record, sizeof(record));
      return Complete(irp, STATUS_SUCCESS, sizeof(record));
    }
    if (g.pendingCount >= kMaxPending) {
      KeReleaseSpinLock(&g.lock, irql);
      return Complete(irp, STATUS_INSUFFICIENT_RESOURCES, 0);
    }
    IoSetCancelRoutine(irp, CancelWait);
    if (irp->Cancel && IoSetCancelRoutine(irp, nullptr) != nullptr) {
      ++g.counters.waitsCancelled;
      KeReleaseSpinLock(&g.lock, irql);
      return Complete(irp, STATUS_CANCELLED, 0);
    }
    IoMarkIrpPending(irp);
    g.pending[g.pendingCount++] = PendingWait{irp, stack->FileObject};
    KeReleaseSpinLock(&g.lock, irql);
    return STATUS_PENDING;
  }

  KeAcquireSpinLock(&g.lock, &irql);
  LogRequest(QVN_SIM_DEVICE_FILTER, code, STATUS_INVALID_DEVICE_REQUEST, buffer, inLen, stack->FileObject);
  KeReleaseSpinLock(&g.lock, irql);
  return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
}

// --- control device -----------------------------------------------------

NTSTATUS ControlIoctl(PIRP irp, PIO_STACK_LOCATION stack) {
  const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  const ULONG inLen = stack->Parameters.DeviceIoControl.InputBufferLength;
  NTSTATUS status;
  if (code == QVN_IOCTL_CTRL_WHEEL) {
    status = inLen >= sizeof(int16_t) ? STATUS_SUCCESS : STATUS_INVALID_PARAMETER;
  } else if (code == QVN_IOCTL_CTRL_KEY_DOWN || code == QVN_IOCTL_CTRL_KEY_UP) {
    status = inLen >= sizeof(QvnKeyInput) ? STATUS_SUCCESS : STATUS_INVALID_PARAMETER;
  } else {
    status = STATUS_INVALID_DEVICE_REQUEST;
    for (int b = 0; b < QVN_INJECT_BUTTON_COUNT; ++b) {
      uint32_t down = 0, up = 0;
      QvnButtonIoctl(b, true, &down);
      QvnButtonIoctl(b, false, &up);
      if (code == down || code == up) status = STATUS_SUCCESS;
    }
  }
  KIRQL irql;
  KeAcquireSpinLock(&g.lock, &irql);
  if (NT_SUCCESS(status)) {
    ++g.counters.injections;
    NoteInjection();
  }
  LogRequest(QVN_SIM_DEVICE_CONTROL, code, status, irp->AssociatedIrp.SystemBuffer, inLen, stack->FileObject);
  const ULONG stall = g.stallNextMs;
  g.stallNextMs = 0;
  KeReleaseSpinLock(&g.lock, irql);
  if (stall) {
    // Wine dispatches every request of a driver on one thread: everything
    // else waits too, as behind a real driver that hangs.
    LARGE_INTEGER delay;
    delay.QuadPart = -static_cast<LONGLONG>(stall) * 10000;
    KeDelayExecutionThread(KernelMode, FALSE, &delay);
  }
  return Complete(irp, status, 0);
}

// --- plugging -----------------------------------------------------------

NTSTATUS MakeDevice(const wchar_t* deviceName, const wchar_t* linkName, PDEVICE_OBJECT* out) {
  UNICODE_STRING name, link;
  RtlInitUnicodeString(&name, deviceName);
  RtlInitUnicodeString(&link, linkName);
  PDEVICE_OBJECT device = nullptr;
  NTSTATUS status = IoCreateDevice(g.driver, 0, &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
  if (!NT_SUCCESS(status)) return status;
  status = IoCreateSymbolicLink(&link, &name);
  if (!NT_SUCCESS(status)) {
    IoDeleteDevice(device);
    return status;
  }
  device->Flags |= DO_BUFFERED_IO;
  device->Flags &= ~DO_DEVICE_INITIALIZING;
  *out = device;
  return STATUS_SUCCESS;
}

void RemoveDevice(const wchar_t* linkName, PDEVICE_OBJECT* device) {
  if (!*device) return;
  UNICODE_STRING link;
  RtlInitUnicodeString(&link, linkName);
  IoDeleteSymbolicLink(&link);
  IoDeleteDevice(*device);
  *device = nullptr;
}

NTSTATUS Unplug() {
  if (!g.filter) return STATUS_SUCCESS;
  // The mouse is gone: its outstanding waits fail, its queued events are lost.
  FinishWaits(nullptr, STATUS_DEVICE_REMOVED);
  KIRQL irql;
  KeAcquireSpinLock(&g.lock, &irql);
  g.queueHead = g.queueCount = 0;
  g.counters.filterHandles = 0;  // their files now belong to a removed device
  KeReleaseSpinLock(&g.lock, irql);
  RemoveDevice(kFilterLink, &g.filter);
  return STATUS_SUCCESS;
}

NTSTATUS Replug() {
  if (g.filter) return STATUS_SUCCESS;
  g.config = QvnDriverConfig{};  // a fresh device knows no configuration yet
  return MakeDevice(kFilterDevice, kFilterLink, &g.filter);
}

// --- controller device ----------------------------------------------------

NTSTATUS SimIoctl(PIRP irp, PIO_STACK_LOCATION stack) {
  const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  const ULONG inLen = stack->Parameters.DeviceIoControl.InputBufferLength;
  const ULONG outLen = stack->Parameters.DeviceIoControl.OutputBufferLength;
  void* buffer = irp->AssociatedIrp.SystemBuffer;
  KIRQL irql;

  switch (code) {
    case QVN_SIM_IOCTL_QUEUE_EVENT: {
      if (inLen < sizeof(QvnDriverEvent)) return Complete(irp, STATUS_INVALID_PARAMETER, 0);
      if (!g.filter) return Complete(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
      QvnDriverEvent record;
      CopyBytes(&record, buffer, sizeof(record));
      return Complete(irp, DeliverEvent(record), 0);
    }
    case QVN_SIM_IOCTL_WHEEL: {
      if (inLen < sizeof(int16_t)) return Complete(irp, STATUS_INVALID_PARAMETER, 0);
      if (!g.filter) return Complete(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
      int16_t delta;
      CopyBytes(&delta, buffer, sizeof(delta));
      uint32_t reported = g.config.acceleratedScrolling == 1 ? 1 : 0;
      NTSTATUS status = STATUS_SUCCESS;
      if (reported) {
        QvnDriverEvent record{};
        record.EventType = static_cast<uint16_t>(delta);
        record.ButtonId = QVN_BUTTON_ID_ACCEL_WHEEL;
        status = DeliverEvent(record);
      } else {
        KeAcquireSpinLock(&g.lock, &irql);
        ++g.counters.wheelDropped;
        KeReleaseSpinLock(&g.lock, irql);
      }
      ULONG info = 0;
      if (outLen >= sizeof(reported)) {
        CopyBytes(buffer, &reported, sizeof(reported));
        info = sizeof(reported);
      }
      return Complete(irp, status, info);
    }
    case QVN_SIM_IOCTL_GET_LOG: {
      if (outLen < sizeof(QvnSimLogHeader)) return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
      ULONG room = (outLen - sizeof(QvnSimLogHeader)) / sizeof(QvnSimLogEntry);
      auto* out = static_cast<unsigned char*>(buffer);
      KeAcquireSpinLock(&g.lock, &irql);
      QvnSimLogHeader header{};
      header.count = g.logCount < room ? g.logCount : room;
      header.dropped = g.logDropped;
      for (ULONG i = 0; i < header.count; ++i)
        CopyBytes(out + sizeof(header) + i * sizeof(QvnSimLogEntry),
                  &g.log[(g.logHead + i) % QVN_SIM_LOG_CAPACITY], sizeof(QvnSimLogEntry));
      KeReleaseSpinLock(&g.lock, irql);
      CopyBytes(out, &header, sizeof(header));
      return Complete(irp, STATUS_SUCCESS, sizeof(header) + header.count * sizeof(QvnSimLogEntry));
    }
    case QVN_SIM_IOCTL_GET_LATENCIES: {
      if (outLen < sizeof(QvnSimLatencyHeader)) return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
      ULONG room = (outLen - sizeof(QvnSimLatencyHeader)) / sizeof(uint32_t);
      auto* out = static_cast<unsigned char*>(buffer);
      LARGE_INTEGER frequency;
      KeQueryPerformanceCounter(&frequency);
      KeAcquireSpinLock(&g.lock, &irql);
      QvnSimLatencyHeader header{};
      header.frequency = static_cast<uint64_t>(frequency.QuadPart);
      header.count = g.latencyCount < room ? g.latencyCount : room;
      header.dropped = g.latencyDropped;
      header.unanswered = g.latencyUnanswered;
      CopyBytes(out + sizeof(header), g.latency, header.count * sizeof(uint32_t));
      KeReleaseSpinLock(&g.lock, irql);
      CopyBytes(out, &header, sizeof(header));
      return Complete(irp, STATUS_SUCCESS, sizeof(header) + header.count * sizeof(uint32_t));
    }
    case QVN_SIM_IOCTL_CLEAR: {
      KeAcquireSpinLock(&g.lock, &irql);
      g.logHead = g.logCount = g.logDropped = 0;
      g.queueHead = g.queueCount = 0;
      g.latencyCount = g.latencyDropped = g.latencyUnanswered = 0;
      g.completedAt = 0;
      uint32_t filterHandles = g.counters.filterHandles, controlHandles = g.counters.controlHandles;
      g.counters = QvnSimStatus{};
      g.counters.filterHandles = filterHandles;
      g.counters.controlHandles = controlHandles;
      KeReleaseSpinLock(&g.lock, irql);
      return Complete(irp, STATUS_SUCCESS, 0);
    }
    case QVN_SIM_IOCTL_STATUS: {
      if (outLen < sizeof(QvnSimStatus)) return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
      KeAcquireSpinLock(&g.lock, &irql);
      QvnSimStatus s = g.counters;
      s.plugged = g.filter ? 1 : 0;
      s.acceleratedScrolling = g.config.acceleratedScrolling;
      s.configReserved = g.config.reserved;
      s.pendingWaits = g.pendingCount;
      s.queuedEvents = g.queueCount;
      KeReleaseSpinLock(&g.lock, irql);
      CopyBytes(buffer, &s, sizeof(s));
      return Complete(irp, STATUS_SUCCESS, sizeof(s));
    }
    case QVN_SIM_IOCTL_UNPLUG:
      return Complete(irp, Unplug(), 0);
    case QVN_SIM_IOCTL_REPLUG:
      return Complete(irp, Replug(), 0);
    case QVN_SIM_IOCTL_STALL_NEXT: {
      if (inLen < sizeof(uint32_t)) return Complete(irp, STATUS_INVALID_PARAMETER, 0);
      uint32_t ms;
      CopyBytes(&ms, buffer, sizeof(ms));
      KeAcquireSpinLock(&g.lock, &irql);
      g.stallNextMs = ms > 20000 ? 20000 : ms;
      KeReleaseSpinLock(&g.lock, irql);
      return Complete(irp, STATUS_SUCCESS, 0);
    }
    case QVN_SIM_IOCTL_FAIL_WAITS: {
      if (inLen < sizeof(uint32_t)) return Complete(irp, STATUS_INVALID_PARAMETER, 0);
      uint32_t status;
      CopyBytes(&status, buffer, sizeof(status));
      if (NT_SUCCESS(static_cast<NTSTATUS>(status))) return Complete(irp, STATUS_INVALID_PARAMETER, 0);
      FinishWaits(nullptr, static_cast<NTSTATUS>(status));
      return Complete(irp, STATUS_SUCCESS, 0);
    }
    default:
      return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
  }
}

// --- dispatch -------------------------------------------------------------

uint32_t* HandleCounter(PDEVICE_OBJECT device) {
  if (device && device == g.filter) return &g.counters.filterHandles;
  if (device == g.control) return &g.counters.controlHandles;
  return nullptr;
}

NTSTATUS DispatchCreate(PDEVICE_OBJECT device, PIRP irp) {
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  KIRQL irql;
  KeAcquireSpinLock(&g.lock, &irql);
  if (stack->FileObject)
    stack->FileObject->FsContext2 = reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(++g.handleSerial));
  if (uint32_t* n = HandleCounter(device)) ++*n;
  if (device && device == g.filter) ++g.counters.filterOpens;
  KeReleaseSpinLock(&g.lock, irql);
  return Complete(irp, STATUS_SUCCESS, 0);
}

// Wine does not send IRP_MJ_CLEANUP for a handle closed with a request
// still pending, so the handle's waits are also cancelled on close.
NTSTATUS DispatchCleanup(PDEVICE_OBJECT, PIRP irp) {
  FinishWaits(IoGetCurrentIrpStackLocation(irp)->FileObject, STATUS_CANCELLED);
  return Complete(irp, STATUS_SUCCESS, 0);
}

NTSTATUS DispatchClose(PDEVICE_OBJECT device, PIRP irp) {
  FinishWaits(IoGetCurrentIrpStackLocation(irp)->FileObject, STATUS_CANCELLED);
  KIRQL irql;
  KeAcquireSpinLock(&g.lock, &irql);
  if (uint32_t* n = HandleCounter(device))
    if (*n > 0) --*n;
  KeReleaseSpinLock(&g.lock, irql);
  return Complete(irp, STATUS_SUCCESS, 0);
}

NTSTATUS DispatchIoctl(PDEVICE_OBJECT device, PIRP irp) {
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  if (device && device == g.filter) return FilterIoctl(irp, stack);
  if (device == g.control) return ControlIoctl(irp, stack);
  if (device == g.sim) return SimIoctl(irp, stack);
  // A handle of a filter device that was unplugged meanwhile.
  return Complete(irp, STATUS_DEVICE_REMOVED, 0);
}

void DriverUnload(PDRIVER_OBJECT) {
  FinishWaits(nullptr, STATUS_CANCELLED);
  RemoveDevice(kFilterLink, &g.filter);
  RemoveDevice(kControlLink, &g.control);
  RemoveDevice(kSimLink, &g.sim);
}

}  // namespace

extern "C" NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING) {
  g.driver = driver;
  KeInitializeSpinLock(&g.lock);
  driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
  driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchCleanup;
  driver->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchIoctl;
  driver->DriverUnload = DriverUnload;
  NTSTATUS status = MakeDevice(kSimDevice, kSimLink, &g.sim);
  if (NT_SUCCESS(status)) status = MakeDevice(kControlDevice, kControlLink, &g.control);
  if (NT_SUCCESS(status)) status = MakeDevice(kFilterDevice, kFilterLink, &g.filter);
  if (!NT_SUCCESS(status)) DriverUnload(driver);
  return status;
}

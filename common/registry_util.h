// Registry helpers of the executive (QMEUtil...) and the control panel
// (QMCUtil...). Both programs take the same steps and differ only in their
// log texts and category masks. Keys are opened (or created, where the
// caller may) for every access and closed again.
#pragma once
#include <windows.h>

// Reads a value into data[size bytes]; the type is not examined. After a
// successful read the data is followed by a zero character whenever the
// buffer has room for one, so text never runs into stale bytes. A string
// value (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) that fills the whole buffer
// without its own terminator counts as too long: false, ERROR_MORE_DATA.
// Logs "QMEUtilRegistryValueGet ..." with 0x4100 (failure), 0x8000 (value
// missing) and 0x4000 (read).
bool QMEUtilRegistryValueGet(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                             BYTE* data, DWORD size);
// Name of the sub-key at index (from 0) into name[capacity characters];
// false at the end of the list or on failure.
bool QMEUtilRegistryKeyEnumerate(HKEY root, const wchar_t* subKey, DWORD index,
                                 wchar_t* name, DWORD capacity);

// The control panel's copies: "QMCUtil..." texts, masks 0x09 (failure) and
// 0x08 (missing value, read).
bool QMCUtilRegistryValueGet(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                             BYTE* data, DWORD size);
bool QMCUtilRegistryKeyEnumerate(HKEY root, const wchar_t* subKey, DWORD index,
                                 wchar_t* name, DWORD capacity);
// Creates or opens the key with write access and sets the value; the
// registry's error is left as the last error.
bool QMCUtilRegistryValueSet(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                             DWORD type, const BYTE* data, DWORD byteCount);

// Where a program's log lines go: DebugPrint, or the setup tool's
// SetupDebugPrint (which also writes its log file).
using QvnLogSink = void (*)(DWORD mask, const wchar_t* format, ...);

// The shared implementation, parametrised by the caller's texts, masks and
// log sink.
struct QvnRegistryLogStyle {
  const wchar_t* prefix;  // "QMEUtil", "QMCUtil" or "Utilities::"
  DWORD failureMask;      // failed calls
  DWORD missingMask;      // value does not exist
  DWORD detailMask;       // successful reads
  DWORD setFailureMask;   // failed writes
  DWORD setTraceMask;     // the "...RegistryValueSet  Path:" trace
  QvnLogSink sink;
  const wchar_t* lineEnd;  // "" where the sink ends the line itself, else "\n"
};
extern const QvnRegistryLogStyle kQvnRegistryLogExec;
extern const QvnRegistryLogStyle kQvnRegistryLogCpl;

// Both return the Win32 error (ERROR_SUCCESS when done). type and
// byteCount, when given, receive the value's registry type and size.
LONG QvnRegistryValueGet(const QvnRegistryLogStyle& style, HKEY root, const wchar_t* subKey,
                         const wchar_t* valueName, BYTE* data, DWORD size, DWORD* type = nullptr,
                         DWORD* byteCount = nullptr);
LONG QvnRegistryKeyEnumerate(const QvnRegistryLogStyle& style, HKEY root, const wchar_t* subKey,
                             DWORD index, wchar_t* name, DWORD capacity);
// Sets a value (key created when missing); "...RegistryValueSet" lines.
LONG QvnRegistryValueSet(const QvnRegistryLogStyle& style, HKEY root, const wchar_t* subKey,
                         const wchar_t* valueName, DWORD type, const BYTE* data, DWORD byteCount);

// Reads a text value into text[chars]: true only when the whole value,
// with its terminator, fits. text is always terminated (empty on false).
bool QvnRegistryTextGet(const QvnRegistryLogStyle& style, HKEY root, const wchar_t* subKey,
                        const wchar_t* valueName, wchar_t* text, DWORD chars,
                        DWORD* type = nullptr);

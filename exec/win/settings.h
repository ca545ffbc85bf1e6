// The executive's settings store: reads of the settings table from the
// current user's registry (global or per application), the few writes the
// executive makes, the link configuration loaded from them, and the export
// file written on exit.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "link_config.h"
#include "settings_table.h"

// Room of every text setting the executive reads (259 characters + zero).
constexpr size_t QME_SETTING_TEXT_CHARS = 260;

// The link configuration of the program under the cursor. Written by
// QMESettingsLoadFromRegistry on the device thread (and at start-up before
// that thread runs), read by the dispatcher on the same thread.
extern QMELinkConfData g_linkConfData;

// Reads a setting; appName null or empty reads the global key, otherwise the
// program's key below "App" (whose missing values give the table default,
// never the global value). Result 1 for a system parameter or a table row,
// 0 for any other name (out value untouched). The out type decides the
// conversion: integer (decimal integer text; 0 for a value of a non-text
// registry type), floating point (decimal text), or the text itself.
int QMESettingGet(const wchar_t* name, const wchar_t* appName, int32_t* value);
int QMESettingGet(const wchar_t* name, const wchar_t* appName, double* value);
int QMESettingGet(const wchar_t* name, const wchar_t* appName, wchar_t* text,
                  size_t room = QME_SETTING_TEXT_CHARS);

// Writes a setting to the global key as text ("%d", "%3.1f", or the text
// itself) or sets a system parameter. Result 1 on success, 0 for a name
// that is neither, otherwise the Win32 error as HRESULT.
HRESULT QMESettingSet(const wchar_t* name, int32_t value);
HRESULT QMESettingSet(const wchar_t* name, double value);
HRESULT QMESettingSet(const wchar_t* name, const wchar_t* text);

// Value of decimal-time setting `index` (QVN_DECIMAL_CLICKLOCK_TIME,
// QVN_DECIMAL_AUTOCLICK_TIME) from the global key, or its default. An index
// outside the table is logged and gives 0.0.
double QMESettingDecimalGet(int index);

// The display name of the program whose customisation is in effect; empty
// when the program under the cursor has none. Set by the dispatcher.
void QMESettingCurrentApplicationSet(const wchar_t* name);
// Copies it into out[room] (always terminated).
void QMESettingCurrentApplicationGet(wchar_t* out, size_t room = MAX_PATH);

// Fills g_linkConfData from the settings of the current application.
bool QMESettingsLoadFromRegistry();

// Writes the global settings as a registry editor file named fileName
// ("QuorvaneMouseSettings.reg" when null) in the executive's own directory,
// or, where that cannot be written, in the user's local application data
// folder. The log names the file written.
bool QMESettingRegistryExportToFile(const wchar_t* fileName);

// What the launch and recording dialogs edit: the button (index 1..10 of
// the selector that opened them) and the program whose own settings they
// are (empty: the global settings). Each dialog kind has one context,
// set just before it runs.
#pragma once
#include <windows.h>

#include <cstddef>

#include "function_selector_core.h"

struct QMCButtonDialogContext {
  int buttonIndex = 0;
  wchar_t application[MAX_PATH] = {};
};

// Takes the selector's button index and the program name (null or empty:
// global). False for a control that is no selector or a name too long.
bool QMCButtonDialogContextSet(QMCButtonDialogContext* context, int selector, const wchar_t* application);

// Reads or writes the context's "LaunchApplication..." or
// "KeyStrokeRecord..." string setting at its place (global, or under the
// program's key).
bool QMCButtonSettingTextGet(const QMCButtonDialogContext& context, qvn::ButtonSettingKind kind, wchar_t* out,
                             size_t room);
bool QMCButtonSettingTextSet(const QMCButtonDialogContext& context, qvn::ButtonSettingKind kind,
                             const wchar_t* text);

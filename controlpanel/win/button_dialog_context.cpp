#include "button_dialog_context.h"

#include <cwchar>

#include "log_levels.h"
#include "qvnlog.h"
#include "settings_qmc.h"

namespace {

constexpr size_t kSettingNameChars = 50;

// The application's place: ("App", name), or the settings key itself.
const wchar_t* PlaceFirst(const QMCButtonDialogContext& context) {
  return context.application[0] ? L"App" : nullptr;
}
const wchar_t* PlaceSecond(const QMCButtonDialogContext& context) {
  return context.application[0] ? context.application : nullptr;
}

}  // namespace

bool QMCButtonDialogContextSet(QMCButtonDialogContext* context, int selector, const wchar_t* application) {
  context->buttonIndex = ComboBoxToButtonIndex(selector);
  context->application[0] = 0;
  if (context->buttonIndex < 1) {
    DebugPrint(qvn::kCplLogError, L"QMCButtonDialogContextSet no button for control %d!", selector);
    return false;
  }
  if (application && *application) {
    if (wcslen(application) >= MAX_PATH) {
      DebugPrint(qvn::kCplLogError, L"QMCButtonDialogContextSet application name too long!");
      return false;
    }
    wcscpy(context->application, application);
  }
  return true;
}

bool QMCButtonSettingTextGet(const QMCButtonDialogContext& context, qvn::ButtonSettingKind kind, wchar_t* out,
                             size_t room) {
  if (out && room) out[0] = 0;
  wchar_t name[kSettingNameChars];
  if (!qvn::ButtonSettingName(kind, context.buttonIndex, name, kSettingNameChars)) return false;
  return QMCSettingRegistryUserStringGet(out, room, name, PlaceFirst(context), PlaceSecond(context));
}

bool QMCButtonSettingTextSet(const QMCButtonDialogContext& context, qvn::ButtonSettingKind kind,
                             const wchar_t* text) {
  wchar_t name[kSettingNameChars];
  if (!qvn::ButtonSettingName(kind, context.buttonIndex, name, kSettingNameChars)) return false;
  return QMCSettingRegistryUserStringSet(name, text, PlaceFirst(context), PlaceSecond(context));
}

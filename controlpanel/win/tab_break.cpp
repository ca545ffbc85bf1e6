#include "tab_break.h"

#include "break_minutes_core.h"
#include "break_sound_core.h"
#include "log_levels.h"
#include "executive_link.h"
#include "isolation_aware.h"
#include "qvn_messages.h"
#include "qvnlog.h"
#include "settings_qmc.h"

namespace {

constexpr int kBreakCheck = 265;
constexpr int kBreakMinutes = 267;
constexpr int kBreakVisual = 270;
constexpr int kBreakAudio = 271;
constexpr int kResumeCheck = 272;
constexpr int kResumeMinutes = 274;
constexpr int kResumeVisual = 277;
constexpr int kResumeAudio = 278;
constexpr int kBreakSoundList = 279;
constexpr int kResumeSoundList = 280;
constexpr int kBreakBrowse = 281;
constexpr int kResumeBrowse = 282;
constexpr int kResumePreview = 283;
constexpr int kBreakPreview = 284;

void WindowsDirGet(wchar_t (&dir)[MAX_PATH]) {
  UINT n = GetWindowsDirectoryW(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) dir[0] = 0;
}

// Selects text in the list, adding it when it is not listed.
void ComboSelect(HWND page, int listId, const wchar_t* text) {
  HWND list = GetDlgItem(page, listId);
  if (!list || !text || !text[0]) return;
  if (SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)) == CB_ERR)
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  // CB_SELECTSTRING matches a prefix; select the exact entry instead.
  LRESULT index = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
  SendMessageW(list, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index), 0);
}

void MediaFilesAdd(HWND page) {
  wchar_t dir[MAX_PATH];
  WindowsDirGet(dir);
  std::wstring pattern = std::wstring(dir) + L"\\media\\*.wav";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    DebugPrint(qvn::kCplLogTrace, L"InitBreakDlg no media files %d", GetLastError());
    return;
  }
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    SendDlgItemMessageW(page, kBreakSoundList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
    SendDlgItemMessageW(page, kResumeSoundList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void MinutesShow(HWND page, int editId, const wchar_t* settingName) {
  wchar_t text[16];
  QvnSettingFormatInt(QMCSettingRegistryUserLongGet(settingName), text, 16);
  SetDlgItemTextW(page, editId, text);
  SendDlgItemMessageW(page, editId, EM_LIMITTEXT, 3, 0);
}

// A sound is a path of up to 259 characters: stored whole (the framework's
// text binding keeps only 126 characters, which would cut a long path).
bool SoundStore(HWND page, int listId, const wchar_t* settingName) {
  wchar_t sound[qvn::kSoundPathRoom] = {};
  if (!GetDlgItem(page, listId)) {
    DebugPrint(qvn::kCplLogError, L"SoundStore GetDlgItem failed! RegistryValueName: %s", settingName);
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return false;
  }
  GetDlgItemTextW(page, listId, sound, qvn::kSoundPathRoom);
  return QMCSettingRegistryUserStringSet(settingName, sound);
}

// Whether a minutes box holds what the page accepts.
bool MinutesValid(HWND page, int editId) {
  wchar_t text[16] = {};
  GetDlgItemTextW(page, editId, text, 16);
  return qvn::BreakMinutesParse(text, nullptr);
}

}  // namespace

void QMCDlgTabBreak::SoundBrowse(int listId) {
  wchar_t file[qvn::kSoundPathRoom] = {};
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = m_window;
  ofn.lpstrFilter = L"*.Wav\0*.Wav\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = qvn::kSoundPathRoom;
  ofn.lpstrTitle = L"Select For Break Alarm";
  if (!qvn::IsolationAwareGetOpenFileNameW(&ofn)) return;
  PageChangedMark();
  if (qvn::SoundPathIsNetwork(file)) {
    MessageBoxW(nullptr, L"Network File cannot be supported", L"Error", MB_OK);
    return;
  }
  wchar_t dir[MAX_PATH];
  WindowsDirGet(dir);
  wchar_t stored[qvn::kSoundPathRoom];
  if (!qvn::SoundNameFromBrowsedPath(file, dir, stored, qvn::kSoundPathRoom)) return;
  ComboSelect(m_window, listId, stored);
}

void InitBreakDlg(HWND page) {
  DebugPrint(qvn::kCplLogTrace, L"InitBreakDlg");
  struct Box {
    int id;
    const wchar_t* setting;
  };
  static const Box kBoxes[] = {{kBreakCheck, L"CheckBreakReminder"},      {kBreakVisual, L"RadioBreakVisualAlert"},
                               {kBreakAudio, L"RadioBreakAudioAlert"},    {kResumeCheck, L"CheckResumeReminder"},
                               {kResumeVisual, L"RadioResumeVisualAlert"}, {kResumeAudio, L"RadioResumeAudioAlert"}};
  for (const Box& box : kBoxes)
    CheckDlgButton(page, box.id, QMCSettingRegistryUserLongGet(box.setting) ? BST_CHECKED : BST_UNCHECKED);

  SendDlgItemMessageW(page, kBreakSoundList, CB_RESETCONTENT, 0, 0);
  SendDlgItemMessageW(page, kResumeSoundList, CB_RESETCONTENT, 0, 0);
  MediaFilesAdd(page);
  wchar_t sound[qvn::kSoundPathRoom];
  QMCSettingRegistryUserStringGet(sound, L"BreakAudioWaveFile");
  ComboSelect(page, kBreakSoundList, sound);
  QMCSettingRegistryUserStringGet(sound, L"BreakResumeWaveFile");
  ComboSelect(page, kResumeSoundList, sound);

  MinutesShow(page, kBreakMinutes, L"EditBreakTime");
  MinutesShow(page, kResumeMinutes, L"EditResumeTime");
}

INT_PTR QMCDlgTabBreak::DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
  DebugPrint(qvn::kCplLogDialog, L"DlgProcBreak");
  switch (message) {
    case WM_INITDIALOG:
      InitBreakDlg(m_window);
      m_preview.Start(m_window);
      break;
    case WM_DESTROY:
      m_preview.Stop();
      break;
    case WM_TIMER:
      if (wParam == qvn::kBreakPreviewTimer) m_preview.TimeToPlayWaveFileProc();
      break;
    case qvn::WM_APP_BREAK_PREVIEW_STATE:
      m_preview.StateApply(wParam, lParam);
      break;
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      int code = HIWORD(wParam);
      switch (id) {
        case kBreakCheck:
          if (code != BN_CLICKED) break;
          {
            bool on = IsDlgButtonChecked(m_window, kBreakCheck) == BST_CHECKED;
            CheckDlgButton(m_window, kResumeCheck, BST_UNCHECKED);
            EnableWindow(GetDlgItem(m_window, kResumeCheck), on ? TRUE : FALSE);
            PageChangedMark();
          }
          break;
        case kBreakMinutes: case kBreakVisual: case kBreakAudio: case kResumeCheck: case kResumeMinutes:
        case kResumeVisual: case kResumeAudio: case kBreakSoundList: case kResumeSoundList:
          if (code == 0 || code == 1 || code == EN_CHANGE) PageChangedMark();
          break;
        case kBreakBrowse:
          SoundBrowse(kBreakSoundList);
          break;
        case kResumeBrowse:
          SoundBrowse(kResumeSoundList);
          break;
        case kBreakPreview:
        case kResumePreview: {
          wchar_t entry[qvn::kSoundPathRoom] = {};
          GetDlgItemTextW(m_window, id == kBreakPreview ? kBreakSoundList : kResumeSoundList, entry,
                          qvn::kSoundPathRoom);
          m_preview.ButtonPressed(id == kBreakPreview, entry);
          break;
        }
        default:
          break;
      }
      break;
    }
    default:
      break;
  }
  return 0;
}

int QMCDlgTabBreak::Apply() {
  DebugPrint(qvn::kCplLogTrace, L"QMCDlgTabBreak::Apply");
  // Minutes outside 1..999 (an empty box, 0, pasted text) store nothing.
  if (!MinutesValid(m_window, kBreakMinutes)) {
    InputRefuse(kBreakMinutes, L"Break every: enter a whole number of minutes from 1 to 999.");
    return 0;
  }
  if (!MinutesValid(m_window, kResumeMinutes)) {
    InputRefuse(kResumeMinutes, L"Resume after: enter a whole number of minutes from 1 to 999.");
    return 0;
  }
  enum Kind { kCheck, kText, kSound };
  static const struct {
    int id;
    Kind kind;
    const wchar_t* setting;
  } kBindings[] = {
      {kBreakCheck, kCheck, L"CheckBreakReminder"},      {kBreakMinutes, kText, L"EditBreakTime"},
      {kBreakVisual, kCheck, L"RadioBreakVisualAlert"},   {kBreakAudio, kCheck, L"RadioBreakAudioAlert"},
      {kBreakSoundList, kSound, L"BreakAudioWaveFile"},   {kResumeCheck, kCheck, L"CheckResumeReminder"},
      {kResumeMinutes, kText, L"EditResumeTime"},         {kResumeVisual, kCheck, L"RadioResumeVisualAlert"},
      {kResumeAudio, kCheck, L"RadioResumeAudioAlert"},   {kResumeSoundList, kSound, L"BreakResumeWaveFile"}};
  for (const auto& b : kBindings) {
    bool stored = b.kind == kCheck  ? DlgItemToRegistryLong(b.id, BM_GETCHECK, b.setting)
                  : b.kind == kText ? InternalDlgItemToRegistryString(b.id, WM_GETTEXT, b.setting)
                                    : SoundStore(m_window, b.id, b.setting);
    if (!SaveRecord(stored, b.setting)) break;
  }
  // After a failure the page keeps what the user chose.
  if (SaveProceed()) InitBreakDlg(m_window);
  if (SaveAnyStored()) ExecutiveMessagePost(WM_RESET_BREAKTIMERS, 1);
  return 0;
}

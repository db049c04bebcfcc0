#include "main_dialog.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>

#include "dest_folder.h"
#include "file_system.h"
#include "globals.h"
#include "help.h"
#include "progress_dialog.h"
#include "request.h"
#include "resource_ids.h"
#include "settings.h"
#include "size_presets.h"
#include "split_job.h"
#include "split_size.h"
#include "tray.h"

int DisplayState = kDisplayShown;
bool TrayRestorePending = false;

namespace {

bool splitRunning = false;
// The system's own WM_DESTROY after the posted one must not release things again.
bool tornDown = false;

// Unit tests run the dialog without a store: every flag then reads false.
bool UseMRUD() { return AppSettings != nullptr && AppSettings->GetUseMRUD(); }
bool MinToSysTray() { return AppSettings != nullptr && AppSettings->GetMinToSysTray(); }

// Where no notification area exists (Wine has a taskbar without one) the
// animation is skipped, but the window must still go and come back.
void HideToTray(HWND dialog) {
  if (!AnimateTrayTransition(dialog, true)) ShowWindow(dialog, SW_HIDE);
}

void ShowFromTray(HWND dialog) {
  if (!AnimateTrayTransition(dialog, false)) ShowWindow(dialog, SW_SHOW);
}

void FillSizeList(HWND dialog) {
  HWND sizeList = GetDlgItem(dialog, IDC_SIZE_LIST);
  for (const SizePreset& preset : SizePresets) {
    SendMessageA(sizeList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset.text));
  }
  SendMessageA(sizeList, CB_SETCURSEL, kFloppyPresetIndex, 0);
}

void FillDestinationList(HWND dialog) {
  if (AppSettings == nullptr) return;
  HWND destination = GetDlgItem(dialog, IDC_DEST_FOLDER);
  char entry[kPathBufferSize] = {};
  for (bool more = AppSettings->NextMRUD(entry, 1); more; more = AppSettings->NextMRUD(entry, 2)) {
    if (entry[0] != '\0') SendMessageA(destination, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  }
  if (UseMRUD()) {
    SendMessageA(destination, CB_SETCURSEL, 0, 0);
    GetDlgItemTextA(dialog, IDC_DEST_FOLDER, SplitJob.destFolder, sizeof SplitJob.destFolder);
  }
}

INT_PTR OnInitDialog(HWND dialog) {
  splitRunning = false;
  tornDown = false;
  TrayRestorePending = false;
  // The drop target is created and registered here once it exists.
  DisplayState = kDisplayShown;
  // On the class, so that every dialog of PLYX carries the icon.
  SetClassLongPtrA(dialog, GCLP_HICON,
                   reinterpret_cast<LONG_PTR>(LoadIconA(InstanceHandle, MAKEINTRESOURCEA(IDI_PLYX))));
  FillSizeList(dialog);
  FillDestinationList(dialog);
  // The tooltips are created here once they exist.
  if (SplitJob.sourcePath[0] != '\0') {
    OnSourceFileChosen(dialog);
  } else {
    SetFocus(GetDlgItem(dialog, IDC_SOURCE_FILE));
  }
  MainWindowHandle = dialog;
  return FALSE;
}

void ComposeOutcome(char* text, std::size_t textSize) {
  if (SplitJob.currentPart == SplitJob.partCount + 1) {
    std::snprintf(text, textSize, "File\t : %s Split Successfully\n#Parts\t : %u part(s) \nTarget Dir\t : %s",
                  PathFindFileNameA(SplitJob.sourcePath), static_cast<unsigned>(SplitJob.partCount),
                  SplitJob.destFolder);
  } else {
    std::snprintf(text, textSize, "%s", "!!! File Split Cancelled, as requested !!!");
  }
}

void OnSplit(HWND dialog) {
  if (!CheckSplitRequest(dialog)) return;
  HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  splitRunning = true;
  DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_PROGRESS), dialog, ProgressDialog, 0);
  splitRunning = false;
  // Fails, leaving the folder as it is, when the backslash would not fit.
  PathAddBackslashA(SplitJob.destFolder);
  // Room for a whole file name and folder: a 260-byte buffer would cut the report short.
  char message[2 * kPathBufferSize + 80];
  ComposeOutcome(message, sizeof message);
  MessageBoxA(dialog, message, kAppTitle, MB_ICONINFORMATION);
  if (AppSettings != nullptr) AppSettings->AddMRUD(SplitJob.destFolder);
  ResetSplitRequest(dialog);
  SetCursor(previous);
}

void OnSourceBoxLeft(HWND dialog) {
  GetDlgItemTextA(dialog, IDC_SOURCE_FILE, SplitJob.sourcePath, sizeof SplitJob.sourcePath);
  if (FileExists(SplitJob.sourcePath) && ReadSourceFileSize(dialog)) UpdatePartCount(dialog);
}

void OnSizeChosen(HWND dialog) {
  SelectSplitSize(dialog, GetDlgItem(dialog, IDC_SIZE_LIST));
  if (FileExists(SplitJob.sourcePath)) UpdatePartCount(dialog);
}

void OnDestinationLeft(HWND dialog) {
  GetDlgItemTextA(dialog, IDC_DEST_FOLDER, SplitJob.destFolder, sizeof SplitJob.destFolder);
  CheckDestinationFolder(dialog, SplitJob.destFolder);
}

INT_PTR OnCommand(HWND dialog, WORD id, WORD code) {
  // The request fields are the worker's while a split runs; a field losing the
  // focus to the progress window must not rewrite them.
  const bool requestOpen = !splitRunning;
  switch (id) {
    case IDC_ABOUT:  // the About dialog comes here
      break;
    case IDC_SPLIT:
      if (requestOpen) OnSplit(dialog);
      break;
    case IDC_HELP_BUTTON:
      ShowHelp(dialog);
      break;
    case IDC_BROWSE_FILE:  // the file picker comes here
    case IDC_BROWSE_FOLDER:  // the folder picker comes here
      break;
    case IDC_SOURCE_FILE:
      if (code == EN_KILLFOCUS && requestOpen) OnSourceBoxLeft(dialog);
      break;
    case IDC_SIZE_LIST:
      if (code == CBN_SELCHANGE && requestOpen) OnSizeChosen(dialog);
      break;
    case IDC_CLOSE:
      PostMessageA(dialog, WM_DESTROY, 0, 0);
      break;
    case IDC_CUSTOMIZE:  // the preferences sheet comes here
      break;
    case IDC_DEST_FOLDER:
      if (code == CBN_KILLFOCUS && requestOpen) OnDestinationLeft(dialog);
      break;
    default:
      break;
  }
  return TRUE;
}

void BringBack(HWND dialog) {
  switch (DisplayState) {
    case kDisplayTaskbar:
      SendMessageA(dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
      break;
    case kDisplayTray:
      ShowFromTray(dialog);
      SetTrayIcon(dialog, false);
      TrayRestorePending = false;
      DisplayState = kDisplayShown;
      break;
    default:
      ShowWindow(dialog, SW_SHOW);
      SetActiveWindow(dialog);
      SetForegroundWindow(dialog);
      break;
  }
  // While a split runs the window is disabled; the progress window (or its
  // question) is what the user must see.
  if (splitRunning) SetForegroundWindow(GetLastActivePopup(dialog));
}

void OnCopyData(HWND dialog, const COPYDATASTRUCT* data) {
  if (data == nullptr || data->dwData != PLYX_HANDOVER_TAG) return;
  BringBack(dialog);
  if (splitRunning) return;
  char text[kPathBufferSize];
  if (!TakeHandOverText(data, text, sizeof text) || !FileExists(text)) return;
  std::memcpy(SplitJob.sourcePath, text, sizeof text);
  OnSourceFileChosen(dialog);
}

INT_PTR OnSysCommand(HWND dialog, WPARAM command) {
  // The low four bits are the system's own.
  switch (command & 0xFFF0) {
    case SC_MINIMIZE:
      if (!MinToSysTray()) {
        DisplayState = kDisplayTaskbar;
        return FALSE;
      }
      HideToTray(dialog);
      SetTrayIcon(dialog, true);
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
      DisplayState = kDisplayTray;
      return TRUE;
    case SC_RESTORE:
      DisplayState = kDisplayShown;
      return FALSE;
    default:
      return FALSE;
  }
}

void OnTrayMessage(HWND dialog, LPARAM mouseMessage) {
  switch (LOWORD(mouseMessage)) {
    case WM_LBUTTONDBLCLK:
      ShowFromTray(dialog);
      TrayRestorePending = true;
      break;
    case WM_LBUTTONUP:
      if (!TrayRestorePending) break;
      TrayRestorePending = false;
      SetTrayIcon(dialog, false);
      DisplayState = kDisplayShown;
      break;
    default:
      break;
  }
}

void OnDestroy() {
  if (tornDown) return;
  tornDown = true;
  // Tooltips are destroyed and the drop target revoked here once they exist.
  PostQuitMessage(0);
}

}  // namespace

bool TakeHandOverText(const COPYDATASTRUCT* data, char* text, std::size_t textSize) {
  text[0] = '\0';
  if (data == nullptr || data->dwData != PLYX_HANDOVER_TAG) return false;
  if (data->cbData >= textSize) return false;
  if (data->cbData > 0 && data->lpData == nullptr) return false;
  if (data->cbData > 0) std::memcpy(text, data->lpData, data->cbData);
  text[data->cbData] = '\0';
  return true;
}

INT_PTR CALLBACK MainDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_COMMAND:
      return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_COPYDATA:
      OnCopyData(dialog, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return FALSE;
    case WM_SYSCOMMAND:
      return OnSysCommand(dialog, wParam);
    case WM_PLYX_TRAY:
      OnTrayMessage(dialog, lParam);
      return FALSE;
    case WM_CLOSE:
      PostMessageA(dialog, WM_DESTROY, 0, 0);
      return FALSE;
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
    default:
      return FALSE;
  }
}

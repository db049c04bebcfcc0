#include "main_dialog.h"

#include <shlwapi.h>

#include <cstring>
#include <string>

#include "about_dialog.h"
#include "ansi_text.h"
#include "callback_guard.h"
#include "dest_folder.h"
#include "drop_target.h"
#include "file_system.h"
#include "focus_rules.h"
#include "globals.h"
#include "help.h"
#include "message_box.h"
#include "name_gate.h"
#include "pickers.h"
#include "preferences.h"
#include "progress_dialog.h"
#include "request.h"
#include "resource_ids.h"
#include "screen.h"
#include "settings.h"
#include "size_presets.h"
#include "split_job.h"
#include "split_size.h"
#include "tooltips.h"
#include "tray.h"

namespace {

enum DisplayStates : int {
  kDisplayShown = 1,
  kDisplayTaskbar = 2,  // minimised by the system
  kDisplayTray = 3,     // hidden, icon in the notification area
};

// What the main window keeps between its messages, on the user-interface
// thread only; reset as the window opens.
struct MainWindowState {
  int displayState = kDisplayShown;  // DisplayState
  // A double click on the tray icon has shown the window; the button-up that
  // follows removes the icon.
  bool trayRestorePending = false;
  // From Split to the reset after it: the request is the worker's, then the outcome's.
  bool splitSequence = false;
  bool progressOpen = false;
  // A close asked for during the split sequence, carried out once it is over.
  bool closeAfterSplit = false;
  // PLYX is ending: the teardown has run, once, whichever WM_DESTROY came first.
  bool tornDown = false;
  // A field was left and its check is queued; the destination's check is running.
  bool sourceCheckDue = false;
  bool destinationCheckDue = false;
  bool checkingDestination = false;
  // The destination field's whole text as it was left, for its check, and
  // the gate's refusal of it.
  std::wstring leftDestination;
  NameVerdict leftVerdict{};
  // The latest file handed over while the request could not take it.
  char heldHandOver[kPathBufferSize] = {};
};
MainWindowState state;

// Posted to the main dialog: the focus change that left a field (its ID in
// wParam) is over; the window may take a held hand-over.
constexpr UINT kCheckLeftField = WM_APP;
constexpr UINT kTakeHandOver = WM_APP + 1;

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
    TakeDestinationName(FieldText(dialog, IDC_DEST_FOLDER).c_str(), NameEntry::kHistory);
  }
}

// A dropped folder is the destination as it stands; its check comes before a split.
void TakeDroppedFolder(HWND dialog, const char* folder) {
  if (TakeDestinationName(folder, NameEntry::kDrop).taken) {
    SetDlgItemTextA(dialog, IDC_DEST_FOLDER, SplitJob.destFolder);
  }
}

INT_PTR OnInitDialog(HWND dialog) {
  state = MainWindowState{};
  InstallDropTarget(dialog, RequestAcceptsChanges, TakeDroppedFolder);
  // On the class, so that every dialog of PLYX carries the icon; the title
  // bar's own, or Windows shrinks the large one.
  SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(PlyxLargeIcon()));
  SetClassLongPtrA(dialog, GCLP_HICONSM, reinterpret_cast<LONG_PTR>(PlyxSmallIcon()));
  FillSizeList(dialog);
  FillDestinationList(dialog);
  if (ToolTipEn()) CreateMainToolTips(dialog);
  if (SplitJob.sourcePath[0] != '\0') {
    OnSourceFileChosen(dialog);
  } else {
    SetFocus(GetDlgItem(dialog, IDC_SOURCE_FILE));
  }
  MainWindowHandle = dialog;
  return FALSE;
}

void ShowOutcome(HWND dialog, SplitOutcome outcome) {
  switch (outcome) {
    case SplitOutcome::kSplit:
      ShowComposedMessage(dialog, MessageId::kSplitDone, PathFindFileNameA(SplitJob.sourcePath),
                          static_cast<unsigned>(SplitJob.partCount), SplitJob.destFolder);
      break;
    case SplitOutcome::kStoppedByUser:
      ShowMessage(dialog, MessageId::kSplitStopped);
      break;
    case SplitOutcome::kFailed:
      ShowMessage(dialog, MessageId::kSplitFailed);
      break;
  }
}

// The teardown, once: tooltips, drop target, quit message. The quit message
// alone may not end PLYX: a nested modal loop running when it comes takes it
// (Wine's loop of the system menu drops it and goes on). So an open menu is
// ended (EndMenu), and the dialog's own end mark is seen by its loop once any
// nested loop is over.
void EndPlyx(HWND dialog) {
  if (state.tornDown) return;
  state.tornDown = true;
  DestroyMainToolTips();
  RemoveDropTarget(dialog);
  PostQuitMessage(0);
  EndMenu();
  EndDialog(dialog, 0);
}

// Under a modal window of PLYX's own, and during a split and its outcome, the
// request stays as it is: the latest file handed over meanwhile is taken once
// the main window is the user's again.
void TakeHeldHandOver(HWND dialog) {
  if (state.heldHandOver[0] == '\0' || !RequestAcceptsChanges()) return;
  char path[kPathBufferSize];
  std::memcpy(path, state.heldHandOver, sizeof path);
  state.heldHandOver[0] = '\0';
  // Not if gone meanwhile.
  if (TakeSourceName(path, NameEntry::kHandOver).taken) OnSourceFileChosen(dialog);
}

void OnSplit(HWND dialog) {
  if (!CheckSplitRequest(dialog)) return;
  HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  state.splitSequence = state.progressOpen = true;
  const SplitOutcome outcome = RunProgressDialog(dialog);
  state.progressOpen = false;
  EndDestinationWithBackslash();
  ShowOutcome(dialog, outcome);
  if (AppSettings != nullptr) AppSettings->AddMRUD(SplitJob.destFolder);
  ResetSplitRequest(dialog);
  state.splitSequence = false;
  SetCursor(previous);
  if (state.closeAfterSplit) {
    PostMessageA(dialog, WM_DESTROY, 0, 0);
  } else {
    TakeHeldHandOver(dialog);
  }
}

// The tooltip hook serves one manager at a time: the About box has its own.
void OnAbout(HWND dialog) {
  DestroyMainToolTips();
  DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
  // A close from outside ends the box through the quit message: no tips after the teardown.
  if (!state.tornDown && ToolTipEn()) CreateMainToolTips(MainWindowHandle);
}

// The picker's result goes into the request only if it may still change. It
// is newer than a file handed over while the picker was open.
void OnBrowseFile(HWND dialog) {
  std::wstring path;
  if (!PickSourceFile(dialog, &path) || !RequestAcceptsChanges()) return;
  const NameVerdict verdict = TakeSourceName(path.c_str(), NameEntry::kPicker);
  ShowNameRefusal(dialog, verdict, path.c_str());
  if (!verdict.taken) return;
  state.heldHandOver[0] = '\0';
  OnSourceFileChosen(dialog);
}

void OnBrowseFolder(HWND dialog) {
  std::wstring folder;
  if (!PickDestinationFolder(dialog, &folder) || !RequestAcceptsChanges()) return;
  const NameVerdict verdict = TakeDestinationName(folder.c_str(), NameEntry::kPicker);
  ShowNameRefusal(dialog, verdict, folder.c_str());
  if (verdict.taken) SetDlgItemTextA(dialog, IDC_DEST_FOLDER, SplitJob.destFolder);
}

void OnSizeChosen(HWND dialog) {
  SelectSplitSize(dialog, GetDlgItem(dialog, IDC_SIZE_LIST));
  if (FileExists(SplitJob.sourcePath)) {
    UpdatePartCount(dialog);
  } else {
    ShowSplitSize(dialog);
  }
}

bool FocusGoesTo(HWND dialog, int control) { return GetFocus() == GetDlgItem(dialog, control); }

// WM_KILLFOCUS is sent "immediately before" the field loses the focus
// (Windows' documentation; Wine moves the focus first), so where it went is
// known only once the change is over: the field's check is posted and runs then.
void OnFieldLeft(HWND dialog, int field) {
  bool& due = field == IDC_SOURCE_FILE ? state.sourceCheckDue : state.destinationCheckDue;
  if (!due) PostMessageA(dialog, kCheckLeftField, field, 0);
  due = true;
}

// A field is checked only when left for another control of this window: not
// for another window (the help viewer, a dialog or box, another program),
// where a refusal would take the focus back from it without end, nor as the
// window is minimised or hidden; the dialog gives the field the focus again
// when it comes back. Never for Close either: PLYX must always be closable,
// and a refusal shown on its button-down would swallow the click.
bool LeftForAnotherControl(HWND dialog, int field) {
  HWND focus = GetFocus(), box = GetDlgItem(dialog, field);
  return focus != nullptr && IsChild(dialog, focus) && focus != box && !IsChild(box, focus) && !IsIconic(dialog) &&
         IsWindowVisible(dialog) && !FocusGoesTo(dialog, IDC_CLOSE);
}

// The file box is read as its check runs: read earlier, a check left out
// would leave the request naming the typed file with the size of the one
// before. False when the file was refused.
bool CheckLeftSource(HWND dialog) {
  if (!state.sourceCheckDue) return true;
  state.sourceCheckDue = false;
  return !RequestAcceptsChanges() || SourceRefusalOpen() || !LeftForAnotherControl(dialog, IDC_SOURCE_FILE) ||
         TakeTypedSourceFile(dialog);
}

// The destination follows the field at once, as far as the gate takes it: a
// name that does not fit is no destination (cut, it would name another
// folder), and its check refuses it.
void OnDestinationLeft(HWND dialog) {
  state.leftDestination = FieldText(dialog, IDC_DEST_FOLDER);
  state.leftVerdict = TakeDestinationName(state.leftDestination.c_str(), NameEntry::kTyped);
  OnFieldLeft(dialog, IDC_DEST_FOLDER);
}

// Never under the check's own refusal, which puts the focus back. A folder
// about to be picked needs no check: a refusal on its button-down would
// swallow the click. Split checks the folder again in any case.
void CheckLeftDestination(HWND dialog) {
  state.destinationCheckDue = false;
  if (state.checkingDestination || !RequestAcceptsChanges() || !LeftForAnotherControl(dialog, IDC_DEST_FOLDER)) {
    return;
  }
  // Browse is also the next tab stop, and Tab onto it is no click.
  if (FocusGoesTo(dialog, IDC_BROWSE_FOLDER) && GetKeyState(VK_LBUTTON) < 0) return;
  state.checkingDestination = true;
  std::string typed;
  if (!state.leftVerdict.refusal && WideToExactAnsi(state.leftDestination.c_str(), &typed)) {
    CheckDestinationFolder(dialog, typed.c_str());
  } else {
    // Refused by the gate (a name without an exact ANSI form): back into the field as the check refuses.
    ShowNameRefusal(dialog, state.leftVerdict, state.leftDestination.c_str());
    HWND box = GetDlgItem(dialog, IDC_DEST_FOLDER);
    SendMessageA(box, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    SetFocus(box);
  }
  state.checkingDestination = false;
}

// The dialog manager answers Enter in a field with the button that carries
// the default style, and moving the focus by hand leaves that style behind.
// So no button carries it while a field has the focus, and DM_GETDEFID names
// only the push button that has the focus.
void DropDefaultStyle(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) {
      SendMessageA(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
  }
}

LRESULT FocusedButtonId(HWND dialog) {
  HWND focus = GetFocus();
  if (focus == nullptr || GetParent(focus) != dialog) return 0;
  if (!(SendMessageA(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) return 0;
  return MAKELONG(GetDlgCtrlID(focus), DC_HASDEFID);
}

// The worker is never stopped by force, and the quit message would end the
// progress window's loop under it: during a split a close goes to the
// progress window, which asks, and PLYX ends once the sequence is over.
void RequestClose(HWND dialog) {
  if (!state.splitSequence) {
    PostMessageA(dialog, WM_DESTROY, 0, 0);
    return;
  }
  if (state.progressOpen) SendMessageA(OwnedDialog(dialog), WM_CLOSE, 0, 0);
  // Declined: the split goes on, and so does PLYX.
  if (!state.progressOpen || SplitJob.finished || SplitJob.cancelRequested) state.closeAfterSplit = true;
}

INT_PTR OnCommand(HWND dialog, WORD id, WORD code) {
  // The request is the worker's and the outcome's during a split, and stays
  // as it is under a modal window; a field left then is read when left again.
  const bool requestOpen = RequestAcceptsChanges();
  switch (id) {
    case IDC_ABOUT:
      OnAbout(dialog);
      break;
    case IDC_SPLIT:
      // Split may come before the file box's posted check: a click posted to
      // the button moves the focus and presses it in one message. A refusal
      // there takes the click, as it does a real one's.
      if (CheckLeftSource(dialog) && RequestAcceptsChanges()) OnSplit(dialog);
      break;
    case IDC_HELP_BUTTON:
      ShowHelp(dialog);
      break;
    case IDC_BROWSE_FILE:
      if (requestOpen) OnBrowseFile(dialog);
      break;
    case IDC_BROWSE_FOLDER:
      if (requestOpen) OnBrowseFolder(dialog);
      break;
    case IDC_SOURCE_FILE:
      if (code == EN_SETFOCUS) DropDefaultStyle(dialog);
      if (code == EN_KILLFOCUS && requestOpen) OnFieldLeft(dialog, IDC_SOURCE_FILE);
      break;
    case IDC_SIZE_LIST:
      if (code == CBN_SETFOCUS) DropDefaultStyle(dialog);
      if (code == CBN_SELCHANGE && requestOpen) OnSizeChosen(dialog);
      break;
    case IDC_CLOSE:
      RequestClose(dialog);
      break;
    case IDC_CUSTOMIZE:
      ShowPreferences(dialog);
      break;
    case IDC_DEST_FOLDER:
      if (code == CBN_SETFOCUS) DropDefaultStyle(dialog);
      if (code == CBN_KILLFOCUS && requestOpen) OnDestinationLeft(dialog);
      break;
    default:
      break;
  }
  return TRUE;
}

void BringBack(HWND dialog) {
  switch (state.displayState) {
    case kDisplayTaskbar:
      SendMessageA(dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
      break;
    case kDisplayTray:
      ShowFromTray(dialog);
      SetTrayIcon(dialog, false);
      state.trayRestorePending = false;
      state.displayState = kDisplayShown;
      break;
    default:
      ShowWindow(dialog, SW_SHOW);
      if (RaiseOpenWindows(dialog)) break;
      SetActiveWindow(dialog);
      SetForegroundWindow(dialog);
      break;
  }
}

void OnCopyData(HWND dialog, const COPYDATASTRUCT* data) {
  if (data == nullptr || data->dwData != PLYX_HANDOVER_TAG) return;
  // Taken first: the sender stops waiting after a few seconds.
  char text[kPathBufferSize];
  const bool taken = TakeHandOverText(data, text, sizeof text);
  BringBack(dialog);
  if (!taken || !FileExists(text)) return;
  std::memcpy(state.heldHandOver, text, sizeof text);
  TakeHeldHandOver(dialog);
}

INT_PTR OnSysCommand(HWND dialog, WPARAM command) {
  // The low four bits are the system's own.
  switch (command & 0xFFF0) {
    case SC_MINIMIZE:
      // Hidden with no icon, the window could never be brought back. (Shown
      // again by other means, it still has its icon.)
      if (!MinToSysTray() || !(state.displayState == kDisplayTray || SetTrayIcon(dialog, true))) {
        state.displayState = kDisplayTaskbar;
        return FALSE;
      }
      HideToTray(dialog);
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
      state.displayState = kDisplayTray;
      return TRUE;
    case SC_RESTORE:
      state.displayState = kDisplayShown;
      return FALSE;
    default:
      return FALSE;
  }
}

void OnTrayMessage(HWND dialog, LPARAM mouseMessage) {
  switch (LOWORD(mouseMessage)) {
    case WM_LBUTTONDBLCLK:
      ShowFromTray(dialog);
      state.trayRestorePending = true;
      break;
    case WM_LBUTTONUP:
      if (!state.trayRestorePending) break;
      state.trayRestorePending = false;
      SetTrayIcon(dialog, false);
      state.displayState = kDisplayShown;
      break;
    default:
      break;
  }
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

bool RequestAcceptsChanges() {
  // A modal dialog or owned message box disables the main window. Once torn
  // down, the fields are read no more: the file box losing the focus as the
  // window goes would check a refused file again and hold PLYX open.
  return !state.splitSequence && !state.tornDown && (!IsWindow(MainWindowHandle) || IsWindowEnabled(MainWindowHandle));
}

namespace {

INT_PTR OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
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
    case DM_GETDEFID:
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, FocusedButtonId(dialog));
      return TRUE;
    case WM_CLOSE:
      RequestClose(dialog);
      return FALSE;
    case WM_ENABLE:
      // Once the modal window's own end is over.
      if (wParam && state.heldHandOver[0] != '\0') PostMessageA(dialog, kTakeHandOver, 0, 0);
      return FALSE;
    case kTakeHandOver:
      TakeHeldHandOver(dialog);
      return TRUE;
    case kCheckLeftField:
      if (wParam == IDC_SOURCE_FILE) {
        CheckLeftSource(dialog);
      } else {
        CheckLeftDestination(dialog);
      }
      return TRUE;
    case WM_DESTROY:
      // Posted by this window, by its drop target, or by another program as a
      // close: during a split it is a close like any other; else PLYX ends
      // the one way, which a nested loop cannot swallow. The system's own,
      // as the window goes, finds the teardown done.
      if (state.splitSequence) {
        RequestClose(dialog);
      } else {
        EndPlyx(dialog);
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK MainDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback(FALSE, [&] { return OnMessage(dialog, message, wParam, lParam); });
}

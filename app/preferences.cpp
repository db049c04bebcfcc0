#include "preferences.h"

#include <cstring>

#include "callback_guard.h"
#include "globals.h"
#include "message_box.h"
#include "resource_ids.h"
#include "settings.h"
#include "shell_verb.h"
#include "tooltips.h"

static_assert(kSheetHeaderSize == (sizeof(void*) == 4 ? 52 : 96), "the header's second form");
static_assert(kSheetPageSize == (sizeof(void*) == 4 ? 48 : 88), "the page's second form");

namespace {

void MarkChanged(HWND page) { SendMessageA(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0); }

bool Checked(HWND page, int control) { return IsDlgButtonChecked(page, control) == BST_CHECKED; }

void SetChecked(HWND page, int control, bool on) { CheckDlgButton(page, control, on ? BST_CHECKED : BST_UNCHECKED); }

UINT CALLBACK PageCallback(HWND, UINT message, LPPROPSHEETPAGEA) {
  return GuardCallback(0u, [&] { return message == PSPCB_CREATE ? 1u : 0u; });
}

int CALLBACK SheetCallback(HWND, UINT, LPARAM) {
  return GuardCallback(0, [] { return 0; });
}

// The stored limit, or the limit in force when it cannot be read or is out of
// range, so that the page never opens on its own refusal.
UINT ShownLimit() {
  const UINT stored = AppSettings->GetMRUDLimit();
  return MrudLimitFits(stored) ? stored : AppSettings->mrudLimit;
}

void InitDirectoryPage(HWND page) {
  // Raises EN_CHANGE as typing does, so the page counts as changed from the start.
  SetDlgItemInt(page, IDC_PREF_LIMIT, ShownLimit(), FALSE);
  const bool useHistory = AppSettings->GetUseMRUD();
  SetChecked(page, IDC_PREF_SAME_AS_SOURCE, !useHistory);
  SetChecked(page, IDC_PREF_USE_HISTORY, useHistory);
}

void OnLimitChanged(HWND page) {
  if (MrudLimitFits(GetDlgItemInt(page, IDC_PREF_LIMIT, nullptr, FALSE))) {
    MarkChanged(page);
    return;
  }
  ShowMessage(page, MessageId::kLimitRefusal);
  HWND field = GetDlgItem(page, IDC_PREF_LIMIT);
  SetFocus(field);
  SendMessageA(field, EM_SETSEL, 0, -1);
}

void ApplyDirectoryPage(HWND page) {
  // Writes nothing for a limit outside 1 to 7.
  AppSettings->SetMRUDLimit(GetDlgItemInt(page, IDC_PREF_LIMIT, nullptr, FALSE));
  AppSettings->SetUseMRUD(Checked(page, IDC_PREF_USE_HISTORY));
}

void ApplyGeneralPage(HWND page) {
  AppSettings->SetMinToSysTray(Checked(page, IDC_PREF_TRAY));
  const bool shellVerb = Checked(page, IDC_PREF_SHELL);
  AppSettings->SetShlRtClkEn(shellVerb);
  // Failures are not reported, as for every write of the settings.
  shellVerb ? RegisterShellVerb() : RemoveShellVerb();
  const bool toolTips = Checked(page, IDC_PREF_TOOLTIPS);
  AppSettings->SetToolTipEn(toolTips);
  if (toolTips) {
    CreateMainToolTips(MainWindowHandle);
  } else {
    DestroyMainToolTips();
  }
}

// Every notification is handled with the result 0: PSN_KILLACTIVE lets the
// page be left, PSN_APPLY reports no error. The one exception: no dialog of
// PLYX closes on Escape, which the sheet turns into its Cancel button.
INT_PTR OnNotify(HWND page, const NMHDR* header, void (*apply)(HWND)) {
  const bool escape = header->code == static_cast<UINT>(PSN_QUERYCANCEL) && GetKeyState(VK_ESCAPE) < 0;
  SetWindowLongPtrA(page, DWLP_MSGRESULT, escape);
  if (header->code == static_cast<UINT>(PSN_APPLY)) apply(page);
  return TRUE;
}

void FillPage(void* record, int templateId, const char* title, DLGPROC procedure) {
  PROPSHEETPAGEA page{};
  page.dwSize = kSheetPageSize;
  page.dwFlags = PSP_USETITLE | PSP_USECALLBACK;
  page.hInstance = InstanceHandle;
  page.pszTemplate = MAKEINTRESOURCEA(templateId);
  page.pszTitle = title;
  page.pfnDlgProc = procedure;
  page.pfnCallback = PageCallback;
  std::memcpy(record, &page, kSheetPageSize);
}

}  // namespace

INT_PTR ShowPreferences(HWND mainDialog) {
  if (AppSettings == nullptr) return -1;
  alignas(PROPSHEETPAGEA) unsigned char pages[2][kSheetPageSize];
  FillPage(pages[0], IDD_PREF_DIRECTORY, "Directory", DirectoryPageProc);
  FillPage(pages[1], IDD_PREF_GENERAL, "General", GeneralPageProc);
  PROPSHEETHEADERA header{};
  header.dwSize = kSheetHeaderSize;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
  header.hwndParent = mainDialog;
  header.hInstance = InstanceHandle;
  header.pszCaption = "PLYX Preferences";
  header.nPages = 2;
  header.nStartPage = 0;
  header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages);
  header.pfnCallback = SheetCallback;
  return PropertySheetA(&header);
}

INT_PTR CALLBACK DirectoryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback(INT_PTR{FALSE}, [&]() -> INT_PTR {
    switch (message) {
      case WM_INITDIALOG:
        InitDirectoryPage(page);
        return FALSE;
      case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED &&
            (LOWORD(wParam) == IDC_PREF_SAME_AS_SOURCE || LOWORD(wParam) == IDC_PREF_USE_HISTORY)) {
          MarkChanged(page);
        } else if (HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) == IDC_PREF_LIMIT) {
          OnLimitChanged(page);
        }
        return FALSE;
      case WM_NOTIFY:
        return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam), ApplyDirectoryPage);
      default:
        return FALSE;
    }
  });
}

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback(INT_PTR{FALSE}, [&]() -> INT_PTR {
    switch (message) {
      case WM_INITDIALOG:
        SetChecked(page, IDC_PREF_TRAY, AppSettings->GetMinToSysTray());
        SetChecked(page, IDC_PREF_SHELL, AppSettings->GetShlRtClkEn());
        SetChecked(page, IDC_PREF_TOOLTIPS, AppSettings->GetToolTipEn());
        return FALSE;
      case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && (LOWORD(wParam) == IDC_PREF_TRAY || LOWORD(wParam) == IDC_PREF_SHELL ||
                                             LOWORD(wParam) == IDC_PREF_TOOLTIPS)) {
          MarkChanged(page);
        }
        return FALSE;
      case WM_NOTIFY:
        return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam), ApplyGeneralPage);
      default:
        return FALSE;
    }
  });
}

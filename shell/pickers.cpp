#include "pickers.h"

#include <shlobj.h>

#include "app_constants.h"
#include "callback_guard.h"
#include "holders.h"
#include "split_job.h"

static_assert(kOpenFileRecordSize == (sizeof(void*) == 4 ? 76 : 136), "the record without the Windows 2000 fields");
static_assert(kOpenFileRecordSize == offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR),
              "the ANSI and wide records have one size");

// The ANSI dialogs hand back the system's best fit of a wide name
// ("Ωmega.bin" becomes "Omega.bin", which may be another, existing file), so
// the wide ones are asked.
bool PickSourceFile(HWND owner, std::wstring* path) {
  wchar_t file[kPathBufferSize] = L"";
  wchar_t fileTitle[kPathBufferSize] = L"";  // filled by the dialog, not used
  OPENFILENAMEW record = {};
  record.lStructSize = kOpenFileRecordSize;
  record.hwndOwner = owner;
  record.lpstrFilter = L"All Files (*.*)\0*.*\0";
  record.nFilterIndex = 0;
  record.lpstrFile = file;
  record.nMaxFile = kPathBufferSize;
  record.lpstrFileTitle = fileTitle;
  record.nMaxFileTitle = kPathBufferSize;
  record.lpstrInitialDir = L"";
  record.lpstrTitle = L"Select a File to be split";
  // A typed name that does not exist is offered for creation (the dialog
  // creates nothing); the current directory may follow the choice.
  record.Flags = OFN_EXPLORER | OFN_CREATEPROMPT | OFN_HIDEREADONLY;
  record.lpstrDefExt = L"txt";
  if (!GetOpenFileNameW(&record)) return false;
  path->assign(file);
  return true;
}

bool PickDestinationFolder(HWND owner, std::wstring* folder) {
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.lpszTitle = "Choose Split File Destination Directory";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = FolderPickerCallback;
  PIDLIST_ABSOLUTE list = SHBrowseForFolderA(&info);
  if (list == nullptr) return false;
  wchar_t chosen[MAX_PATH] = L"";
  const bool hasPath = SHGetPathFromIDListW(list, chosen) != FALSE;
  // Without the shell's allocator the list cannot be freed; the choice stands.
  ComPtr<IMalloc> allocator;
  if (SUCCEEDED(SHGetMalloc(allocator.Out()))) allocator->Free(list);
  if (hasPath) folder->assign(chosen);
  return hasPath;
}

int CALLBACK FolderPickerCallback(HWND browser, UINT notification, LPARAM, LPARAM) {
  if (notification == BFFM_INITIALIZED && SplitJob.destFolder[0] != '\0') {
    GuardCallback(
        [&] { SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(SplitJob.destFolder)); });
  }
  return 0;
}

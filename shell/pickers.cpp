#include "pickers.h"

#include <shlobj.h>

#include <cstring>
#include <string>

#include "ansi_text.h"
#include "app_constants.h"
#include "callback_guard.h"
#include "holders.h"
#include "message_box.h"
#include "split_job.h"

static_assert(kOpenFileRecordSize == (sizeof(void*) == 4 ? 76 : 136), "the record without the Windows 2000 fields");
static_assert(kOpenFileRecordSize == offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR),
              "the ANSI and wide records have one size");

namespace {

// The chosen name in ANSI into `path`. The ANSI dialogs hand back the
// system's best fit of a wide name ("Ωmega.bin" becomes "Omega.bin", which
// may be another, existing file), so the wide dialogs are asked and only an
// exact form is taken.
bool TakeExactPath(HWND owner, const wchar_t* chosen, char* path) {
  std::string exact;
  if (!WideToExactAnsi(chosen, &exact)) {
    ShowInexactNameRefusal(owner, chosen);
    return false;
  }
  if (exact.size() >= kPathBufferSize) return false;
  std::memcpy(path, exact.c_str(), exact.size() + 1);
  return true;
}

}  // namespace

bool PickSourceFile(HWND owner, char* path) {
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
  return GetOpenFileNameW(&record) && TakeExactPath(owner, file, path);
}

bool PickDestinationFolder(HWND owner, char* folder) {
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
  return hasPath && TakeExactPath(owner, chosen, folder);
}

int CALLBACK FolderPickerCallback(HWND browser, UINT notification, LPARAM, LPARAM) {
  if (notification == BFFM_INITIALIZED && SplitJob.destFolder[0] != '\0') {
    GuardCallback(
        [&] { SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(SplitJob.destFolder)); });
  }
  return 0;
}

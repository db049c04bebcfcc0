#include "dest_folder.h"

#include <shlwapi.h>

#include "file_system.h"
#include "folder_rules.h"
#include "resource_ids.h"
#include "split_job.h"

namespace {

UINT StyleOf(NoticeStyle style) {
  switch (style) {
    case NoticeStyle::kStop:
      return MB_ICONSTOP;
    case NoticeStyle::kInformation:
      return MB_ICONINFORMATION;
    case NoticeStyle::kYesNoQuestion:
      return MB_YESNO | MB_ICONQUESTION;
    case NoticeStyle::kPlain:
      break;
  }
  return MB_OK;
}

int Tell(HWND dialog, FolderNotice notice) {
  const FolderNoticeText text = NoticeText(notice);
  return MessageBoxA(dialog, text.message, kAppTitle, StyleOf(text.style));
}

bool Refuse(HWND dialog, FolderNotice notice) {
  Tell(dialog, notice);
  HWND box = GetDlgItem(dialog, IDC_DEST_FOLDER);
  SendMessageA(box, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  SetFocus(box);
  return false;
}

// Only one level is created: a missing parent makes CreateDirectoryA fail.
bool OfferToCreate(HWND dialog, const char* probe) {
  if (Tell(dialog, FolderNotice::kAskToCreate) != IDYES) {
    return Refuse(dialog, FolderNotice::kNotCorrected);
  }
  SECURITY_ATTRIBUTES security{};
  security.nLength = sizeof security;
  security.lpSecurityDescriptor = nullptr;
  security.bInheritHandle = FALSE;
  if (!CreateDirectoryA(probe, &security)) return Refuse(dialog, FolderNotice::kCreateFailed);
  Tell(dialog, FolderNotice::kCreated);
  return true;
}

// The probe without its trailing backslash names a file: no folder can be
// created under that name.
bool NamesAFile(const char* probe) {
  char name[kPathBufferSize];
  lstrcpynA(name, probe, sizeof name);
  PathRemoveBackslashA(name);
  const DWORD attributes = GetFileAttributesA(name);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool CheckDestinationFolder(HWND dialog, const char* folder) {
  if (FolderExists(folder)) return true;
  char probe[kPathBufferSize];
  const FolderNameVerdict verdict = CheckFolderName(folder, probe, sizeof probe);
  if (verdict == FolderNameVerdict::kEmpty) return false;
  if (verdict != FolderNameVerdict::kWellFormed) return Refuse(dialog, NoticeFor(verdict));
  if (NamesAFile(probe)) return Refuse(dialog, FolderNotice::kInvalidName);
  if (GetFileAttributesA(probe) != INVALID_FILE_ATTRIBUTES) return true;
  const FolderNotice notice = NoticeForProbeError(GetLastError());
  if (notice == FolderNotice::kAskToCreate) return OfferToCreate(dialog, probe);
  return Refuse(dialog, notice);
}

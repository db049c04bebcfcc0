#include "dest_folder.h"

#include <shlwapi.h>

#include "file_system.h"
#include "folder_rules.h"
#include "message_box.h"
#include "resource_ids.h"
#include "split_job.h"

namespace {

bool Refuse(HWND dialog, MessageId notice) {
  ShowMessage(dialog, notice);
  HWND box = GetDlgItem(dialog, IDC_DEST_FOLDER);
  SendMessageA(box, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  SetFocus(box);
  return false;
}

// Only one level is created: a missing parent makes CreateDirectoryA fail.
bool OfferToCreate(HWND dialog, const char* probe) {
  if (ShowMessage(dialog, MessageId::kAskToCreateFolder) != IDYES) {
    return Refuse(dialog, MessageId::kFolderNotCorrected);
  }
  SECURITY_ATTRIBUTES security{};
  security.nLength = sizeof security;
  security.lpSecurityDescriptor = nullptr;
  security.bInheritHandle = FALSE;
  if (!CreateDirectoryA(probe, &security)) return Refuse(dialog, MessageId::kCreateFolderFailure);
  ShowMessage(dialog, MessageId::kFolderCreated);
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
  // A folder the system does not let this user write into is refused before
  // any part is written (Program Files to a standard user).
  if (FolderExists(folder)) return FolderTakesNewFiles(folder) || Refuse(dialog, MessageId::kFolderAccessDenied);
  char probe[kPathBufferSize];
  const FolderNameVerdict verdict = CheckFolderName(folder, probe, sizeof probe);
  if (verdict == FolderNameVerdict::kEmpty) return false;
  if (verdict != FolderNameVerdict::kWellFormed) return Refuse(dialog, NoticeFor(verdict));
  if (NamesAFile(probe)) return Refuse(dialog, MessageId::kInvalidFolderName);
  if (GetFileAttributesA(probe) != INVALID_FILE_ATTRIBUTES) {
    return FolderTakesNewFiles(probe) || Refuse(dialog, MessageId::kFolderAccessDenied);
  }
  const MessageId notice = NoticeForProbeError(GetLastError());
  if (notice == MessageId::kAskToCreateFolder) return OfferToCreate(dialog, probe);
  return Refuse(dialog, notice);
}

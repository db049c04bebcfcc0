#include "request.h"

#include <cstdio>
#include <cstring>

#include "file_system.h"
#include "holders.h"
#include "message_box.h"
#include "name_gate.h"
#include "request_rules.h"
#include "resource_ids.h"
#include "settings.h"
#include "size_presets.h"
#include "size_text.h"
#include "split_job.h"

namespace {

// Without the blank of the template's "File Size : 0 KB" and "Split Size :
// 1.38 MB": these are the texts the window has always shown after a reset.
constexpr char kFileSizeZeroText[] = "File Size : 0KB";
constexpr char kSplitSizeResetText[] = "Split Size : 1.38MB";
constexpr char kPartCountZeroText[] = "Num of Split Parts : 0";

bool refusalOpen = false;

// "label" followed by the size text of bytes.
void ShowSizeText(HWND dialog, int control, const char* label, std::uint32_t bytes) {
  char size[20];
  FormatSizeText(bytes, size, sizeof size);
  char text[kPathBufferSize];
  const int length = std::snprintf(text, sizeof text, "%s%s", label, size);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof text) return;
  SetDlgItemTextA(dialog, control, text);
}

// A refused file must not leave the previous file's size and count behind
// (Split would cut the new file by them), nor stay chosen: a size chosen
// afterwards would count its parts again and make it splittable.
void UnchooseSourceFile(HWND dialog) {
  ClearSourceName();
  SplitJob.fileSize = 0;
  SplitJob.partCount = 0;
  SetDlgItemTextA(dialog, IDC_FILE_SIZE_TEXT, kFileSizeZeroText);
  SetDlgItemTextA(dialog, IDC_PART_COUNT_TEXT, kPartCountZeroText);
}

// Cleared before the box shows: without an owner it leaves the main window usable.
bool RefuseSourceFile(HWND dialog, HWND owner, MessageId message) {
  UnchooseSourceFile(dialog);
  const bool outer = refusalOpen;
  refusalOpen = true;
  ShowMessage(owner, message);
  refusalOpen = outer;
  return false;
}

int ControlOf(RequestField field) {
  switch (field) {
    case RequestField::kSourceFile:
      return IDC_SOURCE_FILE;
    case RequestField::kDestination:
      return IDC_DEST_FOLDER;
    case RequestField::kSizeList:
      return IDC_SIZE_LIST;
    case RequestField::kNone:
      break;
  }
  return 0;
}

void SelectWholeText(HWND control) {
  char className[16] = {};
  GetClassNameA(control, className, sizeof className);
  if (lstrcmpiA(className, "ComboBox") == 0) {
    SendMessageA(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  } else {
    SendMessageA(control, EM_SETSEL, 0, -1);
  }
}

// Tells the user why the request cannot go on and sends the focus to the field at fault.
void RefuseRequest(HWND dialog, RequestRefusal refusal) {
  const RefusalReaction reaction = ReactionTo(refusal);
  ShowMessage(dialog, reaction.message);
  HWND control = GetDlgItem(dialog, ControlOf(reaction.field));
  SetFocus(control);
  if (reaction.selectText) SelectWholeText(control);
}

}  // namespace

bool SourceRefusalOpen() { return refusalOpen; }

std::wstring FieldText(HWND dialog, int control) {
  // Wide, as the field holds it: its ANSI text would be the system's best fit.
  // A text that fills the buffer may have been cut: then again, in a larger one.
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(GetDlgItem(dialog, control))) + 2, L'\0');
  for (;;) {
    const UINT length = GetDlgItemTextW(dialog, control, text.data(), static_cast<int>(text.size()));
    if (length + 1 < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(text.size() * 2);
  }
}

bool TakeTypedSourceFile(HWND dialog) {
  const std::wstring typed = FieldText(dialog, IDC_SOURCE_FILE);
  const NameVerdict verdict = TakeSourceName(typed.c_str(), NameEntry::kTyped);
  if (verdict.refusal) {
    UnchooseSourceFile(dialog);
    if (*verdict.refusal == MessageId::kSourceMissing) {
      RefuseRequest(dialog, RequestRefusal::kSourceMissing);
    } else {
      ShowNameRefusal(dialog, verdict, typed.c_str());
      SetFocus(GetDlgItem(dialog, IDC_SOURCE_FILE));
      SelectWholeText(GetDlgItem(dialog, IDC_SOURCE_FILE));
    }
    return false;
  }
  if (!FileExists(SplitJob.sourcePath)) return true;  // Split says so
  if (!ReadSourceFileSize(dialog)) return false;
  UpdatePartCount(dialog);
  return true;
}

void OnSourceFileChosen(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_SOURCE_FILE, SplitJob.sourcePath);
  if (!ReadSourceFileSize(dialog)) return;
  UpdatePartCount(dialog);
  char folder[kPathBufferSize];
  if (!UseMRUD() && SourceFolderOf(SplitJob.sourcePath, folder, sizeof folder) &&
      TakeDestinationName(folder, NameEntry::kSourceFolder).taken) {
    SetDlgItemTextA(dialog, IDC_DEST_FOLDER, SplitJob.destFolder);
  }
  // Through the dialog manager, so that Split also looks the default button;
  // Enter presses it because it has the focus (see the main dialog's DM_GETDEFID).
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_SPLIT)), TRUE);
}

bool ReadSourceFileSize(HWND dialog) {
  UniqueHandle file(CreateFileA(SplitJob.sourcePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) { return RefuseSourceFile(dialog, nullptr, MessageId::kFileOpenFailure); }
  DWORD high = 0;
  // A size whose low part is 0xFFFFFFFF is told from a failure only by the
  // error code, so a stale code must not linger from an earlier call.
  SetLastError(ERROR_SUCCESS);
  const DWORD low = GetFileSize(file.Get(), &high);
  const DWORD error = GetLastError();
  file.Reset();
  SplitJob.fileSize = low;
  if (low == INVALID_FILE_SIZE && error != ERROR_SUCCESS) {
    return RefuseSourceFile(dialog, nullptr, MessageId::kFileSizeFailure);
  }
  if (high != 0) { return RefuseSourceFile(dialog, dialog, MessageId::kFileTooLarge); }
  ShowSizeText(dialog, IDC_FILE_SIZE_TEXT, "File Size : ", SplitJob.fileSize);
  return true;
}

void UpdatePartCount(HWND dialog) {
  SplitJob.partCount = PartCount(SplitJob.fileSize, SplitJob.partSize);
  char text[kPathBufferSize];
  const int length =
      std::snprintf(text, sizeof text, "Num of Split Parts : %u", static_cast<unsigned>(SplitJob.partCount));
  if (length > 0 && static_cast<std::size_t>(length) < sizeof text) {
    SetDlgItemTextA(dialog, IDC_PART_COUNT_TEXT, text);
  }
  ShowSplitSize(dialog);
}

void ShowSplitSize(HWND dialog) { ShowSizeText(dialog, IDC_SPLIT_SIZE_TEXT, "Split Size : ", SplitJob.partSize); }

bool CheckSplitRequest(HWND dialog) {
  const RequestRefusal refusal =
      FirstRequestRefusal(SplitJob.sourcePath, SplitJob.destFolder, SplitJob.partCount, FileExists, FolderExists);
  if (refusal == RequestRefusal::kNone) return true;
  RefuseRequest(dialog, refusal);
  return false;
}

void ResetSplitRequest(HWND dialog) {
  SplitJob.fileSize = 0;
  SetDlgItemTextA(dialog, IDC_FILE_SIZE_TEXT, kFileSizeZeroText);
  SplitJob.partSize = kFloppyPartSize;
  SendDlgItemMessageA(dialog, IDC_SIZE_LIST, CB_SETCURSEL, kFloppyPresetIndex, 0);
  SetDlgItemTextA(dialog, IDC_SPLIT_SIZE_TEXT, kSplitSizeResetText);
  SplitJob.partCount = 0;
  SetDlgItemTextA(dialog, IDC_PART_COUNT_TEXT, kPartCountZeroText);
  ClearSourceName();
  SetDlgItemTextA(dialog, IDC_SOURCE_FILE, SplitJob.sourcePath);
  SetFocus(GetDlgItem(dialog, IDC_SOURCE_FILE));
}

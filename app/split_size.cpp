#include "split_size.h"

#include <cstdio>

#include "callback_guard.h"
#include "globals.h"
#include "message_box.h"
#include "resource_ids.h"
#include "size_presets.h"
#include "size_text.h"
#include "split_job.h"

namespace {

constexpr INT_PTR kAccepted = 0;
constexpr INT_PTR kCancelled = 1;

// Wine's GetDlgItemInt takes 4294967295 for an overflow and gives 0, so the
// box is read and converted here, the same on both platforms.
std::uint32_t ReadCustomSize(HWND dialog) {
  char text[32] = {};
  GetDlgItemTextA(dialog, IDC_CUSTOM_BYTES, text, sizeof text);
  return ParseByteCount(text);
}

void FocusSizeBox(HWND dialog) {
  HWND box = GetDlgItem(dialog, IDC_CUSTOM_BYTES);
  SetFocus(box);
  SendMessageA(box, EM_SETSEL, 0, -1);
}

INT_PTR OnInitCustomSize(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_CUSTOM_BYTES, "0");
  FocusSizeBox(dialog);
  return FALSE;
}

void OnCustomSizeChanged(HWND dialog) {
  char size[20];
  FormatSizeText(ReadCustomSize(dialog), size, sizeof size);
  char text[kPathBufferSize];
  const int length = std::snprintf(text, sizeof text, "Custom Size is : %s", size);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof text) return;
  SetDlgItemTextA(dialog, IDC_CUSTOM_LABEL, text);
}

void OnCustomSizeOk(HWND dialog) {
  const std::uint32_t bytes = ReadCustomSize(dialog);
  if (bytes != 0) {
    SplitJob.partSize = bytes;
    EndDialog(dialog, kAccepted);
    return;
  }
  if (ShowMessage(dialog, MessageId::kZeroSize) == IDRETRY) {
    FocusSizeBox(dialog);
  } else {
    EndDialog(dialog, kCancelled);
  }
}

// Every command counts as handled, so IDCANCEL from the Escape key closes nothing.
INT_PTR OnCustomSizeCommand(HWND dialog, WORD control, WORD notification) {
  switch (control) {
    case IDC_CUSTOM_BYTES:
      if (notification == EN_CHANGE) OnCustomSizeChanged(dialog);
      break;
    case IDOK:
      OnCustomSizeOk(dialog);
      break;
    case IDC_CUSTOM_CANCEL:
      EndDialog(dialog, kCancelled);
      break;
    default:
      break;
  }
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK CustomSizeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return GuardCallback(FALSE, [&]() -> INT_PTR {
    switch (message) {
      case WM_INITDIALOG:
        return OnInitCustomSize(dialog);
      case WM_COMMAND:
        return OnCustomSizeCommand(dialog, LOWORD(wParam), HIWORD(wParam));
      default:
        return FALSE;
    }
  });
}

INT_PTR CustomSizeDialog(HWND owner) {
  const INT_PTR result = DialogBoxParamA(InstanceHandle, "CUSTOMSIZE", owner, CustomSizeDialogProc, 0);
  // A dialog that could not be shown chose nothing.
  return result == kAccepted ? kAccepted : kCancelled;
}

void SelectSplitSize(HWND dialog, HWND sizeList) {
  const LRESULT index = SendMessageA(sizeList, CB_GETCURSEL, 0, 0);
  if (index >= 0 && index < kCustomSizeIndex) {
    SplitJob.partSize = SizePresets[index].bytes;
    return;
  }
  if (index != kCustomSizeIndex) return;
  if (CustomSizeDialog(dialog) == kAccepted) return;
  const int preset = PresetIndexOf(SplitJob.partSize);
  if (preset >= 0) SendMessageA(sizeList, CB_SETCURSEL, preset, 0);
}

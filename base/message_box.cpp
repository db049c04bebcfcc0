#include "message_box.h"

#include <string>

UINT MessageBoxFlags(MessageStyle style) {
  switch (style) {
    case MessageStyle::kStop:
      return MB_OK | MB_ICONSTOP;
    case MessageStyle::kInformation:
      return MB_OK | MB_ICONINFORMATION;
    case MessageStyle::kExclamation:
      return MB_OK | MB_ICONEXCLAMATION;
    case MessageStyle::kOkCancel:
      return MB_OKCANCEL;
    case MessageStyle::kOkCancelQuestion:
      return MB_OKCANCEL | MB_ICONQUESTION;
    case MessageStyle::kYesNoQuestion:
      return MB_YESNO | MB_ICONQUESTION;
    case MessageStyle::kRetryCancel:
      return MB_RETRYCANCEL;
    case MessageStyle::kRetryCancelStop:
      return MB_RETRYCANCEL | MB_ICONSTOP;
    case MessageStyle::kOk:
      break;
  }
  return MB_OK;
}

int ShowMessageText(HWND owner, const char* text, MessageCaption caption, MessageStyle style, UINT extraFlags) {
  return MessageBoxA(owner, text, CaptionText(caption), MessageBoxFlags(style) | extraFlags);
}

int ShowMessage(HWND owner, MessageId id) {
  const Message& message = MessageOf(id);
  return ShowMessageText(owner, message.text, message.caption, message.style);
}

namespace {

// The catalogue's texts and captions are ASCII, the same in every code page.
std::wstring Widened(const char* ascii) { return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii)); }

}  // namespace

void ShowInexactNameRefusal(HWND owner, const wchar_t* name) {
  const Message& message = MessageOf(MessageId::kInexactName);
  std::wstring text = Widened(message.text);
  text.replace(text.find(L"%s"), 2, name);
  MessageBoxW(owner, text.c_str(), Widened(CaptionText(message.caption)).c_str(), MessageBoxFlags(message.style));
}

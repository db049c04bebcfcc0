#include "focus_rules.h"

#include "message_box.h"

// The worker's question is a message box without owner on the worker's thread,
// so that the progress window stays usable (its Cancel) while it is open. Its
// thread keeps its own input: threads joined by AttachThreadInput read one
// input queue in order, and after a confirmed cancel the progress window's
// thread waits for the worker without reading input, so a key or click left
// for it would stop the question's input for good (The Old New Thing,
// 2013-06-06 and 2013-06-07). The keyboard goes to the question through the
// foreground instead, which any thread of the foreground process may set
// (SetForegroundWindow's documented conditions).

namespace {

BOOL CALLBACK FindWorkerQuestion(HWND window, LPARAM found) {
  DWORD pid = 0;
  if (GetWindowThreadProcessId(window, &pid) == GetCurrentThreadId() || pid != GetCurrentProcessId() ||
      !IsWindowVisible(window)) {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

BOOL CALLBACK FindOwned(HWND window, LPARAM search) {
  auto* found = reinterpret_cast<HWND*>(search);
  char className[8] = {};
  GetClassNameA(window, className, sizeof className);
  if (GetWindow(window, GW_OWNER) != found[0] || lstrcmpA(className, "#32770") != 0) return TRUE;
  found[1] = window;
  return FALSE;
}

// Restacking a window of the worker's thread is carried out by that thread;
// asynchronously, so that this thread never waits on the one it may be
// waiting for (SWP_ASYNCWINDOWPOS).
void PlaceQuestion(HWND question, UINT flags) {
  SetWindowPos(question, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS | flags);
}

// PLYX's window is in front, or none is: under Wine a late focus-out of an X
// window leaves the foreground to the desktop window.
bool NoOtherProgramInFront() {
  HWND front = GetForegroundWindow();
  DWORD pid = 0;
  GetWindowThreadProcessId(front, &pid);
  return front == nullptr || front == GetDesktopWindow() || pid == GetCurrentProcessId();
}

}  // namespace

HWND WorkerQuestion() {
  HWND found = nullptr;
  EnumWindows(FindWorkerQuestion, reinterpret_cast<LPARAM>(&found));
  return found;
}

int AskOnWorkerThread(const char* text, MessageStyle style) {
  // The progress window, activated by the other thread, would keep the
  // keyboard; PLYX is the foreground process, so its worker may take it.
  return ShowMessageText(nullptr, text, MessageCaption::kTitle, style, MB_SETFOREGROUND);
}

// The question's first show can come before the progress window's, which then
// takes the foreground from it. Under Wine the X server's late restacking and
// focus events also left the waiting progress window over the question, or the
// desktop window in front: hence also the raise every quarter second.
void FrontQuestion() {
  HWND question = WorkerQuestion();
  if (question == nullptr) return;
  // A question that is the foreground already is not raised by that alone under Wine.
  PlaceQuestion(question, SWP_NOACTIVATE);
  SetForegroundWindow(question);
}

void KeepQuestionInFront() {
  if (NoOtherProgramInFront()) FrontQuestion();
}

HWND OwnedDialog(HWND owner) {
  HWND search[2] = {owner, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindOwned, reinterpret_cast<LPARAM>(search));
  return search[1];
}

// Under Wine, activating the disabled main window raises it, and the progress
// window it owns, over the worker's question: each goes back in its place.
bool RaiseOpenWindows(HWND mainWindow) {
  HWND question = WorkerQuestion();
  if (question != nullptr) PlaceQuestion(question, 0);
  // Placed under the question rather than on top: each thread raises its
  // windows through its own display connection, in no set order.
  HWND top = question;
  for (HWND owned = OwnedDialog(mainWindow); owned != nullptr; owned = OwnedDialog(owned)) {
    SetWindowPos(owned, question != nullptr ? question : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (question == nullptr) top = owned;
  }
  return top != nullptr && SetForegroundWindow(top);
}

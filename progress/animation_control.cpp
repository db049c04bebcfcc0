#include "animation_control.h"

#include <commctrl.h>

AnimationControl::AnimationControl() {
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_ANIMATE_CLASS};
  InitCommonControlsEx(&classes);
  instance = GetModuleHandleA(nullptr);
}

AnimationControl::~AnimationControl() {
  if (state >= kCreated) Stop();
}

bool AnimationControl::Create(DWORD style, int x, int y, HWND parentWindow, int id) {
  if (!IsWindow(parentWindow)) return false;
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  parent = parentWindow;
  // Without ACS_CENTER the control takes the size of the clip's frames.
  style = (style | WS_CHILD) & ~static_cast<DWORD>(ACS_CENTER);
  window = CreateWindowExA(0, ANIMATE_CLASSA, nullptr, style, 0, 0, 0, 0, parentWindow,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (!window) return false;
  if (style & ACS_AUTOPLAY) {
    state = kCreatedAutoPlay;
    autoPlay = true;
  } else {
    state = kCreated;
  }
  SetWindowPos(window, nullptr, x, y, 20, 20, SWP_NOZORDER | SWP_FRAMECHANGED);
  return true;
}

bool AnimationControl::Open(unsigned resource) {
  if (resource == 0 || !window) return false;
  if (state > kCreated) Stop();
  const LPARAM name = reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(resource & 0xFFFF));
  if (!SendMessageA(window, ACM_OPENA, reinterpret_cast<WPARAM>(instance), name)) return false;
  state = kClipOpen;
  ShowWindow(window, SW_SHOW);
  return true;
}

void AnimationControl::Stop() {
  if (!window) return;
  state = kStopped;
  SendMessageA(window, ACM_OPENA, 0, 0);
}

// A looping clip from the executable's own resources in a "SysAnimate32" control.
#pragma once

#include <windows.h>

#include <cstdint>

class AnimationControl {
 public:
  // States of the control.
  static constexpr std::uint32_t kNew = 0;
  static constexpr std::uint32_t kCreatedAutoPlay = 1;
  static constexpr std::uint32_t kCreated = 2;
  static constexpr std::uint32_t kClipOpen = 3;
  static constexpr std::uint32_t kStopped = 5;

  AnimationControl();
  // Stops an open clip; the window itself goes with its parent.
  virtual ~AnimationControl();
  AnimationControl(const AnimationControl&) = delete;
  AnimationControl& operator=(const AnimationControl&) = delete;

  // Creates the control at (x, y) of parent's client area. The size follows the
  // clip's frames once one is opened.
  bool Create(DWORD style, int x, int y, HWND parent, int id);
  // Loads AVI resource `resource` of the executable and shows the control.
  bool Open(unsigned resource);
  // Stops and unloads the clip.
  void Stop();

  bool AutoPlay() const { return autoPlay; }
  std::uint32_t State() const { return state; }
  HWND Parent() const { return parent; }
  HWND Window() const { return window; }

 private:
  bool autoPlay = false;
  std::uint32_t state = kNew;
  HINSTANCE instance = nullptr;
  HWND parent = nullptr;
  HWND window = nullptr;
};

// Tooltips for a dialog's controls: one tooltip window per dialog, fed with
// the mouse moves over the dialog's controls by a message hook on the
// user-interface thread. The hook has no context, so one manager lives at a time.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>

// The record in its form with lParam (44 bytes in a 32-bit build, 64 in a
// 64-bit one), which the common controls of every Windows version accept;
// sizeof has grown with _WIN32_WINNT and older versions refuse the larger one.
constexpr UINT kToolRecordSize = offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM);

class ToolTipManager {
 public:
  // With no parent, an empty manager: no tooltip window, no hook.
  explicit ToolTipManager(HWND parent);
  // Removes the hook; the tooltip window goes with its owner.
  virtual ~ToolTipManager();
  ToolTipManager(const ToolTipManager&) = delete;
  ToolTipManager& operator=(const ToolTipManager&) = delete;

  void AddTool(HWND control, const char* text);
  // The text is string `stringId` of PLYX's module, loaded by the tooltip itself.
  void AddResourceTool(HWND control, UINT extraFlags, UINT stringId);
  void SetMaxTipWidth(int width);

  HWND ToolTipWindow() const { return toolTip; }

 private:
  static LRESULT CALLBACK ToolTipHookProc(int code, WPARAM removal, LPARAM message);
  void Add(HWND control, UINT flags, HINSTANCE instance, char* text);

  HWND toolTip = nullptr;
  HHOOK hook = nullptr;
  HWND parent = nullptr;
};

// The main dialog's manager, null while its tooltips are off.
extern ToolTipManager* MainToolTips;
constexpr int kMainTipWidth = 150;  // pixels at 96 dpi

// The thirteen tips of the main window's controls; nothing when they exist.
void CreateMainToolTips(HWND mainDialog);
// Nothing when there are none.
void DestroyMainToolTips();

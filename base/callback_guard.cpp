#include "callback_guard.h"

#include <windows.h>

#include "app_constants.h"

void ReportMemoryFailure() noexcept {
  MessageBoxA(nullptr, "Unexpected Error : Memory Allocation Failure : 0001", kAppTitle, MB_OK | MB_ICONSTOP);
}

// plyx.exe's entry point and the counter that every running copy shares.
#include <windows.h>

#include "callback_guard.h"
#include "startup.h"

// All processes of this image map one copy of the section; its bytes are 0xFF
// in the file, so the counter reads -1 while no copy runs.
#ifdef _MSC_VER
#pragma data_seg(".shared")
volatile LONG InstanceCount = -1;
#pragma data_seg()
#pragma comment(linker, "/SECTION:.shared,RWS")
#else
volatile LONG InstanceCount __attribute__((section(".shared"), shared)) = -1;
#endif

// The wide entry point: the ANSI command line would be the system's best fit.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
  return GuardCallback(0, [&] { return RunPlyx(instance, commandLine, &InstanceCount); });
}

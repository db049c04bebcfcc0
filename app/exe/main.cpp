// plyx.exe's entry point.
#include <windows.h>

#include "callback_guard.h"
#include "startup.h"

extern volatile LONG InstanceCount;  // instance_count.cpp

// The wide entry point: the ANSI command line would be the system's best fit.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
  return GuardCallback(0, [&] { return RunPlyx(instance, commandLine, &InstanceCount); });
}

// The counter that every running copy of plyx.exe shares. All processes of
// this image map one copy of its section; its bytes are 0xFF in the file, so
// it reads -1 while no copy runs. No header: `long` is Win32's LONG, and each
// compiler's branch builds alone, with or without the Windows headers.
#ifdef _MSC_VER
#pragma data_seg(".shared")
volatile long InstanceCount = -1;
#pragma data_seg()
#elif defined(__clang__)
// Clang has no attribute for a shared section: its linker marks it (CMakeLists.txt here).
volatile long InstanceCount __attribute__((section(".shared"))) = -1;
#else
volatile long InstanceCount __attribute__((section(".shared"), shared)) = -1;
#endif

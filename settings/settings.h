// PLYX's persistent state under HKEY_CURRENT_USER\Software\Plyx: four
// preference flags, the destination history ring and the program's path.
#pragma once

#include <windows.h>

#include <cstdint>

#include "mrud_ring.h"

// Result codes of the accessors, returned in the same channel as the values.
constexpr std::uint32_t kSettingsOk = 0;
constexpr std::uint32_t kSettingsReadFailed = 1000;
constexpr std::uint32_t kSettingsMissing = 2000;
constexpr std::uint32_t kSettingsBadSlot = 3000;
constexpr std::uint32_t kSettingsFlagWriteFailed = 5000;
// In `status` after construction: the store could not be set up.
constexpr std::int32_t kSettingsUnusable = 9999;

class Settings {
 public:
  Settings();
  virtual ~Settings();
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;

  std::uint32_t Initialise();

  std::uint32_t GetMRUDLimit();
  std::uint32_t GetMRUDDefault();
  bool SetMRUDLimit(std::uint32_t n);
  bool SetMRUDDefault(std::uint32_t n);

  // buffer: 260 bytes.
  std::uint32_t ReadMRUD(char* buffer, std::uint32_t slot);
  bool WriteMRUD(const char* buffer, std::uint32_t slot);

  bool GetUseMRUD();
  bool GetMinToSysTray();
  bool GetShlRtClkEn();
  bool GetToolTipEn();
  bool SetUseMRUD(bool on);
  bool SetMinToSysTray(bool on);
  bool SetShlRtClkEn(bool on);
  bool SetToolTipEn(bool on);

  // Destination history (newest first walk: mode 1 starts, mode 2 goes on).
  bool AddMRUD(const char* path);
  bool NextMRUD(char* buffer, int mode);

  std::int32_t status = 0;
  std::uint32_t mrudLimit = 0;
  std::uint32_t mrudDefault = 0;
  DWORD valueType = 0;
  DWORD dataSize = 0;
  DWORD disposition = 0;
  HKEY key = nullptr;

 private:
  // Every registry read and write goes through these two: a missing key
  // fails with ERROR_INVALID_HANDLE, and the call's result stays in `status`,
  // its size in `dataSize` (and a read's type in `valueType`). A value of
  // another type than `type`, or larger than `size`, is kUnusable.
  StoredRead QueryValue(const char* name, DWORD type, void* data, DWORD size);
  bool SetValue(const char* name, DWORD type, const void* data, DWORD size);
  // *value only on kValue. The stored number stays apart from the code, so a
  // stored 1000 or 2000 is still seen as a number at start-up.
  StoredRead ReadControl(const char* name, DWORD* value);
  std::uint32_t ReadDword(const char* name, DWORD* value);  // 0, 1000 or 2000
  StoredRead ReadSlot(char* buffer, std::uint32_t slot);    // slot in 1..7
  bool WriteDword(const char* name, DWORD value);
  bool ReadFlag(const char* name);
  // Writes the text as a 260-byte REG_SZ, zeroes after the terminator.
  bool WriteText(const char* name, const char* text);
  void SetUpHistory();
  bool SetUpSlots();

  MrudWalk walk;
  bool startupFailureNoted = false;
};

// The process-wide settings, created by start-up.
extern Settings* AppSettings;

// The preference flags as the main window reads them: off while no store
// exists (the Win32 tests run the main dialog without one).
bool UseMRUD();  // the history's newest destination, not the file's folder
bool MinToSysTray();
bool ToolTipEn();

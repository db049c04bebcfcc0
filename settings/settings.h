// PLYX's persistent state under HKEY_CURRENT_USER\Software\Plyx: four
// preference flags, the destination history ring and the program's path.
#pragma once

#include <windows.h>

#include <cstdint>

class Settings {
 public:
  Settings();
  virtual ~Settings();

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
};

// The process-wide settings, created by start-up.
extern Settings* AppSettings;

// The version details Windows shows under Properties > Details, read as
// Explorer reads them, of plyx.exe and of plyx-split.exe beside it.
#include <cstdio>
#include <vector>

#include "plyx_session.h"

namespace {

// "file version|product name|product version|description"; "" when unreadable.
std::string VersionDetails(const std::string& exe) {
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(exe.c_str(), &ignored));
  void* value = nullptr;
  UINT size = 0;
  if (block.empty() || !GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
      !VerQueryValueA(block.data(), "\\", &value, &size))
    return "";
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  char details[300];
  std::snprintf(details, sizeof details, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
  // Explorer looks the texts up under the first translation the file names.
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &size) || size < 4) return details;
  const WORD* language = static_cast<const WORD*>(value);
  std::string texts = details;
  for (const char* name : {"ProductName", "ProductVersion", "FileDescription"}) {
    std::snprintf(details, sizeof details, "\\StringFileInfo\\%04x%04x\\%s", language[0], language[1], name);
    texts += std::string("|") + (VerQueryValueA(block.data(), details, &value, &size) ? static_cast<char*>(value) : "");
  }
  return texts;
}

TEST(Release, BothProgramsCarryTheirVersionDetails) {
  const std::string plyx = PlyxExePath();
  EXPECT_EQ(VersionDetails(plyx), "1.4.0.0|PLYX|1.4.0|PLYX file splitter");
  EXPECT_EQ(VersionDetails(plyx.substr(0, plyx.find_last_of('\\') + 1) + "plyx-split.exe"),
            "1.4.0.0|PLYX|1.4.0|PLYX file splitter for the command line");
}

}  // namespace

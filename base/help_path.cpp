#include "help_path.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>

#include "ansi_text.h"
#include "app_constants.h"

bool HelpFilePath(char* path, std::size_t pathSize) {
  char module[kPathBufferSize];
  if (!ModulePathExactly(module)) {
    path[0] = '\0';
    return false;
  }
  PathRemoveFileSpecA(module);
  const int written = std::snprintf(path, pathSize, "%s\\PLYX.chm", module);
  return written > 0 && static_cast<std::size_t>(written) < pathSize;
}

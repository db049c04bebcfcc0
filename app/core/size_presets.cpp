#include "size_presets.h"

std::uint32_t PartCount(std::uint32_t fileSize, std::uint32_t partSize) {
  if (partSize == 0) return 0;
  if (fileSize <= partSize) return 1;
  return fileSize / partSize + (fileSize % partSize != 0 ? 1 : 0);
}

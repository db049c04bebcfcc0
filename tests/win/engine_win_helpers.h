// Helpers of the engine's Win32 tests: running a merge batch with cmd.exe and
// handling files by their ANSI names.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "split_job.h"
#include "support/temp_dir.h"

// Runs "cmd.exe /c NAME" in `folder`, its output going to `outputPath`: the
// exit code, or -1 when it could not start or did not end in two minutes.
inline int RunBatch(const std::string& folder, const std::string& batchName, const std::string& outputPath) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) return -1;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = startup.hStdError = output;
  std::string line = "cmd.exe /c \"\"" + batchName + "\"\"";  // cmd strips the outer quotes
  PROCESS_INFORMATION process = {};
  const BOOL started =
      CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup, &process);
  CloseHandle(output);
  if (!started) return -1;
  DWORD exitCode = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  else GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}

inline bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::uint64_t FileSizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The names of the files directly in `folder` (with its trailing backslash).
inline std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(entry.cFileName);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

inline void EmptyFolder(const std::string& folder) {
  for (const auto& name : FilesIn(folder)) DeleteFileA((folder + name).c_str());
}

inline void FillJob(SplitJobRecord* job, const std::string& source, const std::string& dest, std::uint32_t fileSize,
                    std::uint32_t partSize, std::uint32_t partCount) {
  std::snprintf(job->sourcePath, sizeof job->sourcePath, "%s", source.c_str());
  std::snprintf(job->destFolder, sizeof job->destFolder, "%s", dest.c_str());
  job->fileSize = fileSize;
  job->partSize = partSize;
  job->partCount = partCount;
  job->cancelRequested = false;
}

// What plyx.exe takes from its command line or a second start's hand-over, and plyx-split.exe's names.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>

#include "holders.h"
#include "main_dialog.h"
#include "resource_ids.h"
#include "split_job.h"
#include "startup.h"
#include "support/files.h"
#include "support/ui_driver.h"

namespace {

// Bound: a command line or a hand-over longer than a path buffer must not become a cut-off path.
TEST(CommandLineText, TakesWhatFitsAPathBufferAndAHandOverWithItsTagOnly) {
  TempFolder folder;
  ASSERT_TRUE(WriteBytes(folder / "with blank.bin", "x"));
  std::strcpy(SplitJob.sourcePath, "stale");
  TakeCommandLineFile(Widen(folder / "with blank.bin" + std::string(300, '\\')).c_str());
  EXPECT_EQ(std::string(SplitJob.sourcePath), "");
  const std::string fits(259, 'a'), tooLong(260, 'a');
  const std::tuple<ULONG_PTR, DWORD, const void*, bool, std::string> cases[] = {
      {PLYX_HANDOVER_TAG, 2, "C:\\ab", true, "C:"},  // no terminator counted
      {PLYX_HANDOVER_TAG, 259, fits.data(), true, fits},
      {PLYX_HANDOVER_TAG, 260, tooLong.data(), false, ""},
      {PLYX_HANDOVER_TAG, 0x7FFFFFFF, tooLong.data(), false, ""},
      {PLYX_HANDOVER_TAG, 5, nullptr, false, ""},
      {0x87654321, 2, "C:", false, ""},  // another program's message
  };
  for (const auto& [tag, size, bytes, taken, expected] : cases) {
    COPYDATASTRUCT data{tag, size, const_cast<void*>(bytes)};
    char text[kPathBufferSize];
    std::memset(text, 'Z', sizeof text);
    EXPECT_EQ(TakeHandOverText(&data, text, sizeof text), taken) << size;
    EXPECT_EQ(std::string(text), expected) << size;
  }
}

std::string receivedText;
ULONG_PTR receivedTag = 0;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcA(window, message, wParam, lParam);
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  receivedTag = data->dwData;
  receivedText.assign(static_cast<const char*>(data->lpData), data->cbData);
  return TRUE;
}

// Mended faults: a name without an exact ANSI form was handed over as its best fit (Omega.bin,
// another file), now refused with a box; a relative name was taken in the running copy's folder.
TEST(SecondStart, HandsTheWholeTextOverToTheMainWindowAndLeavesTheCounter) {
  TempFolder folder;
  const std::wstring omega = MakeBestFitPair(folder.Path(), "other");
  ASSERT_NE(omega, L"");
  const WNDCLASSA windowClass = {0, RecordingProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "PlyxStandIn"};
  RegisterClassA(&windowClass);
  HWND running = CreateWindowExA(0, windowClass.lpszClassName, kPlyxTitle, WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
  ASSERT_NE(running, nullptr);
  CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, running, reinterpret_cast<HMENU>(IDC_SOURCE_FILE), nullptr,
                  nullptr);
  const std::pair<std::wstring, std::string> cases[] = {
      {L"", ""},
      {L"\"C:\\a b\\x.bin\"", "\"C:\\a b\\x.bin\""},
      {std::wstring(400, L'p'), std::string(400, 'p')},
      {omega, Narrow(omega)},  // UTF-8 holds it; refused elsewhere, it still brings the running copy to the front
      {L"Omega.bin", folder / "Omega.bin"},  // relative to this copy's folder, set below
  };
  const std::filesystem::path started = std::filesystem::current_path();
  std::filesystem::current_path(PathOf(folder.Path()));
  for (const auto& [commandLine, handedOver] : cases) {
    SCOPED_TRACE(handedOver);
    receivedText = "none";
    volatile LONG counter = 0;
    BoxAnswerer boxes;
    EXPECT_EQ(RunPlyx(GetModuleHandleA(nullptr), commandLine.c_str(), &counter), 0);
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(receivedTag, ULONG_PTR{PLYX_HANDOVER_TAG});
    EXPECT_EQ(receivedText, handedOver);
    const auto seen = boxes.Seen();
    EXPECT_EQ(seen.size(), commandLine == omega && !AnsiIsUtf8() ? 1u : 0u);
    if (!seen.empty()) { EXPECT_EQ(seen[0].text.rfind("PLYX cannot use the name", 0), 0u) << seen[0].text; }
  }
  std::filesystem::current_path(started);
  DestroyWindow(running);
}

// Hang: a second start waited for ever on a first copy that takes no messages.
TEST(SecondStart, EndsWhenTheRunningCopyDoesNotAnswer) {
  HWND running = CreateWindowExA(0, "STATIC", kPlyxTitle, WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  const UniqueHandle ended(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  std::thread second([&] { HandOverCommandLine("C:\\x.bin"), SetEvent(ended.Get()); });
  // This thread takes no messages meanwhile, as a copy that hangs.
  EXPECT_EQ(WaitForSingleObject(ended.Get(), 2 * kHandOverTimeoutMs), WAIT_OBJECT_0);
  second.join();
  DestroyWindow(running);
}

// Input handled unsafely: plyx-split.exe took the best fit of its arguments ("\u03a9mega.bin" split
// Omega.bin). Under UTF-8 each name is its own, in its report too; elsewhere it is refused.
TEST(PlyxSplitExe, TakesEachNameAsItIsOrRefusesIt) {
  if (const char* page = std::getenv("PLYX_CODE_PAGE")) { ASSERT_EQ(GetACP(), std::strtoul(page, nullptr, 10)); }
  const wchar_t* chosen = _wgetenv(L"PLYX_SPLIT_EXE");  // the twin of another code page
  std::wstring exe = chosen != nullptr ? chosen : L"Z:" PLYX_SPLIT_EXE;
  for (auto& c : exe) c = c == L'/' ? L'\\' : c;
  TempFolder temp;
  ASSERT_NE(MakeBestFitPair(temp.Path(), PatternBytes(300000)), L"");
  const std::wstring folder = Widen(temp.Path()), tokyo = folder + L"\u6771\u4eac \u2713\\";
  const std::wstring data = L"\u30c7\u30fc\u30bf \U0001f3ac \u2713.bin", out = L"\u51fa\u529b \U0001f4c1";
  for (const std::wstring& made : {folder + L"out", tokyo, tokyo + out})
    ASSERT_TRUE(CreateDirectoryW(made.c_str(), nullptr));
  const std::string bytes = PatternBytes(250000);
  ASSERT_TRUE(std::ofstream(std::filesystem::path(tokyo + data), std::ios::binary) << bytes);
  const std::tuple<std::wstring, std::wstring, std::wstring, std::string> cases[] = {
      {folder, L"\u03a9mega.bin out", folder + L"out\\\u03a9mega.bin", ""},
      {tokyo, L"\"" + data + L"\" \"" + out + L"\"", tokyo + out + L"\\" + data, bytes},
  };
  for (const auto& [in, arguments, parts, whole] : cases) {
    SCOPED_TRACE(Narrow(arguments));
    std::wstring line = L"\"" + exe + L"\" " + arguments + L" 100000";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const std::string log = temp / "report.txt";
    UniqueHandle report(CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = report.Get();
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, in.c_str(), &startup, &info));
    const UniqueHandle process(info.hProcess), thread(info.hThread);
    DWORD exitCode = 0;
    EXPECT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeProcess(process.Get(), &exitCode));
    report.Reset();
    const std::string said = ReadBytes(log);
    EXPECT_EQ(exitCode, AnsiIsUtf8() ? 0u : 3u) << "not the source refused, or not split: " << said;
    // Where refused, no name of the parts is one in this code page.
    const std::string joined =
        ReadBytes(Narrow(parts + L".001")) + ReadBytes(Narrow(parts + L".002")) + ReadBytes(Narrow(parts + L".003"));
    EXPECT_EQ(joined == whole && Exists(Narrow(parts + L".bat")), AnsiIsUtf8()) << joined.size() << " bytes";
    // Its report names the batch as it is, in UTF-8; or the refusal.
    const std::string named = AnsiIsUtf8() ? Narrow(parts.substr(parts.rfind(L'\\') + 1) + L".bat") : "cannot hold";
    EXPECT_NE(said.find(named), std::string::npos) << said;
  }
  for (const char* part : {"001", "bat"}) EXPECT_FALSE(Exists(temp / "out\\Omega.bin." + part)) << part;
}

}  // namespace

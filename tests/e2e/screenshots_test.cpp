// Pictures of the main window, the custom-size dialog and the progress window
// for the README. Not a test: run on demand with
//   PLYX_E2E_SHOTS=<folder> plyx-e2e.exe --gtest_also_run_disabled_tests --gtest_filter=*Screenshots*
// and convert the BMP files it leaves there.
#include <cstdlib>
#include <cstring>

#include "plyx_session.h"
#include "resource_ids.h"

namespace {

// The screen's pixels under `window`, bottom-up 24-bit rows as a BMP stores them.
std::string CaptureRows(HWND window, BITMAPINFOHEADER* header) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  *header = BITMAPINFOHEADER{};
  header->biSize = sizeof *header;
  header->biWidth = width;
  header->biHeight = height;
  header->biPlanes = 1;
  header->biBitCount = 24;
  header->biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  header->biSizeImage = static_cast<DWORD>(stride * height);

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  std::string rows(static_cast<const char*>(bits), header->biSizeImage);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return rows;
}

// Waits until the lower `stableShare` of the window looks the same twice running
// (it has finished painting; an animation above may go on), then saves it.
bool SaveWindowPicture(HWND window, const std::string& name, double stableShare = 1.0) {
  const char* folder = std::getenv("PLYX_E2E_SHOTS");
  if (!folder || !*folder) return false;
  BITMAPINFOHEADER header{};
  std::string rows;
  std::string previous;
  WaitFor([&] {
    rows = CaptureRows(window, &header);
    const size_t compared = static_cast<size_t>(rows.size() * stableShare);
    const bool same = previous.size() == rows.size() &&
                      std::memcmp(previous.data(), rows.data(), compared) == 0;
    previous = rows;
    return same;
  }, 5000);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + rows.size());
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
  bytes += rows;
  return WriteWholeFile(std::string(folder) + "\\" + name + ".bmp", bytes);
}

using Screenshots = PlyxJourney;

TEST_F(Screenshots, DISABLED_MainCustomSizeAndProgress) {
  ASSERT_NE(std::getenv("PLYX_E2E_SHOTS"), nullptr) << "set PLYX_E2E_SHOTS to a folder";
  const std::string source = temp_ / "holiday-video.avi";
  ASSERT_TRUE(WriteWholeFile(source, PatternBytes(10 * 262144)));
  ASSERT_TRUE(WriteWholeFile(temp_ / "holiday-video.avi.005", "old part"));
  ASSERT_TRUE(StartMain(source));
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(SaveWindowPicture(main(), "main-window"));

  ChooseSize(6);
  HWND custom = WaitForTopLevel(pid(), kCustomSizeTitle);
  ASSERT_NE(custom, nullptr);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetDlgItem(custom, IDC_CUSTOM_BYTES), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>("262144"), SMTO_ABORTIFHUNG, 5000, &ignored);
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(SaveWindowPicture(custom, "custom-size"));
  ASSERT_TRUE(PressButton(custom, IDOK));

  // The existing part holds the worker on its question halfway; the question
  // is moved aside so the progress window shows whole.
  Click(IDC_SPLIT);
  const MessageBoxInfo question = MessageBoxWith("exists already");
  ASSERT_NE(question.window, nullptr);
  SetWindowPos(question.window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  HWND progress = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (progress = FindProgressWindow(pid())) != nullptr; }));
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(SaveWindowPicture(progress, "progress", 0.5));
  ASSERT_TRUE(AnswerMessageBox(question.window, IDOK));
  const MessageBoxInfo outcome = NextMessageBox(30000);
  ASSERT_TRUE(outcome.window && AnswerMessageBox(outcome.window, IDOK));
  CloseAndExpectExitZero();
}

}  // namespace

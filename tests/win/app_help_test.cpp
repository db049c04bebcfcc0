// The help viewer is loaded once; a viewer that cannot be loaded is not tried
// again, and every failure ends in the message that names the help file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "help.h"
#include "support/temp_dir.h"
#include "support/ui_driver.h"

namespace {

std::vector<std::string> loadsTried;

HMODULE WINAPI NoLibrary(const char* name) {
  loadsTried.push_back(name);
  return nullptr;
}

// A module without exports: the test program itself.
HMODULE WINAPI LibraryWithoutEntry(const char* name) {
  loadsTried.push_back(name);
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  return LoadLibraryA(self);
}

std::string ExeFolder() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string path = self;
  return path.substr(0, path.find_last_of('\\'));
}

TEST(HtmlHelpLoader, ViewerThatCannotBeLoadedIsNotTriedAgain) {
  loadsTried.clear();
  HtmlHelpLoader viewer(NoLibrary);
  EXPECT_EQ(viewer.Show(nullptr, "C:\\x.chm", 0, 0), nullptr);
  ASSERT_FALSE(loadsTried.empty());
  EXPECT_EQ(loadsTried.back(), "hhctrl.ocx");
  EXPECT_TRUE(viewer.LoadFailed());
  const size_t triedFirst = loadsTried.size();
  for (int call = 0; call < 3; ++call) EXPECT_EQ(viewer.Show(nullptr, "C:\\x.chm", 0, 0), nullptr);
  EXPECT_EQ(loadsTried.size(), triedFirst);
}

TEST(HtmlHelpLoader, RegisteredViewerIsTriedBeforeTheNamedOne) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHtmlHelpServerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    GTEST_SKIP() << "no viewer registered";
  }
  char registered[MAX_PATH] = {};
  DWORD size = sizeof registered - 1;
  RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(registered), &size);
  RegCloseKey(key);
  loadsTried.clear();
  HtmlHelpLoader viewer(NoLibrary);
  viewer.Show(nullptr, "C:\\x.chm", 0, 0);
  EXPECT_EQ(loadsTried, (std::vector<std::string>{registered, "hhctrl.ocx"}));
}

TEST(HtmlHelpLoader, LibraryWithoutTheEntryIsKeptAndGivesNoWindow) {
  loadsTried.clear();
  HtmlHelpLoader viewer(LibraryWithoutEntry);
  EXPECT_EQ(viewer.Show(nullptr, "C:\\x.chm", 0, 0), nullptr);
  EXPECT_EQ(viewer.Show(nullptr, "C:\\x.chm", 0, 0), nullptr);
  EXPECT_FALSE(viewer.LoadFailed());
  EXPECT_EQ(loadsTried.size(), 1u) << "the loaded library is held, not loaded again";
}

TEST(HtmlHelpLoader, RealViewerGivesNoWindowForAMissingFile) {
  TempDir folder;
  HtmlHelpLoader viewer;
  EXPECT_EQ(viewer.Show(nullptr, (folder / "PLYX.chm").c_str(), 0, 0), nullptr);
  EXPECT_FALSE(viewer.LoadFailed()) << "the platform's viewer should load";
}

TEST(ShowHelp, MissingHelpFileIsNamedWithItsFullPath) {
  const std::string expectedPath = ExeFolder() + "\\PLYX.chm";
  ASSERT_EQ(GetFileAttributesA(expectedPath.c_str()), INVALID_FILE_ATTRIBUTES)
      << "a help file beside the test program";
  char path[MAX_PATH];
  ASSERT_TRUE(HelpFilePath(path, sizeof path));
  EXPECT_EQ(path, expectedPath);

  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                               nullptr, nullptr, nullptr);
  MessageBoxAnswerer answerer(0, [](const MessageBoxInfo&) { return IDOK; });
  ShowHelp(owner);
  DestroyWindow(owner);
  const auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Cannot Find File \n\n " + expectedPath + " \n\n Please re install the Help File");
  EXPECT_EQ(seen[0].caption, "PLYX - Quorvant Ver 1.4");
  EXPECT_EQ(seen[0].buttons, std::vector<int>({IDOK}));
  EXPECT_EQ(seen[0].icon, BoxIcon::kNone);
}

TEST(HelpFilePath, PathThatDoesNotFitIsRefused) {
  char small[16];
  EXPECT_FALSE(HelpFilePath(small, sizeof small));
}

}  // namespace

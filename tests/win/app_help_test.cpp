// The help viewer is loaded once; one that cannot be loaded is not tried again,
// and every failure ends in the message naming the help file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "help.h"
#include "support/ui_driver.h"

namespace {

int loadsTried = 0;

HMODULE WINAPI NoLibrary(const char*) {
  ++loadsTried;
  return nullptr;
}

// A module without exports: the test program itself.
HMODULE WINAPI LibraryWithoutEntry(const char*) {
  ++loadsTried;
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  return LoadLibraryA(self);
}

TEST(HtmlHelpLoader, RemembersAMissingViewerAndKeepsALoadedLibrary) {
  struct Case {
    const char* name;
    LoadLibraryFn loader;
    bool failed;
  } cases[] = {{"no library", NoLibrary, true}, {"library without the entry", LibraryWithoutEntry, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    loadsTried = 0;
    HtmlHelpLoader viewer(c.loader);
    EXPECT_EQ(viewer.Show(nullptr, "C:\\x.chm", 0, 0), nullptr);
    const int triedFirst = loadsTried;
    EXPECT_GE(triedFirst, 1);
    EXPECT_EQ(viewer.LoadFailed(), c.failed);
    EXPECT_EQ(viewer.Show(nullptr, "C:\\x.chm", 0, 0), nullptr);
    EXPECT_EQ(loadsTried, triedFirst) << "loaded again";
  }
}

TEST(ShowHelp, MissingHelpFileIsNamedWithItsFullPath) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string expectedPath = self;
  expectedPath = expectedPath.substr(0, expectedPath.find_last_of('\\')) + "\\PLYX.chm";
  ASSERT_EQ(GetFileAttributesA(expectedPath.c_str()), INVALID_FILE_ATTRIBUTES);

  MessageBoxAnswerer answerer(0, [](const MessageBoxInfo&) { return IDOK; });
  ShowHelp(nullptr);
  const auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "Cannot Find File \n\n " + expectedPath + " \n\n Please re install the Help File");
  EXPECT_EQ(seen[0].caption, "PLYX - Quorvant Ver 1.4");
  EXPECT_EQ(seen[0].buttons, std::vector<int>({IDOK}));
  EXPECT_EQ(seen[0].icon, BoxIcon::kNone);
}

}  // namespace

// One PLYX at a time: a second start hands its command line to the running
// copy and ends without a window of its own.
#include "plyx_session.h"
#include "resource_ids.h"

namespace {

using SingleInstance = PlyxJourney;

// Waits for a second copy to end; it must end with 0 and never show a window.
void ExpectHandedOver(PlyxProcess& second) {
  bool showedWindow = false;
  DWORD code = 259;
  const bool ended = WaitFor([&] {
    if (!PlyxTitledWindows(second.pid()).empty()) showedWindow = true;
    return !second.Running();
  }, 20000);
  ASSERT_TRUE(ended) << "the second copy still runs";
  ASSERT_TRUE(second.WaitForExit(0, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(showedWindow) << "the second copy opened a window";
}

TEST_F(SingleInstance, SecondStartHandsItsFileToTheRunningCopy) {
  const std::string source = temp_ / "archive.zip";
  ASSERT_TRUE(WriteWholeFile(source, PatternBytes(600000)));
  ASSERT_TRUE(StartMain(""));

  ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start(source)));
  EXPECT_TRUE(WaitFor([&] { return Text(IDC_SOURCE_FILE) == source; })) << Text(IDC_SOURCE_FILE);
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT), "File Size : 585.94 KB");
  EXPECT_EQ(Text(IDC_PART_COUNT_TEXT), "Num of Split Parts : 1");
  EXPECT_EQ(Text(IDC_DEST_FOLDER), temp_.path());
  EXPECT_TRUE(WaitForFocus(IDC_SPLIT));
  EXPECT_TRUE(IsWindowVisible(main()));
  CloseAndExpectExitZero();

  // With the first copy gone, the next start is a first start again.
  ASSERT_TRUE(StartMain(""));
  EXPECT_EQ(Text(IDC_SOURCE_FILE), "");
  CloseAndExpectExitZero(/*byTitleBar=*/true);
}

TEST_F(SingleInstance, SecondStartWithoutArgumentsRestoresFromTheTaskbar) {
  ASSERT_TRUE(plyx_registry::SetDword("MinToSysTray", 0));
  const std::string source = temp_ / "kept.bin";
  ASSERT_TRUE(WriteWholeFile(source, "kept"));
  ASSERT_TRUE(StartMain(source));
  SystemCommand(SC_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(main()) != FALSE; }));

  ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start("")));
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(main()) && IsWindowVisible(main()); }));
  EXPECT_EQ(Text(IDC_SOURCE_FILE), source);
  CloseAndExpectExitZero();
}

TEST_F(SingleInstance, SecondStartBringsTheWindowBackFromTheNotificationArea) {
  const std::string source = temp_ / "setup.exe";
  ASSERT_TRUE(WriteWholeFile(source, PatternBytes(2000)));
  ASSERT_TRUE(StartMain(""));
  SystemCommand(SC_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main()) && TrayIconShown(); }))
      << "visible " << IsWindowVisible(main()) << ", icon " << TrayIconShown();

  ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start(source)));
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main()) && !TrayIconShown(); }))
      << "visible " << IsWindowVisible(main()) << ", icon " << TrayIconShown();
  EXPECT_EQ(Text(IDC_SOURCE_FILE), source);
  CloseAndExpectExitZero();
}

TEST_F(SingleInstance, TwoCopiesStartedTogetherGiveOneWindow) {
  PlyxProcess& first = Start("");
  PlyxProcess& second = Start("");
  // One of them ends by itself (having handed over, or found no window yet).
  ASSERT_TRUE(WaitFor([&] { return !first.Running() || !second.Running(); }, 20000))
      << "both copies still run";
  PlyxProcess& survivor = first.Running() ? first : second;
  PlyxProcess& ended = first.Running() ? second : first;
  DWORD code = 259;
  ASSERT_TRUE(ended.WaitForExit(0, &code));
  EXPECT_EQ(code, 0u);
  ASSERT_TRUE(UseMain(survivor));
  EXPECT_EQ(PlyxTitledWindows(first.pid()).size() + PlyxTitledWindows(second.pid()).size(), 1u);
  CloseAndExpectExitZero();
}

TEST_F(SingleInstance, OverlongForwardedTextIsIgnored) {
  const std::string source = temp_ / "small.txt";
  ASSERT_TRUE(WriteWholeFile(source, "small"));
  ASSERT_TRUE(StartMain(source));
  SystemCommand(SC_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main()); }));

  // Longer than any path buffer of PLYX: the window comes back, the text is dropped.
  ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start("C:\\" + std::string(400, 'x'))));
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main()) != FALSE; }));
  EXPECT_EQ(Text(IDC_SOURCE_FILE), source);
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT), "File Size : 5 Bytes");
  CloseAndExpectExitZero();
}

TEST_F(SingleInstance, HandOverDuringASplitLeavesTheRunningSplitAlone) {
  const std::string source = temp_ / "first.bin";
  const std::string other = temp_ / "other.bin";
  const std::string bytes = PatternBytes(3000000);
  ASSERT_TRUE(WriteWholeFile(source, bytes));
  ASSERT_TRUE(WriteWholeFile(other, PatternBytes(100)));
  ASSERT_TRUE(WriteWholeFile(temp_ / "first.bin.002", "old"));
  ASSERT_TRUE(StartMain(source));
  ChooseSize(2);
  ASSERT_TRUE(WaitFor([&] { return Text(IDC_PART_COUNT_TEXT) == "Num of Split Parts : 3"; }));
  Click(IDC_SPLIT);
  // The worker waits on this question while the second copy hands over.
  const MessageBoxInfo question = MessageBoxWith("exists already");
  ASSERT_NE(question.window, nullptr);

  ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start(other)));
  ASSERT_TRUE(AnswerMessageBox(question.window, IDOK));
  const MessageBoxInfo outcome = NextMessageBox(30000);
  EXPECT_EQ(outcome.text, "File\t : first.bin Split Successfully\n#Parts\t : 3 part(s) \nTarget Dir\t : " +
                              temp_.path());
  ASSERT_TRUE(outcome.window && AnswerMessageBox(outcome.window, IDOK));
  std::string part;
  for (unsigned i = 1; i <= 3; ++i) {
    ASSERT_TRUE(ReadWholeFile(temp_ / PartName("first.bin", i), &part));
    EXPECT_TRUE(part == bytes.substr((i - 1) * 1048576, 1048576)) << "part " << i << ", " << part.size();
  }
  EXPECT_FALSE(FileExistsAt(temp_ / "other.bin.001"));
  CloseAndExpectExitZero();
}

}  // namespace

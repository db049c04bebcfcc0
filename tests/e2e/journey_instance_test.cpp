// One PLYX at a time: a second start hands its command line to the running
// copy and ends without a window of its own. (The ways back from a minimised
// window are in journey_window_test.cpp.)
#include "plyx_session.h"

namespace {

using SingleInstance = PlyxJourney;

TEST_F(SingleInstance, SecondStartHandsItsFileToTheRunningCopy) {
  const std::string source = temp / "archive.zip";
  ASSERT_TRUE(WriteBytes(source, PatternBytes(600000)));
  ASSERT_TRUE(StartMain(""));

  ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start(source)));
  EXPECT_TRUE(WaitFor([&] { return Text(IDC_SOURCE_FILE) == source; })) << Text(IDC_SOURCE_FILE);
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT) + " | " + Text(IDC_PART_COUNT_TEXT), "File Size : 585.94 KB | Num of Split Parts : 1");
  EXPECT_EQ(Text(IDC_DEST_FOLDER), temp.Path());
  EXPECT_TRUE(WaitForFocus(IDC_SPLIT));
  CloseAndExpectExitZero();

  // With the first copy gone, the next start is a first start again.
  ASSERT_TRUE(StartMain(""));
  EXPECT_EQ(Text(IDC_SOURCE_FILE), "");
  CloseAndExpectExitZero(/*byTitleBar=*/true);
}

TEST_F(SingleInstance, TwoCopiesStartedTogetherGiveOneWindow) {
  ChildProcess& first = Start("");
  ChildProcess& second = Start("");
  // One of them ends by itself (having handed over, or found no window yet).
  ASSERT_TRUE(WaitFor([&] { return !first.Running() || !second.Running(); }, 20000)) << "both copies still run";
  ChildProcess& survivor = first.Running() ? first : second;
  DWORD code = 259;
  ASSERT_TRUE((first.Running() ? second : first).WaitForExit(0, &code));
  EXPECT_EQ(code, 0u);
  ASSERT_TRUE(UseMain(survivor));
  EXPECT_EQ(PlyxWindowsOf(first.Pid()).size() + PlyxWindowsOf(second.Pid()).size(), 1u);
  CloseAndExpectExitZero();
}

TEST_F(SingleInstance, HandOverDuringASplitLeavesTheRunningSplitAlone) {
  const std::string source = temp / "first.bin", other = temp / "other.bin", bytes = PatternBytes(3000000);
  ASSERT_TRUE(WriteBytes(source, bytes) && WriteBytes(other, PatternBytes(100)));
  ASSERT_TRUE(WriteBytes(source + ".002", "old"));
  ASSERT_TRUE(StartMain(source));
  ChooseSize(2);
  ASSERT_TRUE(WaitFor([&] { return Text(IDC_PART_COUNT_TEXT) == "Num of Split Parts : 3"; }));
  Click(Item(IDC_SPLIT));
  // The worker waits on this question while the second copy hands over.
  const MessageBoxInfo question = WaitForMessageBox(Pid(), "exists already");
  ASSERT_NE(question.window, nullptr);

  ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start(other)));
  ASSERT_TRUE(AnswerMessageBox(question.window, IDOK));
  const MessageBoxInfo outcome = NextMessageBox(30000);
  EXPECT_EQ(outcome.text, "File\t : first.bin Split Successfully\n#Parts\t : 3 part(s) \nTarget Dir\t : " +
                              temp.Path());
  ASSERT_TRUE(outcome.window && AnswerMessageBox(outcome.window, IDOK));
  ExpectParts(temp.Path(), "first.bin", bytes, 1048576, 3);
  EXPECT_FALSE(Exists(other + ".001"));
  CloseAndExpectExitZero();
}

}  // namespace

// Splits from the main window: outcome, parts, batch, history and reset; the
// refusals before a split; the two ways a split is cancelled; and a second
// start while a split runs.
#include <functional>

#include "plyx_session.h"

namespace {

using Split = PlyxJourney;

std::string SuccessText(const std::string& name, unsigned parts, const std::string& folder) {
  return "File\t : " + name + " Split Successfully\n#Parts\t : " + std::to_string(parts) +
         " part(s) \nTarget Dir\t : " + folder;
}

TEST_F(Split, PresetSizeWithPartsBatchHistoryAndReset) {
  const std::string out = temp.MakeFolder("out"), bytes = PatternBytes(3000000);
  ASSERT_TRUE(WriteBytes(temp / "data.bin", bytes));
  ASSERT_TRUE(StartMain(temp / "data.bin"));
  Type(IDC_DEST_FOLDER, out);  // without its backslash
  Focus(IDC_SIZE_LIST);
  ChooseSize(2);
  EXPECT_TRUE(WaitFor([&] { return Text(IDC_PART_COUNT_TEXT) == "Num of Split Parts : 3"; }));

  Click(Item(IDC_SPLIT));
  const MessageBoxInfo outcome = NextMessageBox(30000);
  // The main dialog's own messages are owned by it, so it cannot be used meanwhile.
  ExpectBox(outcome, SuccessText("data.bin", 3, out + "\\"), Main());
  ASSERT_TRUE(AnswerMessageBox(outcome.window, IDOK));
  ASSERT_NO_FATAL_FAILURE(ExpectParts(out + "\\", "data.bin", bytes, 1048576, 3, true));
  EXPECT_TRUE(WaitFor([&] { return NewestHistoryEntry() == out + "\\"; })) << NewestHistoryEntry();

  // The request starts over; the destination stays as typed.
  EXPECT_TRUE(WaitFor([&] { return Text(IDC_SOURCE_FILE).empty(); }));
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT) + " | " + Text(IDC_SPLIT_SIZE_TEXT) + " | " + Text(IDC_PART_COUNT_TEXT),
            "File Size : 0KB | Split Size : 1.38MB | Num of Split Parts : 0");
  EXPECT_EQ(SizeIndex(), 3);
  EXPECT_EQ(Text(IDC_DEST_FOLDER), out);
  EXPECT_TRUE(WaitForFocus(IDC_SOURCE_FILE));
  CloseAndExpectExitZero();
}

TEST_F(Split, EachMissingPieceIsRefusedByNameAndGetsTheFocus) {
  const std::string big = temp / "big.iso", gone = temp / "gone";
  ASSERT_TRUE(MakeSparseFile(big, 300000000));
  ASSERT_TRUE(StartMain(""));
  const struct { std::function<void()> arrange; const char* message; int focus; bool wholeTextSelected; } refusals[] = {
      {[] {}, "Select a File to Split", IDC_SOURCE_FILE, false},
      {[&] { Type(IDC_SOURCE_FILE, temp / "missing.bin"); }, "File does not Exist", IDC_SOURCE_FILE, true},
      {[&] { Type(IDC_SOURCE_FILE, big); }, "Select a Destination Folder", IDC_DEST_FOLDER, false},
      // A folder accepted when typed, then replaced by a file before Split.
      {[&] {
         CreateDirectoryA(gone.c_str(), nullptr), Type(IDC_DEST_FOLDER, gone), Focus(IDC_SIZE_LIST), Settle();
         RemoveDirectoryA(gone.c_str()), WriteBytes(gone, "a file now");
       },
       "Directory not Valid / Insert Disk & Retry", IDC_DEST_FOLDER, true},
      {[&] {
         DeleteFileA(gone.c_str()), CreateDirectoryA(gone.c_str(), nullptr), ChooseSize(0);
         WaitFor([&] { return Text(IDC_PART_COUNT_TEXT) == "Num of Split Parts : 1145"; });
       },
       "Choose a split size, such that the number of split parts does not exceed 999 !", IDC_SIZE_LIST, false},
  };
  for (const auto& refusal : refusals) {
    SCOPED_TRACE(refusal.message);
    refusal.arrange();
    Click(Item(IDC_SPLIT));
    const MessageBoxInfo box = NextMessageBox();
    ExpectBox(box, refusal.message, Main());
    ASSERT_TRUE(box.window && AnswerMessageBox(box.window, IDOK));
    EXPECT_TRUE(WaitForFocus(refusal.focus));
    EXPECT_TRUE(!refusal.wholeTextSelected || WholeTextSelected(Item(refusal.focus)));
  }
  CloseAndExpectExitZero();
}

// Lost data: a cancelled split keeps the parts before it, and an existing part
// the user declined to replace stays as it was. Mended fault: a close from
// outside (a task manager's polite close) ended PLYX under the worker.
TEST_F(Split, CancelConfirmedDeclinedAtAnExistingPartOrAskedForByAClose) {
  const std::string source = temp / "disk.img", bytes = PatternBytes(10 * 262144);
  ASSERT_TRUE(WriteBytes(source, bytes));
  // The worker stops at this part to ask, which holds the split still while the user cancels it.
  ASSERT_TRUE(WriteBytes(source + ".005", "old part"));
  ASSERT_TRUE(StartMain(source));
  const struct { const char* confirmation; bool byClose; } ways[] = {
      {"Do you want to cancel the File Split ?", false},
      {nullptr, false},  // the existing part answered Cancel
      {"Do you want to close this operation ?", true},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.confirmation ? way.confirmation : "existing part answered Cancel");
    const std::string fifth = ReadBytes(source + ".005");
    if (&way != ways) {  // the request was reset: the same again, from the fifth part on
      for (unsigned i = 1; i <= 4; ++i) DeleteFileA((temp / PartName("disk.img", i)).c_str());
      Type(IDC_SOURCE_FILE, source);
      Focus(IDC_SIZE_LIST);
    }
    ChooseSize(0);
    ASSERT_TRUE(WaitFor([&] { return Text(IDC_PART_COUNT_TEXT) == "Num of Split Parts : 10"; }));
    Click(Item(IDC_SPLIT));
    const MessageBoxInfo question = WaitForMessageBox(Pid(), "exists already");
    // The worker's question has no owner.
    ExpectBox(question, source + ".005 exists already, do you want to OverWrite it?", nullptr, {IDOK, IDCANCEL});
    if (way.confirmation) {
      HWND progress = WaitForWindow(Pid(), [](HWND w) { return GetDlgItem(w, IDC_PROGRESS_CANCEL) != nullptr; });
      PostMessageA(way.byClose ? Main() : GetDlgItem(progress, IDC_PROGRESS_CANCEL), way.byClose ? WM_CLOSE : BM_CLICK,
                   0, 0);
      const MessageBoxInfo confirm = WaitForMessageBox(Pid(), way.confirmation);
      EXPECT_EQ(confirm.owner, progress);
      ASSERT_TRUE(confirm.window && AnswerMessageBox(confirm.window, IDOK));
    }
    ASSERT_TRUE(question.window && AnswerMessageBox(question.window, way.confirmation ? IDOK : IDCANCEL));

    // No word from the worker: the next box is the outcome.
    const MessageBoxInfo outcome = NextMessageBox(30000);
    ExpectBox(outcome, "!!! File Split Cancelled, as requested !!!", Main());
    ASSERT_TRUE(outcome.window && AnswerMessageBox(outcome.window, IDOK));
    for (unsigned i = 1; i <= 4; ++i) {
      EXPECT_TRUE(ReadBytes(temp / PartName("disk.img", i)) == bytes.substr((i - 1) * 262144, 262144)) << "part " << i;
    }
    EXPECT_TRUE(ReadBytes(source + ".005") == fifth);  // a cancelled run opens no part for writing
    EXPECT_FALSE(Exists(source + ".006") || Exists(source + ".bat"));
    EXPECT_TRUE(WaitFor([&] { return NewestHistoryEntry() == temp.Path(); })) << NewestHistoryEntry();
    EXPECT_TRUE(way.byClose || WaitFor([&] { return Text(IDC_SOURCE_FILE).empty(); }));
  }
  // The close from outside, carried out once the split is over.
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(Main()); }, 20000));
}

// Race: a hand-over during a split must not change the request under the
// worker. Mended faults: it brought the disabled main window over the progress
// window; taken during the outcome, it put its folder into the history, was
// wiped by the reset (and after an empty file, divided by a part size of 0).
TEST_F(Split, HandOverDuringASplitLeavesTheRunningSplitAlone) {
  const std::string source = temp / "first.bin", bytes = PatternBytes(3000000);
  const std::string other = temp.MakeFolder("elsewhere") + "\\other.bin";
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
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == question.window; }));
  HWND progress = WaitForWindow(Pid(), [](HWND w) { return GetDlgItem(w, IDC_PROGRESS_CANCEL) != nullptr; });
  auto above = [](HWND upper, HWND lower) {  // in the top-level windows' order
    HWND w = GetTopWindow(nullptr);
    while (w != nullptr && w != upper && w != lower) w = GetWindow(w, GW_HWNDNEXT);
    return w == upper;
  };
  EXPECT_TRUE(WaitFor([&] { return above(question.window, progress) && above(progress, Main()); }));
  ASSERT_TRUE(AnswerMessageBox(question.window, IDOK));
  const MessageBoxInfo outcome = NextMessageBox(30000);
  ExpectBox(outcome, SuccessText("first.bin", 3, temp.Path()), Main());
  ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start(other)));
  ASSERT_TRUE(outcome.window && AnswerMessageBox(outcome.window, IDOK));
  ExpectParts(temp.Path(), "first.bin", bytes, 1048576, 3);
  EXPECT_FALSE(Exists(other + ".001"));
  EXPECT_TRUE(WaitFor([&] { return NewestHistoryEntry() == temp.Path(); })) << NewestHistoryEntry();
  EXPECT_TRUE(Settle() && Text(IDC_SOURCE_FILE).empty() && Text(IDC_DEST_FOLDER) == temp.Path());
  CloseAndExpectExitZero();
}

}  // namespace

// Splits from the main window: the outcome message, the parts and the merge
// batch on disk, the history and the reset afterwards; the refusals before a
// split; and a cancel during one.
#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "plyx_session.h"
#include "resource_ids.h"

namespace {

using Split = PlyxJourney;
using Refusals = PlyxJourney;
using Cancel = PlyxJourney;
using CustomSize = PlyxJourney;

std::string Folder(const TempDir& temp, const std::string& name) {
  const std::string folder = temp / name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// Parts hold the source's bytes in order, nothing more is written, and the
// batch rebuilds the source under cmd.exe.
void ExpectPartsAndBatch(const std::string& folder, const std::string& name,
                         const std::string& source, size_t partSize, unsigned parts) {
  std::string bytes;
  for (unsigned i = 1; i <= parts; ++i) {
    SCOPED_TRACE("part " + PartName(name, i));
    ASSERT_TRUE(ReadWholeFile(folder + PartName(name, i), &bytes));
    EXPECT_TRUE(bytes == source.substr((i - 1) * partSize, partSize)) << "size " << bytes.size();
  }
  EXPECT_FALSE(FileExistsAt(folder + PartName(name, parts + 1)));
  ASSERT_TRUE(ReadWholeFile(folder + name + ".bat", &bytes));
  EXPECT_EQ(bytes, ExpectedMergeBatch(name, parts));
  ASSERT_TRUE(RunMergeBatch(folder, name));
  ASSERT_TRUE(ReadWholeFile(folder + name, &bytes));
  EXPECT_TRUE(bytes == source) << "joined " << bytes.size() << " bytes of " << source.size();
}

std::string SuccessText(const std::string& name, unsigned parts, const std::string& folder) {
  return "File\t : " + name + " Split Successfully\n#Parts\t : " + std::to_string(parts) +
         " part(s) \nTarget Dir\t : " + folder;
}

// The main dialog's own messages: owned by it, so it cannot be used meanwhile.
void ExpectOutcome(const MessageBoxInfo& box, const std::string& text, HWND owner) {
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(GetWindow(box.window, GW_OWNER), owner) << "owner of [" << box.text << "]";
  EXPECT_EQ(box.caption, kPlyxTitle);
  EXPECT_EQ(box.icon, BoxIcon::kInformation);
  EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
}

TEST_F(Split, PresetThenCustomSizeWithPartsBatchHistoryAndReset) {
  const std::string sourceFolder = Folder(temp_, "source");
  const std::string out = Folder(temp_, "out");
  const std::string out2 = Folder(temp_, "out2");
  const std::string source = sourceFolder + "\\data.bin";
  const std::string bytes = PatternBytes(3000000);
  ASSERT_TRUE(WriteWholeFile(source, bytes));

  ASSERT_TRUE(StartMain(source));
  // Typed without its backslash; leaving an existing folder says nothing.
  Type(IDC_DEST_FOLDER, out);
  Focus(IDC_SIZE_LIST);
  ASSERT_TRUE(Settle());
  EXPECT_EQ(NextMessageBox(0).text, "");
  ChooseSize(2);
  EXPECT_TRUE(WaitFor([&] { return Text(IDC_PART_COUNT_TEXT) == "Num of Split Parts : 3"; }));
  EXPECT_EQ(Text(IDC_SPLIT_SIZE_TEXT), "Split Size : 1.00 MB");

  Click(IDC_SPLIT);
  MessageBoxInfo outcome = NextMessageBox(30000);
  ExpectOutcome(outcome, SuccessText("data.bin", 3, out + "\\"), main());
  ASSERT_TRUE(AnswerMessageBox(outcome.window, IDOK));
  ASSERT_NO_FATAL_FAILURE(ExpectPartsAndBatch(out + "\\", "data.bin", bytes, 1048576, 3));
  EXPECT_TRUE(WaitForNewestHistoryEntry(out + "\\")) << plyx_registry::NewestHistoryEntry();

  // The request starts over; the destination stays as typed.
  EXPECT_TRUE(WaitFor([&] { return Text(IDC_SOURCE_FILE).empty(); }));
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT), "File Size : 0KB");
  EXPECT_EQ(Text(IDC_SPLIT_SIZE_TEXT), "Split Size : 1.38MB");
  EXPECT_EQ(Text(IDC_PART_COUNT_TEXT), "Num of Split Parts : 0");
  EXPECT_EQ(SizeIndex(), 3);
  EXPECT_EQ(Text(IDC_DEST_FOLDER), out);
  EXPECT_TRUE(WaitForFocus(IDC_SOURCE_FILE));

  // Again, with the file typed in and a custom size.
  Type(IDC_SOURCE_FILE, source);
  Focus(IDC_DEST_FOLDER);
  EXPECT_TRUE(WaitFor([&] { return Text(IDC_FILE_SIZE_TEXT) == "File Size : 2.86 MB"; }));
  Type(IDC_DEST_FOLDER, out2);
  Focus(IDC_SIZE_LIST);
  ChooseSize(6);
  HWND custom = WaitForTopLevel(pid(), kCustomSizeTitle);
  ASSERT_NE(custom, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(custom, IDC_CUSTOM_BYTES)), "0");
  EXPECT_EQ(TextOf(GetDlgItem(custom, IDC_CUSTOM_LABEL)), "Custom Size is : 0 Bytes");
  PostKey(custom, VK_ESCAPE);
  ASSERT_TRUE(Settle());
  ASSERT_TRUE(IsWindow(custom) && IsWindowVisible(custom)) << "Escape closed the custom-size dialog";
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetDlgItem(custom, IDC_CUSTOM_BYTES), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>("1000000"), SMTO_ABORTIFHUNG, 5000, &ignored);
  EXPECT_TRUE(WaitFor([&] {
    return TextOf(GetDlgItem(custom, IDC_CUSTOM_LABEL)) == "Custom Size is : 976.57 KB";
  })) << TextOf(GetDlgItem(custom, IDC_CUSTOM_LABEL));
  ASSERT_TRUE(PressButton(custom, IDOK));
  EXPECT_TRUE(WaitFor([&] { return Text(IDC_SPLIT_SIZE_TEXT) == "Split Size : 976.57 KB"; }));
  EXPECT_EQ(Text(IDC_PART_COUNT_TEXT), "Num of Split Parts : 3");
  EXPECT_EQ(SizeIndex(), 6);

  Click(IDC_SPLIT);
  outcome = NextMessageBox(30000);
  ExpectOutcome(outcome, SuccessText("data.bin", 3, out2 + "\\"), main());
  ASSERT_TRUE(AnswerMessageBox(outcome.window, IDOK));
  ASSERT_NO_FATAL_FAILURE(ExpectPartsAndBatch(out2 + "\\", "data.bin", bytes, 1000000, 3));
  EXPECT_TRUE(WaitForNewestHistoryEntry(out2 + "\\")) << plyx_registry::NewestHistoryEntry();
  EXPECT_TRUE(WaitFor([&] { return SizeIndex() == 3; }));
  CloseAndExpectExitZero();
}

TEST_F(CustomSize, ZeroIsRefusedAndCancelKeepsTheSizeBefore) {
  const std::string source = temp_ / "notes.txt";
  ASSERT_TRUE(WriteWholeFile(source, PatternBytes(3000000)));
  ASSERT_TRUE(StartMain(source));
  ChooseSize(1);
  ASSERT_TRUE(WaitFor([&] { return Text(IDC_SPLIT_SIZE_TEXT) == "Split Size : 512.00 KB"; }));

  ChooseSize(6);
  HWND custom = WaitForTopLevel(pid(), kCustomSizeTitle);
  ASSERT_NE(custom, nullptr);
  HWND bytesBox = GetDlgItem(custom, IDC_CUSTOM_BYTES);
  ASSERT_TRUE(PressButton(custom, IDOK, /*waitGone=*/false));
  const MessageBoxInfo zero = MessageBoxWith("Split Size Cannot be 0 Bytes");
  EXPECT_EQ(zero.caption, kPlyxTitle);
  EXPECT_EQ(zero.buttons, (std::vector<int>{IDCANCEL, IDRETRY}));
  EXPECT_EQ(zero.icon, BoxIcon::kNone);
  EXPECT_EQ(GetWindow(zero.window, GW_OWNER), custom);
  ASSERT_TRUE(zero.window && AnswerMessageBox(zero.window, IDRETRY));
  // Back in the box, its text selected for typing over.
  EXPECT_TRUE(WaitFor([&] { return FocusedControl(custom) == bytesBox; }));
  EXPECT_EQ(SendMessageA(bytesBox, EM_GETSEL, 0, 0), MAKELONG(0, 1));
  ASSERT_TRUE(IsWindowVisible(custom));

  // Cancelled while a preset's size holds: that preset is chosen again.
  ASSERT_TRUE(PressButton(custom, IDC_CUSTOM_CANCEL));
  EXPECT_TRUE(WaitFor([&] { return SizeIndex() == 1; })) << SizeIndex();
  EXPECT_EQ(Text(IDC_SPLIT_SIZE_TEXT), "Split Size : 512.00 KB");
  EXPECT_EQ(Text(IDC_PART_COUNT_TEXT), "Num of Split Parts : 6");

  // Cancelled while a size of its own holds: "Custom Size" stays.
  ChooseSize(6);
  custom = WaitForTopLevel(pid(), kCustomSizeTitle);
  ASSERT_NE(custom, nullptr);
  SendMessageA(GetDlgItem(custom, IDC_CUSTOM_BYTES), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>("1000000"));
  ASSERT_TRUE(PressButton(custom, IDOK));
  ChooseSize(6);
  custom = WaitForTopLevel(pid(), kCustomSizeTitle);
  ASSERT_NE(custom, nullptr);
  ASSERT_TRUE(PressButton(custom, IDC_CUSTOM_CANCEL));
  ASSERT_TRUE(Settle());
  EXPECT_EQ(SizeIndex(), 6);
  EXPECT_EQ(Text(IDC_SPLIT_SIZE_TEXT), "Split Size : 976.57 KB");
  EXPECT_EQ(Text(IDC_PART_COUNT_TEXT), "Num of Split Parts : 3");
  CloseAndExpectExitZero();
}

TEST_F(Refusals, EachMissingPieceIsNamedAndGetsTheFocus) {
  const std::string big = temp_ / "big.iso";
  ASSERT_TRUE(MakeLargeFile(big, 300000000ull));
  const std::string gone = temp_ / "gone";
  ASSERT_TRUE(StartMain(""));

  struct Refusal {
    const char* situation;
    std::function<void()> arrange;
    const char* message;
    int focus;
    bool wholeTextSelected;
  };
  const Refusal refusals[] = {
      {"nothing chosen", [] {}, "Select a File to Split", IDC_SOURCE_FILE, false},
      {"a file that is not there", [&] { Type(IDC_SOURCE_FILE, temp_ / "missing.bin"); },
       "File does not Exist", IDC_SOURCE_FILE, true},
      {"no destination", [&] { Type(IDC_SOURCE_FILE, big); }, "Select a Destination Folder",
       IDC_DEST_FOLDER, false},
      // A folder accepted when typed, then replaced by a file before Split.
      {"a destination that is a file",
       [&] {
         CreateDirectoryA(gone.c_str(), nullptr);
         Type(IDC_DEST_FOLDER, gone);
         Focus(IDC_SIZE_LIST);
         Settle();
         RemoveDirectoryA(gone.c_str());
         WriteWholeFile(gone, "a file now");
       },
       "Directory not Valid / Insert Disk & Retry", IDC_DEST_FOLDER, true},
      {"1145 parts",
       [&] {
         DeleteFileA(gone.c_str());
         CreateDirectoryA(gone.c_str(), nullptr);
         ChooseSize(0);
         WaitFor([&] { return Text(IDC_PART_COUNT_TEXT) == "Num of Split Parts : 1145"; });
       },
       "Choose a split size, such that the number of split parts does not exceed 999 !",
       IDC_SIZE_LIST, false},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.situation);
    refusal.arrange();
    Click(IDC_SPLIT);
    const MessageBoxInfo box = NextMessageBox();
    ExpectOutcome(box, refusal.message, main());
    ASSERT_TRUE(box.window && AnswerMessageBox(box.window, IDOK));
    EXPECT_TRUE(WaitForFocus(refusal.focus)) << "focus on " << ClassOf(FocusedControl(main()));
    if (refusal.wholeTextSelected) {
      const int length = static_cast<int>(Text(refusal.focus).size());
      EXPECT_EQ(Selection(refusal.focus), std::make_pair(0, length));
    }
    EXPECT_EQ(FindProgressWindow(pid()), nullptr);
  }
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT), "File Size : 0.28 GB");
  CloseAndExpectExitZero();
}

TEST_F(Cancel, ConfirmedDuringASplitReportsCancelledAndResets) {
  const std::string source = temp_ / "disk.img";
  const std::string bytes = PatternBytes(10 * 262144);
  ASSERT_TRUE(WriteWholeFile(source, bytes));
  // The worker stops at this part to ask, which holds the split still while
  // the user cancels it.
  ASSERT_TRUE(WriteWholeFile(temp_ / "disk.img.005", "old part"));
  ASSERT_TRUE(StartMain(source));
  ChooseSize(0);
  ASSERT_TRUE(WaitFor([&] { return Text(IDC_PART_COUNT_TEXT) == "Num of Split Parts : 10"; }));

  Click(IDC_SPLIT);
  const MessageBoxInfo question = MessageBoxWith("exists already");
  EXPECT_EQ(question.text, temp_ / "disk.img.005" + " exists already, do you want to OverWrite it?");
  EXPECT_EQ(question.caption, kPlyxTitle);
  EXPECT_EQ(question.buttons, (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(question.icon, BoxIcon::kNone);
  EXPECT_EQ(GetWindow(question.window, GW_OWNER), nullptr) << "the worker's question has no owner";
  HWND progress = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (progress = FindProgressWindow(pid())) != nullptr; }));
  EXPECT_EQ(TextOf(GetDlgItem(progress, IDC_PROGRESS_STATUS)), "Spliting file into - 5 of 10 part(s)");
  // One step per finished part, on a bar that ends one past the last part.
  HWND bar = GetDlgItem(progress, IDC_PROGRESS_BAR);
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 4);
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 11);

  PostKey(progress, VK_ESCAPE);
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(IsWindowVisible(progress)) << "Escape closed the progress window";
  EXPECT_EQ(WaitForMessageBox(pid(), "cancel", 0), nullptr) << "Escape asked to cancel";

  ASSERT_TRUE(PressButton(progress, IDC_PROGRESS_CANCEL, /*waitGone=*/false));
  const MessageBoxInfo confirm = MessageBoxWith("Do you want to cancel the File Split ?");
  EXPECT_EQ(confirm.caption, "Confirm to Cancel");
  EXPECT_EQ(GetWindow(confirm.window, GW_OWNER), progress);
  EXPECT_EQ(confirm.icon, BoxIcon::kQuestion);
  EXPECT_EQ(confirm.buttons, (std::vector<int>{IDOK, IDCANCEL}));
  ASSERT_TRUE(confirm.window && AnswerMessageBox(confirm.window, IDOK));
  ASSERT_TRUE(question.window && AnswerMessageBox(question.window, IDOK));

  const MessageBoxInfo outcome = MessageBoxWith("Cancelled", 30000);
  ExpectOutcome(outcome, "!!! File Split Cancelled, as requested !!!", main());
  ASSERT_TRUE(outcome.window && AnswerMessageBox(outcome.window, IDOK));
  std::string part;
  for (unsigned i = 1; i <= 4; ++i) {
    ASSERT_TRUE(ReadWholeFile(temp_ / PartName("disk.img", i), &part));
    EXPECT_TRUE(part == bytes.substr((i - 1) * 262144, 262144)) << "part " << i;
  }
  ASSERT_TRUE(ReadWholeFile(temp_ / "disk.img.005", &part));
  EXPECT_LT(part.size(), 262144u) << "the cancelled part was copied in full";
  EXPECT_FALSE(FileExistsAt(temp_ / "disk.img.006"));
  EXPECT_FALSE(FileExistsAt(temp_ / "disk.img.bat"));
  EXPECT_TRUE(WaitForNewestHistoryEntry(temp_.path())) << plyx_registry::NewestHistoryEntry();
  EXPECT_TRUE(WaitFor([&] { return Text(IDC_SOURCE_FILE).empty(); }));
  EXPECT_EQ(Text(IDC_PART_COUNT_TEXT), "Num of Split Parts : 0");
  EXPECT_EQ(SizeIndex(), 3);
  CloseAndExpectExitZero();
}

TEST_F(Cancel, ExistingPartAnsweredCancelStopsSilently) {
  const std::string source = temp_ / "photo.raw";
  const std::string bytes = PatternBytes(3000000);
  ASSERT_TRUE(WriteWholeFile(source, bytes));
  ASSERT_TRUE(WriteWholeFile(temp_ / "photo.raw.002", "keep me"));
  ASSERT_TRUE(StartMain(source));
  ChooseSize(2);
  ASSERT_TRUE(WaitFor([&] { return Text(IDC_SPLIT_SIZE_TEXT) == "Split Size : 1.00 MB"; }));

  Click(IDC_SPLIT);
  const MessageBoxInfo question = MessageBoxWith("exists already");
  ASSERT_TRUE(question.window && AnswerMessageBox(question.window, IDCANCEL));
  // No word from the worker: the next box is the outcome.
  const MessageBoxInfo outcome = NextMessageBox(30000);
  ExpectOutcome(outcome, "!!! File Split Cancelled, as requested !!!", main());
  ASSERT_TRUE(outcome.window && AnswerMessageBox(outcome.window, IDOK));

  std::string part;
  ASSERT_TRUE(ReadWholeFile(temp_ / "photo.raw.001", &part));
  EXPECT_TRUE(part == bytes.substr(0, 1048576));
  ASSERT_TRUE(ReadWholeFile(temp_ / "photo.raw.002", &part));
  EXPECT_EQ(part, "keep me");
  EXPECT_FALSE(FileExistsAt(temp_ / "photo.raw.003"));
  EXPECT_FALSE(FileExistsAt(temp_ / "photo.raw.bat"));
  EXPECT_TRUE(WaitForNewestHistoryEntry(temp_.path())) << plyx_registry::NewestHistoryEntry();
  CloseAndExpectExitZero();
}

}  // namespace

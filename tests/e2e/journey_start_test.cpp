// First start and a file named on the command line: what the main window shows
// and where the focus is before the user has done anything.
#include "plyx_session.h"

namespace {

using FirstStart = PlyxJourney;
using CommandLine = PlyxJourney;

TEST_F(FirstStart, QuotedPathIsNotUnquotedSoTheRequestIsEmptyAndKeysDoNothing) {
  const std::string source = temp / "with blank.txt";
  ASSERT_TRUE(WriteBytes(source, "data"));
  ASSERT_TRUE(StartMain("\"" + source + "\""));
  EXPECT_TRUE(WaitForFocus(IDC_SOURCE_FILE)) << "focus on " << ClassOf(FocusedControl(Main()));
  EXPECT_EQ(Text(IDC_SOURCE_FILE) + "|" + Text(IDC_DEST_FOLDER), "|");
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT) + " | " + Text(IDC_PART_COUNT_TEXT) + " | " + Text(IDC_SPLIT_SIZE_TEXT),
            "File Size : 0 KB | Num of Split Parts : 0 | Split Size : 1.38 MB");
  EXPECT_EQ(SizeIndex(), 3);

  // Escape must not close PLYX, and Enter in a text field must not press Split
  // (which would answer "Select a File to Split").
  for (UINT key : {VK_ESCAPE, VK_RETURN}) {
    SCOPED_TRACE(key == VK_ESCAPE ? "Escape" : "Enter");
    PostKey(Main(), key);
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_EQ(NextMessageBox(0).text, "");
    EXPECT_TRUE(HasFocus(Item(IDC_SOURCE_FILE)));
  }
  CloseAndExpectExitZero();
}

TEST_F(FirstStart, HistoryDefaultShowsTheNewestDestinationAndKeepsIt) {
  // Slot 2 is the head of the ring: newest first is MRUD2, then MRUD1.
  ASSERT_TRUE(SetRawDword("UseMRUD", 1) && SetRawDword("MRUDLimit", 5) &&
              SetRawDword("MRUDDefault", 2));
  ASSERT_TRUE(SetRawPath("MRUD1", "C:\\older parts\\") &&
              SetRawPath("MRUD2", "C:\\newest parts\\"));
  const std::string source = temp / "report.doc";
  ASSERT_TRUE(WriteBytes(source, PatternBytes(5000)));

  // A file from the command line must not replace the remembered destination.
  ASSERT_TRUE(StartMain(source));
  EXPECT_EQ(Text(IDC_DEST_FOLDER), "C:\\newest parts\\");
  EXPECT_EQ(Text(IDC_SOURCE_FILE), source);
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT), "File Size : 4.89 KB");
  CloseAndExpectExitZero(/*byTitleBar=*/true);
}

TEST_F(CommandLine, FileIsChosenAndEnterStartsTheSplit) {
  const std::string source = temp / "movie.avi", bytes = PatternBytes(3000000);
  ASSERT_TRUE(WriteBytes(source, bytes));

  ASSERT_TRUE(StartMain(source));
  EXPECT_EQ(Text(IDC_SOURCE_FILE), source);
  EXPECT_EQ(Text(IDC_FILE_SIZE_TEXT) + " | " + Text(IDC_PART_COUNT_TEXT) + " | " + Text(IDC_SPLIT_SIZE_TEXT),
            "File Size : 2.86 MB | Num of Split Parts : 3 | Split Size : 1.39 MB");
  EXPECT_EQ(Text(IDC_DEST_FOLDER), temp.Path());
  ASSERT_TRUE(WaitForFocus(IDC_SPLIT)) << "focus on " << ClassOf(FocusedControl(Main()));

  PostKey(Main(), VK_RETURN);
  const MessageBoxInfo outcome = NextMessageBox(20000);
  ASSERT_NE(outcome.window, nullptr) << "Enter on the focused Split button started no split";
  EXPECT_EQ(outcome.text, "File\t : movie.avi Split Successfully\n#Parts\t : 3 part(s) \nTarget Dir\t : " +
                              temp.Path());
  ASSERT_TRUE(AnswerMessageBox(outcome.window, IDOK));
  ExpectParts(temp.Path(), "movie.avi", bytes, 1457664, 3);
  CloseAndExpectExitZero();
}

TEST_F(CommandLine, FolderIsAFileOpenFailure) {
  ChildProcess& process = Start(temp.Path().substr(0, temp.Path().size() - 1));
  // Shown during start-up, owned by no window, before the main window appears.
  Track(process);
  const MessageBoxInfo box = NextMessageBox();
  EXPECT_EQ(box.text, "Unexpected Error : File Open Failure : 0005");
  EXPECT_EQ(box.caption, kPlyxTitle);
  ASSERT_TRUE(AnswerMessageBox(box.window, IDOK));

  // The main window still opens, with no size read. The file box keeps the
  // folder and the focus, so leaving it would ask again: close by the title bar.
  ASSERT_TRUE(UseMain(process));
  EXPECT_EQ(Text(IDC_PART_COUNT_TEXT), "Num of Split Parts : 0");
  EXPECT_EQ(NextMessageBox(0).text, "");
  CloseAndExpectExitZero(/*byTitleBar=*/true);
}

}  // namespace

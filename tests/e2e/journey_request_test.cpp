// Filling in the request: first start, history, command-line file, custom size, destination, Browse.
#include <shlobj.h>

#include <tuple>

#include "plyx_session.h"
#include "size_presets.h"
#include "support/drag_drop.h"

namespace {

using Request = PlyxJourney;

// A command-line file keeps the history's newest destination. Mended fault: Enter in a field split a
// request the fields no longer showed (Split kept the default style when a field got the focus).
TEST_F(Request, CommandLineFileKeepsTheHistoryDestinationAndEnterSplitsButNeverFromAField) {
  const std::string source = temp / "movie.avi", out = temp.MakeFolder("out") + "\\";
  // Slot 2 is the head of the ring: newest first is MRUD2, then MRUD1.
  for (const auto& [name, value] : {std::pair{"UseMRUD", 1}, {"MRUDLimit", 5}, {"MRUDDefault", 2}}) {
    ASSERT_TRUE(SetRawDword(name, value)) << name;
  }
  ASSERT_TRUE(SetRawPath("MRUD1", "C:\\older parts\\"));
  ASSERT_TRUE(SetRawPath("MRUD2", out.c_str()));
  ASSERT_TRUE(WriteBytes(source, PatternBytes(3000000)));
  ASSERT_TRUE(StartMain(source));
  EXPECT_EQ(Texts({IDC_SOURCE_FILE, IDC_PART_COUNT_TEXT, IDC_DEST_FOLDER}),
            source + " | Num of Split Parts : 3 | " + out);
  ASSERT_TRUE(WaitForFocus(IDC_SPLIT));
  for (int field : {IDC_SOURCE_FILE, IDC_DEST_FOLDER, IDC_SIZE_LIST}) {
    SCOPED_TRACE(field);
    // A real click (a posted one moves no focus), repeated: the first into a new window may be lost.
    ASSERT_TRUE(WaitFor(
        [&] {
          ClickAtCentre(Item(field));
          return WaitFor([&] { return HasFocus(Item(field)); }, 2000);
        },
        20000))
        << "the clicks gave it no focus";
    if (field == IDC_SIZE_LIST) PostKey(Main(), VK_ESCAPE);  // the click dropped its list down
    PostKey(Main(), VK_RETURN);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Describe(NextMessageBox(500)), "no box");
    EXPECT_NE(GetWindowLongA(Item(IDC_SPLIT), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  }
  ASSERT_NO_FATAL_FAILURE(ExpectHandedOver(Start(source)));  // puts the focus back on Split
  ASSERT_TRUE(WaitForFocus(IDC_SPLIT));
  PostKey(Main(), VK_RETURN);
  // Mended fault: Enter on the focused Split button started no split.
  ASSERT_TRUE(AnswerNext("File\t : movie.avi Split Successfully\n#Parts\t : 3 part(s) \nTarget Dir\t : " + out));
  CloseAndExpectExitZero();
}

constexpr int kCustomSize = kCustomSizeIndex;  // the last entry of the size list

// A first start (a quoted path stays quoted: no such file) is empty; Escape and Enter do nothing. The
// custom size: Escape is ignored, Enter is OK, "0 Bytes" offers Retry, Cancel keeps the size before.
// A typed destination is checked as it is left: a refused name keeps the focus, all selected.
TEST_F(Request, FirstStartCustomSizeAndATypedDestinationCheckedAsTheFieldIsLeft) {
  ASSERT_TRUE(WriteBytes(temp / "with blank.txt", "data"));
  ASSERT_TRUE(StartMain("\"" + temp / "with blank.txt" + "\""));
  EXPECT_TRUE(WaitForFocus(IDC_SOURCE_FILE));
  EXPECT_EQ(Texts({IDC_SOURCE_FILE, IDC_DEST_FOLDER}), " | ");
  for (UINT key : {VK_ESCAPE, VK_RETURN}) {  // Enter would press Split: "Select a File to Split"
    PostKey(Main(), key);
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(IsWindowVisible(Main())) << key;
    EXPECT_TRUE(HasFocus(Item(IDC_SOURCE_FILE))) << key;
    EXPECT_EQ(Describe(NextMessageBox(0)), "no box") << key;
  }
  // Mended fault: the split size followed the list only once a file was chosen.
  // preset chosen first (-1: none); button, or VK_RETURN for Escape then Enter; refused: "0 Bytes",
  // answered Retry, OK again, Cancel; then the list's index and size text
  const std::tuple<int, const char*, int, bool, int, const char*> sizes[] = {
      {-1, "1048576", VK_RETURN, false, kCustomSize, "1.00 MB"},  // a preset's size, typed
      {1, "2048", IDC_CUSTOM_CANCEL, false, 1, "512.00 KB"},
      // The largest size; Wine's own GetDlgItemInt would refuse it.
      {-1, "4294967295", IDOK, false, kCustomSize, "4.00 GB"},
      {-1, "2048", IDC_CUSTOM_CANCEL, false, kCustomSize, "4.00 GB"},
      {1, "0", IDOK, true, 1, "512.00 KB"},
      {-1, "4294967296", IDOK, true, 1, "512.00 KB"},
  };
  for (const auto& [preset, typed, button, refused, index, size] : sizes) {
    SCOPED_TRACE(std::string("typed \"") + typed + "\"");
    if (preset >= 0) ChooseSize(preset), Settle();
    ChooseSize(kCustomSize);
    HWND custom = WaitForWindow(Pid(), "Choose Custom File Split Size");
    ASSERT_NE(custom, nullptr);
    HWND box = GetDlgItem(custom, IDC_CUSTOM_BYTES);
    auto ready = [&] { return HasFocus(box) && WholeTextSelected(box); };
    EXPECT_TRUE(WaitFor(ready, 5000)) << "focus " << HasFocus(box) << ", all selected " << WholeTextSelected(box);
    EXPECT_EQ(TextOf(box), "0");
    SendTo(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed));
    // Posted keys are handled in order: had Escape closed the dialog, the size would not be taken.
    if (button == VK_RETURN)
      PostKey(custom, VK_ESCAPE), PostKey(custom, VK_RETURN);
    else
      Click(GetDlgItem(custom, button));
    for (int answer : refused ? std::vector<int>{IDRETRY, IDCANCEL} : std::vector<int>{}) {
      ASSERT_TRUE(AnswerPlyxBox(NextMessageBox(), "Split Size Cannot be 0 Bytes", custom, answer, {IDCANCEL, IDRETRY}));
      if (answer == IDRETRY) {
        EXPECT_TRUE(WaitFor(ready, 5000)) << "Retry puts the focus back in the box with its text selected";
        Click(GetDlgItem(custom, IDOK));
      }
    }
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(custom); })) << "the custom-size dialog is still open";
    ASSERT_TRUE(Settle());
    EXPECT_EQ(SendTo(Item(IDC_SIZE_LIST), CB_GETCURSEL), index);
    EXPECT_EQ(Text(IDC_SPLIT_SIZE_TEXT), std::string("Split Size : ") + size);
  }

  const std::string exists = temp.Path().substr(0, temp.Path().size() - 1);
  ASSERT_TRUE(WriteBytes(temp / "file.bin", "a file"));
  // answer: to the question whether to create it; message: the last box, none when empty
  const std::tuple<std::string, int, bool, std::string> cases[] = {
      {exists, 0, true, ""},
      {"", 0, false, ""},
      {"parts\\x", 0, false,
       "Directory Name cannot contain any of the following characters:\n              / : * ? \" < > | "},
      {temp / "new\\parts", IDYES, false, "Unexpected Error : Create Directory Failure : 0007"},
      {temp / "later", IDNO, false, "Correct the Directory Name"},
      // An existing file was offered to be made a folder, which then failed (0007).
      {temp / "file.bin", 0, false, "Directory Name is invalid Please Correct"},
  };
  for (const auto& [name, answer, passes, message] : cases) {
    SCOPED_TRACE(name);
    Type(IDC_DEST_FOLDER, name);
    PostKey(Main(), VK_TAB);  // mended fault: Tab onto the folder Browse button skipped the check
    if (answer != 0) {
      ASSERT_TRUE(AnswerNext("Directory does not exit do you want to create one ?", answer, {IDYES, IDNO}));
    }
    if (!message.empty()) { ASSERT_TRUE(AnswerNext(message)); }
    ASSERT_TRUE(Settle());
    if (!passes && !message.empty()) {  // refused: back in the field, its text selected
      EXPECT_TRUE(WaitForFocus(IDC_DEST_FOLDER));
      EXPECT_TRUE(WholeTextSelected(Item(IDC_DEST_FOLDER)));
    } else {
      EXPECT_TRUE(HasFocus(Item(IDC_BROWSE_FOLDER)));
    }
    EXPECT_EQ(Describe(NextMessageBox(0)), "no box");
    EXPECT_EQ((GetFileAttributesA(name.c_str()) & 0x80000010) == 0x10, passes);
  }
  EXPECT_FALSE(Exists(temp / "new"));

  // Mended fault: checked as the focus went to Close (Wine's BM_CLICK moves it), it swallowed the click.
  Type(IDC_DEST_FOLDER, "Q:");
  CloseAndExpectExitZero();
}

constexpr int kFileNameBox = 0x47c, kFolderTree = 0x3741;  // of the system's file dialog and folder browser

// The folder browser opens on the desktop, or on the destination (its first subfolder one key away).
// The file dialog takes a typed name, or offers to create a new one (Yes: PLYX then finds no file).
TEST_F(Request, BrowseButtonsForTheFolderAndTheFile) {
  const std::string source = temp / "picked.bin", other = temp / "other.bin";
  char desktop[MAX_PATH] = {};
  ASSERT_TRUE(WriteBytes(source, PatternBytes(3000000)));
  ASSERT_TRUE(WriteBytes(other, PatternBytes(600000)));
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop), S_OK);
  temp.MakeFolder("b sub"), temp.MakeFolder("a sub");
  ASSERT_TRUE(StartMain(""));
  const std::tuple<std::string, int, std::string> folders[] = {
      {"", IDOK, desktop}, {temp.Path(), IDCANCEL, temp.Path()}, {temp.Path(), IDOK, temp / "a sub"}};
  for (const auto& [typed, button, dest] : folders) {
    SCOPED_TRACE(dest);
    if (!typed.empty()) Type(IDC_DEST_FOLDER, typed), Focus(IDC_SIZE_LIST), Settle();
    Click(Item(IDC_BROWSE_FOLDER));
    HWND browser = WaitForWindow(Pid(), "Browse for Folder"), tree = GetDlgItem(browser, kFolderTree);
    ASSERT_NE(browser, nullptr);
    if (!typed.empty()) {
      PostMessageA(browser, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tree), TRUE);
      ASSERT_TRUE(WaitFor([&] { return HasFocus(tree); }));
      PostKey(browser, VK_RIGHT), PostKey(browser, VK_RIGHT);  // open the folder, go to its first subfolder
    }
    ASSERT_TRUE(AnswerBox(browser, button));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Text(IDC_DEST_FOLDER), dest);
  }
  // Mended fault: checked as the focus went to the button, an invalid name swallowed its click.
  Type(IDC_DEST_FOLDER, "Q:");
  ClickAtCentre(Item(IDC_BROWSE_FOLDER));
  ASSERT_TRUE(AnswerBox(WaitForWindow(Pid(), "Browse for Folder"), IDCANCEL));
  const std::wstring omega = MakeBestFitPair(temp.Path());
  ASSERT_NE(omega, L"");
  // Where PLYX's code page holds it (UTF-8), the empty Ωmega.bin is the file chosen.
  const std::string held = LocalName({L"\u03a9mega.bin"}, "");
  const std::string fromSource = "File Size : 2.86 MB | Num of Split Parts : 3";
  const std::tuple<std::wstring, int, std::vector<int>, std::string, std::string> files[] = {
      {Widen(source), IDOK, {}, source, fromSource},
      {Widen(other), IDCANCEL, {}, source, fromSource},
      // Mended fault: the dialog's ANSI answer is the best fit, Omega.bin, another file.
      {omega, IDOK, held.empty() ? std::vector<int>{IDOK} : std::vector<int>{}, held.empty() ? source : temp / held,
       held.empty() ? fromSource : "File Size : 0 Bytes | Num of Split Parts : 1"},
      // The dialog's question whether to create it, then PLYX's "File Open Failure".
      {Widen(temp / "new.bin"), IDOK, {IDYES, IDOK}, temp / "new.bin", "File Size : 0KB | Num of Split Parts : 0"},
  };
  for (const auto& c : files) {
    const auto& [typed, button, answers, chosen, sizes] = c;
    SCOPED_TRACE(&c - files);
    Click(Item(IDC_BROWSE_FILE));
    HWND picker = WaitForWindow(Pid(), "Select a File to be split");
    ASSERT_NE(picker, nullptr);
    SendMessageW(GetDlgItem(picker, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    Click(GetDlgItem(picker, button));
    for (int answer : answers) ASSERT_TRUE(AnswerBox(NextMessageBox(), answer));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(picker); })) << "the file dialog is still open";
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Texts({IDC_SOURCE_FILE, IDC_FILE_SIZE_TEXT, IDC_PART_COUNT_TEXT, IDC_DEST_FOLDER}),
              chosen + " | " + sizes + " | " + temp.Path());
  }
  EXPECT_FALSE(Exists(temp / "new.bin"));
  // Mended fault: the file box's check read where the focus went during the kill-focus, which Windows
  // sends before the move (a folder typed there is refused with 0005); it waits until the move is over.
  Type(IDC_SOURCE_FILE, temp.Path());
  SendTo(Main(), WM_COMMAND, MAKEWPARAM(IDC_SOURCE_FILE, EN_KILLFOCUS),
         reinterpret_cast<LPARAM>(Item(IDC_SOURCE_FILE)));
  ASSERT_TRUE(Settle());
  EXPECT_EQ(NextMessageBox(0).text, "");
  CloseAndExpectExitZero();
}

}  // namespace

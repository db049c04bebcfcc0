// The worker's questions: one message box per question, without owner, in the
// style the question calls for, and its buttons turned into the run's answers.
#include <gtest/gtest.h>
#include <windows.h>

#include "dialog_split_ui.h"
#include "split_job.h"
#include "support/ui_driver.h"

TEST(DialogSplitUi, AsksWithTheQuestionsStyleAndNoOwner) {
  struct Case {
    SplitQuestion kind;
    std::vector<int> buttons;
    BoxIcon icon;
    int press;
    SplitAnswer answer;
  };
  const Case cases[] = {
      {SplitQuestion::kOverwrite, {IDOK, IDCANCEL}, BoxIcon::kNone, IDOK, SplitAnswer::kOk},
      {SplitQuestion::kOverwrite, {IDOK, IDCANCEL}, BoxIcon::kNone, IDCANCEL,
       SplitAnswer::kCancel},
      {SplitQuestion::kInsertDisk, {IDCANCEL, IDRETRY}, BoxIcon::kStop, IDRETRY,
       SplitAnswer::kRetry},
      {SplitQuestion::kInsertDisk, {IDCANCEL, IDRETRY}, BoxIcon::kStop, IDCANCEL,
       SplitAnswer::kCancel},
      {SplitQuestion::kDiskFull, {IDOK}, BoxIcon::kStop, IDOK, SplitAnswer::kOk},
      {SplitQuestion::kFailure, {IDOK}, BoxIcon::kExclamation, IDOK, SplitAnswer::kOk},
  };
  SplitJobRecord job;
  DialogSplitUi ui(nullptr, job);
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    const Case& c = cases[i];
    HWND owner = reinterpret_cast<HWND>(1);
    MessageBoxAnswerer answerer(0, [&](const MessageBoxInfo& box) {
      owner = GetWindow(box.window, GW_OWNER);
      return c.press;
    });
    EXPECT_EQ(ui.Ask(c.kind, "question text"), c.answer);
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, kAppTitle);
    EXPECT_EQ(seen[0].text, "question text");
    EXPECT_EQ(seen[0].buttons, c.buttons);
    EXPECT_EQ(seen[0].icon, c.icon);
    EXPECT_EQ(owner, nullptr);
  }
}

// The worker's questions: a message box without owner, in the question's style,
// whose button becomes the run's answer (the overwrite question is checked end to end).
#include <gtest/gtest.h>
#include <windows.h>

#include "dialog_split_ui.h"
#include "support/ui_driver.h"

TEST(DialogSplitUi, AsksWithTheQuestionsStyleAndNoOwner) {
  const struct {
    SplitQuestion kind;
    std::vector<int> buttons;
    BoxIcon icon;
    int press;
    SplitAnswer answer;
  } cases[] = {
      {SplitQuestion::kInsertDisk, {IDCANCEL, IDRETRY}, BoxIcon::kStop, IDRETRY, SplitAnswer::kRetry},
      {SplitQuestion::kDiskFull, {IDOK}, BoxIcon::kStop, IDOK, SplitAnswer::kOk},
      {SplitQuestion::kFailure, {IDOK}, BoxIcon::kExclamation, IDOK, SplitAnswer::kOk},
  };
  SplitJobRecord job;
  DialogSplitUi ui(nullptr, job);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "question " << static_cast<int>(c.kind));
    HWND owner = reinterpret_cast<HWND>(1);
    MessageBoxAnswerer answerer(0, [&](const MessageBoxInfo& box) {
      owner = GetWindow(box.window, GW_OWNER);
      return c.press;
    });
    EXPECT_EQ(ui.Ask(c.kind, "question text"), c.answer);
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, kAppTitle);
    EXPECT_EQ(seen[0].buttons, c.buttons);
    EXPECT_EQ(seen[0].icon, c.icon);
    EXPECT_EQ(owner, nullptr);
  }
}

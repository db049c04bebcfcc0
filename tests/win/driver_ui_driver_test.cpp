// The test driver itself must tell message boxes from PLYX's dialogs and
// read their texts, buttons and icons, or every UI test built on it lies.
#include <gtest/gtest.h>

#include "support/ui_driver.h"

TEST(UiDriver, AnswersAndDescribesMessageBoxesOfThisProcess) {
  MessageBoxAnswerer answerer(0, [](const MessageBoxInfo& box) {
    return box.buttons.size() > 1 ? IDCANCEL : IDOK;
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Disk is full, quiting PLYX", "PLYX - Quorvant Ver 1.4",
                        MB_OK | MB_ICONSTOP),
            IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "question", "Confirm to Cancel", MB_OKCANCEL | MB_ICONQUESTION),
            IDCANCEL);
  const auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text, "Disk is full, quiting PLYX");
  EXPECT_EQ(seen[0].caption, "PLYX - Quorvant Ver 1.4");
  EXPECT_EQ(seen[0].buttons, std::vector<int>({IDOK}));
  EXPECT_EQ(seen[0].icon, BoxIcon::kStop);
  EXPECT_EQ(seen[1].buttons, std::vector<int>({IDOK, IDCANCEL}));
  EXPECT_EQ(seen[1].icon, BoxIcon::kQuestion);
}

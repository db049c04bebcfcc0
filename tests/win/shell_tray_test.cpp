// The tray record must be the short form that every shell accepts, holding
// only the fields of its operation.
#include <gtest/gtest.h>

#include <cstring>

#include "globals.h"
#include "tray.h"

TEST(TrayRecord, HoldsOnlyTheFieldsOfItsOperation) {
  InstanceHandle = GetModuleHandleA(nullptr);
  const HWND window = reinterpret_cast<HWND>(0x1234);
  // The shell tells the layout by cbSize; sizeof would announce fields never filled.
  EXPECT_EQ(kTrayRecordSize, sizeof(void*) == 4 ? 88u : 104u);
  for (bool add : {true, false}) {
    SCOPED_TRACE(add ? "adding" : "removing");
    NOTIFYICONDATAA record;
    std::memset(&record, 0xAB, sizeof record);
    FillTrayRecord(window, add, &record);

    NOTIFYICONDATAA expected;
    std::memset(&expected, 0, sizeof expected);
    expected.cbSize = kTrayRecordSize;
    expected.hWnd = window;
    expected.uID = 103;
    if (add) {
      EXPECT_NE(record.hIcon, nullptr) << "icon 103 not loaded";
      expected.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
      expected.uCallbackMessage = WM_USER + 1000;
      expected.hIcon = record.hIcon;
      std::strcpy(expected.szTip, "PLYX - Quorvant Ver 1.4");
    }
    EXPECT_EQ(std::memcmp(&record, &expected, sizeof record), 0)
        << "size " << record.cbSize << ", flags " << record.uFlags << ", callback "
        << record.uCallbackMessage << ", tip '" << record.szTip << "'";
  }
}

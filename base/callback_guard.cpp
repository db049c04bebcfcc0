#include "callback_guard.h"

#include "message_box.h"

void ReportMemoryFailure() noexcept { ShowMessage(nullptr, MessageId::kMemoryFailure); }

// Every text PLYX shows in a message box, with its caption and its style, and
// the codes that stand in them: the unexpected errors' 0001 to 0008 and the
// split run's statuses. Portable: the engine, the command line and the host
// tests read it; the Win32 side shows it (message_box.h). A text with %s, %u
// or %lu is a format, filled in with the file, folder or number of the moment.
// The help page resources/help/messages.html lists every one (a host test
// holds the two together).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "app_constants.h"

enum class MessageCaption { kTitle, kConfirmCancel, kToolTipClass, kError, kNone };

enum class MessageStyle {
  kOk,                // OK, no icon
  kStop,              // OK, stop icon
  kInformation,       // OK, information icon
  kExclamation,       // OK, exclamation icon
  kOkCancel,          // no icon
  kOkCancelQuestion,  // question icon
  kYesNoQuestion,
  kRetryCancel,  // no icon
  kRetryCancelStop,
};

enum class MessageId {
  // Start-up and the main window's drop target.
  kMemoryFailure,
  kRegistryFailure,
  kOleRegistrationFailure,
  kOleObjectFailure,
  // The chosen file.
  kFileOpenFailure,
  kFileSizeFailure,
  kFileTooLarge,
  kInexactName,
  // The destination folder as its field is left.
  kInvalidFolderName,
  kBadFolderCharacters,
  kAskToCreateFolder,
  kFolderCreated,
  kFolderNotCorrected,
  kCreateFolderFailure,
  kFolderAccessDenied,
  kInsertDisk,
  kNetworkNotFound,
  kDiskAccessFailure,
  // The custom size.
  kZeroSize,
  // Split refused.
  kNoSource,
  kSourceMissing,
  kNoDestination,
  kDestinationNotFolder,
  kTooManyParts,
  // The progress window's confirmations.
  kConfirmCancel,
  kConfirmClose,
  // The split run's questions and its failures that no status names (kRunFailures has the others).
  kOverwriteQuestion,
  kInsertAnotherDisk,
  kDiskFull,
  kPathTooLong,
  kBatchFailed,
  // How the split ended.
  kSplitDone,
  kSplitStopped,
  kSplitFailed,
  // Preferences, help, tooltips and the About box's link.
  kLimitRefusal,
  kHelpMissing,
  kToolTipFailure,
  kLinkFailure,
  kBrowserFailure,
};

struct Message {
  MessageId id;
  const char* text;
  MessageCaption caption;
  MessageStyle style;
};

inline constexpr Message kMessages[] = {
    // The split run shows it in its failure style, as every failure of its own.
    {MessageId::kMemoryFailure, "Unexpected Error : Memory Allocation Failure : 0001", MessageCaption::kTitle,
     MessageStyle::kStop},
    {MessageId::kRegistryFailure, "Unexpected Error : Registry Access Failure : 0002", MessageCaption::kTitle,
     MessageStyle::kStop},
    {MessageId::kOleRegistrationFailure, "Unexpected Error : OLE Registration Failure : 0003", MessageCaption::kTitle,
     MessageStyle::kStop},
    {MessageId::kOleObjectFailure, "Unexpected Error : OLE Object Failure : 0004", MessageCaption::kTitle,
     MessageStyle::kStop},

    {MessageId::kFileOpenFailure, "Unexpected Error : File Open Failure : 0005", MessageCaption::kTitle,
     MessageStyle::kStop},
    {MessageId::kFileSizeFailure, "Unexpected Error : File Open Failure : 0006", MessageCaption::kTitle,
     MessageStyle::kStop},
    {MessageId::kFileTooLarge, "File Size More the 4 GB ! \n PLYX cannot handle files bigger than 4GB",
     MessageCaption::kTitle, MessageStyle::kStop},
    // Shown with a wide name in place of %s.
    {MessageId::kInexactName,
     "PLYX cannot use the name\n\n%s\n\nbecause it has characters that this system's ANSI code page cannot "
     "hold. Rename it and try again.",
     MessageCaption::kTitle, MessageStyle::kStop},

    {MessageId::kInvalidFolderName, "Directory Name is invalid Please Correct", MessageCaption::kTitle,
     MessageStyle::kStop},
    {MessageId::kBadFolderCharacters,
     "Directory Name cannot contain any of the following characters:\n              / : * ? \" < > | ",
     MessageCaption::kTitle, MessageStyle::kStop},
    {MessageId::kAskToCreateFolder, "Directory does not exit do you want to create one ?", MessageCaption::kTitle,
     MessageStyle::kYesNoQuestion},
    {MessageId::kFolderCreated, "Directory Created", MessageCaption::kTitle, MessageStyle::kOk},
    {MessageId::kFolderNotCorrected, "Correct the Directory Name", MessageCaption::kTitle, MessageStyle::kInformation},
    {MessageId::kCreateFolderFailure, "Unexpected Error : Create Directory Failure : 0007", MessageCaption::kTitle,
     MessageStyle::kStop},
    {MessageId::kFolderAccessDenied, "Access Denied to Open the Directory", MessageCaption::kTitle,
     MessageStyle::kStop},
    {MessageId::kInsertDisk, "Insert Disk & Retry", MessageCaption::kTitle, MessageStyle::kStop},
    {MessageId::kNetworkNotFound, "Network Not Found Correct the Directory Name", MessageCaption::kTitle,
     MessageStyle::kStop},
    {MessageId::kDiskAccessFailure, "Unexpected Error : Disk Access : 0008", MessageCaption::kTitle,
     MessageStyle::kStop},

    {MessageId::kZeroSize, "Split Size Cannot be 0 Bytes", MessageCaption::kTitle, MessageStyle::kRetryCancel},

    {MessageId::kNoSource, "Select a File to Split", MessageCaption::kTitle, MessageStyle::kInformation},
    {MessageId::kSourceMissing, "File does not Exist", MessageCaption::kTitle, MessageStyle::kInformation},
    {MessageId::kNoDestination, "Select a Destination Folder", MessageCaption::kTitle, MessageStyle::kInformation},
    {MessageId::kDestinationNotFolder, "Directory not Valid / Insert Disk & Retry", MessageCaption::kTitle,
     MessageStyle::kInformation},
    {MessageId::kTooManyParts, "Choose a split size, such that the number of split parts does not exceed 999 !",
     MessageCaption::kTitle, MessageStyle::kInformation},

    {MessageId::kConfirmCancel, "Do you want to cancel the File Split ?", MessageCaption::kConfirmCancel,
     MessageStyle::kOkCancelQuestion},
    {MessageId::kConfirmClose, "Do you want to close this operation ?", MessageCaption::kConfirmCancel,
     MessageStyle::kOkCancelQuestion},

    // The part or batch path in place of %s.
    {MessageId::kOverwriteQuestion, "%s exists already, do you want to OverWrite it?", MessageCaption::kTitle,
     MessageStyle::kOkCancel},
    // The bytes needed in place of %lu.
    {MessageId::kInsertAnotherDisk,
     "Insert another Disk which has atleast %lu bytes free \n                            and retry",
     MessageCaption::kTitle, MessageStyle::kRetryCancelStop},
    {MessageId::kDiskFull, "Disk is full, quiting PLYX", MessageCaption::kTitle, MessageStyle::kStop},
    {MessageId::kPathTooLong, "Destination path too long for the part files - Unable to Create Destination File : 2000",
     MessageCaption::kTitle, MessageStyle::kExclamation},
    {MessageId::kBatchFailed, "Unable to Create BAT File 8000", MessageCaption::kTitle, MessageStyle::kExclamation},

    // The source's file name, the part count and the destination in place of %s, %u and %s.
    {MessageId::kSplitDone, "File\t : %s Split Successfully\n#Parts\t : %u part(s) \nTarget Dir\t : %s",
     MessageCaption::kTitle, MessageStyle::kInformation},
    {MessageId::kSplitStopped, "!!! File Split Cancelled, as requested !!!", MessageCaption::kTitle,
     MessageStyle::kInformation},
    // The run has reported the failure itself: this claims neither a success nor a request.
    {MessageId::kSplitFailed, "!!! File Split Failed, no BAT File Created !!!", MessageCaption::kTitle,
     MessageStyle::kInformation},

    {MessageId::kLimitRefusal, "Choose a Number Between 1 & 7 Only !", MessageCaption::kTitle,
     MessageStyle::kInformation},
    // The help file's full path in place of %s.
    {MessageId::kHelpMissing, "Cannot Find File \n\n %s \n\n Please re install the Help File", MessageCaption::kTitle,
     MessageStyle::kOk},
    {MessageId::kToolTipFailure, "Error Creating ToolTip Control", MessageCaption::kToolTipClass, MessageStyle::kStop},
    {MessageId::kLinkFailure, "Error Creating HyperLink Window", MessageCaption::kNone, MessageStyle::kOk},
    {MessageId::kBrowserFailure, "Error Opening the Browser", MessageCaption::kError, MessageStyle::kStop},
};

constexpr bool MessagesInIdOrder() {
  for (std::size_t i = 0; i < sizeof kMessages / sizeof kMessages[0]; ++i) {
    if (kMessages[i].id != static_cast<MessageId>(i)) return false;
  }
  return true;
}
static_assert(MessagesInIdOrder() &&
                  sizeof kMessages / sizeof kMessages[0] == static_cast<std::size_t>(MessageId::kBrowserFailure) + 1,
              "one row per message, in the order of MessageId");

constexpr const Message& MessageOf(MessageId id) { return kMessages[static_cast<std::size_t>(id)]; }

constexpr const char* CaptionText(MessageCaption caption) {
  switch (caption) {
    case MessageCaption::kConfirmCancel:
      return "Confirm to Cancel";
    case MessageCaption::kToolTipClass:
      return "ToolTipClass";
    case MessageCaption::kError:
      return "Error";
    case MessageCaption::kNone:
      return "";
    case MessageCaption::kTitle:
      break;
  }
  return kAppTitle;
}

// The text of `id` filled in with the moment's values; false when it does not fit `out`.
template <typename... Values>
bool ComposeMessage(char* out, std::size_t outSize, MessageId id, Values... values) {
  const int length = std::snprintf(out, outSize, MessageOf(id).text, values...);
  return length >= 0 && static_cast<std::size_t>(length) < outSize;
}

// The split run's statuses. A failure's number also stands in its message.
enum SplitStatus : std::uint32_t {
  kStatusOk = 0,
  kStatusNotStarted = 999,  // at the end: the source failed to open
  kStatusQueryFailed = 1000,
  kStatusCreateFailed = 2000,
  kStatusRetryQueryFailed = 3000,
  kStatusNoRoom = 4000,
  kStatusReadFailed = 5000,
  kStatusWriteFailed = 6000,
  // Also a confirmed cancel: either is the user's answer, which ends the run
  // without a message of its own.
  kStatusOverwriteDeclined = 7000,
  kStatusBatchFailed = 8000,  // reported by the batch step (kBatchFailed)
};

// What the run reports when it ends with a status that names a failure; shown
// in the run's failure style (OK, exclamation icon) under the title.
struct RunFailure {
  SplitStatus status;
  const char* text;
};

inline constexpr RunFailure kRunFailures[] = {
    {kStatusNotStarted, "Unable to Open Source File 999"},
    {kStatusQueryFailed, "Disk Full : 1000"},
    {kStatusCreateFailed, "Unable to Create Destination File : 2000"},
    {kStatusRetryQueryFailed, "Split Cancelled : 3000"},
    {kStatusNoRoom, "Split Cancelled : 4000"},
    {kStatusReadFailed, "Split Cancelled : 5000"},
    {kStatusWriteFailed, "Split Cancelled : 6000"},
};
inline constexpr char kUnknownRunFailure[] = "Unknown Error - Cancelling Split";
constexpr MessageStyle kRunFailureStyle = MessageStyle::kExclamation;

constexpr const char* RunFailureText(std::uint32_t status) {
  for (const RunFailure& failure : kRunFailures) {
    if (failure.status == status) return failure.text;
  }
  return kUnknownRunFailure;
}

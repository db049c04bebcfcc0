#include "name_gate.h"

#include <shlwapi.h>

#include <cstring>
#include <string>

#include "ansi_text.h"
#include "file_system.h"
#include "message_box.h"
#include "split_job.h"

namespace {

template <std::size_t size>
NameVerdict Admit(char (&buffer)[size], NameField field, NameEntry entry, const std::string& ansi, bool exact,
                  const wchar_t* wide) {
  static_assert(size == kPathBufferSize, "a path buffer");
  bool exists = false;
  if (!exact) {
    exists = wide != nullptr && PathFileExistsW(wide);
  } else if (ansi.size() < size) {
    exists = FileExists(ansi.c_str());
  }
  const NameVerdict verdict = JudgeName(field, entry, {exact, ansi.size(), exists});
  if (verdict.taken) {
    std::memcpy(buffer, ansi.c_str(), ansi.size() + 1);
  } else if (verdict.clears) {
    buffer[0] = '\0';
  }
  return verdict;
}

template <std::size_t size>
NameVerdict AdmitWide(char (&buffer)[size], NameField field, NameEntry entry, const wchar_t* name) {
  std::string ansi;
  const bool exact = WideToExactAnsi(name, &ansi);
  return Admit(buffer, field, entry, ansi, exact, name);
}

// Bytes that are no text in the ANSI code page name nothing PLYX can reach.
template <std::size_t size>
NameVerdict AdmitAnsi(char (&buffer)[size], NameField field, NameEntry entry, const char* name) {
  std::u16string wide;
  return Admit(buffer, field, entry, name, NameInUtf16(name, &wide), nullptr);
}

}  // namespace

NameVerdict TakeSourceName(const wchar_t* name, NameEntry entry) {
  return AdmitWide(SplitJob.sourcePath, NameField::kSource, entry, name);
}

NameVerdict TakeDestinationName(const wchar_t* name, NameEntry entry) {
  return AdmitWide(SplitJob.destFolder, NameField::kDestination, entry, name);
}

NameVerdict TakeSourceName(const char* name, NameEntry entry) {
  return AdmitAnsi(SplitJob.sourcePath, NameField::kSource, entry, name);
}

NameVerdict TakeDestinationName(const char* name, NameEntry entry) {
  return AdmitAnsi(SplitJob.destFolder, NameField::kDestination, entry, name);
}

void ClearSourceName() { SplitJob.sourcePath[0] = '\0'; }

// Fails, leaving the folder as it is, when the backslash would not fit.
void EndDestinationWithBackslash() { PathAddBackslashA(SplitJob.destFolder); }

void ShowNameRefusal(HWND owner, const NameVerdict& verdict, const wchar_t* name) {
  if (!verdict.refusal) return;
  if (*verdict.refusal == MessageId::kInexactName) {
    ShowInexactNameRefusal(owner, name);
  } else {
    ShowMessage(owner, *verdict.refusal);
  }
}

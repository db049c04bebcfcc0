// "Split with PLYX" on Explorer's menu of every file, for the current user
// only, so that no administrator rights are needed.
#pragma once

// The verb's key under HKEY_CURRENT_USER. Its command is the quoted path of
// the running program, a blank and %1 unquoted: PLYX takes the whole tail of
// its command line as one path and does not unquote it.
constexpr char kShellVerbKey[] = "Software\\Classes\\*\\shell\\SplitWithPlyx";
constexpr char kShellVerbCommandKey[] = "Software\\Classes\\*\\shell\\SplitWithPlyx\\command";
constexpr char kShellVerbText[] = "Split with PLYX";

// Writes the verb with the running program's path; false when it could not.
bool RegisterShellVerb();
// Removes exactly the verb's key; true when it is gone.
bool RemoveShellVerb();

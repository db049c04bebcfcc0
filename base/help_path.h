// Where the help file lies: beside the running program.
#pragma once

#include <cstddef>

// The help file's full path. False, with what fitted, when it does not fit.
bool HelpFilePath(char* path, std::size_t pathSize);

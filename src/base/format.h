// Formatting of the system's own lines, and the one way a run fails.
#pragma once

#include <string>

namespace spherebench {

// printf into a std::string.
[[gnu::format(printf, 1, 2)]] std::string printf_string(const char* format, ...);

// Writes the failure line to standard error and ends the process with status
// 1. Buffered standard output is still delivered by the exit.
[[noreturn]] void fail_with(const std::string& message);

}  // namespace spherebench

// Formatting of the system's own lines.
#pragma once

#include <string>

namespace spherebench {

// printf into a std::string.
[[gnu::format(printf, 1, 2)]] std::string printf_string(const char* format, ...);

// The shortest decimal that reads back as the same double.
std::string shortest_decimal(double value);

}  // namespace spherebench

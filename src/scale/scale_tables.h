// Tables past every cache: whether the machine has the memory for one.
#pragma once

#include <string>

#include "forms/form_table.h"

namespace spherebench {

// MemAvailable of a /proc/meminfo text, in bytes; -1 when it has none.
long long mem_available_bytes(const std::string& meminfo);
// The machine's, read now; -1 when it cannot be read.
long long machine_mem_available();

}  // namespace spherebench

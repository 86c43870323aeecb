#include "scale/scale_tables.h"

#include <sstream>

#include "base/whole_file.h"

namespace spherebench {

long long mem_available_bytes(const std::string& meminfo) {
    std::istringstream lines(meminfo);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string key, unit;
        long long value = -1;
        if (fields >> key >> value && key == "MemAvailable:") {
            fields >> unit;
            return value >= 0 && unit == "kB" ? value * 1024 : -1;
        }
    }
    return -1;
}

long long machine_mem_available() { return mem_available_bytes(read_whole_file_or_empty("/proc/meminfo")); }

}  // namespace spherebench

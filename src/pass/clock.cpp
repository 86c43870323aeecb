#include "pass/clock.h"

#include <chrono>

namespace spherebench {

namespace {
const auto program_start = std::chrono::steady_clock::now();
}

int32_t clock_ticks() {
    const auto elapsed = std::chrono::steady_clock::now() - program_start;
    return static_cast<int32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

}  // namespace spherebench

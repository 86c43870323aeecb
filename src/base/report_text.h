// How the reports print their figures in prose and tables.
#pragma once

#include <string>

namespace spherebench {

// "2.28e-9": `decimals` decimals and the exponent without leading zeros, as
// one writes it in prose (printf's %e gives "2.28e-09").
std::string scientific(double value, int decimals);

}  // namespace spherebench

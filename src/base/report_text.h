// How the reports print their figures in prose and tables.
#pragma once

#include <string>

namespace spherebench {

// Millimetres from metres: two decimals, as docs/ACCURACY.md gives metres to
// five; a form far finer than that in two significant digits.
std::string millimetres(long double metres);

// "2.28e-9": `decimals` decimals and the exponent without leading zeros, as
// one writes it in prose (printf's %e gives "2.28e-09").
std::string scientific(double value, int decimals);

}  // namespace spherebench

#include "base/report_text.h"

#include <cstdlib>

#include "base/format.h"

namespace spherebench {

std::string scientific(double value, int decimals) {
    const std::string text = printf_string("%.*e", decimals, value);
    const size_t e = text.find('e');
    return text.substr(0, e + 1) + std::to_string(std::atoi(text.c_str() + e + 1));
}

}  // namespace spherebench

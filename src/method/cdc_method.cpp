#include "method/cdc_method.h"

#include <cmath>

namespace spherebench {

namespace {
// c_n = binomial(2n, n) / (16^n (2n + 1)), n = 1..9.
constexpr double kArcSeries[10] = {
    1.0,
    0.041666666666666664,
    0.0046875,
    0.0006975446428571429,
    0.00011867947048611111,
    2.184781161221591e-05,
    4.236514751727765e-06,
    8.52346420288086e-07,
    1.7626649316619423e-07,
    3.7237585179115594e-08,
};
}  // namespace

double chord2_to_arc(double a) {
    if (a < kSmallestRootArgument) return 0.0;
    const double s = std::sqrt(a);
    double t = a * kArcSeries[9] + kArcSeries[8];
    for (int n = 7; n >= 1; --n) t = t * a + kArcSeries[n];
    t = t * a + 1.0;
    return s * t;
}

}  // namespace spherebench

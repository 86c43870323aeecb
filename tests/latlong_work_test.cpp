// The latitude/longitude pass must evaluate two sines and three cosines in
// every test: the point's own sine and cosine are part of what it measures.
// Compilers like to hoist those of a loop-invariant latitude out of the
// search loop; this test counts the calls the compiled loop really makes, by
// standing in for the maths library's functions.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <cmath>

#include "bench/latlong_method.h"
#include "bench/pass.h"

namespace {
int sines = 0;
int cosines = 0;

template <typename F>
F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
}  // namespace

extern "C" double sin(double x) noexcept {
    ++sines;
    static const auto f = real<double (*)(double)>("sin");
    return f(x);
}

extern "C" double cos(double x) noexcept {
    ++cosines;
    static const auto f = real<double (*)(double)>("cos");
    return f(x);
}

// A sine and a cosine of the same argument may be merged into one call.
extern "C" void sincos(double x, double* s, double* c) noexcept {
    ++sines;
    ++cosines;
    static const auto f = real<void (*)(double, double*, double*)>("sincos");
    f(x, s, c);
}

namespace {

TEST(LatLongWork, EveryTestEvaluatesTwoSinesAndThreeCosines) {
    AirportTable airports;
    airports.count = 1000;
    for (int j = 0; j < airports.count; ++j) airports.fixed[j] = {j * 1000003, j * -2000003};
    const LatLong point = from_fixed({123456789, -987654321});

    sines = cosines = 0;
    double best;
    const int32_t winner =
        find_nearest<LatLongMethod>(LatLongMethod::stored_airports(airports), airports.count, point, best);
    EXPECT_NE(winner, kNoWinner);
    EXPECT_EQ(sines, 2 * airports.count);
    EXPECT_EQ(cosines, 3 * airports.count);
}

}  // namespace

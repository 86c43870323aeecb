// Stands in for the maths library's sin, cos and sincos, counting the calls
// and passing each on to the real function. Kept in a file of its own so that
// the code under test is compiled exactly as in the program, seeing only the
// library's declarations.
#include "math_call_counter.h"

#include <dlfcn.h>

int counted_sines = 0;
int counted_cosines = 0;

namespace {
template <typename F>
F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
}  // namespace

extern "C" double sin(double x) noexcept {
    ++counted_sines;
    static const auto f = real<double (*)(double)>("sin");
    return f(x);
}

extern "C" double cos(double x) noexcept {
    ++counted_cosines;
    static const auto f = real<double (*)(double)>("cos");
    return f(x);
}

// A sine and a cosine of the same argument may be merged into one call.
extern "C" void sincos(double x, double* s, double* c) noexcept {
    ++counted_sines;
    ++counted_cosines;
    static const auto f = real<void (*)(double, double*, double*)>("sincos");
    f(x, s, c);
}

// The one optimizer barrier: a loop that must redo work depending on a value
// that does not change (the point's sine and cosine in every proximity test)
// passes that value through hide_value, so the compiler can no longer prove
// it unchanged and hoist the work out of the loop.
#pragma once

// On x86-64 and AArch64 an empty asm statement claims to modify the value in
// the register it already occupies ("x": an SSE/AVX register, "w": a SIMD/FP
// register), so no instruction is emitted. Elsewhere, and wherever
// SPHEREBENCH_PORTABLE_BARRIER is defined (its test does so), a volatile
// store and load: standard C++ that every compiler and architecture must
// honour, at the price of one store and one load, small beside the
// trigonometry it guards.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(SPHEREBENCH_PORTABLE_BARRIER)
#define SPHEREBENCH_BARRIER_REGISTER "+x"
#elif defined(__GNUC__) && defined(__aarch64__) && !defined(SPHEREBENCH_PORTABLE_BARRIER)
#define SPHEREBENCH_BARRIER_REGISTER "+w"
#endif

namespace spherebench {

// After the call x holds the same double, but the compiler must assume it may
// hold any.
inline void hide_value(double& x) {
#ifdef SPHEREBENCH_BARRIER_REGISTER
    asm volatile("" : SPHEREBENCH_BARRIER_REGISTER(x));
#else
    volatile double copy = x;
    x = copy;
#endif
}

// Both at once: one asm statement, which leaves the compiler's choice of
// registers as free as for a single value.
inline void hide_values(double& x, double& y) {
#ifdef SPHEREBENCH_BARRIER_REGISTER
    asm volatile("" : SPHEREBENCH_BARRIER_REGISTER(x), SPHEREBENCH_BARRIER_REGISTER(y));
#else
    hide_value(x);
    hide_value(y);
#endif
}

}  // namespace spherebench

#undef SPHEREBENCH_BARRIER_REGISTER

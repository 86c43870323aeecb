// SLEEF's 1-ulp sine and cosine on 4 and 8 doubles at a time, in the variants
// without fused multiply-add, called through memory. sleef.h declares its
// 256- and 512-bit functions only to files compiled for AVX or AVX-512, and
// a vector argument passes differently in such a file: so these wrappers
// live in files of their own, built with -mavx (sleef_avx.cpp) and
// -mavx512f (sleef_avx512.cpp), and may only be called where the CPU has it.
#pragma once

namespace spherebench {

// 4 values: needs AVX.
void sleef_sincos_4(const double* x, double* sin, double* cos);
void sleef_cos_4(const double* x, double* cos);

// 8 values: needs AVX-512F.
void sleef_sincos_8(const double* x, double* sin, double* cos);
void sleef_cos_8(const double* x, double* cos);

}  // namespace spherebench

// Built with -mavx; see sleef_wide.h. Nothing else belongs here: any code in
// this file may use AVX instructions.
#include <sleef.h>

#include "vector/sleef_wide.h"

namespace spherebench {

void sleef_sincos_4(const double* x, double* sin, double* cos) {
    const Sleef___m256d_2 r = Sleef_sincosd4_u10avx(_mm256_loadu_pd(x));
    _mm256_storeu_pd(sin, r.x);
    _mm256_storeu_pd(cos, r.y);
}

void sleef_cos_4(const double* x, double* cos) { _mm256_storeu_pd(cos, Sleef_cosd4_u10avx(_mm256_loadu_pd(x))); }

}  // namespace spherebench

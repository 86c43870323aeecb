// Built with -mavx512f; see sleef_wide.h. Nothing else belongs here: any code
// in this file may use AVX-512 instructions.
#include <sleef.h>

#include "vector/sleef_wide.h"

namespace spherebench {

void sleef_sincos_8(const double* x, double* sin, double* cos) {
    const Sleef___m512d_2 r = Sleef_sincosd8_u10avx512fnofma(_mm512_loadu_pd(x));
    _mm512_storeu_pd(sin, r.x);
    _mm512_storeu_pd(cos, r.y);
}

void sleef_cos_8(const double* x, double* cos) {
    _mm512_storeu_pd(cos, Sleef_cosd8_u10avx512fnofma(_mm512_loadu_pd(x)));
}

}  // namespace spherebench

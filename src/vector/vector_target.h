// The Highway target that the vector searches run on here, chosen at run time
// from the targets compiled for the architecture, e.g. "AVX3".
#pragma once

namespace spherebench {

const char* vector_target_name();

}  // namespace spherebench

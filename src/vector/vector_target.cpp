#include "vector/vector_target.h"

// Highway compiles everything below once per target.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "vector/vector_target.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace spherebench::vector_target {
namespace HWY_NAMESPACE {

const char* TargetName() { return hwy::TargetName(HWY_TARGET); }

}  // namespace HWY_NAMESPACE
}  // namespace spherebench::vector_target
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace spherebench::vector_target {
HWY_EXPORT(TargetName);
}  // namespace spherebench::vector_target

namespace spherebench {

// Dispatched by the unqualified name: where only one target is compiled the
// dispatch is a direct call into that target's namespace within this one.
using namespace vector_target;

const char* vector_target_name() { return HWY_DYNAMIC_DISPATCH(TargetName)(); }

}  // namespace spherebench
#endif

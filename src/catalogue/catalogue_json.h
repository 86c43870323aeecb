// The catalogue of searches and the stored forms as one JSON object, for what
// reads them outside C++ (the suite puts it in its run's context, where the
// documents' renderer finds it): every form with its bytes per location and
// whether the program stores it, every search with its facts and the name of
// the suite's benchmark that times it, both in the order of their
// enumerations.
#pragma once

#include <string>

namespace spherebench {

// {"forms": [{"name", "bytes", "program"}...],
//  "searches": [{"name", "benchmark", "form", "kind", "vector", "exact", "entry"}...]}
// on one line; "kind" is "brute", "pruned", "index" or "anchor".
std::string catalogue_json();

}  // namespace spherebench

#include "catalogue/catalogue_json.h"

#include <iterator>
#include <vector>

#include "base/json_text.h"
#include "catalogue/search_catalogue.h"

namespace spherebench {

namespace {

// By the place of each kind in SearchKind.
constexpr const char* kKindNames[] = {"brute", "pruned", "index", "anchor"};
static_assert(std::size(kKindNames) == static_cast<size_t>(SearchKind::kAnchor) + 1);

}  // namespace

std::string catalogue_json() {
    std::vector<std::string> forms, searches;
    for (const Form form : kForms)
        forms.push_back(json_object({{"name", json_string(form_name(form))},
                                     {"bytes", std::to_string(bytes_per_location(form))},
                                     {"program", json_bool(programs_own(form))}}));
    for (const SearchFacts& s : kSearchCatalogue)
        searches.push_back(json_object({{"name", json_string(s.name)},
                                        {"benchmark", json_string(benchmark_name(s.id))},
                                        {"form", json_string(form_name(s.form))},
                                        {"kind", json_string(kKindNames[static_cast<int>(s.kind)])},
                                        {"vector", json_bool(s.vector)},
                                        {"exact", json_bool(s.exact)},
                                        {"exhaustive", json_bool(s.exhaustive)},
                                        {"entry", json_string(s.entry)}}));
    return json_object({{"forms", json_array(forms)}, {"searches", json_array(searches)}});
}

}  // namespace spherebench

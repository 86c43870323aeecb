// Which search the program's two timed passes run: the brute force of each
// method (the default), its pruned scan, or its index, built before the pass.
#pragma once

#include <optional>
#include <string_view>

#include "base/enum_names.h"
#include "catalogue/search_catalogue.h"

namespace spherebench {

enum class PassSearch { kBrute, kPruned, kIndexed };

inline constexpr PassSearch kPassSearches[] = {PassSearch::kBrute, PassSearch::kPruned, PassSearch::kIndexed};

inline constexpr const char* kPassSearchNames[] = {"brute", "pruned", "indexed"};
constexpr const char* pass_search_name(PassSearch search) { return name_in(kPassSearchNames, search); }

// The catalogue's searches the two passes run with it: the direction-cosine
// one, then the latitude/longitude one.
struct PassSearchIds {
    SearchId cdc;
    SearchId latlong;
};
constexpr PassSearchIds pass_search_ids(PassSearch search) {
    switch (search) {
        case PassSearch::kPruned:
            return {SearchId::kCdcPruned, SearchId::kLatLongPruned};
        case PassSearch::kIndexed:
            return {SearchId::kCdcIndex, SearchId::kLatLongIndex};
        case PassSearch::kBrute:
            break;
    }
    return {SearchId::kCdcBrute, SearchId::kLatLongBrute};
}

constexpr std::optional<PassSearch> find_pass_search(std::string_view name) {
    for (const PassSearch search : kPassSearches)
        if (name == pass_search_name(search)) return search;
    return std::nullopt;
}

}  // namespace spherebench

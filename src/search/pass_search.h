// Which search the program's two timed passes run: the brute force of each
// method (the default), its pruned scan, or its index, built before the pass.
#pragma once

#include <optional>
#include <string_view>

namespace spherebench {

enum class PassSearch { kBrute, kPruned, kIndexed };

inline constexpr PassSearch kPassSearches[] = {PassSearch::kBrute, PassSearch::kPruned, PassSearch::kIndexed};

constexpr const char* pass_search_name(PassSearch search) {
    switch (search) {
        case PassSearch::kPruned:
            return "pruned";
        case PassSearch::kIndexed:
            return "indexed";
        case PassSearch::kBrute:
            break;
    }
    return "brute";
}

constexpr std::optional<PassSearch> find_pass_search(std::string_view name) {
    for (const PassSearch search : kPassSearches)
        if (name == pass_search_name(search)) return search;
    return std::nullopt;
}

}  // namespace spherebench

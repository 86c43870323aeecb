// The k nearest and those within a limit as they must be, ranked here on
// their own, apart from the result sets that every search and its brute
// force share (method/result_sets.h), so that a fault there cannot hide
// behind the same fault in the reference: every location scored by the
// brute force, those of NaN score left out (a NaN is neither nearer nor as
// near as anything, as the brute force's strict comparison has it), the
// rest sorted by score in the order, then by index.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "method/nearest.h"

namespace spherebench::reference {

// Takes every location a brute force's find(query, results) offers, with its
// score. A NaN reach rules nothing out, should a search ask it.
struct EveryScore {
    std::vector<Nearest> scored;
    double reach() const { return std::numeric_limits<double>::quiet_NaN(); }
    void add(int32_t index, double score) { scored.push_back({index, score}); }
};

// Whether score a is strictly nearer than b in the order.
inline bool closer(double a, double b, ScoreOrder order) { return order == ScoreOrder::kSmallerNearer ? a < b : b < a; }

// The scored locations but those of NaN score, nearest first, the lowest
// index first among equal scores.
inline std::vector<Nearest> ranking(std::vector<Nearest> scored, ScoreOrder order) {
    std::erase_if(scored, [](Nearest n) { return std::isnan(n.score); });
    std::sort(scored.begin(), scored.end(), [order](Nearest a, Nearest b) {
        return a.score == b.score ? a.index < b.index : closer(a.score, b.score, order);
    });
    return scored;
}

// The first k of a ranking (none for k <= 0).
inline std::vector<Nearest> first_k(const std::vector<Nearest>& ranked, int k) {
    const size_t n = k <= 0 ? 0 : std::min(static_cast<size_t>(k), ranked.size());
    return {ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(n)};
}

// Those of a ranking at the limit or nearer (none for a NaN limit).
inline std::vector<Nearest> at_or_within(const std::vector<Nearest>& ranked, double limit, ScoreOrder order) {
    std::vector<Nearest> found;
    for (const Nearest n : ranked)
        if (n.score == limit || closer(n.score, limit, order)) found.push_back(n);
    return found;
}

// "" where the lists are one, answer by answer, bit for bit (same_answer);
// else their sizes and their first difference.
inline std::string difference(const std::vector<Nearest>& found, const std::vector<Nearest>& expected) {
    size_t i = 0;
    while (i < found.size() && i < expected.size() && same_answer(found[i], expected[i])) ++i;
    if (i == found.size() && i == expected.size()) return "";
    const Nearest none{kNoWinner, 0};
    const Nearest a = i < found.size() ? found[i] : none, b = i < expected.size() ? expected[i] : none;
    char text[160];
    std::snprintf(text, sizeof text, "%zu found, %zu expected; at %zu, %d (%a) against %d (%a)", found.size(),
                  expected.size(), i, a.index, a.score, b.index, b.score);
    return text;
}

}  // namespace spherebench::reference

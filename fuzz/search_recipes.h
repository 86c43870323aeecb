// How the search fuzzer reads its bytes: as recipes for a table of
// locations, a few points and each point's question, so that short inputs
// reach the cases where exactness is hard.
//
// The table's first byte gives its size: mostly small (up to 64 locations),
// else up to 3000; or nothing but 2 to 6 places each copied 96 to 223
// times, which fill the indexes' trees; or 400 to 1500 locations with a
// cluster of about an eighth of them in one cell, where the indexes choose
// between their grid and their tree; up to 65536 only where that byte is
// 255. A location is one of location_recipes.h (raw pair bits, lat/long
// words round their ends, a pair on a grid line of its stored components,
// an axis, odd components: NaN, infinite, off the sphere), a copy, a nudged
// copy or the antipode of an earlier one, a few places each copied many
// times in shuffled order (the first copy perhaps of odd components), the
// whole table so far copied and nudged, or a random direction, which also
// fills what the bytes leave. A point is made likewise from the table's
// locations or of its own. A question is the k nearest, k from -2 to past
// the table's size, and those within a limit: 0 of either sign, NaN, an
// infinity, raw bits, or a score of the expected ranking moved by up to 3
// units in the last place.
#pragma once

#include <cstdint>
#include <vector>

#include "location_recipes.h"
#include "method/nearest.h"

namespace spherebench::fuzz {

inline constexpr int kMostSmall = 64;
inline constexpr int kMostMedium = 3000;
inline constexpr int kMostLarge = 1 << 16;
inline constexpr int kMostPoints = 4;

Locations make_table(Bytes& in);
// 1 to `most` points.
Locations make_points(Bytes& in, const Locations& table, int most);

// What a point is asked beside its nearest.
struct Question {
    int k;
    uint8_t limit_shape;
    uint64_t raw;  // the limit's bits, for the shape that gives them
};

std::vector<Question> make_questions(Bytes& in, int points, int table_size);

// The question's limit, given the expected ranking of the locations.
double limit_of(const Question& question, const std::vector<Nearest>& ranked);

}  // namespace spherebench::fuzz

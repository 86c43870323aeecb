// How the search fuzzer reads its bytes: as recipes for a table of
// locations, a few points and each point's question, so that short inputs
// reach the cases where exactness is hard.
//
// The table's first byte gives its size: mostly small (up to 64 locations),
// else up to 3000, else a few hundred to 3000 with a cluster of about an
// eighth of them in one cell, where the indexes choose between their grid
// and their tree; up to 65536 only where that byte is 255. A location is
// raw pair bits (every flag case, fields at their extremes), a copy, a
// nudged copy or the antipode of an earlier one, a pair on the edge of a grid
// of its stored components, an axis or a direction with a -0.0 component,
// lat/long words of its own (beyond a pole, beyond the fold of the
// longitudes, at the ends of the int32 words), components of its own (NaN,
// infinite, off the sphere: the forms of components take them as they are),
// a few places each copied many times in shuffled order, the whole table so
// far copied and nudged, or a random direction, which also fills what the
// bytes leave. A point is made likewise from the table's locations or of its
// own. A question is the k nearest, k from -2 to past the table's size, and
// those within a limit: 0 of either sign, NaN, an infinity, raw bits, or a
// score of the expected ranking moved by up to 3 units in the last place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geo/coords.h"
#include "method/nearest.h"

namespace spherebench::fuzz {

inline constexpr int kMostSmall = 64;
inline constexpr int kMostMedium = 3000;
inline constexpr int kMostLarge = 1 << 16;
inline constexpr int kMostPoints = 4;

// The input, a byte at a time; 0 once spent.
struct Bytes {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    bool empty() const { return at >= size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    uint32_t bytes(int n) {
        uint32_t w = 0;
        for (int i = 0; i < n; ++i) w = w << 8 | byte();
        return w;
    }
};

// Each location in the forms the tables are made of: its pair, its lat/long
// words and its components (the pair decoded, unless a recipe gave its own).
struct Locations {
    std::vector<CdcPair> pairs;
    std::vector<FixedLatLong> fixed;
    std::vector<UnitVector> vectors;

    int size() const { return static_cast<int>(pairs.size()); }
    void add(CdcPair pair, FixedLatLong words, UnitVector v) {
        pairs.push_back(pair), fixed.push_back(words), vectors.push_back(v);
    }
    void add(CdcPair pair);        // its words and components from the pair
    void add(FixedLatLong words);  // the pair of their direction
    void add_copy(const Locations& from, int k) { add(from.pairs[k], from.fixed[k], from.vectors[k]); }
};

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

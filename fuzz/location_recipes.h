// One location of the search fuzzer's tables and points, made from its
// bytes (search_recipes.h): the input read a byte at a time, the forms a
// location is kept in, and the recipes that make one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geo/coords.h"

namespace spherebench::fuzz {

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

CdcPair raw_pair(Bytes& in);
// Lat/long words each round an end of its range (the pole, the fold of the
// longitudes): raw, at the end, just within, beyond, an end of the int32
// words, or anywhere within.
FixedLatLong latlong_words(Bytes& in);
// A pair whose stored fields sit on a grid line (their low bits clear, or
// all set, just below the next line), with its flag bits from the bytes.
CdcPair grid_pair(Bytes& in);
// An axis, or a direction in a coordinate plane, with a zero of either sign.
CdcPair axis_pair(Bytes& in);
CdcPair antipode(CdcPair pair);
// The latitude negated, the longitude half a turn on.
FixedLatLong antipode(FixedLatLong words);
// Location k of `from` moved by up to 2^(s - 1) units in each word of both
// forms (s from `shape`, 0 to 15; none at 0), added to `to`.
void add_nudged(Locations& to, const Locations& from, int k, uint8_t shape, uint64_t& state);
// Components of their own beside a location's pair and words: one of them
// NaN or infinite, all NaN, the vector scaled off the sphere or zero, a
// component at 1e300, or raw bits.
UnitVector odd_components(UnitVector v, Bytes& in);

// Random directions as locations, made once: the tables' fill takes them in
// turn, which spares each input encoding thousands of directions.
inline constexpr int kRandomLocations = 1 << 16;
const Locations& random_locations();

}  // namespace spherebench::fuzz

// Differential fuzzing of the exact searches: a table of airports and a few
// points made from arbitrary bytes, searched by every exact search this build
// has, each against the brute force it must match (the catalogue's
// reference_search), with the same winner and the same score bit for bit,
// and the same k nearest and the same locations within a limit, in the same
// order; the brute force in every arrangement of its sum; and the vector
// searches on every Highway target this CPU has. Any difference aborts,
// which the fuzzer reports with the input that caused it.
//
// The bytes are read as recipes, so that short inputs reach the cases where
// exactness is hard: an airport is raw bits (every flag case, the unread
// axis Y bit beside axis Z, fields at their extremes), a duplicate or the
// antipode of an earlier one, a pair on the edge of a grid of its stored
// components, an axis or a direction with a -0.0 component, lat/long words
// of its own (beyond a pole, beyond the fold of the longitudes, at the ends
// of the int32 words), or a random direction; a point is raw bits or
// lat/long words, an airport itself (a tie of every duplicate), its
// antipode, or the midpoint of two airports. Each location has its pair and
// its lat/long words: those of its decoded pair, as the loader makes them,
// unless a recipe gave the words, and then the pair of their direction. The
// first two bytes give the count, up to 5000; what the recipes leave is
// filled with random directions seeded by the input; a growing recipe adds
// nudged copies of the whole table so far, up to 65536 locations. After the
// points, each point's question: k (1 to 70) and a limit, 0 of either sign,
// a score of the reference's k nearest moved by up to 3 units in the last
// place either way, or any double.
#include <hwy/targets.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "geo/cdc_encoder.h"
#include "geo/coords.h"
#include "geo/vectors.h"
#include "method/cdc_method.h"
#include "method/nearest.h"
#include "query/search.h"
#include "random/random_tables.h"
#include "search/latlong_bound.h"

using namespace spherebench;

namespace {

constexpr int kMostAirports = 5000;                                 // as the count's bytes give it
constexpr int kMostGrown = 1 << 16;                                 // after the growing recipe
constexpr int32_t kFixedHalfTurn = static_cast<int32_t>(kFixedPi);  // the fold of the longitudes
constexpr int kMostPoints = 8;

void require(bool condition, const std::string& what) {
    if (!condition) {
        std::fprintf(stderr, "search_fuzz: %s\n", what.c_str());
        std::abort();
    }
}

struct Bytes {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    bool empty() const { return at >= size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    uint32_t word() {
        uint32_t w = 0;
        for (int i = 0; i < 4; ++i) w = w << 8 | byte();
        return w;
    }
};

CdcPair raw_pair(Bytes& in) { return {static_cast<int32_t>(in.word()), static_cast<int32_t>(in.word())}; }

// Locations in both forms the searches read from words: pairs and lat/long
// words side by side.
struct Locations {
    std::vector<CdcPair> pairs;
    std::vector<FixedLatLong> fixed;

    int size() const { return static_cast<int>(pairs.size()); }
    void add(CdcPair pair, FixedLatLong words) { pairs.push_back(pair), fixed.push_back(words); }
    void add(CdcPair pair) { add(pair, cdc_to_fixed(pair)); }
    void add(FixedLatLong words) {
        const LatLong p = from_fixed(words);
        add(encode_cdc(vector_of_radians<UnitVector>(p.lat, p.lon)), words);
    }
};

// A lat/long word round the end of its range, `end` (the pole, or the
// fold): raw, the end itself, just within, beyond, an end of the int32
// words, or anywhere within.
int32_t word_near_end(uint8_t shape, int32_t end, Bytes& in) {
    const int32_t sign = (shape & 8) ? -1 : 1;
    switch (shape % 8) {
        case 0:
            return static_cast<int32_t>(in.word());
        case 1:
            return sign * end;
        case 2:
            return sign * (end - 1 - in.byte());
        case 3:
            return sign * static_cast<int32_t>(end + 1 + in.word() % static_cast<uint32_t>(INT32_MAX - end));
        case 4:
            return sign > 0 ? INT32_MAX : INT32_MIN;
        default:
            return static_cast<int32_t>(static_cast<int64_t>(in.word()) % (2 * int64_t{end} + 1) - end);
    }
}

FixedLatLong latlong_words(Bytes& in) {
    const uint8_t shape = in.byte();
    return {word_near_end(shape % 16, kFixedPoleLatitude, in), word_near_end(shape / 16, kFixedHalfTurn, in)};
}

// Both words moved by the amounts given, wrapping.
template <typename Words>
Words nudged(Words w, int64_t first, int64_t second) {
    const auto move = [](int32_t word, int64_t by) {
        return static_cast<int32_t>(static_cast<uint32_t>(word) + static_cast<uint32_t>(by));
    };
    if constexpr (std::is_same_v<Words, CdcPair>)
        return {move(w.first, first), move(w.second, second)};
    else
        return {move(w.lat, first), move(w.lon, second)};
}

// Copies of the whole table, up to 16 of them and kMostGrown locations in
// all, each location's words in both forms moved by up to 2^(2s - 1)
// units (s from the byte; none at 0, so that every copy ties).
void grow(Locations& locations, Bytes& in) {
    const uint8_t shape = in.byte();
    const int original = locations.size(), copies = 1 + shape % 16;
    const int64_t reach = (int64_t{1} << (2 * (shape / 16))) / 2;
    for (int copy = 1; copy <= copies; ++copy) {
        for (int k = 0; k < original && locations.size() < kMostGrown; ++k) {
            const uint64_t h = (static_cast<uint64_t>(k) * 17 + copy) * 0x9E3779B97F4A7C15u;
            const int64_t a = static_cast<int64_t>((h >> 32) % (2 * reach + 1)) - reach;
            const int64_t b = static_cast<int64_t>((h & 0xFFFFFFFFu) % (2 * reach + 1)) - reach;
            locations.add(nudged(locations.pairs[k], a, b), nudged(locations.fixed[k], a, b));
        }
    }
}

CdcPair antipode(CdcPair pair) {
    const UnitVector v = decode_cdc(pair);
    return encode_cdc({-v.x, -v.y, -v.z});
}

// The antipode of lat/long words: the latitude negated, the longitude half
// a turn on.
FixedLatLong antipode(FixedLatLong w) {
    const int64_t lon = w.lon > 0 ? int64_t{w.lon} - kFixedHalfTurn : int64_t{w.lon} + kFixedHalfTurn;
    return {static_cast<int32_t>(0u - static_cast<uint32_t>(w.lat)), static_cast<int32_t>(lon)};
}

// A pair whose stored fields sit on a grid line (their low bits clear, or
// all set, just below the next line), with its flag bits from the byte.
CdcPair grid_pair(Bytes& in) {
    const uint8_t shape = in.byte();
    const int shift = 10 + shape % 20;
    const uint32_t below = (shape & 0x20) ? (1u << shift) - 1 : 0;
    const auto field = [&](uint8_t line) { return ((static_cast<uint32_t>(line) << shift) | below) & kCdcFieldMask; };
    const uint32_t first = field(in.byte()) | ((shape & 0x40) ? kCdcNegativeMajorBit : 0);
    const uint32_t flags = static_cast<uint32_t>(in.byte()) << 30;
    return {static_cast<int32_t>(first), static_cast<int32_t>(field(in.byte()) | flags)};
}

// An axis, or a direction in a coordinate plane, with a zero of either sign.
CdcPair axis_pair(Bytes& in) {
    const uint8_t shape = in.byte();
    const double zero = (shape & 1) ? -0.0 : 0.0, one = (shape & 2) ? -1.0 : 1.0;
    const double half = (shape & 4) ? -0.7071067811865476 : 0.7071067811865476;
    const UnitVector choices[] = {{one, zero, zero},  {zero, one, zero},  {zero, zero, one},
                                  {half, half, zero}, {zero, half, half}, {half, zero, half}};
    return encode_cdc(choices[(shape >> 3) % 6]);
}

Locations make_airports(Bytes& in) {
    const int count = static_cast<int>((static_cast<uint32_t>(in.byte()) << 8 | in.byte()) % (kMostAirports + 1));
    Locations airports;
    uint64_t state = kAirportSeed ^ in.size;
    while (airports.size() < count) {
        const uint8_t recipe = in.empty() ? 255 : in.byte();
        const int earlier = airports.size() == 0 ? 0 : in.byte() % airports.size();
        const bool none = airports.size() == 0;
        switch (recipe % 8) {
            case 0:
            case 1:
                airports.add(raw_pair(in));
                break;
            case 2:
                if (none)
                    airports.add(raw_pair(in));
                else
                    airports.add(airports.pairs[earlier], airports.fixed[earlier]);
                break;
            case 3:
                airports.add(none ? raw_pair(in) : antipode(airports.pairs[earlier]));
                break;
            case 4:
                airports.add(grid_pair(in));
                break;
            case 5:
                airports.add(axis_pair(in));
                break;
            case 6:
                airports.add(latlong_words(in));
                break;
            default:  // 255 when the bytes are spent
                if (recipe == 255 || !(recipe & 0x80))
                    airports.add(encode_cdc(random_direction(state)));
                else
                    grow(airports, in);
        }
    }
    return airports;
}

Locations make_points(Bytes& in, const Locations& airports) {
    Locations points;
    const int count = 1 + in.byte() % kMostPoints;
    for (int i = 0; i < count; ++i) {
        const uint8_t recipe = in.byte();
        const int a = airports.size() == 0 ? 0 : in.byte() % airports.size();
        const int b = airports.size() == 0 ? 0 : in.byte() % airports.size();
        if (airports.size() == 0 || recipe % 4 == 0) {
            if (recipe & 0x80)
                points.add(latlong_words(in));
            else
                points.add(raw_pair(in));
        } else if (recipe % 4 == 1) {
            points.add(airports.pairs[a], airports.fixed[a]);
        } else if (recipe % 4 == 2) {
            points.add(antipode(airports.pairs[a]), antipode(airports.fixed[a]));
        } else {
            const UnitVector u = decode_cdc(airports.pairs[a]), v = decode_cdc(airports.pairs[b]);
            const UnitVector m{u.x + v.x, u.y + v.y, u.z + v.z};
            const double norm = std::sqrt(m.x * m.x + m.y * m.y + m.z * m.z);
            points.add(norm > 1e-3 ? encode_cdc({m.x / norm, m.y / norm, m.z / norm}) : airports.pairs[a]);
        }
    }
    return points;
}

// What a point is asked beside its nearest: its k nearest and those within
// a limit made from the bytes.
struct Question {
    int k;
    uint8_t limit_shape;
    uint64_t raw;  // the limit's bits, for the shape that gives them
};

// Once the bytes are spent, drawn from a generator seeded by the input.
std::vector<Question> make_questions(Bytes& in, int points) {
    std::vector<Question> questions;
    uint64_t state = kFlightLineSeed ^ in.size;
    for (int i = 0; i < points; ++i) {
        const uint64_t drawn = in.empty() ? random_word(state) : uint64_t{in.byte()} << 8 | in.byte();
        Question question{1 + static_cast<int>((drawn >> 8) % 70), static_cast<uint8_t>(drawn), random_word(state)};
        if (question.limit_shape % 4 == 3 && !in.empty()) question.raw = uint64_t{in.word()} << 32 | in.word();
        questions.push_back(question);
    }
    return questions;
}

// The limit of the question, given the reference's k nearest: one of their
// scores (the first eight, or the last) moved by -3 to 3 units in the last
// place, 0 or -0, or the raw bits.
double limit_of(const Question& question, const std::vector<Nearest>& nearest) {
    const uint8_t shape = question.limit_shape;
    if (shape % 4 == 3) return std::bit_cast<double>(question.raw);
    if (shape % 4 == 0 || nearest.empty()) return (shape & 4) ? -0.0 : 0.0;
    double limit = nearest[std::min<size_t>((shape >> 2) & 7, nearest.size() - 1)].score;
    for (int ulps = (shape >> 5) % 7 - 3; ulps != 0; ulps += ulps > 0 ? -1 : 1)
        limit = std::nextafter(limit, ulps > 0 ? INFINITY : -INFINITY);
    return limit;
}

// The locations in a search's form: their pairs, their lat/long words, or
// the other forms made from their decoded pairs, as the suite makes them.
FormTable table_of(Form form, const Locations& locations) {
    FormTable t = empty_form_table(form, locations.size());
    for (int i = 0; i < locations.size(); ++i) {
        if (form == Form::kCdcPair)
            t.cdc[i] = locations.pairs[i];
        else if (form == Form::kFixedLatLong)
            t.fixed[i] = locations.fixed[i];
        else
            set_location(t, i, decode_cdc(locations.pairs[i]));
    }
    return t;
}

// The brute force in every arrangement against CdcBrute.
void check_pairs(const std::vector<CdcPair>& airports, CdcPair point, int i) {
    const int n = static_cast<int>(airports.size());
    const CdcPoint arranged = arrange_point(decode_cdc(point));
    const Nearest expected = find_nearest<CdcMethod>(airports.data(), n, arranged);
    for (CdcArrangement arrangement :
         {CdcArrangement::kTwoSlotArray, CdcArrangement::kSelectBits, CdcArrangement::kConditional}) {
        const Nearest found = with_cdc_method(
            arrangement, [&](auto method) { return find_nearest<decltype(method)>(airports.data(), n, arranged); });
        require(same_answer(found, expected), "an arrangement differs from CdcBrute at point " + std::to_string(i));
    }
}

struct Prepared {
    std::unique_ptr<FormTable> tables[std::size(kForms)];
    std::vector<std::unique_ptr<Search>> searches;  // by SearchId
};

// Every exact search this build has, and each one's brute force, prepared
// over the fuzzer's table in its form.
Prepared prepare_all(const Locations& airports) {
    Prepared p;
    p.searches.resize(std::size(kSearchCatalogue));
    for (const SearchFacts& facts : kSearchCatalogue) {
        if (!facts.exact || !search_built(facts.id)) continue;
        std::unique_ptr<FormTable>& table = p.tables[static_cast<int>(facts.form)];
        if (!table) table = std::make_unique<FormTable>(table_of(facts.form, airports));
        p.searches[static_cast<int>(facts.id)] = make_search(facts.id, *table);
    }
    return p;
}

// Every prepared search against its brute force (a brute force of its own
// against itself: its first of k = 1 is its nearest()), on the target now
// chosen: on the first, all of them; on the others, those where either is a
// vector search.
void check_searches(const Prepared& p, const Locations& points, const std::vector<Question>& questions,
                    const char* target, bool first) {
    for (const auto& search : p.searches) {
        if (!search) continue;
        const Search& reference = *p.searches[static_cast<int>(reference_search(search->id()))];
        if (!first && !search_facts(search->id()).vector && !search_facts(reference.id()).vector) continue;
        const FormTable queries = table_of(table_form(search->id()), points);
        const std::string what = std::string(search_name(search->id())) + " on " + target;
        for (int i = 0; i < points.size(); ++i) {
            const int k = questions[i].k;
            const double limit = limit_of(questions[i], reference.nearest(queries, i, k));
            const std::string question = first_difference(*search, reference, queries, i, {k}, {limit});
            require(question.empty(), what + " differs from " + search_name(reference.id()) + " in " + question +
                                          " at point " + std::to_string(i));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in{data, size};
    const Locations airports = make_airports(in);
    const Locations points = make_points(in, airports);
    const std::vector<Question> questions = make_questions(in, points.size());
    const Prepared prepared = prepare_all(airports);
    bool first = true;
    for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        if (first)
            for (int i = 0; i < points.size(); ++i) check_pairs(airports.pairs, points.pairs[i], i);
        check_searches(prepared, points, questions, hwy::TargetName(target), first);
        first = false;
    }
    hwy::SetSupportedTargetsForTest(0);
    return 0;
}
